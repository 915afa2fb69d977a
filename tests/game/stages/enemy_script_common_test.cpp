#include "stages/enemy_script_common.h"

#include "enemy_script_fixture.h"

namespace {

using ScriptCommonTest = EnemyScriptTest;

// Frames on which a pattern of the given interval, cap and wrap lets a volley
// leave, over `frames` frames, with the shot count each volley saw.
std::vector<std::pair<int, int>> Schedule(int32_t interval, int32_t cap, int32_t wrap, int frames) {
  EnemyObject e{};
  std::vector<std::pair<int, int>> out;
  for (int f = 0; f < frames; ++f)
    RunFirePattern(e, 3, interval, cap, wrap, [&](int32_t shots) { out.push_back({f, shots}); });
  return out;
}

TEST_F(ScriptCommonTest, FirePatternCountsSlotsCapsAndWraps) {
  using V = std::vector<std::pair<int, int>>;
  EXPECT_EQ(Schedule(5, kNoCap, kNoWrap, 16), (V{{0, 0}, {5, 1}, {10, 2}, {15, 3}}));
  EXPECT_EQ(Schedule(4, 2, 5, 40), (V{{0, 0}, {4, 1}, {20, 0}, {24, 1}}));
  EXPECT_EQ(Schedule(-6, kNoCap, kNoWrap, 13), (V{{0, 0}, {6, 1}, {12, 2}}));
  EXPECT_EQ(Schedule(3, 1, -4, 10), (V{{0, 0}, {3, 0}, {6, 0}, {9, 0}}));  // wraps every slot
  EXPECT_TRUE(Schedule(0, kNoCap, kNoWrap, 50).empty());  // and no division by zero
}

TEST_F(ScriptCommonTest, CloseRangeIsInclusiveAndResetsGunsOnlyWhenAsked) {
  EnemyObject& e = Spawn(0, 2, 180.0, 100.0);
  PlacePlayer(320.0, 160.0);
  for (bool reset : {false, true}) {
    e.gun_counter[2] = 9;
    e.gun_shots[2] = 4;
    e.gun_x[2] = 77.0;
    EXPECT_EQ(TestEnemyCloseRange(e, 60.0, reset), 1);
    EXPECT_EQ(e.no_revenge, 1);
    EXPECT_EQ(e.gun_counter[2], reset ? 0 : 9);
    EXPECT_EQ(e.gun_shots[2], reset ? 0 : 4);
    EXPECT_DOUBLE_EQ(e.gun_x[2], 77.0);
  }
  e.gun_counter[2] = 9;
  EXPECT_EQ(TestEnemyCloseRange(e, 59.5, true), 0);
  EXPECT_EQ(e.no_revenge, 0);
  EXPECT_EQ(e.gun_counter[2], 9);
}

int Tag(EnemyObject& e) {
  e.script_words[5] += 1;
  return 0;
}

TEST_F(ScriptCommonTest, DifficultyOutsideTheThreeModesFiresNothing) {
  EnemyObject e{};
  for (int d : {-1, 0, 1, 2, 3}) {
    e = EnemyObject{};
    e.difficulty = d;
    FireByDifficulty(e, Tag, Tag, Tag);
    EXPECT_EQ(e.script_words[5], d >= 0 && d <= 2 ? 1 : 0) << d;
  }
}

TEST_F(ScriptCommonTest, DyingSequenceWithoutDebrisDrawsFourTimesAFrame) {
  EnemyObject& e = Spawn(6, 0, 180.0, 200.0);
  e.life_state = 8;
  DyingSequence seq;
  seq.kind_near = 52;
  seq.debris = false;
  const uint32_t before = RandomSeed;
  RunDyingSequence(e, seq);
  EXPECT_EQ(DrawsBetween(before, RandomSeed), 4);
  EXPECT_EQ(ExplosionsOfKind(52), 1);
  EXPECT_EQ(ExplosionsOfKind(55), 1);
  EXPECT_EQ(ExplosionsOfKind(122), 0);
  EXPECT_EQ(e.collision_class, 1);
}

TEST_F(ScriptCommonTest, DyingSequenceDebrisCanStartAtDoubleScale) {
  EnemyObject& e = Spawn(6, 0, 180.0, 200.0);
  DyingSequence seq;
  seq.debris_param1 = 1.0;
  RunDyingSequence(e, seq);
  for (const Explosion& x : g_explosions)
    if (x.in_use == 1 && x.kind == 122) {
      EXPECT_DOUBLE_EQ(x.param1, 1.0);
    }
  EXPECT_EQ(ExplosionsOfKind(122), 1);
}

}  // namespace
