// Stage 3's hidden target opens once ten containers of the stage have been
// destroyed, and the stage offers exactly ten: every enemy its timeline
// places is shot down in turn through the real enemy pass, every container
// that leaves (or that the timeline places) is opened and destroyed, and the
// count then unlocks the target. A table change that loses one container
// makes the target unreachable.
#include <map>
#include <string>

#include "enemy_script_fixture.h"
#include "stages/timelines.h"
#include "timeline_recording.h"

namespace {

class Stage3ContainersTest : public EnemyScriptTest {
 protected:
  static EnemyObject* Live(int32_t serial) {
    for (EnemyObject& e : g_enemies)
      if (e.in_use == 1 && e.serial == serial) return &e;
    return nullptr;
  }
  // Shoots the enemy down on the field and waits out its dying sequence.
  void ShootDown(EnemyObject& e) {
    const int32_t serial = e.serial;
    const int type = e.type;
    e.screen_state = 1;
    e.hp = 0;
    for (int f = 0; f < 200 && Live(serial) != nullptr; ++f) {
      e.vx = 0.0;
      e.vy = 0.0;
      Frame();
    }
    EXPECT_EQ(Live(serial), nullptr) << "type " << type;
  }
  // Opens every container in the pool by coming close, then destroys it.
  int DestroyContainers() {
    int n = 0;
    for (EnemyObject& c : g_enemies) {
      if (c.in_use != 1 || c.type != 32) continue;
      ++n;
      PlacePlayer(c.x, c.y);
      Frame();  // a fresh one only switches its life state on
      Frame();
      EXPECT_EQ(c.collision_class, 2);  // opened: shots reach it now
      c.hp = 0;
      Frame();  // into its dying state
      Frame();  // destroyed: counted
      EXPECT_EQ(c.script_words[1], 1);
      ClearEnemySlot(c);  // sprays no more
    }
    return n;
  }
};

TEST_F(Stage3ContainersTest, TheStageOffersExactlyTheTenContainersTheHiddenTargetNeeds) {
  g_flags.StageNumber = 3;
  std::vector<RecordedEvent> events;
  {
    RecordingTimelineSink spy;
    for (int f = 0; f <= 7000; ++f) {
      spy.frame = f;
      RunStage3Timeline(f);
    }
    events = spy.events;
  }
  std::map<std::string, int> from;  // containers by their source
  for (const RecordedEvent& ev : events) {
    // Bosses and spawners (whose children are type 7 and 18) leave none;
    // the target itself is what the count unlocks.
    if (!ev.IsSpawn() || ev.type >= 100 || ev.type == 33) continue;
    ResetAllEnemies();
    ResetAllEnemyBullets();
    ResetAllExplosions();
    ResetAllItems();
    PlacePlayer(320.0, 440.0);
    EnemyObject& e = Spawn(ev.type, ev.variant, 180.0, 200.0, 1);
    if (ev.type != 32) ShootDown(e);
    const int made = DestroyContainers();
    if (made > 0) from[std::to_string(ev.type) + "/" + std::to_string(ev.variant)] += made;
  }
  EXPECT_EQ(from, (std::map<std::string, int>{{"32/0", 3}, {"19/0", 2}, {"34/1", 5}}));
  EXPECT_EQ(GetStageEventCount(), 10);

  // The target can now be shot, while the player is focused.
  ResetAllEnemies();
  EnemyObject& target = Spawn(33, 0, 180.0, 200.0, 1);
  g_player.focus = 1;
  Run(2);
  EXPECT_EQ(target.collision_class, 2);
}

}  // namespace
