#include <cmath>
#include <cstring>

#include "../video/video_fixture.h"
#include "platform/video3d/direct3d.h"

namespace platform::video3d {
namespace {

using video::Format555;
using video::Format565;
using video::FormatA1R5G5B5;
using video::FormatA8R8G8B8;
using video::FormatX8R8G8B8;
using video::kOk;
using video::PixelFormat;
using video::Rect;
using video::Surface;

class DeviceTest : public video::VideoTest {
 protected:
  void SetUp() override {
    VideoTest::SetUp();
    Reset3DForTesting();
    ASSERT_EQ(QueryDirect3D(dd_, &d3d_), kOk);
  }
  void TearDown() override {
    if (device_) device_->Release();
    for (Surface* s : owned_) s->Release();
    if (d3d_) d3d_->Release();
    Reset3DForTesting();
    VideoTest::TearDown();
  }
  Surface* Target(int w, int h, const PixelFormat& f = FormatX8R8G8B8()) {
    Surface* s = Plain(w, h, f, video::kCaps3DDevice);
    owned_.push_back(s);
    return s;
  }
  Surface* Texture(int w, int h, const PixelFormat& f) {
    video::SurfaceDesc d;
    d.caps = video::kCapsTexture;
    d.caps2 = video::kCaps2TextureManage;
    d.width = w;
    d.height = h;
    d.has_format = true;
    d.format = f;
    Surface* s = nullptr;
    EXPECT_EQ(dd_->CreateSurface(d, &s), kOk);
    owned_.push_back(s);
    return s;
  }
  // A device on `target` with the states the library draws sprites with.
  Device* Open(Surface* target) {
    EXPECT_EQ(d3d_->CreateDevice(DeviceKind::kHal, target, &device_), kOk);
    device_->SetRenderState(kRsCullMode, kCullNone);
    device_->SetTextureStageState(0, kTssAddress, kAddressClamp);
    device_->SetTextureStageState(0, kTssColorArg2, kTaDiffuse);
    device_->SetTextureStageState(0, kTssAlphaOp, kTopSelectArg2);
    device_->SetTextureStageState(0, kTssAlphaArg2, kTaDiffuse);
    device_->BeginScene();
    return device_;
  }
  void Blend(uint32_t src, uint32_t dst) {
    device_->SetRenderState(kRsAlphaBlendEnable, 1);
    device_->SetRenderState(kRsSrcBlend, src);
    device_->SetRenderState(kRsDestBlend, dst);
  }
  // Two triangles of a quad, in the order the library queues them.
  Result Quad(float x0, float y0, float x1, float y1, uint32_t color, float u0 = 0, float v0 = 0,
              float u1 = 1, float v1 = 1) {
    const TLVertex q[4] = {{x0, y0, 0, 1, color, u0, v0},
                           {x1, y0, 0, 1, color, u1, v0},
                           {x0, y1, 0, 1, color, u0, v1},
                           {x1, y1, 0, 1, color, u1, v1}};
    const TLVertex list[6] = {q[0], q[1], q[2], q[3], q[2], q[1]};
    return device_->DrawPrimitive(Primitive::kTriangleList, kFvfTransformedTextured, list, 6, 0);
  }
  static uint32_t Rgb(const Surface* s, int x, int y) { return s->ReadPixel(x, y) & 0xFFFFFF; }

