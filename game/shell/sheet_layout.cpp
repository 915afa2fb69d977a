#include "shell/sheet_layout.h"

#include <array>

namespace {

constexpr CellRun At(int x, int y, int w, int h) { return {1, w, h, x, y, 1}; }
constexpr CellRun Row(int n, int w, int h, int x = 0, int y = 0) { return {n, w, h, x, y, n}; }
constexpr CellRun Column(int n, int w, int h, int x = 0, int y = 0) { return {n, w, h, x, y, 1}; }
constexpr CellRun Grid(int n, int per_row, int w, int h, int x = 0, int y = 0) {
  return {n, w, h, x, y, per_row};
}

// ---- shared cuts ----
constexpr CellRun kWhole360x480[] = {At(0, 0, 360, 480)};
constexpr CellRun kTitleLogo[] = {At(0, 0, 360, 184)};
constexpr CellRun kCharB4_2[] = {At(0, 0, 240, 400)};
constexpr CellRun kWall[] = {At(0, 0, 640, 480)};
constexpr CellRun kRoll[] = {At(0, 0, 360, 1440)};

// Map pieces, bottom piece first.
constexpr CellRun kStage11[] = {
    At(0, 3360, 360, 480), At(0, 3360, 360, 480), At(0, 2880, 360, 480), At(0, 2400, 360, 480),
    At(0, 1920, 360, 480), At(0, 1440, 360, 480), At(0, 960, 360, 480),  At(0, 480, 360, 480),
    At(0, 0, 360, 480),    At(0, -480, 360, 480)};
constexpr CellRun kMap8[] = {
    At(0, 3360, 360, 480), At(0, 2880, 360, 480), At(0, 2400, 360, 480), At(0, 1920, 360, 480),
    At(0, 1440, 360, 480), At(0, 960, 360, 480),  At(0, 480, 360, 480),  At(0, 0, 360, 480)};
constexpr CellRun kMap7[] = {At(0, 2880, 360, 480), At(0, 2400, 360, 480), At(0, 1920, 360, 480),
                             At(0, 1440, 360, 480), At(0, 960, 360, 480),  At(0, 480, 360, 480),
                             At(0, 0, 360, 480)};
constexpr CellRun kMap5[] = {At(0, 1920, 360, 480), At(0, 1440, 360, 480), At(0, 960, 360, 480),
                             At(0, 480, 360, 480), At(0, 0, 360, 480)};
constexpr CellRun kMap3[] = {At(0, 960, 360, 480), At(0, 480, 360, 480), At(0, 0, 360, 480)};
constexpr CellRun kMap2[] = {At(0, 480, 360, 480), At(0, 0, 360, 480)};

constexpr CellRun kChar56[] = {Row(7, 56, 56), Row(7, 56, 56, 0, 56), At(168, 0, 56, 56)};
constexpr CellRun kChar64[] = {Row(7, 64, 56), Row(7, 64, 56, 0, 56), At(192, 0, 64, 56)};
constexpr CellRun kChar4[] = {Row(7, 64, 56), At(192, 0, 64, 56)};
constexpr CellRun kChar5[] = {Grid(52, 13, 48, 56), At(0, 224, 48, 56), Row(4, 48, 56, 48, 224),
                              At(288, 0, 48, 56)};
constexpr CellRun kCharO1[] = {Column(12, 32, 32)};
constexpr CellRun kCharO2[] = {Row(12, 32, 32)};
constexpr CellRun kCharO3[] = {Column(9, 32, 32)};
constexpr CellRun kCharO4[] = {Row(9, 32, 32)};
constexpr CellRun kCharO5[] = {Row(4, 32, 32)};

constexpr CellRun kEmy0[] = {Grid(48, 12, 80, 80)};
constexpr CellRun kGrid26of160[] = {Grid(26, 13, 160, 160)};
constexpr CellRun kEmy2[] = {Grid(4, 2, 120, 84)};
constexpr CellRun kEmy4[] = {Grid(24, 12, 80, 80)};
constexpr CellRun kEmy5_1[] = {Row(2, 200, 200)};
constexpr CellRun kEmy5_2[] = {Row(2, 104, 104)};
constexpr CellRun kEmy6[] = {Grid(39, 13, 240, 240)};
constexpr CellRun kEmy7[] = {Column(2, 264, 144)};
constexpr CellRun kEmy8[] = {Grid(48, 6, 80, 80), Grid(48, 6, 48, 48, 480, 0),
                             Grid(24, 6, 80, 80, 0, 640)};
constexpr CellRun kEmy9[] = {Column(2, 280, 136), Row(2, 72, 72, 0, 272)};
// Twelve full rows: the shadow cells reach 71, one per 15 degrees of heading.
constexpr CellRun kEmy10[] = {Grid(72, 6, 56, 56)};
constexpr CellRun kEmy11[] = {Column(2, 240, 144)};
constexpr CellRun kEmy12[] = {Column(2, 120, 80)};
constexpr CellRun kEmy13[] = {Grid(24, 6, 150, 150)};
constexpr CellRun kEmy14[] = {Column(2, 280, 160)};
constexpr CellRun kEmy16[] = {Grid(24, 12, 120, 120), Grid(24, 12, 120, 120, 0, 240)};
constexpr CellRun kEmy17[] = {Column(2, 200, 136)};
constexpr CellRun kEmy17_2[] = {Grid(48, 6, 88, 88)};
constexpr CellRun kEmy18[] = {Column(3, 120, 120)};
constexpr CellRun kEmy19[] = {Row(3, 300, 240), Row(3, 300, 240, 0, 240), Row(3, 300, 240, 0, 480)};
constexpr CellRun kEmy20[] = {Column(2, 300, 176)};
constexpr CellRun kEmy21[] = {Grid(24, 6, 72, 72)};
constexpr CellRun kEmy22[] = {Column(2, 200, 144)};
constexpr CellRun kEmy23[] = {Column(3, 100, 100)};
constexpr CellRun kEmy24[] = {Column(3, 80, 80)};
constexpr CellRun kEmy25[] = {Grid(18, 9, 120, 120)};
constexpr CellRun kEmy26[] = {Column(2, 240, 224)};
constexpr CellRun kColumn2of240[] = {Column(2, 240, 240)};
constexpr CellRun kEmy28[] = {Column(2, 240, 160)};
constexpr CellRun kEmy29[] = {Column(2, 160, 80)};
constexpr CellRun kEmy31[] = {Grid(18, 9, 72, 72)};
constexpr CellRun kBox[] = {Column(3, 64, 64)};
constexpr CellRun kEmy32[] = {Grid(24, 6, 160, 160)};
constexpr CellRun kEmy33[] = {Column(2, 200, 160)};
constexpr CellRun kEmy34[] = {Column(2, 300, 240)};
constexpr CellRun kEmy35[] = {Column(2, 200, 200)};
constexpr CellRun kEmy100[] = {Column(2, 400, 240)};
constexpr CellRun kGrid24of96[] = {Grid(24, 12, 96, 96)};
constexpr CellRun kEmy110[] = {Column(2, 320, 200), Column(2, 320, 200, 320, 0)};
constexpr CellRun kEmy111[] = {Column(2, 64, 64), Column(2, 72, 72, 64, 0)};
constexpr CellRun kEmy120_1[] = {Column(2, 360, 240)};
constexpr CellRun kEmy120_2[] = {Column(2, 72, 72)};
constexpr CellRun kEmy200_1[] = {Row(2, 264, 228)};
constexpr CellRun kEmy200_2[] = {Row(2, 80, 168), Row(2, 80, 168, 0, 168)};
constexpr CellRun kEmy210[] = {Column(2, 400, 200), Column(2, 400, 200, 0, 400)};
constexpr CellRun kEmy220_1[] = {Column(3, 300, 320)};
constexpr CellRun kEmy220_2[] = {Grid(24, 6, 120, 120)};
constexpr CellRun kEmy230_2[] = {Grid(36, 6, 200, 200)};
constexpr CellRun kEmy240_1[] = {Column(2, 440, 240)};
constexpr CellRun kEmy240_2[] = {Row(9, 200, 200), Row(9, 200, 200, 0, 200)};
constexpr CellRun kEmy250_2[] = {Row(12, 96, 96)};
constexpr CellRun kEmy250_3[] = {At(0, 0, 160, 160)};

constexpr CellRun kMyBullet1[] = {
    At(0, 0, 16, 28),   At(16, 0, 28, 32),  At(44, 0, 28, 40),  At(72, 0, 40, 44),
    At(112, 0, 48, 44), At(0, 28, 16, 40),  At(16, 32, 20, 44), At(36, 40, 24, 48),
    At(60, 44, 28, 52), At(88, 44, 36, 56), At(124, 44, 64, 64)};
constexpr CellRun kMyBullet2[] = {
    At(0, 52, 32, 16),  At(0, 68, 40, 18),  At(0, 86, 48, 24),  At(0, 110, 56, 26),
    At(0, 138, 64, 32), At(0, 0, 12, 52),   At(12, 0, 14, 52),  At(26, 0, 18, 52),
    At(44, 0, 22, 52),  At(66, 0, 26, 52),  At(64, 52, 56, 52)};
constexpr CellRun kMyBullet3[] = {
    At(0, 0, 12, 40),   At(12, 0, 16, 44),  At(28, 0, 18, 48),  At(46, 0, 20, 52),
    At(66, 0, 24, 56),  At(90, 0, 16, 16),  At(106, 0, 24, 24), At(130, 0, 28, 28),
    At(158, 0, 32, 32), At(190, 0, 40, 40), At(230, 0, 56, 48)};
constexpr CellRun kMyBullet4[] = {
    At(0, 0, 20, 20),    At(20, 0, 28, 28),   At(48, 0, 32, 32),   At(80, 0, 40, 40),
    At(120, 0, 48, 48),  At(0, 28, 24, 12),   At(0, 40, 32, 16),   At(32, 32, 40, 24),
    At(72, 40, 40, 32),  At(112, 48, 48, 32), At(0, 56, 40, 24),   Row(4, 32, 32, 0, 80),
    At(0, 112, 32, 16),  At(32, 112, 40, 20), At(72, 112, 48, 24), At(0, 132, 64, 24),
    At(64, 136, 68, 24)};
constexpr CellRun kGrid14of96[] = {Grid(14, 7, 96, 96)};

constexpr CellRun kItemScore2[] = {Row(12, 56, 56)};
constexpr CellRun kOne64[] = {At(0, 0, 64, 64)};
constexpr CellRun kItem1up[] = {At(0, 0, 64, 64), At(0, 64, 64, 64)};
constexpr CellRun kItemEx[] = {Row(4, 64, 64), Row(4, 64, 64, 0, 64)};
constexpr CellRun kItemScore[] = {Row(6, 32, 32)};
constexpr CellRun kItemScore3[] = {Row(18, 40, 40)};

constexpr CellRun kExplo1[] = {Grid(12, 6, 64, 64)};
constexpr CellRun kExplo2[] = {Grid(16, 8, 192, 192)};
constexpr CellRun kExplo3[] = {Row(12, 32, 32), Row(12, 40, 40, 0, 32), Row(12, 48, 48, 0, 72),
                               Row(12, 56, 56, 0, 120), Row(12, 64, 64, 0, 176)};
constexpr CellRun kEffect1[] = {Row(8, 32, 32), At(256, 0, 12, 12), At(256, 12, 12, 12)};
constexpr CellRun kEffect2[] = {Row(6, 80, 80), Row(6, 48, 48, 0, 80), Row(6, 64, 64, 0, 128)};
constexpr CellRun kEffect3[] = {Grid(12, 6, 96, 96)};
constexpr CellRun kEffect4[] = {Row(2, 32, 32), Grid(14, 7, 24, 24, 0, 52), At(64, 0, 32, 32)};
constexpr CellRun kEffect19[] = {Column(2, 48, 48)};
constexpr CellRun kEffect5[] = {Row(12, 64, 64)};
constexpr CellRun kRow6of32[] = {Row(6, 32, 32)};
constexpr CellRun kEffect7[] = {Row(4, 32, 48)};
constexpr CellRun kEffect10[] = {Row(4, 64, 96)};
constexpr CellRun kRow6of32x48[] = {Row(6, 32, 48)};
constexpr CellRun kEffect14[] = {Row(12, 48, 48)};
constexpr CellRun kEffect16[] = {Row(12, 16, 16)};
constexpr CellRun kRow2of32[] = {Row(2, 32, 32)};
constexpr CellRun kEffect9[] = {Row(2, 64, 56)};
constexpr CellRun kEffect15[] = {Grid(32, 8, 84, 40)};
constexpr CellRun kEffect12[] = {Row(4, 32, 32)};

constexpr CellRun kEnemyBullets[] = {
    Row(4, 24, 24, 0, 0),    Row(4, 24, 24, 0, 24),    Row(4, 24, 24, 0, 48),
    Row(4, 24, 24, 0, 80),   Row(4, 24, 24, 96, 24),   Row(16, 20, 20, 0, 120),
    Row(8, 20, 20, 0, 184),  Row(16, 24, 24, 0, 140),  Row(8, 20, 20, 0, 204),
    Row(4, 20, 20, 0, 224),  Row(4, 24, 24, 96, 0),    Row(4, 20, 20, 80, 224),
    Row(6, 20, 20, 160, 164), Row(6, 32, 32, 0, 244)};
static_assert(std::size(kEnemyBullets) == kEnemyBulletTableCount);

constexpr CellRun kLife[] = {Row(12, 32, 32)};
constexpr CellRun kCursor1[] = {At(0, 112, 360, 16)};
constexpr CellRun kEtc1[] = {
    At(136, 24, 16, 16),       Column(4, 80, 16, 0, 40), Column(4, 36, 16, 80, 40),
    Column(4, 56, 16, 116, 40), Column(4, 40, 16, 172, 40), At(16, 0, 120, 40),
    At(136, 0, 24, 24),        Row(2, 24, 24, 160, 0),    At(0, 36, 4, 4),
    At(0, 152, 360, 20),       At(208, 0, 16, 16),        Row(16, 1, 16, 152, 24),
    At(0, 172, 336, 72),       At(168, 24, 16, 16),       At(224, 0, 2, 8),
    At(0, 104, 64, 8),         At(0, 112, 56, 4),         At(0, 116, 56, 4)};
constexpr CellRun kShield2[] = {Row(9, 120, 120)};
constexpr CellRun kAtari[] = {Row(4, 16, 16)};
constexpr CellRun kGameOver[] = {At(0, 0, 360, 80), At(0, 80, 256, 48)};
constexpr CellRun kEtc5[] = {At(0, 0, 80, 48)};
constexpr CellRun kStart[] = {
    At(160, 160, 64, 16), At(0, 336, 224, 32),  Row(128, 2, 32, 0, 368), Row(144, 1, 48, 0, 0),
    At(0, 48, 360, 48),   At(0, 48, 360, 48),   Row(5, 32, 48, 144, 0),  At(0, 112, 360, 48),
    At(0, 288, 360, 48),  At(0, 160, 160, 32),  At(0, 192, 160, 32),     At(0, 224, 160, 32),
    At(0, 256, 160, 32),  At(0, 256, 256, 32),  Column(4, 160, 16, 160, 176),
    Column(4, 160, 16, 0, 400)};
constexpr CellRun kWarning2[] = {At(0, 0, 180, 128), Column(25, 296, 4, 0, 128)};
constexpr CellRun kEtc2[] = {Row(2, 40, 40)};
constexpr CellRun kPSel[] = {At(0, 0, 144, 288)};
constexpr CellRun kCharF[] = {At(0, 0, 240, 48)};
constexpr CellRun kCharF4[] = {At(0, 0, 240, 64)};
constexpr CellRun kEtc3[] = {At(0, 0, 384, 16), At(0, 16, 384, 16)};
constexpr CellRun kEtc4[] = {Column(4, 272, 80)};
constexpr CellRun kEtc6[] = {At(0, 0, 324, 8)};
constexpr CellRun kEmy250_4[] = {Row(80, 2, 80)};
constexpr CellRun kWarning[] = {Column(64, 272, 1, 0, 0), Column(64, 272, 1, 0, 64),
                                Column(64, 272, 1, 0, 128), Column(64, 272, 1, 0, 192)};

constexpr CellRun kFont[] = {Row(26, 12, 16, 0, 0),  Row(10, 12, 16, 0, 16), Row(7, 12, 16, 120, 16),
                             Row(10, 12, 16, 0, 32), At(144, 32, 12, 16),     Row(10, 12, 16, 0, 48),
                             Row(10, 12, 16, 0, 64)};
constexpr FontGlyphRun kFontGlyphRuns[] = {
    {0, 0, "ABCDEFGHIJKLMNOPQRSTUVWXYZ"}, {0, 1, "0123456789"}, {0, 2, "!'*,./?"},
    {1, 3, "0123456789"}, {1, 4, "*"}, {2, 5, "0123456789"}, {3, 6, "0123456789"}};

}  // namespace

