#include "graphics/device3d.h"

#include <cstring>

#include "graphics/draw_state.h"
#include "graphics/graphic_table.h"
#include "graphics/graphics_host.h"
#include "graphics/screen.h"
#include "graphics/surface_2d.h"
#include "graphics/surface_record.h"
#include "graphics/texture_part.h"
#include "graphics/vertex_queue.h"

using namespace platform::video;
using namespace platform::video3d;

namespace device3d_internal {
Direct3DState g_d3d{};
}  // namespace device3d_internal

namespace {

using device3d_internal::g_d3d;

bool Exists(int index) { return DeviceRecord(index) != nullptr; }

void ReleaseObject() {
  if (g_d3d.object) g_d3d.object->Release();
  g_d3d.object = nullptr;
}

void FillRecordDefaults(Device3DRecord& r) {
  r.current_target = nullptr;
  r.texture = nullptr;
  r.filter = 0;
  r.blend_mode = 0;
  r.scene_open = 0;
  r.alpha_source = 0;
  r.z_enable = 0;
  r.alpha_blend = 0;
  r.alpha_op = static_cast<int>(kTopSelectArg2);
  r.alpha_arg1 = static_cast<int>(kTaTexture);
  r.alpha_arg2 = static_cast<int>(kTaDiffuse);
  r.src_blend = static_cast<int>(kBlendSrcAlpha);
  r.dest_blend = static_cast<int>(kBlendInvSrcAlpha);
  r.shade_mode = static_cast<int>(kShadeFlat);
  r.address = static_cast<int>(kAddressClamp);
  r.perspective = 0;
  r.lighting = 0;
  r.color_key = 0;
  r.force = 0;
  r.batching = 0;
  r.queued = 0;
  r.viewport = Viewport{0, 0, 0, 0, 0.0f, 0.0f};
}

// Takes a hardware device that renders at the screen's depth; stops once the
// T&L device is taken.
bool DeviceFilter(const DeviceDesc& d, bool* taken) {
  if (d.kind != DeviceKind::kHal && d.kind != DeviceKind::kTnlHal) return true;
  const int bits = GetScreenColorBits();
  const bool renders =
      (bits == 16 && (d.render_depths & kDepth16)) || (bits == 32 && (d.render_depths & kDepth32));
  if (!renders) return true;
  g_d3d.desc = d;
  g_d3d.kind = d.kind;
  *taken = true;
  return d.kind != DeviceKind::kTnlHal;
}

bool TakeFormat(int slot, const PixelFormat& pf, const ColorFormatHeader& h) {
  TextureFormatSlot& s = g_d3d.formats[slot];
  s.pixel_format = pf;
  std::memset(&s.block, 0, sizeof s.block);
  s.block.header = h;
  s.filled = true;
  return true;
}

bool TextureFormatFilter(const PixelFormat& pf) {
  if (pf.flags & (kPfLuminance | kPfBumpLuminance | kPfBumpDuDv | kPfFourCC | kPfAlphaOnly)) {
    return true;
  }
  ColorFormatHeader h;
  BuildColorFormatFromPixelFormat(pf, &h);
  if (h.alpha_mask) {
    switch (h.alpha_mask) {
      case 0xF000u:
        TakeFormat(2, pf, h);
        break;
      case 0xFF000000u:
        TakeFormat(3, pf, h);
        TakeFormat(5, pf, h);
        break;
      case 0x8000u:
        TakeFormat(4, pf, h);
        break;
      default:
        break;
    }
    return true;
  }
  int slot = -1;
  if (h.color_bits == 16) slot = 0;
  if (h.color_bits == 32) slot = 1;
  if (slot < 0) return true;
  if (g_d3d.formats[slot].filled) {
    // A later candidate wins only when it is the screen's own format.
    const ColorFormatHeader& screen = ScreenFormat().block.header;
    if (!(IsSameColorFormat(h, screen) && h.alpha_mask == screen.alpha_mask)) return true;
  }
  TakeFormat(slot, pf, h);
  return true;
}

void CopySlotIfEmpty(int slot, int from) {
  if (!g_d3d.formats[slot].filled && g_d3d.formats[from].filled) {
    g_d3d.formats[slot] = g_d3d.formats[from];
  }
}

void LogTextureSlot(int slot, bool alpha) {
  const TextureFormatSlot& s = g_d3d.formats[slot];
  const ColorFormatHeader& h = s.block.header;
  if (!s.filled) return;
  if (alpha) {
    GfxLog("\t\t BIT:%u  ALPHA:%u  RED:%u  GREEN:%u  BLUE:%u ", h.color_bits, h.alpha_width,
           h.red_width, h.green_width, h.blue_width);
    GfxLog("\t\t ALPHA:%08x RED:%08x GREEN:%08x BLUE:%08x \n", h.alpha_mask, h.red_mask,
           h.green_mask, h.blue_mask);
  } else {
    GfxLog("\t\t BIT:%u  RED:%u  GREEN:%u  BLUE:%u ", h.color_bits, h.red_width, h.green_width,
           h.blue_width);
    GfxLog("\t\t RED:%06x GREEN:%06x BLUE:%06x \n", h.red_mask, h.green_mask, h.blue_mask);
  }
}

// Sends one state when the cache differs or the device is forced.
template <typename Fn>
int SendIfChanged(Device3DRecord& r, int index, int* cached, int value, Fn send) {
  if (*cached == value && !r.force) return 0;
  FlushVertexBatch(index);
  send(value);
  *cached = value;
  return 0;
}

Surface* TargetSurfaceOfGraphic(int graphic, int* result) {
  GraphicRecord* g = GetGraphicRecord(graphic);
  *result = -1;
  if (!g) return nullptr;
  if (!g->texture) {
    Surface2D* s = g->part_count > 0 ? GetSurface2D(g->parts[0]) : nullptr;
    SurfaceRecord* r = s ? GetSurfaceRecord(s->surface_record) : nullptr;
    if (!r || !r->surface) return nullptr;
    if (r->settings.system_memory || !r->surface->in_video_memory()) {
      g_d3d.target_not_renderable = 1;
      return nullptr;
    }
    *result = 0;
    return r->surface;
  }
  SurfaceRecord* r = GetSurfaceRecord(GetTextureTargetSurfaceRecord(graphic));
  if (!r || !r->surface) return nullptr;
  *result = 0;
  return r->surface;
}

}  // namespace

