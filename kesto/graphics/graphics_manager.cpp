#include "graphics/graphics_manager.h"

#include "graphics/device3d_services.h"
#include "graphics/draw_state.h"
#include "graphics/font_handles.h"
#include "graphics/font_movie_services.h"
#include "graphics/graphic_table.h"
#include "graphics/graphics_host.h"
#include "graphics/present.h"
#include "graphics/screen.h"
#include "graphics/surface_2d.h"
#include "platform/video/direct_draw.h"

using namespace platform::video;

namespace {
GraphicsManagerState g_manager = {0, 0, &ReloadGraphicsFromFiles};

template <typename Fn>
void ForEachSurface2D(Fn fn) {
  RecordTable<Surface2D>& t = Surface2DTable();
  for (int i = 0; i < t.bound(); ++i) {
    if (Surface2D* s = t.at(i)) fn(*s);
  }
}
}  // namespace

GraphicsManagerState& GraphicsManager() { return g_manager; }

int StartGraphicsManager() {
  if (g_manager.started) return 0;
  GfxLog("グラフィック管理系の初期化を行います\n");
  GfxLogIndent(1);
  DrawState& s = GetDrawState();
  const GraphicsRestoreCallback callback = g_manager.restore_callback;
  const int suspended = s.suspended;
  const int blend_param = s.blend_param;
  // Nothing should be left from the last run; free what is.
  ClearGraphicTable();
  ClearSurface2DTable();
  ClearSurfaceRecordTable();
  g_manager = GraphicsManagerState{};
  g_manager.restore_callback = callback;
  s = DrawState{};
  s.suspended = suspended;
  s.use_3d = 1;
  s.color_depth = 0;
  s.alpha_test = 1;
  s.blend_mode = 0;
  s.blend_param = blend_param;
  s.brightness = -1;
  s.target_invalid = 1;
  g_manager.started = 1;
  s.started = 1;
  DeleteAllSurface2D();
  g_manager.usable_3d = GetCurrentDevice3D() >= 0 ? 1 : 0;
  GfxLog(g_manager.usable_3d ? "３Ｄグラフィック描画機能を使用します\n"
                             : "３Ｄグラフィック描画機能は使用しません\n");
  s.target = -2;
  SetDrawTarget(-4);
  int w = 0, h = 0;
  GetScreenResolution(&w, &h);
  ApplyDrawArea(0, 0, w, h);
  s.suspended = 0;
  if (g_manager.usable_3d) SetCullMode3D(0);
  SyncRenderStatesStub();
  ResetDefaultFontSettings();
  InitFontSystem();
  GfxLogIndent(-1);
  GfxLog("グラフィック管理系の初期化は正常に終了しました\n");
  return 0;
}

int EndGraphicsManager() {
  if (!g_manager.started) return 0;
  DeleteAllGraphics(0);
  InitFontSystem();
  DestroyFont(GetDefaultFontHandle());
  g_manager.started = 0;
  GetDrawState().started = 0;
  GfxLog("グラフィック管理系の終了処理は正常に終了しました\n");
  return 0;
}

int SetGraphicsRestoreCallback(GraphicsRestoreCallback callback) {
  g_manager.restore_callback = callback ? callback : &ReloadGraphicsFromFiles;
  return 0;
}

int FlagGraphicsForRestore() {
  RecreateAllFonts();
  RecordTable<GraphicRecord>& t = GraphicTable();
  for (int i = 0; i < t.bound(); ++i) {
    if (GraphicRecord* g = t.at(i)) g->restore_flag = 1;
  }
  if (g_manager.restore_callback) g_manager.restore_callback();
  return 0;
}

int RestoreLostScreenSurfaces() {
  if (!GetDirectDrawObject()) return -1;
  if (GetDrawState().suspended) return 0;
  for (Surface* s : {GetPrimarySurface(), GetBackSurface()}) {
    if (s && s->IsLost() == kErrSurfaceLost) s->Restore();
  }
  return 0;
}

int ReleaseAll2DSurfaceSurfaces() {
  if (!GetDirectDrawObject()) return 0;
  ForEachSurface2D([](Surface2D& s) { ReleaseSurfaceOfRecord(s.surface_record); });
  return 0;
}

