// Drawing and measuring strings with a font handle, from its glyph cache:
// texture fonts draw each cell through the graphic draws (the text colour
// as the brightness), bitmap fonts copy their cells straight into the
// locked target, or, when blending or antialiased, into the font's work
// surface first, which the software blitter then draws. Vertical text runs
// downward with each character turned a quarter turn clockwise.
#pragma once

#include <cstdint>

#include "platform/video/direct_draw.h"

int PrintStringDefaultFont(int x, int y, const char* text, int color, int edge_color);
int PrintStringWithFont(int x, int y, const char* text, int color, int font, int edge_color,
                        int vertical);
int DrawFontStringDirect3D(int x, int y, const char* text, int color, int font, int edge_color,
                           int vertical);
int DrawFontStringSoftware(int x, int y, const char* text, int color, int font, int edge_color,
                           int vertical);
// draw 1 draws, 0 only measures. The result is the pen length; `size`
// (when given) gets width and height: (pen, line height) across, (line
// height, pen) down. -1 while suspended, without DirectDraw or for a bad
// font handle.
int FontCacheStringDraw(int draw, int x, int y, const char* text, int color,
                        platform::video::Surface* target, uint8_t* alpha, int alpha_pitch,
                        const platform::video::Rect& clip, int color_bits, int transparent,
                        int font, int edge_color, int length, int vertical, int* size);
