// TCP sockets for the library's network layer, over POSIX sockets, in the
// shape the layer was written against: a start-up count, calls that fail
// with -1 and leave their cause in LastError(), and an asynchronous mode in
// which a socket never blocks and what happens to it is posted to a window
// as a message: wParam the socket, lParam the event in the low word and the
// error code in the high word.
#pragma once

#include <cstdint>

#include "platform/window/message_queue.h"

namespace platform::net {

using Socket = int;
constexpr Socket kInvalidSocket = -1;
constexpr int kSocketError = -1;

// Events of the asynchronous mode (low word of the message's lParam).
constexpr uint32_t kEventRead = 0x01;
constexpr uint32_t kEventWrite = 0x02;
constexpr uint32_t kEventAccept = 0x08;
constexpr uint32_t kEventConnect = 0x10;
constexpr uint32_t kEventClose = 0x20;

constexpr uint32_t EventOf(intptr_t lparam) { return static_cast<uint32_t>(lparam) & 0xFFFF; }
constexpr int ErrorOf(intptr_t lparam) {
  return static_cast<int>((static_cast<uint32_t>(lparam) >> 16) & 0xFFFF);
}

// Error codes (the classic socket-library numbering).
constexpr int kErrInterrupted = 10004;
constexpr int kErrBadSocket = 10038;
constexpr int kErrInvalid = 10022;
constexpr int kErrWouldBlock = 10035;
constexpr int kErrMessageSize = 10040;
constexpr int kErrAddressInUse = 10048;
constexpr int kErrNetworkDown = 10050;
constexpr int kErrNetworkUnreachable = 10051;
constexpr int kErrConnectionAborted = 10053;
constexpr int kErrConnectionReset = 10054;
constexpr int kErrNoBuffers = 10055;
constexpr int kErrNotConnected = 10057;
constexpr int kErrShutDown = 10058;
constexpr int kErrTimedOut = 10060;
constexpr int kErrConnectionRefused = 10061;
constexpr int kErrHostUnreachable = 10065;
constexpr int kErrNotStarted = 10093;
constexpr int kErrHostNotFound = 11001;
// An errno without a classic counterpart.
constexpr int kErrOther = 10100;

// Receive flag: look at the data without taking it.
constexpr int kRecvPeek = 2;

// Counted like the classic start-up: every Startup needs its Cleanup.
int Startup();
// -1 (kErrNotStarted) when not started.
int Cleanup();
int StartupCount();
int LastError();

// A TCP socket of IPv4; kInvalidSocket when refused.
Socket OpenTcpSocket();
int CloseSocket(Socket s);
// Address bytes in the usual order (127, 0, 0, 1); null is any address.
int Bind(Socket s, const uint8_t* ipv4, uint16_t port);
int Listen(Socket s, int backlog);
// The port a bound socket got (for port 0), or -1.
int LocalPort(Socket s);
// In the asynchronous mode the connection completes later: -1 with
// kErrWouldBlock, then a connect event (with the error code on failure).
int Connect(Socket s, const uint8_t ipv4[4], uint16_t port);
// The next waiting connection; ipv4 and port (optional) get the peer's.
Socket Accept(Socket s, uint8_t* ipv4, uint16_t* port);
// Bytes taken (0 once the peer has closed), or -1.
int Recv(Socket s, void* dest, int bytes, int flags);
// Bytes handed to the system, or -1 (kErrWouldBlock when it takes none).
int Send(Socket s, const void* data, int bytes);
// Bytes waiting to be read, or -1.
int BytesWaiting(Socket s);
// A dotted address or a host name (looked up, which may wait) to IPv4
// address bytes; false when it cannot be found.
bool ResolveIpv4(const char* host, uint8_t ipv4[4]);

// Asynchronous mode: the socket stops blocking and the events named (0:
// none, back to blocking) are posted to the window as `message`. Each
// event is posted once and armed again as the classic mode does: read
// after the next receive, accept after the next accept, write once the
// socket is connected and again after a send that would block, connect and
// close once.
int AsyncSelect(Socket s, window::WindowHandle window, uint32_t message, uint32_t events);
// Looks at every socket in the asynchronous mode once, without waiting,
// and posts what happened. The network layer runs it before it dispatches
// its window's messages.
void PollEvents();

// Forgets every socket and the start-up count (tests).
void ResetSocketsForTesting();
// Sockets open now (tests).
int OpenSocketCount();

}  // namespace platform::net
