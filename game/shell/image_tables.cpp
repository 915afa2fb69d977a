#include "shell/image_tables.h"

#include <unordered_map>
#include <vector>

#include "kesto/kesto.h"
#include "screens/config.h"

int32_t g_glyph_tables[kFontStyleCount][kGlyphTableSize]{};

namespace {

constexpr int32_t kNoPicture = -1;

struct LoadedSheet {
  bool loaded = false;
  int32_t parent = kNoPicture;
  std::vector<int32_t> cells;
};

struct Tables {
  std::unordered_map<const SheetLayout*, LoadedSheet> sheets;
  int graphics = 0;  // handles the loaders created
  // Current fighter tables (fighters 1-5) and bullet sheet; nullptr: none.
  const SheetLayout* fighter_body[5] = {};
  const SheetLayout* fighter_option[5] = {};
  const SheetLayout* bullets = nullptr;
};

Tables& T() {
  static Tables t;
  return t;
}

// Loads a sheet whole and cuts every cell, once for the whole run: later
// calls find the cells already made.
const LoadedSheet& Load(const SheetLayout& sheet) {
  LoadedSheet& s = T().sheets[&sheet];
  if (s.loaded) return s;
  s.loaded = true;
  s.parent = LoadImageFileToGraphic(sheet.path);
  if (s.parent >= 0) ++T().graphics;
  int n = CellCount(sheet);
  s.cells.assign(static_cast<size_t>(n), kNoPicture);
  if (s.parent < 0) return s;
  for (int i = 0; i < n; ++i) {
    CellRect r = CellOfSheet(sheet, i);
    // A cell starting outside its picture shows nothing (the top piece of
    // stage 1's map sits above its picture).
    if (r.x < 0 || r.y < 0) continue;
    s.cells[static_cast<size_t>(i)] = MakeSubGraphic(r.x, r.y, r.width, r.height, s.parent);
    if (s.cells[static_cast<size_t>(i)] >= 0) ++T().graphics;
  }
  return s;
}

void LoadAll(std::initializer_list<const SheetLayout*> sheets) {
  for (const SheetLayout* s : sheets) Load(*s);
}

int32_t CellOf(const SheetLayout* sheet, int index) {
  if (sheet == nullptr || index < 0) return kNoPicture;
  auto it = T().sheets.find(sheet);
  if (it == T().sheets.end() || index >= static_cast<int>(it->second.cells.size()))
    return kNoPicture;
  return it->second.cells[static_cast<size_t>(index)];
}

// First cell of run `run` counted over the sheet's runs.
int RunStart(const SheetLayout& sheet, int run) {
  int start = 0;
  for (int r = 0; r < run; ++r) start += sheet.runs[static_cast<size_t>(r)].count;
  return start;
}

const SheetLayout* const kFighterBodies[2][3] = {{&kSheetChar1, &kSheetChar2, &kSheetChar3},
                                                 {&kSheetChar1_2, &kSheetChar2_2, &kSheetChar3_2}};
const SheetLayout* const kFighterOptions[2][3] = {
    {&kSheetCharO1, &kSheetCharO2, &kSheetCharO3},
    {&kSheetCharO1_2, &kSheetCharO2_2, &kSheetCharO3_2}};
const SheetLayout* const kFighterIcons[8] = {&kSheetChar1, &kSheetChar2, &kSheetChar1_2,
                                             &kSheetChar2_2, &kSheetChar3, &kSheetChar4,
                                             &kSheetChar3_2, &kSheetChar5};
const SheetLayout* const kBulletSheets[5] = {&kSheetEb1, &kSheetEb2, &kSheetEb3, &kSheetEb4,
                                             &kSheetEb5};

}  // namespace

int LoadAllImages() {
  LoadMenuAndStageImages();
  LoadCharacterImages(0);
  LoadEnemyImages();
  LoadPlayerShotImages();
  LoadItemImages();
  LoadEffectImages();
  LoadEnemyBulletImages(g_config.bullet_color);
  LoadHudImages();
  LoadFontImages();
  return 0;
}

