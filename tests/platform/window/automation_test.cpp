#include "platform/window/automation.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>

#include "platform/input/input_devices.h"
#include "platform/input/key_codes.h"
#include "platform/video/direct_draw.h"
#include "platform/video/presenter.h"
#include "platform/video/surface.h"

namespace pw = platform::window;
namespace in = platform::input;

namespace {

TEST(InputScriptTest, LinesParseIntoEventsAndBadLinesAreReported) {
  const std::string text =
      "# start the game\n"
      "10 z down\n"
      "  5 RETURN down   # comment after\n"
      "12 Z up\n"
      "\n"
      "20 PAD_LEFT down\n"
      "21 pad_button7 down\n"
      "22 PAD_BUTTON32 down\n"
      "23 NOSUCHKEY down\n"
      "24 Z sideways\n"
      "-1 Z down\n"
      "25 Z\n"
      "26 Z down extra\n";
  std::vector<std::string> errors;
  const auto events = pw::ParseInputScript(text, &errors);
  ASSERT_EQ(events.size(), 5u);
  // Sorted by frame; lines of one frame keep their order.
  EXPECT_EQ(events[0].frame, 5u);
  EXPECT_EQ(events[0].code, in::kKeyReturn);
  EXPECT_EQ(events[1].frame, 10u);
  EXPECT_EQ(events[1].kind, pw::ScriptEvent::kKey);
  EXPECT_EQ(events[1].code, in::kKeyZ);
  EXPECT_EQ(events[1].value, 1);
  EXPECT_EQ(events[2].value, 0);
  EXPECT_EQ(events[3].kind, pw::ScriptEvent::kPadAxis);
  EXPECT_EQ(events[3].code, 0);
  EXPECT_LT(events[3].value, 0);
  EXPECT_EQ(events[4].kind, pw::ScriptEvent::kPadButton);
  EXPECT_EQ(events[4].code, 7);
  ASSERT_EQ(errors.size(), 6u);
  EXPECT_NE(errors[0].find("line 8"), std::string::npos);
}

class AutomationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    pw::ResetWindowSystemForTesting();
    pw::ResetAutomationForTesting();
    in::ResetInputForTesting();
    ASSERT_TRUE(pw::RegisterWindowClass(
        "Test", [](pw::WindowHandle w, uint32_t id, uintptr_t wp, intptr_t lp) {
          return pw::DefaultWindowProc(w, id, wp, lp);
        }));
    window_ = pw::CreateWindow("Test", pw::WindowParams{});
    pw::SetAutomationWindow(window_);
  }
  void TearDown() override {
    pw::ResetAutomationForTesting();
    pw::ResetWindowSystemForTesting();
    in::ResetInputForTesting();
  }
  bool ClosePosted() {
    pw::Message m;
    return pw::PeekMessage(&m, pw::PeekFilter{pw::PeekFilter::kWindowOnly, window_, pw::kMsgClose,
                                              pw::kMsgClose},
                           true);
  }
  pw::WindowHandle window_ = nullptr;
};

TEST_F(AutomationTest, CloseIsPostedOnceAfterTheNthFramePump) {
  pw::SetQuitAfterFrames(3);
  pw::NoteFramePump(false);  // start-up's own pumps do not count
  pw::NoteFramePump(true);
  pw::NoteFramePump(true);
  EXPECT_FALSE(ClosePosted());
  pw::NoteFramePump(true);
  EXPECT_TRUE(ClosePosted());
  pw::NoteFramePump(true);
  EXPECT_FALSE(ClosePosted());
}

