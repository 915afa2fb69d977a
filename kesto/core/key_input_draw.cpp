// Drawing a key-input line with the default font: the text in the first
// colour, the cursor (blinking) in the second; while the line is active,
// the input method's composition at the cursor in the third colour with
// the clause being converted in the fourth, and a candidate list below it
// in the fifth, the chosen candidate in the sixth, inside a frame in the
// seventh.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "core/entry_bodies.h"
#include "core/key_input.h"
#include "core/text_input.h"
#include "core/window_state.h"
#include "graphics/font_draw.h"
#include "graphics/font_handles.h"
#include "graphics/screen.h"
#include "platform/clock.h"
#include "platform/window/ime.h"

namespace pw = platform::window;

namespace {

constexpr int kRgb[7][3] = {{255, 255, 255}, {255, 255, 255}, {255, 255, 0}, {0, 255, 255},
                            {255, 255, 255}, {255, 50, 50},   {255, 255, 20}};

int Width(const std::string& text, int font) {
  if (text.empty()) return 0;
  const int pen =
      FontCacheStringDraw(0, 0, 0, text.c_str(), 0, nullptr, nullptr, 0, platform::video::Rect{},
                          GetScreenColorBits(), 1, font, 0, -1, 0, nullptr);
  return std::max(pen, 0);
}

void Draw(int x, int y, const std::string& text, int color, int font) {
  if (!text.empty()) PrintStringWithFont(x, y, text.c_str(), color, font, 0, 0);
}

void Bar(int x, int y, int height, int color) {
  PaintRectangleBody(x, y, x + 2, y + height, color, 1);
}

// The composition, clause by clause; the clause that starts at the
// composition cursor, when there are several, is the one being converted.
// Returns its width.
int DrawComposition(int x, int y, int height, int font, bool cursor_on) {
  const TextInputState& t = TextInput();
  const ImeState& ime = t.ime;
  const std::string text = ime.composition;
  const int total = static_cast<int>(text.size());
  // The composition cursor in bytes.
  int cursor = 0;
  for (int chars = 0; cursor < total && chars < ime.composition_cursor; ++chars) {
    cursor += IsCharLeadByte(static_cast<uint8_t>(text[cursor])) && cursor + 1 < total ? 2 : 1;
  }
  std::vector<int> starts;
  for (int i = 0; i < ime.clause_count && i < kCompositionBytes / 4; ++i) {
    uint32_t v = 0;
    for (int b = 0; b < 4; ++b) v |= static_cast<uint32_t>(ime.clauses[i * 4 + b]) << (8 * b);
    starts.push_back(static_cast<int>(std::min<uint32_t>(v, static_cast<uint32_t>(total))));
  }
  if (starts.empty() || starts.front() != 0) starts.insert(starts.begin(), 0);
  if (starts.back() != total) starts.push_back(total);
  int pen = x;
  for (size_t i = 0; i + 1 < starts.size(); ++i) {
    const int from = starts[i], to = std::max(starts[i], starts[i + 1]);
    const bool converting = starts.size() > 2 && from == cursor && to > from;
    const std::string piece =
        text.substr(static_cast<size_t>(from), static_cast<size_t>(to - from));
    const int color = t.colors[converting ? 3 : 2];
    Draw(pen, y, piece, color, font);
    const int w = Width(piece, font);
    // Underlined, as an input method marks what is not yet committed.
    if (w > 0) PaintRectangleBody(pen, y + height - 1, pen + w, y + height, color, 1);
    pen += w;
  }
  if (cursor_on)
    Bar(x + Width(text.substr(0, static_cast<size_t>(cursor)), font), y, height, t.colors[1]);
  return pen - x;
}

void DrawCandidates(int x, int y, int height, int font) {
  const TextInputState& t = TextInput();
  const auto* list = static_cast<const uint8_t*>(t.ime.candidates);
  pw::CandidateListHeader h{};
  std::memcpy(&h, list, sizeof h);
  const uint64_t offsets_end = sizeof h + 4ull * h.count;
  if (h.count == 0 || offsets_end > h.size) return;
  const uint32_t first = h.page_start < h.count ? h.page_start : 0;
  const uint32_t shown = std::min<uint32_t>(h.page_size ? h.page_size : 9, h.count - first);
  int widest = 0;
  std::vector<std::string> lines;
  for (uint32_t i = 0; i < shown; ++i) {
    uint32_t offset = 0;
    std::memcpy(&offset, list + sizeof h + 4 * (first + i), 4);
    std::string text;
    for (uint32_t p = offset; p < h.size && list[p] != 0; ++p) text += static_cast<char>(list[p]);
    char number[16];
    std::snprintf(number, sizeof number, "%u:", i + 1);
    lines.push_back(number + text);
    widest = std::max(widest, Width(lines.back(), font));
  }
  PaintRectangleBody(x - 2, y - 2, x + widest + 2, y + height * static_cast<int>(shown) + 2,
                     t.colors[6], 0);
  for (uint32_t i = 0; i < shown; ++i) {
    Draw(x, y + height * static_cast<int>(i), lines[i], t.colors[first + i == h.selection ? 5 : 4],
         font);
  }
}

}  // namespace

int DrawKeyInputString(int x, int y, int handle) {
  const TextEntrySlot* s = FindKeyInput(handle);
  if (!s) return -1;
  RefreshDefaultFont();
  const int font = GetDefaultFontHandle();
  const FontRecord* f = GetFontRecord(font);
  if (!f) return -1;
  TextInputState& t = TextInput();
  // Made now, so a change of screen mode since start-up cannot leave them in
  // the old pixel format.
  for (int i = 0; i < 7; ++i) t.colors[i] = PackRgbColorBody(kRgb[i][0], kRgb[i][1], kRgb[i][2]);
  const int height = f->line_height;
  const bool active = t.active_slot == handle;
  const uint32_t since = platform::TimeGetTime() - t.last_key_time;
  t.cursor_visible = (since / static_cast<uint32_t>(std::max(t.blink_period, 1))) % 2 == 0;

  const std::string text(s->text, static_cast<size_t>(s->length));
  const std::string before = text.substr(0, static_cast<size_t>(s->cursor));
  Draw(x, y, before, t.colors[0], font);
  int pen = x + Width(before, font);
  const bool composing = active && t.ime.enabled && t.ime.composing && t.ime.composition[0];
  if (composing) {
    const int w = DrawComposition(pen, y, height, font, t.cursor_visible != 0);
    pw::SetImeCompositionRect(ReadMainWindowHandle(), pen, y, std::max(w, 1), height);
    if (t.ime.candidates) DrawCandidates(pen, y + height + 4, height, font);
    pen += w;
  } else if (active && !s->done && t.cursor_visible) {
    Bar(pen, y, height, t.colors[1]);
  }
  Draw(pen, y, text.substr(static_cast<size_t>(s->cursor)), t.colors[0], font);
  return 0;
}