int LoadMenuAndStageImages() {
  LoadAll({&kSheetTitleBack, &kSheetTitleLogo, &kSheetCharB1, &kSheetCharB2, &kSheetCharB3,
           &kSheetCharB4, &kSheetCharB4_2, &kSheetStage10, &kSheetStage20, &kSheetStage30,
           &kSheetStage40, &kSheetStage50, &kSheetStage60, &kSheetStage11, &kSheetStage21,
           &kSheetStage22, &kSheetStage31, &kSheetStage32, &kSheetStage41, &kSheetStage42,
           &kSheetStage51, &kSheetStage52, &kSheetStage53, &kSheetWall, &kSheetStClearBack,
           &kSheetEndBack, &kSheetRoll});
  return 0;
}

int LoadCharacterImages(int variant) {
  // Both variants are cut once; a change of variant only re-points the tables.
  for (int v = 0; v < 2; ++v)
    for (int f = 0; f < 3; ++f) {
      Load(*kFighterBodies[v][f]);
      Load(*kFighterOptions[v][f]);
    }
  LoadAll({&kSheetChar4, &kSheetCharO4, &kSheetChar5, &kSheetCharO5});
  Tables& t = T();
  for (int f = 0; f < 3; ++f) {
    bool known = variant == 0 || variant == 1;
    t.fighter_body[f] = known ? kFighterBodies[variant][f] : nullptr;
    t.fighter_option[f] = known ? kFighterOptions[variant][f] : nullptr;
  }
  t.fighter_body[3] = &kSheetChar4;
  t.fighter_option[3] = &kSheetCharO4;
  t.fighter_body[4] = &kSheetChar5;
  t.fighter_option[4] = &kSheetCharO5;
  return 0;
}

int LoadEnemyImages() {
  LoadAll({&kSheetEmy0,     &kSheetEmy1,     &kSheetEmy2,     &kSheetEmy3,     &kSheetEmy4,
           &kSheetEmy5_1,   &kSheetEmy5_2,   &kSheetEmy6,     &kSheetEmy7,     &kSheetEmy8,
           &kSheetEmy9,     &kSheetEmy10,    &kSheetEmy11,    &kSheetEmy12,    &kSheetEmy13_1,
           &kSheetEmy13_2,  &kSheetEmy13_3,  &kSheetEmy14,    &kSheetEmy15,    &kSheetEmy16,
           &kSheetEmy17,    &kSheetEmy17_2,  &kSheetEmy18,    &kSheetEmy19,    &kSheetEmy20,
           &kSheetEmy21,    &kSheetEmy22,    &kSheetEmy23,    &kSheetEmy24,    &kSheetEmy25,
           &kSheetEmy26,    &kSheetEmy27,    &kSheetEmy28,    &kSheetEmy29,    &kSheetEmy30_1,
           &kSheetEmy30_2,  &kSheetEmy30_3,  &kSheetEmy30_4,  &kSheetEmy31,    &kSheetBox,
           &kSheetEmy32_1,  &kSheetEmy32_2,  &kSheetEmy33,    &kSheetEmy34,    &kSheetEmy35,
           &kSheetEmy100,   &kSheetEmy101,   &kSheetEmy110,   &kSheetEmy111,   &kSheetEmy120_1,
           &kSheetEmy120_2, &kSheetEmy200_1, &kSheetEmy200_2, &kSheetEmy210,   &kSheetEmy220_1,
           &kSheetEmy220_2, &kSheetEmy220_3, &kSheetEmy230_1, &kSheetEmy230_2, &kSheetEmy240_1,
           &kSheetEmy240_2, &kSheetEmy250,   &kSheetEmy250_2, &kSheetEmy250_3});
  return 0;
}

int LoadPlayerShotImages() {
  LoadAll({&kSheetMyBullet1, &kSheetMyBullet2, &kSheetMyBullet3, &kSheetMyBullet4,
           &kSheetMbBomb});
  return 0;
}

int LoadItemImages() {
  LoadAll({&kSheetItemScore2, &kSheetItemPow, &kSheetItemBomb, &kSheetItem1up, &kSheetItemEx,
           &kSheetItemScore, &kSheetItemScore3});
  return 0;
}

