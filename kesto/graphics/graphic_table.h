// The graphic table: the record behind every graphic handle, creation with
// its parts (texture parts or 2D surfaces), deletion, fills and restores.
#pragma once

#include <cstdint>

#include "graphics/record_table.h"

struct GraphicRecord {
  uint32_t serial;
  int* delete_flag;
  int handle;
  uint8_t texture;
  uint8_t alpha_channel;
  uint8_t draw_valid;
  uint8_t system_memory;
  uint8_t alpha_test;
  uint8_t color_depth;
  int mirror_option;
  int parts[16];
  int part_count;
  // One byte more than the longest name kept, for its terminator.
  char name[65];
  char path[260];
  uint16_t origin_x, origin_y;
  uint16_t width, height;
  int movie;
  int restore_flag;
};

constexpr int kMaxGraphics = 30000;
RecordTable<GraphicRecord>& GraphicTable();
namespace graphic_table_internal {
extern RecordTable<GraphicRecord> g_table;
}  // namespace graphic_table_internal

int AllocGraphicRecord(int width, int height, int want_texture, GraphicRecord** out,
                       int alpha_channel);
int MakeGraphic(int width, int height, int want_texture, int alpha_channel);
int MakeGraphicWithDefaults(int width, int height);
// Inline: every draw looks its graphic up.
inline GraphicRecord* GetGraphicRecord(int handle) {
  return graphic_table_internal::g_table.Find(handle);
}
int GetGraphicHandle(const GraphicRecord* record);
int GetGraphicSize(int handle, int* width, int* height);
int AttachGraphicDeleteFlag(int handle, int* flag);
int SetGraphicFileName(int handle, const char* name);
int FillGraphic(int handle, int red, int green, int blue, int alpha);
int DeleteGraphic(int handle, int log_flag);
int DeleteAllGraphics(int log_flag);
int RestoreGraphicSurfaces(int handle);
int RestoreAllGraphicSurfaces();
// Frees every record without touching parts (start-up zeroing).
void ClearGraphicTable();

int CreateSubGraphic(int x, int y, int width, int height, int parent);
