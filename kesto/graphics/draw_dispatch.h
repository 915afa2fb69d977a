// The draw bodies behind the public draw entry points: handle and draw-area
// checks, then Direct3D quads for texture graphics or the software renderer
// for the rest, with subtractive blending on Direct3D drawn between two
// inverting boxes.
#pragma once

#include "platform/video/video_types.h"

int BlitGraphicStretchedBody(int x1, int y1, int x2, int y2, int graphic, int transparent);
int BlitGraphicTurnedBody(int x, int y, int graphic, int transparent);
int BlitGraphicRotated(int center_x, int center_y, double scale, double angle, int graphic,
                       int transparent, int turn);
// Corners in the public order: top-left, top-right, bottom-right, bottom-left.
int BlitGraphicFourCorners(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4,
                           int graphic, int transparent);
int BlitGraphicFourCornersFloat(float x1, float y1, float x2, float y2, float x3, float y3,
                                float x4, float y4, int graphic, int transparent);
int BlitGraphicSourceRect(int x, int y, int src_x, int src_y, int width, int height, int graphic,
                          int transparent, int turn);
int FillBoxBody(int x1, int y1, int x2, int y2, int color);
int OutlineBoxBody(int x1, int y1, int x2, int y2, int color);
int SubtractModeBegin(const platform::video::Rect& rect);
int SubtractModeEnd(const platform::video::Rect& rect);
