#include "graphics/screen.h"

#include <cstring>

#include "graphics/device3d_services.h"
#include "graphics/draw_state.h"
#include "core/screen_log.h"
#include "graphics/font_handles.h"
#include "graphics/font_movie_services.h"
#include "graphics/graphic_table.h"
#include "graphics/graphics_host.h"
#include "graphics/graphics_manager.h"
#include "graphics/present.h"
#include "graphics/surface_2d.h"
#include "platform/clock.h"

using namespace platform::video;

namespace {

ScreenSettings g_screen;
ScreenSurfaces g_surfaces;
DirectDrawState g_dd = [] {
  DirectDrawState s{};
  s.overlay_format_index = -1;
  return s;
}();
uint32_t g_blend_table[256][256];

struct OverlayRow {
  const char* name;
  PixelFormat format;
};
const OverlayRow kOverlayRows[4] = {
    {" UYVY", {kPfFourCC, FourCC('U', 'Y', 'V', 'Y'), 0, 0, 0, 0, 0}},
    {" YUY2", {kPfFourCC, FourCC('Y', 'U', 'Y', '2'), 0, 0, 0, 0, 0}},
    {" 16-bit RGB 5:5:5 ", {kPfRgb, 0, 16, 0x7C00, 0x03E0, 0x001F, 0}},
    {" 16-bit RGB 5:6:5 ", {kPfRgb, 0, 16, 0xF800, 0x07E0, 0x001F, 0}}};

// Black to white: a grey ramp through the middle, entry 160 at 128.
PaletteEntry g_default_palette[256];
bool g_palette_built = false;
void BuildDefaultPalette() {
  if (g_palette_built) return;
  for (int i = 0; i < 256; ++i) {
    const int v = i <= 160 ? i * 128 / 160 : 128 + (i - 160) * 127 / 95;
    g_default_palette[i] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v),
                            static_cast<uint8_t>(v), 0};
  }
  g_palette_built = true;
}

bool Tolerated(Result r) {
  return r == kOk || r == kErrHwndSubclassed || r == kErrHwndAlreadySet ||
         r == kErrExclusiveModeAlreadySet;
}

int ReadWidth() { return g_screen.width ? g_screen.width : 640; }
int ReadHeight() { return g_screen.height ? g_screen.height : 480; }

void ApplyWindowStyle(bool full_screen) {
  if (Host().apply_window_style) Host().apply_window_style(full_screen);
}

void ReleaseObject() {
  if (g_dd.object) g_dd.object->Release();
  g_dd.object = nullptr;
}

void ReleasePalette() {
  if (g_dd.palette) g_dd.palette->Release();
  g_dd.palette = nullptr;
}

void BuildBlendTable() {
  for (int p = 0; p < 256; ++p)
    for (int v = 0; v < 256; ++v) g_blend_table[p][v] = static_cast<uint32_t>(p * v) >> 8;
}

Surface* MakeSurface(const SurfaceDesc& desc) {
  Surface* s = nullptr;
  if (Failed(g_dd.object->CreateSurface(desc, &s))) return nullptr;
  return s;
}

void FillBlack(Surface* s) { s->Blt(nullptr, nullptr, nullptr, kBltColorFill | kBltWait, 0); }

void SetModeFullScreen(int* result, int old_w, int old_h, int old_bits) {
  GfxLog("画面解像度を変更します... ");
  struct Try {
    int w, h, bits, refresh, result;
  } tries[4] = {{g_screen.width, g_screen.height, g_screen.color_bits, g_screen.refresh_rate, 0},
                {g_screen.width, g_screen.height, g_screen.color_bits, 0, 0},
                {old_w, old_h, old_bits, 0, 0},
                {640, 480, 16, 0, -2}};
  for (const Try& t : tries) {
    if (!Failed(g_dd.object->SetDisplayMode(t.w, t.h, t.bits, t.refresh))) {
      g_screen.width = t.w;
      g_screen.height = t.h;
      g_screen.color_bits = t.bits;
      g_screen.refresh_rate = t.refresh;
      *result = t.result;
      g_dd.display_mode_changed = true;
      GfxLog("成功しました\n");
      return;
    }
  }
  GfxFatal("予期せぬ画面モード変更不能現象が起きました2\n");
}

}  // namespace

ScreenSettings& Screen() { return g_screen; }
ScreenSurfaces& Surfaces() { return g_surfaces; }
DirectDrawState& DDState() { return g_dd; }