  Direct3D* d3d_ = nullptr;
  Device* device_ = nullptr;
  std::vector<Surface*> owned_;
};

TEST_F(DeviceTest, SharedEdgesOfAQuadAreDrawnOnce) {
  Surface* t = Target(24, 24);
  Open(t);
  Blend(kBlendSrcAlpha, kBlendOne);
  // Axis-aligned, then turned by an odd angle with fractional corners:
  // additive drawing shows every pixel drawn twice as 0x100 instead of 0x80.
  ASSERT_EQ(Quad(1.5f, 2.25f, 20.75f, 19.5f, 0x80FFFFFFu), kOk);
  int covered = 0;
  for (int y = 0; y < 24; ++y)
    for (int x = 0; x < 24; ++x) {
      const uint32_t c = Rgb(t, x, y);
      ASSERT_TRUE(c == 0 || c == 0x808080) << x << "," << y << " " << std::hex << c;
      covered += c != 0;
    }
  EXPECT_EQ(covered, 19 * 17);  // centres 2..20 by 3..19
  t->Blt(nullptr, nullptr, nullptr, video::kBltColorFill, 0);
  const float c = std::cos(0.3f), s = std::sin(0.3f);
  auto at = [&](float x, float y) { return std::pair{12 + x * c - y * s, 12 + x * s + y * c}; };
  const auto [ax, ay] = at(-7.3f, -6.1f);
  const auto [bx, by] = at(7.3f, -6.1f);
  const auto [cx, cy] = at(-7.3f, 6.1f);
  const auto [dx, dy] = at(7.3f, 6.1f);
  const TLVertex q[6] = {{ax, ay, 0, 1, 0x80FFFFFFu, 0, 0}, {bx, by, 0, 1, 0x80FFFFFFu, 1, 0},
                         {cx, cy, 0, 1, 0x80FFFFFFu, 0, 1}, {dx, dy, 0, 1, 0x80FFFFFFu, 1, 1},
                         {cx, cy, 0, 1, 0x80FFFFFFu, 0, 1}, {bx, by, 0, 1, 0x80FFFFFFu, 1, 0}};
  ASSERT_EQ(device_->DrawPrimitive(Primitive::kTriangleList, kFvfTransformedTextured, q, 6, 0), kOk);
  covered = 0;
  for (int y = 0; y < 24; ++y)
    for (int x = 0; x < 24; ++x) {
      const uint32_t v = Rgb(t, x, y);
      ASSERT_TRUE(v == 0 || v == 0x808080) << x << "," << y;
      covered += v != 0;
    }
  EXPECT_NEAR(covered, 14.6 * 12.2, 12);
}

TEST_F(DeviceTest, TexelsMapOneToOneAndClampAtTheEdges) {
  Surface* tex = Texture(8, 2, FormatX8R8G8B8());
  for (int y = 0; y < 2; ++y)
    for (int i = 0; i < 8; ++i) tex->WritePixel(i, y, 0x101010u * (i + 1) + 0x000001u * y);
  Surface* t = Target(40, 4);
  Open(t);
  device_->SetTexture(0, tex);
  // Left edge at x - 0.5: texel i lands on pixel x + i.
  ASSERT_EQ(Quad(2.5f, -0.5f, 10.5f, 1.5f, 0xFFFFFFFFu), kOk);
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(Rgb(t, 3 + i, 0), 0x101010u * (i + 1)) << i;
    EXPECT_EQ(Rgb(t, 3 + i, 1), 0x101010u * (i + 1) + 1) << i;
  }
  EXPECT_EQ(Rgb(t, 2, 0), 0u);
  EXPECT_EQ(Rgb(t, 11, 0), 0u);
  // u from -1 to 2 over 24 pixels: a third each of texel 0, the texture, texel 7.
  ASSERT_EQ(Quad(15.5f, 1.5f, 39.5f, 2.5f, 0xFFFFFFFFu, -1.0f, 0.0f, 2.0f, 0.5f), kOk);
  for (int x = 16; x < 24; ++x) EXPECT_EQ(Rgb(t, x, 2), 0x101010u) << x;
  for (int i = 0; i < 8; ++i) EXPECT_EQ(Rgb(t, 24 + i, 2), 0x101010u * (i + 1)) << i;
  for (int x = 32; x < 40; ++x) EXPECT_EQ(Rgb(t, x, 2), 0x808080u) << x;
}

TEST_F(DeviceTest, ColourKeyIgnoresTheUnusedByte) {
  struct Case {
    PixelFormat format;
    uint32_t key_texel, other_texel, key;
  } cases[] = {
      {FormatX8R8G8B8(), 0xFF000000u, 0xFF00FF00u, 0x000000u},
      {Format565(), 0x0000u, 0x07E0u, 0x0000u},
      // The alpha bit of an alpha-test texture is not part of the key either.
      {FormatA1R5G5B5(), 0x8000u, 0x83E0u, 0x0000u},
  };
  for (const Case& c : cases) {
    Surface* tex = Texture(2, 1, c.format);
    tex->WritePixel(0, 0, c.key_texel);
    tex->WritePixel(1, 0, c.other_texel);
    tex->SetColorKey(c.key, c.key);
    Surface* t = Target(2, 1);
    t->Blt(nullptr, nullptr, nullptr, video::kBltColorFill, 0x123456);
    Open(t);
    device_->SetTexture(0, tex);
    device_->SetRenderState(kRsColorKeyEnable, 1);
    ASSERT_EQ(Quad(-0.5f, -0.5f, 1.5f, 0.5f, 0xFFFFFFFFu), kOk);
    EXPECT_EQ(Rgb(t, 0, 0), 0x123456u);
    EXPECT_EQ(Rgb(t, 1, 0), 0x00FF00u);
    device_->SetRenderState(kRsColorKeyEnable, 0);
    ASSERT_EQ(Quad(-0.5f, -0.5f, 1.5f, 0.5f, 0xFFFFFFFFu), kOk);
    EXPECT_EQ(Rgb(t, 0, 0), 0u);
    device_->Release();
    device_ = nullptr;
  }
}

TEST_F(DeviceTest, BlendFactorsOnAGrid) {
  struct Case {
    uint32_t src, dst;
    uint32_t color;  // diffuse, no texture: the source
    uint32_t dest_before, expected;
  } cases[] = {
      {kBlendSrcAlpha, kBlendInvSrcAlpha, 0x80FF0000u, 0x0000FFu, 0x80007F},
      {kBlendSrcAlpha, kBlendInvSrcAlpha, 0x00FFFFFFu, 0x204060u, 0x204060},
      {kBlendSrcAlpha, kBlendInvSrcAlpha, 0xFF102030u, 0xFFFFFFu, 0x102030},
      {kBlendSrcAlpha, kBlendOne, 0x80FFFFFFu, 0x404040u, 0xC0C0C0},
      {kBlendSrcAlpha, kBlendOne, 0xFFC0C0C0u, 0x808080u, 0xFFFFFF},  // clamped
      {kBlendInvDestColor, kBlendZero, 0xFFFFFFFFu, 0x00FF40u, 0xFF00BF},
      {kBlendInvDestColor, kBlendZero, 0x80808080u, 0x00FF40u, 0x800060},
      {kBlendZero, kBlendSrcColor, 0xFF80FF00u, 0xFFFFFFu, 0x80FF00},
      {kBlendZero, kBlendSrcColor, 0x00808080u, 0x408020u, 0x204010},
      {kBlendOne, kBlendZero, 0x00123456u, 0xFFFFFFu, 0x123456},
  };
  Surface* t = Target(1, 1);
  Open(t);
  for (const Case& c : cases) {
    t->WritePixel(0, 0, c.dest_before);
    Blend(c.src, c.dst);
    ASSERT_EQ(Quad(-0.5f, -0.5f, 0.5f, 0.5f, c.color), kOk);
    EXPECT_EQ(Rgb(t, 0, 0), c.expected)
        << std::hex << c.src << "/" << c.dst << " " << c.color << " over " << c.dest_before;
  }
}

TEST_F(DeviceTest, TextureTimesDiffuseIntoSixteenBitTargets) {
  Surface* tex = Texture(1, 1, FormatA8R8G8B8());
  tex->WritePixel(0, 0, 0x80FF8040u);
  struct Case {
    PixelFormat target;
    uint32_t alpha_op, expected;
  } cases[] = {
      // Diffuse alpha only: opaque.
      {Format565(), kTopSelectArg2, (0x1Fu << 11) | (0x20u << 5) | 0x08u},
      // Texture alpha x diffuse alpha 0x80 over black: a quarter.
      {Format555(), kTopModulate, (0x08u << 10) | (0x04u << 5) | 0x02u},
  };
  for (const Case& c : cases) {
    Surface* t = Target(1, 1, c.target);
    Open(t);
    device_->SetTexture(0, tex);
    device_->SetTextureStageState(0, kTssAlphaOp, c.alpha_op);
    device_->SetTextureStageState(0, kTssAlphaArg1, kTaTexture);
    Blend(kBlendSrcAlpha, kBlendInvSrcAlpha);
    const uint32_t diffuse = c.alpha_op == kTopModulate ? 0x80FFFFFFu : 0xFFFFFFFFu;
    ASSERT_EQ(Quad(-0.5f, -0.5f, 0.5f, 0.5f, diffuse), kOk);
    EXPECT_EQ(t->ReadPixel(0, 0), c.expected) << std::hex << t->ReadPixel(0, 0);
    device_->Release();
    device_ = nullptr;
  }
}

TEST_F(DeviceTest, ViewportClipsAndMustLieInTheTarget) {
  Surface* t = Target(8, 8);
  Open(t);
  EXPECT_NE(device_->SetViewport(Viewport{4, 4, 5, 4}), kOk);
  ASSERT_EQ(device_->SetViewport(Viewport{2, 3, 4, 2}), kOk);
  ASSERT_EQ(Quad(-10.0f, -10.0f, 20.0f, 20.0f, 0xFFFFFFFFu), kOk);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) {
      const bool inside = x >= 2 && x < 6 && y >= 3 && y < 5;
      EXPECT_EQ(Rgb(t, x, y), inside ? 0xFFFFFFu : 0u) << x << "," << y;
    }
}