// ---- the sheets ----
constexpr SheetLayout kSheetTitleBack{"bmp/title_back.dat", 360, 480, kWhole360x480};
constexpr SheetLayout kSheetTitleLogo{"bmp/title_logo.dat", 360, 184, kTitleLogo};
constexpr SheetLayout kSheetCharB1{"bmp/char_b1.dat", 360, 480, kWhole360x480};
constexpr SheetLayout kSheetCharB2{"bmp/char_b2.dat", 360, 480, kWhole360x480};
constexpr SheetLayout kSheetCharB3{"bmp/char_b3.dat", 360, 480, kWhole360x480};
constexpr SheetLayout kSheetCharB4{"bmp/char_b4.dat", 360, 480, kWhole360x480};
constexpr SheetLayout kSheetCharB4_2{"bmp/char_b4_2.dat", 240, 400, kCharB4_2};
constexpr SheetLayout kSheetWall{"bmp/wall.dat", 640, 480, kWall};
constexpr SheetLayout kSheetStClearBack{"bmp/st_clear_back.dat", 360, 480, kWhole360x480};
constexpr SheetLayout kSheetEndBack{"bmp/end_back.dat", 360, 480, kWhole360x480};
constexpr SheetLayout kSheetRoll{"bmp/roll.dat", 360, 1440, kRoll};

