#include "core/network.h"

#include <algorithm>
#include <cstring>

#include "core/resource_handle.h"
#include "core/startup_log.h"
#include "platform/clock.h"
#include "platform/window/message_queue.h"

namespace pw = platform::window;
namespace pn = platform::net;

namespace {

constexpr const char* kNetworkClassName = "KestoNetwork";
constexpr uint32_t kConnectionEvents = pn::kEventRead | pn::kEventWrite | pn::kEventClose;

struct NetworkState {
  int started;
  pw::WindowHandle window;
  pn::Socket listen_socket;
  int listening;
  int recv_guard;
  int log_traffic;
};

NetworkState g_net{};
// The setting outlives an end of the network.
int g_default_buffered = 1;
// Orders accepted connections not handed out yet.
uint32_t g_accept_sequence = 0;
NetworkRecord g_records[kMaxNetworkHandles];
HandleTable<NetworkRecord> g_table(handle_kind::kNetwork, kMaxNetworkHandles);

void LogSocketError(const char* text) {
  CoreLogFormat("ネットワークログ。%s[%d]", text, pn::LastError());
}

enum class Check { kQuiet, kLogEmpty };

// The record of a handle for an operation, with the lines the operation
// logs for a handle that names nothing and for a connection in error.
NetworkRecord* CheckHandle(int handle, const char* where, Check check) {
  NetworkRecord* r = g_table.Find(handle);
  if (!r || !r->in_use) {
    if (check == Check::kLogEmpty) {
      CoreLogFormat("有効なネットワークハンドルではありません in %s\n", where);
    }
    return nullptr;
  }
  if (r->error) {
    CoreLogFormat("このネットワークハンドルにはエラーが発生しています in %s\n", where);
    return nullptr;
  }
  return r;
}

int HandleOfRecord(const NetworkRecord* r) {
  return g_table.HandleAt(static_cast<int>(r - g_records));
}

// Bytes of the receive ring that belong to whole blocks: a block is handed
// to the program only once all of it has arrived.
uint32_t ReadyBytes(const NetworkRecord& r) { return r.recv.length - r.recv_block_got; }

intptr_t NetworkWindowProc(pw::WindowHandle window, uint32_t message, uintptr_t wparam,
                           intptr_t lparam) {
  if (message == pw::kMsgSocketEvent) return HandleSocketEvent(wparam, lparam);
  return pw::DefaultWindowProc(window, message, wparam, lparam);
}

// A free slot made ready for a socket; null when none is free.
NetworkRecord* TakeSlot(pn::Socket s, int buffered) {
  const int slot = g_table.FirstFreeSlot();
  if (slot < 0) return nullptr;
  NetworkRecord* r = &g_records[slot];
  *r = NetworkRecord{};
  r->in_use = 1;
  r->socket = s;
  r->buffered = buffered;
  g_table.Insert(slot, r);
  r->counter = HandleCounterOf(g_table.HandleAt(slot));
  return r;
}

void FreeSlot(NetworkRecord* r) {
  FreeRingBuffer(&r->recv);
  FreeRingBuffer(&r->send);
  g_table.RemoveSlot(static_cast<int>(r - g_records));
  *r = NetworkRecord{};
  r->closed = 1;
}

bool WouldBlock() { return pn::LastError() == pn::kErrWouldBlock; }

}  // namespace

int StartNetwork() {
  if (g_net.started) return 0;
  CoreLog("ネットワーク関連の初期化を行います... ");
  pn::Startup();
  if (!pw::IsClassRegistered(kNetworkClassName) &&
      !pw::RegisterWindowClass(kNetworkClassName, NetworkWindowProc)) {
    pn::Cleanup();
    CoreLog("ネットワークウインドウクラスの登録に失敗しました\n");
    return -1;
  }
  pw::WindowParams params;
  params.message_only = true;
  g_net.window = pw::CreateWindow(kNetworkClassName, params);
  if (!g_net.window) {
    pw::UnregisterWindowClass(kNetworkClassName);
    pn::Cleanup();
    CoreLog("ネットワークウインドウの作成に失敗しました\n");
    return -1;
  }
  g_net.listen_socket = pn::kInvalidSocket;
  g_net.started = 1;
  CoreLog("完了しました\n");
  return 0;
}

