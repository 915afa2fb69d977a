#include "graphics/graphics_host.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/app_log.h"
#include "core/tracked_memory.h"
#include "graphics/screen.h"
#include "platform/video/display.h"

namespace {
GraphicsHost g_host;
std::vector<std::string> g_lines;
int g_indent = 0;
constexpr size_t kKeptLines = 4096;

// A message ending in a line feed is written as it stands, and so is a
// progress message ending in a blank ("... "), whose result follows on the
// same line; any other message gets its own line.
void WriteToAppLog(const char* text) {
  const size_t n = std::strlen(text);
  if (n == 0) return;
  if (text[n - 1] == '\n' || text[n - 1] == ' ') {
    WriteLog(text);
  } else {
    WriteLogFormat("%s", text);
  }
}
}  // namespace

GraphicsHost& Host() { return g_host; }

void ResetGraphicsHost() {
  g_host = GraphicsHost{};
  g_indent = 0;
  g_lines.clear();
}

void GfxLog(const char* format, ...) {
  char buffer[1024];
  va_list args;
  va_start(args, format);
  std::vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  std::string line(static_cast<size_t>(g_indent), '\t');
  line += buffer;
  if (g_lines.size() >= kKeptLines) g_lines.erase(g_lines.begin());
  g_lines.push_back(line);
  if (g_host.log) g_host.log(line);
  WriteToAppLog(buffer);
}

void GfxLogIndent(int delta) {
  g_indent += delta;
  if (g_indent < 0) g_indent = 0;
  for (; delta > 0; --delta) IncreaseLogIndent();
  for (; delta < 0; ++delta) DecreaseLogIndent();
}

const std::vector<std::string>& GfxLogLines() { return g_lines; }
void ClearGfxLogLines() { g_lines.clear(); }

void GfxFatal(const char* message) {
  GfxLog("%s", message);
  if (g_host.fatal) g_host.fatal(message);
  std::fprintf(stderr, "kesto: fatal: %s\n", message);
  std::exit(1);
}

void* GfxAlloc(size_t size, const char* source, int line) {
  if (size > UINT32_MAX) return nullptr;
  return AllocTrackedZeroed(static_cast<uint32_t>(size), source, static_cast<int16_t>(line));
}
void GfxFree(void* p) { FreeTracked(p); }

platform::video::Rect ClientRectInDesktop() {
  if (g_host.client_rect) return g_host.client_rect();
  int w = 0, h = 0;
  GetScreenResolution(&w, &h);
  double s = g_host.window_scale;
  if (!(s > 0.0 && s <= 64.0)) s = 1.0;
  return {0, 0, static_cast<int>(w * s + 0.5), static_cast<int>(h * s + 0.5)};
}

void DesktopSize(int* width, int* height) {
  if (g_host.desktop_size) {
    g_host.desktop_size(width, height);
    return;
  }
  *width = platform::video::Config().desktop_width;
  *height = platform::video::Config().desktop_height;
}

void WaitWhileWindowInactive() {
  if (g_host.wait_while_inactive) g_host.wait_while_inactive();
}

int PumpOnce() { return g_host.pump ? g_host.pump() : 0; }
