#include <gtest/gtest.h>

#include "core/resource_handle.h"
#include "core/tracked_memory.h"
#include "network_fixture.h"

namespace {

using NetworkTest = NetworkFixture;
namespace pn = platform::net;

TEST_F(NetworkTest, NeverStartedEveryOperationFailsAndTheStepLeavesTheQueueAlone) {
  const int handle = MakeResourceHandle(handle_kind::kNetwork, 0, 0);
  char data[4] = {};
  EXPECT_EQ(NetWorkSend(handle, "abc", 3), -1);
  EXPECT_EQ(NetWorkRecv(handle, data, 1), -1);
  EXPECT_EQ(GetNetWorkDataLength(handle), -1);
  EXPECT_EQ(GetNetWorkAcceptState(handle), -1);
  EXPECT_EQ(AcceptNetWork(), -1);
  Post(pw::kMsgUser + 1);
  int peeks = 0;
  pw::SetEventSource([&] { ++peeks; });
  EXPECT_EQ(NetworkMessageStep(1), 0);
  EXPECT_EQ(peeks, 0);
  EXPECT_EQ(pw::QueuedMessageCount(), 1u);
  EXPECT_EQ(EndNetwork(), 0);
  EXPECT_EQ(Log().find("ネットワーク"), std::string::npos);
}

TEST_F(NetworkTest, ATenByteSendArrivesBehindItsLittleEndianLength) {
  int peer = -1;
  const int h = ConnectedPair(&peer);
  EXPECT_EQ(NetWorkSend(h, "0123456789", 10), 0);
  const std::string wire = PeerReceive(peer, 14);
  EXPECT_EQ(wire, std::string("\x0a\x00\x00\x00", 4) + "0123456789");
}

TEST_F(NetworkTest, HandlesOutsideTheTableOrStaleAreRefusedWithTheirLogLine) {
  int peer = -1;
  const int h = ConnectedPair(&peer);
  const int slot_256 = MakeResourceHandle(handle_kind::kNetwork, HandleCounterOf(h), 256);
  const int stale = MakeResourceHandle(handle_kind::kNetwork, HandleCounterOf(h) + 1,
                                       static_cast<uint32_t>(HandleSlotOf(h)));
  const int other_kind = MakeResourceHandle(handle_kind::kSound, HandleCounterOf(h),
                                            static_cast<uint32_t>(HandleSlotOf(h)));
  for (int bad : {slot_256, stale, other_kind, -1}) {
    EXPECT_EQ(NetWorkSend(bad, "x", 1), -1) << bad;
    EXPECT_EQ(GetNetWorkDataLength(bad), -1) << bad;
    EXPECT_EQ(CloseNetworkHandle(bad), -1) << bad;
  }
  EXPECT_NE(Log().find("有効なネットワークハンドルではありません in NetWorkSend\r\n"),
            std::string::npos);
  EXPECT_EQ(GetNetWorkAcceptState(h), 1);
}

TEST_F(NetworkTest, ABlockArrivingInPiecesIsHandedOverOnlyWhole) {
  int peer = -1;
  const int h = ConnectedPair(&peer);
  const std::string framed = Framed("hello, world");
  const size_t cuts[] = {0, 2, 4, 9, framed.size()};
  for (size_t i = 0; i + 1 < std::size(cuts); ++i) {
    EXPECT_EQ(GetNetWorkDataLength(h), 0) << "before piece " << i;
    PeerSend(peer, framed.substr(cuts[i], cuts[i + 1] - cuts[i]));
    for (int k = 0; k < 3; ++k) PumpFrameMessagesBody();
  }
  EXPECT_EQ(GetNetWorkDataLength(h), 12);
  char got[16] = {};
  EXPECT_EQ(NetWorkRecvToPeek(h, got, 5), 0);
  EXPECT_EQ(NetWorkRecv(h, got, 5), 0);
  EXPECT_EQ(std::string(got, 5), "hello");
  EXPECT_EQ(NetWorkRecv(h, got, 8), -1);  // only seven are left
  EXPECT_EQ(NetWorkRecv(h, got, 7), 0);
  EXPECT_EQ(std::string(got, 7), ", world");
  EXPECT_EQ(GetNetWorkDataLength(h), 0);
}

TEST_F(NetworkTest, ASendLargerThanTheSocketTakesGoesOutAsThePeerReads) {
  int peer = -1;
  const int h = ConnectedPair(&peer);
  std::string big(12 << 20, '\0');
  for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7 + i / 4096);
  EXPECT_EQ(NetWorkSend(h, big.data(), static_cast<int>(big.size())), 0);
  EXPECT_EQ(NetWorkSend(h, "tail", 4), 0);
  // The socket could not take it all at once: the rest waits in the ring
  // and leaves as write events come through the pump.
  const NetworkRecord* r = FindNetworkRecord(h);
  ASSERT_NE(r, nullptr);
  EXPECT_GT(r->send.length, 0u);
  const std::string wire = PeerReceive(peer, big.size() + 4 + 8);
  ASSERT_EQ(wire.size(), big.size() + 4 + 8);
  EXPECT_EQ(wire.substr(0, 4), Framed(big).substr(0, 4));
  EXPECT_TRUE(wire.compare(4, big.size(), big) == 0);
  EXPECT_EQ(wire.substr(4 + big.size()), Framed("tail"));
}

