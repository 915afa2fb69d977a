// Saved progress (file/data.dat) and the two unlock files.
#pragma once

#include <cstdint>

inline constexpr int kProgressModes = 4;
inline constexpr int kClearMarkSlots = 10;  // fighters 0-3 (fighter 4 counts as 3)

inline constexpr const char* kSaveDataPath = "file/data.dat";
inline constexpr const char* kSecretCharPath = "file/secret_char.txt";
inline constexpr const char* kSecretStagePath = "file/secret_stage.txt";
inline constexpr int32_t kFighterUnlockCode = 417093;
inline constexpr int32_t kStageUnlockCode = 862540;

// Clear marks: 0 not cleared, 1 cleared without continue with AUTO GUARD on,
// 2 cleared without continue with AUTO GUARD off.
struct SaveData {
  int32_t key;                // masking key of the file last read; 0 after a reset
  int32_t credits;            // 0-9999, default 3
  int32_t secret_stage_flag;  // 0-1
  int32_t StageReachedTable[kProgressModes];  // 0-7, default 1
  int32_t ClearMarkTable[kProgressModes][kClearMarkSlots];  // 0-2
  int32_t FighterUnlockFlag;  // from file/secret_char.txt; never stored
  int32_t StageUnlockFlag;    // from file/secret_stage.txt; never stored
};

extern SaveData g_save_data;

// Reads and checks file/data.dat. Missing or damaged: the defaults, written at
// once (a damaged file is first kept as file/data.dat.bad). Returns 0.
int LoadSaveData();
// Writes the progress with a key drawn from the game's random generator; 0,
// or -1 when the write failed (logged; the previous file is kept).
int WriteSaveData();
// The defaults (unlock flags kept), then WriteSaveData.
int ResetSaveData();
// Set FighterUnlockFlag / StageUnlockFlag from their files; a missing file
// leaves the flag as it is. Return 0.
int LoadSecretChar();
int LoadSecretStage();
// op 1 sets the saved secret-stage flag (not while a replay plays), 0 clears
// it, anything else only reads; returns the flag.
int SetSecretStageFlag(int op);
