#include "play/score_popups.h"

#include <cstdio>
#include <cstring>

#include "shell/draw.h"
#include "shell/game_math.h"
#include "shell/image_tables.h"

ScorePopup g_score_popups[kScorePopupCount];

namespace {

// etc1 cells: four label columns of four cells from cell 1, then the backdrop.
constexpr int kLabelFirstCell[] = {1, 5, -1, 9, 13};  // by kind 0-4
constexpr int kLabelBackdropCell = 17;
constexpr int kHoldFrames = 90;

bool IsLabel(int kind) { return kind == 0 || kind == 1 || kind == 3 || kind == 4; }

// Returns true when the pop-up ended before its draw.
bool DrawLabel(ScorePopup& p) {
  if (p.state == 0) {
    p.alpha = 255;
    p.state = 1;
  } else if (p.state == 1) {
    p.timer += 1;
    if (p.timer == kHoldFrames) {
      p.state = 2;
      p.timer = 0;
    }
  } else if (p.state == 2) {
    p.alpha -= 5;
    if (p.alpha <= 0) return true;
  }
  int cell = kLabelFirstCell[p.kind] + (p.anim / 4) % 4;
  DrawSpriteScreen(p.x, p.y, 1.0, 0.0, SheetCell(kSheetEtc1, cell), p.alpha);
  DrawSpriteScreen(p.x, p.y, 1.0, 0.0, SheetCell(kSheetEtc1, kLabelBackdropCell), p.alpha);
  return false;
}

bool DrawNumber(ScorePopup& p) {
  double k = static_cast<double>(p.value / 1000);
  if (k <= 0.0) k = 0.0;
  if (p.timer == 0) {
    p.scale = 1.0;
    p.alpha = 255;
  }
  p.alpha -= 5;
  if (2.5 + k > p.scale) p.scale += 0.1;
  char text[16];
  std::snprintf(text, sizeof text, "%d", p.value);
  DrawGlyphText(text, TruncToInt(p.left), TruncToInt(p.top), p.alpha, 0, p.value == 800 ? 3 : 2,
                p.scale);
  bool ended = p.alpha <= 0;
  p.timer += 1;
  return ended;
}

bool DrawGuardNotice(ScorePopup& p) {
  if (p.timer == 0) p.alpha = 255;
  if (p.timer > 30) p.alpha -= 5;
  DrawSpriteScreen(p.x, p.y, 1.0, 0.0, SheetCell(kSheetEtc5, 0), p.alpha);
  bool ended = p.alpha <= 0;
  p.timer += 1;
  return ended;
}

}  // namespace

int ClearScorePopup(ScorePopup& p) {
  std::memset(&p, 0, sizeof p);
  return 0;
}

int InitScorePopup(ScorePopup& p, double x, double y, int kind, int value, double angle,
                   double speed) {
  if (p.in_use == 1) return -1;
  p.kind = kind;
  p.value = value;
  switch (kind) {
    case 0: p.width = 120; p.height = 40; break;
    case 1: p.width = 32; p.height = 0; break;
    case 3:
    case 4: p.width = 120; p.height = 48; break;
    default: break;
  }
  p.left = x - p.width / 2;
  p.top = y - p.height / 2;
  p.vx = CosDeg(angle) * speed;
  p.vy = SinDeg(angle) * speed;
  p.angle = angle;
  p.speed = speed;
  p.timer = 0;
  p.in_use = 1;
  return 0;
}

int SpawnScorePopup(double x, double y, int kind, int value, double angle, double speed) {
  for (ScorePopup& p : g_score_popups)
    if (p.in_use != 1) return InitScorePopup(p, x, y, kind, value, angle, speed);
  return -1;
}

int UpdateScorePopup(ScorePopup& p) {
  if (p.in_use != 1) return 0;
  p.left += p.vx;
  p.top += p.vy;
  p.x = p.left + p.width / 2;
  p.y = p.top + p.height / 2;
  return 0;
}

int DrawScorePopup(ScorePopup& p) {
  if (p.in_use != 1) return 0;
  if (IsLabel(p.kind)) {
    bool ended = DrawLabel(p);
    if (ended) ClearScorePopup(p);
    // Also on the clearing draw: the next label in this slot starts its cells at 1.
    p.anim += 1;
  } else if (p.kind == 5) {
    if (DrawNumber(p)) ClearScorePopup(p);
  } else if (p.kind == 6) {
    if (DrawGuardNotice(p)) ClearScorePopup(p);
  }
  return 0;
}

int UpdateScorePopups() {
  for (ScorePopup& p : g_score_popups) UpdateScorePopup(p);
  return 0;
}

int DrawAllScorePopups() {
  for (ScorePopup& p : g_score_popups) DrawScorePopup(p);
  return 0;
}

int ResetAllScorePopups() {
  for (ScorePopup& p : g_score_popups) ClearScorePopup(p);
  return 0;
}
