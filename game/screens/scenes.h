// The screens run by the scene loop. Each runs its own frame loop (pump,
// update, draw, DrawWallOverlay, HandleSystemKeys, EndFrame) until
// CurrentScene changes or the pump reports quit, then returns 0.
#pragma once

int RunTitleScene();
int RunMainMenuScene();
int RunStageSelectScene();
int RunReplayListScene();
int RunConfigScene();
int RunModeSelectScene();
int RunEndingScene();
int RunGameOverScene();
int RunReplaySaveScene();
int RunRankingScene();
int RunNameEntryScene();
int RunFighterSelectScene();
