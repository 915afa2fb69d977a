// Surface records: one DirectDraw surface with its settings, transparent
// colour, optional depth surface and alpha buffer, shared by reference
// count between the graphics that show it.
#pragma once

#include <cstdint>

#include "graphics/record_table.h"
#include "platform/video/direct_draw.h"

// The creation descriptor a graphic hands to surface creation.
struct SurfaceSettings {
  uint8_t texture;
  uint8_t alpha_channel;
  uint8_t draw_valid;
  uint8_t system_memory;
  uint8_t alpha_test;
  uint8_t color_depth;
  uint8_t format_index;
  uint8_t z_buffer;
};

// The record keeps the lock state and a delete-flag pointer beside the
// surface, and is laid out for the host's pointer size.
struct SurfaceRecord {
  uint32_t serial;
  int* delete_flag;
  SurfaceSettings settings;
  platform::video::Surface* surface;
  platform::video::Surface* depth_surface;
  uint8_t* alpha_buffer;
  uint32_t alpha_pitch;
  uint32_t transparent_color;
  uint16_t width;
  uint16_t height;
  int32_t reference_count;
  int lock_pitch;
  uint8_t* lock_pointer;
  int lock_count;
};

constexpr int kMaxSurfaceRecords = 65535;
RecordTable<SurfaceRecord>& SurfaceRecordTable();
namespace surface_record_internal {
extern RecordTable<SurfaceRecord> g_table;
}  // namespace surface_record_internal
// Frees every record (graphics start-up zeroes the tables).
void ClearSurfaceRecordTable();

int AddSurfaceRecord(int reference_count, int width, int height, uint32_t transparent_color,
                     const SurfaceSettings& settings);
// Inline: every draw looks its texture up.
inline SurfaceRecord* GetSurfaceRecord(int handle) {
  return surface_record_internal::g_table.Find(handle);
}
int CreateSurfaceOfRecord(int handle);
int SetSurfaceZBuffer(int handle, int flag);
int SetSurfaceColorKey(int handle);
int AddSurfaceReference(int handle);
int DropSurfaceReference(int handle);
int LockSurfaceRecord(int handle, int* pitch, uint8_t** pointer, const platform::video::Rect* rect,
                      int write_only);
int UnlockSurfaceRecord(int handle, const platform::video::Rect* rect);
int FillSurfaceRecord(int handle, int red, int green, int blue, int alpha);
int RestoreSurfaceIfLost(int handle);
int ReleaseSurfaceOfRecord(int handle);
int DeleteSurfaceRecord(int handle);
int SetSurfaceRecordDeleteFlag(int handle, int* flag);