int InitializeDirect3D() {
  GfxLog("Direct3D 関連の初期化を行います\n");
  if (g_d3d.object) return -1;
  const int z_request = g_d3d.z_request;
  // Everything but the device records starts from zero.
  g_d3d.current = 0;
  g_d3d.desc = DeviceDesc{};
  g_d3d.kind = DeviceKind::kSoftware;
  for (TextureFormatSlot& slot : g_d3d.formats) slot = TextureFormatSlot{};
  g_d3d.min_texture_size = g_d3d.max_texture_size = 0;
  g_d3d.z_format = PixelFormat{};
  g_d3d.end_scene_each_draw = g_d3d.target_not_renderable = g_d3d.initialised = 0;
  g_d3d.z_request = z_request;

  GfxLog("Ｄｉｒｅｃｔ３Ｄオブジェクトを取得します\n");
  if (Failed(QueryDirect3D(GetDirectDrawObject(), &g_d3d.object))) {
    GfxLog("Direct3Dオブジェクトの作成に失敗しました\n");
    g_d3d.object = nullptr;
    return -1;
  }
  GfxLog("Ｄｉｒｅｃｔ３Ｄオブジェクトを取得しました\n");

  bool found_device = false;
  g_d3d.object->EnumDevices([&](const DeviceDesc& d) { return DeviceFilter(d, &found_device); });
  if (!found_device) {
    GfxLog("現在の画面モードで使用できる描画デバイスが見つかりませんでした\n");
    ReleaseObject();
    return -1;
  }

  bool found_z = false;
  g_d3d.object->EnumZBufferFormats(DeviceKind::kHal, [&](const PixelFormat& f) {
    if (f.flags == kPfZBuffer && f.bits == 16) {
      g_d3d.z_format = f;
      found_z = true;
      return false;
    }
    return true;
  });
  if (!found_z) {
    GfxLog("使用可能なＺバッファが見つかりませんでした\n");
    ReleaseAllDevices3D();
    ReleaseObject();
    return -1;
  }
  // Nothing asks for a screen Z-buffer, so none is made.

  const int index = CreateDevice3D(GetBackSurface());
  if (index == -1) {
    ReleaseObject();
    return -1;
  }
  g_d3d.current = index;
  Device3DRecord& rec = g_d3d.devices[index];
  rec.batching = 1;
  if (Failed(rec.device->SetTextureStageState(0, kTssAddress, kAddressClamp))) {
    ReleaseAllDevices3D();
    ReleaseObject();
    return -1;
  }

  for (TextureFormatSlot& slot : g_d3d.formats) slot = TextureFormatSlot{};
  rec.device->EnumTextureFormats(&TextureFormatFilter);
  if (!g_d3d.formats[0].filled) {
    GfxLog("使用可能なテクスチャフォーマットが見つかりませんでした\n");
    ReleaseAllDevices3D();
    ReleaseObject();
    return -1;
  }
  CopySlotIfEmpty(1, 0);
  CopySlotIfEmpty(3, 2);
  CopySlotIfEmpty(4, 2);
  CopySlotIfEmpty(5, 3);
  g_d3d.formats[6] = g_d3d.formats[0];
  g_d3d.formats[7] = g_d3d.formats[1];

  g_d3d.end_scene_each_draw = 1;
  const DeviceDesc& d = g_d3d.desc;
  int mn = std::min(d.min_texture_width, d.min_texture_height);
  int mx = std::min(d.max_texture_width, d.max_texture_height);
  g_d3d.min_texture_size = mn == 0 ? 32 : mn;
  g_d3d.max_texture_size = mx == 0 ? 256 : mx;
  g_d3d.target_not_renderable = 0;

  GfxLogIndent(1);
  GfxLog("テクスチャ最大幅:%u 最小幅:%u ", static_cast<unsigned>(g_d3d.max_texture_size),
         static_cast<unsigned>(g_d3d.min_texture_size));
  GfxLog("描画制限: D_D3DPTEXTURECAPS_POW2 = %d  D_D3DPTEXTURECAPS_SQUAREONLY = %d ",
         (d.texture_caps & kTexCapsPow2) ? 1 : 0, (d.texture_caps & kTexCapsSquareOnly) ? 1 : 0);
  GfxLog("テクスチャピクセルフォーマット\n");
  GfxLog("\t通常グラフィック用\n");
  LogTextureSlot(0, false);
  LogTextureSlot(1, false);
  GfxLog("\tアルファチャンネル付きグラフィック用\n");
  LogTextureSlot(2, true);
  LogTextureSlot(3, true);
  GfxLogIndent(-1);
  GfxLog("Direct3D 関連の初期化は正常に終了しました\n");
  g_d3d.initialised = 1;
  return 0;
}

