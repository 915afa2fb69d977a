// Feeds arbitrary bytes, as a peer would send them, into a buffered network
// connection on the loopback interface and checks the framing: exactly the
// blocks that arrived whole are handed over, in order, and a block longer
// than the limit marks the connection failed instead of taking memory.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/network.h"
#include "core/tracked_memory.h"

namespace {

const uint8_t kLoopback[4] = {127, 0, 0, 1};

void Check(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "socket_framing: %s\n", what);
    std::abort();
  }
}

int PeerConnect(int port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  a.sin_port = htons(static_cast<uint16_t>(port));
  Check(::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0, "peer connect");
  return fd;
}

// The blocks a correct reader takes from the bytes, and whether a hostile
// length stops it.
std::string ExpectedData(const uint8_t* data, size_t size, bool* hostile) {
  std::string out;
  *hostile = false;
  size_t at = 0;
  while (at + 4 <= size) {
    const uint32_t n = data[at] | data[at + 1] << 8 | data[at + 2] << 16 |
                       static_cast<uint32_t>(data[at + 3]) << 24;
    if (n > kMaxNetworkBlock) {
      *hostile = true;
      break;
    }
    if (size - at - 4 < n) break;
    out.append(reinterpret_cast<const char*>(data + at + 4), n);
    at += 4 + n;
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The whole input must fit the sockets' buffers: the peer never waits.
  if (size > 65536) return 0;
  static bool listening = false;
  if (!listening) {
    Check(PrepareListenNetwork(0, kLoopback) == 0, "listen");
    listening = true;
  }
  const int32_t blocks_before = GetTrackedMemoryState().count;
  const int peer = PeerConnect(GetListenNetworkPort());
  int h = -1;
  for (int i = 0; i < 1000 && h < 0; ++i) {
    NetworkMessageStep(0);
    h = TakeAcceptedNetwork();
    if (h < 0) ::poll(nullptr, 0, 1);
  }
  Check(h >= 0, "no connection accepted");
  if (size > 0) {
    Check(::send(peer, data, size, MSG_NOSIGNAL) == static_cast<ssize_t>(size), "peer send");
  }
  ::shutdown(peer, SHUT_WR);

  std::string got;
  for (int i = 0; i < 1000; ++i) {
    NetworkMessageStep(0);
    const NetworkRecord* r = FindNetworkRecord(h);
    const int waiting = GetNetWorkDataLength(h);
    if (waiting > 0) {
      std::string piece(static_cast<size_t>(waiting), '\0');
      Check(NetWorkRecv(h, piece.data(), waiting) == 0, "a ready block could not be taken");
      got += piece;
      continue;
    }
    if (r->error || r->closed) break;
    ::poll(nullptr, 0, 1);
  }
  bool hostile = false;
  const std::string expected = ExpectedData(data, size, &hostile);
  const NetworkRecord* r = FindNetworkRecord(h);
  Check(r->error == (hostile ? 1 : 0), "the error flag does not match the lengths");
  // Once failed, a connection hands nothing more over: blocks that came
  // before the hostile length may be lost with it.
  const bool prefix = expected.compare(0, got.size(), got) == 0 && got.size() <= expected.size();
  Check(hostile ? prefix : got == expected, "the blocks handed over differ from those sent");
  Check(CloseNetworkHandle(h) == 0, "close");
  ::close(peer);
  Check(GetTrackedMemoryState().count == blocks_before, "the connection left memory behind");
  return 0;
}