void ResetScreenStateForTesting() {
  g_screen = ScreenSettings{};
  g_surfaces = ScreenSurfaces{};
  g_dd = DirectDrawState{};
  g_dd.overlay_format_index = -1;
}

int StartDirectDraw(WindowId window) {
  g_dd.window = window;
  InitializeDirectDraw();
  return 0;
}

int StopDirectDraw() { return ShutdownDirectDraw(); }

int CreateDirectDrawObject(DirectDraw** out) {
  GfxLog("DirectDraw オブジェクトの取得を行います....  ");
  DirectDraw* dd = nullptr;
  if (Failed(CreateDirectDraw(&dd)) || !dd) {
    GfxLog("オブジェクトの取得に失敗しました\n");
    return -1;
  }
  GfxLog("成功\n");
  GfxLog("引き続き初期化処理... ");
  if (Failed(dd->Initialize())) {
    GfxLog("DirectDrawオブジェクトの初期化に失敗しました\n");
    dd->Release();
    return -1;
  }
  GfxLog("初期化に成功しました\n");
  GfxLog("ビデオカードの情報\n");
  GfxLogIndent(1);
  const bool hidden = Host().report_key_held && Host().report_key_held();
  if (!hidden) {
    DeviceIdentifier id;
    dd->GetDeviceIdentifier(&id);
    const uint64_t v = id.driver_version;
    GfxLog("ビデオカードドライバ:%s バージョン:%u.%u.%u.%u ", id.driver.c_str(),
           static_cast<unsigned>((v >> 48) & 0xFFFF), static_cast<unsigned>((v >> 32) & 0xFFFF),
           static_cast<unsigned>((v >> 16) & 0xFFFF), static_cast<unsigned>(v & 0xFFFF));
    GfxLog("ドライバ記述:%s \n", id.description.c_str());
  }
  uint32_t total = 0, free = 0;
  dd->GetAvailableVidMem(&total, &free);
  GfxLog("ビデオメモリ総量:%.2fMB ビデオメモリ空き容量:%.2fMB", total * (1.0 / 1048576.0),
         free * (1.0 / 1048576.0));
  GfxLogIndent(-1);
  *out = dd;
  return 0;
}

int InitializeDirectDraw() {
  if (g_dd.object) return -1;
  GfxLog("DirectDraw 関連の初期化を行います\n");
  GfxLogIndent(1);
  if (CreateDirectDrawObject(&g_dd.object) != 0) {
    GfxFatal("DirectDrawオブジェクトの作成に失敗しました");
  }
  Clipper* clipper = nullptr;
  if (Failed(g_dd.object->CreateClipper(&clipper)) || Failed(clipper->SetWindow(g_dd.window))) {
    GfxLog("ＤｉｒｅｃｔＤｒａｗＣｌｉｐｐｅｒオブジェクトの作成に失敗しました\n");
    GfxFatal("DirectDrawClipperオブジェクトの作成時にエラーが発生しました");
  }
  g_dd.clipper = clipper;
  if (g_screen.width == 0) g_screen.width = 640;
  if (g_screen.height == 0) g_screen.height = 480;
  if (g_screen.color_bits == 0) g_screen.color_bits = 16;
  SwitchScreenMode(-1, -1, -1, 1, -1);
  if (!Host().has_region) {
    SetDrawTarget(-2);
    WipeDrawTarget();
    PresentByCopy();
    SetDrawTarget(-4);
  }
  g_dd.cpu_probe_flag = Host().cpu_probe_flag != 0;
  // Overlay probe: the stand-in reports no overlay stretch limits, so the
  // four formats are tried.
  std::memset(g_dd.device_caps, 0, sizeof g_dd.device_caps);
  g_dd.overlay_format_index = -1;
  for (int row = 0; row < 4; ++row) {
    SurfaceDesc d;
    d.caps = kCapsOverlay | kCapsVideoMemory;
    d.width = d.height = 16;
    d.has_format = true;
    d.format = kOverlayRows[row].format;
    Surface* s = MakeSurface(d);
    if (!s) continue;
    const bool in_system = (s->caps() & kCapsSystemMemory) != 0;
    s->Release();
    if (in_system) continue;
    g_dd.overlay_format_index = row;
    GfxLog("オーバーレイサーフェスを使用します　　　%s", kOverlayRows[row].name);
    break;
  }
  if (g_dd.overlay_format_index < 0) GfxLog("オーバーレイサーフェスは使用しません\n");
  GfxLogIndent(-1);
  GfxLog("DirectDraw 関連の初期化は正常に終了しました\n");
  BuildBlendTable();
  g_dd.ready = true;
  return 0;
}