int CreateDevice3D(Surface* surface) {
  if (!g_d3d.object) return -1;
  int index = -1;
  for (int i = 0; i < kMaxDevices3D; ++i) {
    if (!g_d3d.devices[i].present) {
      index = i;
      break;
    }
  }
  if (index < 0) return -1;
  GfxLog("３Ｄデバイスを作成します... ");
  Device* device = nullptr;
  if (Failed(g_d3d.object->CreateDevice(g_d3d.kind, surface, &device))) {
    GfxLog("３Ｄデバイスの作成に失敗しました\n");
    return -1;
  }
  device->SetTextureStageState(0, kTssAddress, kAddressClamp);
  device->SetTextureStageState(0, kTssMagFilter, kFilterPoint);
  device->SetTextureStageState(0, kTssMinFilter, kFilterPoint);
  device->SetRenderState(kRsLastPixel, 1);
  device->SetRenderState(kRsColorKeyBlendEnable, 0);
  device->SetRenderState(kRsLighting, 0);
  device->SetRenderState(kRsTexturePerspective, 0);
  device->SetRenderState(kRsShadeMode, kShadeFlat);
  device->SetRenderState(kRsAlphaBlendEnable, 0);
  device->SetRenderState(kRsSrcBlend, kBlendSrcAlpha);
  device->SetRenderState(kRsDestBlend, kBlendInvSrcAlpha);
  device->SetTextureStageState(0, kTssColorOp, kTopModulate);
  device->SetTextureStageState(0, kTssColorArg1, kTaTexture);
  device->SetTextureStageState(0, kTssColorArg2, kTaDiffuse);
  device->SetTextureStageState(0, kTssAlphaOp, kTopSelectArg2);
  device->SetTextureStageState(0, kTssAlphaArg1, kTaTexture);
  device->SetTextureStageState(0, kTssAlphaArg2, kTaDiffuse);
  device->SetRenderState(kRsDitherEnable, 0);
  Device3DRecord& r = g_d3d.devices[index];
  r.present = 1;
  r.device = device;
  r.default_target = surface;
  FillRecordDefaults(r);
  GfxLog("３Ｄデバイスの作成に成功しました\n");
  return index;
}