TEST_F(AutomationTest, ScriptEventsApplyWhenTheirFrameIsPresented) {
  std::vector<std::string> errors;
  pw::SetInputScript(pw::ParseInputScript("0 X down\n2 Z down\n2 PAD_BUTTON1 down\n3 X up\n",
                                          &errors));
  EXPECT_TRUE(in::IsInjectedPadEnabled());
  pw::NoteFramePump(true);
  EXPECT_TRUE(in::IsKeyDownInTable(in::kKeyX));
  EXPECT_FALSE(in::IsKeyDownInTable(in::kKeyZ));
  // Frames are counted by presents.
  namespace pv = platform::video;
  pv::SetPresenter(std::make_unique<pv::NullPresenter>());
  pv::DirectDraw* dd = nullptr;
  ASSERT_EQ(pv::CreateDirectDraw(&dd), pv::kOk);
  ASSERT_EQ(dd->Initialize(), pv::kOk);
  pv::SurfaceDesc desc;
  desc.caps = pv::kCapsOffscreenPlain | pv::kCapsSystemMemory;
  desc.width = desc.height = 4;
  desc.has_format = true;
  desc.format = pv::Format565();
  pv::Surface* made = nullptr;
  ASSERT_EQ(dd->CreateSurface(desc, &made), pv::kOk);
  const pv::Surface& surface = *made;
  const pv::Rect all{0, 0, 4, 4};
  pv::PresentSurface(surface, all);
  pw::NoteFramePump(true);
  EXPECT_FALSE(in::IsKeyDownInTable(in::kKeyZ));
  platform::video::PresentSurface(surface, all);
  pw::NoteFramePump(true);
  EXPECT_TRUE(in::IsKeyDownInTable(in::kKeyZ));
  EXPECT_TRUE(in::IsKeyDownInTable(in::kKeyX));
  platform::video::PresentSurface(surface, all);
  pw::NoteFramePump(false);
  EXPECT_FALSE(in::IsKeyDownInTable(in::kKeyX));
  made->Release();
  dd->Release();
  pv::SetPresenter(nullptr);
}

TEST_F(AutomationTest, PumpsThatShowNothingForLongStillMoveFramesOn) {
  // After a present, a key that keeps every scene from presenting must not
  // stall the script or the frame limit: past a run of 16 pumps with no
  // present, each frame pump counts as a frame. Shorter runs (fast-forward
  // shows one frame in eight) do not shift the count.
  namespace pv = platform::video;
  pv::SetPresenter(std::make_unique<pv::NullPresenter>());
  pv::DirectDraw* dd = nullptr;
  ASSERT_EQ(pv::CreateDirectDraw(&dd), pv::kOk);
  ASSERT_EQ(dd->Initialize(), pv::kOk);
  pv::SurfaceDesc desc;
  desc.caps = pv::kCapsOffscreenPlain | pv::kCapsSystemMemory;
  desc.width = desc.height = 4;
  desc.has_format = true;
  desc.format = pv::Format565();
  pv::Surface* made = nullptr;
  ASSERT_EQ(dd->CreateSurface(desc, &made), pv::kOk);
  const pv::Rect all{0, 0, 4, 4};
  // Presents of earlier tests in this process still count.
  const uint64_t base = pv::PresentedFrameCount();
  std::vector<std::string> errors;
  pw::SetInputScript(
      pw::ParseInputScript(std::to_string(base + 3) + " SPACE up\n", &errors));
  pw::SetQuitAfterFrames(base + 5);
  in::SetKeyDown(in::kKeySpace, true);
  pv::PresentSurface(*made, all);
  for (int i = 0; i < 7; ++i) pw::NoteFramePump(true);  // a fast-forward stretch
  pv::PresentSurface(*made, all);
  pw::NoteFramePump(true);
  pw::NoteFramePump(false);  // waits inside a frame never count
  for (int i = 0; i < 16; ++i) pw::NoteFramePump(true);
  EXPECT_TRUE(in::IsKeyDownInTable(in::kKeySpace)) << "frame 2 only";
  pw::NoteFramePump(true);  // 17th pump in the run: frame 3
  EXPECT_FALSE(in::IsKeyDownInTable(in::kKeySpace));
  pw::NoteFramePump(true);
  EXPECT_FALSE(ClosePosted());
  pw::NoteFramePump(true);  // frame 5
  EXPECT_TRUE(ClosePosted());
  made->Release();
  dd->Release();
  pv::SetPresenter(nullptr);
}

}  // namespace

namespace {

TEST(InputScriptTest, AScriptThatCannotBeReadIsSaidAndNothingIsScripted) {
  // A folder, a FIFO (no writer: a blocking open would wait for ever) and a
  // device (reading it would never end).
  const std::string folder = ::testing::TempDir() + "script-folder-" + std::to_string(getpid());
  const std::string fifo = folder + ".fifo";
  std::filesystem::create_directories(folder);
  ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
  ::alarm(60);
  for (const std::string& path : {folder, fifo, std::string("/dev/zero")}) {
    ::testing::internal::CaptureStderr();
    EXPECT_TRUE(pw::LoadInputScript(path.c_str()).empty());
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("KESTO_INPUT_SCRIPT: cannot read " + path + " ("), std::string::npos)
        << said;
  }
  ::alarm(0);
  std::filesystem::remove_all(folder);
  std::filesystem::remove(fifo);
}

}  // namespace
