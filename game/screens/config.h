// The player's settings (file/config.dat).
#pragma once

#include <cstdint>

// One global record; every field a signed 32-bit integer, in file order
// except that `spare` is stored before `bullet_color`.
struct GameConfig {
  int32_t shot_mask;       // input-word bit of the shot button (default 16)
  int32_t bomb_mask;       // default 32
  int32_t full_auto_mask;  // default 64
  int32_t pause_mask;      // default 128
  int32_t auto_guard;      // 1 on (default)
  int32_t se_volume;       // 0-100, default 100
  int32_t bgm;             // 1 music on (default)
  int32_t enemy_shot_se;   // 1 play sound 81 (default)
  int32_t beat_se;         // 1 play sound 51 (default)
  int32_t spare;
  int32_t bullet_color;    // 0-4, default 0
};

extern GameConfig g_config;

// Reads file/config.dat; a missing file gives the defaults and writes them.
int LoadConfig();
