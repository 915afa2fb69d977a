#include "platform/video/sdl_presenter.h"

#include <SDL.h>

#include "video_fixture.h"

namespace platform::video {
namespace {

// Runs on SDL's dummy video driver (set for every test), whose window is a
// plain framebuffer that can be read back.
class SdlPresenterTest : public VideoTest {
 protected:
  void SetUp() override {
    VideoTest::SetUp();
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
    window_ = SDL_CreateWindow("test", 0, 0, 64, 48, 0);
    ASSERT_NE(window_, nullptr) << SDL_GetError();
  }
  void TearDown() override {
    SetPresenter(nullptr);  // its renderer goes before the window
    if (window_) SDL_DestroyWindow(window_);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    VideoTest::TearDown();
  }
  SDL_Window* window_ = nullptr;
};

TEST_F(SdlPresenterTest, ShowsEveryScreenFormatScaledToTheWindow) {
  struct Case {
    PixelFormat format;
    uint32_t red;
  } cases[] = {{Format565(), 0xF800}, {Format555(), 0x7C00}, {FormatX8R8G8B8(), 0xFF0000},
               {FormatA4R4G4B4(), 0x0F00}};
  SdlPresenter presenter(window_);
  ASSERT_TRUE(presenter.ok()) << SDL_GetError();
  for (const Case& c : cases) {
    Surface* s = Plain(40, 30, c.format);
    s->Blt(nullptr, nullptr, nullptr, kBltColorFill, c.red);
    presenter.Show(*s, Rect{4, 3, 36, 27});  // 32x24, doubled into the window
    SDL_Renderer* renderer = SDL_GetRenderer(window_);
    ASSERT_NE(renderer, nullptr);
    uint32_t pixel = 0;
    SDL_Rect one{32, 24, 1, 1};
    ASSERT_EQ(SDL_RenderReadPixels(renderer, &one, SDL_PIXELFORMAT_ARGB8888, &pixel, 4), 0)
        << SDL_GetError();
    EXPECT_EQ(pixel & 0xFFFFFF, 0xFF0000u) << c.format.bits;
    s->Release();
  }
}

TEST_F(SdlPresenterTest, EmptyOrMissingWindowShowsNothing) {
  SdlPresenter none(nullptr);
  EXPECT_FALSE(none.ok());
  Surface* s = Plain(4, 4, Format565());
  none.Show(*s, Rect{0, 0, 4, 4});
  SdlPresenter presenter(window_);
  presenter.Show(*s, Rect{8, 8, 4, 4});
  s->Release();
}

TEST_F(SdlPresenterTest, InstallChoosesTheNullPresenterOnRequest) {
  setenv("KESTO_PRESENTER", "null", 1);
  InstallPresenterForWindow(window_);
  unsetenv("KESTO_PRESENTER");
  EXPECT_NE(dynamic_cast<NullPresenter*>(&CurrentPresenter()), nullptr);
  InstallPresenterForWindow(window_);
  EXPECT_NE(dynamic_cast<SdlPresenter*>(&CurrentPresenter()), nullptr);
  InstallPresenterForWindow(nullptr);
  EXPECT_NE(dynamic_cast<NullPresenter*>(&CurrentPresenter()), nullptr);
}

}  // namespace
}  // namespace platform::video