constexpr SheetLayout kSheetStage10{"bmp/stage10.dat", 360, 480, kWhole360x480};
constexpr SheetLayout kSheetStage20{"bmp/stage20.dat", 360, 480, kWhole360x480};
constexpr SheetLayout kSheetStage30{"bmp/stage30.dat", 360, 480, kWhole360x480};
constexpr SheetLayout kSheetStage40{"bmp/stage40.dat", 360, 480, kWhole360x480};
constexpr SheetLayout kSheetStage50{"bmp/stage50.dat", 360, 480, kWhole360x480};
constexpr SheetLayout kSheetStage60{"bmp/stage60.dat", 360, 480, kWhole360x480};
constexpr SheetLayout kSheetStage11{"bmp/stage11.dat", 360, 3840, kStage11};
constexpr SheetLayout kSheetStage21{"bmp/stage21.dat", 360, 3840, kMap8};
constexpr SheetLayout kSheetStage22{"bmp/stage22.dat", 360, 960, kMap2};
constexpr SheetLayout kSheetStage31{"bmp/stage31.dat", 360, 3840, kMap8};
constexpr SheetLayout kSheetStage32{"bmp/stage32.dat", 360, 1440, kMap3};
constexpr SheetLayout kSheetStage41{"bmp/stage41.dat", 360, 3840, kMap8};
constexpr SheetLayout kSheetStage42{"bmp/stage42.dat", 360, 3360, kMap7};
constexpr SheetLayout kSheetStage51{"bmp/stage51.dat", 360, 3840, kMap8};
constexpr SheetLayout kSheetStage52{"bmp/stage52.dat", 360, 3360, kMap7};
constexpr SheetLayout kSheetStage53{"bmp/stage53.dat", 360, 2400, kMap5};

