// The stage-clear sequence after a boss's destruction.
#pragma once

int StartStageClear();
int IsStageClearSequenceActive();
int UpdateStageClear();  // per game-play frame, after the draw pass
int DrawStageClearPanel();
int ResetStageClearSequence();
