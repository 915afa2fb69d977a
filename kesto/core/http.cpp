#include "core/http.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "core/http_response.h"
#include "core/network.h"
#include "core/startup_log.h"
#include "core/tracked_memory.h"
#include "platform/file_write.h"
#include "platform/net/sockets.h"

namespace {

enum DestinationKind { kToFile = 0, kToMemory = 1, kToNothing = 2 };

struct HttpRecord {
  int in_use;
  int method;
  int step;
  int result;      // -1 running, 0 done, 2 failed
  int error_code;  // -1 none
  int net;
  int destination;
  platform::AtomicFileWriter* file;
  char file_path[1024];
  void** memory;
  uint32_t memory_capacity;
  int64_t content_length;  // -1 unknown
  int64_t received;
  char host[256];
  char path[1024];
  int port;
  char* request;
  int request_length;
  int request_sent;
  int skip_to_line_end;  // the rest of a line longer than a line buffer
};

HttpRecord g_http[kMaxHttpTransfers];
int g_live = 0;

bool Running(const HttpRecord& r) { return r.in_use && r.result == -1; }
bool ReserveMemory(HttpRecord& r, int64_t more);

// Ends a transfer: the result and error code are kept when already set.
int End(HttpRecord& r, int result, int error_code) {
  if (r.result == -1) r.result = result;
  if (r.error_code == -1) r.error_code = error_code;
  if (r.net >= 0 && FindNetworkRecord(r.net)) CloseNetworkHandle(r.net);
  r.net = -1;
  if (r.file) {
    if (r.result == 0 && !r.file->Commit()) {
      CoreLogFormat("受信したデータをファイル %s に保存できませんでした", r.file_path);
      r.result = 2;
      r.error_code = kHttpErrorNoMemory;
    }
    r.file->Discard();
    delete r.file;
    r.file = nullptr;
  }
  // An empty body still gives the caller a block (holding just the NUL).
  if (r.memory && !*r.memory && r.result == 0 && !ReserveMemory(r, 0)) {
    r.result = 2;
    r.error_code = kHttpErrorNoMemory;
  }
  if (r.memory && *r.memory) {
    if (r.result == 0) {
      static_cast<char*>(*r.memory)[r.received] = '\0';
    } else {
      FreeTracked(*r.memory);
      *r.memory = nullptr;
    }
  }
  FreeTracked(r.request);
  r.request = nullptr;
  return 0;
}

// Room in the memory block for `more` bytes after those received, and the
// NUL after them. False when the body would pass what memory may hold.
bool ReserveMemory(HttpRecord& r, int64_t more) {
  const int64_t needed = r.received + more + 1;
  if (needed <= r.memory_capacity) return true;
  if (needed > kMaxHttpMemoryBody + 1) return false;
  // Without a length the block grows as the body arrives.
  const int64_t size = std::min<int64_t>(std::max<int64_t>(needed, 2 * r.memory_capacity + 4096),
                                         kMaxHttpMemoryBody + 1);
  void* block = AllocTracked(static_cast<uint32_t>(size), "KsWin", __LINE__);
  if (!block) return false;
  if (*r.memory) {
    std::memcpy(block, *r.memory, static_cast<size_t>(r.received));
    FreeTracked(*r.memory);
  }
  *r.memory = block;
  r.memory_capacity = static_cast<uint32_t>(size);
  return true;
}

enum class Line { kWait, kGot, kCutByClose, kFailed };

// One line of up to 255 bytes, up to its line feed (taken, not kept), with
// a carriage return before it dropped. At the close whatever is left counts
// as the last line.
Line ReadLine(HttpRecord& r, int waiting, bool closed, char line[256]) {
  std::memset(line, 0, 256);
  char discard[256];
  // What is left of an over-long line is not a line of its own.
  while (r.skip_to_line_end && waiting > 0) {
    const int got = NetWorkRecvToPeek(r.net, discard, std::min(waiting, 255));
    if (got <= 0) return got < 0 ? Line::kFailed : Line::kWait;
    const char* lf = static_cast<const char*>(std::memchr(discard, '\n', static_cast<size_t>(got)));
    const int take = lf ? static_cast<int>(lf - discard) + 1 : got;
    if (NetWorkRecv(r.net, discard, take) != take) return Line::kFailed;
    waiting -= take;
    if (lf) r.skip_to_line_end = 0;
  }
  if (r.skip_to_line_end) return closed ? Line::kCutByClose : Line::kWait;
  const int want = std::min(waiting, 255);
  if (want <= 0) return Line::kWait;
  const int got = NetWorkRecvToPeek(r.net, line, want);
  if (got < 0) return Line::kFailed;
  const char* lf = static_cast<const char*>(std::memchr(line, '\n', static_cast<size_t>(got)));
  int take = 0;
  if (lf) {
    take = static_cast<int>(lf - line) + 1;
  } else if (got >= 255 || closed) {
    take = got;
  } else {
    return Line::kWait;
  }
  if (NetWorkRecv(r.net, discard, take) != take) return Line::kFailed;
  if (!lf && got >= 255) r.skip_to_line_end = 1;
  int length = lf ? take - 1 : take;
  line[length] = '\0';
  if (length > 0 && line[length - 1] == '\r') line[--length] = '\0';
  return lf || got >= 255 ? Line::kGot : Line::kCutByClose;
}

// One pass of the current step; true when it moved on.
bool RunStep(HttpRecord& r, int waiting, bool closed) {
  switch (r.step) {
    case 0: {
      const int sent =
          NetWorkSend(r.net, r.request + r.request_sent, r.request_length - r.request_sent);
      if (sent < 0) {
        End(r, 2, kHttpErrorConnectionLost);
        return false;
      }
      r.request_sent += sent;
      if (r.request_sent == r.request_length) r.step = 1;
      return sent > 0;
    }
    case 1: {
      char line[256];
      const Line got = ReadLine(r, waiting, closed, line);
      if (got == Line::kFailed) End(r, 2, kHttpErrorConnectionLost);
      if (got != Line::kGot && got != Line::kCutByClose) return false;
      const int status = HttpStatusOf(line);
      if (status != 200) {
        CoreLogFormat("接続に失敗しました (戻り値:%d)", status);
        End(r, 2, status == 404 ? kHttpErrorNotFound : kHttpErrorBadStatus);
        return false;
      }
      r.step = 2;
      return true;
    }
    case 2: {
      char line[256];
      const Line got = ReadLine(r, waiting, closed, line);
      // Headers cut off by the close never reached the body.
      if (got == Line::kFailed || got == Line::kCutByClose) End(r, 2, kHttpErrorConnectionLost);
      if (got != Line::kGot) return false;
      int64_t length = -1;
      switch (ClassifyHttpHeader(line, &length)) {
        case HttpHeader::kEnd:
          if (r.method == kHttpHead) {
            r.step = 4;
          } else if (r.destination == kToFile) {
            r.file = new platform::AtomicFileWriter();
            if (!r.file->Open(r.file_path)) {
              CoreLogFormat("ファイル %s を作成できませんでした", r.file_path);
              End(r, 2, kHttpErrorNoMemory);
              return false;
            }
            r.step = 3;
          } else {
            r.step = 3;
          }
          return true;
        case HttpHeader::kContentLength:
          if (r.destination == kToMemory) {
            if (length > kMaxHttpMemoryBody) {
              CoreLogFormat("受信データが大きすぎます(%lld byte)", static_cast<long long>(length));
              End(r, 2, kHttpErrorNoMemory);
              return false;
            }
            FreeTracked(*r.memory);
            *r.memory = nullptr;
            r.memory_capacity = 0;
            r.received = 0;
            if (!ReserveMemory(r, length)) {
              End(r, 2, kHttpErrorNoMemory);
              return false;
            }
          }
          r.content_length = length;
          return true;
        case HttpHeader::kBadContentLength:
          CoreLogFormat("データサイズが異常です(%s)", line);
          End(r, 2, kHttpErrorNoMemory);
          return false;
        case HttpHeader::kChunked:
          CoreLog("チャンク形式の応答には対応していません\n");
          End(r, 2, kHttpErrorBadStatus);
          return false;
        case HttpHeader::kOther:
          return true;
      }
      return false;
    }
    case 3: {
      int64_t n = waiting;
      if (r.content_length >= 0) n = std::min(n, r.content_length - r.received);
      if (n <= 0) {
        if ((r.content_length >= 0 && r.received >= r.content_length) ||
            (r.content_length < 0 && closed)) {
          r.step = 4;
          return true;
        }
        return false;
      }
      int got = 0;
      if (r.destination == kToFile) {
        char piece[4096];
        got = NetWorkRecv(r.net, piece, static_cast<int>(std::min<int64_t>(n, sizeof piece)));
        if (got > 0 && !r.file->Write(piece, static_cast<size_t>(got))) {
          CoreLogFormat("ファイル %s への書き込みに失敗しました", r.file_path);
          End(r, 2, kHttpErrorNoMemory);
          return false;
        }
      } else {
        if (!ReserveMemory(r, n)) {
          CoreLog("受信データを保存するメモリの確保に失敗しました\n");
          End(r, 2, kHttpErrorNoMemory);
          return false;
        }
        got = NetWorkRecv(r.net, static_cast<char*>(*r.memory) + r.received, static_cast<int>(n));
      }
      if (got < 0) {
        End(r, 2, kHttpErrorConnectionLost);
        return false;
      }
      r.received += got;
      return got > 0;
    }
    case 4:
      End(r, 0, -1);
      return false;
    default:
      End(r, 2, kHttpErrorBadStatus);
      return false;
  }
}

int StartTransfer(int method, const char* host, int port, const char* path, const void* body,
                  int body_bytes, const char* file_path, void** memory) {
  if (!host || !*host || std::strlen(host) >= sizeof(HttpRecord::host) || !path || !*path ||
      std::strlen(path) >= sizeof(HttpRecord::path) || port <= 0 || port > 65535 ||
      body_bytes < 0 || (body_bytes > 0 && !body)) {
    return -1;
  }
  if (method != kHttpHead && !file_path && !memory) return -1;
  if (file_path && std::strlen(file_path) >= sizeof(HttpRecord::file_path)) return -1;
  int index = -1;
  for (int i = 0; i < kMaxHttpTransfers && index < 0; ++i) {
    if (!g_http[i].in_use) index = i;
  }
  if (index < 0) {
    CoreLog("HTTP の転送データに空きがありません\n");
    return -1;
  }
  uint8_t ip[4];
  if (!platform::net::ResolveIpv4(host, ip)) {
    CoreLogFormat("ホスト %s が見つかりませんでした", host);
    return -1;
  }

  char head[1400];
  switch (method) {
    case kHttpGet:
      std::snprintf(head, sizeof head,
                    "GET %s HTTP/1.0\r\nHost: %s:%d\r\nConnection: close\r\n\r\n", path, host,
                    port);
      break;
    case kHttpPost:
      std::snprintf(head, sizeof head,
                    "POST %s HTTP/1.0\r\nHost: %s:%d\r\nContent-Length: %d\r\n\r\n", path, host,
                    port, body_bytes);
      break;
    default:
      std::snprintf(head, sizeof head, "HEAD %s HTTP/1.0\r\nHost: %s:%d\r\n\r\n", path, host, port);
      break;
  }
  const int head_length = static_cast<int>(std::strlen(head));
  const int body_length = method == kHttpPost ? body_bytes : 0;
  if (static_cast<int64_t>(head_length) + body_length > 0x7FFFFFFF) return -1;
  auto* request = static_cast<char*>(
      AllocTracked(static_cast<uint32_t>(head_length + body_length), "KsWin", __LINE__));
  if (!request) return -1;
  std::memcpy(request, head, static_cast<size_t>(head_length));
  if (body_length > 0) std::memcpy(request + head_length, body, static_cast<size_t>(body_length));

  const int net = ConnectNetwork(ip, port, 0);
  if (net < 0) {
    FreeTracked(request);
    return -1;
  }
  HttpRecord& r = g_http[index];
  r = HttpRecord{};
  r.in_use = 1;
  r.method = method;
  r.result = -1;
  r.error_code = -1;
  r.net = net;
  r.content_length = -1;
  r.port = port;
  std::strcpy(r.host, host);
  std::strcpy(r.path, path);
  r.request = request;
  r.request_length = head_length + body_length;
  if (method == kHttpHead) {
    r.destination = kToNothing;
  } else if (file_path) {
    r.destination = kToFile;
    std::strcpy(r.file_path, file_path);
  } else {
    r.destination = kToMemory;
    r.memory = memory;
    *memory = nullptr;
  }
  ++g_live;
  return index;
}

bool ValidIndex(int index) {
  return index >= 0 && index < kMaxHttpTransfers && g_http[index].in_use;
}

}  // namespace

