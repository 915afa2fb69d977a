#include "shell/draw.h"

#include <cstring>

#include "kesto/kesto.h"
#include "shell/game_math.h"
#include "shell/image_tables.h"

namespace {

constexpr int kFieldLeft = 140;
constexpr int kGlyphWidth = 12;

// Field x to screen x; wraps instead of overflowing for absurd positions.
int32_t FieldToScreenX(double x) {
  return static_cast<int32_t>(static_cast<uint32_t>(TruncToInt(x)) + uint32_t{kFieldLeft});
}

int ClampAlpha(int alpha) { return alpha < 0 ? 0 : alpha > 255 ? 255 : alpha; }

int TextLength(const char* text) {
  size_t n = text ? std::strlen(text) : 0;
  return n > 4096 ? 4096 : static_cast<int>(n);
}

bool IsGap(char c) { return c == ' ' || c == '_'; }

}  // namespace

int DrawSprite(double x, double y, double scale, double angle, int32_t graphic, int32_t alpha) {
  ChooseBlendMode(1, alpha);
  BlitGraphicScaledRotated(FieldToScreenX(x), TruncToInt(y), scale, angle * kPiSingle / 180.0,
                           graphic, 1, 0);
  ChooseBlendMode(1, 255);
  return 0;
}

int DrawSpriteScreen(double x, double y, double scale, double angle, int32_t graphic,
                     double alpha) {
  ChooseBlendMode(1, TruncToInt(alpha));
  BlitGraphicScaledRotated(TruncToInt(x), TruncToInt(y), scale, angle * kPiSingle / 180.0,
                           graphic, 1, 0);
  ChooseBlendMode(1, 255);
  return 0;
}

int DrawSpriteQuad(double cx, double cy, double width, double height, int32_t graphic,
                   int32_t alpha, double x_scale, double y_scale) {
  if (x_scale == 0.0 || y_scale == 0.0) return 0;
  double hw = width / 2.0 * x_scale;
  double hh = height / 2.0 * y_scale;
  int32_t x1 = TruncToInt(cx - hw);
  int32_t y1 = TruncToInt(cy - hh);
  int32_t x2 = TruncToInt(hw + cx);
  int32_t y2 = TruncToInt(hh + cy);
  ChooseBlendMode(1, alpha);
  BlitGraphicToQuad(x1, y1, x2, y1, x2, y2, x1, y2, graphic, 1);
  ChooseBlendMode(1, 255);
  return 0;
}

int DrawText(const char* text, int x, int y, int alpha, int align, int style) {
  int n = TextLength(text);
  ChooseBlendMode(1, ClampAlpha(alpha));
  int64_t start = int64_t{x} + kFieldLeft - (align != 0 ? 0 : int64_t{kGlyphWidth} * n);
  for (int i = 0; i < n; ++i) {
    if (IsGap(text[i]) || style < 0 || style > 2) continue;
    // The text may come from a replay file: unknown codes draw nothing.
    int32_t glyph = GlyphCell(style, static_cast<signed char>(text[i]));
    if (glyph == 0) continue;
    BlitGraphicAt(static_cast<int>(start + int64_t{kGlyphWidth} * i), y, glyph, 1);
  }
  ChooseBlendMode(1, 255);
  return 0;
}

int DrawGlyphText(const char* text, int x, int y, int alpha, int align, int style, double scale) {
  int n = TextLength(text);
  alpha = ClampAlpha(alpha);
  double offset = 0.0;
  if (align == 0) offset = style == 0 ? 10.0 * n : (n - 1) * 12 * scale / 2.0;
  for (int i = 0; i < n; ++i) {
    if (IsGap(text[i]) || style < 0 || style >= kFontStyleCount) continue;
    int32_t glyph = GlyphCell(style, static_cast<signed char>(text[i]));
    if (glyph == 0) continue;
    double px = style == 0 ? x + 10.0 * scale * i - offset * scale : x + i * (12.0 * scale) - offset;
    DrawSpriteScreen(px, y, scale, 0.0, glyph, alpha);
  }
  return 0;
}