int GetCurrentDevice3D() { return Exists(g_d3d.current) ? g_d3d.current : -1; }

int EndScene3D(int index) {
  Device3DRecord* r = DeviceRecord(index);
  if (!r) return -1;
  if (r->scene_open) {
    FlushVertexBatch(index);
    r->device->EndScene();
    r->scene_open = 0;
  }
  return 0;
}

int EndSceneIfBegun() { return EndScene3D(g_d3d.current); }

int OpenScene3D(int index) {
  Device3DRecord* r = DeviceRecord(index);
  if (!r) return -1;
  if (!r->scene_open) {
    r->device->BeginScene();
    r->scene_open = 1;
    ReapplyAllStates3D(index);
  }
  return 0;
}

int FlushCurrentVertexBatch() { return FlushVertexBatch(g_d3d.current); }

int SetRenderTarget3D(int index, Surface* surface) {
  Device3DRecord* r = DeviceRecord(index);
  if (!r) return -1;
  Surface* const current = r->current_target ? r->current_target : r->default_target;
  Surface* const wanted = surface ? surface : r->default_target;
  if (wanted == current && !r->force) return 0;
  FlushVertexBatch(index);
  if (Failed(r->device->SetRenderTarget(wanted, 0))) return -1;
  r->current_target = wanted;
  return 0;
}

int SetViewport3D(int index, const Viewport& v) {
  Device3DRecord* r = DeviceRecord(index);
  if (!r) return -1;
  const Viewport& c = r->viewport;
  if (c.x == v.x && c.y == v.y && c.width == v.width && c.height == v.height && !r->force) {
    return 0;
  }
  FlushVertexBatch(index);
  if (Failed(r->device->SetViewport(v))) {
    GfxLog("ビューポートのセットに失敗しました\n");
    return -1;
  }
  r->viewport = v;
  return 0;
}

int SetViewportFromArea(const Rect& area) {
  if (!CurrentDeviceRecord()) return -1;
  if (g_d3d.target_not_renderable) return 0;
  if (area.Width() <= 0 || area.Height() <= 0) return -1;
  const DrawState& s = GetDrawState();
  Viewport v;
  v.x = static_cast<uint32_t>(area.left + s.front_screen_rect.left);
  v.y = static_cast<uint32_t>(area.top + s.front_screen_rect.top);
  v.width = static_cast<uint32_t>(area.Width());
  v.height = static_cast<uint32_t>(area.Height());
  v.min_z = 0.0f;
  v.max_z = 1.0f;
  return SetViewport3D(g_d3d.current, v);
}

int SendTexture3D(int index, Surface* surface) {
  Device3DRecord* r = DeviceRecord(index);
  if (!r) return -1;
  if (r->texture == surface && !r->force) return 0;
  FlushVertexBatch(index);
  r->device->SetTexture(0, surface);
  r->texture = surface;
  return 0;
}

