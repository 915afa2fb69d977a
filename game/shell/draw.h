// Every game draw goes through these: positions, angles and alpha are
// converted the same way everywhere, alpha blending is set before the draw
// and the parameter set back to 255 after it.
#pragma once

#include <cstdint>

// Field coordinates (x from the field's left edge), centred, angle in degrees.
int DrawSprite(double x, double y, double scale, double angle, int32_t graphic, int32_t alpha);
// Screen coordinates; the alpha is truncated to an integer.
int DrawSpriteScreen(double x, double y, double scale, double angle, int32_t graphic,
                     double alpha);
// Stretched over a rectangle centred on (cx, cy); nothing when a scale is 0.
int DrawSpriteQuad(double cx, double cy, double width, double height, int32_t graphic,
                   int32_t alpha, double x_scale, double y_scale);
// 12-pixel bitmap text at field x: align 0 ends the text at x, otherwise it
// starts there. Styles 0-2. " " and "_" leave a gap.
int DrawText(const char* text, int x, int y, int alpha, int align, int style);
// Scaled glyphs at screen x, styles 0-3; align 0 ends a style-0 text at x and
// centres styles 1-3 on x.
int DrawGlyphText(const char* text, int x, int y, int alpha, int align, int style, double scale);
