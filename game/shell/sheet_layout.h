// Where every picture of bmp/ is cut: each file's size and its cell runs.
// One table, read both by the game's image tables and by the asset
// generator, so the art and the cuts can never disagree. Plain data.
#pragma once

#include <span>
#include <string_view>

// A run of equal cells in reading order: cell i sits at
// (x + (i mod per_row) * width, y + (i div per_row) * height).
// A row has per_row == count, a column per_row == 1.
struct CellRun {
  int count;
  int width;
  int height;
  int x;
  int y;
  int per_row;
};

struct CellRect {
  int x;
  int y;
  int width;
  int height;
};

// One picture file. Runs are in the order the loaders cut them, so the
// cells of a table follow each other in run order.
struct SheetLayout {
  const char* path;  // relative to the run directory, e.g. "bmp/emy0.dat"
  int width;         // size of the picture the generator writes
  int height;
  std::span<const CellRun> runs;
};

CellRect CellOfRun(const CellRun& run, int index);
int CellCount(const SheetLayout& sheet);
// Cell `index` counted over all runs of the sheet; {0,0,0,0} when out of range.
CellRect CellOfSheet(const SheetLayout& sheet, int index);

// Every sheet, in the order LoadAllImages first loads them.
std::span<const SheetLayout* const> AllSheets();
// nullptr when no sheet has that path.
const SheetLayout* FindSheet(std::string_view path);

// ---- Menus, portraits, overlays (LoadMenuAndStageImages) ----
extern const SheetLayout kSheetTitleBack;    // 360x480
extern const SheetLayout kSheetTitleLogo;    // 360x184
extern const SheetLayout kSheetCharB1;       // portraits 360x480
extern const SheetLayout kSheetCharB2;
extern const SheetLayout kSheetCharB3;
extern const SheetLayout kSheetCharB4;
extern const SheetLayout kSheetCharB4_2;     // 240x400
extern const SheetLayout kSheetWall;         // 640x480 side panels, centre transparent
extern const SheetLayout kSheetStClearBack;
extern const SheetLayout kSheetEndBack;
extern const SheetLayout kSheetRoll;         // 360x1440

// ---- Stage backgrounds. Tiles are one 360x480 cell; maps are pieces of
// 360x480 listed bottom piece first, one run per piece. The tenth piece of
// stage 1 starts 480 rows above its picture and shows nothing. ----
extern const SheetLayout kSheetStage10;
extern const SheetLayout kSheetStage20;
extern const SheetLayout kSheetStage30;
extern const SheetLayout kSheetStage40;
extern const SheetLayout kSheetStage50;
extern const SheetLayout kSheetStage60;
extern const SheetLayout kSheetStage11;  // 10 pieces
extern const SheetLayout kSheetStage21;  // 8
extern const SheetLayout kSheetStage22;  // 2
extern const SheetLayout kSheetStage31;  // 8
extern const SheetLayout kSheetStage32;  // 3
extern const SheetLayout kSheetStage41;  // 8
extern const SheetLayout kSheetStage42;  // 7
extern const SheetLayout kSheetStage51;  // 8
extern const SheetLayout kSheetStage52;  // 7
extern const SheetLayout kSheetStage53;  // 5

// ---- Fighters (LoadCharacterImages). char1..char5 sheets: runs 0 and 1
// (or 0..2 for char5) are the fighter's animation tables; the last run is
// the HUD icon that LoadHudImages cuts again from the same file. ----
extern const SheetLayout kSheetChar1;     // runs: row 7 56x56; row 7 56x56 @y56; icon
extern const SheetLayout kSheetCharO1;    // column of 12 32x32
extern const SheetLayout kSheetChar2;
extern const SheetLayout kSheetCharO2;    // row of 12 32x32
extern const SheetLayout kSheetChar3;     // runs: row 7 64x56; row 7 64x56 @y56; icon
extern const SheetLayout kSheetCharO3;    // column of 9 32x32
extern const SheetLayout kSheetChar1_2;
extern const SheetLayout kSheetCharO1_2;
extern const SheetLayout kSheetChar2_2;
extern const SheetLayout kSheetCharO2_2;
extern const SheetLayout kSheetChar3_2;
extern const SheetLayout kSheetCharO3_2;
extern const SheetLayout kSheetChar4;     // runs: row 7 64x56; icon
extern const SheetLayout kSheetCharO4;    // row of 9 32x32
extern const SheetLayout kSheetChar5;     // runs: grid 52; one @(0,224); row 4 @(48,224); icon
extern const SheetLayout kSheetCharO5;    // row of 4 32x32

