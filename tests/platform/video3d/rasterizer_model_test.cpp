// The rasteriser's fast paths (quad rows, sprite copies, vector loops)
// against the plain rasteriser they replaced: random triangles, sprite quads,
// states, texture formats and clip rectangles must give the same pixels and
// the same pixel counts, with the vector loops on and off.
#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "../video/video_fixture.h"
#include "model_compare.h"
#include "platform/video3d/rasterizer.h"

namespace platform::video3d {
namespace {

using video::PixelFormat;
using video::Rect;
using video::Surface;

class RasterizerModelTest : public video::VideoTest, public ::testing::WithParamInterface<bool> {
 protected:
  void SetUp() override {
    VideoTest::SetUp();
    AllowRasterSimdForTesting(GetParam());
  }
  void TearDown() override {
    AllowRasterSimdForTesting(true);
    for (Surface* s : owned_) s->Release();
    VideoTest::TearDown();
  }
  Surface* Make(int w, int h, const PixelFormat& f) {
    Surface* s = Plain(w, h, f);
    owned_.push_back(s);
    return s;
  }
  void Fill(Surface* s) {
    for (int y = 0; y < s->height(); ++y) {
      uint8_t* row = s->Row(y);
      for (int i = 0; i < s->pitch(); ++i) row[i] = static_cast<uint8_t>(rng_());
    }
  }
  // Texels of mostly a few values, so that colour keys and alpha bits hit.
  // Half the 8-bit-alpha sheets are drawn like the game's art: an opaque
  // disc on a clear ground with a few partly clear texels.
  void FillTexture(Surface* s) {
    Fill(s);
    const uint32_t common[3] = {static_cast<uint32_t>(rng_()), static_cast<uint32_t>(rng_()), 0};
    const bool art = s->format().bits == 32 && rng_() % 2;
    const int w = s->width(), h = s->height();
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        if (rng_() % 3 == 0) s->WritePixel(x, y, common[rng_() % 3]);
        if (!art) continue;
        const int dx = 2 * x - w + 1, dy = 2 * y - h + 1;
        const uint32_t rgb = s->ReadPixel(x, y) & 0xFFFFFFu;
        if (rng_() % 16 == 0) continue;  // any alpha
        s->WritePixel(x, y, rgb | (dx * dx + dy * dy < w * h ? 0xFF000000u : 0));
      }
  }
  // Draws with both rasterisers into copies of one target and compares:
  // three corners are a triangle, four a quad in one of the two orders the
  // library sends, triangles (0, 1, 2) and (3, 2, 1) or (2, 1, 3), the
  // second in its own colour.
  void Compare(RasterState st, const std::vector<TLVertex>& v, uint32_t color,
               uint32_t second_color, Surface* fast, Surface* model, const char* what) {
    const bool strip = rng_() % 2;
    const TLVertex* first[3] = {&v[0], &v[1], &v[2]};
    const TLVertex* second[3] = {&v[3 % v.size()], &v[2], &v[1]};
    if (strip) second[0] = &v[2], second[1] = &v[1], second[2] = &v[3 % v.size()];
    ExpectSameAsModel(st, first, v.size() == 4 ? second : nullptr, color, second_color, fast, model,
                      what);
  }
  float Coord(float lo, float hi) { return std::uniform_real_distribution<float>(lo, hi)(rng_); }
  uint32_t Pick(std::initializer_list<uint32_t> values) {
    return values.begin()[rng_() % values.size()];
  }
  Rect RandomClip(int w, int h) {
    if (rng_() % 2) return Rect{0, 0, w, h};
    const int l = static_cast<int>(rng_() % w), t = static_cast<int>(rng_() % h);
    return Rect{l, t, l + 1 + static_cast<int>(rng_() % (w - l)),
                t + 1 + static_cast<int>(rng_() % (h - t))};
  }
  std::mt19937 rng_{20261211};
  std::vector<Surface*> owned_;
};

const PixelFormat kTargets[] = {video::Format565(), video::Format555(), video::FormatX8R8G8B8()};
const PixelFormat kTextures[] = {video::Format565(),      video::Format555(),
                                 video::FormatA1R5G5B5(), video::FormatA4R4G4B4(),
                                 video::FormatA8R8G8B8(), video::FormatX8R8G8B8()};

// Any triangle, state and texture format.
TEST_P(RasterizerModelTest, RandomTrianglesAndStates) {
  for (const PixelFormat& target_format : kTargets) {
    Surface* fast = Make(61, 47, target_format);
    Surface* model = Make(61, 47, target_format);
    for (int round = 0; round < 400; ++round) {
      Fill(fast);
      Surface* texture = nullptr;
      if (rng_() % 8) {
        texture = Make(1 + static_cast<int>(rng_() % 33), 1 + static_cast<int>(rng_() % 33),
                       kTextures[rng_() % std::size(kTextures)]);
        FillTexture(texture);
        if (rng_() % 2) texture->SetColorKey(texture->ReadPixel(0, 0), texture->ReadPixel(0, 0));
      }
      RasterState st;
      st.clip = RandomClip(61, 47);
      st.texture = texture;
      st.color_key = rng_() % 2;
      st.blend = rng_() % 4 != 0;
      const uint32_t factors[] = {kBlendZero,        kBlendOne,          kBlendSrcColor,
                                  kBlendInvSrcColor, kBlendSrcAlpha,     kBlendInvSrcAlpha,
                                  kBlendDestAlpha,   kBlendInvDestAlpha, kBlendDestColor,
                                  kBlendInvDestColor};
      st.src_blend = rng_() % 2 ? kBlendSrcAlpha : factors[rng_() % 10];
      st.dest_blend = rng_() % 2 ? kBlendInvSrcAlpha : factors[rng_() % 10];
      st.color_op = Pick({kTopModulate, kTopModulate, kTopSelectArg1, kTopSelectArg2, kTopDisable});
      st.color_arg1 = Pick({kTaTexture, kTaDiffuse});
      st.color_arg2 = Pick({kTaTexture, kTaDiffuse});
      st.alpha_op = Pick({kTopModulate, kTopSelectArg1, kTopSelectArg2});
      st.alpha_arg1 = Pick({kTaTexture, kTaDiffuse});
      st.alpha_arg2 = Pick({kTaTexture, kTaDiffuse});
      st.address = rng_() % 2 ? kAddressWrap : kAddressClamp;
      st.cull = Pick({kCullNone, kCullCw, kCullCcw});
      const uint32_t color = rng_() % 3 ? 0xFFFFFFFFu : static_cast<uint32_t>(rng_());
      // Triangles, and quads of any shape: folded, crossed or fine.
      std::vector<TLVertex> tri(rng_() % 2 ? 3 : 4);
      for (TLVertex& v : tri) {
        // Whole, half and arbitrary positions; coordinates past the edges.
        const int kind = static_cast<int>(rng_() % 3);
        v.x = Coord(-10, 71), v.y = Coord(-10, 57);
        if (kind == 0) v.x = std::round(v.x), v.y = std::round(v.y);
        if (kind == 1) v.x = std::round(v.x) - 0.5f, v.y = std::round(v.y) - 0.5f;
        v.u = Coord(-0.5f, 1.5f), v.v = Coord(-0.5f, 1.5f);
      }
      const uint32_t second_color = rng_() % 2 ? color : static_cast<uint32_t>(rng_());
      Compare(st, tri, color, second_color, fast, model, tri.size() == 3 ? "triangle" : "quad");
      if (HasFatalFailure()) return;
    }
  }
}

// The library's sprite quads: upright at scale 1, scaled, and turned by any
// angle, with and without colour keys, in the library's blend states, from
// the game's 1-5-5-5 and 8-8-8-8 sheets into the targets where the
// dedicated loops run.
TEST_P(RasterizerModelTest, SpriteQuadsAsTheLibraryQueuesThem) {
  for (const PixelFormat& target_format : kTargets) {
    Surface* fast = Make(97, 83, target_format);
    Surface* model = Make(97, 83, target_format);
    for (int round = 0; round < 600; ++round) {
      Fill(fast);
      const int tw = 1 << (rng_() % 6), th = 1 << (rng_() % 6);
      const int w = 1 + static_cast<int>(rng_() % tw), h = 1 + static_cast<int>(rng_() % th);
      const PixelFormat sheets[] = {video::FormatA1R5G5B5(), video::FormatA1R5G5B5(),
                                    video::Format565(),      video::FormatA8R8G8B8(),
                                    video::FormatA8R8G8B8(), video::FormatX8R8G8B8()};
      Surface* texture = Make(tw, th, sheets[rng_() % std::size(sheets)]);
      FillTexture(texture);
      if (rng_() % 2) texture->SetColorKey(texture->ReadPixel(0, 0), texture->ReadPixel(0, 0));
      RasterState st;
      st.clip = RandomClip(97, 83);
      st.texture = texture;
      st.color_key = rng_() % 2;
      st.blend = rng_() % 4 != 0;
      st.src_blend = kBlendSrcAlpha;
      st.dest_blend = rng_() % 8 ? kBlendInvSrcAlpha : kBlendOne;
      st.alpha_op = rng_() % 2 ? kTopModulate : kTopSelectArg2;
      st.address = rng_() % 4 ? kAddressClamp : kAddressWrap;
      const uint32_t color = rng_() % 4 ? 0xFFFFFFFFu : static_cast<uint32_t>(rng_());
      const float cx = Coord(-20, 117), cy = Coord(-20, 103);
      const int kind = static_cast<int>(rng_() % 4);
      const float angle = kind == 0 ? 0.0f : Coord(-7, 7);
      const float scale = kind == 3 ? Coord(0.2f, 5) : 1.0f;
      const float sn = std::sin(angle), cs = std::cos(angle);
      const float ox = std::round(cx) - 0.5f, oy = std::round(cy) - 0.5f;
      // Now and then texel coordinates past the texture's edges, which clamp or wrap.
      const bool past = rng_() % 3 == 0;
      const float u_off = past ? Coord(-8, 8) : 0, v_off = past ? Coord(-8, 8) : 0;
      const float stretch = past ? Coord(0.5f, 3) : 1;
      TLVertex q[4];
      for (int k = 0; k < 4; ++k) {
        const float px = static_cast<float>((k & 1) * w), py = static_cast<float>((k >> 1) * h);
        const float dx = (px - static_cast<float>(w / 2)) * scale;
        const float dy = (py - static_cast<float>(h / 2)) * scale;
        q[k] = TLVertex{dx * cs - dy * sn + ox,
                        dx * sn + dy * cs + oy,
                        0,
                        1,
                        color,
                        (px * stretch + u_off) / static_cast<float>(tw),
                        (py * stretch + v_off) / static_cast<float>(th)};
      }
      if (rng_() % 4 == 0) std::swap(q[1], q[2]);  // mirrored, as the library turns sprites
      Compare(st, {q[0], q[1], q[2], q[3]}, color, color, fast, model,
              kind == 0 ? "upright sprite" : "turned sprite");
      if (HasFatalFailure()) return;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(VectorLoops, RasterizerModelTest, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) {
                           return info.param ? "On" : "Off";
                         });

}  // namespace
}  // namespace platform::video3d
