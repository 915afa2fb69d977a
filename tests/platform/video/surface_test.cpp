#include <cstring>
#include <filesystem>

#include "support/scoped_temp_dir.h"
#include "video_fixture.h"

namespace platform::video {
namespace {

using SurfaceTest = VideoTest;

TEST_F(SurfaceTest, PitchIsRoundedAndFormatsKeepTheirMasks) {
  struct Case {
    PixelFormat format;
    int width;
    int pitch;
  } cases[] = {{Format565(), 3, 8}, {Format555(), 2, 4}, {FormatX8R8G8B8(), 3, 12},
               {FormatA4R4G4B4(), 5, 12}, {FormatA1R5G5B5(), 1, 4}, {FormatA8R8G8B8(), 1, 4}};
  for (const Case& c : cases) {
    Surface* s = Plain(c.width, 2, c.format);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->pitch(), c.pitch);
    EXPECT_TRUE(SameFormat(s->format(), c.format));
    s->Release();
  }
}

TEST_F(SurfaceTest, SecondLockIsRefusedUntilUnlocked) {
  Surface* s = Plain(4, 4, Format565());
  uint8_t* p = nullptr;
  int pitch = 0;
  Rect r{1, 2, 3, 4};
  ASSERT_EQ(s->Lock(&r, kLockWait, &p, &pitch), kOk);
  EXPECT_EQ(p, s->Row(2) + 2);
  EXPECT_EQ(s->Lock(nullptr, kLockWait, &p, &pitch), kErrSurfaceBusy);
  EXPECT_EQ(s->Blt(nullptr, nullptr, nullptr, kBltColorFill, 1), kErrSurfaceBusy);
  EXPECT_EQ(s->Unlock(), kOk);
  EXPECT_EQ(s->Unlock(), kErrNotLocked);
  Rect outside{0, 0, 5, 4};
  EXPECT_EQ(s->Lock(&outside, 0, &p, &pitch), kErrInvalidParams);
  s->Release();
}

TEST_F(SurfaceTest, ColorFillIsClippedAndMaskedToTheBitCount) {
  Surface* s = Plain(4, 3, Format565());
  Rect r{2, 1, 10, 10};
  ASSERT_EQ(s->Blt(&r, nullptr, nullptr, kBltColorFill | kBltWait, 0x1F800F), kOk);
  EXPECT_EQ(s->ReadPixel(1, 1), 0u);
  EXPECT_EQ(s->ReadPixel(2, 0), 0u);
  EXPECT_EQ(s->ReadPixel(3, 2), 0x800Fu);
  s->Release();
}

TEST_F(SurfaceTest, BltFastHonoursTheSourceKeyUnderTheRgbMasks) {
  Surface* src = Plain(3, 1, FormatX8R8G8B8());
  Surface* dst = Plain(3, 1, FormatX8R8G8B8());
  src->WritePixel(0, 0, 0xFF000000u);  // key colour with the X byte set
  src->WritePixel(1, 0, 0x00123456u);
  src->WritePixel(2, 0, 0x00000000u);
  dst->Blt(nullptr, nullptr, nullptr, kBltColorFill, 0x00ABCDEF);
  src->SetColorKey(0, 0);
  ASSERT_EQ(dst->BltFast(0, 0, src, nullptr, kBltFastSrcColorKey), kOk);
  EXPECT_EQ(dst->ReadPixel(0, 0), 0x00ABCDEFu);
  EXPECT_EQ(dst->ReadPixel(1, 0), 0x00123456u);
  EXPECT_EQ(dst->ReadPixel(2, 0), 0x00ABCDEFu);
  ASSERT_EQ(dst->BltFast(0, 0, src, nullptr, kBltFastNoColorKey), kOk);
  EXPECT_EQ(dst->ReadPixel(0, 0), 0xFF000000u);
  src->Release();
  dst->Release();
}

TEST_F(SurfaceTest, BltFastClipsAtEveryEdgeAndRefusesOtherFormats) {
  Surface* src = Plain(4, 4, Format565());
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) src->WritePixel(x, y, static_cast<uint32_t>(y * 4 + x + 1));
  Surface* dst = Plain(4, 4, Format565());
  ASSERT_EQ(dst->BltFast(-1, -2, src, nullptr, 0), kOk);
  EXPECT_EQ(dst->ReadPixel(0, 0), 10u);  // source (1, 2)
  EXPECT_EQ(dst->ReadPixel(2, 1), 16u);  // source (3, 3)
  EXPECT_EQ(dst->ReadPixel(3, 3), 0u);
  ASSERT_EQ(dst->BltFast(3, 3, src, nullptr, 0), kOk);
  EXPECT_EQ(dst->ReadPixel(3, 3), 1u);
  Surface* other = Plain(4, 4, Format555());
  EXPECT_EQ(other->BltFast(0, 0, src, nullptr, 0), kErrInvalidParams);
  src->Release();
  dst->Release();
  other->Release();
}

