// Boss tests run the real enemy pass with the recording library: fired
// bullets are read from the bullet pool, sound effects from the recorded
// sound starts (each effect number gets its own fake handle). A test fights
// one boss (or mid-boss) frame by frame and reads each pattern's volleys by
// the phase timer they were fired on.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "../play/play_fixture.h"
#include "bosses/boss_common.h"
#include "bosses/bosses.h"
#include "play/stage.h"
#include "play/stage_clear.h"
#include "screens/config.h"
#include "shell/sound_bank.h"

class BossTest : public PlayTest {
 protected:
  static constexpr int kSoundHandleBase = 1000;

  void SetUp() override {
    PlayTest::SetUp();
    ResetStageClearSequence();
    g_config = GameConfig{};
    g_config.enemy_shot_se = 1;
    g_config.se_volume = 100;
    for (int n = 0; n < kSoundBankSize; ++n) g_sound_bank[n] = kSoundHandleBase + n;
  }
  // For the bosses that start music of their own.
  static void EnableMusic() {
    g_config.bgm = 1;
    LoadBgmTable();
  }
  // Puts the player's core at (x, y) (screen pixels), which every aim points at.
  static void ParkPlayer(double x, double y) {
    g_player.core_x = x;
    g_player.core_y = y;
  }

  // ---- What was fired, played and left behind -----------------------------
  struct Shot {
    int type;
    double x, y, angle, speed, param1, param2;
    uint32_t owner;
  };
  // Bullets fired since the last call, in slot order (= firing order), and the
  // pool emptied again.
  static std::vector<Shot> TakeShots() {
    std::vector<Shot> out;
    for (EnemyBullet& b : g_enemy_bullets) {
      if (b.in_use != 1) continue;
      out.push_back(
          {b.type, b.centre_x, b.centre_y, b.angle, b.speed, b.param1, b.param2, b.owner});
    }
    ResetAllEnemyBullets();
    return out;
  }
  static std::vector<Shot> OfType(const std::vector<Shot>& shots, int type) {
    std::vector<Shot> out;
    for (const Shot& s : shots)
      if (s.type == type) out.push_back(s);
    return out;
  }
  static int CountOf(const std::vector<Shot>& shots, int type) {
    return static_cast<int>(OfType(shots, type).size());
  }
  static double MeanAngle(const std::vector<Shot>& shots) {
    double sum = 0;
    for (const Shot& s : shots) sum += s.angle;
    return shots.empty() ? 0.0 : sum / static_cast<double>(shots.size());
  }

  // Sound-effect numbers played since the log was last cleared.
  std::vector<int> Sounds() {
    std::vector<int> out;
    for (const auto& c : kesto_fake::CallsNamed("StartSoundHandle"))
      out.push_back(c.iarg(0) - kSoundHandleBase);
    return out;
  }
  int CountSound(int n) {
    int count = 0;
    for (int s : Sounds()) count += s == n ? 1 : 0;
    return count;
  }
  // Music files started and stops, since the log was last cleared.
  static std::vector<std::string> MusicStarted() {
    std::vector<std::string> out;
    for (const auto& c : kesto_fake::CallsNamed("StartMusicFile")) out.push_back(c.text);
    return out;
  }
  static int MusicHalts() { return static_cast<int>(kesto_fake::CallsNamed("HaltMusic").size()); }

  static int CountExplosions(int kind) {
    int count = 0;
    for (const Explosion& x : g_explosions) count += (x.in_use == 1 && x.kind == kind) ? 1 : 0;
    return count;
  }
  static int CountEnemies(int type) {
    int count = 0;
    for (const EnemyObject& e : g_enemies) count += (e.in_use == 1 && e.type == type) ? 1 : 0;
    return count;
  }
  static int ItemsAlive() {
    int n = 0;
    for (const Item& i : g_items) n += i.in_use == 1 ? 1 : 0;
    return n;
  }
  // Generator steps between two seeds, up to 2000.
  static int CountDraws(uint32_t from, uint32_t to) {
    for (int n = 0; n < 2000; ++n) {
      if (from == to) return n;
      from = from * 48828125u + 1u;
    }
    return -1;
  }

  // ---- The boss under test --------------------------------------------------
  // Spawns `type` at field (x, y) on `difficulty` and remembers its slot.
  void SpawnAt(int type, double x, double y, int difficulty) {
    g_flags.DifficultyMode = difficulty;
    ASSERT_EQ(SpawnEnemy(x, y, type, 0), 0);
    slot_ = -1;
    for (const EnemyObject& e : g_enemies)
      if (e.in_use == 1 && e.type == type) slot_ = e.slot;
    ASSERT_GE(slot_, 0);
  }
  EnemyObject& Boss() { return g_enemies[slot_]; }

