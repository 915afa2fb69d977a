// The waving banner and "PRESS SHOT BUTTON" drawn over play during the
// attract demo (DrawDemoOverlay, declared with the HUD pieces).
#pragma once

#include <cstdint>

// Advanced once per drawn overlay; drives the wave and the blink.
extern int32_t g_demo_overlay_frames;