int IsNetworkStarted() { return g_net.started; }

int SetDefaultNetworkBufferedMode(int buffered) {
  g_default_buffered = buffered ? 1 : 0;
  return 0;
}

int ConnectNetwork(const uint8_t ipv4[4], int port, int buffered) {
  if (!ipv4 || port < 0 || port > 65535 || StartNetwork() != 0) return -1;
  const pn::Socket s = pn::OpenTcpSocket();
  if (s == pn::kInvalidSocket) {
    LogSocketError("ソケットの作成に失敗しました");
    return -1;
  }
  NetworkRecord* r = TakeSlot(s, buffered < 0 ? g_default_buffered : (buffered ? 1 : 0));
  if (!r) {
    pn::CloseSocket(s);
    CoreLog("空きソケットデータがなかったので接続できませんでした\n");
    return -1;
  }
  std::memcpy(r->remote_ip, ipv4, 4);
  r->remote_port = port;
  if (pn::AsyncSelect(s, g_net.window, pw::kMsgSocketEvent,
                      kConnectionEvents | pn::kEventConnect) != 0) {
    LogSocketError("WSAAsyncSelectのエラー in ConnectNetwork");
  } else if (pn::Connect(s, ipv4, static_cast<uint16_t>(port)) == 0 || WouldBlock()) {
    return HandleOfRecord(r);
  } else {
    LogSocketError("接続に失敗しました");
  }
  pn::CloseSocket(s);
  FreeSlot(r);
  return -1;
}

int PrepareListenNetwork(int port, const uint8_t* ipv4) {
  if (port < 0 || port > 65535 || StartNetwork() != 0) return -1;
  if (g_net.listening) return -1;
  const pn::Socket s = pn::OpenTcpSocket();
  if (s == pn::kInvalidSocket) {
    LogSocketError("ソケットの作成に失敗しました");
    return -1;
  }
  if (pn::Bind(s, ipv4, static_cast<uint16_t>(port)) != 0) {
    LogSocketError("bindに失敗しました");
  } else if (pn::Listen(s, 16) != 0) {
    LogSocketError("listenに失敗しました");
  } else if (pn::AsyncSelect(s, g_net.window, pw::kMsgSocketEvent, pn::kEventAccept) != 0) {
    LogSocketError("WSAAsyncSelectのエラー in PrepareListenNetwork");
  } else {
    g_net.listen_socket = s;
    g_net.listening = 1;
    return 0;
  }
  pn::CloseSocket(s);
  return -1;
}

int StopListenNetwork() {
  if (!g_net.listening) return -1;
  pn::AsyncSelect(g_net.listen_socket, nullptr, 0, 0);
  pn::CloseSocket(g_net.listen_socket);
  g_net.listen_socket = pn::kInvalidSocket;
  g_net.listening = 0;
  return 0;
}

int GetListenNetworkPort() { return g_net.listening ? pn::LocalPort(g_net.listen_socket) : -1; }

int TakeAcceptedNetwork() {
  NetworkRecord* oldest = nullptr;
  for (NetworkRecord& r : g_records) {
    if (r.in_use && r.accepted_unseen && (!oldest || r.accepted_unseen < oldest->accepted_unseen)) {
      oldest = &r;
    }
  }
  if (!oldest) return -1;
  oldest->accepted_unseen = 0;
  return HandleOfRecord(oldest);
}

int GetNetworkRemoteAddress(int handle, uint8_t ipv4[4], int* port) {
  const NetworkRecord* r = FindNetworkRecord(handle);
  if (!r) return -1;
  if (ipv4) std::memcpy(ipv4, r->remote_ip, 4);
  if (port) *port = r->remote_port;
  return 0;
}

const NetworkRecord* FindNetworkRecord(int handle) {
  const NetworkRecord* r = g_table.Find(handle);
  return r && r->in_use ? r : nullptr;
}

