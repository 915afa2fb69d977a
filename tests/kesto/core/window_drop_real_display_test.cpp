// Files dropped on a real X11 window under Xvfb reach the program's list.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "core/dropped_files.h"
#include "core/window_state.h"
#include "kesto/kesto.h"
#include "platform/window/message_queue.h"
#include "support/scoped_temp_dir.h"
#include "support/xvfb_rerun.h"

namespace pw = platform::window;

namespace {

void DropOnTheRealWindow() {
  ScopedTempDir dir(true);
  setenv("KESTO_INSTANCE_LOCK", dir.file("Kesto.lock").c_str(), 1);
  ASSERT_EQ(ChangeWindowMode(1), 0);
  ASSERT_EQ(StartLibrary(), 0);
  EXPECT_STREQ(SDL_GetCurrentVideoDriver(), "x11");
  SDL_Window* w = static_cast<SDL_Window*>(pw::GetNativeWindow(ReadMainWindowHandle()));
  ASSERT_NE(w, nullptr);
  // The window manager's drop, as SDL reports it.
  const char* names[] = {reinterpret_cast<const char*>(u8"/home/ユーザー/一.png"), "/tmp/two.ogg"};
  int next = 0;
  for (Uint32 type : {SDL_DROPBEGIN, SDL_DROPFILE, SDL_DROPFILE, SDL_DROPCOMPLETE}) {
    SDL_Event e{};
    e.type = type;
    e.drop.windowID = SDL_GetWindowID(w);
    if (type == SDL_DROPFILE) e.drop.file = SDL_strdup(names[next++]);
    ASSERT_EQ(SDL_PushEvent(&e), 1);
  }
  for (int i = 0; i < 5 && GetDroppedFileCount() < 2; ++i) EXPECT_EQ(PumpFrameMessages(), 0);
  ASSERT_EQ(GetDroppedFileCount(), 2);
  // "ユーザー" and "一" in cp932.
  EXPECT_STREQ(GetDroppedFileName(0), "/home/\x83\x86\x81\x5b\x83\x55\x81\x5b/\x88\xea.png");
  EXPECT_STREQ(GetDroppedFileName(1), "/tmp/two.ogg");
  EXPECT_EQ(StopLibrary(), 0);
  EXPECT_EQ(GetDroppedFileCount(), 0);
}

TEST(WindowDropRealDisplayTest, FilesDroppedOnARealWindowAreListed) {
  if (InsideXvfb()) {
    DropOnTheRealWindow();
    return;
  }
  RerunInsideXvfb("WindowDropRealDisplayTest.FilesDroppedOnARealWindowAreListed");
}

}  // namespace
