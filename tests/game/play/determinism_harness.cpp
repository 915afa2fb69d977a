#include "determinism_harness.h"

#include <bit>
#include <cstring>
#include <iterator>
#include <string>

#include "play/bullet_cancel.h"
#include "play/enemies.h"
#include "play/enemy_bullets.h"
#include "play/explosions.h"
#include "play/input_record.h"
#include "play/items.h"
#include "play/play_links.h"
#include "play/player.h"
#include "play/player_shots.h"
#include "play/score_popups.h"
#include "play/stage.h"
#include "screens/config.h"
#include "screens/overlays.h"
#include "shell/frame.h"
#include "shell/game_flags.h"
#include "shell/game_math.h"
#include "shell/game_play.h"
#include "shell/program.h"
#include "support/kesto_fake/kesto_fake.h"

namespace {

// FNV-1a over values, doubles by bit pattern: never raw records, whose
// padding is not state.
struct Hash {
  uint64_t h = 1469598103934665603ull;
  void Byte(uint8_t b) {
    h ^= b;
    h *= 1099511628211ull;
  }
  void U64(uint64_t v) {
    for (int i = 0; i < 8; ++i) Byte(static_cast<uint8_t>(v >> (8 * i)));
  }
  void operator()(int32_t v) { U64(static_cast<uint32_t>(v)); }
  void operator()(uint32_t v) { U64(v); }
  void operator()(double v) { U64(std::bit_cast<uint64_t>(v)); }
  template <typename T, size_t N>
  void operator()(const T (&a)[N]) {
    for (const T& v : a) (*this)(v);
  }
};

void HashPlayer(Hash& m, const PlayerObject& p) {
  m(p.active), m(p.fighter), m(p.variant), m(p.width), m(p.height), m(p.core_x), m(p.core_y);
  m(p.hit_left), m(p.hit_top), m(p.hit_right), m(p.hit_bottom);
  m(p.body_left), m(p.body_top), m(p.body_right), m(p.body_bottom);
  m(p.power), m(p.focus), m(p.moving), m(p.lives);
  m(p.in_up), m(p.in_down), m(p.in_left), m(p.in_right), m(p.in_shot), m(p.in_bomb),
      m(p.in_full_auto);
  m(p.total_misses), m(p.stage_misses);
  m(p.shot_volley_counter), m(p.full_auto_volley_counter), m(p.shot_hold_over);
  m(p.appear_state), m(p.bank_counter), m(p.bank_frame), m(p.anim_counter), m(p.reappear_counter);
  m(p.form_counter), m(p.form_frame), m(p.form_step), m(p.aura_counter);
  m(p.reappear_scale), m(p.form_scale), m(p.form_scale2), m(p.aura_scale);
  m(p.score_item_count), m(p.firing), m(p.flash_counter), m(p.focus_hold);
  // The option velocities outlive games by design and are always written
  // before they are read, so they are left out.
  m(p.opt_x), m(p.opt_y), m(p.muzzle_x), m(p.muzzle_y);
  m(p.opt_angle), m(p.opt_arrived), m(p.opt_distance);
  m(p.history_index), m(p.history_x), m(p.history_y);
  m(p.focused_bomb), m(p.bombs), m(p.bomb_active), m(p.bomb_frame), m(p.bomb_wobble), m(p.guard);
  // The HUD counter is left out: no reset clears it and only labels read it.
  m(p.score), m(p.shown_hi_score), m(p.stage_scores);
  m(p.drain_delay), m(p.drain_step), m(p.life_bonus_counter), m(p.extends_given);
  // The input record and the playback settings are the input, not state.
  m(p.frame_index);
  m(p.replay_score), m(p.demo_timer), m(p.credits);
  m(p.x), m(p.y), m(p.vx), m(p.vy), m(p.centre_x), m(p.centre_y);
  m(p.respawn_countdown), m(p.control), m(p.item_gauge), m(p.continues), m(p.bomb_cooldown);
  m(p.no_extend), m(p.debug_repeat);
}

void HashShot(Hash& m, const PlayerShot& s) {
  m(s.alive), m(s.type), m(s.param), m(s.hit_score), m(s.width), m(s.height);
  m(s.anim_frame), m(s.draw_counter), m(s.anim_counter), m(s.age), m(s.silent_end);
  m(s.angle), m(s.speed), m(s.scale), m(s.x), m(s.y), m(s.centre_x), m(s.centre_y);
  m(s.vx), m(s.vy), m(s.hit_left), m(s.hit_top), m(s.hit_right), m(s.hit_bottom), m(s.damage);
}

void HashBullet(Hash& m, const EnemyBullet& b) {
  m(b.in_use), m(b.type), m(b.owner), m(b.width), m(b.height), m(b.hit_width), m(b.hit_height);
  m(b.mode), m(b.phase), m(b.phase_timer), m(b.frame), m(b.volley), m(b.aux_angle);
  m(b.off_screen), m(b.angle), m(b.speed), m(b.param1), m(b.param2), m(b.anim_counter);
  m(b.left), m(b.top), m(b.centre_x), m(b.centre_y), m(b.vx), m(b.vy);
  m(b.box_left), m(b.box_top), m(b.box_right), m(b.box_bottom);
}

void HashItem(Hash& m, const Item& it) {
  m(it.in_use), m(it.angle), m(it.scale), m(it.speed), m(it.age), m(it.phase);
  m(it.anim_counter), m(it.draw_phase), m(it.rotation), m(it.counter), m(it.attracted);
  m(it.gone), m(it.pickup_blocked), m(it.kind), m(it.left), m(it.top), m(it.vx), m(it.vy);
  m(it.centre_x), m(it.centre_y), m(it.width), m(it.height), m(it.value), m(it.gauge_amount);
}

void HashEnemy(Hash& m, const EnemyObject& e) {
  // The heading outlives a cleared slot by design; the types that read it
  // set it on their first frame.
  m(e.in_use), m(e.slot), m(e.type), m(e.variant), m(e.difficulty), m(e.gun_counter), m(e.gun_x),
      m(e.gun_y), m(e.gun_angle), m(e.gun_shots), m(e.gun_aux), m(e.gun_words), m(e.hp),
      m(e.phase_hp), m(e.max_hp), m(e.max_phase_hp), m(e.screen_state), m(e.move_state),
      m(e.script_states), m(e.script_counters), m(e.turn_angles), m(e.work_angles),
      m(e.boss_kind), m(e.draw_cell), m(e.draw_request), m(e.form), m(e.script_words),
      m(e.drawing_counter), m(e.drawing_alpha), m(e.draw_counter), m(e.draw_scale),
      m(e.gauge_flag), m(e.gauge_frames), m(e.dying_flag), m(e.life_state), m(e.state_timer),
      m(e.timed_out), m(e.mid_boss_timer), m(e.phase_limits), m(e.serial), m(e.anim_counter),
      m(e.anim_frame), m(e.hit_flash), m(e.kill_score), m(e.phase_bonus), m(e.items),
      m(e.cancel_on_death), m(e.no_revenge), m(e.part_words), m(e.left), m(e.top), m(e.x), m(e.y),
      m(e.vx), m(e.vy), m(e.motion_x), m(e.motion_y), m(e.width), m(e.height), m(e.pod_x),
      m(e.pod_y), m(e.pod_vx), m(e.pod_vy), m(e.collision_class), m(e.box_left), m(e.box_top),
      m(e.box_right), m(e.box_bottom), m(e.args), m(e.message), m(e.linked), m(e.part_index),
      m(e.parent_slot), m(e.parent_serial);
}

void HashExplosion(Hash& m, const Explosion& x) {
  m(x.in_use), m(x.kind), m(x.left), m(x.top), m(x.x), m(x.y), m(x.vx), m(x.vy), m(x.angle),
      m(x.scale), m(x.alpha), m(x.width), m(x.height), m(x.frame), m(x.steps), m(x.states),
      m(x.anims), m(x.rotation), m(x.param1), m(x.param2);
}

void HashPopup(Hash& m, const ScorePopup& p) {
  m(p.in_use), m(p.kind), m(p.state), m(p.left), m(p.top), m(p.x), m(p.y), m(p.vx), m(p.vy),
      m(p.angle), m(p.scale), m(p.speed), m(p.width), m(p.height), m(p.value), m(p.timer),
      m(p.anim), m(p.alpha);
}

// ---- the run ----

const HarnessScript* g_script = nullptr;
HarnessResult* g_result = nullptr;
int g_frame = 0;        // frames begun (1-based while running)
int g_play_frames = 0;  // unpaused frames, for the harness's own fire
bool g_paused_here = false;

void HarnessFire() {
  if (g_flags.GamePaused != 0) return;
  ++g_play_frames;
  const HarnessScript& s = *g_script;
  if (s.fire_every > 0 && g_play_frames % s.fire_every == 0) {
    const double x = 180.0 + (g_play_frames * 37) % 280;
    FireBulletFan(x, 40.0, g_play_frames % 13, AngleToPlayer(x, 40.0), 2.0 + (g_play_frames % 3),
                  3, 12, 1);
  }
  if (s.drop_every > 0 && g_play_frames % s.drop_every == 0) {
    const double x = 160.0 + (g_play_frames * 53) % 320;
    SpawnItem(x, 60.0, 0, 0, 0);
    SpawnItem(x, 60.0, 4, 250.0 + g_play_frames % 40, 3.0);
    SpawnItem(x, 60.0, 5, 90, 1.0);
    if (g_play_frames % (s.drop_every * 3) == 0) SpawnItem(x, 60.0, 1, 60, 2.0);
  }
}

void OnStep(const char* step) {
  const std::string name = step;
  if (name == "RunStageScript") {
    ++g_frame;
    // The harness's own pause lasts one frame.
    if (g_paused_here) g_flags.GamePaused = 0;
    g_paused_here = false;
    for (int f : g_script->paused_frames)
      if (f == g_frame) g_paused_here = true;
    if (g_paused_here) g_flags.GamePaused = 1;
  } else if (name == "UpdateEnemies") {
    HarnessFire();
  } else if (name == "EndFrame") {
    const int every = g_script->digest_every;
    if (g_frame == g_script->frames || (every > 0 && g_frame % every == 0))
      g_result->digests[g_frame] = DigestPlayState();
    g_result->score = GetPlayerScore();
    g_result->misses = GetPlayerTotalMisses() + 3 * GetPlayerContinues();
    g_result->bombs_left = GetPlayerBombs();
    if (g_script->on_frame) g_script->on_frame(g_frame);
    // Nothing reads the library calls of a finished frame; kept, a whole
    // stage's draw calls would take gigabytes.
    kesto_fake::state().calls.clear();
    if (!g_script->playback) {
      const int n = std::min(g_frame, kInputRecordWords);
      g_result->recorded.assign(g_player.input_record, g_player.input_record + n);
    }
  }
}

}  // namespace