int SwitchScreenMode(int width, int height, int color_bits, int force, int refresh_rate) {
  if (width == -1) width = g_screen.width;
  if (height == -1) height = g_screen.height;
  if (color_bits == -1) color_bits = g_screen.color_bits;
  if (refresh_rate == -1) refresh_rate = g_screen.refresh_rate;
  if (width == g_screen.width && height == g_screen.height && color_bits == g_screen.color_bits &&
      refresh_rate == g_screen.refresh_rate && force == 0) {
    return 0;
  }
  GfxLog("画面モード変更処理を開始します\n");
  GfxLogIndent(1);
  // The default font is set up again after the switch as it was.
  char font_face[256] = "";
  int font_size = -1, font_thickness = -1;
  const bool had_font =
      GetFontSettings(font_face, &font_size, &font_thickness, GetDefaultFontHandle()) == 0;
  const int old_w = g_screen.width, old_h = g_screen.height, old_bits = g_screen.color_bits,
            old_refresh = g_screen.refresh_rate;
  g_screen = {width, height, color_bits, refresh_rate};
  if (!g_dd.object) {
    GfxLogIndent(-1);
    return 0;
  }
  const int now = static_cast<int>(platform::TimeGetTime());
  const int elapsed = now - g_dd.last_mode_switch_ms;
  if (g_dd.last_mode_switch_ms != 0 && elapsed >= 0 && elapsed < 2000) {
    platform::Sleep(static_cast<uint32_t>(2060 - elapsed));
  } else {
    platform::Sleep(60);
  }
  g_dd.last_mode_switch_ms = static_cast<int>(platform::TimeGetTime());
  if (g_dd.last_mode_switch_ms == 0) g_dd.last_mode_switch_ms = 1;

  DeleteAllGraphics(0);
  EndGraphicsManager();
  TerminateDirect3D();
  ReleasePalette();
  ReleaseScreenSurfaces();

  int result = 0;
  const bool windowed = Host().windowed;
  uint32_t kept_transparent = 0;
  if (g_dd.ready) {
    kept_transparent = GetDrawState().transparent_color;
    GfxLog("ＤｉｒｅｃｔＤｒａｗオブジェクトを解放します\n");
    DeleteAllSurface2D();
    g_dd.object->SetCooperativeLevel(g_dd.window, kCoopNormal);
    g_dd.cooperative_level = kCoopNormal;
    ReleaseObject();
    GfxLog("ＤｉｒｅｃｔＤｒａｗオブジェクトを解放しました\n");
    if (CreateDirectDrawObject(&g_dd.object) != 0) {
      GfxFatal("DirectDrawオブジェクトの作成に失敗しました");
    }
    if (windowed) {
      if (Failed(g_dd.object->SetCooperativeLevel(g_dd.window, kCoopNormal))) {
        GfxFatal("DirectDrawの協調レベルの設定に失敗しました、ソフトを終了します");
      }
      g_dd.cooperative_level = kCoopNormal;
    } else {
      if (!Tolerated(g_dd.object->SetCooperativeLevel(g_dd.window,
                                                      kCoopExclusive | kCoopFullscreen))) {
        GfxFatal("DirectDrawの協調レベルの設定に失敗しました、ソフトを終了します");
      }
      g_dd.cooperative_level = kCoopExclusive | kCoopFullscreen;
    }
    g_dd.display_mode_changed = false;
    if (!windowed) SetModeFullScreen(&result, old_w, old_h, old_bits);
  } else {
    if (!windowed) ApplyWindowStyle(true);
    int dw = 0, dh = 0;
    DesktopSize(&dw, &dh);
    if (g_screen.width == 0) g_screen.width = 640;
    if (g_screen.height == 0) g_screen.height = 480;
    if (g_screen.color_bits == 0) g_screen.color_bits = 16;
    auto apply = [&]() {
      int bits = g_screen.color_bits;
      const int r = SetCooperativeLevelAndMode(
          g_dd.object, dw, dh, g_screen.width, g_screen.height, g_screen.color_bits, &bits,
          &g_dd.cooperative_level, windowed ? 1 : 0, &g_dd.display_mode_changed, g_dd.window);
      if (r == 0) g_screen.color_bits = bits;
      return r;
    };
    if (apply() == -1) {
      result = -1;
      const bool same_as_old = old_w == width && old_h == height && old_bits == color_bits &&
                               old_refresh == 0;
      g_screen = {old_w ? old_w : 640, old_h ? old_h : 480, old_bits ? old_bits : 16, old_refresh};
      if (!windowed) ApplyWindowStyle(true);
      if (same_as_old || apply() == -1) {
        result = -2;
        g_screen = {640, 480, 16, 0};
        if (!windowed) ApplyWindowStyle(true);
        if (apply() == -1) GfxFatal("予期せぬ画面モード変更不能現象が起きました\n");
      }
    }
  }

  LogScreenColorFormat();
  if (windowed) ApplyWindowStyle(false);
  CreateScreenSurfaces();
  if (!g_dd.direct3d_disabled && !g_dd.system_memory_only) InitializeDirect3D();
  StartGraphicsManager();
  if (had_font) SetDefaultFontSize(font_face, font_size, font_thickness);
  InitScreenLog();
  CreateScreenPalette();
  MeasureCopyMethod();
  MeasureFrameTime();
  if (g_dd.ready) GetDrawState().transparent_color = kept_transparent;
  GfxLogIndent(-1);
  GfxLog("画面モード変更処理は正常に終了しました\n");
  PumpOnce();
  ResetPresentCount();
  return result;
}

