// The simulated display behind the DirectDraw-like stand-in: the desktop, the
// modes a full-screen program may set, the video-memory budget, the vertical
// blank driven by the injectable clock, and the lost-display switch.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "platform/video/video_types.h"

namespace platform::video {

struct DisplayMode {
  int width;
  int height;
  int bits;
  int refresh;  // 0: any refresh rate is accepted
};

struct DisplayConfig {
  int desktop_width = 1280;
  int desktop_height = 1024;
  int desktop_bits = 32;
  // Modes SetDisplayMode accepts; 8-bit modes are never offered.
  std::vector<DisplayMode> modes = {
      {640, 480, 16, 0}, {640, 480, 32, 0}, {800, 600, 16, 0},
      {800, 600, 32, 0}, {1024, 768, 16, 0}, {1024, 768, 32, 0}};
  int refresh_hz = 60;
  uint32_t video_memory_bytes = 64u * 1024u * 1024u;
  const char* driver_name = "kesto-memory-display";
  const char* driver_description = "In-memory display (Kesto stand-in)";
  uint64_t driver_version = 0x0001000200030004ull;
};

// The process-wide display. Tests change it before creating objects.
DisplayConfig& Config();
// Restores the defaults and forgets the lost state (for tests).
void ResetDisplayForTesting();

// Video memory in use by live video-memory surfaces.
uint32_t VideoMemoryUsed();

// Window geometry, supplied by the window layer: the client rectangle of a
// window in desktop coordinates. Without a provider a window's client area
// is the whole desktop.
using ClientRectProvider = std::function<bool(WindowId, Rect*)>;
void SetClientRectProvider(ClientRectProvider provider);
Rect ClientRectOf(WindowId window);

// Lost display: every video-memory surface becomes lost and its pixels are
// overwritten with kLostMarkerByte until restored; Restore fails while the
// display stays lost.
constexpr uint8_t kLostMarkerByte = 0xA5;
void SimulateDisplayLoss();
void EndDisplayLoss();
bool IsDisplayLost();

// The simulated beam, 45 blank lines below the visible height, at the
// configured refresh, on the current clock.
struct BeamState {
  int scan_line;
  bool in_blank;
};
BeamState ReadBeam(int visible_height);
// Nanoseconds until the next blank begins.
uint64_t NanosecondsToNextBlank(int visible_height);

}  // namespace platform::video
