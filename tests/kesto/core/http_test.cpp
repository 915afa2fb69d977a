#include <gtest/gtest.h>

#include <filesystem>

#include "core/tracked_memory.h"
#include "network_fixture.h"

namespace {

class HttpTest : public NetworkFixture {
 protected:
  void SetUp() override {
    NetworkFixture::SetUp();
    listener_ = PeerListen(&port_);
  }

  // The request as the server reads it: the head, and as many body bytes
  // as its Content-Length names.
  std::string ServerReadsRequest() {
    conn_ = PeerAccept(listener_);
    std::string got;
    PumpUntil([&] {
      char buffer[4096];
      pollfd p{conn_, POLLIN, 0};
      while (::poll(&p, 1, 0) == 1) {
        const ssize_t n = ::recv(conn_, buffer, sizeof buffer, 0);
        if (n <= 0) return true;
        got.append(buffer, static_cast<size_t>(n));
      }
      const size_t end = got.find("\r\n\r\n");
      if (end == std::string::npos) return false;
      const size_t at = got.find("Content-Length: ");
      const size_t body = at == std::string::npos ? 0 : std::stoul(got.substr(at + 16));
      return got.size() >= end + 4 + body;
    });
    return got;
  }

  void Respond(const std::string& bytes, bool close_after = true) {
    PeerSend(conn_, bytes);
    if (close_after) ::shutdown(conn_, SHUT_WR);
  }

  int WaitResult(int index, int* error = nullptr, int* length = nullptr, int* received = nullptr) {
    PumpUntil([&] { return GetHttpTransferResult(index, nullptr, nullptr, nullptr) != -1; });
    return GetHttpTransferResult(index, error, length, received);
  }

  std::string Host() const { return "127.0.0.1:" + std::to_string(port_); }

  static std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  }

  int listener_ = -1;
  int port_ = 0;
  int conn_ = -1;
};

TEST_F(HttpTest, GetWithALengthWritesTheBodyToTheNamedFile) {
  const std::string file = dir_.file("page.txt");
  const int t = HttpGet("127.0.0.1", port_, "/a/page.txt", file.c_str(), nullptr);
  ASSERT_GE(t, 0);
  EXPECT_EQ(ServerReadsRequest(),
            "GET /a/page.txt HTTP/1.0\r\nHost: " + Host() + "\r\nConnection: close\r\n\r\n");
  Respond("HTTP/1.0 200 OK\r\nServer: test\r\nContent-Length: 11\r\n\r\nhello world");
  int error = 0, length = 0, received = 0;
  EXPECT_EQ(WaitResult(t, &error, &length, &received), 0);
  EXPECT_EQ(error, -1);
  EXPECT_EQ(length, 11);
  EXPECT_EQ(received, 11);
  EXPECT_EQ(Read(file), "hello world");
  EXPECT_FALSE(std::filesystem::exists(file + ".part"));
  EXPECT_EQ(ReleaseHttpTransfer(t), 0);
  EXPECT_EQ(GetHttpTransferResult(t, nullptr, nullptr, nullptr), -2);
  EXPECT_EQ(LiveHttpTransferCount(), 0);
}

TEST_F(HttpTest, GetWithoutALengthReadsToTheCloseIntoAGrowingBlock) {
  void* memory = reinterpret_cast<void*>(1);
  const int t = HttpGet("127.0.0.1", port_, "/big", nullptr, &memory);
  ASSERT_GE(t, 0);
  EXPECT_EQ(memory, nullptr);
  ServerReadsRequest();
  std::string body(100000, 'x');
  for (size_t i = 0; i < body.size(); ++i) body[i] = static_cast<char>('a' + i % 26);
  Respond("HTTP/1.0 200 OK\r\n\r\n" + body);
  int received = 0, length = 0;
  EXPECT_EQ(WaitResult(t, nullptr, &length, &received), 0);
  EXPECT_EQ(length, -1);
  ASSERT_EQ(received, 100000);
  ASSERT_NE(memory, nullptr);
  EXPECT_EQ(std::string(static_cast<char*>(memory), 100000), body);
  EXPECT_EQ(static_cast<char*>(memory)[100000], '\0');
  FreeTracked(memory);
  ReleaseHttpTransfer(t);
}

