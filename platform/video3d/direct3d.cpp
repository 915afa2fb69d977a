#include "platform/video3d/direct3d.h"

#include <algorithm>
#include <cstring>

#include "platform/video3d/rasterizer.h"

namespace platform::video3d {

using video::Failed;
using video::PixelFormat;
using video::Rect;
using video::Surface;

namespace {

Direct3DConfig g_config;
DeviceStats g_stats;

PixelFormat Make(uint32_t flags, uint32_t bits, uint32_t r, uint32_t g, uint32_t b, uint32_t a,
                 uint32_t fourcc = 0) {
  PixelFormat f;
  f.flags = flags;
  f.bits = bits;
  f.red_mask = r;
  f.green_mask = g;
  f.blue_mask = b;
  f.alpha_mask = a;
  f.fourcc = fourcc;
  return f;
}

bool RendersDepth(const DeviceDesc& d, uint32_t bits) {
  return (bits == 16 && (d.render_depths & kDepth16)) ||
         (bits == 32 && (d.render_depths & kDepth32));
}

const DeviceDesc* FindDevice(DeviceKind kind) {
  for (const DeviceDesc& d : g_config.devices)
    if (d.kind == kind) return &d;
  return nullptr;
}

bool CanRenderInto(const Surface* s) {
  return s && (s->caps() & video::kCaps3DDevice) && s->in_video_memory() &&
         IsRenderableFormat(s->format());
}

}  // namespace

Direct3DConfig::Direct3DConfig() {
  z_formats = {
      Make(video::kPfZBuffer | kPfStencil, 32, 0, 0, 0, 0),  // stencil: not a plain Z format
      video::FormatZ16(),
  };
  texture_formats = {
      video::Format565(),
      video::FormatX8R8G8B8(),
      video::FormatA4R4G4B4(),
      video::FormatA8R8G8B8(),
      video::FormatA1R5G5B5(),
      Make(kPfLuminance, 8, 0xFF, 0, 0, 0),
      Make(kPfBumpDuDv, 16, 0xFF, 0xFF00, 0, 0),
      Make(video::kPfFourCC, 0, 0, 0, 0, 0, video::FourCC('D', 'X', 'T', '1')),
  };
}

Direct3DConfig& Config3D() { return g_config; }
void Reset3DForTesting() {
  g_config = Direct3DConfig();
  g_stats = DeviceStats();
}
DeviceStats& Stats3D() { return g_stats; }
void ResetStats3D() { g_stats = DeviceStats(); }

Result QueryDirect3D(video::DirectDraw* object, Direct3D** out) {
  if (!out) return video::kErrInvalidParams;
  *out = nullptr;
  if (!object || !g_config.available) return video::kErrUnsupported;
  *out = new Direct3D();
  return video::kOk;
}

uint32_t Direct3D::Release() {
  const uint32_t left = --refs_;
  if (left == 0) delete this;
  return left;
}

Result Direct3D::EnumDevices(const std::function<bool(const DeviceDesc&)>& callback) {
  for (const DeviceDesc& d : g_config.devices)
    if (!callback(d)) break;
  return video::kOk;
}

Result Direct3D::EnumZBufferFormats(DeviceKind kind,
                                    const std::function<bool(const PixelFormat&)>& callback) {
  if (!FindDevice(kind)) return video::kErrInvalidParams;
  for (const PixelFormat& f : g_config.z_formats)
    if (!callback(f)) break;
  return video::kOk;
}

Result Direct3D::CreateDevice(DeviceKind kind, Surface* target, Device** out) {
  if (!out) return video::kErrInvalidParams;
  *out = nullptr;
  const DeviceDesc* d = FindDevice(kind);
  if (!d || g_config.fail_create_device || !CanRenderInto(target)) return video::kErrInvalidParams;
  if (!RendersDepth(*d, target->format().bits)) return video::kErrInvalidParams;
  if (Failed(target->IsLost())) return video::kErrSurfaceLost;
  *out = new Device(kind, target);
  return video::kOk;
}

Device::Device(DeviceKind kind, Surface* target) : kind_(kind), target_(target) {
  target_->AddRef();
  // The device's own defaults.
  rs_[kRsZEnable] = 0;
  rs_[kRsShadeMode] = 2;
  rs_[kRsLastPixel] = 1;
  rs_[kRsSrcBlend] = kBlendOne;
  rs_[kRsDestBlend] = kBlendZero;
  rs_[kRsCullMode] = kCullCcw;
  rs_[kRsLighting] = 1;
  rs_[kRsTexturePerspective] = 1;
  tss_[kTssColorOp] = kTopModulate;
  tss_[kTssColorArg1] = kTaTexture;
  tss_[kTssColorArg2] = kTaCurrent;
  tss_[kTssAlphaOp] = kTopSelectArg1;
  tss_[kTssAlphaArg1] = kTaTexture;
  tss_[kTssAlphaArg2] = kTaCurrent;
  tss_[kTssAddress] = tss_[kTssAddressU] = tss_[kTssAddressV] = kAddressWrap;
  tss_[kTssMagFilter] = tss_[kTssMinFilter] = kFilterPoint;
  viewport_.width = static_cast<uint32_t>(target->width());
  viewport_.height = static_cast<uint32_t>(target->height());
}

Device::~Device() {
  if (texture_) texture_->Release();
  target_->Release();
}

uint32_t Device::Release() {
  const uint32_t left = --refs_;
  if (left == 0) delete this;
  return left;
}

Result Device::SetRenderState(RenderState state, uint32_t value) {
  if (state < 0 || state >= kRenderStateCount) return video::kErrInvalidParams;
  ++g_stats.render_state_sets;
  rs_[state] = value;
  return video::kOk;
}

uint32_t Device::GetRenderState(RenderState state) const {
  return state >= 0 && state < kRenderStateCount ? rs_[state] : 0;
}

Result Device::SetTextureStageState(int stage, TextureStageState state, uint32_t value) {
  // One texture stage is all the library uses; later stages stay disabled.
  if (stage != 0 || state < 0 || state >= kStageStateCount) return video::kErrInvalidParams;
  if ((state == kTssMagFilter || state == kTssMinFilter) && value != kFilterPoint &&
      value != kFilterLinear) {
    return video::kErrInvalidParams;
  }
  ++g_stats.stage_state_sets;
  tss_[state] = value;
  if (state == kTssAddress) tss_[kTssAddressU] = tss_[kTssAddressV] = value;
  return video::kOk;
}

uint32_t Device::GetTextureStageState(int stage, TextureStageState state) const {
  return stage == 0 && state >= 0 && state < kStageStateCount ? tss_[state] : 0;
}

Result Device::SetTexture(int stage, Surface* texture) {
  if (stage != 0) return video::kErrInvalidParams;
  if (texture && !(texture->caps() & video::kCapsTexture)) return video::kErrInvalidParams;
  ++g_stats.texture_sets;
  if (texture) texture->AddRef();
  if (texture_) texture_->Release();
  texture_ = texture;
  return video::kOk;
}

Result Device::SetRenderTarget(Surface* target, uint32_t) {
  if (!CanRenderInto(target)) return video::kErrInvalidParams;
  if (target->format().bits != target_->format().bits) return video::kErrInvalidParams;
  target->AddRef();
  target_->Release();
  target_ = target;
  return video::kOk;
}

Result Device::SetViewport(const Viewport& v) {
  // A viewport must lie within the render target.
  if (v.width == 0 || v.height == 0 ||
      static_cast<uint64_t>(v.x) + v.width > static_cast<uint64_t>(target_->width()) ||
      static_cast<uint64_t>(v.y) + v.height > static_cast<uint64_t>(target_->height())) {
    return video::kErrInvalidParams;
  }
  viewport_ = v;
  return video::kOk;
}

Result Device::BeginScene() {
  if (in_scene_) return kErrSceneInScene;
  in_scene_ = true;
  ++g_stats.scenes;
  return video::kOk;
}

Result Device::EndScene() {
  if (!in_scene_) return kErrSceneNotInScene;
  in_scene_ = false;
  return video::kOk;
}

Result Device::DrawPrimitive(Primitive type, uint32_t fvf, const TLVertex* vertices, uint32_t count,
                             uint32_t) {
  ++g_stats.draw_calls;
  if (fvf != kFvfTransformedTextured) return kErrInvalidVertexFormat;
  if (!vertices && count) return video::kErrInvalidParams;
  return Draw(type, vertices, nullptr, count);
}

Result Device::DrawIndexedPrimitive(Primitive type, uint32_t fvf, const TLVertex* vertices,
                                    uint32_t vertex_count, const uint16_t* indices,
                                    uint32_t index_count, uint32_t) {
  ++g_stats.indexed_draw_calls;
  if (fvf != kFvfTransformedTextured) return kErrInvalidVertexFormat;
  if ((!vertices || !indices) && index_count) return video::kErrInvalidParams;
  for (uint32_t i = 0; i < index_count; ++i)
    if (indices[i] >= vertex_count) return video::kErrInvalidParams;
  return Draw(type, vertices, indices, index_count);
}

Result Device::Draw(Primitive type, const TLVertex* vertices, const uint16_t* indices,
                    uint32_t count) {
  if (!in_scene_) {
    ++g_stats.refused_outside_scene;
    return kErrSceneNotInScene;
  }
  if (type != Primitive::kTriangleList && type != Primitive::kTriangleStrip) {
    return kErrInvalidPrimitive;
  }
  if (Result r = target_->IsLost(); Failed(r)) return r;
  if (texture_ && Failed(texture_->IsLost())) return video::kErrSurfaceLost;
  RasterState st;
  st.target = target_;
  st.clip = Rect{static_cast<int>(viewport_.x), static_cast<int>(viewport_.y),
                 static_cast<int>(viewport_.x + viewport_.width),
                 static_cast<int>(viewport_.y + viewport_.height)};
  st.texture = texture_;
  st.color_key = rs_[kRsColorKeyEnable] != 0;
  st.blend = rs_[kRsAlphaBlendEnable] != 0;
  st.src_blend = rs_[kRsSrcBlend];
  st.dest_blend = rs_[kRsDestBlend];
  st.color_op = tss_[kTssColorOp];
  st.color_arg1 = tss_[kTssColorArg1];
  st.color_arg2 = tss_[kTssColorArg2];
  st.alpha_op = tss_[kTssAlphaOp];
  st.alpha_arg1 = tss_[kTssAlphaArg1];
  st.alpha_arg2 = tss_[kTssAlphaArg2];
  st.address = tss_[kTssAddressU];
  st.cull = rs_[kRsCullMode];
  // Z, lighting, dithering, last-pixel and colour-key blending are stored
  // only: pre-transformed flat triangles without a Z-buffer never use them.
  auto at = [&](uint32_t i) -> const TLVertex& { return vertices[indices ? indices[i] : i]; };
  uint32_t triangles = 0;
  auto same = [](const TLVertex& x, const TLVertex& y) {
    return std::memcmp(&x, &y, sizeof(TLVertex)) == 0;
  };
  if (type == Primitive::kTriangleList) {
    for (uint32_t i = 0; i + 2 < count; i += 3) {
      // The library queues a quad as (a, b, c) and (d, c, b).
      if (i + 5 < count && same(at(i + 4), at(i + 2)) && same(at(i + 5), at(i + 1))) {
        const TLVertex* first[3] = {&at(i), &at(i + 1), &at(i + 2)};
        const TLVertex* second[3] = {&at(i + 3), &at(i + 4), &at(i + 5)};
        g_stats.pixels += DrawTrianglePair(st, first, second, at(i).diffuse, at(i + 3).diffuse);
        triangles += 2;
        i += 3;
        continue;
      }
      g_stats.pixels += DrawTriangle(st, at(i), at(i + 1), at(i + 2), at(i).diffuse);
      ++triangles;
    }
  } else if (!indices && count == 4) {
    // A lone quad: its second triangle, wound back, is (c, b, d) in b's colour.
    const TLVertex* first[3] = {&at(0), &at(1), &at(2)};
    const TLVertex* second[3] = {&at(2), &at(1), &at(3)};
    g_stats.pixels += DrawTrianglePair(st, first, second, at(0).diffuse, at(1).diffuse);
    triangles += 2;
  } else {
    for (uint32_t i = 0; i + 2 < count; ++i) {
      // Triangles that repeat an index join strips and cover nothing.
      if (indices && (indices[i] == indices[i + 1] || indices[i + 1] == indices[i + 2] ||
                      indices[i] == indices[i + 2])) {
        continue;
      }
      // Every other strip triangle is wound the other way round; swap two
      // vertices to keep one winding for culling.
      const TLVertex& a = at(i);
      const TLVertex& b = at(i + 1);
      const TLVertex& c = at(i + 2);
      g_stats.pixels +=
          (i & 1) ? DrawTriangle(st, b, a, c, a.diffuse) : DrawTriangle(st, a, b, c, a.diffuse);
      ++triangles;
    }
  }
  g_stats.triangles += triangles;
  if (target_->is_primary()) target_->set_primary_dirty(true);
  return video::kOk;
}

Result Device::Load(Surface* dst, int x, int y, Surface* src, const Rect* rect, uint32_t) {
  if (!dst || !src) return video::kErrInvalidParams;
  if (!(dst->caps() & video::kCapsTexture) || !(src->caps() & video::kCapsTexture)) {
    return video::kErrInvalidParams;
  }
  if (!video::SameFormat(dst->format(), src->format())) return video::kErrInvalidParams;
  if (Failed(dst->IsLost()) || Failed(src->IsLost())) return video::kErrSurfaceLost;
  if (dst->locked() || src->locked()) return video::kErrSurfaceBusy;
  const Rect r = rect ? *rect : Rect{0, 0, src->width(), src->height()};
  if (r.Empty() || r.left < 0 || r.top < 0 || r.right > src->width() || r.bottom > src->height() ||
      x < 0 || y < 0 || x > dst->width() - r.Width() || y > dst->height() - r.Height()) {
    return video::kErrInvalidParams;
  }
  const size_t bpp = static_cast<size_t>(src->bytes_per_pixel());
  for (int row = 0; row < r.Height(); ++row) {
    std::memcpy(dst->Row(y + row) + static_cast<size_t>(x) * bpp,
                src->Row(r.top + row) + static_cast<size_t>(r.left) * bpp,
                static_cast<size_t>(r.Width()) * bpp);
  }
  ++g_stats.loads;
  return video::kOk;
}

Result Device::EnumTextureFormats(const std::function<bool(const PixelFormat&)>& callback) {
  for (const PixelFormat& f : g_config.texture_formats)
    if (!callback(f)) break;
  return video::kOk;
}

}  // namespace platform::video3d