int SendColorKeyEnable(int index, int on) {
  Device3DRecord* r = DeviceRecord(index);
  if (!r) return -1;
  return SendIfChanged(*r, index, &r->color_key, on ? 1 : 0, [&](int v) {
    r->device->SetRenderState(kRsColorKeyEnable, static_cast<uint32_t>(v));
  });
}

int SetTextureFilter3D(int index, int filter) {
  Device3DRecord* r = DeviceRecord(index);
  if (!r || (filter != 0 && filter != 1)) return -1;
  return SendIfChanged(*r, index, &r->filter, filter, [&](int v) {
    const uint32_t f = v ? kFilterLinear : kFilterPoint;
    r->device->SetTextureStageState(0, kTssMagFilter, f);
    r->device->SetTextureStageState(0, kTssMinFilter, f);
  });
}

int SetZEnable3D(int index, int on) {
  Device3DRecord* r = DeviceRecord(index);
  if (!r) return -1;
  return SendIfChanged(*r, index, &r->z_enable, on == 1 ? 1 : 0, [&](int v) {
    r->device->SetRenderState(kRsZEnable, static_cast<uint32_t>(v));
  });
}

int SetTextureAddress3D(int index, int mode) {
  Device3DRecord* r = DeviceRecord(index);
  if (!r) return -1;
  return SendIfChanged(*r, index, &r->address, mode, [&](int v) {
    r->device->SetTextureStageState(0, kTssAddress, static_cast<uint32_t>(v));
  });
}

int SendBlendState3D(int index, int mode, int alpha_source) {
  Device3DRecord* r = DeviceRecord(index);
  if (!r) return -1;
  if (mode == r->blend_mode && alpha_source == r->alpha_source && !r->force) return 0;
  FlushVertexBatch(index);
  const bool blending = alpha_source == 1 || (alpha_source == 0 && mode != 0 && mode != 6);
  int arg1 = -1, arg2 = -1, op = -1;
  if (alpha_source == 1) {
    arg1 = static_cast<int>(kTaTexture);
    arg2 = static_cast<int>(kTaDiffuse);
    op = static_cast<int>(kTopModulate);
  } else if (blending) {
    arg2 = static_cast<int>(kTaDiffuse);
    op = static_cast<int>(kTopSelectArg2);
  }
  int src = -1, dest = -1;
  switch (mode) {
    case 1:
      src = kBlendSrcAlpha, dest = kBlendInvSrcAlpha;
      break;
    case 2:
    case 5:
      src = kBlendSrcAlpha, dest = kBlendOne;
      break;
    case 3:
      src = kBlendInvDestColor, dest = kBlendZero;
      break;
    case 4:
      src = kBlendZero, dest = kBlendSrcColor;
      break;
    case 0:
      // A texture's own alpha blends over the screen; the factors an
      // additive or multiplying draw left behind must not carry over.
      if (alpha_source == 1) src = kBlendSrcAlpha, dest = kBlendInvSrcAlpha;
      break;
    default:
      break;
  }
  Device& d = *r->device;
  const int enable = blending ? 1 : 0;
  if (r->force) {
    if (arg1 == -1) arg1 = r->alpha_arg1;
    if (arg2 == -1) arg2 = r->alpha_arg2;
    if (op == -1) op = r->alpha_op;
    if (src == -1) src = r->src_blend;
    if (dest == -1) dest = r->dest_blend;
    d.SetRenderState(kRsAlphaBlendEnable, static_cast<uint32_t>(enable));
    d.SetTextureStageState(0, kTssAlphaArg1, static_cast<uint32_t>(arg1));
    d.SetTextureStageState(0, kTssAlphaArg2, static_cast<uint32_t>(arg2));
    d.SetTextureStageState(0, kTssAlphaOp, static_cast<uint32_t>(op));
    d.SetRenderState(kRsDestBlend, static_cast<uint32_t>(dest));
    d.SetRenderState(kRsSrcBlend, static_cast<uint32_t>(src));
  } else {
    if (enable != r->alpha_blend)
      d.SetRenderState(kRsAlphaBlendEnable, static_cast<uint32_t>(enable));
    if (arg1 != -1 && arg1 != r->alpha_arg1) {
      d.SetTextureStageState(0, kTssAlphaArg1, static_cast<uint32_t>(arg1));
    }
    if (arg2 != -1 && arg2 != r->alpha_arg2) {
      d.SetTextureStageState(0, kTssAlphaArg2, static_cast<uint32_t>(arg2));
    }
    if (op != -1 && op != r->alpha_op)
      d.SetTextureStageState(0, kTssAlphaOp, static_cast<uint32_t>(op));
    if (dest != -1 && dest != r->dest_blend)
      d.SetRenderState(kRsDestBlend, static_cast<uint32_t>(dest));
    if (src != -1 && src != r->src_blend) d.SetRenderState(kRsSrcBlend, static_cast<uint32_t>(src));
  }
  r->alpha_blend = enable;
  if (arg1 != -1) r->alpha_arg1 = arg1;
  if (arg2 != -1) r->alpha_arg2 = arg2;
  if (op != -1) r->alpha_op = op;
  if (src != -1) r->src_blend = src;
  if (dest != -1) r->dest_blend = dest;
  r->blend_mode = mode;
  r->alpha_source = alpha_source;
  return 0;
}

