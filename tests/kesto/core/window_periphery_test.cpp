// The rarely used parts of the main window on a started library: the window
// region, the menu and its commands, the key hook of disable-system-keys,
// the pause picture and dropped files.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "core/dropped_files.h"
#include "core/entry_bodies.h"
#include "core/tracked_memory.h"
#include "core/window_menu.h"
#include "core/window_state.h"
#include "graphics/color_format.h"
#include "graphics/screen.h"
#include "kesto/kesto.h"
#include "platform/clock.h"
#include "platform/gdi/dib.h"
#include "platform/video/surface.h"
#include "platform/window/automation.h"
#include "platform/window/drop_files.h"
#include "platform/window/menu.h"
#include "platform/window/message_queue.h"
#include "platform/window/region.h"
#include "platform/window/system_keys.h"
#include "support/scoped_temp_dir.h"

namespace pw = platform::window;

namespace {

std::vector<std::pair<std::string, int>>& ChosenNames() {
  static std::vector<std::pair<std::string, int>> names;
  return names;
}
std::vector<uintptr_t>& Commands() {
  static std::vector<uintptr_t> commands;
  return commands;
}

class WindowPeripheryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("KESTO_INSTANCE_LOCK", dir_.file("Kesto.lock").c_str(), 1);
    setenv("KESTO_PRESENTER", "null", 1);
    clock_.on_sleep = [this](uint64_t ns) {
      if (ns == 0) clock_.Advance(100000);
    };
    platform::SetClockForTesting(&clock_);
    pw::ResetAutomationForTesting();
    ChosenNames().clear();
    Commands().clear();
  }
  void TearDown() override { platform::SetClockForTesting(nullptr); }

  static void Pump() {
    for (int i = 0; i < 3; ++i) PumpFrameMessagesBody();
  }

  ScopedTempDir dir_{true};
  platform::ManualClock clock_{5000000000ull};
};

TEST_F(WindowPeripheryTest, RegionMenuAndKeyHookAreAppliedAndReleasedWithTheWindow) {
  KeptWindowSettings& kept = CoreState().kept;
  kept.window_mode = 1;
  kept.window_region = pw::CreateRectRegion(0, 0, 320, 240);
  pw::MenuHandle file = pw::CreateMenu();
  pw::AppendMenuItem(file, 101, "Open");
  pw::AppendMenuSeparator(file);
  pw::AppendMenuItem(file, 102, "Quit");
  pw::MenuHandle bar = pw::CreateMenu();
  pw::AppendSubMenu(bar, file, "File");
  pw::AppendMenuItem(bar, 201, "\x83\x77\x83\x8b\x83\x76");  // "ヘルプ"
  kept.menu = bar;
  kept.menu_used = 1;
  kept.menu_callback = [](uintptr_t command) { Commands().push_back(command); };
  kept.menu_name_callback = [](const char* name, int id) { ChosenNames().push_back({name, id}); };
  kept.disable_system_keys = 1;
  ASSERT_EQ(StartLibrary(), 0);
  const pw::WindowHandle w = ReadMainWindowHandle();

  EXPECT_EQ(pw::GetWindowRegion(w), kept.window_region);
  EXPECT_EQ(HasWindowRegion(), 1);
  EXPECT_EQ(pw::GetWindowMenu(w), bar);
  EXPECT_EQ(CoreState().menu_item_count, 4);  // File, Open, Quit, Help
  EXPECT_STREQ(FindMenuItemName(102), "Quit");
  EXPECT_STREQ(FindMenuItemName(201), "\x83\x77\x83\x8b\x83\x76");
  EXPECT_EQ(FindMenuItemName(999), nullptr);

  // Commands reach the callbacks; each id is listed once.
  for (uintptr_t id : {101u, 201u, 101u}) pw::PostMessage(w, pw::kMsgCommand, id, 0);
  Pump();
  EXPECT_EQ(Commands(), (std::vector<uintptr_t>{101, 201, 101}));
  ASSERT_EQ(ChosenNames().size(), 3u);
  EXPECT_EQ(ChosenNames()[1], (std::pair<std::string, int>{"\x83\x77\x83\x8b\x83\x76", 201}));
  EXPECT_EQ(GetChosenMenuIdCount(), 2);
  EXPECT_EQ(GetChosenMenuId(0), 101);
  EXPECT_EQ(GetChosenMenuId(1), 201);

  // The key hook follows activity, and the close command is refused.
  pw::SendMessage(w, pw::kMsgActivate, 1, 0);
  EXPECT_EQ(pw::KeyGrabWindow(), w);
  pw::SendMessage(w, pw::kMsgActivate, 0, 0);
  EXPECT_EQ(pw::KeyGrabWindow(), nullptr);
  pw::SendMessage(w, pw::kMsgActivate, 1, 0);
  EXPECT_EQ(pw::KeyGrabWindow(), w);
  EXPECT_EQ(pw::SendMessage(w, pw::kMsgSysCommand, pw::kScClose, 0), 0);
  EXPECT_TRUE(pw::IsWindow(w));

  // Full screen shows the bar only while the mouse is near the top.
  EXPECT_EQ(ChangeWindowMode(0), 0);
  CoreState().mouse_in_menu_zone = 0;
  EXPECT_EQ(UpdateMenuBar(1), 0);
  EXPECT_EQ(pw::GetWindowMenu(w), nullptr);
  CoreState().mouse_in_menu_zone = 1;
  EXPECT_EQ(UpdateMenuBar(1), 0);
  EXPECT_EQ(pw::GetWindowMenu(w), bar);
  EXPECT_EQ(UpdateMenuBar(0), 0);
  EXPECT_EQ(pw::GetWindowMenu(w), nullptr);

  EXPECT_EQ(StopLibrary(), 0);
  EXPECT_EQ(pw::LiveRegionCount(), 0);
  EXPECT_EQ(pw::LiveMenuCount(), 0);
  EXPECT_EQ(pw::KeyGrabWindow(), nullptr);
  EXPECT_EQ(pw::LoadedHookLibraryCount(), 0);
  EXPECT_EQ(HasWindowRegion(), 0);
}

