#include "platform/net/sockets.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <map>
#include <vector>

namespace platform::net {
namespace {

struct SocketInfo {
  bool listening = false;
  bool connecting = false;
  bool connected = false;
  bool failed = false;  // a connect that failed: nothing more to report
  // Asynchronous mode.
  window::WindowHandle window = nullptr;
  uint32_t message = 0;
  uint32_t events = 0;
  bool read_armed = false;
  bool write_armed = false;
  bool accept_armed = false;
  bool close_posted = false;
};

struct SocketSystem {
  int startups = 0;
  int last_error = 0;
  std::map<Socket, SocketInfo> sockets;
};

SocketSystem& Sys() {
  static SocketSystem* system = new SocketSystem();
  return *system;
}

int CodeOf(int e) {
  switch (e) {
    case EWOULDBLOCK:
#if EAGAIN != EWOULDBLOCK
    case EAGAIN:
#endif
    case EINPROGRESS:
    case EALREADY:
      return kErrWouldBlock;
    case EINTR:
      return kErrInterrupted;
    case EBADF:
    case ENOTSOCK:
      return kErrBadSocket;
    case EINVAL:
      return kErrInvalid;
    case EMSGSIZE:
      return kErrMessageSize;
    case EADDRINUSE:
      return kErrAddressInUse;
    case ENETDOWN:
      return kErrNetworkDown;
    case ENETUNREACH:
      return kErrNetworkUnreachable;
    case ECONNABORTED:
      return kErrConnectionAborted;
    case ECONNRESET:
      return kErrConnectionReset;
    case ENOBUFS:
    case ENOMEM:
      return kErrNoBuffers;
    case ENOTCONN:
      return kErrNotConnected;
    case EPIPE:
      return kErrShutDown;
    case ETIMEDOUT:
      return kErrTimedOut;
    case ECONNREFUSED:
      return kErrConnectionRefused;
    case EHOSTUNREACH:
      return kErrHostUnreachable;
    default:
      return kErrOther;
  }
}

int Fail(int code) {
  Sys().last_error = code;
  return kSocketError;
}

int FailErrno() { return Fail(CodeOf(errno)); }

SocketInfo* Find(Socket s) {
  auto it = Sys().sockets.find(s);
  return it == Sys().sockets.end() ? nullptr : &it->second;
}

sockaddr_in AddressOf(const uint8_t* ipv4, uint16_t port) {
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(port);
  if (ipv4) {
    std::memcpy(&a.sin_addr.s_addr, ipv4, 4);
  } else {
    a.sin_addr.s_addr = htonl(INADDR_ANY);
  }
  return a;
}

int PendingError(Socket s) {
  int error = 0;
  socklen_t len = sizeof error;
  if (getsockopt(s, SOL_SOCKET, SO_ERROR, &error, &len) != 0) return CodeOf(errno);
  return error ? CodeOf(error) : 0;
}

void Post(const SocketInfo& info, Socket s, uint32_t event, int error) {
  const uint32_t lparam = (event & 0xFFFF) | (static_cast<uint32_t>(error & 0xFFFF) << 16);
  window::PostMessage(info.window, info.message, static_cast<uintptr_t>(s),
                      static_cast<intptr_t>(lparam));
}

bool SetBlocking(Socket s, bool blocking) {
  const int flags = fcntl(s, F_GETFL, 0);
  if (flags < 0) return false;
  const int wanted = blocking ? (flags & ~O_NONBLOCK) : (flags | O_NONBLOCK);
  return wanted == flags || fcntl(s, F_SETFL, wanted) == 0;
}

}  // namespace

int Startup() {
  ++Sys().startups;
  return 0;
}

int Cleanup() {
  if (Sys().startups <= 0) return Fail(kErrNotStarted);
  if (--Sys().startups == 0) {
    // The last user is gone: whatever it left open goes too.
    for (const auto& [s, info] : Sys().sockets) ::close(s);
    Sys().sockets.clear();
  }
  return 0;
}

int StartupCount() { return Sys().startups; }
int LastError() { return Sys().last_error; }

Socket OpenTcpSocket() {
  if (Sys().startups <= 0) {
    Fail(kErrNotStarted);
    return kInvalidSocket;
  }
  const Socket s = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (s < 0) {
    FailErrno();
    return kInvalidSocket;
  }
  Sys().sockets[s] = SocketInfo{};
  return s;
}

int CloseSocket(Socket s) {
  if (!Find(s)) return Fail(kErrBadSocket);
  Sys().sockets.erase(s);
  return ::close(s) == 0 ? 0 : FailErrno();
}

int Bind(Socket s, const uint8_t* ipv4, uint16_t port) {
  if (!Find(s)) return Fail(kErrBadSocket);
  // A listener closed a moment ago must not keep its port from the next.
  const int on = 1;
  setsockopt(s, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  const sockaddr_in a = AddressOf(ipv4, port);
  return ::bind(s, reinterpret_cast<const sockaddr*>(&a), sizeof a) == 0 ? 0 : FailErrno();
}

int Listen(Socket s, int backlog) {
  SocketInfo* info = Find(s);
  if (!info) return Fail(kErrBadSocket);
  if (::listen(s, backlog) != 0) return FailErrno();
  info->listening = true;
  return 0;
}

int LocalPort(Socket s) {
  if (!Find(s)) return Fail(kErrBadSocket);
  sockaddr_in a{};
  socklen_t len = sizeof a;
  if (getsockname(s, reinterpret_cast<sockaddr*>(&a), &len) != 0) return FailErrno();
  return ntohs(a.sin_port);
}

int Connect(Socket s, const uint8_t ipv4[4], uint16_t port) {
  SocketInfo* info = Find(s);
  if (!info) return Fail(kErrBadSocket);
  const sockaddr_in a = AddressOf(ipv4, port);
  const int r = ::connect(s, reinterpret_cast<const sockaddr*>(&a), sizeof a);
  if (info->events != 0) {
    // Asynchronous: the outcome is always reported by the connect event,
    // even when the system finished at once.
    if (r != 0 && errno != EINPROGRESS) return FailErrno();
    info->connecting = true;
    return Fail(kErrWouldBlock);
  }
  if (r != 0) return FailErrno();
  info->connected = true;
  return 0;
}

Socket Accept(Socket s, uint8_t* ipv4, uint16_t* port) {
  SocketInfo* info = Find(s);
  if (!info) {
    Fail(kErrBadSocket);
    return kInvalidSocket;
  }
  info->accept_armed = true;
  sockaddr_in a{};
  socklen_t len = sizeof a;
  const Socket c = ::accept4(s, reinterpret_cast<sockaddr*>(&a), &len, SOCK_CLOEXEC);
  if (c < 0) {
    FailErrno();
    return kInvalidSocket;
  }
  SocketInfo accepted;
  accepted.connected = true;
  Sys().sockets[c] = accepted;
  if (ipv4) std::memcpy(ipv4, &a.sin_addr.s_addr, 4);
  if (port) *port = ntohs(a.sin_port);
  return c;
}

int Recv(Socket s, void* dest, int bytes, int flags) {
  SocketInfo* info = Find(s);
  if (!info) return Fail(kErrBadSocket);
  if (bytes < 0 || (!dest && bytes > 0)) return Fail(kErrInvalid);
  info->read_armed = true;
  const ssize_t n = ::recv(s, dest, static_cast<size_t>(bytes), (flags & kRecvPeek) ? MSG_PEEK : 0);
  return n < 0 ? FailErrno() : static_cast<int>(n);
}

int Send(Socket s, const void* data, int bytes) {
  SocketInfo* info = Find(s);
  if (!info) return Fail(kErrBadSocket);
  if (bytes < 0 || (!data && bytes > 0)) return Fail(kErrInvalid);
  const ssize_t n = ::send(s, data, static_cast<size_t>(bytes), MSG_NOSIGNAL);
  if (n < 0) {
    if (errno == EWOULDBLOCK || errno == EAGAIN) info->write_armed = true;
    return FailErrno();
  }
  return static_cast<int>(n);
}

int BytesWaiting(Socket s) {
  if (!Find(s)) return Fail(kErrBadSocket);
  int n = 0;
  if (ioctl(s, FIONREAD, &n) != 0) return FailErrno();
  return n;
}

bool ResolveIpv4(const char* host, uint8_t ipv4[4]) {
  if (!host || !*host) return false;
  in_addr a{};
  if (inet_pton(AF_INET, host, &a) == 1) {
    std::memcpy(ipv4, &a.s_addr, 4);
    return true;
  }
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (getaddrinfo(host, nullptr, &hints, &found) != 0 || !found) {
    Fail(kErrHostNotFound);
    return false;
  }
  const auto* sa = reinterpret_cast<const sockaddr_in*>(found->ai_addr);
  std::memcpy(ipv4, &sa->sin_addr.s_addr, 4);
  freeaddrinfo(found);
  return true;
}

int AsyncSelect(Socket s, window::WindowHandle window, uint32_t message, uint32_t events) {
  SocketInfo* info = Find(s);
  if (!info) return Fail(kErrBadSocket);
  if (!SetBlocking(s, events == 0)) return FailErrno();
  info->window = window;
  info->message = message;
  info->events = events;
  info->read_armed = true;
  info->accept_armed = true;
  info->write_armed = info->connected;
  info->close_posted = false;
  return 0;
}

void PollEvents() {
  std::vector<pollfd> fds;
  for (const auto& [s, info] : Sys().sockets) {
    if (info.events == 0 || info.failed || info.close_posted) continue;
    short wanted = POLLIN | POLLRDHUP;
    if (info.connecting || info.write_armed) wanted |= POLLOUT;
    fds.push_back(pollfd{s, wanted, 0});
  }
  if (fds.empty() || ::poll(fds.data(), fds.size(), 0) <= 0) return;
  for (const pollfd& p : fds) {
    if (p.revents == 0) continue;
    SocketInfo* info = Find(p.fd);
    if (!info) continue;
    if (info->listening) {
      if ((p.revents & POLLIN) && info->accept_armed && (info->events & kEventAccept)) {
        info->accept_armed = false;
        Post(*info, p.fd, kEventAccept, 0);
      }
      continue;
    }
    if (info->connecting) {
      if (!(p.revents & (POLLOUT | POLLERR | POLLHUP))) continue;
      info->connecting = false;
      const int error = PendingError(p.fd);
      if (info->events & kEventConnect) Post(*info, p.fd, kEventConnect, error);
      if (error) {
        info->failed = true;
        continue;
      }
      info->connected = true;
      info->write_armed = true;
    }
    if ((p.revents & POLLIN) && info->read_armed && (info->events & kEventRead)) {
      int waiting = 0;
      if (ioctl(p.fd, FIONREAD, &waiting) == 0 && waiting > 0) {
        info->read_armed = false;
        Post(*info, p.fd, kEventRead, 0);
      }
    }
    if ((p.revents & POLLOUT) && info->write_armed && (info->events & kEventWrite)) {
      info->write_armed = false;
      Post(*info, p.fd, kEventWrite, 0);
    }
    if ((p.revents & (POLLRDHUP | POLLHUP | POLLERR)) && (info->events & kEventClose)) {
      info->close_posted = true;
      Post(*info, p.fd, kEventClose, (p.revents & POLLERR) ? PendingError(p.fd) : 0);
    }
  }
}

void ResetSocketsForTesting() {
  for (const auto& [s, info] : Sys().sockets) ::close(s);
  Sys().sockets.clear();
  Sys().startups = 0;
  Sys().last_error = 0;
}

int OpenSocketCount() { return static_cast<int>(Sys().sockets.size()); }

}  // namespace platform::net
