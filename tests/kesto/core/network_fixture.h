// The library's main window on the message queue, a log of its own, and a
// peer on the loopback interface made from plain POSIX sockets, which the
// test drives between pumps. Every wait is a short bounded loop.
#pragma once

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "core/app_log.h"
#include "core/entry_bodies.h"
#include "core/http.h"
#include "core/network.h"
#include "platform/net/sockets.h"
#include "support/scoped_temp_dir.h"
#include "window_fixture.h"

inline const uint8_t kLoopback[4] = {127, 0, 0, 1};

class NetworkFixture : public CoreWindowFixture {
 protected:
  void SetUp() override {
    CoreWindowFixture::SetUp();
    platform::net::ResetSocketsForTesting();
    ResetNetworkForTesting();
    ClearHttpTransfers();
    SetLogFolderPath(dir_.path().c_str());
    InitAppLog();
  }
  void TearDown() override {
    EndHttpTransfers();
    EndNetwork();
    for (int fd : peers_) ::close(fd);
    SetLogFolderPath("");
    platform::net::ResetSocketsForTesting();
    ResetNetworkForTesting();
    CoreWindowFixture::TearDown();
  }

  std::string Log() const {
    std::ifstream in(dir_.file("AppLog.txt"), std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  }

  // Pumps until the condition holds; false after a bounded number of tries.
  static bool PumpUntil(const std::function<bool()>& done) {
    for (int i = 0; i < 2000; ++i) {
      if (done()) return true;
      PumpFrameMessagesBody();
      if (done()) return true;
      ::poll(nullptr, 0, 1);
    }
    return false;
  }

  // A listening peer socket on 127.0.0.1; its port goes to *port.
  int PeerListen(int* port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    EXPECT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
    EXPECT_EQ(::listen(fd, 4), 0);
    socklen_t len = sizeof a;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
    *port = ntohs(a.sin_port);
    peers_.push_back(fd);
    return fd;
  }

  // Accepts on a peer listener, pumping the library meanwhile.
  int PeerAccept(int listener) {
    int fd = -1;
    PumpUntil([&] {
      pollfd p{listener, POLLIN, 0};
      if (::poll(&p, 1, 0) == 1) fd = ::accept(listener, nullptr, nullptr);
      return fd >= 0;
    });
    if (fd >= 0) peers_.push_back(fd);
    return fd;
  }

  // A peer connected to a port of this host.
  int PeerConnect(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(static_cast<uint16_t>(port));
    EXPECT_EQ(::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
    peers_.push_back(fd);
    return fd;
  }

  static void PeerSend(int fd, const std::string& bytes) {
    ASSERT_EQ(::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL),
              static_cast<ssize_t>(bytes.size()));
  }

  // Everything the peer can read now, pumping the library until `bytes`
  // have arrived (or the tries run out).
  std::string PeerReceive(int fd, size_t bytes) {
    std::string got;
    PumpUntil([&] {
      char buffer[65536];
      pollfd p{fd, POLLIN, 0};
      while (got.size() < bytes && ::poll(&p, 1, 0) == 1) {
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0) return true;
        got.append(buffer, static_cast<size_t>(n));
      }
      return got.size() >= bytes;
    });
    return got;
  }

  static std::string Framed(const std::string& data) {
    const uint32_t n = static_cast<uint32_t>(data.size());
    std::string out;
    for (int i = 0; i < 4; ++i) out += static_cast<char>((n >> (8 * i)) & 0xFF);
    return out + data;
  }

  // A connection of the library to a peer, standing.
  int ConnectedPair(int* peer, int buffered = 1) {
    int port = 0;
    const int listener = PeerListen(&port);
    const int handle = ConnectNetwork(kLoopback, port, buffered);
    EXPECT_GE(handle, 0);
    *peer = PeerAccept(listener);
    EXPECT_TRUE(PumpUntil([&] { return GetNetWorkAcceptState(handle) == 1; }));
    return handle;
  }

  ScopedTempDir dir_;
  std::vector<int> peers_;
};
