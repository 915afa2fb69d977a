// Saved progress (file/data.dat) and the two unlock files.
#pragma once

#include <cstdint>

struct SaveData {
  int32_t credits;
  int32_t secret_stage_flag;
};

extern SaveData g_save_data;

// A missing or damaged file gives defaults and is rewritten with a key drawn
// from the game's random generator.
int LoadSaveData();
int LoadSecretChar();
int LoadSecretStage();
// op 1 sets the saved secret-stage flag, 0 clears it, anything else only
// reads; returns the flag.
int SetSecretStageFlag(int op);