namespace {

bool InUse(const PlayerShot& s) { return s.alive != 0; }
template <typename Record>
bool InUse(const Record& r) {
  return r.in_use != 0;
}

// Every record of a pool; with `in_use_only`, a free slot counts as its
// index alone.
template <typename Pool, typename HashRecord>
void HashPool(Hash& m, const Pool& pool, HashRecord hash, bool in_use_only) {
  for (size_t i = 0; i < std::size(pool); ++i) {
    if (in_use_only && !InUse(pool[i]))
      m(static_cast<int32_t>(i));
    else
      hash(m, pool[i]);
  }
}

uint64_t Digest(bool in_use_only) {
  Hash m;
  m(RandomSeed);
  m(static_cast<int32_t>(GetStageFrame()));
  m(static_cast<int32_t>(GetEnemyBulletsOnScreen()));
  m(static_cast<int32_t>(GetItemsOnScreen()));
  m(static_cast<int32_t>(BossFightFlag(-1)));
  HashPlayer(m, g_player);
  HashPool(m, g_player_shots, HashShot, in_use_only);
  HashPool(m, g_enemy_bullets, HashBullet, in_use_only);
  HashPool(m, g_items, HashItem, in_use_only);
  HashPool(m, g_enemies, HashEnemy, in_use_only);
  HashPool(m, g_explosions, HashExplosion, in_use_only);
  HashPool(m, g_score_popups, HashPopup, in_use_only);
  for (const BulletCancelSlot& c : g_bullet_cancels)
    m(c.active), m(c.frames_left), m(c.frames_total), m(c.convert_now), m(c.kind);
  return m.h;
}

}  // namespace