TEST_F(HttpTest, PostAndHeadSendCrLfLinesWithAHost) {
  void* memory = nullptr;
  const int post = HttpPost("127.0.0.1", port_, "/form", "a=1&b=2", 7, nullptr, &memory);
  ASSERT_GE(post, 0);
  EXPECT_EQ(ServerReadsRequest(),
            "POST /form HTTP/1.0\r\nHost: " + Host() + "\r\nContent-Length: 7\r\n\r\na=1&b=2");
  Respond("HTTP/1.0 200 OK\r\ncontent-length: 2\r\n\r\nok");
  EXPECT_EQ(WaitResult(post), 0);
  EXPECT_EQ(std::string(static_cast<char*>(memory)), "ok");
  FreeTracked(memory);

  const int head = HttpHead("127.0.0.1", port_, "/file.bin");
  ASSERT_GE(head, 0);
  EXPECT_EQ(ServerReadsRequest(), "HEAD /file.bin HTTP/1.0\r\nHost: " + Host() + "\r\n\r\n");
  Respond("HTTP/1.0 200 OK\r\nContent-Length: 1234\r\n\r\n", false);
  int length = 0, received = -1;
  EXPECT_EQ(WaitResult(head, nullptr, &length, &received), 0);
  EXPECT_EQ(length, 1234);
  EXPECT_EQ(received, 0);
}

TEST_F(HttpTest, RefusedRepliesFailWithTheirCodeAndLeaveTheOldFileAlone) {
  struct Case {
    const char* reply;
    int error;
    const char* log;
  };
  const Case cases[] = {
      {"HTTP/1.0 404 Not Found\r\n\r\nmissing", kHttpErrorNotFound,
       "接続に失敗しました (戻り値:404)"},
      {"HTTP/1.0 500 Oops\r\nContent-Length: 2\r\n\r\nno", kHttpErrorBadStatus,
       "接続に失敗しました (戻り値:500)"},
      {"garbage", kHttpErrorBadStatus, "接続に失敗しました (戻り値:-1)"},
      {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n0\r\n\r\n",
       kHttpErrorBadStatus, "チャンク形式の応答には対応していません"},
      {"HTTP/1.0 200 OK\r\nContent-Length: -5\r\n\r\nabc", kHttpErrorNoMemory,
       "データサイズが異常です"},
      {"HTTP/1.0 200 OK\r\nContent-Length: 4294967297\r\n\r\nabc", kHttpErrorNoMemory,
       "データサイズが異常です"},
      {"HTTP/1.0 200 OK\r\nContent-Length: 12x\r\n\r\nabc", kHttpErrorNoMemory,
       "データサイズが異常です"},
      {"HTTP/1.0 200 OK\r\nContent-Length: 10\r\n\r\nonly", kHttpErrorConnectionLost, nullptr},
      {"HTTP/1.0 200 OK\r\nContent-Len", kHttpErrorConnectionLost, nullptr},
      {"", kHttpErrorConnectionLost, nullptr},
  };
  const std::string file = dir_.file("kept.dat");
  { std::ofstream(file, std::ios::binary) << "old contents"; }
  for (const Case& c : cases) {
    const int t = HttpGet("127.0.0.1", port_, "/x", file.c_str(), nullptr);
    ASSERT_GE(t, 0);
    ServerReadsRequest();
    Respond(c.reply);
    int error = -1;
    EXPECT_EQ(WaitResult(t, &error), 2) << c.reply;
    EXPECT_EQ(error, c.error) << c.reply;
    if (c.log) {
      EXPECT_NE(Log().find(c.log), std::string::npos) << c.reply;
    }
    EXPECT_EQ(Read(file), "old contents") << c.reply;
    EXPECT_FALSE(std::filesystem::exists(file + ".part")) << c.reply;
    ReleaseHttpTransfer(t);
    ::close(conn_);
  }
}