int ApplyFixedStates3D(int index) {
  Device3DRecord* r = DeviceRecord(index);
  if (!r) return -1;
  FlushVertexBatch(index);
  Device& d = *r->device;
  d.SetTextureStageState(0, kTssColorOp, kTopModulate);
  d.SetTextureStageState(0, kTssColorArg1, kTaTexture);
  d.SetTextureStageState(0, kTssColorArg2, kTaDiffuse);
  d.SetRenderState(kRsLastPixel, 1);
  d.SetTextureStageState(0, kTssAddress, static_cast<uint32_t>(r->address));
  d.SetRenderState(kRsTexturePerspective, static_cast<uint32_t>(r->perspective));
  d.SetRenderState(kRsShadeMode, static_cast<uint32_t>(r->shade_mode));
  d.SetRenderState(kRsLighting, static_cast<uint32_t>(r->lighting));
  d.SetRenderState(kRsDitherEnable, 0);
  return 0;
}

int ReapplyAllStates3D(int index) {
  Device3DRecord* r = DeviceRecord(index);
  if (!r) return -1;
  r->force = 1;
  // A viewport that was never set is left to the device's default.
  if (r->viewport.width && r->viewport.height) SetViewport3D(index, r->viewport);
  SetColorKeyEnable(index, r->color_key);
  ApplyFixedStates3D(index);
  SetTextureFilter3D(index, r->filter);
  SetBlendState3D(index, r->blend_mode, r->alpha_source);
  SetZEnable3D(index, r->z_enable);
  SetTextureAddress3D(index, r->address);
  r->force = 0;
  return 0;
}

int ReapplyBlendFilterTexture3D(int index) {
  Device3DRecord* r = DeviceRecord(index);
  if (!r) return -1;
  r->force = 1;
  SetBlendState3D(index, r->blend_mode, r->alpha_source);
  SetTextureFilter3D(index, r->filter);
  SetTexture3D(index, r->texture);
  r->force = 0;
  return 0;
}

int SetCullMode3D(int on) {
  Device3DRecord* r = CurrentDeviceRecord();
  if (!r) return -1;
  FlushVertexBatch(g_d3d.current);
  r->device->SetRenderState(kRsCullMode, on ? kCullCcw : kCullNone);
  return 0;
}

int SyncRenderStatesStub() { return 0; }

