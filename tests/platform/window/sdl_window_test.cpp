#include "platform/window/sdl_window.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "platform/input/input_devices.h"
#include "platform/input/key_codes.h"
#include "platform/video/direct_draw.h"
#include "platform/video/display.h"
#include "platform/video/sdl_presenter.h"
#include "platform/video/surface.h"
#include "platform/window/message_queue.h"
#include "platform/window/text_convert.h"

namespace pw = platform::window;
namespace in = platform::input;

namespace {

intptr_t QuietProc(pw::WindowHandle w, uint32_t id, uintptr_t wp, intptr_t lp) {
  return pw::DefaultWindowProc(w, id, wp, lp);
}

class SdlWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    pw::ResetWindowSystemForTesting();
    in::ResetInputForTesting();
    platform::video::ResetDisplayForTesting();
    ASSERT_TRUE(pw::StartSdlWindows());
    ASSERT_TRUE(pw::RegisterWindowClass("Test", QuietProc));
    pw::WindowParams p;
    p.title = "\x83\x5C\x83\x74\x83\x67";  // "ソフト" in cp932
    p.client = {192, 144, 640, 480};
    p.visible = true;
    p.style = pw::kStyleCaption;
    window_ = pw::CreateWindow("Test", p);
    ASSERT_NE(window_, nullptr);
    sdl_ = static_cast<SDL_Window*>(pw::GetNativeWindow(window_));
    ASSERT_NE(sdl_, nullptr);
    Drain();
  }
  void TearDown() override {
    pw::ResetWindowSystemForTesting();
    pw::StopSdlWindows();
    in::ResetInputForTesting();
    platform::video::ResetDisplayForTesting();
  }

  // Every message waiting now, in order.
  std::vector<pw::Message> Drain() {
    std::vector<pw::Message> out;
    pw::Message m;
    while (pw::PeekMessage(&m, pw::PeekFilter{}, true)) {
      if (m.id == pw::kMsgPaint) {
        pw::BeginPaint(m.window);
        continue;
      }
      out.push_back(m);
    }
    return out;
  }

  SDL_Event WindowEvent(Uint8 kind, int a = 0, int b = 0) {
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.windowID = SDL_GetWindowID(sdl_);
    e.window.event = kind;
    e.window.data1 = a;
    e.window.data2 = b;
    return e;
  }

  SDL_Event KeyEvent(Uint32 type, SDL_Scancode sc, Uint16 mod = 0) {
    SDL_Event e{};
    e.type = type;
    e.key.windowID = SDL_GetWindowID(sdl_);
    e.key.keysym.scancode = sc;
    e.key.keysym.mod = mod;
    return e;
  }

  pw::WindowHandle window_ = nullptr;
  SDL_Window* sdl_ = nullptr;
};

TEST_F(SdlWindowTest, TheRealWindowGetsTheTitleInUtf8AndTheGeometry) {
  EXPECT_STREQ(SDL_GetWindowTitle(sdl_), "\xE3\x82\xBD\xE3\x83\x95\xE3\x83\x88");
  int w = 0, h = 0;
  SDL_GetWindowSize(sdl_, &w, &h);
  EXPECT_EQ(w, 640);
  EXPECT_EQ(h, 480);
  pw::SetWindowTitle(window_, "Kesto");
  EXPECT_STREQ(SDL_GetWindowTitle(sdl_), "Kesto");
  pw::DestroyWindow(window_);
  EXPECT_EQ(SDL_GetWindowFromID(SDL_GetWindowID(sdl_)), nullptr);
}

TEST_F(SdlWindowTest, EventsBecomeMessagesAndKeyState) {
  struct Case {
    const char* name;
    SDL_Event event;
    std::vector<uint32_t> messages;
  };
  const Case cases[] = {
      {"close button", WindowEvent(SDL_WINDOWEVENT_CLOSE), {pw::kMsgSysCommand}},
      {"focus gained", WindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED),
       {pw::kMsgActivateApp, pw::kMsgActivate}},
      {"focus lost", WindowEvent(SDL_WINDOWEVENT_FOCUS_LOST),
       {pw::kMsgActivateApp, pw::kMsgActivate}},
      {"moved", WindowEvent(SDL_WINDOWEVENT_MOVED, 10, 20), {pw::kMsgMove}},
      {"sized", WindowEvent(SDL_WINDOWEVENT_SIZE_CHANGED, 800, 600), {pw::kMsgSize}},
      {"minimised", WindowEvent(SDL_WINDOWEVENT_MINIMIZED), {pw::kMsgSize}},
      {"key Z", KeyEvent(SDL_KEYDOWN, SDL_SCANCODE_Z), {pw::kMsgKeyDown}},
      {"Alt+Enter", KeyEvent(SDL_KEYDOWN, SDL_SCANCODE_RETURN, KMOD_LALT), {pw::kMsgSysKeyDown}},
      {"key up", KeyEvent(SDL_KEYUP, SDL_SCANCODE_Z), {pw::kMsgKeyUp}},
  };
  for (const Case& c : cases) {
    pw::TranslateSdlEvent(c.event);
    std::vector<uint32_t> ids;
    for (const pw::Message& m : Drain()) ids.push_back(m.id);
    EXPECT_EQ(ids, c.messages) << c.name;
  }
  // Details of a few.
  pw::TranslateSdlEvent(WindowEvent(SDL_WINDOWEVENT_MOVED, -5, 7));
  pw::Message m = Drain().at(0);
  EXPECT_EQ(static_cast<int16_t>(pw::LowWord(m.lparam)), -5);
  EXPECT_EQ(pw::HighWord(m.lparam), 7);
  EXPECT_EQ(pw::GetWindowParams(window_)->client.x, -5);
  pw::TranslateSdlEvent(KeyEvent(SDL_KEYDOWN, SDL_SCANCODE_DOWN));
  EXPECT_EQ(Drain().at(0).wparam, pw::kVkDown);
  EXPECT_TRUE(in::IsKeyDownInTable(in::kKeyDown));
  // Losing focus releases held keys: no key-up would ever arrive.
  pw::TranslateSdlEvent(WindowEvent(SDL_WINDOWEVENT_FOCUS_LOST));
  EXPECT_FALSE(in::IsKeyDownInTable(in::kKeyDown));
  EXPECT_EQ(Drain().at(0).wparam, 0u);
  pw::TranslateSdlEvent(WindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED));
  EXPECT_EQ(Drain().at(0).wparam, 1u);
}