constexpr SheetLayout kSheetChar1{"bmp/char1.dat", 392, 112, kChar56};
constexpr SheetLayout kSheetCharO1{"bmp/char_o1.dat", 32, 384, kCharO1};
constexpr SheetLayout kSheetChar2{"bmp/char2.dat", 392, 112, kChar56};
constexpr SheetLayout kSheetCharO2{"bmp/char_o2.dat", 384, 32, kCharO2};
constexpr SheetLayout kSheetChar3{"bmp/char3.dat", 448, 112, kChar64};
constexpr SheetLayout kSheetCharO3{"bmp/char_o3.dat", 32, 288, kCharO3};
constexpr SheetLayout kSheetChar1_2{"bmp/char1_2.dat", 392, 112, kChar56};
constexpr SheetLayout kSheetCharO1_2{"bmp/char_o1_2.dat", 32, 384, kCharO1};
constexpr SheetLayout kSheetChar2_2{"bmp/char2_2.dat", 392, 112, kChar56};
constexpr SheetLayout kSheetCharO2_2{"bmp/char_o2_2.dat", 384, 32, kCharO2};
constexpr SheetLayout kSheetChar3_2{"bmp/char3_2.dat", 448, 112, kChar64};
constexpr SheetLayout kSheetCharO3_2{"bmp/char_o3_2.dat", 32, 288, kCharO3};
constexpr SheetLayout kSheetChar4{"bmp/char4.dat", 448, 56, kChar4};
constexpr SheetLayout kSheetCharO4{"bmp/char_o4.dat", 288, 32, kCharO4};
constexpr SheetLayout kSheetChar5{"bmp/char5.dat", 624, 280, kChar5};
constexpr SheetLayout kSheetCharO5{"bmp/char_o5.dat", 128, 32, kCharO5};

