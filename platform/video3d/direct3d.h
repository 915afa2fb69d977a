// A Direct3D-7-like object and device over the in-memory display: device,
// Z-buffer and texture-format enumeration from a configurable description,
// devices on 3D-capable surfaces, stored render and texture-stage states,
// scenes, texture-to-texture loads and drawing through the rasteriser.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/video/direct_draw.h"
#include "platform/video3d/d3d_types.h"

namespace platform::video3d {

struct Direct3DConfig {
  bool available = true;  // false: the display offers no Direct3D at all
  std::vector<DeviceDesc> devices = {
      DeviceDesc{DeviceKind::kSoftware},
      DeviceDesc{DeviceKind::kHal},
      DeviceDesc{DeviceKind::kTnlHal},
  };
  std::vector<video::PixelFormat> z_formats;
  std::vector<video::PixelFormat> texture_formats;
  bool fail_create_device = false;
  Direct3DConfig();
};

// The process-wide configuration; tests change it before creating objects.
Direct3DConfig& Config3D();
void Reset3DForTesting();

// What the devices did, for tests that count the library's calls.
struct DeviceStats {
  uint64_t render_state_sets = 0;
  uint64_t stage_state_sets = 0;
  uint64_t texture_sets = 0;
  uint64_t draw_calls = 0;          // DrawPrimitive
  uint64_t indexed_draw_calls = 0;  // DrawIndexedPrimitive
  uint64_t triangles = 0;
  uint64_t pixels = 0;
  uint64_t refused_outside_scene = 0;
  uint64_t scenes = 0;
  uint64_t loads = 0;
};
DeviceStats& Stats3D();
void ResetStats3D();

class Device {
 public:
  Device(DeviceKind kind, video::Surface* target);
  ~Device();
  Device(const Device&) = delete;
  Device& operator=(const Device&) = delete;
  uint32_t AddRef() { return ++refs_; }
  uint32_t Release();

  Result SetRenderState(RenderState state, uint32_t value);
  uint32_t GetRenderState(RenderState state) const;
  Result SetTextureStageState(int stage, TextureStageState state, uint32_t value);
  uint32_t GetTextureStageState(int stage, TextureStageState state) const;
  Result SetTexture(int stage, video::Surface* texture);
  video::Surface* texture() const { return texture_; }
  Result SetRenderTarget(video::Surface* target, uint32_t flags);
  video::Surface* render_target() const { return target_; }
  DeviceKind kind() const { return kind_; }
  Result SetViewport(const Viewport& viewport);
  const Viewport& viewport() const { return viewport_; }
  Result BeginScene();
  Result EndScene();
  bool in_scene() const { return in_scene_; }

  Result DrawPrimitive(Primitive type, uint32_t fvf, const TLVertex* vertices, uint32_t count,
                       uint32_t flags);
  Result DrawIndexedPrimitive(Primitive type, uint32_t fvf, const TLVertex* vertices,
                              uint32_t vertex_count, const uint16_t* indices,
                              uint32_t index_count, uint32_t flags);

  // Copies a rectangle (null: the whole source) of a texture into another of
  // the same format at (x, y).
  Result Load(video::Surface* dst, int x, int y, video::Surface* src, const video::Rect* rect,
              uint32_t flags);

  // Calls back once per texture format until the callback returns false.
  Result EnumTextureFormats(const std::function<bool(const video::PixelFormat&)>& callback);

 private:
  Result Draw(Primitive type, const TLVertex* vertices, const uint16_t* indices, uint32_t count);

  uint32_t refs_ = 1;
  DeviceKind kind_;
  video::Surface* target_;  // referenced
  video::Surface* texture_ = nullptr;  // referenced
  uint32_t rs_[kRenderStateCount] = {};
  uint32_t tss_[kStageStateCount] = {};
  Viewport viewport_;
  bool in_scene_ = false;
};

class Direct3D {
 public:
  Direct3D() = default;
  Direct3D(const Direct3D&) = delete;
  Direct3D& operator=(const Direct3D&) = delete;
  uint32_t AddRef() { return ++refs_; }
  uint32_t Release();

  Result EnumDevices(const std::function<bool(const DeviceDesc&)>& callback);
  Result EnumZBufferFormats(DeviceKind kind,
                            const std::function<bool(const video::PixelFormat&)>& callback);
  // A device of the given kind drawing into a 3D-capable surface of a depth it renders.
  Result CreateDevice(DeviceKind kind, video::Surface* target, Device** out);

 private:
  uint32_t refs_ = 1;
};

// The Direct3D side of a DirectDraw object (fails when none is offered).
Result QueryDirect3D(video::DirectDraw* object, Direct3D** out);

}  // namespace platform::video3d