int SetScreenResolution(int width, int height, int color_bits, int refresh_rate) {
  DeleteAllGraphics(0);
  const ScreenSettings old = g_screen;
  if (width == -1) width = g_screen.width;
  if (height == -1) height = g_screen.height;
  if (color_bits == -1) color_bits = g_screen.color_bits;
  if (refresh_rate == -1) refresh_rate = g_screen.refresh_rate;
  SwitchScreenMode(width, height, color_bits, 0, refresh_rate);
  const ScreenSettings& now = g_screen;
  if (now.width == width && now.height == height && now.color_bits == color_bits &&
      now.refresh_rate == refresh_rate) {
    return 0;
  }
  if (now.width == old.width && now.height == old.height && now.color_bits == old.color_bits &&
      now.refresh_rate == old.refresh_rate) {
    return -1;
  }
  if (now.width == 640 && now.height == 480 && now.color_bits == 16 && now.refresh_rate == 0) {
    return -2;
  }
  return -1;
}

int ChooseScreenModeBody(int width, int height, int color_bits, int refresh_rate) {
  return SetScreenResolution(width, height, color_bits, refresh_rate);
}

int SetVideoMemoryUseAndReset(int use_video_memory) {
  g_dd.system_memory_only = use_video_memory == 0;
  if (!g_dd.object) return 0;
  const int target = GetDrawTarget();
  DeleteAllGraphics(0);
  SwitchScreenMode(-1, -1, -1, 1, -1);
  if (target == -2 || target == -4) SetDrawTarget(target);
  return 0;
}

int SetCooperativeLevelAndMode(DirectDraw* object, int desktop_width, int desktop_height,
                               int width, int height, int color_bits, int* out_color_bits,
                               uint32_t* out_level, int window_flag, bool* mode_changed,
                               WindowId window) {
  GfxLog("画面モードの変更処理を開始します %u x %u  %u bit ", static_cast<unsigned>(width),
         static_cast<unsigned>(height), static_cast<unsigned>(color_bits));
  GfxLogIndent(1);
  if (window_flag) {
    GfxLog("ウインドウモードにします\n");
    if (width > desktop_width || height > desktop_height) {
      GfxFatal("デスクトップ画面のサイズが足りません、ソフトを終了します");
    }
    if (*mode_changed) {
      GfxLog("フルスクリーンモードから抜けます\n");
      object->RestoreDisplayMode();
      *mode_changed = false;
    }
    const int desktop_bits = Config().desktop_bits;
    if (desktop_bits == 24) {
      GfxLogIndent(-1);
      return -1;
    }
    *out_color_bits = desktop_bits;
    if (Failed(object->SetCooperativeLevel(window, kCoopNormal))) {
      GfxFatal("DirectDrawの協調レベルの設定に失敗しました、ソフトを終了します");
    }
    *out_level = kCoopNormal;
  } else {
    if (color_bits == 24) {
      GfxLogIndent(-1);
      return -1;
    }
    GfxLog("画面解像度を変更します... ");
    if (!Tolerated(object->SetCooperativeLevel(window, kCoopExclusive | kCoopFullscreen))) {
      GfxFatal("DirectDrawの協調レベルの設定に失敗しました、ソフトを終了します");
    }
    *out_level = kCoopExclusive | kCoopFullscreen;
    if (Failed(object->SetDisplayMode(width, height, color_bits, Screen().refresh_rate))) {
      Screen().refresh_rate = 0;
      if (Failed(object->SetDisplayMode(width, height, color_bits, 0))) {
        GfxLog("画面モードの変更に失敗しました\n");
        GfxLogIndent(-1);
        return -1;
      }
    }
    *out_color_bits = color_bits;
    *mode_changed = true;
    GfxLog("成功しました\n");
  }
  GfxLogIndent(-1);
  GfxLog("画面モードの変更は正常に終了しました \n");
  return 0;
}