TEST_F(DeviceTest, DrawsOutsideASceneAreRefusedAndCounted) {
  Surface* t = Target(4, 4);
  Open(t);
  ASSERT_EQ(device_->EndScene(), kOk);
  EXPECT_EQ(device_->EndScene(), kErrSceneNotInScene);
  const uint64_t before = Stats3D().refused_outside_scene;
  EXPECT_EQ(Quad(-0.5f, -0.5f, 3.5f, 3.5f, 0xFFFFFFFFu), kErrSceneNotInScene);
  EXPECT_EQ(Stats3D().refused_outside_scene, before + 1);
  EXPECT_EQ(Rgb(t, 1, 1), 0u);
  ASSERT_EQ(device_->BeginScene(), kOk);
  EXPECT_EQ(device_->BeginScene(), kErrSceneInScene);
}

TEST_F(DeviceTest, StripsAndIndexedStripsCoverTheSamePixels) {
  Surface* t = Target(6, 4);
  Open(t);
  Blend(kBlendSrcAlpha, kBlendOne);
  const uint32_t c = 0x40FFFFFFu;
  // A 2x2 grid of vertices as one strip: top-left, top-right, bottom-left, bottom-right.
  const TLVertex v[4] = {{-0.5f, -0.5f, 0, 1, c, 0, 0}, {2.5f, -0.5f, 0, 1, c, 1, 0},
                         {-0.5f, 3.5f, 0, 1, c, 0, 1}, {2.5f, 3.5f, 0, 1, c, 1, 1}};
  ASSERT_EQ(device_->DrawPrimitive(Primitive::kTriangleStrip, kFvfTransformedTextured, v, 4, 0), kOk);
  TLVertex moved[4];
  std::memcpy(moved, v, sizeof v);
  for (TLVertex& m : moved) m.x += 3;
  const uint16_t indices[4] = {2, 0, 3, 1};
  ASSERT_EQ(device_->DrawIndexedPrimitive(Primitive::kTriangleStrip, kFvfTransformedTextured,
                                          moved, 4, indices, 4, 0),
            kOk);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 6; ++x) EXPECT_EQ(Rgb(t, x, y), 0x404040u) << x << "," << y;
  const uint16_t bad[3] = {0, 1, 4};
  EXPECT_NE(device_->DrawIndexedPrimitive(Primitive::kTriangleStrip, kFvfTransformedTextured,
                                          moved, 4, bad, 3, 0),
            kOk);
  EXPECT_NE(device_->DrawPrimitive(Primitive::kTriangleList, 0x142, v, 3, 0), kOk);
}