TEST_F(NetworkTest, HostileBlockLengthsMarkTheConnectionFailedWithoutTakingMemory) {
  for (uint32_t length : {0x01000001u, 0x7FFFFFFFu, 0xFFFFFFC0u, 0xFFFFFFFFu}) {
    int peer = -1;
    const int h = ConnectedPair(&peer);
    const int32_t before = GetTrackedMemoryState().total_size;
    std::string header;
    for (int i = 0; i < 4; ++i) header += static_cast<char>((length >> (8 * i)) & 0xFF);
    PeerSend(peer, header + "xyz");
    EXPECT_TRUE(PumpUntil([&] { return FindNetworkRecord(h)->error == 1; })) << length;
    EXPECT_EQ(GetTrackedMemoryState().total_size, before);
    char got[4];
    EXPECT_EQ(NetWorkRecv(h, got, 1), -1);
    EXPECT_EQ(GetNetWorkDataLength(h), -1);
    EXPECT_EQ(CloseNetworkHandle(h), 0);
  }
  const std::string log = Log();
  EXPECT_NE(log.find("受信データを保存するリングバッファのリサイズに失敗しました(データサイズ "
                     "4294967295 byte)"),
            std::string::npos);
  EXPECT_NE(log.find("このネットワークハンドルにはエラーが発生しています in GetNetWorkDataLength"),
            std::string::npos);
}

TEST_F(NetworkTest, ConnectAndCloseArriveAsMessagesThroughThePump) {
  int port = 0;
  const int listener = PeerListen(&port);
  const int h = ConnectNetwork(kLoopback, port);
  ASSERT_GE(h, 0);
  // Until the pump dispatches the connect event the connection is pending.
  EXPECT_EQ(GetNetWorkAcceptState(h), 0);
  const int peer = PeerAccept(listener);
  ASSERT_GE(peer, 0);
  EXPECT_TRUE(PumpUntil([&] { return GetNetWorkAcceptState(h) == 1; }));
  // The peer's last block, then its close: the block stays readable.
  PeerSend(peer, Framed("bye"));
  ::shutdown(peer, SHUT_WR);
  EXPECT_TRUE(PumpUntil([&] { return GetNetWorkAcceptState(h) == -1; }));
  EXPECT_EQ(GetNetWorkDataLength(h), 3);
  char got[3];
  EXPECT_EQ(NetWorkRecv(h, got, 3), 0);
  EXPECT_EQ(std::string(got, 3), "bye");
  // A connection to a port nobody listens on fails through its connect event.
  const int refused_port = port;
  ::close(listener);
  const int dead = ConnectNetwork(kLoopback, refused_port);
  ASSERT_GE(dead, 0);
  EXPECT_TRUE(PumpUntil([&] { return FindNetworkRecord(dead)->error == 1; }));
  EXPECT_EQ(GetNetWorkAcceptState(dead), -1);
  // The main window hands socket events to the network layer too.
  EXPECT_EQ(pw::SendMessage(window_, pw::kMsgSocketEvent, 12345, pn::kEventRead), 1);
}

