// 2D surfaces: one rectangular part of a graphic that does not draw through
// Direct3D, pointing into a (possibly shared) surface record. Also the
// selection and clearing of the DirectDraw surface drawing goes to.
#pragma once

#include <cstdint>

#include "graphics/record_table.h"
#include "graphics/surface_record.h"

struct Surface2D {
  uint32_t serial;
  int* delete_flag;
  uint16_t part_x, part_y;
  uint16_t surface_x, surface_y;
  uint16_t width, height;
  int owner;
  int surface_record;
};

constexpr int kMaxSurface2D = 30000;
RecordTable<Surface2D>& Surface2DTable();
// Frees every record without touching surface records (start-up).
void ClearSurface2DTable();

int AddSurface2D(int width, int height, int part_x, int part_y, int owner,
                 const Surface2D* shared, int surface_x, int surface_y,
                 const SurfaceSettings& settings);
Surface2D* GetSurface2D(int handle);
int SetSurface2DDeleteFlag(int handle, int* flag);
int DeleteSurface2D(int handle);
int DeleteAllSurface2D();
int AddGraphicSurface2D(int graphic);
int AddSubGraphicSurface2D(int graphic, int surface_x, int surface_y, int width, int height,
                           int parent);
int DeleteGraphicSurface2Ds(int graphic);
int FillGraphicSurface2Ds(int graphic, int red, int green, int blue, int alpha);
int RestoreGraphicSurface2Ds(int graphic);
int SelectDrawTargetSurface(int target);
int ClearDrawTargetSurface();
int BlitSurfaceToSurface(platform::video::Surface* dst, platform::video::Surface* src, int x,
                         int y, const platform::video::Rect& src_rect, int method);
int ExtractEveryThirdByte(uint8_t* dst, int dst_pitch, const uint8_t* src, int src_pitch,
                          int width, int height);
