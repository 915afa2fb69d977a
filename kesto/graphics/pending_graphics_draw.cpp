// Draw dispatch operations not built yet.
#include "core/entry_bodies.h"

int BlitGraphicAtBody(int, int, int, int) { return -1; }
int BlitGraphicScaledRotatedBody(int, int, double, double, int, int, int) { return -1; }
int BlitGraphicToQuadBody(int, int, int, int, int, int, int, int, int, int) { return -1; }
int BlitGraphicPartBody(int, int, int, int, int, int, int, int, int) { return -1; }
int PaintRectangleBody(int, int, int, int, int, int) { return -1; }
