#include "graphics/draw_state.h"

#include <algorithm>
#include <utility>

#include "core/entry_bodies.h"
#include "graphics/color_format.h"
#include "graphics/device3d_services.h"
#include "graphics/graphic_table.h"
#include "graphics/graphics_host.h"
#include "graphics/graphics_manager.h"
#include "graphics/screen.h"
#include "graphics/surface_2d.h"

using platform::video::Rect;

namespace draw_state_internal {
DrawState g_state = [] {
  DrawState s{};
  s.target = -2;
  s.brightness = -1;
  s.use_3d = 1;
  s.alpha_test = 1;
  s.target_invalid = 1;
  return s;
}();
}  // namespace draw_state_internal

namespace {
using draw_state_internal::g_state;
}  // namespace

int GetDrawTarget() { return g_state.target; }

int SetDrawTarget(int target) {
  if (!g_state.started) return -1;
  WaitWhileWindowInactive();
  if (target != -2 && target != -4 && !GetGraphicRecord(target)) return -1;
  const int old_target = g_state.target;
  const int old_w = g_state.target_width, old_h = g_state.target_height;
  g_state.target = target;
  if (target == -4 && Host().windowed) {
    g_state.front_screen_rect = ClientRectInDesktop();
  } else {
    g_state.front_screen_rect = Rect{};
  }
  const bool has_device = GraphicsManager().usable_3d != 0;
  const int r3d = has_device ? SetDrawTarget3D(target) : 0;
  const int r2d = SelectDrawTargetSurface(target);
  if (r2d == -1 && (!has_device || r3d == -1)) {
    // Neither device can draw there: the old target stays. Guard against
    // an old target that fails as well.
    g_state.target = old_target;
    if (old_target != target && SelectDrawTargetSurface(old_target) == -1) {
      g_state.target_invalid = 1;
    }
    if (has_device) SetDrawTarget3D(old_target);
    return 0;
  }
  int w = 0, h = 0;
  GetGraphicSize(target, &w, &h);
  g_state.target_width = w;
  g_state.target_height = h;
  if (w == old_w && h == old_h) {
    ApplyDrawArea(g_state.area.left, g_state.area.top, g_state.area.right, g_state.area.bottom);
  } else {
    ApplyDrawArea(0, 0, w, h);
  }
  return 0;
}

int ApplyDrawArea(int x1, int y1, int x2, int y2) {
  WaitWhileWindowInactive();
  int width = 0, height = 0;
  const int target = g_state.target;
  if (target == -4) {
    GetScreenResolution(&width, &height);
    if (Host().windowed) {
      const Rect client = ClientRectInDesktop();
      int dw = 0, dh = 0;
      DesktopSize(&dw, &dh);
      // Only the part of the client area on the desktop can be drawn; a
      // requested corner further in is kept.
      if (client.left < 0) x1 = std::max(x1, -client.left);
      if (client.top < 0) y1 = std::max(y1, -client.top);
      if (client.top + height >= dh) height = dh - client.top;
      if (client.left + width >= dw) width = dw - client.left;
    }
  } else if (target == -2) {
    GetScreenResolution(&width, &height);
  } else {
    if (GetGraphicSize(target, &width, &height) != 0) return 0;
  }
  if (x1 > x2) std::swap(x1, x2);
  if (y1 > y2) std::swap(y1, y2);
  width = std::max(width, 0);
  height = std::max(height, 0);
  x1 = std::clamp(x1, 0, width);
  x2 = std::clamp(x2, 0, width);
  y1 = std::clamp(y1, 0, height);
  y2 = std::clamp(y2, 0, height);
  g_state.area = Rect{x1, y1, x2, y2};
  if (x1 == x2 || y1 == y2) {
    g_state.area_empty = 1;
    return 0;
  }
  g_state.area_empty = 0;
  if (GetCurrentDevice3D() >= 0 && SetViewportFromArea(g_state.area) == -1) {
    GfxLog("ビューポートの設定に失敗しました %s", target == -4   ? "Front Buffer"
                                                  : target == -2 ? "Back Buffer"
                                                                 : "Image Buffer");
  }
  return 0;
}

int ClipRect(Rect* r, const Rect& b) {
  r->bottom = std::clamp(r->bottom, b.top, std::max(b.top, b.bottom));
  r->top = std::clamp(r->top, b.top, std::max(b.top, b.bottom));
  r->right = std::clamp(r->right, b.left, std::max(b.left, b.right));
  r->left = std::clamp(r->left, b.left, std::max(b.left, b.right));
  return 0;
}

int SelectBlendMode(int mode, int param) {
  if (mode == g_state.blend_mode && param == g_state.blend_param) return 0;
  WaitWhileWindowInactive();
  g_state.blend_mode = mode;
  g_state.blend_param = std::clamp(param, 0, 255);
  UpdateBlendShiftMasks(g_state.blend_param);
  SyncRenderStatesStub();
  return 0;
}

int WipeDrawTarget() {
  WaitWhileWindowInactive();
  if (GetCurrentDevice3D() >= 0) ClearDrawTarget3D();
  ClearDrawTargetSurface();
  return 0;
}

int SetFrontBufferScreenRect(const Rect& rect) {
  g_state.front_screen_rect = rect;
  return 0;
}

int SetUse3DFlag(int flag) {
  g_state.use_3d = flag;
  if (!GetDirectDrawObject()) SetDirect3DDisabled(flag == 0 ? 1 : 0);
  return 0;
}

int IsDirect3DInUse() {
  return g_state.use_3d == 1 && GraphicsManager().usable_3d && !IsSystemMemoryOnly() &&
                 GetCurrentDevice3D() >= 0
             ? 1
             : 0;
}

int GetScreenSizeAndDepth(int* width, int* height, int* bits) {
  GetScreenResolution(width, height);
  if (bits) *bits = GetScreenColorBits();
  return 0;
}

int IsRestoreCallbackSet() { return GraphicsManager().restore_callback ? 1 : 0; }

int ChooseDrawTargetBody(int target) { return SetDrawTarget(target); }
int ChooseBlendModeBody(int mode, int param) { return SelectBlendMode(mode, param); }
int EraseTargetScreenBody() {
  WipeDrawTarget();
  return 0;
}