// ---- Enemies (LoadEnemyImages) ----
extern const SheetLayout kSheetEmy0;
extern const SheetLayout kSheetEmy1;
extern const SheetLayout kSheetEmy2;
extern const SheetLayout kSheetEmy3;
extern const SheetLayout kSheetEmy4;
extern const SheetLayout kSheetEmy5_1;
extern const SheetLayout kSheetEmy5_2;
extern const SheetLayout kSheetEmy6;
extern const SheetLayout kSheetEmy7;
extern const SheetLayout kSheetEmy8;      // runs: bodies; turrets @(480,0); shadows @(0,640)
extern const SheetLayout kSheetEmy9;      // runs: bodies; turrets @(0,272)
extern const SheetLayout kSheetEmy10;     // 72 cells: 48 bodies, then 24 shadows (one per 15 degrees)
extern const SheetLayout kSheetEmy11;
extern const SheetLayout kSheetEmy12;
extern const SheetLayout kSheetEmy13_1;
extern const SheetLayout kSheetEmy13_2;
extern const SheetLayout kSheetEmy13_3;
extern const SheetLayout kSheetEmy14;
extern const SheetLayout kSheetEmy15;
extern const SheetLayout kSheetEmy16;     // runs: grid 24; grid 24 @(0,240)
extern const SheetLayout kSheetEmy17;
extern const SheetLayout kSheetEmy17_2;
extern const SheetLayout kSheetEmy18;
extern const SheetLayout kSheetEmy19;     // runs: three rows of 3
extern const SheetLayout kSheetEmy20;
extern const SheetLayout kSheetEmy21;
extern const SheetLayout kSheetEmy22;
extern const SheetLayout kSheetEmy23;
extern const SheetLayout kSheetEmy24;
extern const SheetLayout kSheetEmy25;
extern const SheetLayout kSheetEmy26;
extern const SheetLayout kSheetEmy27;
extern const SheetLayout kSheetEmy28;
extern const SheetLayout kSheetEmy29;
extern const SheetLayout kSheetEmy30_1;
extern const SheetLayout kSheetEmy30_2;
extern const SheetLayout kSheetEmy30_3;
extern const SheetLayout kSheetEmy30_4;
extern const SheetLayout kSheetEmy31;
extern const SheetLayout kSheetBox;
extern const SheetLayout kSheetEmy32_1;
extern const SheetLayout kSheetEmy32_2;
extern const SheetLayout kSheetEmy33;
extern const SheetLayout kSheetEmy34;
extern const SheetLayout kSheetEmy35;
extern const SheetLayout kSheetEmy100;
extern const SheetLayout kSheetEmy101;
extern const SheetLayout kSheetEmy110;    // runs: column 2; column 2 @(320,0)
extern const SheetLayout kSheetEmy111;    // runs: column 2 64x64; column 2 72x72 @(64,0)
extern const SheetLayout kSheetEmy120_1;
extern const SheetLayout kSheetEmy120_2;
extern const SheetLayout kSheetEmy200_1;
extern const SheetLayout kSheetEmy200_2;  // runs: row 2; row 2 @(0,168)
extern const SheetLayout kSheetEmy210;    // runs: column 2; column 2 @(0,400)
extern const SheetLayout kSheetEmy220_1;
extern const SheetLayout kSheetEmy220_2;
extern const SheetLayout kSheetEmy220_3;
extern const SheetLayout kSheetEmy230_1;
extern const SheetLayout kSheetEmy230_2;
extern const SheetLayout kSheetEmy240_1;
extern const SheetLayout kSheetEmy240_2;  // runs: row 9; row 9 @(0,200)
extern const SheetLayout kSheetEmy250;
extern const SheetLayout kSheetEmy250_2;
extern const SheetLayout kSheetEmy250_3;

// ---- Player shots (LoadPlayerShotImages): one run per cell, in the
// order of the shot types that use them ----
extern const SheetLayout kSheetMyBullet1;  // 11 runs
extern const SheetLayout kSheetMyBullet2;  // 11 runs
extern const SheetLayout kSheetMyBullet3;  // 11 runs
extern const SheetLayout kSheetMyBullet4;  // 17 runs, 20 cells (run 11 is a row of 4)
extern const SheetLayout kSheetMbBomb;     // grid 14 96x96

// ---- Items (LoadItemImages) ----
extern const SheetLayout kSheetItemScore2;  // also the HUD item counter
extern const SheetLayout kSheetItemPow;
extern const SheetLayout kSheetItemBomb;
extern const SheetLayout kSheetItem1up;     // runs: @(0,0); @(0,64)
extern const SheetLayout kSheetItemEx;      // runs: row 4; row 4 @(0,64)
extern const SheetLayout kSheetItemScore;
extern const SheetLayout kSheetItemScore3;