int RestoreScreenMode() {
  if (!g_dd.object) return -1;
  if (g_dd.cooperative_level & kCoopExclusive) {
    g_dd.object->SetCooperativeLevel(g_dd.window, kCoopNormal);
    g_dd.cooperative_level = kCoopNormal;
    g_dd.object->RestoreDisplayMode();
  }
  g_dd.display_mode_changed = false;
  GfxLog("画面モードを元に戻す処理は正常に終了しました\n");
  return 0;
}

int CreateScreenSurfaces() {
  if (!g_dd.object || g_surfaces.primary) return -1;
  GfxLog("出力画面用の DirectDrawSurface を作成します\n");
  GfxLogIndent(1);
  const int w = ReadWidth(), h = ReadHeight();
  const bool sys = g_dd.system_memory_only;
  const uint32_t memory = sys ? kCapsSystemMemory : kCaps3DDevice;
  SurfaceDesc primary;
  SurfaceDesc back;
  back.width = w;
  back.height = h;
  back.caps = kCapsOffscreenPlain | memory;
  if (Host().windowed) {
    primary.caps = kCapsPrimary | memory;
    if (!(g_surfaces.primary = MakeSurface(primary))) {
      GfxFatal("プライマリサーフェスの作成に失敗しました");
    }
    if (!(g_surfaces.back = MakeSurface(back))) GfxFatal("バックサーフェスの作成に失敗しました");
    FillBlack(g_surfaces.back);
  } else if (!sys) {
    primary.caps = kCapsPrimary | kCapsFlip | kCapsComplex | kCaps3DDevice;
    primary.back_buffer_count = 1;
    if (!(g_surfaces.primary = MakeSurface(primary))) {
      GfxFatal("プライマリサーフェスの作成に失敗しました");
    }
    g_surfaces.back = g_surfaces.primary->attached_back_buffer();
    if (!g_surfaces.back) GfxFatal("バックバッファのポインタ取得に失敗しました");
    g_surfaces.back->AddRef();
    for (int i = 0; i < 3; ++i) {
      FillBlack(g_surfaces.back);
      g_surfaces.primary->Flip(kFlipNoVsync);
    }
  } else {
    primary.caps = kCapsPrimary;
    if (!(g_surfaces.primary = MakeSurface(primary))) {
      GfxFatal("プライマリサーフェスの作成に失敗しました");
    }
    if (!(g_surfaces.back = MakeSurface(back))) GfxFatal("バックサーフェスの作成に失敗しました");
    FillBlack(g_surfaces.primary);
    FillBlack(g_surfaces.back);
  }
  SurfaceDesc work;
  work.caps = kCapsOffscreenPlain | kCapsSystemMemory;
  work.width = w;
  work.height = h;
  if (!(g_surfaces.work1 = MakeSurface(work))) GfxFatal("作業用サーフェスの作成に失敗しました");
  g_surfaces.work1->SetColorKey(0, 0);
  if (!(g_surfaces.work2 = MakeSurface(work))) GfxFatal("作業用サーフェス２の作成に失敗しました");
  g_surfaces.work2->SetColorKey(0, 0);
  GfxLog("各スクリーンメモリの配置位置\n");
  GfxLogIndent(1);
  GfxLog("PrimaryBuffer : %s  ",
         g_surfaces.primary->in_video_memory() ? "VIDEOMEMORY" : "SYSTEMMEMORY");
  GfxLog("BaskBuffer : %s  ", g_surfaces.back->in_video_memory() ? "VIDEOMEMORY" : "SYSTEMMEMORY");
  GfxLogIndent(-2);
  GfxLog("出力画面用の DirectDrawSurface の作成は正常に終了しました\n");
  return 0;
}

