// The 800 score pop-ups.
#pragma once

int UpdateScorePopups();
int DrawAllScorePopups();
int ResetAllScorePopups();
