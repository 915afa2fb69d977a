#include "core/screen_log.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "core/entry_bodies.h"
#include "graphics/font_cache.h"
#include "graphics/font_draw.h"
#include "graphics/font_handles.h"
#include "graphics/graphics_host.h"
#include "graphics/screen.h"

namespace {

ScreenLogState g_log = [] {
  ScreenLogState s{};
  s.font = -1;
  s.font_deleted = 1;
  s.font_height = 16;
  s.tab_width = 4;
  return s;
}();

bool EnabledByEnvironment() {
  const char* v = std::getenv("KESTO_SCREEN_LOG");
  return v && *v && std::strcmp(v, "0") != 0;
}

void NewLine() {
  if (g_log.line + 1 >= kScreenLogLines) {
    std::memmove(g_log.store[0], g_log.store[1], sizeof g_log.store - sizeof g_log.store[0]);
  } else {
    ++g_log.line;
  }
  std::memset(g_log.store[g_log.line], 0, kScreenLogLineBytes);
  g_log.column = 0;
}

void Put(char c) {
  if (g_log.column >= kScreenLogLineBytes - 1) NewLine();
  g_log.store[g_log.line][g_log.column++] = c;
}

}  // namespace

ScreenLogState& GetScreenLogState() { return g_log; }

int InitScreenLog() {
  if (!GetDirectDrawObject() || !Host().window) return -1;
  if (g_log.prepared) return 0;
  g_log.prepared = 1;
  g_log.font_height = 16;
  g_log.font = -1;
  g_log.font_deleted = 1;
  RecreateScreenLogFont();
  // Nothing in the program turns the log on; a maintainer can, from the
  // environment.
  g_log.enabled = EnabledByEnvironment() ? 1 : 0;
  g_log.tab_width = 4;
  g_log.line = 0;
  g_log.column = 0;
  std::memset(g_log.store, 0, sizeof g_log.store);
  return 0;
}

int RecreateScreenLogFont() {
  if (!g_log.prepared && InitScreenLog() != 0) return 0;
  if (g_log.font_deleted) {
    // After a lost display every font is made again under its old handle;
    // the log takes that one back rather than making another beside it.
    if (!IsValidFontHandle(g_log.font)) {
      g_log.font = CreateFontToHandle(nullptr, g_log.font_height, 4, 1, -1, -1, -1, -1);
    }
    g_log.font_deleted = 0;
    AttachFontDeleteFlag(g_log.font, &g_log.font_deleted);
  }
  return 0;
}

int DrawScreenLog() {
  if (!g_log.prepared && InitScreenLog() != 0) return 0;
  RecreateScreenLogFont();
  // Without its font every line would only log that the font is missing.
  if (!IsValidFontHandle(g_log.font)) return 0;
  int width = 0, height = 0;
  GetScreenResolution(&width, &height);
  const int visible = std::min(height / std::max(g_log.font_height, 1), kScreenLogLines);
  const int last = g_log.column > 0 ? g_log.line : g_log.line - 1;
  const int first = std::max(0, last + 1 - visible);
  const int white = PackRgbColorBody(255, 255, 255), black = PackRgbColorBody(0, 0, 0);
  for (int i = first; i <= last; ++i) {
    PrintStringWithFont(0, g_log.font_height * (i - first), g_log.store[i], white, g_log.font,
                        black, 0);
  }
  return 0;
}

int IsScreenLogEnabled() { return g_log.enabled; }

int SetScreenLogEnabled(int enabled) {
  g_log.enabled = enabled ? 1 : 0;
  return 0;
}

int EndScreenLog() {
  if (!g_log.prepared) return 0;
  if (!g_log.font_deleted) DestroyFont(g_log.font);
  g_log.font_deleted = 1;
  g_log.font = -1;
  g_log.prepared = 0;
  return 0;
}

void AddScreenLogText(const char* text) {
  if (!g_log.enabled || !text) return;
  for (const char* p = text; *p; ++p) {
    const char c = *p;
    if (c == '\r') continue;
    if (c == '\n') {
      NewLine();
    } else if (c == '\t') {
      const int stop = (g_log.column / g_log.tab_width + 1) * g_log.tab_width;
      while (g_log.column < stop && g_log.column < kScreenLogLineBytes - 1) Put(' ');
    } else if (IsMultiByteLead(p, 1) && p[1]) {
      // A two-byte character stays on one line.
      if (g_log.column >= kScreenLogLineBytes - 2) NewLine();
      Put(c);
      Put(*++p);
    } else {
      Put(c);
    }
  }
}
