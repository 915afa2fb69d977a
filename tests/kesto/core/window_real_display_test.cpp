// A real X11 window under Xvfb. The test runs itself again inside xvfb-run
// and does the work there; without xvfb-run it is skipped.
#include <SDL.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/window_state.h"
#include "kesto/kesto.h"
#include "platform/window/message_queue.h"
#include "support/scoped_temp_dir.h"

namespace pw = platform::window;

namespace {

void RunInsideXvfb() {
  ScopedTempDir dir(true);
  setenv("KESTO_INSTANCE_LOCK", dir.file("Kesto.lock").c_str(), 1);
  ASSERT_EQ(ChangeWindowMode(1), 0);
  ASSERT_EQ(SetWindowCaption("\x83\x5C\x83\x74\x83\x67 Kesto"), 0);  // "ソフト Kesto"
  ASSERT_EQ(StartLibrary(), 0);
  EXPECT_STREQ(SDL_GetCurrentVideoDriver(), "x11");
  SDL_Window* w = static_cast<SDL_Window*>(pw::GetNativeWindow(ReadMainWindowHandle()));
  ASSERT_NE(w, nullptr);
  EXPECT_STREQ(SDL_GetWindowTitle(w), "\xE3\x82\xBD\xE3\x83\x95\xE3\x83\x88 Kesto");
  EXPECT_NE(SDL_GetWindowFlags(w) & SDL_WINDOW_SHOWN, 0u);
  EXPECT_EQ(PresentBackScreen(), 0);
  EXPECT_EQ(PumpFrameMessages(), 0);
  // The close button, as the window manager reports it.
  SDL_Event e{};
  e.type = SDL_WINDOWEVENT;
  e.window.event = SDL_WINDOWEVENT_CLOSE;
  e.window.windowID = SDL_GetWindowID(w);
  ASSERT_EQ(SDL_PushEvent(&e), 1);
  EXPECT_EQ(PumpFrameMessages(), -1);
  EXPECT_EQ(PumpFrameMessages(), -1);
  EXPECT_EQ(StopLibrary(), 0);
  EXPECT_EQ(pw::WindowCount(), 0);
}

TEST(WindowRealDisplayTest, ARealWindowShowsTheCaptionAndClosingItQuits) {
  if (std::getenv("KESTO_INSIDE_XVFB")) {
    RunInsideXvfb();
    return;
  }
  if (access("/usr/bin/xvfb-run", X_OK) != 0) GTEST_SKIP() << "xvfb-run not installed";
  char self[4096] = {};
  const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  ASSERT_GT(n, 0);
  // The X11 side of SDL keeps a D-Bus connection that is never freed.
  ScopedTempDir dir;
  const std::string suppressions = dir.file("lsan.supp");
  if (FILE* f = std::fopen(suppressions.c_str(), "w")) {
    std::fputs("leak:libdbus-1.so\n", f);
    std::fclose(f);
  }
  const std::string command =
      "xvfb-run -a -s '-screen 0 1024x768x24' env KESTO_INSIDE_XVFB=1 SDL_VIDEODRIVER=x11 "
      "SDL_AUDIODRIVER=dummy LSAN_OPTIONS=suppressions=" + suppressions + ":print_suppressions=0 '" +
      std::string(self) +
      "' --gtest_filter=WindowRealDisplayTest.ARealWindowShowsTheCaptionAndClosingItQuits 2>&1";
  FILE* p = popen(command.c_str(), "r");
  ASSERT_NE(p, nullptr);
  std::string output;
  char buffer[512];
  while (std::fgets(buffer, sizeof buffer, p)) output += buffer;
  const int status = pclose(p);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << output;
  EXPECT_NE(output.find("[  PASSED  ] 1 test"), std::string::npos) << output;
}

}  // namespace