int RecreateAll2DSurfaceSurfaces() {
  if (!GetDirectDrawObject()) return 0;
  ForEachSurface2D([](Surface2D& s) {
    CreateSurfaceOfRecord(s.surface_record);
    SetSurfaceColorKey(s.surface_record);
  });
  return 0;
}

int ReleaseWindowClipper() {
  DirectDrawState& dd = DDState();
  if (dd.clipper) dd.clipper->Release();
  dd.clipper = nullptr;
  return 0;
}

int RecreateWindowClipper() {
  DirectDrawState& dd = DDState();
  Clipper* c = nullptr;
  if (!dd.object || Failed(dd.object->CreateClipper(&c)) || Failed(c->SetWindow(dd.window))) {
    GfxLog("ＤｉｒｅｃｔＤｒａｗＣｌｉｐｐｅｒオブジェクトの作成に失敗しました\n");
    GfxFatal("クリッパーオブジェクトの作成失敗しました");
  }
  dd.clipper = c;
  return 0;
}

int RefreshScreenPalette() {
  DirectDrawState& dd = DDState();
  if (GetScreenColorBits() != 8) return 0;
  PaletteEntry entries[256];
  const bool had = dd.palette != nullptr;
  if (had) {
    dd.palette->GetEntries(0, 256, entries);
    dd.palette->Release();
    dd.palette = nullptr;
  }
  CreateScreenPalette();
  if (had && dd.palette) {
    dd.palette->SetEntries(0, 256, entries);
    dd.palette->GetEntries(0, 256, entries);
  }
  return 0;
}

int ReleaseDirectDrawForRecovery() {
  GfxLog("ＤｉｒｅｃｔＤｒａｗオブジェクトを解放します\n");
  DirectDrawState& dd = DDState();
  if (!dd.object) {
    GfxLog("既に解放されています\n");
    return 0;
  }
  ReleaseAll2DSurfaceSurfaces();
  if (!Host().windowed && dd.display_mode_changed) {
    dd.object->SetCooperativeLevel(dd.window, kCoopNormal);
    dd.object->RestoreDisplayMode();
    dd.display_mode_changed = false;
  }
  if (dd.palette) dd.palette->Release();
  dd.palette = nullptr;
  ReleaseWindowClipper();
  dd.object->Release();
  dd.object = nullptr;
  GfxLog("ＤｉｒｅｃｔＤｒａｗオブジェクトを解放しました\n");
  return 0;
}

int ReapplyScreenMode() {
  DirectDrawState& dd = DDState();
  int dw = 0, dh = 0;
  DesktopSize(&dw, &dh);
  ScreenSettings& s = Screen();
  int bits = s.color_bits;
  if (SetCooperativeLevelAndMode(dd.object, dw, dh, s.width, s.height, s.color_bits, &bits,
                                 &dd.cooperative_level, Host().windowed ? 1 : 0,
                                 &dd.display_mode_changed, dd.window) == 0) {
    s.color_bits = bits;
  }
  return 0;
}

int RecreateDirectDrawAfterLoss() {
  DirectDrawState& dd = DDState();
  if (dd.object) return 0;
  if (CreateDirectDrawObject(&dd.object) != 0) {
    GfxFatal("DirectDraw オブジェクトの作成処理時にエラーが発生しました");
  }
  ReapplyScreenMode();
  RecreateAll2DSurfaceSurfaces();
  RecreateWindowClipper();
  return 0;
}

int RecoverGraphicsDevice() {
  // The movies' streams hold the old DirectDraw object and surfaces made
  // from it: they go first, keeping their stream times, and come back at
  // the end (the display-change path has released them already).
  ReleaseAllMovieInterfaces();
  ReleaseDirect3D();
  ReleaseScreenSurfaces();
  if (Host().stop_input) Host().stop_input();
  ReleaseAll2DSurfaceSurfaces();
  ReleaseWindowClipper();
  ReleaseDirectDrawForRecovery();
  RecreateDirectDrawAfterLoss();
  CreateScreenSurfaces();
  RefreshScreenPalette();
  SelectDrawTargetSurface(GetDrawTarget());
  ReacquireDirect3D();
  if (!GetDrawState().suspended) {
    WaitWhileWindowInactive();
    if (g_manager.usable_3d) ClearDrawTarget3D();
    ClearDrawTargetSurface();
  }
  PresentFrame();
  FlagGraphicsForRestore();
  ReopenAllMovies();
  return 0;
}