int LoadEffectImages() {
  LoadAll({&kSheetExplo0,   &kSheetExplo4,   &kSheetExplo0_2, &kSheetExplo1,   &kSheetExplo2,
           &kSheetExplo2_2, &kSheetExplo3,   &kSheetEffect1,  &kSheetEffect2,  &kSheetEffect3,
           &kSheetEffect4,  &kSheetEffect19, &kSheetEffect5,  &kSheetEffect6,  &kSheetEffect7,
           &kSheetEffect10, &kSheetEffect11, &kSheetEffect14, &kSheetEffect16, &kSheetEffect17,
           &kSheetEffect18, &kSheetEffect8,  &kSheetEffect9,  &kSheetEffect15, &kSheetEffect12,
           &kSheetEffect13});
  return 0;
}

int LoadEnemyBulletImages(int colour) {
  // All five colours are cut once; a change of colour only re-points.
  for (const SheetLayout* s : kBulletSheets) Load(*s);
  T().bullets = (colour >= 0 && colour < 5) ? kBulletSheets[colour] : nullptr;
  return 0;
}

int LoadHudImages() {
  LoadAll({&kSheetLife, &kSheetCursor1, &kSheetEtc1, &kSheetShield1, &kSheetShield2,
           &kSheetAtari, &kSheetGameOver, &kSheetEtc5, &kSheetStart, &kSheetWarning2,
           &kSheetEtc2, &kSheetStClearWaku, &kSheetReplayBack, &kSheetCursor2, &kSheetPSel,
           &kSheetCharF1, &kSheetCharF2, &kSheetCharF3, &kSheetCharF4, &kSheetEtc3, &kSheetEtc4,
           &kSheetEtc6});
  // The fighter icons are cells of the fighter sheets, already cut there.
  for (const SheetLayout* s : kFighterIcons) Load(*s);
  LoadAll({&kSheetEmy250_4, &kSheetWarning});
  return 0;
}

int LoadFontImages() {
  Load(kSheetFont);
  for (auto& table : g_glyph_tables)
    for (int32_t& g : table) g = 0;
  for (const FontGlyphRun& run : FontGlyphRuns()) {
    if (run.style < 0 || run.style >= kFontStyleCount || run.chars == nullptr) continue;
    int start = RunStart(kSheetFont, run.run);
    for (int i = 0; run.chars[i] != '\0'; ++i) {
      int code = static_cast<unsigned char>(run.chars[i]);
      if (code >= kGlyphTableSize) continue;
      int32_t cell = CellOf(&kSheetFont, start + i);
      g_glyph_tables[run.style][code] = cell;
    }
  }
  return 0;
}

int32_t SheetCell(const SheetLayout& sheet, int index) { return CellOf(&sheet, index); }

int32_t FighterCell(int fighter, int index) {
  if (fighter < 1 || fighter > 5) return kNoPicture;
  const SheetLayout* s = T().fighter_body[fighter - 1];
  // The last run of a fighter sheet is its HUD icon, not an animation cell.
  if (s == nullptr || index >= CellCount(*s) - 1) return kNoPicture;
  return CellOf(s, index);
}

int32_t FighterOptionCell(int fighter, int index) {
  if (fighter < 1 || fighter > 5) return kNoPicture;
  return CellOf(T().fighter_option[fighter - 1], index);
}

int32_t FighterIconCell(int icon) {
  if (icon < 0 || icon >= 8) return kNoPicture;
  const SheetLayout& s = *kFighterIcons[icon];
  return CellOf(&s, CellCount(s) - 1);
}

int32_t EnemyBulletCell(int table, int index) {
  const SheetLayout* s = T().bullets;
  if (s == nullptr || table < 0 || table >= static_cast<int>(s->runs.size()) || index < 0 ||
      index >= s->runs[static_cast<size_t>(table)].count)
    return kNoPicture;
  return CellOf(s, RunStart(*s, table) + index);
}

int32_t GlyphCell(int style, int code) {
  if (style < 0 || style >= kFontStyleCount || code < 0 || code >= kGlyphTableSize) return 0;
  return g_glyph_tables[style][code];
}

int LoadedGraphicCount() { return T().graphics; }

void ForgetLoadedImagesForTesting() {
  T() = Tables{};
  for (auto& table : g_glyph_tables)
    for (int32_t& g : table) g = 0;
}
