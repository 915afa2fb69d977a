#include "platform/window/message_queue.h"

#include <gtest/gtest.h>

#include <vector>

namespace pw = platform::window;

namespace {

std::vector<uint32_t> g_seen;

intptr_t RecordingProc(pw::WindowHandle w, uint32_t id, uintptr_t wp, intptr_t lp) {
  g_seen.push_back(id);
  return pw::DefaultWindowProc(w, id, wp, lp);
}

// Dispatches every waiting message from inside its own handler of 0x401,
// the way a window procedure pumps while it waits.
intptr_t NestingProc(pw::WindowHandle w, uint32_t id, uintptr_t wp, intptr_t lp) {
  g_seen.push_back(id);
  if (id == pw::kMsgUser + 1) {
    pw::Message m;
    while (pw::PeekMessage(&m, pw::PeekFilter{pw::PeekFilter::kWindowOnly, w, 0, 0}, true)) {
      if (m.id == pw::kMsgPaint) {
        pw::BeginPaint(w);
        continue;
      }
      pw::DispatchMessage(m);
    }
  }
  return pw::DefaultWindowProc(w, id, wp, lp);
}

class MessageQueueTest : public ::testing::Test {
 protected:
  void SetUp() override {
    pw::ResetWindowSystemForTesting();
    g_seen.clear();
    ASSERT_TRUE(pw::RegisterWindowClass("Test", RecordingProc));
  }
  void TearDown() override { pw::ResetWindowSystemForTesting(); }

  pw::WindowHandle MakeWindow(bool visible = false) {
    pw::WindowParams p;
    p.title = "t";
    p.client = {0, 0, 64, 48};
    p.visible = visible;
    return pw::CreateWindow("Test", p);
  }

