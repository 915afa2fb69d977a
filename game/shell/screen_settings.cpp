#include "shell/screen_settings.h"

#include <cstdint>
#include <cstdio>
#include <string>

#include "kesto/kesto.h"
#include "screens/text_file.h"
#include "shell/frame.h"

namespace {

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// One "%d" conversion at `pos`; false (and pos unchanged past the blanks) when
// no digits follow.
bool ReadInt(std::string_view text, size_t& pos, int& out) {
  while (pos < text.size() && IsSpace(text[pos])) ++pos;
  size_t p = pos;
  bool negative = false;
  if (p < text.size() && (text[p] == '+' || text[p] == '-')) negative = text[p++] == '-';
  if (p >= text.size() || text[p] < '0' || text[p] > '9') return false;
  int64_t value = 0;
  while (p < text.size() && text[p] >= '0' && text[p] <= '9') {
    if (value <= INT32_MAX) value = value * 10 + (text[p] - '0');
    ++p;
  }
  if (negative) value = -value;
  if (value > INT32_MAX) value = INT32_MAX;
  if (value < INT32_MIN) value = INT32_MIN;
  out = static_cast<int>(value);
  pos = p;
  return true;
}

}  // namespace

ScreenSettings ParseScreenSettings(std::string_view text) {
  ScreenSettings s{0, 0};
  size_t pos = 0;
  if (ReadInt(text, pos, s.window_flag)) ReadInt(text, pos, s.frame_wait);
  return s;
}

ScreenSettings LoadScreenSettings(const char* path) {
  // The two numbers stand at the start; nothing past this changes them.
  constexpr size_t kReadAtMost = 64 * 1024;
  TextFileReader in(path, kReadAtMost);
  std::string text;
  in.ReadRest(&text);
  in.Close();
  if (in.missing()) return ScreenSettings{0, 1};
  if (in.failed()) {
    // As if it were missing: a folder or a failing disk must not stop the game.
    std::fprintf(stderr, "%s: cannot be read (%s); full screen with frame pacing\n", path,
                 in.failure());
    return ScreenSettings{0, 1};
  }
  return ParseScreenSettings(text);
}

int ReadScreenSettings() {
  ScreenSettings s = LoadScreenSettings("screen.txt");
  g_frame_clock.window_flag = s.window_flag;
  g_frame_clock.frame_wait = s.frame_wait;
  ChangeWindowMode(s.window_flag);
  return 0;
}
