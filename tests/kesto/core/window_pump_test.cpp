#include <gtest/gtest.h>

#include "core/entry_bodies.h"
#include "core/text_input.h"
#include "window_fixture.h"

namespace {

using PumpTest = CoreWindowFixture;

TEST_F(PumpTest, ActiveWithNothingWaitingDispatchesNothing) {
  EXPECT_EQ(PumpFrameMessagesBody(), 0);
  EXPECT_TRUE(SeenMessages().empty());
  EXPECT_EQ(clock_.sleeps(), 0u);
}

TEST_F(PumpTest, TenWaitingMessagesDispatchSixAndLeaveFour) {
  for (int i = 0; i < 10; ++i) Post(pw::kMsgUser + 10);
  EXPECT_EQ(PumpFrameMessagesBody(), 0);
  EXPECT_EQ(SeenMessages().size(), 6u);
  EXPECT_EQ(pw::QueuedMessageCount(), 4u);
  EXPECT_EQ(PumpFrameMessagesBody(), 0);
  EXPECT_EQ(pw::QueuedMessageCount(), 0u);
}

TEST_F(PumpTest, ClosingTheWindowMakesEveryLaterPumpReportQuit) {
  Post(pw::kMsgSysCommand, pw::kScClose);
  EXPECT_EQ(PumpFrameMessagesBody(), -1);
  EXPECT_FALSE(pw::IsWindow(window_));
  const WindowCoreState& s = CoreState();
  EXPECT_EQ(s.destroyed, 1);
  EXPECT_EQ(s.ending_state, 4);
  EXPECT_EQ(SeenMessages(),
            (std::vector<uint32_t>{pw::kMsgSysCommand, pw::kMsgClose, pw::kMsgDestroy}));
  for (int i = 0; i < 3; ++i) EXPECT_EQ(PumpFrameMessagesBody(), -1);
}

TEST_F(PumpTest, AMessageArrivingAfterQuitIsTakenAndDropped) {
  CoreState().quit = 1;
  Post(pw::kMsgUser + 3);
  EXPECT_EQ(PumpFrameMessagesBody(), -1);
  EXPECT_TRUE(SeenMessages().empty());
  EXPECT_EQ(pw::QueuedMessageCount(), 0u);
}

TEST_F(PumpTest, FocusLossHoldsThePumpUntilFocusReturns) {
  Post(pw::kMsgActivateApp, 0);
  Post(pw::kMsgActivate, 0);
  int sleeps_until_focus = 6;
  clock_.on_sleep = [&](uint64_t ns) {
    if (ns > 0 && --sleeps_until_focus == 0) {
      Post(pw::kMsgActivateApp, 1);
      Post(pw::kMsgActivate, 1);
    }
  };
  EXPECT_EQ(PumpFrameMessagesBody(), 0);
  EXPECT_EQ(CoreState().active, 1);
  EXPECT_LE(sleeps_until_focus, 0);  // it waited, sleeping, until then
  // Input reads and draws wait the same way.
  CoreState().active = 0;
  sleeps_until_focus = 4;
  WaitWhileInactive();
  EXPECT_EQ(CoreState().active, 1);
  EXPECT_LE(sleeps_until_focus, 0);
}

TEST_F(PumpTest, QuitEndsAnInactiveWait) {
  Post(pw::kMsgActivate, 0);
  clock_.on_sleep = [&](uint64_t ns) {
    if (ns > 0 && clock_.sleeps() == 3) Post(pw::kMsgClose);
  };
  EXPECT_EQ(PumpFrameMessagesBody(), -1);
}

TEST_F(PumpTest, WithoutAWindowThePumpNeverWaitsForActivity) {
  pw::DestroyWindow(window_);
  pw::Message m;
  while (pw::PeekMessage(&m, pw::PeekFilter{}, true)) {
  }
  WindowCoreState& s = CoreState();
  s.main_window = nullptr;
  s.quit = 0;
  s.active = 0;
  clock_.on_sleep = [&](uint64_t) { ASSERT_LT(clock_.sleeps(), 100u) << "pump waits for ever"; };
  EXPECT_EQ(PumpFrameMessagesBody(), 0);
  WaitWhileInactive();
}

TEST_F(PumpTest, TextInputGetsCharactersAndEditingKeys) {
  InitCharCodeBuffer();
  Post(pw::kMsgChar, 'a');
  Post(pw::kMsgKeyDown, pw::kVkDelete);
  Post(pw::kMsgKeyDown, pw::kVkLeft);
  Post(pw::kMsgKeyDown, pw::kVkBack);  // translated into character 8
  Post(pw::kMsgKeyDown, 'Q');          // no control code
  while (pw::QueuedMessageCount() > 0) PumpFrameMessagesBody();
  std::vector<int> codes;
  uint8_t c[2];
  while (ReadCharCode(c, 1) > 0) codes.push_back(c[0]);
  EXPECT_EQ(codes, (std::vector<int>{'a', 0x10, 0x1D, 8}));
}

TEST_F(PumpTest, WindowProcedureRows) {
  EXPECT_EQ(pw::SendMessage(window_, pw::kMsgSysCommand, pw::kScScreenSave, 0), 1);
  pw::SendMessage(window_, pw::kMsgMouseWheel, static_cast<uintptr_t>(120) << 16, 0);
  pw::SendMessage(window_, pw::kMsgMouseWheel, static_cast<uintptr_t>(0xFF88) << 16, 0);
  pw::SendMessage(window_, pw::kMsgMouseWheel, static_cast<uintptr_t>(240) << 16, 0);
  EXPECT_EQ(CoreState().wheel_count, 1);
  // Alt+Enter and maximising switch nothing unless allowed (never here).
  EXPECT_EQ(pw::SendMessage(window_, pw::kMsgSysChar, 13, 0), 0);
  pw::SendMessage(window_, pw::kMsgSize, pw::kSizeMaximized, 0);
  EXPECT_EQ(CoreState().alt_enter_request, 0);
  CoreState().kept.alt_enter_allowed = 1;
  pw::SendMessage(window_, pw::kMsgSysChar, 13, 0);
  EXPECT_EQ(CoreState().alt_enter_request, 1);
  // A move in window mode updates the client rectangle in desktop terms.
  pw::SendMessage(window_, pw::kMsgMove, 0, pw::MakeLParam(-20, 30));
  int l, t, r, b;
  ReadWindowClientRect(&l, &t, &r, &b);
  EXPECT_EQ(l, -20);
  EXPECT_EQ(t, 30);
  EXPECT_EQ(r, 620);
  EXPECT_EQ(b, 510);
}

TEST_F(PumpTest, SizingKeepsTheScreensAspect) {
  struct Case {
    uintptr_t edge;
    int in[4];
    int out[4];
    double scale;
  };
  const Case cases[] = {
      // Left and right edges: the height follows the width.
      {pw::kEdgeRight, {0, 0, 1280, 100}, {0, 0, 1280, 960}, 2.0},
      {pw::kEdgeLeft, {-320, 0, 640, 480}, {-320, 0, 640, 720}, 1.5},
      // Top and bottom: the width follows the height.
      {pw::kEdgeBottom, {10, 10, 20, 250}, {10, 10, 330, 250}, 0.5},
      {pw::kEdgeTop, {0, -480, 640, 480}, {0, -480, 1280, 480}, 2.0},
      // Corners: the larger ratio wins.
      {pw::kEdgeBottomRight, {0, 0, 700, 960}, {0, 0, 1280, 960}, 2.0},
      {pw::kEdgeTopLeft, {0, 0, 1280, 500}, {0, -460, 1280, 500}, 2.0},
  };
  for (const Case& c : cases) {
    int rect[4] = {c.in[0], c.in[1], c.in[2], c.in[3]};
    const double scale = ApplySizingRule(c.edge, rect, 0, 0, 640, 480);
    EXPECT_EQ(std::vector<int>(rect, rect + 4), std::vector<int>(c.out, c.out + 4)) << c.edge;
    EXPECT_DOUBLE_EQ(scale, c.scale) << c.edge;
  }
}

}  // namespace