TEST_F(DeviceTest, CullingDropsCounterClockwiseTrianglesOnly) {
  Surface* t = Target(4, 4);
  Open(t);
  device_->SetRenderState(kRsCullMode, kCullCcw);
  const uint32_t c = 0xFFFFFFFFu;
  const TLVertex cw[3] = {{-0.5f, -0.5f, 0, 1, c, 0, 0}, {3.5f, -0.5f, 0, 1, c, 0, 0},
                          {-0.5f, 3.5f, 0, 1, c, 0, 0}};
  const TLVertex ccw[3] = {cw[0], cw[2], cw[1]};
  ASSERT_EQ(device_->DrawPrimitive(Primitive::kTriangleList, kFvfTransformedTextured, ccw, 3, 0), kOk);
  EXPECT_EQ(Rgb(t, 0, 0), 0u);
  ASSERT_EQ(device_->DrawPrimitive(Primitive::kTriangleList, kFvfTransformedTextured, cw, 3, 0), kOk);
  EXPECT_EQ(Rgb(t, 0, 0), 0xFFFFFFu);
}

TEST_F(DeviceTest, HugeOrBrokenCoordinatesDrawNothing) {
  Surface* t = Target(4, 4);
  Open(t);
  const uint32_t c = 0xFFFFFFFFu;
  const float nan = std::nanf("");
  const TLVertex tris[][3] = {
      {{nan, 0, 0, 1, c, 0, 0}, {3, 0, 0, 1, c, 0, 0}, {0, 3, 0, 1, c, 0, 0}},
      {{-1e30f, 0, 0, 1, c, 0, 0}, {1e30f, 0, 0, 1, c, 0, 0}, {0, 1e30f, 0, 1, c, 0, 0}},
      {{0, 0, 0, 1, c, 0, 0}, {1, 1, 0, 1, c, 0, 0}, {2, 2, 0, 1, c, 0, 0}},  // no area
  };
  for (const auto& tri : tris) {
    EXPECT_EQ(device_->DrawPrimitive(Primitive::kTriangleList, kFvfTransformedTextured, tri, 3, 0), kOk);
  }
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(Rgb(t, x, y), 0u);
}

