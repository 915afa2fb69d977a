#include <cstring>
#include <filesystem>
#include <random>
#include <vector>

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
  } cases[] = {{Format565(), 3, 8},       {Format555(), 2, 4},      {FormatX8R8G8B8(), 3, 12},
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

void FillRandom(Surface* s, std::mt19937& rng) {
  for (int y = 0; y < s->height(); ++y)
    for (int x = 0; x < s->width(); ++x) s->WritePixel(x, y, static_cast<uint32_t>(rng()));
}

std::vector<uint32_t> PixelsOf(const Surface* s) {
  std::vector<uint32_t> v;
  for (int y = 0; y < s->height(); ++y)
    for (int x = 0; x < s->width(); ++x) v.push_back(s->ReadPixel(x, y));
  return v;
}

// Random stretches (whole factors, other enlargements, shrinks, rectangles
// hanging over the edges, copies onto the same surface) against the plain
// rule: destination (x, y) takes source column s.left + (x - d.left) *
// s.width / d.width and the matching row.
TEST_F(SurfaceTest, StretchedBltMatchesThePlainNearestNeighbourRule) {
  std::mt19937 rng(25);
  const PixelFormat formats[] = {Format565(), FormatX8R8G8B8(), FormatA4R4G4B4()};
  for (int round = 0; round < 300; ++round) {
    SCOPED_TRACE(round);
    const PixelFormat& f = formats[round % 3];
    auto pick = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    Surface* src = Plain(pick(1, 40), pick(1, 30), f);
    const bool self = round % 10 == 9;
    Surface* dst = self ? src : Plain(pick(1, 90), pick(1, 70), f);
    FillRandom(src, rng);
    if (!self) FillRandom(dst, rng);
    Rect s{pick(0, src->width() - 1), pick(0, src->height() - 1), 0, 0};
    s.right = pick(s.left + 1, src->width());
    s.bottom = pick(s.top + 1, src->height());
    const int kind = pick(0, 3);
    auto length = [&](int from) {
      switch (kind) {
        case 0:
          return from * pick(1, 4);  // whole factor
        case 1:
          return pick(1, 3 * from);  // anything
        case 2:
          return std::max(1, from / pick(1, 3));  // shrink
        default:
          return from * 2 + pick(0, 1);  // nearly double
      }
    };
    Rect d{pick(-20, dst->width() - 1), pick(-20, dst->height() - 1), 0, 0};
    d.right = d.left + length(s.Width());
    d.bottom = d.top + length(s.Height());
    const std::vector<uint32_t> from = PixelsOf(src);
    std::vector<uint32_t> want = PixelsOf(dst);
    for (int y = std::max(d.top, 0); y < std::min(d.bottom, dst->height()); ++y) {
      const int sy = s.top + static_cast<int>(int64_t{y - d.top} * s.Height() / d.Height());
      for (int x = std::max(d.left, 0); x < std::min(d.right, dst->width()); ++x) {
        const int sx = s.left + static_cast<int>(int64_t{x - d.left} * s.Width() / d.Width());
        want[static_cast<size_t>(y) * dst->width() + x] =
            from[static_cast<size_t>(sy) * src->width() + sx];
      }
    }
    ASSERT_EQ(dst->Blt(&d, src, &s, kBltWait, 0), kOk);
    ASSERT_EQ(PixelsOf(dst), want);
    if (!self) dst->Release();
    src->Release();
  }
}

// Random keyed copies (keys among the colours, rectangles hanging over the
// edges) against the plain rule: a source pixel whose colour bits equal the
// key's leaves the destination alone, any other is copied.
TEST_F(SurfaceTest, KeyedBltFastMatchesThePlainRule) {
  std::mt19937 rng(31);
  auto pick = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  const PixelFormat formats[] = {Format565(), FormatX8R8G8B8(), FormatA1R5G5B5()};
  for (int round = 0; round < 300; ++round) {
    SCOPED_TRACE(round);
    const PixelFormat& f = formats[round % 3];
    Surface* src = Plain(pick(1, 80), pick(1, 20), f);
    Surface* dst = Plain(pick(1, 90), pick(1, 30), f);
    // Few colours, some differing from the key only outside the colour bits.
    const uint32_t colours[] = {static_cast<uint32_t>(rng()), static_cast<uint32_t>(rng()),
                                0x80000000u, 0x8000u, 0u};
    for (int y = 0; y < src->height(); ++y)
      for (int x = 0; x < src->width(); ++x) src->WritePixel(x, y, colours[pick(0, 4)]);
    FillRandom(dst, rng);
    const uint32_t key = colours[pick(0, 4)];
    src->SetColorKey(key, key);
    Rect r{pick(0, src->width() - 1), pick(0, src->height() - 1), 0, 0};
    r.right = pick(r.left + 1, src->width());
    r.bottom = pick(r.top + 1, src->height());
    const int x = pick(-10, dst->width()), y = pick(-10, dst->height());
    const uint32_t colour_bits = f.red_mask | f.green_mask | f.blue_mask;
    std::vector<uint32_t> want = PixelsOf(dst);
    for (int sy = r.top; sy < r.bottom; ++sy)
      for (int sx = r.left; sx < r.right; ++sx) {
        const int tx = x + sx - r.left, ty = y + sy - r.top;
        if (tx < 0 || ty < 0 || tx >= dst->width() || ty >= dst->height()) continue;
        const uint32_t v = src->ReadPixel(sx, sy);
        if ((v & colour_bits) != (key & colour_bits))
          want[static_cast<size_t>(ty) * dst->width() + tx] = v;
      }
    ASSERT_EQ(dst->BltFast(x, y, src, &r, kBltFastSrcColorKey), kOk);
    ASSERT_EQ(PixelsOf(dst), want);
    src->Release();
    dst->Release();
  }
}

// Random pixels of every format converted to RGB against the plain rule:
// channel value × 255 / channel maximum.
TEST_F(SurfaceTest, CapturedFrameMatchesThePlainChannelRule) {
  std::mt19937 rng(7);
  const PixelFormat formats[] = {Format565(),      Format555(),      FormatX8R8G8B8(),
                                 FormatA4R4G4B4(), FormatA1R5G5B5(), FormatA8R8G8B8()};
  auto channel = [](uint32_t v, uint32_t mask) -> uint32_t {
    const int shift = __builtin_ctz(mask);
    return ((v & mask) >> shift) * 255u / (mask >> shift);
  };
  for (const PixelFormat& f : formats) {
    Surface* s = Plain(37, 11, f);
    FillRandom(s, rng);
    const Rect r{3, 2, 40, 9};  // hangs over the right edge
    CapturedFrame frame;
    frame.rgb.assign(5, 0xEE);  // a reused buffer of the wrong size
    CaptureRectInto(*s, r, &frame);
    ASSERT_EQ(frame.width, 34);
    ASSERT_EQ(frame.height, 7);
    ASSERT_EQ(frame.rgb.size(), 34u * 7u * 3u);
    for (int y = 0; y < frame.height; ++y) {
      for (int x = 0; x < frame.width; ++x) {
        const uint32_t v = s->ReadPixel(x + 3, y + 2);
        const uint32_t want = (channel(v, f.red_mask) << 16) | (channel(v, f.green_mask) << 8) |
                              channel(v, f.blue_mask);
        ASSERT_EQ(frame.PixelRgb(x, y), want) << "bits " << f.bits << " at " << x << "," << y;
      }
    }
    s->Release();
  }
}

// The null presenter keeps what was shown, not what the surface holds later,
// and converts a frame of any format the same way a capture does.
TEST_F(SurfaceTest, NullPresenterKeepsTheShownPixels) {
  std::mt19937 rng(3);
  NullPresenter presenter;
  EXPECT_EQ(presenter.last_frame().width, 0);
  Surface* a = Plain(20, 10, Format565());
  Surface* b = Plain(9, 7, FormatX8R8G8B8());
  FillRandom(a, rng);
  FillRandom(b, rng);
  const Rect part{2, 1, 30, 8};
  presenter.Show(*a, part);
  const CapturedFrame want_a = CaptureRect(*a, part);
  a->Blt(nullptr, nullptr, nullptr, kBltColorFill, 0);
  EXPECT_EQ(presenter.last_frame().width, 18);
  EXPECT_EQ(presenter.last_frame().rgb, want_a.rgb);
  presenter.Show(*b, part);
  EXPECT_EQ(presenter.last_frame().rgb, CaptureRect(*b, part).rgb);
  EXPECT_EQ(presenter.shown(), 2u);
  a->Release();
  b->Release();
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
