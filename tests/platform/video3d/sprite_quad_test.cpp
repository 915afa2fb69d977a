// Sprite quads where the quad loops' own limits lie: quads of more
// pixels than a 16-bit lane counts or more rows than the plain quad loop
// takes, texel coordinates too large for 32-bit lanes on some rows only, and
// runs against either end of a row of the target. Each must match the plain
// rasteriser in pixels and count.
#include <cmath>
#include <random>
#include <vector>

#include "../video/video_fixture.h"
#include "model_compare.h"
#include "platform/video3d/rasterizer.h"

namespace platform::video3d {
namespace {

using video::Rect;
using video::Surface;

class SpriteQuadTest : public video::VideoTest {
 protected:
  void TearDown() override {
    for (Surface* s : owned_) s->Release();
    VideoTest::TearDown();
  }
  Surface* Make(int w, int h, const video::PixelFormat& f) {
    Surface* s = Plain(w, h, f);
    owned_.push_back(s);
    for (int y = 0; y < h; ++y) {
      uint8_t* row = s->Row(y);
      for (int i = 0; i < s->pitch(); ++i) row[i] = static_cast<uint8_t>(rng_());
    }
    return s;
  }
  // A quad centred at (cx, cy), w x h pixels turned by `angle`, its texel
  // coordinates from (u0, v0) over `span` texture widths and `span_v` (or
  // again `span`) heights.
  static std::vector<TLVertex> Quad(float cx, float cy, float w, float h, float angle, float u0,
                                    float v0, float span, float span_v = 0) {
    if (span_v == 0) span_v = span;
    const float sn = std::sin(angle), cs = std::cos(angle);
    std::vector<TLVertex> q(4);
    for (int k = 0; k < 4; ++k) {
      const float dx = ((k & 1) - 0.5f) * w, dy = ((k >> 1) - 0.5f) * h;
      q[k] = TLVertex{cx + dx * cs - dy * sn, cy + dx * sn + dy * cs, 0, 1, 0xFFFFFFFFu,
                      u0 + (k & 1) * span,    v0 + (k >> 1) * span_v};
    }
    return q;
  }
  // Draws the quad as the library queues it, triangles (0, 1, 2) and
  // (3, 2, 1), with both rasterisers into copies of `target`.
  void Compare(RasterState st, const std::vector<TLVertex>& q, Surface* target, const char* what) {
    const TLVertex* first[3] = {&q[0], &q[1], &q[2]};
    const TLVertex* second[3] = {&q[3], &q[2], &q[1]};
    ExpectSameAsModel(st, first, second, q[0].diffuse, q[3].diffuse, target,
                      Make(target->width(), target->height(), target->format()), what);
  }
  RasterState SpriteState(Surface* target, Surface* texture, bool blend) {
    RasterState st;
    st.target = target;
    st.clip = Rect{0, 0, target->width(), target->height()};
    st.texture = texture;
    st.blend = blend;
    st.src_blend = kBlendSrcAlpha;
    st.dest_blend = kBlendInvSrcAlpha;
    st.alpha_op = kTopModulate;
    return st;
  }
  std::mt19937 rng_{20261211};
  std::vector<Surface*> owned_;
};

// Quads wide enough that their vectors outnumber what one 16-bit lane can
// count, and quads taller than the plain quad loop takes, upright and
// turned, alpha test on and off: the count must not wrap, and every row is
// drawn.
TEST_F(SpriteQuadTest, LargeQuadsCountEveryPixel) {
  // 1-5-5-5 sheets in full screen, 8-8-8-8 in a window; texels at one per
  // pixel, so that upright rows copy texture rows where they lie inside it.
  const struct {
    video::PixelFormat target, texture;
  } formats[] = {{video::Format565(), video::FormatA1R5G5B5()},
                 {video::FormatX8R8G8B8(), video::FormatA8R8G8B8()}};
  const struct {
    int target_w, target_h;
    float w, h, angle;
  } cases[] = {{3600, 240, 3500, 180, 0.015f},
               {3600, 240, 3500, 180, 0},
               {200, 700, 150, 600, 0},
               {200, 700, 150, 600, 0.02f}};
  for (const auto& f : formats) {
    Surface* texture = Make(1024, 1024, f.texture);
    for (const auto& c : cases) {
      Surface* target = Make(c.target_w, c.target_h, f.target);
      for (const bool blend : {false, true}) {
        Compare(SpriteState(target, texture, blend),
                Quad(c.target_w / 2 + 0.2f, c.target_h / 2 + 0.7f, c.w, c.h, c.angle, 0.01f, 0.02f,
                     c.w / 1024, c.h / 1024),
                target, blend ? "large quad, alpha test" : "large quad");
        if (HasFatalFailure()) return;
      }
    }
  }
}

// Texel coordinates that pass 2^15 texels part way across the quad: rows
// on one side fit the vector lanes, those on the other would wrap in them.
TEST_F(SpriteQuadTest, RowsWithCoordinatesPastTheLanes) {
  Surface* target = Make(97, 83, video::Format565());
  Surface* texture = Make(16, 16, video::FormatA1R5G5B5());
  const struct {
    float u0, v0, span;
  } cases[] = {{2040, 0, 16}, {0, 2040, 16}, {-2060, -2060, 24}, {2000, 2000, 80}};
  for (const auto& c : cases) {
    for (const float angle : {0.4f, 2.0f, -1.1f}) {
      Compare(SpriteState(target, texture, true),
              Quad(48.3f, 41.6f, 60, 50, angle, c.u0, c.v0, c.span), target,
              "coordinates past the lanes");
      if (HasFatalFailure()) return;
    }
  }
}

// Runs that end at the target's right edge or start at its left edge,
// short and long, on targets of odd widths: no pixel outside the quad
// changes and none past the rows is touched (the sanitizer build checks
// the latter).
TEST_F(SpriteQuadTest, RunsAtTheTargetsEdges) {
  Surface* texture = Make(16, 16, video::FormatA1R5G5B5());
  for (const int width : {9, 13, 31}) {
    Surface* target = Make(width, 40, video::Format565());
    for (const float size : {5.0f, 11.0f, 30.0f}) {
      for (const float cx : {0.3f, static_cast<float>(width) - 0.6f}) {
        for (const float angle : {0.2f, 0.9f, 2.5f}) {
          Compare(SpriteState(target, texture, true), Quad(cx, 20.4f, size, size, angle, 0, 0, 1),
                  target, "edge run");
          if (HasFatalFailure()) return;
        }
      }
    }
  }
}

}  // namespace
}  // namespace platform::video3d
