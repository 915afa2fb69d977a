#include "platform/video/display.h"

#include <algorithm>

#include "platform/clock.h"
#include "platform/video/display_registry.h"
#include "platform/video/surface.h"

namespace platform::video {
namespace {
DisplayConfig g_config;
bool g_lost = false;
ClientRectProvider g_client_rect;
std::vector<Surface*> g_surfaces;
uint32_t g_video_used = 0;
}  // namespace

DisplayConfig& Config() { return g_config; }

void ResetDisplayForTesting() {
  g_config = DisplayConfig{};
  g_lost = false;
  g_client_rect = nullptr;
}

uint32_t VideoMemoryUsed() { return g_video_used; }

void SetClientRectProvider(ClientRectProvider provider) { g_client_rect = std::move(provider); }

Rect ClientRectOf(WindowId window) {
  Rect r{0, 0, g_config.desktop_width, g_config.desktop_height};
  if (g_client_rect) {
    Rect provided;
    if (g_client_rect(window, &provided)) r = provided;
  }
  return r;
}

void SimulateDisplayLoss() {
  g_lost = true;
  for (Surface* s : g_surfaces) s->MarkLost();
}

void EndDisplayLoss() { g_lost = false; }
bool IsDisplayLost() { return g_lost; }

static uint64_t PeriodNs() {
  const int hz = g_config.refresh_hz > 0 ? g_config.refresh_hz : 60;
  return 1000000000ull / static_cast<uint64_t>(hz);
}

BeamState ReadBeam(int visible_height) {
  const uint64_t period = PeriodNs();
  const uint64_t phase = CurrentClock().NowNanoseconds() % period;
  const uint64_t total = static_cast<uint64_t>(std::max(visible_height, 1)) + 45;
  const int line = static_cast<int>(phase * total / period);
  return {line, line >= visible_height};
}

uint64_t NanosecondsToNextBlank(int visible_height) {
  const uint64_t period = PeriodNs();
  const uint64_t phase = CurrentClock().NowNanoseconds() % period;
  const uint64_t total = static_cast<uint64_t>(std::max(visible_height, 1)) + 45;
  // First phase whose line is the first blank line.
  const uint64_t start =
      (static_cast<uint64_t>(std::max(visible_height, 1)) * period + total - 1) / total;
  return phase < start ? start - phase : period - phase + start;
}

void RegisterSurface(Surface* s, uint32_t video_bytes) {
  g_surfaces.push_back(s);
  g_video_used += video_bytes;
}

void UnregisterSurface(Surface* s, uint32_t video_bytes) {
  g_surfaces.erase(std::remove(g_surfaces.begin(), g_surfaces.end(), s), g_surfaces.end());
  g_video_used -= std::min(g_video_used, video_bytes);
}

}  // namespace platform::video