  void Frame() {
    ClearLog();
    UpdateEnemies();
  }
  // Runs frames until `done` holds (at most `limit`), dropping the bullets
  // fired on the way; the frames run.
  template <typename Done>
  int RunUntil(Done done, int limit = 6000) {
    int n = 0;
    while (Boss().in_use == 1 && !done() && n < limit) {
      Frame();
      TakeShots();
      ++n;
    }
    return n;
  }
  // Runs `n` frames, dropping the bullets they fire.
  void RunFrames(int n) {
    for (int i = 0; i < n; ++i) {
      Frame();
      TakeShots();
    }
  }
  template <typename KeepGoing>
  int RunWhile(KeepGoing keep_going, int limit = 6000) {
    return RunUntil([&] { return !keep_going(); }, limit);
  }
  int RunUntilState(int state, int limit = 6000) {
    return RunUntil([&] { return Boss().life_state == state; }, limit);
  }
  // Runs the boss's current phase until its pattern step reads `step`.
  void RunToStep(int phase, int step, int limit = 4000) {
    RunUntil([&] { return BossPatternStep(Boss(), phase) == step; }, limit);
    ASSERT_EQ(BossPatternStep(Boss(), phase), step);
  }
  // Every pool the fights use emptied, for a test that fights many times.
  void ResetPools() {
    ResetAllEnemies();
    ResetAllEnemyBullets();
    ResetAllExplosions();
    ResetAllItems();
    ResetAllBulletCancelSlots();
    ResetStageClearSequence();
    BossFightFlag(0);
    SetMidBossDownFlag(0);
    NoShot();
  }

  // A piercing shot over a point of the field: it hits whatever box is there
  // on every frame until taken away.
  static void ShotAt(double x, double y, int damage, double half = 4) {
    PlayerShot& s = g_player_shots[0];
    s = PlayerShot{};
    s.alive = 1;
    s.type = 10;
    s.damage = damage;
    s.silent_end = 1;
    s.hit_left = x - half;
    s.hit_right = x + half;
    s.hit_top = y - half;
    s.hit_bottom = y + half;
  }
  void ShotOverBoss(int damage) { ShotAt(Boss().x, Boss().y, damage, 20); }
  static void NoShot() { g_player_shots[0].alive = 0; }

  // ---- Volleys ---------------------------------------------------------------
  struct Volley {
    int t;      // phase timer read by the frame's patterns
    int state;  // life state the frame ran in
    std::vector<Shot> shots;
    int se81;               // enemy-shot sounds of the frame
    double boss_x, boss_y;  // where the boss fired from
    std::vector<double> gun_x, gun_y;
  };
  // Runs `frames` frames and keeps the bullets of `types` each frame fired
  // (every type when `types` is empty).
  std::vector<Volley> Record(int frames, std::set<int> types = {}) {
    std::vector<Volley> out;
    for (int i = 0; i < frames && Boss().in_use == 1; ++i) {
      const int t = Boss().state_timer;
      const int state = Boss().life_state;
      Frame();
      std::vector<Shot> kept;
      for (const Shot& s : TakeShots())
        if (types.empty() || types.count(s.type)) kept.push_back(s);
      if (kept.empty()) continue;
      const EnemyObject& e = Boss();
      out.push_back({t,
                     state,
                     kept,
                     CountSound(81),
                     e.x,
                     e.y,
                     {e.gun_x, e.gun_x + kEnemyGunCount},
                     {e.gun_y, e.gun_y + kEnemyGunCount}});
    }
    return out;
  }
  // The volleys among `v` that hold bullets of `type`, with only those.
  static std::vector<Volley> OfType(const std::vector<Volley>& v, int type) {
    std::vector<Volley> out;
    for (const Volley& x : v) {
      Volley y = x;
      y.shots = OfType(x.shots, type);
      if (!y.shots.empty()) out.push_back(y);
    }
    return out;
  }
  static std::vector<int> Times(const std::vector<Volley>& v) {
    std::vector<int> out;
    for (const Volley& x : v) out.push_back(x.t);
    return out;
  }
  static std::vector<int> Sizes(const std::vector<Volley>& v) {
    std::vector<int> out;
    for (const Volley& x : v) out.push_back(static_cast<int>(x.shots.size()));
    return out;
  }
  // The first `count` values first, first + step, ...
  static std::vector<int> Every(int first, int step, int count) {
    std::vector<int> out;
    for (int i = 0; i < count; ++i) out.push_back(first + step * i);
    return out;
  }

  int slot_ = 300;
};