TEST_F(NetworkTest, AListenerAcceptsAndBothSidesTalkInBlocks) {
  ASSERT_EQ(PrepareListenNetwork(0, kLoopback), 0);
  const int port = GetListenNetworkPort();
  ASSERT_GT(port, 0);
  const int peer = PeerConnect(port);
  int h = -1;
  EXPECT_TRUE(PumpUntil([&] { return (h = TakeAcceptedNetwork()) >= 0; }));
  EXPECT_EQ(TakeAcceptedNetwork(), -1);
  EXPECT_EQ(GetNetWorkAcceptState(h), 1);
  uint8_t ip[4] = {};
  int remote_port = 0;
  EXPECT_EQ(GetNetworkRemoteAddress(h, ip, &remote_port), 0);
  EXPECT_EQ(std::vector<uint8_t>(ip, ip + 4), (std::vector<uint8_t>{127, 0, 0, 1}));
  EXPECT_GT(remote_port, 0);
  PeerSend(peer, Framed("ping") + Framed("") + Framed("pong!"));
  EXPECT_TRUE(PumpUntil([&] { return GetNetWorkDataLength(h) == 9; }));
  EXPECT_EQ(NetWorkSend(h, "ok", 2), 0);
  EXPECT_EQ(PeerReceive(peer, 6), Framed("ok"));
  // Closing sends what is still queued, then the socket goes.
  EXPECT_EQ(NetWorkSend(h, "last", 4), 0);
  EXPECT_EQ(CloseNetworkHandle(h), 0);
  EXPECT_EQ(PeerReceive(peer, 100), Framed("last"));
  char c;
  EXPECT_EQ(::recv(peer, &c, 1, 0), 0);
  EXPECT_EQ(GetNetWorkAcceptState(h), -1);
}

TEST_F(NetworkTest, ADirectConnectionCarriesTheBytesAsTheyStand) {
  int peer = -1;
  const int h = ConnectedPair(&peer, 0);
  EXPECT_EQ(NetWorkSend(h, "raw", 3), 3);
  EXPECT_EQ(PeerReceive(peer, 3), "raw");
  PeerSend(peer, "reply");
  EXPECT_TRUE(PumpUntil([&] { return GetNetWorkDataLength(h) == 5; }));
  char got[8] = {};
  EXPECT_EQ(NetWorkRecvToPeek(h, got, 8), 5);
  EXPECT_EQ(NetWorkRecv(h, got, 8), 5);
  EXPECT_EQ(std::string(got, 5), "reply");
  EXPECT_EQ(NetWorkRecv(h, got, 8), 0);  // nothing more yet
}

TEST_F(NetworkTest, TheEndClosesEveryConnectionAndTheNetworkWindow) {
  int peer = -1;
  ConnectedPair(&peer);
  ASSERT_EQ(PrepareListenNetwork(0, kLoopback), 0);
  ASSERT_EQ(pw::WindowCount(), 2);
  EXPECT_EQ(EndNetwork(), 0);
  EXPECT_EQ(pw::WindowCount(), 1);
  EXPECT_EQ(pn::OpenSocketCount(), 0);
  EXPECT_EQ(pn::StartupCount(), 0);
  EXPECT_EQ(IsNetworkStarted(), 0);
  char c;
  EXPECT_EQ(::recv(peer, &c, 1, 0), 0);
  const std::string log = Log();
  EXPECT_NE(log.find("ネットワーク関連の終了処理を行います \r\n"), std::string::npos);
  EXPECT_NE(log.find("ネットワーク関連の終了処理は完了しました\r\n"), std::string::npos);
}

}  // namespace