constexpr SheetLayout kSheetEmy0{"bmp/emy0.dat", 960, 320, kEmy0};
constexpr SheetLayout kSheetEmy1{"bmp/emy1.dat", 2080, 320, kGrid26of160};
constexpr SheetLayout kSheetEmy2{"bmp/emy2.dat", 240, 168, kEmy2};
constexpr SheetLayout kSheetEmy3{"bmp/emy3.dat", 240, 168, kEmy2};
constexpr SheetLayout kSheetEmy4{"bmp/emy4.dat", 960, 160, kEmy4};
constexpr SheetLayout kSheetEmy5_1{"bmp/emy5_1.dat", 400, 200, kEmy5_1};
constexpr SheetLayout kSheetEmy5_2{"bmp/emy5_2.dat", 208, 104, kEmy5_2};
constexpr SheetLayout kSheetEmy6{"bmp/emy6.dat", 3120, 720, kEmy6};
constexpr SheetLayout kSheetEmy7{"bmp/emy7.dat", 264, 288, kEmy7};
constexpr SheetLayout kSheetEmy8{"bmp/emy8.dat", 768, 960, kEmy8};
constexpr SheetLayout kSheetEmy9{"bmp/emy9.dat", 280, 344, kEmy9};
constexpr SheetLayout kSheetEmy10{"bmp/emy10.dat", 336, 672, kEmy10};
constexpr SheetLayout kSheetEmy11{"bmp/emy11.dat", 240, 288, kEmy11};
constexpr SheetLayout kSheetEmy12{"bmp/emy12.dat", 120, 160, kEmy12};
constexpr SheetLayout kSheetEmy13_1{"bmp/emy13_1.dat", 900, 600, kEmy13};
constexpr SheetLayout kSheetEmy13_2{"bmp/emy13_2.dat", 900, 600, kEmy13};
constexpr SheetLayout kSheetEmy13_3{"bmp/emy13_3.dat", 900, 600, kEmy13};
constexpr SheetLayout kSheetEmy14{"bmp/emy14.dat", 280, 320, kEmy14};
constexpr SheetLayout kSheetEmy15{"bmp/emy15.dat", 2080, 320, kGrid26of160};
constexpr SheetLayout kSheetEmy16{"bmp/emy16.dat", 1440, 480, kEmy16};
constexpr SheetLayout kSheetEmy17{"bmp/emy17.dat", 200, 272, kEmy17};
constexpr SheetLayout kSheetEmy17_2{"bmp/emy17_2.dat", 528, 704, kEmy17_2};
constexpr SheetLayout kSheetEmy18{"bmp/emy18.dat", 120, 360, kEmy18};
constexpr SheetLayout kSheetEmy19{"bmp/emy19.dat", 900, 720, kEmy19};
constexpr SheetLayout kSheetEmy20{"bmp/emy20.dat", 300, 352, kEmy20};
constexpr SheetLayout kSheetEmy21{"bmp/emy21.dat", 432, 288, kEmy21};
constexpr SheetLayout kSheetEmy22{"bmp/emy22.dat", 200, 288, kEmy22};
constexpr SheetLayout kSheetEmy23{"bmp/emy23.dat", 100, 300, kEmy23};
constexpr SheetLayout kSheetEmy24{"bmp/emy24.dat", 80, 240, kEmy24};
constexpr SheetLayout kSheetEmy25{"bmp/emy25.dat", 1080, 240, kEmy25};
constexpr SheetLayout kSheetEmy26{"bmp/emy26.dat", 240, 448, kEmy26};
constexpr SheetLayout kSheetEmy27{"bmp/emy27.dat", 240, 480, kColumn2of240};
constexpr SheetLayout kSheetEmy28{"bmp/emy28.dat", 240, 320, kEmy28};
constexpr SheetLayout kSheetEmy29{"bmp/emy29.dat", 160, 160, kEmy29};
constexpr SheetLayout kSheetEmy30_1{"bmp/emy30_1.dat", 240, 480, kColumn2of240};
constexpr SheetLayout kSheetEmy30_2{"bmp/emy30_2.dat", 240, 480, kColumn2of240};
constexpr SheetLayout kSheetEmy30_3{"bmp/emy30_3.dat", 240, 480, kColumn2of240};
constexpr SheetLayout kSheetEmy30_4{"bmp/emy30_4.dat", 240, 480, kColumn2of240};
constexpr SheetLayout kSheetEmy31{"bmp/emy31.dat", 648, 144, kEmy31};
constexpr SheetLayout kSheetBox{"bmp/box.dat", 64, 192, kBox};
constexpr SheetLayout kSheetEmy32_1{"bmp/emy32_1.dat", 960, 640, kEmy32};
constexpr SheetLayout kSheetEmy32_2{"bmp/emy32_2.dat", 960, 640, kEmy32};
constexpr SheetLayout kSheetEmy33{"bmp/emy33.dat", 200, 320, kEmy33};
constexpr SheetLayout kSheetEmy34{"bmp/emy34.dat", 300, 480, kEmy34};
constexpr SheetLayout kSheetEmy35{"bmp/emy35.dat", 200, 400, kEmy35};
constexpr SheetLayout kSheetEmy100{"bmp/emy100.dat", 400, 480, kEmy100};
constexpr SheetLayout kSheetEmy101{"bmp/emy101.dat", 1152, 192, kGrid24of96};
constexpr SheetLayout kSheetEmy110{"bmp/emy110.dat", 640, 400, kEmy110};
constexpr SheetLayout kSheetEmy111{"bmp/emy111.dat", 136, 144, kEmy111};
constexpr SheetLayout kSheetEmy120_1{"bmp/emy120_1.dat", 360, 480, kEmy120_1};
constexpr SheetLayout kSheetEmy120_2{"bmp/emy120_2.dat", 72, 144, kEmy120_2};
constexpr SheetLayout kSheetEmy200_1{"bmp/emy200_1.dat", 528, 228, kEmy200_1};
constexpr SheetLayout kSheetEmy200_2{"bmp/emy200_2.dat", 160, 336, kEmy200_2};
constexpr SheetLayout kSheetEmy210{"bmp/emy210.dat", 400, 800, kEmy210};
constexpr SheetLayout kSheetEmy220_1{"bmp/emy220_1.dat", 300, 960, kEmy220_1};
constexpr SheetLayout kSheetEmy220_2{"bmp/emy220_2.dat", 720, 480, kEmy220_2};
constexpr SheetLayout kSheetEmy220_3{"bmp/emy220_3.dat", 720, 480, kEmy220_2};
constexpr SheetLayout kSheetEmy230_1{"bmp/emy230_1.dat", 240, 480, kColumn2of240};
constexpr SheetLayout kSheetEmy230_2{"bmp/emy230_2.dat", 1200, 1200, kEmy230_2};
constexpr SheetLayout kSheetEmy240_1{"bmp/emy240_1.dat", 440, 480, kEmy240_1};
constexpr SheetLayout kSheetEmy240_2{"bmp/emy240_2.dat", 1800, 400, kEmy240_2};
constexpr SheetLayout kSheetEmy250{"bmp/emy250.dat", 1152, 192, kGrid24of96};
constexpr SheetLayout kSheetEmy250_2{"bmp/emy250_2.dat", 1152, 96, kEmy250_2};
constexpr SheetLayout kSheetEmy250_3{"bmp/emy250_3.dat", 160, 160, kEmy250_3};