  static pw::PeekFilter Only(pw::WindowHandle w) {
    return pw::PeekFilter{pw::PeekFilter::kWindowOnly, w, 0, 0};
  }
};

TEST_F(MessageQueueTest, CreateAndDestroyAreSentAndDestroyDropsQueuedMessages) {
  pw::WindowHandle w = MakeWindow();
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(g_seen, std::vector<uint32_t>{pw::kMsgCreate});
  pw::PostMessage(w, pw::kMsgUser, 0, 0);
  pw::PostQuitMessage(0);
  ASSERT_TRUE(pw::DestroyWindow(w));
  EXPECT_EQ(g_seen.back(), pw::kMsgDestroy);
  EXPECT_FALSE(pw::IsWindow(w));
  // Only the thread's quit message is left; posting to the dead window fails.
  EXPECT_EQ(pw::QueuedMessageCount(), 1u);
  EXPECT_FALSE(pw::PostMessage(w, pw::kMsgUser, 0, 0));
  EXPECT_EQ(pw::SendMessage(w, pw::kMsgUser, 0, 0), 0);
}

TEST_F(MessageQueueTest, PeekFiltersTakeOnlyMatchingMessagesInOrder) {
  pw::WindowHandle a = MakeWindow();
  pw::WindowHandle b = MakeWindow();
  pw::PostMessage(b, pw::kMsgUser + 1, 1, 0);
  pw::PostMessage(a, pw::kMsgUser + 2, 2, 0);
  pw::PostQuitMessage(7);
  pw::PostMessage(a, pw::kMsgKeyDown, 3, 0);

  pw::Message m;
  ASSERT_TRUE(pw::PeekMessage(&m, pw::PeekFilter{pw::PeekFilter::kThreadOnly, nullptr, 0, 0}, true));
  EXPECT_EQ(m.id, pw::kMsgQuit);
  EXPECT_EQ(m.wparam, 7u);
  ASSERT_TRUE(pw::PeekMessage(&m, pw::PeekFilter{pw::PeekFilter::kWindowOnly, a, pw::kMsgKeyDown,
                                                 pw::kMsgKeyDown},
                              false));
  EXPECT_EQ(m.wparam, 3u);
  EXPECT_EQ(pw::QueuedMessageCount(), 3u);  // looked at, not taken
  ASSERT_TRUE(pw::PeekMessage(&m, Only(a), true));
  EXPECT_EQ(m.id, pw::kMsgUser + 2);
  ASSERT_TRUE(pw::PeekMessage(&m, pw::PeekFilter{}, true));
  EXPECT_EQ(m.window, b);
}

TEST_F(MessageQueueTest, PaintComesOnlyWhenNothingElseWaitsAndStopsOnceBegun) {
  pw::WindowHandle w = MakeWindow(true);
  pw::PostMessage(w, pw::kMsgUser, 0, 0);
  pw::Message m;
  ASSERT_TRUE(pw::PeekMessage(&m, Only(w), true));
  EXPECT_EQ(m.id, pw::kMsgUser);
  // The paint is generated, not queued: it stays until painting begins.
  ASSERT_TRUE(pw::PeekMessage(&m, Only(w), true));
  EXPECT_EQ(m.id, pw::kMsgPaint);
  ASSERT_TRUE(pw::PeekMessage(&m, Only(w), true));
  EXPECT_EQ(m.id, pw::kMsgPaint);
  EXPECT_FALSE(pw::PeekMessage(&m, pw::PeekFilter{pw::PeekFilter::kThreadOnly, nullptr, 0, 0},
                               true));
  pw::DispatchMessage(m);  // the default procedure validates
  EXPECT_FALSE(pw::PeekMessage(&m, Only(w), true));
  pw::InvalidateWindow(w);
  EXPECT_TRUE(pw::IsPaintPending(w));
  // A hidden window never paints.
  pw::ShowWindow(w, false);
  EXPECT_FALSE(pw::PeekMessage(&m, Only(w), true));
}

TEST_F(MessageQueueTest, DispatchNestedInsideAProcedureDeliversEachMessageOnce) {
  ASSERT_TRUE(pw::RegisterWindowClass("Nesting", NestingProc));
  pw::WindowParams p;
  p.visible = true;
  pw::WindowHandle w = pw::CreateWindow("Nesting", p);
  g_seen.clear();
  pw::PostMessage(w, pw::kMsgUser + 1, 0, 0);
  pw::PostMessage(w, pw::kMsgUser + 2, 0, 0);
  pw::PostMessage(w, pw::kMsgUser + 3, 0, 0);
  pw::Message m;
  while (pw::PeekMessage(&m, Only(w), true)) {
    if (m.id == pw::kMsgPaint) {
      pw::BeginPaint(w);
      continue;
    }
    pw::DispatchMessage(m);
  }
  EXPECT_EQ(g_seen, (std::vector<uint32_t>{pw::kMsgUser + 1, pw::kMsgUser + 2, pw::kMsgUser + 3}));
}

TEST_F(MessageQueueTest, SystemCloseSendsCloseWhichDestroysTheWindow) {
  pw::WindowHandle w = MakeWindow();
  g_seen.clear();
  pw::PostMessage(w, pw::kMsgSysCommand, pw::kScClose, 0);
  pw::Message m;
  ASSERT_TRUE(pw::PeekMessage(&m, Only(w), true));
  pw::DispatchMessage(m);
  EXPECT_EQ(g_seen, (std::vector<uint32_t>{pw::kMsgSysCommand, pw::kMsgClose, pw::kMsgDestroy}));
  EXPECT_FALSE(pw::IsWindow(w));
  EXPECT_TRUE(pw::UnregisterWindowClass("Test"));
}

TEST_F(MessageQueueTest, TranslationPostsCharactersOfEditingKeysNext) {
  pw::WindowHandle w = MakeWindow();
  struct Case {
    uint32_t id;
    uintptr_t key;
    uint32_t char_id;  // 0: none
    uintptr_t code;
  };
  const Case cases[] = {
      {pw::kMsgKeyDown, pw::kVkBack, pw::kMsgChar, 8},
      {pw::kMsgKeyDown, pw::kVkTab, pw::kMsgChar, 9},
      {pw::kMsgKeyDown, pw::kVkReturn, pw::kMsgChar, 13},
      {pw::kMsgKeyDown, pw::kVkEscape, pw::kMsgChar, 27},
      {pw::kMsgSysKeyDown, pw::kVkReturn, pw::kMsgSysChar, 13},
      {pw::kMsgKeyDown, 'A', 0, 0},  // letters arrive as text input
      {pw::kMsgKeyUp, pw::kVkReturn, 0, 0},
  };
  for (const Case& c : cases) {
    pw::PostMessage(w, pw::kMsgUser, 0, 0);
    pw::TranslateMessage(pw::Message{w, c.id, c.key, 0});
    pw::Message m;
    ASSERT_TRUE(pw::PeekMessage(&m, Only(w), true));
    if (c.char_id) {
      EXPECT_EQ(m.id, c.char_id) << c.key;
      EXPECT_EQ(m.wparam, c.code);
      ASSERT_TRUE(pw::PeekMessage(&m, Only(w), true));
    }
    EXPECT_EQ(m.id, pw::kMsgUser) << c.key;
  }
}

TEST_F(MessageQueueTest, CreationRefusedByTheProcedureLeavesNoWindow) {
  ASSERT_TRUE(pw::RegisterWindowClass(
      "Refuses", [](pw::WindowHandle, uint32_t id, uintptr_t, intptr_t) -> intptr_t {
        return id == pw::kMsgCreate ? -1 : 0;
      }));
  EXPECT_EQ(pw::CreateWindow("Refuses", pw::WindowParams{}), nullptr);
  EXPECT_EQ(pw::CreateWindow("Unknown", pw::WindowParams{}), nullptr);
  EXPECT_EQ(pw::WindowCount(), 0);
  EXPECT_FALSE(pw::RegisterWindowClass("Refuses", RecordingProc));
}

}  // namespace