int SetDrawTarget3D(int target) {
  if (!g_d3d.object) return 0;
  EndSceneIfBegun();
  FlushCurrentVertexBatch();
  const int index = g_d3d.current;
  Device3DRecord* r = DeviceRecord(index);
  if (!r) return -1;
  if (r->current_target && r->current_target != r->default_target) {
    FlushVertexBatch(index);
    r->device->SetRenderTarget(r->default_target, 0);
    r->current_target = r->default_target;
  }
  if (r->texture || r->force) {
    r->device->SetTexture(0, nullptr);
    r->texture = nullptr;
  }
  if (target == -4) {
    if (SetRenderTarget3D(index, GetPrimarySurface()) != 0) return -1;
    g_d3d.end_scene_each_draw = 1;
  } else if (target == -2) {
    if (SetRenderTarget3D(index, GetBackSurface()) != 0) return -1;
    g_d3d.end_scene_each_draw = 0;
  } else {
    int result = -1;
    Surface* s = TargetSurfaceOfGraphic(target, &result);
    if (!s || SetRenderTarget3D(index, s) != 0) return -1;
    g_d3d.end_scene_each_draw = 0;
  }
  g_d3d.target_not_renderable = 0;
  return 0;
}

int ClearDrawTarget3D() {
  if (!g_d3d.object) return -1;
  if (GetDrawState().suspended) return 0;
  FlushCurrentVertexBatch();
  EndSceneIfBegun();
  const int target = GetDrawState().target;
  if (target == -2 || target == -4) return 0;  // no screen Z-buffer exists
  GraphicRecord* g = GetGraphicRecord(target);
  if (!g || !g->texture || g->part_count < 1) return 0;
  TexturePartRecord* part = GetTexturePartRecord(g->parts[0]);
  SurfaceRecord* r = part ? GetSurfaceRecord(part->texture) : nullptr;
  if (!r || !r->surface) return 0;
  if (r->depth_surface) {
    r->depth_surface->Blt(nullptr, nullptr, nullptr, kBltDepthFill | kBltWait, 65535);
  }
  r->surface->Blt(nullptr, nullptr, nullptr, kBltColorFill | kBltWait, 0);
  return 0;
}

int GetTextureTargetSurfaceRecord(int graphic) {
  GraphicRecord* g = GetGraphicRecord(graphic);
  // Only a one-part texture made as a render target can be drawn into;
  // anything else would leave the device drawing into the back buffer.
  if (!g || !g->texture || g->part_count != 1) return -1;
  TexturePartRecord* part = GetTexturePartRecord(g->parts[0]);
  SurfaceRecord* r = part ? GetSurfaceRecord(part->texture) : nullptr;
  if (!r || !r->settings.draw_valid) return -1;
  return part->texture;
}

int TextureFormatIndex(const SurfaceRecord& record) {
  const SurfaceSettings& s = record.settings;
  const int base = s.color_depth == 16 ? 0 : 1;
  if (s.draw_valid) return base;
  if (s.alpha_channel) return base + 2;
  if (s.alpha_test) return base + 4;
  return base;
}

const PixelFormat* GetTextureFormatPixelFormat(int slot) {
  if (slot < 0 || slot >= 8 || !g_d3d.formats[slot].filled) return nullptr;
  return &g_d3d.formats[slot].pixel_format;
}

const ColorFormatBlock* GetTextureFormatBlock(int slot) {
  if (slot < 0 || slot >= 8 || !g_d3d.formats[slot].filled) return nullptr;
  return &g_d3d.formats[slot].block;
}

const ColorFormatBlock* SelectTextureColorFormat(int alpha_channel, int alpha_test, int bits32,
                                                 int render_target) {
  const int base = bits32 ? 1 : 0;
  if (render_target) return GetTextureFormatBlock(base);
  if (alpha_channel) return GetTextureFormatBlock(base + 2);
  if (alpha_test) return GetTextureFormatBlock(base + 4);
  return GetTextureFormatBlock(base);
}

const PixelFormat* GetZBufferPixelFormat() {
  return g_d3d.z_format.flags ? &g_d3d.z_format : nullptr;
}

int ReleaseDevice3D(int index) {
  Device3DRecord* r = DeviceRecord(index);
  if (!r) return -1;
  EndScene3D(index);
  ReleaseAllTexturePartSurfaces();
  r->device->Release();
  r->device = nullptr;
  r->texture = nullptr;
  r->queued = 0;
  GfxLog("Ｄｉｒｅｃｔ３Ｄデバイスを削除しました\n");
  return 0;
}

