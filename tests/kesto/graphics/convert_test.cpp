#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "graphics/surface_upload.h"

namespace {

using platform::video::Rect;

struct Layout {
  const char* name;
  int bits;
  uint32_t r, g, b, a;
  bool palette = false;
};

const Layout kPalette8{"palette8", 8, 0xFF0000, 0xFF00, 0xFF, 0, true};
const Layout kGrey8{"grey8", 8, 0xFF, 0xFF, 0xFF, 0xFF};
const Layout kRgb24{"rgb24", 24, 0xFF0000, 0xFF00, 0xFF, 0};
const Layout k565{"565", 16, 0xF800, 0x07E0, 0x1F, 0};
const Layout k555{"555", 16, 0x7C00, 0x03E0, 0x1F, 0};
const Layout kX888{"x888", 32, 0xFF0000, 0xFF00, 0xFF, 0};
const Layout kA888{"a8888", 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000u};
const Layout kA1555{"a1555", 16, 0x7C00, 0x03E0, 0x1F, 0x8000};
const Layout kA4444{"a4444", 16, 0x0F00, 0x00F0, 0x0F, 0xF000};
const Layout kBgr24{"bgr24-masks", 24, 0xFF, 0xFF00, 0xFF0000, 0};

ColorFormatBlock Block(const Layout& l) {
  ColorFormatBlock b{};
  if (l.palette) {
    SetXrgbPaletteColorFormat(&b.header);
  } else if (l.bits == 8) {
    SetAlpha8ColorFormat(&b.header);
  } else {
    BuildColorFormatFromMasks(&b.header, l.bits, l.r, l.g, l.b, l.a);
  }
  return b;
}

uint32_t Load(const uint8_t* p, int bytes) {
  uint32_t v = 0;
  for (int i = 0; i < bytes; ++i) v |= static_cast<uint32_t>(p[i]) << (8 * i);
  return v;
}
void Store(uint8_t* p, int bytes, uint32_t v) {
  for (int i = 0; i < bytes; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

// A colour whose channels are 0 or 255 (exact in every layout) packed by mask
// alone, so the expectation does not reuse the converter's arithmetic.
uint32_t Saturated(const Layout& l, bool r, bool g, bool b, bool a) {
  uint32_t v = (r ? l.r : 0) | (g ? l.g : 0) | (b ? l.b : 0) | (a ? l.a : 0);
  if (l.bits == 32 && !l.a) v |= 0xFF000000u;  // the unused byte comes out set
  if (l.bits == 16 && l.r == 0x7C00 && !l.a) v |= 0x8000;
  return v;
}

// Writes a saturated colour into a source image pixel (palette entries for
// the palette layout: entry i is the pixel's own colour).
void PutSource(const Layout& l, ColorFormatBlock* block, uint8_t* p, int index, bool r, bool g,
               bool b, bool a) {
  const int bytes = l.bits / 8;
  if (l.palette) {
    block->palette[index] = {static_cast<uint8_t>(b ? 255 : 0), static_cast<uint8_t>(g ? 255 : 0),
                             static_cast<uint8_t>(r ? 255 : 0), 0};
    *p = static_cast<uint8_t>(index);
  } else if (l.bits == 8) {
    *p = (r && g && b) ? 255 : 0;  // grey: colour and alpha alike
  } else {
    Store(p, bytes, Saturated(l, r, g, b, a));
  }
}

TEST(ConvertPixelRect, EveryLayoutIntoEveryScreenAndTextureLayout) {
  const Layout sources[] = {kPalette8, kGrey8, kRgb24, kBgr24, k565, k555, kX888, kA888, kA1555};
  const Layout dests[] = {k565, k555, kX888, kA888, kA1555, kA4444};
  // Four pixels: white, magenta (the transparent colour), green with source
  // alpha 0, black. Companion alpha: 255, 255, 0, 255.
  struct Px {
    bool r, g, b, a;
    uint8_t companion;
  } px[4] = {{true, true, true, true, 255},
             {true, false, true, true, 255},
             {false, true, false, false, 0},
             {false, false, false, true, 255}};
  for (const Layout& sl : sources) {
    for (const Layout& dl : dests) {
      for (int variant = 0; variant < 4; ++variant) {
        const bool keyed = variant & 1, companion = variant & 2;
        ColorFormatBlock sb = Block(sl), db = Block(dl), ab = Block(kGrey8);
        const int sbytes = sl.bits / 8, dbytes = dl.bits / 8;
        std::vector<uint8_t> src(4 * sbytes), dst(4 * dbytes, 0xAB), alpha(4);
        for (int i = 0; i < 4; ++i) {
          PutSource(sl, &sb, &src[i * sbytes], i, px[i].r, px[i].g, px[i].b, px[i].a);
          alpha[i] = px[i].companion;
        }
        const Rect rect{0, 0, 4, 1};
        ConvertPixelRect(dst.data(), 4 * dbytes, &db, src.data(), 4 * sbytes, &sb,
                         companion ? alpha.data() : nullptr, 4, companion ? &ab : nullptr, 0, 0,
                         &rect, 0, keyed, 0xFF00FF, 0, 0);
        for (int i = 0; i < 4; ++i) {
          const bool grey = sl.bits == 8 && !sl.palette;
          // Grey sources only know white and black.
          const bool white = px[i].r && px[i].g && px[i].b;
          const bool r = grey ? white : px[i].r, g = grey ? white : px[i].g,
                     b = grey ? white : px[i].b;
          bool a = true;
          if (grey) {
            a = white;
          } else if (sl.a) {
            a = px[i].a;
          } else if (companion) {
            a = px[i].companion != 0;
          }
          if (keyed && r && !g && b) a = false;
          const uint32_t want = Saturated(dl, r, g, b, a);
          EXPECT_EQ(Load(&dst[i * dbytes], dbytes), want)
              << sl.name << " -> " << dl.name << " keyed " << keyed << " companion " << companion
              << " pixel " << i;
        }
      }
    }
  }
}

TEST(ConvertPixelRect, FastPathsGiveTheGeneralPathsPixels) {
  const Layout sources[] = {kPalette8, kRgb24, k565, k555, kX888, kA888, kA1555};
  const Layout dests[] = {kRgb24, k565, k555, kX888, kA888, kA1555, kA4444};
  std::mt19937 rng(7);
  for (const Layout& sl : sources) {
    for (const Layout& dl : dests) {
      for (int variant = 0; variant < 8; ++variant) {
        const bool keyed = variant & 1, mirror = variant & 2, companion = variant & 4;
        ColorFormatBlock sb = Block(sl), db = Block(dl), ab = Block(kPalette8);
        const int w = 7, h = 3, sbytes = sl.bits / 8, dbytes = dl.bits / 8;
        std::vector<uint8_t> src(w * h * sbytes), alpha(w * h);
        for (auto& v : src) v = static_cast<uint8_t>(rng());
        for (auto& v : alpha) v = static_cast<uint8_t>(rng());
        for (auto& p : sb.palette) p = {uint8_t(rng()), uint8_t(rng()), uint8_t(rng()), 0};
        for (auto& p : ab.palette) p = {uint8_t(rng()), uint8_t(rng()), uint8_t(rng()), 0};
        // Make some pixels the transparent colour.
        const uint32_t key = 0x10F020;
        if (sl.palette) {
          sb.palette[src[0]] = {0x20, 0xF0, 0x10, 0};
        } else if (sl.bits == 24) {
          Store(&src[3 * 3], 3, key);
        } else {
          // Pack the key into the first pixel through the layout's masks.
          Store(&src[0], sbytes, 0);
        }
        std::vector<uint8_t> fast(w * h * dbytes + 5), general(fast.size());
        const Rect rect{1, 1, 6, 3};
        for (int force = 0; force < 2; ++force) {
          ConvertPixelRect((force ? general : fast).data(), w * dbytes, &db, src.data(),
                           w * sbytes, &sb, companion ? alpha.data() : nullptr, w,
                           companion ? &ab : nullptr, 2, 0, &rect, mirror, keyed,
                           sl.bits == 24 || sl.palette ? key : 0, 0, force);
        }
        // Bits that belong to no channel are copied by the plain copy and set
        // by the general path; neither reads them.
        const uint32_t unused = db.header.unused_mask;
        for (size_t i = 0; i + dbytes <= fast.size(); i += dbytes) {
          Store(&fast[i], dbytes, Load(&fast[i], dbytes) & ~unused);
          Store(&general[i], dbytes, Load(&general[i], dbytes) & ~unused);
        }
        EXPECT_EQ(fast, general) << sl.name << " -> " << dl.name << " variant " << variant;
      }
    }
  }
}

TEST(ConvertPixelRect, MirrorsIntoItsOwnLayout) {
  ColorFormatBlock f = Block(kRgb24);
  const uint8_t src[2][9] = {{1, 1, 1, 2, 2, 2, 3, 3, 3}, {4, 4, 4, 5, 5, 5, 6, 6, 6}};
  uint8_t dst[2][9] = {};
  const Rect rect{0, 0, 3, 2};
  for (int force = 0; force < 2; ++force) {
    ConvertPixelRect(dst, 9, &f, src, 9, &f, nullptr, 0, nullptr, 0, 0, &rect, 1, 0, 0, 0, force);
    EXPECT_EQ(dst[0][0], 3);
    EXPECT_EQ(dst[0][8], 1);
    EXPECT_EQ(dst[1][3], 5);
    EXPECT_EQ(dst[1][6], 4);
  }
}

TEST(ConvertPixelRect, CompanionRedChannelBecomesAlphaAtItsPrecision) {
  ColorFormatBlock d = Block(kA888), s = Block(kRgb24);
  const uint8_t src[6] = {0x10, 0x20, 0x30, 0x40, 0x50, 0x60};
  uint32_t dst[2] = {};
  const Rect rect{0, 0, 2, 1};
  struct Case {
    Layout companion;
    uint8_t pixels[6];
    uint32_t alpha0, alpha1;
  } cases[] = {
      {kRgb24, {0, 0, 0x80, 0xFF, 0xFF, 0x11}, 0x80, 0x11},  // red is the third byte
      {kGrey8, {0x7F, 0x33}, 0x7F, 0x33},
      {kPalette8, {1, 2}, 0xC0, 0x05},  // through the companion's own palette
      {k565, {0x00, 0x08, 0x00, 0xF8}, 0x08, 0xFF},  // 5 bits widen by repetition
  };
  for (const Case& c : cases) {
    ColorFormatBlock a = Block(c.companion);
    a.palette[1].red = 0xC0;
    a.palette[2].red = 0x05;
    ConvertPixelRect(dst, 8, &d, src, 6, &s, c.pixels, 6, &a, 0, 0, &rect, 0, 0, 0, 0, 0);
    EXPECT_EQ(dst[0], (c.alpha0 << 24) | 0x302010u) << c.companion.name;
    EXPECT_EQ(dst[1], (c.alpha1 << 24) | 0x605040u) << c.companion.name;
  }
  // A 4-bit alpha destination keeps the top bits.
  ColorFormatBlock d4 = Block(kA4444), grey = Block(kGrey8);
  uint16_t out[2] = {};
  const uint8_t companion[2] = {0x80, 0x0F};
  ConvertPixelRect(out, 4, &d4, src, 6, &s, companion, 2, &grey, 0, 0, &rect, 0, 0, 0, 0, 0);
  EXPECT_EQ(out[0] >> 12, 0x8);
  EXPECT_EQ(out[1] >> 12, 0x0);
}

TEST(ConvertPixelRect, DitherTurnsHalfAStepIntoABayerPattern) {
  // Red 0x84: 16 of 5 bits plus half a step; green and blue exact.
  std::vector<uint8_t> src(4 * 4 * 3);
  for (size_t i = 0; i < src.size(); i += 3) {
    src[i] = 0x08;      // blue: exact
    src[i + 1] = 0x10;  // green: exact
    src[i + 2] = 0x84;
  }
  ColorFormatBlock s = Block(kRgb24), d = Block(k565);
  uint16_t dst[4][4] = {};
  const Rect rect{0, 0, 4, 4};
  ConvertPixelRect(dst, 8, &d, src.data(), 12, &s, nullptr, 0, nullptr, 0, 0, &rect, 0, 0, 0, 1,
                   0);
  const int bayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
  const uint16_t low = (16 << 11) | (4 << 5) | 1, high = (17 << 11) | (4 << 5) | 1;
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x)
      EXPECT_EQ(dst[y][x], bayer[y][x] < 8 ? high : low) << x << "," << y;
  // Without dither every pixel truncates.
  ConvertPixelRect(dst, 8, &d, src.data(), 12, &s, nullptr, 0, nullptr, 0, 0, &rect, 0, 0, 0, 0,
                   0);
  for (auto& row : dst)
    for (uint16_t v : row) EXPECT_EQ(v, low);
  // The top of the range never wraps.
  std::fill(src.begin(), src.end(), 0xFF);
  ConvertPixelRect(dst, 8, &d, src.data(), 12, &s, nullptr, 0, nullptr, 0, 0, &rect, 0, 0, 0, 1,
                   0);
  for (auto& row : dst)
    for (uint16_t v : row) EXPECT_EQ(v, 0xFFFF);
}

TEST(ConvertPixelRect, UnconvertibleLayoutsWriteNothing) {
  ColorFormatBlock good = Block(kRgb24), bad = Block(kRgb24);
  const uint8_t src[3] = {1, 2, 3};
  uint8_t dst[4] = {9, 9, 9, 9};
  const Rect rect{0, 0, 1, 1};
  struct Case {
    const char* what;
    void (*spoil)(ColorFormatHeader*);
  } cases[] = {
      {"12 bits", [](ColorFormatHeader* h) { h->color_bits = 12; }},
      {"bytes disagree", [](ColorFormatHeader* h) { h->bytes_per_pixel = 4; }},
  };
  for (const Case& c : cases) {
    bad = good;
    c.spoil(&bad.header);
    EXPECT_EQ(ConvertPixelRect(dst, 4, &good, src, 3, &bad, nullptr, 0, nullptr, 0, 0, &rect, 0,
                               0, 0, 0, 0),
              0);
    EXPECT_EQ(ConvertPixelRect(dst, 4, &bad, src, 3, &good, nullptr, 0, nullptr, 0, 0, &rect, 0,
                               0, 0, 0, 0),
              0);
    EXPECT_EQ(dst[0], 9) << c.what;
  }
  // Shifts past the word read as an absent channel instead of shifting out of range.
  bad = good;
  bad.header.red_shift = 40;
  bad.header.green_width = 40;
  ConvertPixelRect(dst, 4, &good, src, 3, &bad, nullptr, 0, nullptr, 0, 0, &rect, 0, 0, 0, 0, 1);
  EXPECT_EQ(dst[2], 0);
  EXPECT_EQ(dst[1], 0);
  EXPECT_EQ(dst[0], 1);
}

}  // namespace
