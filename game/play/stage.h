// The stage object: scrolling backgrounds, the stage frame and stage flags.
#pragma once

int RunStageScript();  // per game-play frame, before the enemy pass
int StartStage();
int ResetStageObject();  // also restarts enemy serial numbers
int GetStageFrame();
int SetStageFrame(int frame);
int GetStageNumber();