int HttpGet(const char* host, int port, const char* path, const char* file_path, void** memory) {
  return StartTransfer(kHttpGet, host, port, path, nullptr, 0, file_path, memory);
}

int HttpPost(const char* host, int port, const char* path, const void* body, int body_bytes,
             const char* file_path, void** memory) {
  return StartTransfer(kHttpPost, host, port, path, body, body_bytes, file_path, memory);
}

int HttpHead(const char* host, int port, const char* path) {
  return StartTransfer(kHttpHead, host, port, path, nullptr, 0, nullptr, nullptr);
}

int HttpStep(int index) {
  if (!ValidIndex(index)) return -1;
  HttpRecord& r = g_http[index];
  // A step at a time while data lets it go on, so a quick reply is read
  // within one pump; the bound keeps one busy transfer from holding it.
  for (int pass = 0; pass < 256 && Running(r); ++pass) {
    const NetworkRecord* n = FindNetworkRecord(r.net);
    if (!n || n->error) {
      End(r, 2, kHttpErrorConnectionLost);
      break;
    }
    // Still connecting: nothing has failed yet.
    if (!n->connected && !n->closed) break;
    const bool closed = n->closed != 0;
    const int waiting = GetNetWorkDataLength(r.net);
    if (waiting < 0) {
      End(r, 2, kHttpErrorConnectionLost);
      break;
    }
    // Lost only when the step still wants something from the peer: a body
    // without a length ends at the close, one with its length is complete.
    const bool body_complete =
        r.step == 3 && (r.content_length < 0 || r.received >= r.content_length);
    if (closed && waiting == 0 && r.step < 4 && !body_complete) {
      End(r, 2, kHttpErrorConnectionLost);
      break;
    }
    if (!RunStep(r, waiting, closed)) break;
  }
  return 0;
}

int StepHttpTransfers() {
  if (g_live == 0) return 0;
  for (int i = 0; i < kMaxHttpTransfers; ++i) {
    if (Running(g_http[i])) HttpStep(i);
  }
  return 0;
}

int GetHttpTransferResult(int index, int* error_code, int* content_length, int* received) {
  if (!ValidIndex(index)) return -2;
  const HttpRecord& r = g_http[index];
  if (error_code) *error_code = r.error_code;
  if (content_length) *content_length = static_cast<int>(r.content_length);
  if (received) *received = static_cast<int>(r.received);
  return r.result;
}

int ReleaseHttpTransfer(int index) {
  if (!ValidIndex(index)) return -1;
  HttpRecord& r = g_http[index];
  if (r.result == -1) End(r, 2, kHttpErrorConnectionLost);
  r = HttpRecord{};
  --g_live;
  return 0;
}

int ClearHttpTransfers() {
  for (HttpRecord& r : g_http) r = HttpRecord{};
  g_live = 0;
  return 0;
}

int EndHttpTransfers() {
  for (int i = 0; i < kMaxHttpTransfers; ++i) {
    if (g_http[i].in_use) ReleaseHttpTransfer(i);
  }
  return 0;
}

int LiveHttpTransferCount() { return g_live; }