TEST_F(SurfaceTest, StretchedBltDoublesEveryPixel) {
  Surface* src = Plain(2, 2, Format565());
  src->WritePixel(0, 0, 1);
  src->WritePixel(1, 0, 2);
  src->WritePixel(0, 1, 3);
  src->WritePixel(1, 1, 4);
  Surface* dst = Plain(6, 5, Format565());
  Rect to{1, 1, 5, 5};
  ASSERT_EQ(dst->Blt(&to, src, nullptr, kBltWait, 0), kOk);
  const uint32_t expect[4][4] = {{1, 1, 2, 2}, {1, 1, 2, 2}, {3, 3, 4, 4}, {3, 3, 4, 4}};
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(dst->ReadPixel(x + 1, y + 1), expect[y][x]);
  EXPECT_EQ(dst->ReadPixel(0, 0), 0u);
  EXPECT_EQ(dst->ReadPixel(5, 4), 0u);
  src->Release();
  dst->Release();
}

TEST_F(SurfaceTest, VideoMemoryBudgetRefusesAndSystemMemoryStillWorks) {
  Config().video_memory_bytes = 64 * 64 * 2;
  Surface* fits = Plain(64, 64, Format565(), 0);
  ASSERT_NE(fits, nullptr);
  EXPECT_TRUE(fits->caps() & kCapsVideoMemory);
  SurfaceDesc d;
  d.caps = kCapsOffscreenPlain;
  d.width = 8;
  d.height = 8;
  Surface* s = nullptr;
  EXPECT_EQ(dd_->CreateSurface(d, &s), kErrOutOfVideoMemory);
  EXPECT_EQ(s, nullptr);
  d.caps |= kCapsSystemMemory;
  ASSERT_EQ(dd_->CreateSurface(d, &s), kOk);
  EXPECT_TRUE(s->caps() & kCapsSystemMemory);
  uint32_t total = 0, free = 1;
  dd_->GetAvailableVidMem(&total, &free);
  EXPECT_EQ(total, 64u * 64u * 2u);
  EXPECT_EQ(free, 0u);
  fits->Release();
  dd_->GetAvailableVidMem(&total, &free);
  EXPECT_EQ(free, total);
  s->Release();
}

TEST_F(SurfaceTest, OverlaysAndFourCcSurfacesAreRefused) {
  SurfaceDesc d;
  d.caps = kCapsOverlay | kCapsVideoMemory;
  d.width = d.height = 16;
  d.has_format = true;
  d.format = Format565();
  Surface* s = nullptr;
  EXPECT_TRUE(Failed(dd_->CreateSurface(d, &s)));
  d.caps = kCapsOffscreenPlain;
  d.format = PixelFormat{kPfFourCC, FourCC('Y', 'U', 'Y', '2'), 0, 0, 0, 0, 0};
  EXPECT_TRUE(Failed(dd_->CreateSurface(d, &s)));
  EXPECT_EQ(s, nullptr);
}

TEST_F(SurfaceTest, GdiCopyConvertsBetweenFormats) {
  Surface* src = Plain(2, 1, Format565());
  Surface* dst = Plain(2, 1, FormatX8R8G8B8());
  src->WritePixel(0, 0, 0xF800);
  src->WritePixel(1, 0, 0x07E0);
  ASSERT_EQ(GdiCopy(dst, 0, 0, 2, 1, src, 0, 0), kOk);
  EXPECT_EQ(dst->ReadPixel(0, 0), 0xFF0000u);
  EXPECT_EQ(dst->ReadPixel(1, 0), 0x00FF00u);
  src->Release();
  dst->Release();
}

TEST_F(SurfaceTest, CapturedFrameIsWrittenAsPng) {
  ScopedTempDir dir;
  Surface* s = Plain(3, 2, Format565());
  s->WritePixel(1, 1, 0xF800);
  CapturedFrame f = CaptureRect(*s, Rect{0, 0, 3, 2});
  EXPECT_EQ(f.PixelRgb(1, 1), 0xFF0000u);
  const auto path = dir.path() / "frame.png";
  ASSERT_TRUE(WritePng(f, path.string()));
  unsigned char magic[8] = {};
  FILE* in = std::fopen(path.c_str(), "rb");
  ASSERT_NE(in, nullptr);
  ASSERT_EQ(std::fread(magic, 1, 8, in), 8u);
  std::fclose(in);
  EXPECT_EQ(std::memcmp(magic, "\x89PNG\r\n\x1a\n", 8), 0);
  EXPECT_FALSE(WritePng(f, (dir.path() / "missing" / "x.png").string()));
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "missing"));
  s->Release();
}

}  // namespace
}  // namespace platform::video
