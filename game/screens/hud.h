// HUD pieces and the panels drawn at the end of every frame.
#pragma once

int ResetHud();
int DrawModeName();
int DrawScore(int score);
int DrawLifeIcons(int lives);
int DrawBombIcons(int bombs, int near_bottom);
int DrawItemCounter(int gauge);
int DrawBossGauge(int hp, int max_hp, int type);
int DrawDemoOverlay();
int DrawReplayPanel();
int DrawHiScore();
int DrawDebugCounters();