constexpr SheetLayout kSheetMyBullet1{"bmp/mybullet1.dat", 188, 108, kMyBullet1};
constexpr SheetLayout kSheetMyBullet2{"bmp/mybullet2.dat", 120, 170, kMyBullet2};
constexpr SheetLayout kSheetMyBullet3{"bmp/mybullet3.dat", 286, 56, kMyBullet3};
constexpr SheetLayout kSheetMyBullet4{"bmp/mybullet4.dat", 168, 160, kMyBullet4};
constexpr SheetLayout kSheetMbBomb{"bmp/mb_bomb.dat", 672, 192, kGrid14of96};

constexpr SheetLayout kSheetItemScore2{"bmp/item_score2.dat", 672, 56, kItemScore2};
constexpr SheetLayout kSheetItemPow{"bmp/item_pow.dat", 64, 64, kOne64};
constexpr SheetLayout kSheetItemBomb{"bmp/item_bomb.dat", 64, 64, kOne64};
constexpr SheetLayout kSheetItem1up{"bmp/item_1up.dat", 64, 128, kItem1up};
constexpr SheetLayout kSheetItemEx{"bmp/item_ex.dat", 256, 128, kItemEx};
constexpr SheetLayout kSheetItemScore{"bmp/item_score.dat", 192, 32, kItemScore};
constexpr SheetLayout kSheetItemScore3{"bmp/item_score3.dat", 720, 40, kItemScore3};

