// Answers an HTTP GET with arbitrary bytes from a loopback server and checks
// the client: it always ends, a failed transfer leaves no memory block, a
// finished one holds at most what was sent with its NUL after it, and each
// header line reads as some kind of header.
#include "core/http_response.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/http.h"
#include "core/network.h"
#include "core/tracked_memory.h"

namespace {

void Check(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "http_response: %s\n", what);
    std::abort();
  }
}

int Listener(int* port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  Check(::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0, "bind");
  Check(::listen(fd, 4) == 0, "listen");
  socklen_t len = sizeof a;
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
  *port = ntohs(a.sin_port);
  return fd;
}

void Step() {
  NetworkMessageStep(0);
  StepHttpTransfers();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 65536) return 0;
  // Every line on its own, as the header reader sees them.
  const std::string text(reinterpret_cast<const char*>(data), size);
  for (size_t at = 0; at < text.size();) {
    const size_t end = std::min(text.find('\n', at), text.size());
    const std::string line = text.substr(at, std::min<size_t>(end - at, 255)).c_str();
    int64_t length = -1;
    if (ClassifyHttpHeader(line.c_str(), &length) == HttpHeader::kContentLength) {
      Check(length >= 0 && length <= 0x7FFFFFFF, "a header length out of range");
    }
    HttpStatusOf(line.c_str());
    at = end + 1;
  }

  static int port = 0;
  static int listener = Listener(&port);
  const int32_t blocks_before = GetTrackedMemoryState().count;
  void* memory = nullptr;
  const int t = HttpGet("127.0.0.1", port, "/fuzz", nullptr, &memory);
  Check(t >= 0, "the transfer did not start");
  int conn = -1;
  for (int i = 0; i < 1000 && conn < 0; ++i) {
    Step();
    pollfd p{listener, POLLIN, 0};
    if (::poll(&p, 1, 1) == 1) conn = ::accept(listener, nullptr, nullptr);
  }
  Check(conn >= 0, "no connection");
  if (size > 0) {
    Check(::send(conn, data, size, MSG_NOSIGNAL) == static_cast<ssize_t>(size), "server send");
  }
  ::shutdown(conn, SHUT_WR);
  int result = -1;
  for (int i = 0; i < 2000 && result == -1; ++i) {
    Step();
    result = GetHttpTransferResult(t, nullptr, nullptr, nullptr);
    if (result == -1) ::poll(nullptr, 0, 1);
  }
  int error = 0, received = 0;
  Check(GetHttpTransferResult(t, &error, nullptr, &received) == result, "result");
  Check(result == 0 || result == 2, "the transfer never ended");
  if (result == 0) {
    Check(memory != nullptr, "a finished transfer without its block");
    Check(received >= 0 && static_cast<size_t>(received) <= size, "more received than sent");
    Check(static_cast<const char*>(memory)[received] == '\0', "the block lacks its NUL");
    FreeTracked(memory);
  } else {
    Check(memory == nullptr, "a failed transfer kept its block");
    Check(error >= 0 && error <= 3, "an unknown error code");
  }
  ReleaseHttpTransfer(t);
  ::close(conn);
  Check(GetTrackedMemoryState().count == blocks_before, "the transfer left memory behind");
  return 0;
}