TEST_F(HttpTest, AMemoryBlockIsRefusedBeyondItsLimitAndFreedOnFailure) {
  const int32_t before = GetTrackedMemoryState().total_size;
  for (const char* reply : {"HTTP/1.0 200 OK\r\nContent-Length: 70000000\r\n\r\nabc",
                            "HTTP/1.0 200 OK\r\nContent-Length: 8\r\n\r\nabc"}) {
    void* memory = nullptr;
    const int t = HttpGet("127.0.0.1", port_, "/m", nullptr, &memory);
    ServerReadsRequest();
    Respond(reply);
    int error = -1;
    EXPECT_EQ(WaitResult(t, &error), 2);
    EXPECT_EQ(error, std::string(reply).find("70000000") != std::string::npos
                         ? kHttpErrorNoMemory
                         : kHttpErrorConnectionLost);
    EXPECT_EQ(memory, nullptr);
    ReleaseHttpTransfer(t);
    ::close(conn_);
  }
  EXPECT_EQ(GetTrackedMemoryState().total_size, before);
}

TEST_F(HttpTest, ASlowServerIsWaitedForAcrossPumps) {
  const std::string file = dir_.file("slow.txt");
  const int t = HttpGet("127.0.0.1", port_, "/slow", file.c_str(), nullptr);
  ASSERT_GE(t, 0);
  // Stepped before the connection has come up: nothing has failed yet.
  for (int i = 0; i < 3; ++i) EXPECT_EQ(HttpStep(t), 0);
  EXPECT_EQ(GetHttpTransferResult(t, nullptr, nullptr, nullptr), -1);
  ServerReadsRequest();
  const std::string reply =
      "HTTP/1.0 200 OK\r\nContent-Length: 26\r\n\r\nabcdefghijklmnopqrstuvwxyz";
  for (size_t i = 0; i < reply.size(); i += 3) {
    Respond(reply.substr(i, 3), false);
    for (int k = 0; k < 2; ++k) PumpFrameMessagesBody();
    if (i + 3 < reply.size()) {
      EXPECT_EQ(GetHttpTransferResult(t, nullptr, nullptr, nullptr), -1) << i;
      EXPECT_FALSE(std::filesystem::exists(file)) << i;
    }
  }
  EXPECT_EQ(WaitResult(t), 0);
  EXPECT_EQ(Read(file), "abcdefghijklmnopqrstuvwxyz");
}

TEST_F(HttpTest, TheShutdownEndsRunningTransfersAndDiscardsTheirFiles) {
  const std::string file = dir_.file("never.txt");
  const int t = HttpGet("127.0.0.1", port_, "/never", file.c_str(), nullptr);
  void* memory = nullptr;
  const int u = HttpGet("127.0.0.1", port_, "/never", nullptr, &memory);
  ASSERT_GE(t, 0);
  ASSERT_GE(u, 0);
  ServerReadsRequest();
  Respond("HTTP/1.0 200 OK\r\nContent-Length: 100\r\n\r\npartial", false);
  for (int k = 0; k < 5; ++k) PumpFrameMessagesBody();
  EXPECT_EQ(LiveHttpTransferCount(), 2);
  EXPECT_EQ(EndHttpTransfers(), 0);
  EXPECT_EQ(LiveHttpTransferCount(), 0);
  EXPECT_FALSE(std::filesystem::exists(file));
  EXPECT_FALSE(std::filesystem::exists(file + ".part"));
  EXPECT_EQ(memory, nullptr);
  // Bad requests are refused at once.
  EXPECT_EQ(HttpGet("127.0.0.1", port_, "/x", nullptr, nullptr), -1);
  EXPECT_EQ(HttpGet("", port_, "/x", file.c_str(), nullptr), -1);
  EXPECT_EQ(HttpGet("127.0.0.1", 0, "/x", file.c_str(), nullptr), -1);
  EXPECT_EQ(HttpPost("127.0.0.1", port_, "/x", nullptr, 5, file.c_str(), nullptr), -1);
}

}  // namespace
