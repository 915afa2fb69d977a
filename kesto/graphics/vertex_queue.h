// The vertex queue that collects quads between state changes, and the
// Direct3D draws of graphics and boxes built on it.
#pragma once

#include <cstdint>

#include "platform/video3d/d3d_types.h"

struct GraphicRecord;

uint32_t MakeVertexColor();
platform::video3d::TLVertex* ReserveQueueVertices(int device, int count);
int CommitQueuedQuad(int device);
int FlushVertexBatch(int device);
int CommitQuadWithScreenOffset(platform::video3d::TLVertex* vertices, int offset_on);
int DrawVertexGrid3D(int device, int columns, const platform::video3d::TLVertex* vertices,
                     int rows);

int G_D3D_DrawGraph(int x, int y, GraphicRecord* graphic, int transparent);
int G_D3D_DrawExtendGraph(int x1, int y1, int x2, int y2, GraphicRecord* graphic,
                          int transparent);
int G_D3D_DrawRotaGraph(int center_x, int center_y, double scale, double angle,
                        GraphicRecord* graphic, int transparent, int turn);
// Corners: top-left, top-right, bottom-left, bottom-right.
int G_D3D_DrawModiGraph(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4,
                        GraphicRecord* graphic, int transparent);
int G_D3D_DrawModiGraphParts(float x1, float y1, float x2, float y2, float x3, float y3,
                             float x4, float y4, GraphicRecord* graphic, int transparent);
int G_D3D_DrawPartModi(int part, float x1, float y1, float x2, float y2, float x3, float y3,
                       float x4, float y4);
int G_D3D_DrawFillBox(int x1, int y1, int x2, int y2, int color);
