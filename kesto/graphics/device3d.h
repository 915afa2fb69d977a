// The Direct3D object and its devices: device and texture-format choice,
// device records with their vertex queue and cached states, render target,
// viewport and scene, and release and re-acquisition around a lost display.
#pragma once

#include <cstdint>

#include "graphics/color_format.h"
#include "graphics/device3d_services.h"
#include "platform/video3d/direct3d.h"

constexpr int kMaxDevices3D = 4;
constexpr int kVertexQueueCapacity = 3000;

struct Device3DRecord {
  uint32_t present;
  platform::video3d::Device* device;
  platform::video::Surface* default_target;
  platform::video::Surface* current_target;  // null: the default
  platform::video::Surface* texture;
  int filter;
  int blend_mode;
  uint32_t scene_open;
  int alpha_source;
  int z_enable;
  int alpha_blend;
  int alpha_op;
  int alpha_arg1;
  int alpha_arg2;
  int src_blend;
  int dest_blend;
  int shade_mode;
  int address;
  int perspective;
  int lighting;
  int color_key;
  int force;
  int batching;
  platform::video3d::TLVertex queue[kVertexQueueCapacity];
  uint32_t queued;
  platform::video3d::Viewport viewport;
};

struct TextureFormatSlot {
  platform::video::PixelFormat pixel_format;
  ColorFormatBlock block;
  bool filled;
};

struct Direct3DState {
  platform::video3d::Direct3D* object;
  int current;
  platform::video3d::DeviceDesc desc;
  platform::video3d::DeviceKind kind;
  TextureFormatSlot formats[8];
  int min_texture_size;
  int max_texture_size;
  platform::video::PixelFormat z_format;
  int z_request;
  int end_scene_each_draw;
  int target_not_renderable;
  int initialised;
  Device3DRecord devices[kMaxDevices3D];
};

// Every draw looks these up several times, so they are inline.
namespace device3d_internal {
extern Direct3DState g_d3d;
}  // namespace device3d_internal

inline Direct3DState& D3D() { return device3d_internal::g_d3d; }
inline Device3DRecord* DeviceRecord(int index) {
  Direct3DState& d = device3d_internal::g_d3d;
  if (!d.object || index < 0 || index >= kMaxDevices3D) return nullptr;
  Device3DRecord& r = d.devices[index];
  return r.present && r.device ? &r : nullptr;
}
// The current device's record, or null without an object or device.
inline Device3DRecord* CurrentDeviceRecord() { return DeviceRecord(D3D().current); }

int CreateDevice3D(platform::video::Surface* surface);
int RestoreDevice3D(int index);
int ReleaseDevice3D(int index);
int ReleaseAllDevices3D();

const ColorFormatBlock* GetTextureFormatBlock(int slot);
// The colour format of a texture with these settings.
const ColorFormatBlock* SelectTextureColorFormat(int alpha_channel, int alpha_test, int bits32,
                                                 int render_target);

int OpenScene3D(int index);
// Every draw asks; a scene is nearly always open already.
inline int BeginSceneIfNeeded() {
  const Device3DRecord* r = CurrentDeviceRecord();
  if (!r) return -1;
  return r->scene_open ? 0 : OpenScene3D(D3D().current);
}
int EndScene3D(int index);
int SetRenderTarget3D(int index, platform::video::Surface* surface);
int SetViewport3D(int index, const platform::video3d::Viewport& viewport);
// The setters send a state only when the device's cached one differs or a
// reapply forces it. Every draw sets texture, colour key and blend, nearly
// always to what the device holds, so that case is answered inline.
int SendTexture3D(int index, platform::video::Surface* surface);
int SendColorKeyEnable(int index, int on);
int SendBlendState3D(int index, int mode, int alpha_source);
inline int SetTexture3D(int index, platform::video::Surface* surface) {
  const Device3DRecord* r = DeviceRecord(index);
  if (r && r->texture == surface && !r->force) return 0;
  return SendTexture3D(index, surface);
}
inline int SetColorKeyEnable(int index, int on) {
  const Device3DRecord* r = DeviceRecord(index);
  if (r && r->color_key == (on ? 1 : 0) && !r->force) return 0;
  return SendColorKeyEnable(index, on);
}
inline int SetBlendState3D(int index, int mode, int alpha_source) {
  const Device3DRecord* r = DeviceRecord(index);
  if (r && r->blend_mode == mode && r->alpha_source == alpha_source && !r->force) return 0;
  return SendBlendState3D(index, mode, alpha_source);
}
int SetTextureFilter3D(int index, int filter);
int SetZEnable3D(int index, int on);
int SetTextureAddress3D(int index, int mode);
int ApplyFixedStates3D(int index);
int ReapplyAllStates3D(int index);
int ReapplyBlendFilterTexture3D(int index);