int SendSocket(int handle) {
  if (!g_net.started) return -1;
  NetworkRecord* r = CheckHandle(handle, "SendSocket", Check::kLogEmpty);
  if (!r) return -1;
  for (;;) {
    if (r->send_header_left > 0) {
      const int sent =
          pn::Send(r->socket, r->send_header + (4 - r->send_header_left), r->send_header_left);
      if (sent < 0) {
        if (WouldBlock()) return 0;
        LogSocketError("send に失敗しました");
        r->error = 1;
        return -1;
      }
      // A short send is tried again until the socket says it would block,
      // which is what arms the next write event.
      r->send_header_left -= sent;
      if (r->send_header_left > 0) continue;
    }
    if (r->send_block_left == 0) {
      if (r->send.length == 0) return 0;
      // Longer data goes as several blocks, each one the peer will take.
      r->send_block_left = std::min(r->send.length, kMaxNetworkBlock);
      const uint32_t n = r->send_block_left;
      r->send_header[0] = static_cast<uint8_t>(n);
      r->send_header[1] = static_cast<uint8_t>(n >> 8);
      r->send_header[2] = static_cast<uint8_t>(n >> 16);
      r->send_header[3] = static_cast<uint8_t>(n >> 24);
      r->send_header_left = 4;
      continue;
    }
    const uint8_t* at = nullptr;
    const uint32_t run = std::min(ReadableRun(r->send, &at), r->send_block_left);
    const int sent = pn::Send(r->socket, at, static_cast<int>(run));
    if (sent < 0) {
      if (WouldBlock()) return 0;
      LogSocketError("send に失敗しました");
      r->error = 1;
      return -1;
    }
    ConsumeRing(&r->send, static_cast<uint32_t>(sent));
    r->send_block_left -= static_cast<uint32_t>(sent);
  }
}

int RecvSocket(int handle) {
  if (!g_net.started) return -1;
  NetworkRecord* r = CheckHandle(handle, "RecvSocket", Check::kLogEmpty);
  if (!r) return -1;
  if (g_net.recv_guard) return 0;
  g_net.recv_guard = 1;
  int result = 0;
  for (;;) {
    if (r->recv_block_length == 0) {
      uint8_t header[4];
      if (pn::Recv(r->socket, header, 4, pn::kRecvPeek) < 4) break;
      pn::Recv(r->socket, header, 4, 0);
      const uint32_t length =
          static_cast<uint32_t>(header[0]) | static_cast<uint32_t>(header[1]) << 8 |
          static_cast<uint32_t>(header[2]) << 16 | static_cast<uint32_t>(header[3]) << 24;
      if (length == 0) continue;
      // The length comes from the peer: a hostile one must not size memory.
      if (length > kMaxNetworkBlock || GrowRingBuffer(&r->recv, length) != 0) {
        CoreLogFormat(
            "受信データを保存するリングバッファのリサイズに失敗しました(データサイズ %u byte)",
            length);
        r->error = 1;
        result = -1;
        break;
      }
      r->recv_block_length = length;
      r->recv_block_got = 0;
    }
    uint8_t* at = nullptr;
    const uint32_t run =
        std::min(WritableRun(r->recv, &at), r->recv_block_length - r->recv_block_got);
    const int got = pn::Recv(r->socket, at, static_cast<int>(run), 0);
    if (got <= 0) {
      // The peer has closed: the rest of the block will never come.
      if (got == 0 && run > 0) r->closed = 1;
      if (got < 0 && !WouldBlock()) {
        LogSocketError("recv に失敗しました");
        r->error = 1;
        result = -1;
      }
      break;
    }
    CommitRingWrite(&r->recv, static_cast<uint32_t>(got));
    r->recv_block_got += static_cast<uint32_t>(got);
    if (r->recv_block_got == r->recv_block_length) {
      r->recv_block_length = 0;
      r->recv_block_got = 0;
    }
  }
  g_net.recv_guard = 0;
  return result;
}