constexpr SheetLayout kSheetExplo0{"bmp/explo0.dat", 672, 192, kGrid14of96};
constexpr SheetLayout kSheetExplo4{"bmp/explo4.dat", 672, 192, kGrid14of96};
constexpr SheetLayout kSheetExplo0_2{"bmp/explo0_2.dat", 672, 192, kGrid14of96};
constexpr SheetLayout kSheetExplo1{"bmp/explo1.dat", 384, 128, kExplo1};
constexpr SheetLayout kSheetExplo2{"bmp/explo2.dat", 1536, 384, kExplo2};
constexpr SheetLayout kSheetExplo2_2{"bmp/explo2_2.dat", 1536, 384, kExplo2};
constexpr SheetLayout kSheetExplo3{"bmp/explo3.dat", 768, 240, kExplo3};
constexpr SheetLayout kSheetEffect1{"bmp/effect1.dat", 268, 32, kEffect1};
constexpr SheetLayout kSheetEffect2{"bmp/effect2.dat", 480, 192, kEffect2};
constexpr SheetLayout kSheetEffect3{"bmp/effect3.dat", 576, 192, kEffect3};
constexpr SheetLayout kSheetEffect4{"bmp/effect4.dat", 168, 100, kEffect4};
constexpr SheetLayout kSheetEffect19{"bmp/effect19.dat", 48, 96, kEffect19};
constexpr SheetLayout kSheetEffect5{"bmp/effect5.dat", 768, 64, kEffect5};
constexpr SheetLayout kSheetEffect6{"bmp/effect6.dat", 192, 32, kRow6of32};
constexpr SheetLayout kSheetEffect7{"bmp/effect7.dat", 128, 48, kEffect7};
constexpr SheetLayout kSheetEffect10{"bmp/effect10.dat", 256, 96, kEffect10};
constexpr SheetLayout kSheetEffect11{"bmp/effect11.dat", 192, 48, kRow6of32x48};
constexpr SheetLayout kSheetEffect14{"bmp/effect14.dat", 576, 48, kEffect14};
constexpr SheetLayout kSheetEffect16{"bmp/effect16.dat", 192, 16, kEffect16};
constexpr SheetLayout kSheetEffect17{"bmp/effect17.dat", 192, 48, kRow6of32x48};
constexpr SheetLayout kSheetEffect18{"bmp/effect18.dat", 192, 32, kRow6of32};
constexpr SheetLayout kSheetEffect8{"bmp/effect8.dat", 64, 32, kRow2of32};
constexpr SheetLayout kSheetEffect9{"bmp/effect9.dat", 128, 56, kEffect9};
constexpr SheetLayout kSheetEffect15{"bmp/effect15.dat", 672, 160, kEffect15};
constexpr SheetLayout kSheetEffect12{"bmp/effect12.dat", 128, 32, kEffect12};
constexpr SheetLayout kSheetEffect13{"bmp/effect13.dat", 64, 32, kRow2of32};

constexpr SheetLayout kSheetEb1{"bmp/eb1.dat", 384, 276, kEnemyBullets};
constexpr SheetLayout kSheetEb2{"bmp/eb2.dat", 384, 276, kEnemyBullets};
constexpr SheetLayout kSheetEb3{"bmp/eb3.dat", 384, 276, kEnemyBullets};
constexpr SheetLayout kSheetEb4{"bmp/eb4.dat", 384, 276, kEnemyBullets};
constexpr SheetLayout kSheetEb5{"bmp/eb5.dat", 384, 276, kEnemyBullets};

constexpr SheetLayout kSheetLife{"bmp/life.dat", 384, 32, kLife};
constexpr SheetLayout kSheetCursor1{"bmp/cursor1.dat", 360, 128, kCursor1};
constexpr SheetLayout kSheetEtc1{"bmp/etc1.dat", 360, 244, kEtc1};
constexpr SheetLayout kSheetShield1{"bmp/shield1.dat", 64, 64, kOne64};
constexpr SheetLayout kSheetShield2{"bmp/shield2.dat", 1080, 120, kShield2};
constexpr SheetLayout kSheetAtari{"bmp/atari.dat", 64, 16, kAtari};
constexpr SheetLayout kSheetGameOver{"bmp/game_over.dat", 360, 128, kGameOver};
constexpr SheetLayout kSheetEtc5{"bmp/etc5.dat", 80, 48, kEtc5};
constexpr SheetLayout kSheetStart{"bmp/start.dat", 360, 464, kStart};
constexpr SheetLayout kSheetWarning2{"bmp/warning2.dat", 296, 228, kWarning2};
constexpr SheetLayout kSheetEtc2{"bmp/etc2.dat", 80, 40, kEtc2};
constexpr SheetLayout kSheetStClearWaku{"bmp/st_clear_waku.dat", 360, 480, kWhole360x480};
constexpr SheetLayout kSheetReplayBack{"bmp/replay_back.dat", 360, 480, kWhole360x480};
constexpr SheetLayout kSheetCursor2{"bmp/cursor2.dat", 64, 64, kOne64};
constexpr SheetLayout kSheetPSel{"bmp/p_sel.dat", 144, 288, kPSel};
constexpr SheetLayout kSheetCharF1{"bmp/char_f1.dat", 240, 48, kCharF};
constexpr SheetLayout kSheetCharF2{"bmp/char_f2.dat", 240, 48, kCharF};
constexpr SheetLayout kSheetCharF3{"bmp/char_f3.dat", 240, 48, kCharF};
constexpr SheetLayout kSheetCharF4{"bmp/char_f4.dat", 240, 64, kCharF4};
constexpr SheetLayout kSheetEtc3{"bmp/etc3.dat", 384, 32, kEtc3};
constexpr SheetLayout kSheetEtc4{"bmp/etc4.dat", 272, 320, kEtc4};
constexpr SheetLayout kSheetEtc6{"bmp/etc6.dat", 324, 8, kEtc6};
constexpr SheetLayout kSheetEmy250_4{"bmp/emy250_4.dat", 160, 80, kEmy250_4};
constexpr SheetLayout kSheetWarning{"bmp/warning.dat", 272, 256, kWarning};

constexpr SheetLayout kSheetFont{"bmp/font.dat", 312, 80, kFont};

