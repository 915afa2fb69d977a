#include "graphics/surface_record.h"

#include "graphics/color_format.h"
#include "graphics/device3d_services.h"
#include "graphics/graphics_host.h"
#include "graphics/screen.h"

using namespace platform::video;

namespace surface_record_internal {
RecordTable<SurfaceRecord> g_table(kMaxSurfaceRecords, 0x3800);
}  // namespace surface_record_internal

namespace {

using surface_record_internal::g_table;

void FreeAlpha(SurfaceRecord* r) {
  if (r->alpha_buffer) GfxFree(r->alpha_buffer);
  r->alpha_buffer = nullptr;
  r->alpha_pitch = 0;
}

// The record's format: its texture format, else the screen's.
bool RecordColorFormat(const SurfaceRecord& r, ColorFormatHeader* out) {
  if (r.settings.texture) {
    const PixelFormat* pf = GetTextureFormatPixelFormat(r.settings.format_index);
    if (!pf) return false;
    BuildColorFormatFromPixelFormat(*pf, out);
    return true;
  }
  *out = ScreenFormat().block.header;
  return true;
}

}  // namespace

RecordTable<SurfaceRecord>& SurfaceRecordTable() { return g_table; }

void ClearSurfaceRecordTable() {
  for (int i = 0; i < g_table.bound(); ++i) {
    if (SurfaceRecord* r = g_table.at(i)) {
      if (r->surface) r->surface->Release();
      if (r->depth_surface) r->depth_surface->Release();
      FreeAlpha(r);
      GfxFree(r);
    }
  }
  g_table.Reset();
}

int AddSurfaceRecord(int reference_count, int width, int height, uint32_t transparent_color,
                     const SurfaceSettings& settings) {
  if (g_table.full()) {
    GfxLog("サーフェスのデータ数が許容量を越えました。\n");
    return -1;
  }
  const int slot = g_table.FreeSlot();
  auto* r = static_cast<SurfaceRecord*>(GfxAlloc(sizeof(SurfaceRecord), "KsGraphics", __LINE__));
  if (slot < 0 || !r) {
    GfxFree(r);
    GfxLog("サーフェス用データを保存するメモリ領域の確保に失敗しました\n");
    return -1;
  }
  r->settings = settings;
  r->transparent_color = transparent_color;
  r->width = static_cast<uint16_t>(width);
  r->height = static_cast<uint16_t>(height);
  r->reference_count = reference_count;
  const int handle = g_table.Insert(slot, r);
  if (CreateSurfaceOfRecord(handle) != 0) {
    DeleteSurfaceRecord(handle);
    return -1;
  }
  SetSurfaceColorKey(handle);
  return handle;
}