TEST_F(WindowPeripheryTest, MenuItemsReadBackAsTheirKind) {
  pw::MenuHandle m = pw::CreateMenu();
  pw::AppendMenuItem(m, 7, std::string(200, 'n'));
  pw::AppendMenuSeparator(m);
  char text[kMaxMenuItemText];
  int id = 0;
  EXPECT_EQ(ReadMenuItemInfo(m, 0, text, &id), 0);
  EXPECT_EQ(id, 7);
  EXPECT_EQ(std::string(text), std::string(kMaxMenuItemText - 1, 'n'));
  EXPECT_EQ(ReadMenuItemInfo(m, 1, text, &id), 1);
  EXPECT_EQ(ReadMenuItemInfo(m, 2, text, &id), -1);
  EXPECT_EQ(ReadMenuItemInfo(nullptr, 0, text, &id), -1);
  pw::DestroyMenu(m);
}

TEST_F(WindowPeripheryTest, ThePausePictureIsCopiedIntoTheMiddleWhileInactive) {
  ChangeWindowMode(1);
  ASSERT_EQ(StartLibrary(), 0);
  const pw::WindowHandle w = ReadMainWindowHandle();
  auto picture = platform::gdi::DibSection::Create(20, 10, 32, nullptr);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 20; ++x) picture->SetPixel(x, y, 0xFF0000);
  WindowCoreState& s = CoreState();
  s.pause_picture = picture.release();
  platform::video::Surface* primary = GetPrimarySurface();
  ASSERT_NE(primary, nullptr);
  const int cx = (s.client_left + s.client_right) / 2;
  const int cy = (s.client_top + s.client_bottom) / 2;
  auto red_at = [&](int x, int y) {
    int r = 0, g = 0, b = 0;
    GetColorComponents(static_cast<int>(primary->ReadPixel(x, y)), &r, &g, &b);
    return r == 255 && g == 0 && b == 0;
  };
  EXPECT_FALSE(red_at(cx, cy));
  pw::SendMessage(w, pw::kMsgActivate, 0, 0);  // becoming inactive shows it
  EXPECT_TRUE(red_at(cx, cy));
  EXPECT_TRUE(red_at(cx - 10, cy - 5));
  EXPECT_FALSE(red_at(cx - 11, cy));
  EXPECT_FALSE(red_at(cx + 10, cy));
  // So does painting while inactive.
  primary->WritePixel(cx, cy, 0);
  pw::InvalidateWindow(w);
  pw::SendMessage(w, pw::kMsgPaint, 0, 0);
  EXPECT_TRUE(red_at(cx, cy));
  s.active = 1;
  EXPECT_EQ(StopLibrary(), 0);
  EXPECT_EQ(CoreState().pause_picture, nullptr);
}

TEST_F(WindowPeripheryTest, DroppedFilesArriveThroughSdlDropEvents) {
  ChangeWindowMode(1);
  ASSERT_EQ(StartLibrary(), 0);
  SDL_Window* sdl = static_cast<SDL_Window*>(pw::GetNativeWindow(ReadMainWindowHandle()));
  ASSERT_NE(sdl, nullptr);
  auto push = [&](Uint32 type, const char* file) {
    SDL_Event e{};
    e.type = type;
    e.drop.windowID = SDL_GetWindowID(sdl);
    e.drop.file = file ? SDL_strdup(file) : nullptr;
    ASSERT_EQ(SDL_PushEvent(&e), 1);
  };
  push(SDL_DROPBEGIN, nullptr);
  push(SDL_DROPFILE, "/tmp/a.png");
  push(SDL_DROPFILE, reinterpret_cast<const char*>(u8"/tmp/ソフト.txt"));
  push(SDL_DROPCOMPLETE, nullptr);
  push(SDL_DROPFILE, "/tmp/alone.bmp");  // without a begin: a drop of its own
  for (int i = 0; i < 3; ++i) PumpFrameMessages();
  ASSERT_EQ(GetDroppedFileCount(), 3);
  EXPECT_STREQ(GetDroppedFileName(0), "/tmp/a.png");
  EXPECT_STREQ(GetDroppedFileName(1), "/tmp/\x83\x5c\x83\x74\x83\x67.txt");
  EXPECT_STREQ(GetDroppedFileName(2), "/tmp/alone.bmp");
  EXPECT_EQ(GetDroppedFileName(3), nullptr);
  EXPECT_EQ(pw::OpenDropCount(), 0);

  // At most a thousand names are kept; the drop still ends.
  const pw::WindowHandle w = ReadMainWindowHandle();
  pw::BeginDrop(w);
  for (int i = 0; i < 1005; ++i) pw::AddDroppedFile(w, "f" + std::to_string(i));
  pw::CompleteDrop(w);
  for (int i = 0; i < 3; ++i) PumpFrameMessages();
  EXPECT_EQ(GetDroppedFileCount(), 1000);
  EXPECT_STREQ(GetDroppedFileName(999), "f996");
  EXPECT_EQ(pw::OpenDropCount(), 0);
  const int32_t blocks = GetTrackedMemoryState().count;
  EXPECT_EQ(ClearDroppedFiles(), 0);
  EXPECT_EQ(GetTrackedMemoryState().count, blocks - 1000);
  EXPECT_EQ(StopLibrary(), 0);
}

}  // namespace
