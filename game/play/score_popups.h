// The 800 score pop-ups: item labels, score numbers and the guard notice.
// Their timers run in the draw pass, so they fade while the game is paused.
#pragma once

#include <cstdint>

inline constexpr int kScorePopupCount = 800;

struct ScorePopup {
  int32_t in_use;
  int32_t kind;   // 0 power, 1 bomb, 3 life, 4 points instead, 5 score number, 6 guard
  int32_t state;  // labels: 0 new, 1 holding, 2 fading
  double left, top;
  double x, y;  // centre
  double vx, vy;
  double angle;
  double scale;
  double speed;
  double width, height;
  int32_t value;
  int32_t timer;
  int32_t anim;
  int32_t alpha;
};

extern ScorePopup g_score_popups[kScorePopupCount];

// First slot whose in-use flag is not 1; -1 when all are live.
int SpawnScorePopup(double x, double y, int kind, int value, double angle, double speed);
int InitScorePopup(ScorePopup& p, double x, double y, int kind, int value, double angle,
                   double speed);
int UpdateScorePopup(ScorePopup& p);
int DrawScorePopup(ScorePopup& p);
int ClearScorePopup(ScorePopup& p);

int UpdateScorePopups();
int DrawAllScorePopups();
int ResetAllScorePopups();
