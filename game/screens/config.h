// The player's settings (file/config.dat).
#pragma once

#include <cstdint>

// One global record; every field a signed 32-bit integer. The file keeps the
// same values in another order (see config_file.cpp).
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
  int32_t spare;           // kept and stored, never used
  int32_t bullet_color;    // 0 PINK, 1 BLUE, 2 VIOLET, 3 RED, 4 GREEN; default 0
};

extern GameConfig g_config;

inline constexpr const char* kConfigPath = "file/config.dat";

// The record ResetConfig stores.
GameConfig DefaultConfig();

// Reads file/config.dat. A missing file gives the defaults and writes them;
// a value that is missing, not a number or out of range takes its fallback.
// Returns 0.
int LoadConfig();
// Stores the defaults and writes them; 0, or -1 when the file could not be
// written (logged).
int ResetConfig();
// Writes g_config to file/config.dat; 0, or -1 when the write failed (logged;
// the previous file is kept).
int SaveConfig();