namespace {

int ReceiveInto(int handle, void* dest, int bytes, const char* where, bool consume) {
  if (!g_net.started) return -1;
  NetworkRecord* r = CheckHandle(handle, where, Check::kLogEmpty);
  if (!r || bytes < 0 || (!dest && bytes > 0)) return -1;
  if (!r->buffered) {
    const int got = pn::Recv(r->socket, dest, bytes, consume ? 0 : pn::kRecvPeek);
    if (got >= 0) return got;
    if (WouldBlock()) return 0;
    LogSocketError("recv に失敗しました");
    r->error = 1;
    return -1;
  }
  if (RecvSocket(handle) != 0) return -1;
  if (static_cast<uint32_t>(bytes) > ReadyBytes(*r)) return -1;
  PeekRing(r->recv, dest, static_cast<uint32_t>(bytes));
  if (consume) ConsumeRing(&r->recv, static_cast<uint32_t>(bytes));
  return 0;
}

}  // namespace

int NetWorkRecv(int handle, void* dest, int bytes) {
  return ReceiveInto(handle, dest, bytes, "NetWorkRecv", true);
}

int NetWorkRecvToPeek(int handle, void* dest, int bytes) {
  return ReceiveInto(handle, dest, bytes, "NetWorkRecvToPeek", false);
}

int NetWorkSend(int handle, const void* data, int bytes) {
  if (!g_net.started) return -1;
  NetworkRecord* r = CheckHandle(handle, "NetWorkSend", Check::kLogEmpty);
  if (!r || bytes < 0 || (!data && bytes > 0)) return -1;
  if (!r->buffered) {
    const int sent = pn::Send(r->socket, data, bytes);
    if (sent >= 0) return sent;
    if (WouldBlock()) return 0;
    LogSocketError("send に失敗しました");
    r->error = 1;
    return -1;
  }
  if (AppendToRing(&r->send, data, static_cast<uint32_t>(bytes)) != 0) {
    CoreLogFormat("送信データ %d byte の追加に失敗しました in NewWorkSend", bytes);
    return -1;
  }
  return SendSocket(handle) < 0 ? -1 : 0;
}

int GetNetWorkDataLength(int handle) {
  if (!g_net.started) return -1;
  NetworkRecord* r = CheckHandle(handle, "GetNetWorkDataLength", Check::kQuiet);
  if (!r) return -1;
  if (r->buffered) return static_cast<int>(ReadyBytes(*r));
  return pn::BytesWaiting(r->socket);
}

int GetNetWorkAcceptState(int handle) {
  if (!g_net.started) return -1;
  NetworkRecord* r = CheckHandle(handle, "GetNetWorkAcceptStateh", Check::kQuiet);
  if (!r) return -1;
  if (r->connected) return 1;
  // A connection the peer has closed will never stand again.
  return r->closed ? -1 : 0;
}

int AcceptNetWork() {
  if (!g_net.started || !g_net.listening) return -1;
  const int slot = g_table.FirstFreeSlot();
  if (slot < 0) {
    CoreLog("空きソケットデータがなかったので accept を拒否しました \n");
    // Take it off the queue anyway, or the accept event never comes again.
    const pn::Socket refused = pn::Accept(g_net.listen_socket, nullptr, nullptr);
    if (refused != pn::kInvalidSocket) pn::CloseSocket(refused);
    return -1;
  }
  uint8_t ip[4] = {};
  uint16_t port = 0;
  const pn::Socket s = pn::Accept(g_net.listen_socket, ip, &port);
  if (s == pn::kInvalidSocket) {
    if (!WouldBlock()) LogSocketError("acceptに失敗しました");
    return -1;
  }
  NetworkRecord* r = TakeSlot(s, g_default_buffered);
  std::memcpy(r->remote_ip, ip, 4);
  r->remote_port = port;
  r->connected = 1;
  r->accepted_unseen = ++g_accept_sequence;
  if (pn::AsyncSelect(s, g_net.window, pw::kMsgSocketEvent, kConnectionEvents) != 0) {
    LogSocketError("WSAAsyncSelectのエラー in AcceptNetWork");
    pn::CloseSocket(s);
    FreeSlot(r);
    return -1;
  }
  return 1;
}

