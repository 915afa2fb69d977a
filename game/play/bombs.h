// The player's bombs.
#pragma once

int UpdatePlayerBomb();
// One frame of a running bomb each.
int RunGenericBomb();
int RunFocusedBombFighter0();
int RunFocusedBombFighter1();
int RunFocusedBombFighter2();
int RunBombFighter34();
