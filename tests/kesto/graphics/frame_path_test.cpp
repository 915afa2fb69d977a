// The whole path of a frame through the public bodies, into an SDL window
// (SDL's dummy driver) and the capture directory.
#include <SDL.h>

#include <filesystem>

#include "core/entry_bodies.h"
#include "graphics_fixture.h"
#include "kesto/kesto.h"
#include "platform/video/sdl_presenter.h"
#include "support/scoped_temp_dir.h"

namespace {

using namespace platform::video;
using FramePathTest = GraphicsTest;

TEST_F(FramePathTest, ClearedBackScreenReachesTheWindowAndTheCapture) {
  ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
  SDL_Window* window = SDL_CreateWindow("kesto", 0, 0, 640, 480, 0);
  ASSERT_NE(window, nullptr);
  ScopedTempDir dir;
  setenv("KESTO_CAPTURE_DIR", dir.path().c_str(), 1);
  struct Case {
    bool windowed;
    int bits;
  } cases[] = {{true, 16}, {true, 32}, {false, 16}, {false, 32}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << (c.windowed ? "window " : "full screen ") << c.bits);
    SetPresenter(std::make_unique<SdlPresenter>(window));
    Config().desktop_bits = c.bits;
    Start(c.windowed, 640, 480, c.bits);
    ASSERT_EQ(ChooseScreenModeBody(640, 480, c.bits, -1), 0);
    ASSERT_EQ(ChooseDrawTargetBody(KESTO_BACK_SCREEN), 0);
    GetBackSurface()->Blt(nullptr, nullptr, nullptr, kBltColorFill, 0xFFFFFFFF);
    ASSERT_EQ(EraseTargetScreenBody(), 0);
    const int white = PackRgbColorBody(255, 255, 255);
    GetBackSurface()->WritePixel(639, 479, static_cast<uint32_t>(white));
    const uint64_t frame = PresentedFrameCount();
    ASSERT_EQ(PresentBackScreenBody(), 0);
    ASSERT_EQ(PresentedFrameCount(), frame + 1);
    char name[32];
    std::snprintf(name, sizeof name, "frame-%06llu.png",
                  static_cast<unsigned long long>(frame + 1));
    EXPECT_TRUE(std::filesystem::exists(dir.path() / name));
    const CapturedFrame shown = CaptureRect(*GetPrimarySurface(), c.windowed ? client_ : Rect{0, 0, 640, 480});
    EXPECT_EQ(shown.width, 640);
    EXPECT_EQ(shown.PixelRgb(0, 0), 0u);
    EXPECT_EQ(shown.PixelRgb(639, 479), 0xFFFFFFu);
    StopDirectDraw();
    SetPresenter(nullptr);
  }
  unsetenv("KESTO_CAPTURE_DIR");
  SDL_DestroyWindow(window);
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

}  // namespace