TEST_F(SdlWindowTest, TextArrivesAsCp932CharacterBytesAndEventsComeThroughSdlsQueue) {
  SDL_Event e{};
  e.type = SDL_TEXTINPUT;
  e.text.windowID = SDL_GetWindowID(sdl_);
  std::snprintf(e.text.text, sizeof e.text.text, "a\xE3\x82\xBD");  // "aソ"
  ASSERT_EQ(SDL_PushEvent(&e), 1);
  std::vector<uintptr_t> chars;
  for (const pw::Message& m : Drain()) {
    if (m.id == pw::kMsgChar) chars.push_back(m.wparam);
  }
  EXPECT_EQ(chars, (std::vector<uintptr_t>{'a', 0x83, 0x5C}));
}

TEST_F(SdlWindowTest, PostsFromOtherThreadsArriveUnlessDroppedMeanwhile) {
  std::thread([] { pw::PostFromAnyThread(pw::kMsgGraphEvent, 3, 4); }).join();
  std::vector<pw::Message> got = Drain();
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].id, pw::kMsgGraphEvent);
  EXPECT_EQ(got[0].window, window_);
  EXPECT_EQ(got[0].wparam, 3u);
  EXPECT_EQ(got[0].lparam, 4);
  // A report sent before its receiver shut down is discarded.
  std::thread([] { pw::PostFromAnyThread(pw::kMsgGraphEvent, 0, 0); }).join();
  pw::DropPendingThreadPosts();
  EXPECT_TRUE(Drain().empty());
}

TEST_F(SdlWindowTest, FullScreenLosesTheDisplayWhenLeftAndGetsItBack) {
  pw::SetWindowFullScreen(window_, true);
  EXPECT_NE(SDL_GetWindowFlags(sdl_) & SDL_WINDOW_FULLSCREEN_DESKTOP, 0u);
  pw::TranslateSdlEvent(WindowEvent(SDL_WINDOWEVENT_FOCUS_LOST));
  EXPECT_TRUE(platform::video::IsDisplayLost());
  pw::TranslateSdlEvent(WindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED));
  EXPECT_FALSE(platform::video::IsDisplayLost());
  pw::SetWindowFullScreen(window_, false);
  pw::TranslateSdlEvent(WindowEvent(SDL_WINDOWEVENT_FOCUS_LOST));
  EXPECT_FALSE(platform::video::IsDisplayLost());
}

// A window closed while the program still shows frames in it (the user
// closes it during start-up): later frames go nowhere instead of crashing.
TEST_F(SdlWindowTest, FramesAfterTheWindowIsGoneAreNotShownInIt) {
  namespace pv = platform::video;
  unsetenv("KESTO_PRESENTER");
  pv::InstallPresenterForWindow(sdl_);
  pv::DirectDraw* dd = nullptr;
  ASSERT_EQ(pv::CreateDirectDraw(&dd), pv::kOk);
  ASSERT_EQ(dd->Initialize(), pv::kOk);
  pv::SurfaceDesc desc;
  desc.caps = pv::kCapsOffscreenPlain | pv::kCapsSystemMemory;
  desc.width = 64;
  desc.height = 48;
  desc.has_format = true;
  desc.format = pv::Format565();
  pv::Surface* s = nullptr;
  ASSERT_EQ(dd->CreateSurface(desc, &s), pv::kOk);
  pv::PresentSurface(*s, pv::Rect{0, 0, 64, 48});
  pw::DestroyWindow(window_);
  pv::PresentSurface(*s, pv::Rect{0, 0, 64, 48});
  EXPECT_EQ(pv::PresentedFrameCount(), 2u);
  s->Release();
  dd->Release();
  pv::SetPresenter(nullptr);
}

TEST(TextConvertTest, Cp932AndUtf8RoundTripAndBadBytesAreMarked) {
  const std::string cp932 = "Kesto \x83\x5C\x95\x5C";  // "Kesto ソ表"
  const std::string utf8 = pw::Cp932ToUtf8(cp932);
  EXPECT_EQ(utf8, "Kesto \xE3\x82\xBD\xE8\xA1\xA8");
  EXPECT_EQ(pw::Utf8ToCp932(utf8), cp932);
  EXPECT_EQ(pw::Cp932ToUtf8("a\x83"), "a?");  // a lead byte without its trail
}

}  // namespace
