// Every enemy type of stages 4 and 5 chooses its fire by the difficulty it
// stored at its spawn: ACCEL is stored as ORIGINAL and fires exactly what
// ORIGINAL fires, and a stored value outside 0-2 fires nothing at all.
#include <cstdint>

#include "enemy_script_fixture.h"

namespace {

class Stage45ModesTest : public EnemyScriptTest {
 protected:
  // Held in place on the field, so that every type's gate stays open.
  static constexpr int kAsSpawned = INT32_MIN;
  std::vector<FiredBullet> Fire(int type, int mode, int stored = kAsSpawned) {
    SetUp();
    PlacePlayer(250.0, 440.0);
    EnemyObject& e = Spawn(type, 0, 180.0, 120.0, mode);
    e.screen_state = 1;
    if (stored != kAsSpawned) e.difficulty = stored;
    for (int f = 0; f < 200; ++f) {
      e.x = 320.0;
      e.y = 120.0;
      Frame();
    }
    return bullets;
  }
};

TEST_F(Stage45ModesTest, AccelFiresOriginalAndAnUnknownStoredDifficultyNothing) {
  for (int type : {21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 34, 35, 36, 37}) {
    const std::vector<FiredBullet> original = Fire(type, 1);
    ASSERT_FALSE(original.empty()) << type;
    const std::vector<FiredBullet> accel = Fire(type, 3);
    ASSERT_EQ(accel.size(), original.size()) << type;
    for (size_t i = 0; i < accel.size(); ++i) {
      EXPECT_EQ(accel[i].frame, original[i].frame) << type;
      EXPECT_EQ(accel[i].type, original[i].type) << type;
      EXPECT_DOUBLE_EQ(accel[i].angle, original[i].angle) << type;
      EXPECT_DOUBLE_EQ(accel[i].speed, original[i].speed) << type;
    }
    EXPECT_TRUE(Fire(type, 1, 3).empty()) << type;
    EXPECT_TRUE(Fire(type, 1, -1).empty()) << type;
  }
}

}  // namespace
