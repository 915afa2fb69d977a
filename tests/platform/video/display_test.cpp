#include <cstdlib>
#include <filesystem>

#include "support/scoped_temp_dir.h"
#include "video_fixture.h"

namespace platform::video {
namespace {

using DisplayTest = VideoTest;

TEST_F(DisplayTest, OnlyOfferedModesCanBeSetAndOnlyInExclusiveMode) {
  EXPECT_EQ(dd_->SetDisplayMode(640, 480, 16, 0), kErrWrongMode);
  ASSERT_EQ(dd_->SetCooperativeLevel(window(), kCoopExclusive | kCoopFullscreen), kOk);
  struct Case {
    int w, h, bits, refresh;
    bool ok;
  } cases[] = {{640, 480, 16, 0, true},  {640, 480, 32, 60, true}, {640, 480, 8, 0, false},
               {640, 480, 24, 0, false}, {641, 480, 16, 0, false}, {800, 600, 16, 75, false}};
  for (const Case& c : cases) {
    EXPECT_EQ(!Failed(dd_->SetDisplayMode(c.w, c.h, c.bits, c.refresh)), c.ok)
        << c.w << "x" << c.h << "x" << c.bits << "@" << c.refresh;
  }
  EXPECT_TRUE(Failed(dd_->SetCooperativeLevel(nullptr, kCoopExclusive | kCoopFullscreen)));
}

TEST_F(DisplayTest, WindowedPrimaryIsTheDesktopAndFullScreenPrimaryTheMode) {
  Config().desktop_bits = 16;
  ASSERT_EQ(dd_->SetCooperativeLevel(window(), kCoopNormal), kOk);
  SurfaceDesc d;
  d.caps = kCapsPrimary;
  Surface* p = nullptr;
  ASSERT_EQ(dd_->CreateSurface(d, &p), kOk);
  EXPECT_EQ(p->width(), 1280);
  EXPECT_EQ(p->height(), 1024);
  EXPECT_TRUE(SameFormat(p->format(), Format565()));
  EXPECT_EQ(p->attached_back_buffer(), nullptr);
  p->Release();

  ASSERT_EQ(dd_->SetCooperativeLevel(window(), kCoopExclusive | kCoopFullscreen), kOk);
  ASSERT_EQ(dd_->SetDisplayMode(800, 600, 32, 0), kOk);
  d.caps = kCapsPrimary | kCapsFlip | kCapsComplex | kCaps3DDevice;
  d.back_buffer_count = 1;
  ASSERT_EQ(dd_->CreateSurface(d, &p), kOk);
  EXPECT_EQ(p->width(), 800);
  EXPECT_TRUE(SameFormat(p->format(), FormatX8R8G8B8()));
  ASSERT_NE(p->attached_back_buffer(), nullptr);
  EXPECT_TRUE(p->attached_back_buffer()->caps() & kCapsBackBuffer);
  p->Release();
}

TEST_F(DisplayTest, FlipSwapsMemoryBehindTheSameObjectsAndPresents) {
  ASSERT_EQ(dd_->SetCooperativeLevel(window(), kCoopExclusive | kCoopFullscreen), kOk);
  ASSERT_EQ(dd_->SetDisplayMode(640, 480, 16, 0), kOk);
  SurfaceDesc d;
  d.caps = kCapsPrimary | kCapsFlip | kCapsComplex;
  d.back_buffer_count = 1;
  Surface* p = nullptr;
  ASSERT_EQ(dd_->CreateSurface(d, &p), kOk);
  Surface* back = p->attached_back_buffer();
  back->Blt(nullptr, nullptr, nullptr, kBltColorFill, 0xF800);
  const uint64_t shown = presenter_->shown();
  const uint64_t before = clock_.NowNanoseconds();
  ASSERT_EQ(p->Flip(kFlipWait | kFlipNoVsync), kOk);
  EXPECT_EQ(clock_.NowNanoseconds(), before);
  EXPECT_EQ(p->attached_back_buffer(), back);
  EXPECT_EQ(p->ReadPixel(10, 10), 0xF800u);
  EXPECT_EQ(back->ReadPixel(10, 10), 0u);
  EXPECT_EQ(presenter_->shown(), shown + 1);
  EXPECT_EQ(presenter_->last_frame().width, 640);
  EXPECT_EQ(presenter_->last_frame().PixelRgb(0, 0), 0xFF0000u);
  // A waiting flip lands on the start of a blank.
  ASSERT_EQ(p->Flip(kFlipWait), kOk);
  EXPECT_EQ(ReadBeam(480).scan_line, 480);
  p->Release();
}

TEST_F(DisplayTest, BltToAClippedPrimaryLandsInsideTheClientArea) {
  SetClientRectProvider([this](WindowId w, Rect* r) {
    if (w != window()) return false;
    *r = Rect{100, 50, 108, 56};
    return true;
  });
  ASSERT_EQ(dd_->SetCooperativeLevel(window(), kCoopNormal), kOk);
  SurfaceDesc d;
  d.caps = kCapsPrimary;
  Surface* p = nullptr;
  ASSERT_EQ(dd_->CreateSurface(d, &p), kOk);
  Clipper* c = nullptr;
  ASSERT_EQ(dd_->CreateClipper(&c), kOk);
  c->SetWindow(window());
  p->SetClipper(c);
  c->Release();
  Surface* back = Plain(4, 4, p->format());
  back->Blt(nullptr, nullptr, nullptr, kBltColorFill, 0x1234);
  Rect dst{100, 50, 112, 62};  // scale 3, wider than the client area
  ASSERT_EQ(p->Blt(&dst, back, nullptr, kBltWait, 0), kOk);
  EXPECT_EQ(p->ReadPixel(100, 50), 0x1234u);
  EXPECT_EQ(p->ReadPixel(107, 55), 0x1234u);
  EXPECT_EQ(p->ReadPixel(108, 55), 0u);
  EXPECT_EQ(p->ReadPixel(99, 50), 0u);
  EXPECT_EQ(presenter_->last_frame().width, 8);
  EXPECT_EQ(presenter_->last_frame().height, 6);
  back->Release();
  p->Release();
}

TEST_F(DisplayTest, LostSurfacesRefuseUntilRestoredAfterTheDisplayReturns) {
  Surface* video = Plain(4, 4, Format565(), 0);
  Surface* system = Plain(4, 4, Format565());
  SurfaceDesc td;
  td.caps = kCapsTexture;
  td.caps2 = kCaps2TextureManage;
  td.width = td.height = 4;
  Surface* managed = nullptr;
  ASSERT_EQ(dd_->CreateSurface(td, &managed), kOk);
  system->WritePixel(0, 0, 7);
  SimulateDisplayLoss();
  EXPECT_EQ(video->IsLost(), kErrSurfaceLost);
  EXPECT_EQ(system->IsLost(), kOk);
  EXPECT_EQ(managed->IsLost(), kOk);
  EXPECT_EQ(system->ReadPixel(0, 0), 7u);
  uint8_t* px;
  int pitch;
  EXPECT_EQ(video->Lock(nullptr, 0, &px, &pitch), kErrSurfaceLost);
  EXPECT_EQ(video->BltFast(0, 0, system, nullptr, 0), kErrSurfaceLost);
  EXPECT_EQ(system->BltFast(0, 0, video, nullptr, 0), kErrSurfaceLost);
  EXPECT_EQ(video->Restore(), kErrWrongMode);
  EndDisplayLoss();
  EXPECT_EQ(video->Restore(), kOk);
  EXPECT_EQ(video->IsLost(), kOk);
  EXPECT_EQ(video->ReadPixel(3, 3), 0xA5A5u);  // contents are not brought back
  video->Release();
  system->Release();
  managed->Release();
}

TEST_F(DisplayTest, SurfacesOfAReleasedObjectFailEverything) {
  Surface* s = Plain(4, 4, Format565());
  dd_->Release();
  dd_ = nullptr;
  uint8_t* px;
  int pitch;
  EXPECT_EQ(s->IsLost(), kErrSurfaceLost);
  EXPECT_EQ(s->Lock(nullptr, 0, &px, &pitch), kErrSurfaceLost);
  EXPECT_EQ(s->Restore(), kErrSurfaceLost);
  EXPECT_EQ(s->Blt(nullptr, nullptr, nullptr, kBltColorFill, 0), kErrSurfaceLost);
  s->Release();
}

TEST_F(DisplayTest, BeamRunsAtSixtyHertzWithFortyFiveBlankLines) {
  ASSERT_EQ(dd_->SetCooperativeLevel(window(), kCoopExclusive | kCoopFullscreen), kOk);
  ASSERT_EQ(dd_->SetDisplayMode(640, 480, 16, 0), kOk);
  ASSERT_EQ(dd_->WaitForVerticalBlank(), kOk);
  const uint64_t start = clock_.NowNanoseconds();
  ASSERT_EQ(dd_->WaitForVerticalBlank(), kOk);
  const uint64_t period = clock_.NowNanoseconds() - start;
  bool blank = false;
  int line = 0;
  dd_->GetVerticalBlankStatus(&blank);
  EXPECT_TRUE(blank);
  EXPECT_GE(period, 16666000u);
  EXPECT_LE(period, 16667000u);
  clock_.Advance(period / 2);
  dd_->GetScanLine(&line);
  EXPECT_GT(line, 0);
  EXPECT_LT(line, 480);
  dd_->GetVerticalBlankStatus(&blank);
  EXPECT_FALSE(blank);
}

TEST_F(DisplayTest, CaptureDirectoryReceivesEveryNthPresentedFrame) {
  ScopedTempDir dir;
  setenv("KESTO_CAPTURE_DIR", dir.path().c_str(), 1);
  setenv("KESTO_CAPTURE_EVERY", "2", 1);
  ASSERT_EQ(dd_->SetCooperativeLevel(window(), kCoopNormal), kOk);
  SurfaceDesc d;
  d.caps = kCapsPrimary;
  Surface* p = nullptr;
  ASSERT_EQ(dd_->CreateSurface(d, &p), kOk);
  const uint64_t first = PresentedFrameCount() + 1;
  for (int i = 0; i < 4; ++i) p->Blt(nullptr, nullptr, nullptr, kBltColorFill, 0);
  unsetenv("KESTO_CAPTURE_DIR");
  unsetenv("KESTO_CAPTURE_EVERY");
  int files = 0;
  for (uint64_t n = first; n < first + 4; ++n) {
    char name[32];
    std::snprintf(name, sizeof name, "frame-%06llu.png", static_cast<unsigned long long>(n));
    const bool exists = std::filesystem::exists(dir.path() / name);
    EXPECT_EQ(exists, n % 2 == 0) << name;
    files += exists;
  }
  EXPECT_EQ(files, 2);
  p->Release();
}

}  // namespace
}  // namespace platform::video