TEST_F(DeviceTest, LoadCopiesBetweenTexturesOfOneFormat) {
  Surface* src = Texture(4, 4, Format565());
  Surface* dst = Texture(8, 8, Format565());
  Surface* other = Texture(4, 4, FormatX8R8G8B8());
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) src->WritePixel(x, y, static_cast<uint32_t>(y * 4 + x + 1));
  Open(Target(4, 4));
  const Rect r{1, 1, 3, 4};
  ASSERT_EQ(device_->Load(dst, 5, 2, src, &r, 0), kOk);
  EXPECT_EQ(dst->ReadPixel(5, 2), 6u);
  EXPECT_EQ(dst->ReadPixel(6, 4), 15u);
  EXPECT_EQ(dst->ReadPixel(4, 2), 0u);
  EXPECT_NE(device_->Load(other, 0, 0, src, nullptr, 0), kOk);
  EXPECT_NE(device_->Load(dst, 6, 6, src, nullptr, 0), kOk);  // does not fit
}

TEST_F(DeviceTest, DevicesNeedAThreeDSurfaceOfARenderedDepth) {
  Device* d = nullptr;
  Surface* system = Plain(4, 4, Format565());
  owned_.push_back(system);
  EXPECT_NE(d3d_->CreateDevice(DeviceKind::kHal, system, &d), kOk);
  Config3D().devices = {DeviceDesc{DeviceKind::kHal, kDepth32}};
  EXPECT_NE(d3d_->CreateDevice(DeviceKind::kHal, Target(4, 4, Format565()), &d), kOk);
  EXPECT_NE(d3d_->CreateDevice(DeviceKind::kTnlHal, Target(4, 4), &d), kOk);
  Surface* t = Target(4, 4);
  ASSERT_EQ(d3d_->CreateDevice(DeviceKind::kHal, t, &d), kOk);
  d->Release();
  video::SimulateDisplayLoss();
  EXPECT_EQ(d3d_->CreateDevice(DeviceKind::kHal, t, &d), video::kErrSurfaceLost);
  video::EndDisplayLoss();
  Config3D().available = false;
  Direct3D* none = nullptr;
  EXPECT_NE(QueryDirect3D(dd_, &none), kOk);
  EXPECT_EQ(none, nullptr);
}

}  // namespace
}  // namespace platform::video3d
