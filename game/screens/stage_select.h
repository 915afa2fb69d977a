// Stage select (scene 3): a stage reached so far, its boss alone, or the
// extra stage once unlocked, for stage-select play.
#pragma once

#include <cstdint>

inline constexpr int kStageSelectStages = 5;

// What the screen offers in a mode, from the saved progress and unlocks.
struct StageSelectOffer {
  int32_t reached;     // stages 1..reached and their bosses can be chosen
  int32_t extra;       // 1: "???????" (the extra stage) is offered
  int32_t last_index;  // the cursor's last index: RETURN
};
StageSelectOffer ComputeStageSelectOffer(int mode);

struct StageSelectState {
  int32_t cursor;
  int32_t frames;  // frames since the scene began
  StageSelectOffer offer;
};

// Resets the fade, reads the offer and starts music 1 unless music plays.
void EnterStageSelect(StageSelectState& stage);
void StepStageSelect(StageSelectState& stage);
