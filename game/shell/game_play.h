// Scene 8: one game, stage-select run, boss practice or replay playback.
// The order of updates and draws is part of the rules: the random generator
// is drawn in both, so replays only match when every frame runs this order.
#pragma once

int RunGamePlayScene();
int DrawPlayField();

// Observer of the game-play frame's steps, called with each step's name just
// before it runs (nullptr: none). For tracing and tests.
using FrameStepHook = void (*)(const char* step);
void SetFrameStepHook(FrameStepHook hook);
