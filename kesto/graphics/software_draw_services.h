// The software renderer's draws as the graphics layer calls them when no
// Direct3D device draws (and, for outlines and lines, always). Each returns 0
// when drawn (also when clipping leaves nothing) or -1 on failure; the
// stretched draw also returns -1 for an empty or wholly clipped rectangle.
// The box and the line end the program when the target cannot be locked.
#pragma once

struct GraphicRecord;

// `surface2d` is a 2D surface handle.
int G_DDraw_DrawGraph(int x, int y, int surface2d, int transparent);
// x1 > x2 mirrors left to right, y1 > y2 top to bottom.
int G_DDraw_DrawExtendGraph(int x1, int y1, int x2, int y2, GraphicRecord* graphic,
                            int transparent);
// `angle` in radians, clockwise; `turn` mirrors left to right. A scale of 0
// or below is refused (-1).
int G_DDraw_DrawRotaGraph(int center_x, int center_y, double scale, double angle,
                          GraphicRecord* graphic, int transparent, int turn);
// Corners: top-left, top-right, bottom-left, bottom-right.
int G_DDraw_DrawModiGraph(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4,
                          GraphicRecord* graphic, int transparent);
int G_DDraw_DrawModiGraphFloat(float x1, float y1, float x2, float y2, float x3, float y3,
                               float x4, float y4, GraphicRecord* graphic, int transparent);
// `color` is a colour value of the screen format. The outline returns -1
// without DirectDraw, else 0 whatever its four lines return.
int G_DDraw_DrawFillBox(int x1, int y1, int x2, int y2, int color);
int G_DDraw_DrawBoxOutline(int x1, int y1, int x2, int y2, int color);
int G_DDraw_DrawLine(int x1, int y1, int x2, int y2, int color);