// ---- Explosions and effects (LoadEffectImages) ----
extern const SheetLayout kSheetExplo0;
extern const SheetLayout kSheetExplo4;
extern const SheetLayout kSheetExplo0_2;
extern const SheetLayout kSheetExplo1;
extern const SheetLayout kSheetExplo2;
extern const SheetLayout kSheetExplo2_2;
extern const SheetLayout kSheetExplo3;    // runs: rows of 12 of 32, 40, 48, 56, 64
extern const SheetLayout kSheetEffect1;   // runs: row 8 32x32; 12x12 @(256,0); 12x12 @(256,12)
extern const SheetLayout kSheetEffect2;   // runs: row 6 80x80; row 6 48x48 @y80; row 6 64x64 @y128
extern const SheetLayout kSheetEffect3;
// runs: row 2 32x32 (player); grid 14 24x24 from (0,52) (shot hits); 32x32 @(64,0)
// (player death). The spark grid sits below the 32x32 cells rather than on
// top of them, where the explosion that draws it looks for it.
extern const SheetLayout kSheetEffect4;
extern const SheetLayout kSheetEffect19;
extern const SheetLayout kSheetEffect5;
extern const SheetLayout kSheetEffect6;
extern const SheetLayout kSheetEffect7;
extern const SheetLayout kSheetEffect10;
extern const SheetLayout kSheetEffect11;
extern const SheetLayout kSheetEffect14;
extern const SheetLayout kSheetEffect16;
extern const SheetLayout kSheetEffect17;
extern const SheetLayout kSheetEffect18;
extern const SheetLayout kSheetEffect8;
extern const SheetLayout kSheetEffect9;
extern const SheetLayout kSheetEffect15;
extern const SheetLayout kSheetEffect12;
extern const SheetLayout kSheetEffect13;

// ---- Enemy bullets (LoadEnemyBulletImages): the same 14 tables, one run
// each, on each of the five colour sheets. Table 13 is the bullet-removal
// explosion. ----
extern const SheetLayout kSheetEb1;
extern const SheetLayout kSheetEb2;
extern const SheetLayout kSheetEb3;
extern const SheetLayout kSheetEb4;
extern const SheetLayout kSheetEb5;
constexpr int kEnemyBulletTableCount = 14;

// ---- HUD, menus, banners (LoadHudImages) ----
extern const SheetLayout kSheetLife;
extern const SheetLayout kSheetCursor1;   // 360x16 @(0,112)
// Runs, in order: 0 16x16 @(136,24); 1-4 columns of 4 (score labels);
// 5 120x40 @(16,0); 6 24x24 @(136,0); 7 row 2 24x24 @(160,0); 8 4x4 @(0,36);
// 9 360x20 @(0,152); 10 16x16 @(208,0); 11 row 16 1x16 @(152,24);
// 12 336x72 @(0,172); 13 16x16 @(168,24); 14 2x8 @(224,0);
// 15 64x8 @(0,104); 16 56x4 @(0,112); 17 56x4 @(0,116).
extern const SheetLayout kSheetEtc1;
extern const SheetLayout kSheetShield1;
extern const SheetLayout kSheetShield2;
extern const SheetLayout kSheetAtari;
extern const SheetLayout kSheetGameOver;  // runs: 360x80 @(0,0); 256x48 @(0,80)
extern const SheetLayout kSheetEtc5;
// Runs, in order: 0 64x16 @(160,160); 1 224x32 @(0,336); 2 row 128 2x32
// @(0,368); 3 row 144 1x48 @(0,0); 4 and 5 360x48 @(0,48); 6 row 5 32x48
// @(144,0); 7 360x48 @(0,112); 8 360x48 @(0,288); 9-12 160x32 @(0,160),
// (0,192), (0,224), (0,256); 13 256x32 @(0,256); 14 column 4 160x16
// @(160,176); 15 column 4 160x16 @(0,400).
extern const SheetLayout kSheetStart;
extern const SheetLayout kSheetWarning2;  // runs: 180x128 @(0,0); column 25 296x4 @(0,128)
extern const SheetLayout kSheetEtc2;
extern const SheetLayout kSheetStClearWaku;
extern const SheetLayout kSheetReplayBack;
extern const SheetLayout kSheetCursor2;
extern const SheetLayout kSheetPSel;
extern const SheetLayout kSheetCharF1;
extern const SheetLayout kSheetCharF2;
extern const SheetLayout kSheetCharF3;
extern const SheetLayout kSheetCharF4;    // 240x64
extern const SheetLayout kSheetEtc3;      // runs: 384x16 @(0,0); 384x16 @(0,16)
extern const SheetLayout kSheetEtc4;
extern const SheetLayout kSheetEtc6;
extern const SheetLayout kSheetEmy250_4;  // row of 80 2x80
extern const SheetLayout kSheetWarning;   // 4 runs: column of 64 272x1 from (0, 64k)

// ---- Font (LoadFontImages): 12x16 glyphs. ----
// Runs, in order: 0 'A'-'Z' (style 0); 1 '0'-'9' (style 0); 2 "!'*,./?"
// (style 0); 3 '0'-'9' (style 1); 4 '*' (style 1); 5 '0'-'9' (style 2);
// 6 '0'-'9' (style 3).
extern const SheetLayout kSheetFont;
constexpr int kFontStyleCount = 4;
struct FontGlyphRun {
  int style;
  int run;            // index into kSheetFont.runs
  const char* chars;  // the character of each cell of the run, in order
};
std::span<const FontGlyphRun> FontGlyphRuns();
