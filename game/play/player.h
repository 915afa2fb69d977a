// The player: the one global player record and its services.
#pragma once

#include <cstdint>

int InitPlayerForGame();
int ResetPlayerForStage();
int UpdatePlayer();  // once per unpaused game-play frame
int DrawPlayer();
int DrawPlayerHud();

int IsPlayerActive();
int GetPlayerFighter();
int GetPlayerVariant();
int GetPlayerScore();
int GetPlayerCredits();
// The hit point enemies aim at, and the fighter's centre.
void GetPlayerCore(double* x, double* y);
void GetPlayerCentre(double* x, double* y);

int SetPlayerCredits(int credits);
int SetPlayerHiScore(int score);
int SetPlayerPower(int power);  // clamped to 1..5
// Stores both, then points the fighter image tables at the variant.
int SetPlayerFighter(int fighter, int variant);
