// Where drawing goes and how it blends: the draw target, the draw area, the
// blend mode and parameter, brightness, and the creation settings that new
// graphics copy.
#pragma once

#include <cstdint>

#include "platform/video/video_types.h"

struct DrawState {
  int target;
  platform::video::Rect front_screen_rect;
  platform::video::Rect area;
  int target_width;
  int target_height;
  int blend_mode;
  int blend_param;
  int brightness;
  int area_empty;
  // Creation settings of new graphics.
  int color_depth;
  int use_3d;
  int draw_valid;
  int alpha_channel;
  int alpha_test;
  int system_memory;
  uint32_t transparent_color;
  // Drawing refuses while the target is invalid; set when none is selected.
  int target_invalid;
  int target_in_video_memory;
  // Graphics are suspended (nothing drawn, waits return at once).
  int suspended;
  // Set by graphics start-up, cleared by its end.
  int started;
};

namespace draw_state_internal {
extern DrawState g_state;
}  // namespace draw_state_internal
// Inline: every draw reads it several times.
inline DrawState& GetDrawState() { return draw_state_internal::g_state; }

int SetDrawTarget(int target);
int GetDrawTarget();
int ApplyDrawArea(int x1, int y1, int x2, int y2);
int ClipRect(platform::video::Rect* rect, const platform::video::Rect& bounds);
int SelectBlendMode(int mode, int param);
int WipeDrawTarget();
int SetFrontBufferScreenRect(const platform::video::Rect& rect);
int SetUse3DFlag(int flag);
int IsDirect3DInUse();
int GetScreenSizeAndDepth(int* width, int* height, int* bits);
int IsRestoreCallbackSet();