int ReleaseAllDevices3D() {
  for (Device3DRecord& r : g_d3d.devices) {
    if (!r.present) continue;
    if (r.device) r.device->Release();
    std::memset(static_cast<void*>(&r), 0, sizeof r);
    GfxLog("３Ｄデバイスの削除は正常に終了しました\n");
  }
  return 0;
}

int ReleaseDirect3D() {
  if (!g_d3d.initialised) return -1;
  ReleaseDevice3D(g_d3d.current);
  GfxLog("Ｄｉｒｅｃｔ３Ｄオブジェクトを解放します\n");
  if (g_d3d.object) {
    ReleaseObject();
    GfxLog("Ｄｉｒｅｃｔ３Ｄオブジェクトを解放しました\n");
  } else {
    GfxLog("Ｄｉｒｅｃｔ３Ｄオブジェクトは既に解放されています\n");
  }
  return 0;
}

int ReacquireDirect3D() {
  if (!g_d3d.initialised) return 0;
  GfxLog("Ｄｉｒｅｃｔ３Ｄオブジェクトを取得します\n");
  if (g_d3d.object) {
    GfxLog("Ｄｉｒｅｃｔ３Ｄオブジェクトは既に取得されています\n");
    return 0;
  }
  if (Failed(QueryDirect3D(GetDirectDrawObject(), &g_d3d.object))) {
    g_d3d.object = nullptr;
    GfxLog("Direct3Dオブジェクトの作成に失敗しました\n");
    return -1;
  }
  GfxLog("Ｄｉｒｅｃｔ３Ｄオブジェクトは正常に取得されました\n");
  Device3DRecord& r = g_d3d.devices[g_d3d.current];
  r.default_target = GetPrimarySurface();
  r.current_target = GetDrawTargetSurface();
  return RestoreDevice3D(g_d3d.current);
}

int RestoreDevice3D(int index) {
  if (!g_d3d.object || index < 0 || index >= kMaxDevices3D) return -1;
  Device3DRecord& r = g_d3d.devices[index];
  if (r.device) return 0;
  GfxLog("３Ｄデバイスを作成します... ");
  Device* device = nullptr;
  if (Failed(g_d3d.object->CreateDevice(g_d3d.kind, r.default_target, &device))) {
    GfxLog("３Ｄデバイスの作成に失敗しました\n");
    return -1;
  }
  device->SetRenderState(kRsDitherEnable, 0);
  r.device = device;
  r.present = 1;
  r.scene_open = 0;
  GfxLog("３Ｄデバイスの作成に成功しました\n");
  r.force = 1;
  // Only a screen surface is known to exist again here; a graphic's texture
  // is recreated below, so its target falls back to the default.
  Surface* const target = r.current_target;
  if (target && target != r.default_target &&
      (target == GetBackSurface() || target == GetPrimarySurface())) {
    device->SetRenderTarget(target, 0);
  } else {
    r.current_target = r.default_target;
  }
  SetBlendState3D(index, r.blend_mode, r.alpha_source);
  SetTextureFilter3D(index, r.filter);
  SetTexture3D(index, nullptr);
  SetColorKeyEnable(index, r.color_key);
  SetViewportFromArea(GetDrawState().area);
  RecreateAllTexturePartSurfaces();
  r.force = 0;
  return 0;
}

int TerminateDirect3D() {
  if (!g_d3d.object) return -1;
  GfxLog("Direct3D 関連の終了処理を行います\n");
  EndSceneIfBegun();
  g_d3d.end_scene_each_draw = 0;
  if (Device3DRecord* r = CurrentDeviceRecord(); r && r->texture)
    SetTexture3D(g_d3d.current, nullptr);
  DeleteAllTextureParts();
  ReleaseAllDevices3D();
  ReleaseObject();
  GfxLog("Direct3D 関連の終了処理は正常に終了しました\n");
  g_d3d.initialised = 0;
  return 0;
}
