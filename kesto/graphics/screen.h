// The screen: the DirectDraw object, its clipper, cooperative level and
// display mode, the four screen surfaces, the 8-bit palette, and the
// screen-mode switch that tears every graphic down and builds it again.
#pragma once

#include <cstdint>

#include "graphics/color_format.h"
#include "platform/video/direct_draw.h"

struct ScreenSettings {
  int width;
  int height;
  int color_bits;
  int refresh_rate;
};

struct ScreenSurfaces {
  platform::video::Surface* primary;
  platform::video::Surface* back;
  platform::video::Surface* work1;
  platform::video::Surface* work2;
  platform::video::Surface* draw_target;
};

struct DirectDrawState {
  platform::video::WindowId window;
  platform::video::DirectDraw* object;
  platform::video::Clipper* clipper;
  platform::video::Palette* palette;
  uint8_t device_caps[380];
  uint32_t cooperative_level;
  bool display_mode_changed;
  int overlay_format_index;
  bool ready;
  bool direct3d_disabled;
  bool system_memory_only;
  bool cpu_probe_flag;
  int last_mode_switch_ms;
};

ScreenSettings& Screen();
ScreenSurfaces& Surfaces();
DirectDrawState& DDState();
// Forgets every setting (tests; the object must be gone).
void ResetScreenStateForTesting();

int StartDirectDraw(platform::video::WindowId window);
int StopDirectDraw();
int InitializeDirectDraw();
int CreateDirectDrawObject(platform::video::DirectDraw** out);
int SwitchScreenMode(int width, int height, int color_bits, int force, int refresh_rate);
int SetScreenResolution(int width, int height, int color_bits, int refresh_rate);
int SetVideoMemoryUseAndReset(int use_video_memory);
int SetCooperativeLevelAndMode(platform::video::DirectDraw* object, int desktop_width,
                               int desktop_height, int width, int height, int color_bits,
                               int* out_color_bits, uint32_t* out_level, int window_flag,
                               bool* mode_changed, platform::video::WindowId window);
int RestoreScreenMode();
int CreateScreenSurfaces();
int ReleaseScreenSurfaces();
int CreateScreenPalette();
int ShutdownDirectDraw();

// Accessors.
int SetDirect3DDisabled(int flag);
int GetScreenResolution(int* width, int* height);
int GetScreenColorBits();
void SetScreenColorBits(int bits);
platform::video::Surface* GetDrawTargetSurface();
platform::video::Surface* GetPrimarySurface();
platform::video::Surface* GetBackSurface();
platform::video::Surface* GetWorkSurface(int which);
platform::video::DirectDraw* GetDirectDrawObject();
int IsDisplayModeChanged();
int IsSystemMemoryOnly();
ColorFormatBlock* GetScreenColorFormat();
void* CopyDeviceCaps(void* buffer);
// The accepted overlay format row name, or null.
const char* GetOverlayFormat();
int IsDrawingToPrimaryInWindow();
// (p * v) >> 8 for the software blitters' alpha blending.
const uint32_t* BlendMultiplyRow(int p);
// The default palette of an 8-bit screen.
const platform::video::PaletteEntry* DefaultScreenPalette();
