// TCP connections named by network handles (kind 0x48000000, 256 slots).
// Sockets run in the asynchronous mode: their events arrive as messages to
// a hidden network window, which the pump's network step dispatches. A
// connection in buffered mode frames its byte stream into blocks, each sent
// as a 4-byte little-endian length and the bytes; in direct mode the socket
// is read and written as it stands.
#pragma once

#include <cstdint>

#include "core/ring_buffer.h"
#include "platform/net/sockets.h"

constexpr int kMaxNetworkHandles = 256;
// The largest block a peer may announce; a longer one marks the connection
// failed instead of asking for that much memory.
constexpr uint32_t kMaxNetworkBlock = 16u << 20;

struct NetworkRecord {
  int in_use;
  int error;
  int connected;  // 1 once the connection stands (0 again after its close)
  int closed;     // 1 once the peer closed or the connection broke
  int buffered;
  uint32_t counter;
  platform::net::Socket socket;
  uint32_t recv_block_length;  // the block being received, 0 when none
  uint32_t recv_block_got;     // its bytes already in the receive ring
  RingBuffer recv;
  RingBuffer send;
  int send_header_left;      // header bytes of the current block still to go
  uint32_t send_block_left;  // bytes of the current block still to go
  uint8_t send_header[4];
  uint8_t remote_ip[4];
  int remote_port;
  uint32_t accepted_unseen;  // accepted and not yet handed out: its order, else 0
};

// Starts the socket library and makes the network window; 0, or -1.
int StartNetwork();
int IsNetworkStarted();
// The setting for connections made from now on (buffered 1 by default).
int SetDefaultNetworkBufferedMode(int buffered);
// Starts a connection to an IPv4 address; the handle, or -1. The connection
// completes later (GetNetWorkAcceptState turns 1). buffered -1 takes the
// default.
int ConnectNetwork(const uint8_t ipv4[4], int port, int buffered = -1);
// Listens on a port (0: one the system picks; ipv4 null: every address).
int PrepareListenNetwork(int port, const uint8_t* ipv4 = nullptr);
int StopListenNetwork();
// The port listened on, or -1.
int GetListenNetworkPort();
// The oldest accepted connection not handed out yet, or -1.
int TakeAcceptedNetwork();
int GetNetworkRemoteAddress(int handle, uint8_t ipv4[4], int* port);

int NetWorkRecv(int handle, void* dest, int bytes);
int NetWorkRecvToPeek(int handle, void* dest, int bytes);
int NetWorkSend(int handle, const void* data, int bytes);
int GetNetWorkDataLength(int handle);
int GetNetWorkAcceptState(int handle);
int AcceptNetWork();
int RecvSocket(int handle);
int SendSocket(int handle);
int CloseNetworkHandle(int handle);
int NetworkMessageStep(int close_idle);
int HandleSocketEvent(uintptr_t wparam, intptr_t lparam);
int EndNetwork();

// The record of a valid handle, or null; no logging (the HTTP client).
const NetworkRecord* FindNetworkRecord(int handle);

// Forgets the whole network state without closing anything (tests).
void ResetNetworkForTesting();