int CreateSurfaceOfRecord(int handle) {
  SurfaceRecord* r = GetSurfaceRecord(handle);
  DirectDraw* dd = GetDirectDrawObject();
  if (!r || !dd) return -1;
  if (r->surface) return 0;
  SurfaceDesc d;
  d.width = r->width;
  d.height = r->height;
  Surface* s = nullptr;
  if (!r->settings.texture) {
    int screen_w = 0;
    GetScreenResolution(&screen_w, nullptr);
    const bool system = r->settings.system_memory || r->width > screen_w || IsSystemMemoryOnly();
    d.caps = kCapsOffscreenPlain | (system ? kCapsSystemMemory : kCaps3DDevice);
    if (Failed(dd->CreateSurface(d, &s))) {
      // Video memory may be full: system memory always has room.
      d.caps = kCapsOffscreenPlain | kCapsSystemMemory;
      if (Failed(dd->CreateSurface(d, &s))) {
        GfxLog("標準サーフェスの作成に失敗しました\n");
        return -1;
      }
    }
    r->surface = s;
    r->settings.system_memory = (s->caps() & kCapsVideoMemory) ? 0 : 1;
    r->settings.draw_valid = 1;
    if (r->settings.alpha_channel) {
      r->alpha_buffer = static_cast<uint8_t*>(
          GfxAlloc(static_cast<size_t>(r->width) * r->height, "KsGraphics", __LINE__));
      r->alpha_pitch = r->width;
      if (!r->alpha_buffer) {
        GfxLog("αチャンネル用メモリ領域の確保に失敗しました\n");
        r->surface->Release();
        r->surface = nullptr;
        return -1;
      }
    }
  } else {
    if (r->settings.draw_valid) {
      r->settings.alpha_channel = 0;
      r->settings.alpha_test = 0;
    }
    if (r->settings.alpha_channel) r->settings.alpha_test = 0;
    const int slot = TextureFormatIndex(*r);
    const PixelFormat* pf = slot >= 0 ? GetTextureFormatPixelFormat(slot) : nullptr;
    if (pf) {
      r->settings.format_index = static_cast<uint8_t>(slot);
      d.has_format = true;
      d.format = *pf;
      d.caps = kCapsTexture | (r->settings.draw_valid ? kCaps3DDevice : 0);
      d.caps2 = r->settings.draw_valid ? 0 : kCaps2TextureManage;
    }
    if (!pf || Failed(dd->CreateSurface(d, &s))) {
      GfxLog("テクスチャサーフェスの作成に失敗しました\n");
      GfxLog("DrawValid:%d  AlphaChFlag%d  AlphaTestFlag:%d  ColorBitDepth:%d",
             r->settings.draw_valid, r->settings.alpha_channel, r->settings.alpha_test,
             r->settings.color_depth);
      return -1;
    }
    r->surface = s;
  }
  const int z = r->settings.z_buffer;
  r->settings.z_buffer = 0;
  if (z && SetSurfaceZBuffer(handle, 1) != 0) {
    FreeAlpha(r);
    r->surface->Release();
    r->surface = nullptr;
    return -1;
  }
  return 0;
}

int SetSurfaceZBuffer(int handle, int flag) {
  SurfaceRecord* r = GetSurfaceRecord(handle);
  if (!r) return -1;
  const bool want = flag != 0;
  if (want == (r->depth_surface != nullptr)) {
    r->settings.z_buffer = want ? 1 : 0;
    return 0;
  }
  if (!want) {
    if (r->surface) r->surface->DeleteAttachedSurface(r->depth_surface);
    r->depth_surface->Release();
    r->depth_surface = nullptr;
    r->settings.z_buffer = 0;
    return 0;
  }
  if (!r->surface || !r->settings.draw_valid || r->settings.system_memory) return -1;
  DirectDraw* dd = GetDirectDrawObject();
  SurfaceDesc d;
  d.caps = kCapsZBuffer | kCapsVideoMemory;
  d.width = r->width;
  d.height = r->height;
  d.has_format = true;
  const PixelFormat* zf = GetZBufferPixelFormat();
  d.format = zf ? *zf : FormatZ16();
  Surface* z = nullptr;
  if (!dd || Failed(dd->CreateSurface(d, &z)) || Failed(r->surface->AddAttachedSurface(z))) {
    if (z) z->Release();
    GfxLog("Ｚバッファの作成に失敗しました");
    return -1;
  }
  r->depth_surface = z;
  r->settings.z_buffer = 1;
  return 0;
}

int SetSurfaceColorKey(int handle) {
  SurfaceRecord* r = GetSurfaceRecord(handle);
  if (!r || !r->surface) return -1;
  const int red = (r->transparent_color >> 16) & 255;
  const int green = (r->transparent_color >> 8) & 255;
  const int blue = r->transparent_color & 255;
  uint32_t key = 0;
  if (r->settings.texture) {
    ColorFormatHeader f;
    if (RecordColorFormat(*r, &f)) key = PackColorForFormat(f, red, green, blue, 255);
  } else if (GetScreenColorBits() != 8) {
    key = PackColorForFormat(ScreenFormat().block.header, red, green, blue, 0);
  }
  if (Failed(r->surface->SetColorKey(key, key))) {
    GfxLog(r->settings.texture ? "テクスチャサーフェスのカラーキーの設定に失敗しました\n"
                               : "標準サーフェスのカラーキーの設定に失敗しました\n");
    return -1;
  }
  return 0;
}