int ReleaseScreenSurfaces() {
  if (g_surfaces.primary) {
    GfxLog("メインサーフェスを破棄をします... 完了しました\n");
    g_surfaces.primary->SetClipper(nullptr);
    if (g_surfaces.back) g_surfaces.back->Release();
    g_surfaces.primary->Release();
  } else if (g_surfaces.back) {
    g_surfaces.back->Release();
  }
  if (g_surfaces.work1) g_surfaces.work1->Release();
  if (g_surfaces.work2) g_surfaces.work2->Release();
  g_surfaces.primary = g_surfaces.back = g_surfaces.work1 = g_surfaces.work2 = nullptr;
  g_surfaces.draw_target = nullptr;
  return 0;
}

int CreateScreenPalette() {
  if (g_dd.palette || GetScreenColorBits() != 8 || !g_dd.object) return 0;
  BuildDefaultPalette();
  if (Failed(g_dd.object->CreatePalette(g_default_palette, &g_dd.palette))) {
    GfxFatal("パレットの作成に失敗しました");
  }
  return 0;
}

int ShutdownDirectDraw() {
  if (!g_dd.object) return 0;
  GfxLog("DirectDraw 関連の終了処理をおこないます\n");
  GfxLogIndent(1);
  ReleasePalette();
  EndGraphicsManager();
  DeleteAllSurface2D();
  TerminateDirect3D();
  ReleaseScreenSurfaces();
  if (g_dd.clipper) g_dd.clipper->Release();
  g_dd.clipper = nullptr;
  RestoreScreenMode();
  GfxLog("ＤｉｒｅｃｔＤｒａｗオブジェクトを解放します\n");
  ReleaseObject();
  GfxLog("ＤｉｒｅｃｔＤｒａｗオブジェクトを解放しました\n");
  GfxLogIndent(-1);
  GfxLog("DirectDraw 関連の終了処理は正常に終了しました\n");
  g_dd.ready = false;
  return 0;
}

int SetDirect3DDisabled(int flag) {
  g_dd.direct3d_disabled = flag != 0;
  return 0;
}

int GetScreenResolution(int* width, int* height) {
  if (width) *width = ReadWidth();
  if (height) *height = ReadHeight();
  return 0;
}

int GetScreenColorBits() { return g_screen.color_bits ? g_screen.color_bits : 16; }
void SetScreenColorBits(int bits) { g_screen.color_bits = bits; }
Surface* GetDrawTargetSurface() { return g_surfaces.draw_target; }
Surface* GetPrimarySurface() { return g_surfaces.primary; }
Surface* GetBackSurface() { return g_surfaces.back; }
Surface* GetWorkSurface(int which) { return which == 2 ? g_surfaces.work2 : g_surfaces.work1; }
DirectDraw* GetDirectDrawObject() { return g_dd.object; }
int IsDisplayModeChanged() { return g_dd.display_mode_changed ? 1 : 0; }
int IsSystemMemoryOnly() { return g_dd.system_memory_only ? 1 : 0; }
ColorFormatBlock* GetScreenColorFormat() { return &ScreenFormat().block; }

void* CopyDeviceCaps(void* buffer) {
  if (buffer) std::memcpy(buffer, g_dd.device_caps, sizeof g_dd.device_caps);
  return buffer;
}

const char* GetOverlayFormat() {
  if (ReadWidth() < 640 || ReadHeight() < 400 || g_dd.overlay_format_index < 0) return nullptr;
  return kOverlayRows[g_dd.overlay_format_index].name;
}

int IsDrawingToPrimaryInWindow() {
  return Host().windowed && g_surfaces.draw_target && g_surfaces.draw_target == g_surfaces.primary
             ? 1
             : 0;
}

const uint32_t* BlendMultiplyRow(int p) { return g_blend_table[p & 255]; }

const PaletteEntry* DefaultScreenPalette() {
  BuildDefaultPalette();
  return g_default_palette;
}
