// The game's pictures: every file of bmp/ loaded once and cut into cells as
// the shared sheet layout says. The fighter and enemy-bullet tables are
// re-pointed between the variants and colours, never loaded twice, so
// Kesto's graphic table cannot fill up over many games.
#pragma once

#include <cstdint>

#include "shell/sheet_layout.h"

inline constexpr int kGlyphTableSize = 100;
// Glyph handles by character code, styles 0-3; 0 where a code has no glyph.
extern int32_t g_glyph_tables[kFontStyleCount][kGlyphTableSize];

int LoadAllImages();
int LoadMenuAndStageImages();
int LoadCharacterImages(int variant);  // 0 or 1; other values: no pictures for fighters 1-3
int LoadEnemyImages();
int LoadPlayerShotImages();
int LoadItemImages();
int LoadEffectImages();
int LoadEnemyBulletImages(int colour);  // 0-4; other values: no pictures
int LoadHudImages();
int LoadFontImages();

// Cell `index` of a sheet, counted over all its runs; -1 when the sheet is not
// loaded, failed to load, or has no such cell.
int32_t SheetCell(const SheetLayout& sheet, int index);
// Cells of the fighter tables (fighter 1-5) for the current variant: the
// animation cells of the fighter sheet, and the options' cells.
int32_t FighterCell(int fighter, int index);
int32_t FighterOptionCell(int fighter, int index);
// The fighter's HUD icon; icons 0-7 are cut from char1, char2, char1_2,
// char2_2, char3, char4, char3_2 and char5.
int32_t FighterIconCell(int icon);
// Enemy-bullet table 0-13 of the current BULLET COLOR.
int32_t EnemyBulletCell(int table, int index);
// Glyph for a character of a style, 0 when there is none.
int32_t GlyphCell(int style, int code);

// For tests and leak checks: graphics created by the loaders so far.
int LoadedGraphicCount();
// Forgets every loaded sheet (tests only; Kesto's handles are not released).
void ForgetLoadedImagesForTesting();