int AddSurfaceReference(int handle) {
  SurfaceRecord* r = GetSurfaceRecord(handle);
  return r ? ++r->reference_count : -1;
}

int DropSurfaceReference(int handle) {
  SurfaceRecord* r = GetSurfaceRecord(handle);
  return r ? --r->reference_count : -1;
}

int LockSurfaceRecord(int handle, int* pitch, uint8_t** pointer, const Rect* rect, int write_only) {
  SurfaceRecord* r = GetSurfaceRecord(handle);
  if (!r || !r->surface) return -1;
  if (r->lock_count > 0) {
    if (pitch && pointer) {
      *pitch = r->lock_pitch;
      *pointer = r->lock_pointer;
    }
    ++r->lock_count;
    return -2;
  }
  uint8_t* p = nullptr;
  int pp = 0;
  if (Failed(r->surface->Lock(rect, kLockWait | (write_only == 1 ? kLockWriteOnly : 0), &p, &pp))) {
    GfxLog("グラフィックのロックに失敗しました");
    return -1;
  }
  r->lock_pointer = p;
  r->lock_pitch = pp;
  r->lock_count = 1;
  if (pitch) *pitch = pp;
  if (pointer) *pointer = p;
  return 0;
}

int UnlockSurfaceRecord(int handle, const Rect*) {
  SurfaceRecord* r = GetSurfaceRecord(handle);
  if (!r || r->lock_count <= 0) return -1;
  if (--r->lock_count == 0) {
    if (r->surface) r->surface->Unlock();
    r->lock_pointer = nullptr;
  }
  return 0;
}

int FillSurfaceRecord(int handle, int red, int green, int blue, int alpha) {
  SurfaceRecord* r = GetSurfaceRecord(handle);
  if (!r || !r->surface) return -1;
  ColorFormatHeader f;
  if (!RecordColorFormat(*r, &f)) return -1;
  uint32_t value = PackColorForFormat(f, red, green, blue, alpha);
  if (!r->settings.texture) value |= f.unused_mask;
  return Failed(r->surface->Blt(nullptr, nullptr, nullptr, kBltColorFill | kBltWait, value)) ? -1
                                                                                             : 0;
}

int RestoreSurfaceIfLost(int handle) {
  SurfaceRecord* r = GetSurfaceRecord(handle);
  if (!r || !r->surface) return 0;
  if (r->surface->IsLost() == kErrSurfaceLost) {
    r->surface->Restore();
    return -1;
  }
  return 0;
}

int ReleaseSurfaceOfRecord(int handle) {
  SurfaceRecord* r = GetSurfaceRecord(handle);
  if (!r) return -1;
  FreeAlpha(r);
  if (r->depth_surface) {
    if (r->surface) r->surface->DeleteAttachedSurface(r->depth_surface);
    r->depth_surface->Release();
    r->depth_surface = nullptr;
  }
  if (r->surface) {
    if (r->lock_count > 0) r->surface->Unlock();
    r->surface->Release();
    r->surface = nullptr;
  }
  r->lock_count = 0;
  r->lock_pointer = nullptr;
  return 0;
}

int DeleteSurfaceRecord(int handle) {
  ReleaseSurfaceOfRecord(handle);
  SurfaceRecord* r = GetSurfaceRecord(handle);
  if (!r) return -1;
  if (r->delete_flag) *r->delete_flag = 1;
  g_table.Remove(RecordTable<SurfaceRecord>::SlotOf(handle));
  GfxFree(r);
  return 0;
}

int SetSurfaceRecordDeleteFlag(int handle, int* flag) {
  SurfaceRecord* r = GetSurfaceRecord(handle);
  if (!r) return -1;
  r->delete_flag = flag;
  if (flag) *flag = 0;
  return 0;
}