uint64_t DigestPlayState() { return Digest(false); }
uint64_t DigestLivePlayState() { return Digest(true); }

HarnessResult RunHarness(const HarnessScript& script) {
  HarnessResult result;
  g_script = &script;
  g_result = &result;
  g_frame = 0;
  g_play_frames = 0;
  g_paused_here = false;

  // Program-start state, then the resets a finished game leaves behind.
  kesto_fake::Reset();
  g_flags = GameFlags{};
  g_frame_clock = FrameClock{};
  g_continue_screen = ContinueScreenState{};
  // A slot clear keeps a few fields of the last enemy there; the pool starts zeroed.
  for (EnemyObject& e : g_enemies) e = EnemyObject{};
  g_config = DefaultConfig();
  ResetStageObject();
  ResetPlayObjects();
  AddEnemyBulletCount(-GetEnemyBulletsOnScreen());
  AddItemCount(-GetItemsOnScreen());
  BossFightFlag(0);
  g_flags.CurrentScene = kSceneGamePlay;
  g_flags.DifficultyMode = script.difficulty;
  if (script.stage_select != 0) {
    g_flags.sel_flag = 1;
    g_flags.StageNumber = script.stage_select;
  }
  InvincibleMode = script.invincible ? 1 : 0;
  SetPlayerFighter(script.fighter, script.variant);

  if (script.playback) {
    g_flags.ReplayPlayback = 1;
    // The configuration differs from the recording: the stored masks rule.
    g_config.shot_mask = 128 << 1;
    g_config.bomb_mask = 16;
    g_config.full_auto_mask = 32;
    g_config.auto_guard = script.auto_guard == 0 ? 1 : 0;
    std::memset(g_player.input_record, 0, sizeof g_player.input_record);
    std::copy(script.record.begin(),
              script.record.begin() + std::min<size_t>(script.record.size(), kInputRecordWords),
              g_player.input_record);
    g_player.frame_index = 0;
    g_player.pb_shot_mask = script.shot_mask;
    g_player.pb_bomb_mask = script.bomb_mask;
    g_player.pb_full_auto_mask = script.full_auto_mask;
    g_player.pb_auto_guard = script.auto_guard;
    const uint32_t ff = script.fast_forward ? static_cast<uint32_t>(g_config.shot_mask) : 0u;
    kesto_fake::state().pad_default = ff;
  } else {
    g_config.shot_mask = static_cast<int32_t>(script.shot_mask);
    g_config.bomb_mask = static_cast<int32_t>(script.bomb_mask);
    g_config.full_auto_mask = static_cast<int32_t>(script.full_auto_mask);
    g_config.auto_guard = script.auto_guard;
    const std::vector<uint32_t>* pad = &script.pad;
    kesto_fake::state().pad_script = [pad](int pump) {
      return pump >= 1 && static_cast<size_t>(pump) <= pad->size() ? (*pad)[pump - 1] : 0u;
    };
  }
  kesto_fake::state().quit_after_pumps = script.frames + 1;
  SetFrameStepHook(OnStep);
  RunGamePlayScene();
  SetFrameStepHook(nullptr);
  InvincibleMode = 0;
  g_script = nullptr;
  g_result = nullptr;
  return result;
}