int HandleSocketEvent(uintptr_t wparam, intptr_t lparam) {
  if (!g_net.started) return 1;
  const auto s = static_cast<pn::Socket>(wparam);
  const uint32_t event = pn::EventOf(lparam);
  const int error = pn::ErrorOf(lparam);
  if (g_net.listening && s == g_net.listen_socket) {
    if (event == pn::kEventAccept) AcceptNetWork();
    return 1;
  }
  NetworkRecord* r = nullptr;
  for (NetworkRecord& rec : g_records) {
    if (rec.in_use && rec.socket == s) r = &rec;
  }
  if (!r) return 1;
  const int handle = HandleOfRecord(r);
  switch (event) {
    case pn::kEventRead:
      // A direct connection's data waits in the socket for the program.
      if (r->buffered && !r->error) RecvSocket(handle);
      break;
    case pn::kEventWrite:
      if (r->buffered && !r->error) SendSocket(handle);
      break;
    case pn::kEventConnect:
      if (error == 0) {
        r->connected = 1;
      } else {
        CoreLogFormat("ネットワークログ。接続に失敗しました[%d]", error);
        r->error = 1;
        r->closed = 1;
      }
      break;
    case pn::kEventClose:
      // What arrived before the close is still the program's.
      if (r->buffered && !r->error) RecvSocket(handle);
      r->connected = 0;
      r->closed = 1;
      // A broken connection, unlike a closed one, may have lost data.
      if (error != 0) r->error = 1;
      break;
    default:
      break;
  }
  return 1;
}

int CloseNetworkHandle(int handle) {
  NetworkRecord* r = g_table.Find(handle);
  if (!g_net.started || !r || !r->in_use) return -1;
  if (r->buffered && !r->error) {
    uint32_t start = platform::TimeGetTime();
    while (r->recv_block_length != 0 && !r->error && !r->closed &&
           platform::TimeGetTime() - start < 1000) {
      RecvSocket(handle);
      if (r->recv_block_length != 0) platform::Sleep(1);
    }
    start = platform::TimeGetTime();
    while ((r->send.length != 0 || r->send_header_left != 0) && !r->error &&
           platform::TimeGetTime() - start < 1000) {
      SendSocket(handle);
      if (r->send.length != 0 || r->send_header_left != 0) platform::Sleep(1);
    }
  }
  pn::AsyncSelect(r->socket, nullptr, 0, 0);
  pn::CloseSocket(r->socket);
  FreeSlot(r);
  return 0;
}

int NetworkMessageStep(int close_idle) {
  if (!g_net.started || !pw::IsWindow(g_net.window)) return 0;
  if (close_idle == 1) {
    for (NetworkRecord& r : g_records) {
      if (r.in_use && (r.closed || r.error)) CloseNetworkHandle(HandleOfRecord(&r));
    }
  }
  pn::PollEvents();
  pw::Message m;
  const pw::PeekFilter mine{pw::PeekFilter::kWindowOnly, g_net.window, 0, 0};
  while (pw::IsWindow(g_net.window) && pw::PeekMessage(&m, mine, true)) {
    pw::TranslateMessage(m);
    pw::DispatchMessage(m);
  }
  return 0;
}

int EndNetwork() {
  if (!g_net.started) return 0;
  CoreLog("ネットワーク関連の終了処理を行います \n");
  for (NetworkRecord& r : g_records) {
    if (r.in_use) CloseNetworkHandle(HandleOfRecord(&r));
  }
  StopListenNetwork();
  pw::PostMessage(g_net.window, pw::kMsgClose, 0, 0);
  pw::Message m;
  const pw::PeekFilter mine{pw::PeekFilter::kWindowOnly, g_net.window, 0, 0};
  while (pw::IsWindow(g_net.window) && pw::PeekMessage(&m, mine, true)) {
    pw::DispatchMessage(m);
  }
  pw::UnregisterWindowClass(kNetworkClassName);
  g_net = NetworkState{};
  pn::Cleanup();
  CoreLog("ネットワーク関連の終了処理は完了しました\n");
  return 0;
}

void ResetNetworkForTesting() {
  for (NetworkRecord& r : g_records) {
    FreeRingBuffer(&r.recv);
    FreeRingBuffer(&r.send);
    r = NetworkRecord{};
  }
  g_table.Clear();
  g_table.counter().Reset();
  g_net = NetworkState{};
  g_default_buffered = 1;
}