namespace {

constexpr const SheetLayout* kAllSheets[] = {
    &kSheetTitleBack, &kSheetTitleLogo, &kSheetCharB1, &kSheetCharB2, &kSheetCharB3,
    &kSheetCharB4, &kSheetCharB4_2, &kSheetStage10, &kSheetStage20, &kSheetStage30,
    &kSheetStage40, &kSheetStage50, &kSheetStage60, &kSheetStage11, &kSheetStage21,
    &kSheetStage22, &kSheetStage31, &kSheetStage32, &kSheetStage41, &kSheetStage42,
    &kSheetStage51, &kSheetStage52, &kSheetStage53, &kSheetWall, &kSheetStClearBack,
    &kSheetEndBack, &kSheetRoll,
    &kSheetChar1, &kSheetCharO1, &kSheetChar2, &kSheetCharO2, &kSheetChar3, &kSheetCharO3,
    &kSheetChar1_2, &kSheetCharO1_2, &kSheetChar2_2, &kSheetCharO2_2, &kSheetChar3_2,
    &kSheetCharO3_2, &kSheetChar4, &kSheetCharO4, &kSheetChar5, &kSheetCharO5,
    &kSheetEmy0, &kSheetEmy1, &kSheetEmy2, &kSheetEmy3, &kSheetEmy4, &kSheetEmy5_1,
    &kSheetEmy5_2, &kSheetEmy6, &kSheetEmy7, &kSheetEmy8, &kSheetEmy9, &kSheetEmy10,
    &kSheetEmy11, &kSheetEmy12, &kSheetEmy13_1, &kSheetEmy13_2, &kSheetEmy13_3, &kSheetEmy14,
    &kSheetEmy15, &kSheetEmy16, &kSheetEmy17, &kSheetEmy17_2, &kSheetEmy18, &kSheetEmy19,
    &kSheetEmy20, &kSheetEmy21, &kSheetEmy22, &kSheetEmy23, &kSheetEmy24, &kSheetEmy25,
    &kSheetEmy26, &kSheetEmy27, &kSheetEmy28, &kSheetEmy29, &kSheetEmy30_1, &kSheetEmy30_2,
    &kSheetEmy30_3, &kSheetEmy30_4, &kSheetEmy31, &kSheetBox, &kSheetEmy32_1, &kSheetEmy32_2,
    &kSheetEmy33, &kSheetEmy34, &kSheetEmy35, &kSheetEmy100, &kSheetEmy101, &kSheetEmy110,
    &kSheetEmy111, &kSheetEmy120_1, &kSheetEmy120_2, &kSheetEmy200_1, &kSheetEmy200_2,
    &kSheetEmy210, &kSheetEmy220_1, &kSheetEmy220_2, &kSheetEmy220_3, &kSheetEmy230_1,
    &kSheetEmy230_2, &kSheetEmy240_1, &kSheetEmy240_2, &kSheetEmy250, &kSheetEmy250_2,
    &kSheetEmy250_3,
    &kSheetMyBullet1, &kSheetMyBullet2, &kSheetMyBullet3, &kSheetMyBullet4, &kSheetMbBomb,
    &kSheetItemScore2, &kSheetItemPow, &kSheetItemBomb, &kSheetItem1up, &kSheetItemEx,
    &kSheetItemScore, &kSheetItemScore3,
    &kSheetExplo0, &kSheetExplo4, &kSheetExplo0_2, &kSheetExplo1, &kSheetExplo2,
    &kSheetExplo2_2, &kSheetExplo3, &kSheetEffect1, &kSheetEffect2, &kSheetEffect3,
    &kSheetEffect4, &kSheetEffect19, &kSheetEffect5, &kSheetEffect6, &kSheetEffect7,
    &kSheetEffect10, &kSheetEffect11, &kSheetEffect14, &kSheetEffect16, &kSheetEffect17,
    &kSheetEffect18, &kSheetEffect8, &kSheetEffect9, &kSheetEffect15, &kSheetEffect12,
    &kSheetEffect13,
    &kSheetEb1, &kSheetEb2, &kSheetEb3, &kSheetEb4, &kSheetEb5,
    &kSheetLife, &kSheetCursor1, &kSheetEtc1, &kSheetShield1, &kSheetShield2, &kSheetAtari,
    &kSheetGameOver, &kSheetEtc5, &kSheetStart, &kSheetWarning2, &kSheetEtc2,
    &kSheetStClearWaku, &kSheetReplayBack, &kSheetCursor2, &kSheetPSel, &kSheetCharF1,
    &kSheetCharF2, &kSheetCharF3, &kSheetCharF4, &kSheetEtc3, &kSheetEtc4, &kSheetEtc6,
    &kSheetEmy250_4, &kSheetWarning,
    &kSheetFont};

}  // namespace

CellRect CellOfRun(const CellRun& run, int index) {
  return {run.x + (index % run.per_row) * run.width, run.y + (index / run.per_row) * run.height,
          run.width, run.height};
}

int CellCount(const SheetLayout& sheet) {
  int total = 0;
  for (const CellRun& run : sheet.runs) total += run.count;
  return total;
}

CellRect CellOfSheet(const SheetLayout& sheet, int index) {
  if (index < 0) return {0, 0, 0, 0};
  for (const CellRun& run : sheet.runs) {
    if (index < run.count) return CellOfRun(run, index);
    index -= run.count;
  }
  return {0, 0, 0, 0};
}

std::span<const SheetLayout* const> AllSheets() { return kAllSheets; }

const SheetLayout* FindSheet(std::string_view path) {
  for (const SheetLayout* sheet : kAllSheets) {
    if (path == sheet->path) return sheet;
  }
  return nullptr;
}

std::span<const FontGlyphRun> FontGlyphRuns() { return kFontGlyphRuns; }
