#include "stages/timeline.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <sstream>

#include "play/enemies.h"
#include "play/stage.h"
#include "shell/game_flags.h"
#include "stages/timelines.h"
#include "timeline_recording.h"
#include "timeline_table_reader.h"

namespace {

constexpr int kLastFrame = 12000;

struct Boss {
  int type;
  int frame;
  double x;
  double y;
};

// What each stage's prose states about its timeline, independently of its table.
struct StageFacts {
  const char* name;
  int (*run)(int);
  const char* fixture;
  int events;
  int spawns;
  int gated;
  int title;    // -1: none
  int warning;  // -1: none
  Boss boss;
  Boss mid_boss;                                    // type 0: none
  int practice_start;                               // -1: no practice
  std::vector<std::pair<int, int>> scroll_changes;  // (frame, mode)
  const char* spawns_per_type;                      // "type:count ..."
  int gate_opened_at;                               // a frame inside the gated stretch; -1: no gate
  const char* busiest_frames;    // "spawns@frame,frame": the most spawns on one frame
  const char* spawner_variants;  // "type:variant,variant ..."
};

const std::vector<StageFacts>& Stages() {
  // clang-format off
  static const std::vector<StageFacts> stages = {
      {.name = "stage1", .run = RunStage1Timeline, .fixture = "stage1_timeline.txt",
       .events = 211, .spawns = 209, .gated = 0, .title = 10, .warning = 5000,
       .boss = {200, 5400, -132, 100}, .mid_boss = {}, .practice_start = 4940,
       .scroll_changes = {},
       .spawns_per_type = "0:110 1:12 2:2 3:1 4:4 5:2 6:2 7:10 8:3 9:30 10:22 32:4 301:6 200:1",
       .gate_opened_at = -1,
       .busiest_frames = "7@1110,2200", .spawner_variants = "301:0,1,2"},
      {.name = "stage2", .run = RunStage2Timeline, .fixture = "stage2_timeline.txt",
       .events = 236, .spawns = 232, .gated = 39, .title = 10, .warning = 6400,
       .boss = {210, 6800, 180, 580}, .mid_boss = {100, 3000, 180, -120}, .practice_start = 6340,
       .scroll_changes = {{6600, 3}},
       .spawns_per_type = "0:94 2:2 3:1 7:24 9:9 10:48 11:6 12:21 13:4 14:2 15:9 32:4 301:6 "
                           "100:1 210:1",
       .gate_opened_at = 3900,
       .busiest_frames = "6@1200,5360", .spawner_variants = "301:3,4,5,14"},
      {.name = "stage3", .run = RunStage3Timeline, .fixture = "stage3_timeline.txt",
       .events = 304, .spawns = 301, .gated = 0, .title = 10, .warning = 6300,
       .boss = {220, 6700, 180, -160}, .mid_boss = {}, .practice_start = 6240,
       .scroll_changes = {{6400, 3}},
       .spawns_per_type = "0:112 1:12 2:2 3:1 4:3 7:20 10:76 16:33 17:5 18:14 19:2 20:2 32:3 "
                           "33:1 34:8 301:6 220:1",
       .gate_opened_at = -1,
       .busiest_frames = "10@1800,2980", .spawner_variants = "301:6,7,8,9,10,11"},
      {.name = "stage4", .run = RunStage4Timeline, .fixture = "stage4_timeline.txt",
       .events = 258, .spawns = 256, .gated = 19, .title = 10, .warning = 8960,
       .boss = {230, 9360, 180, -120}, .mid_boss = {110, 4100, 180, -88}, .practice_start = 8900,
       .scroll_changes = {},
       .spawns_per_type = "0:114 2:1 3:1 10:30 15:28 22:7 23:25 24:12 25:6 26:5 27:2 35:5 303:18 "
                           "110:1 230:1",
       .gate_opened_at = 5200,
       .busiest_frames = "5@8200", .spawner_variants = "303:0,1,2,3,4"},
      {.name = "stage5", .run = RunStage5Timeline, .fixture = "stage5_timeline.txt",
       .events = 347, .spawns = 344, .gated = 70, .title = 10, .warning = 11160,
       .boss = {240, 11160, 180, -240}, .mid_boss = {120, 3100, 540, 100}, .practice_start = 11100,
       .scroll_changes = {{11560, 1}},
       .spawns_per_type = "0:156 2:5 3:2 7:36 10:12 12:23 13:2 16:36 18:4 28:9 29:33 30:4 32:4 "
                           "34:2 36:2 37:2 301:2 303:6 304:2 120:1 240:1",
       .gate_opened_at = 4500,
       .busiest_frames = "18@1270,2250", .spawner_variants = "301:12,13 303:0,1,2,3,4 304:0,1"},
      {.name = "extra", .run = RunExtraStageTimeline, .fixture = "extra_stage_timeline.txt",
       .events = 1, .spawns = 1, .gated = 0, .title = -1, .warning = -1,
       .boss = {250, 200, 180, 240}, .mid_boss = {}, .practice_start = -1,
       .scroll_changes = {},
       .spawns_per_type = "250:1",
       .gate_opened_at = -1,
       .busiest_frames = "1@200", .spawner_variants = ""},
  };
  // clang-format on
  return stages;
}

// Reports the first event where the two lists part.
void ExpectSameEvents(const std::vector<RecordedEvent>& actual,
                      const std::vector<RecordedEvent>& expected) {
  EXPECT_EQ(actual.size(), expected.size());
  for (size_t i = 0; i < std::min(actual.size(), expected.size()); ++i) {
    if (actual[i] == expected[i]) continue;
    ADD_FAILURE() << "event " << i << ": got " << ::testing::PrintToString(actual[i])
                  << ", table says " << ::testing::PrintToString(expected[i]);
    return;
  }
}

class TimelineTest : public ::testing::TestWithParam<StageFacts> {
 protected:
  void SetUp() override {
    g_flags = GameFlags{};
    ResetStageObject();
  }

  // Runs the timeline over [first, last] with the mid-boss flag set to `flag`.
  std::vector<RecordedEvent> Run(int flag, int first = 0, int last = kLastFrame) {
    RecordingTimelineSink spy;
    SetMidBossDownFlag(flag);
    for (int f = first; f <= last; ++f) {
      spy.frame = f;
      GetParam().run(f);
    }
    return spy.events;
  }

  std::vector<GoldenEvent> Golden() {
    return ReadTimelineTable(TimelineFixturePath(GetParam().fixture));
  }
};

TEST_P(TimelineTest, MatchesTheTableEventByEventWithTheGateOpenAndShut) {
  std::vector<GoldenEvent> golden = Golden();
  std::vector<RecordedEvent> all, ungated;
  for (const GoldenEvent& g : golden) {
    all.push_back(g.event);
    if (!g.gated) ungated.push_back(g.event);
  }
  ExpectSameEvents(Run(1), all);
  ExpectSameEvents(Run(0), ungated);
}

TEST_P(TimelineTest, StatedTotalsAndSharedFrames) {
  const StageFacts& s = GetParam();
  std::vector<RecordedEvent> open = Run(1);
  std::vector<RecordedEvent> shut = Run(0);
  EXPECT_EQ(static_cast<int>(open.size()), s.events);
  EXPECT_EQ(static_cast<int>(open.size() - shut.size()), s.gated);

  int spawns = 0;
  std::map<int, int> per_type;
  std::vector<int> titles, warnings;
  std::vector<std::pair<int, int>> scrolls;
  std::vector<RecordedEvent> bosses, mid_bosses;
  for (const RecordedEvent& e : open) {
    EXPECT_GT(e.frame, 0) << "nothing fires on frame 0";
    if (e.IsSpawn()) {
      ++spawns;
      ++per_type[e.type];
      if (e.type >= 200 && e.type < 300) bosses.push_back(e);
      if (e.type >= 100 && e.type < 200) mid_bosses.push_back(e);
    }
    if (e.what == "title") titles.push_back(e.frame);
    if (e.what == "warning") warnings.push_back(e.frame);
    if (e.what == "scroll") scrolls.emplace_back(e.frame, e.type);
  }
  EXPECT_EQ(spawns, s.spawns);
  EXPECT_EQ(titles, s.title < 0 ? std::vector<int>{} : std::vector<int>{s.title});
  EXPECT_EQ(warnings, s.warning < 0 ? std::vector<int>{} : std::vector<int>{s.warning});
  EXPECT_EQ(scrolls, s.scroll_changes);
  ASSERT_EQ(bosses.size(), 1u);
  EXPECT_EQ(bosses[0].type, s.boss.type);
  EXPECT_EQ(bosses[0].frame, s.boss.frame);
  EXPECT_EQ(bosses[0].x, s.boss.x);
  EXPECT_EQ(bosses[0].y, s.boss.y);
  EXPECT_EQ(bosses[0].variant, 0);
  if (s.mid_boss.type == 0) {
    EXPECT_TRUE(mid_bosses.empty());
  } else {
    ASSERT_EQ(mid_bosses.size(), 1u);
    EXPECT_EQ(mid_bosses[0].type, s.mid_boss.type);
    EXPECT_EQ(mid_bosses[0].frame, s.mid_boss.frame);
    EXPECT_EQ(mid_bosses[0].x, s.mid_boss.x);
    EXPECT_EQ(mid_bosses[0].y, s.mid_boss.y);
  }

  std::ostringstream counts;
  for (auto [type, n] : per_type) counts << (counts.tellp() > 0 ? " " : "") << type << ":" << n;
  std::map<int, int> stated;
  std::istringstream in(s.spawns_per_type);
  std::string item;
  while (in >> item) stated[std::stoi(item)] = std::stoi(item.substr(item.find(':') + 1));
  EXPECT_EQ(per_type, stated) << counts.str();

  std::map<int, int> per_frame;
  std::map<int, std::set<int>> spawner_variants;
  for (const RecordedEvent& e : open) {
    if (e.IsSpawn()) ++per_frame[e.frame];
    if (e.type >= 300) spawner_variants[e.type].insert(e.variant);
  }
  int most = 0;
  for (auto [frame, n] : per_frame) most = std::max(most, n);
  std::string busiest = std::to_string(most) + "@";
  for (auto [frame, n] : per_frame) {
    if (n == most) busiest += (busiest.back() == '@' ? "" : ",") + std::to_string(frame);
  }
  EXPECT_EQ(busiest, s.busiest_frames);
  std::string variants;
  for (const auto& [type, set] : spawner_variants) {
    variants += (variants.empty() ? "" : " ") + std::to_string(type) + ":";
    for (int v : set) variants += (variants.back() == ':' ? "" : ",") + std::to_string(v);
  }
  EXPECT_EQ(variants, s.spawner_variants);
}

// A mid-boss destroyed during the run of frame F opens the gate from F + 1 on:
// earlier gated events are lost, later ones fire on their own frames.
TEST_P(TimelineTest, GateOpenedMidStretchFiresOnlyTheLaterGatedEvents) {
  const StageFacts& s = GetParam();
  if (s.gate_opened_at < 0) GTEST_SKIP() << "no gate";
  std::vector<RecordedEvent> expected;
  int lost = 0, kept = 0;
  for (const GoldenEvent& g : Golden()) {
    if (!g.gated || g.event.frame > s.gate_opened_at) expected.push_back(g.event);
    if (g.gated) ++(g.event.frame > s.gate_opened_at ? kept : lost);
  }
  ASSERT_GT(lost, 0);
  ASSERT_GT(kept, 0);
  RecordingTimelineSink spy;
  SetMidBossDownFlag(0);
  for (int f = 0; f <= kLastFrame; ++f) {
    spy.frame = f;
    s.run(f);
    if (f == s.gate_opened_at) SetMidBossDownFlag(1);  // the enemy pass after the timeline
  }
  ExpectSameEvents(spy.events, expected);
}

// A practice starts 60 frames before the WARNING and sees only the banner,
// the scroll changes after it and the boss.
TEST_P(TimelineTest, BossPracticeSeesOnlyWarningScrollAndBoss) {
  const StageFacts& s = GetParam();
  if (s.practice_start < 0) GTEST_SKIP() << "no boss practice";
  EXPECT_EQ(s.practice_start, s.warning - 60);
  std::vector<RecordedEvent> seen = Run(0, s.practice_start);
  ASSERT_FALSE(seen.empty());
  EXPECT_EQ(seen.front().what, "warning");
  EXPECT_EQ(seen.front().frame, s.warning);
  int scrolls = 0;
  for (const RecordedEvent& e : seen) {
    if (e.what == "scroll") {
      ++scrolls;
    } else if (e.what != "warning") {
      EXPECT_TRUE(e.IsSpawn() && e.type == s.boss.type) << ::testing::PrintToString(e);
    }
  }
  EXPECT_EQ(scrolls, static_cast<int>(s.scroll_changes.size()));
}

void PrintTo(const StageFacts& s, std::ostream* os) { *os << s.name; }

INSTANTIATE_TEST_SUITE_P(Stages, TimelineTest, ::testing::ValuesIn(Stages()),
                         [](const auto& info) { return std::string(info.param.name); });

// Stage 2 shuts its gate again with its last gated event; a mid-boss that
// outlives the stretch opens nothing and its flag stays.
TEST(TimelineGate, StageTwoClosesItsGateAndALateKillOpensNothing) {
  g_flags = GameFlags{};
  ResetStageObject();
  {
    RecordingTimelineSink spy;
    SetMidBossDownFlag(1);
    for (int f = 3000; f <= 4400; ++f) RunStage2Timeline(f);
    EXPECT_EQ(GetMidBossDownFlag(), 0);
  }
  RecordingTimelineSink spy;
  SetMidBossDownFlag(0);
  for (int f = 3000; f <= kLastFrame; ++f) {
    spy.frame = f;
    RunStage2Timeline(f);
    if (f == 4400) SetMidBossDownFlag(1);
  }
  EXPECT_EQ(GetMidBossDownFlag(), 1);
  for (const RecordedEvent& e : spy.events) {
    EXPECT_NE(e.what, "midboss_flag");
    if (e.frame >= 3620 && e.frame <= 4400) {
      EXPECT_TRUE(e.type == 32 || e.type == 13) << ::testing::PrintToString(e);
    }
  }
}

// Stage 3's hidden target needs ten containers: three placed, one from each
// type 19 and one from each type 34 of variant 1.
TEST(TimelineContent, StageThreeOffersExactlyTenContainers) {
  g_flags = GameFlags{};
  ResetStageObject();
  RecordingTimelineSink spy;
  for (int f = 0; f <= kLastFrame; ++f) {
    spy.frame = f;
    RunStage3Timeline(f);
  }
  std::vector<std::string> sources;
  for (const RecordedEvent& e : spy.events) {
    if (e.type == 32 || e.type == 19 || (e.type == 34 && e.variant == 1)) {
      sources.push_back(std::to_string(e.type) + "@" + std::to_string(e.frame));
    }
  }
  EXPECT_EQ(sources,
            (std::vector<std::string>{"32@340", "34@840", "32@1700", "19@2300", "19@2600",
                                      "34@4650", "34@4700", "32@5000", "34@5560", "34@5560"}));
}

// Spawners of type 303 get their count as a double, low word first; no other
// event carries arguments.
TEST(TimelineContent, SpawnerCountsTravelAsDoubles) {
  struct Case {
    int (*run)(int);
    int spawners;
  };
  for (const Case& c : {Case{RunStage4Timeline, 18}, Case{RunStage5Timeline, 6}}) {
    g_flags = GameFlags{};
    ResetStageObject();
    RecordingTimelineSink spy;
    SetMidBossDownFlag(1);
    for (int f = 0; f <= kLastFrame; ++f) {
      spy.frame = f;
      c.run(f);
    }
    int spawners = 0;
    for (const RecordedEvent& e : spy.events) {
      if (e.type != 303) {
        EXPECT_NE(e.what, "spawn_args") << ::testing::PrintToString(e);
        continue;
      }
      ++spawners;
      EXPECT_EQ(e.what, "spawn_args");
      EXPECT_EQ(e.x, 0.0);
      EXPECT_EQ(e.y, 0.0);
      // 32.0 for the pair of stage 4's frame 8560, else 16.0
      const uint32_t high =
          c.run == RunStage4Timeline && e.frame == 8560 ? 0x40400000u : 0x40300000u;
      EXPECT_EQ(e.args, (std::array<uint32_t, 4>{0, high, 0, 0})) << e.frame;
    }
    EXPECT_EQ(spawners, c.spawners);
  }
}

// Only a mid-boss killed on the field opens the gate; one that leaves the
// field when its time runs out is removed without opening it.
TEST(TimelineGate, OnlyAKillOnTheFieldOpensStageFoursGate) {
  for (int screen_state : {1, 2}) {
    g_flags = GameFlags{};
    ResetStageObject();
    ResetAllEnemies();
    RecordingTimelineSink spy;
    ASSERT_EQ(SpawnEnemy(180, -88, 110, 0), 0);
    int slot = -1;
    for (const EnemyObject& e : g_enemies) {
      if (e.in_use == 1 && e.type == 110) slot = e.slot;
    }
    ASSERT_GE(slot, 0);
    for (int f = 5900; f <= 6100; ++f) {
      spy.frame = f;
      RunStage4Timeline(f);
      if (f == 5990) {
        g_enemies[slot].screen_state = screen_state;
        DestroyEnemy(g_enemies[slot]);
      }
    }
    std::vector<int> type15;
    for (const RecordedEvent& e : spy.events) {
      if (e.type == 15) type15.push_back(e.frame);
    }
    const std::vector<int> expected =
        screen_state == 1 ? std::vector<int>{6000, 6020} : std::vector<int>{};
    EXPECT_EQ(type15, expected) << "screen state " << screen_state;
  }
}

struct Place {
  int type;
  int variant;
  double x;
  double y;
  bool operator==(const Place&) const = default;
};

void PrintTo(const Place& p, std::ostream* os) {
  *os << p.type << "/" << p.variant << " (" << p.x << ", " << p.y << ")";
}

std::vector<Place> SpawnsOnFrame(int (*run)(int), int frame) {
  RecordingTimelineSink spy;
  run(frame);
  std::vector<Place> out;
  for (const RecordedEvent& e : spy.events) {
    if (e.IsSpawn()) out.push_back({e.type, e.variant, e.x, e.y});
  }
  return out;
}

// Same-frame order decides slot order, so replays depend on it.
TEST(TimelineOrder, SpawnsOfOneFrameFollowTheTableRows) {
  g_flags = GameFlags{};
  ResetStageObject();
  SetMidBossDownFlag(1);  // stage 5's frame 4600 is gated
  struct Case {
    int (*run)(int);
    int frame;
    std::vector<Place> expected;
  };
  const Case cases[] = {
      {RunStage1Timeline, 300, {{0, 0, 90, -40}, {1, 0, 180, -60}, {0, 0, 320, -40}}},
      {RunStage1Timeline,
       2200,
       {{0, 0, 40, -40},
        {0, 0, 100, -40},
        {9, 0, 30, -28},
        {7, 1, 400, 0},
        {7, 1, 480, 0},
        {7, 1, 400, 70},
        {7, 1, 480, 70}}},
      {RunStage1Timeline,
       2390,
       {{7, 2, -40, 0},
        {7, 2, -110, 0},
        {7, 2, -180, 0},
        {7, 2, -40, -60},
        {7, 2, -110, -60},
        {7, 2, -180, -60}}},
      {RunStage2Timeline, 10, {{301, 14, 400, -250}}},
      {RunStage2Timeline,
       100,
       {{12, 0, 260, -40}, {9, 0, 30, -28}, {9, 0, 90, -28}, {9, 0, 150, -28}, {9, 0, 210, -28}}},
      {RunStage2Timeline, 5890, {{0, 0, 180, -40}, {0, 0, 180, -40}}},
      {RunStage3Timeline, 60, {{301, 6, -40, -160}}},
      {RunStage3Timeline,
       1800,
       {{7, 15, 400, -200},
        {7, 15, 472, -200},
        {7, 15, 544, -200},
        {7, 15, 616, -200},
        {7, 15, 688, -200},
        {7, 16, -40, -145},
        {7, 16, -112, -145},
        {7, 16, -184, -145},
        {7, 16, -256, -145},
        {7, 16, -328, -145}}},
      {RunStage4Timeline, 260, {{0, 0, 270, -40}, {0, 0, 90, -40}, {15, 0, 60, -80}}},
      {RunStage4Timeline, 270, {{0, 0, 230, -40}, {0, 0, 130, -40}}},
      {RunStage4Timeline, 290, {{0, 0, 270, -40}, {0, 0, 90, -40}}},
      {RunStage5Timeline, 1, {{32, 0, 180, 100}, {32, 0, 180, 200}}},
      {RunStage5Timeline,
       4600,
       {{0, 0, 140, -40}, {0, 0, 220, -40}, {0, 0, 140, -40}, {0, 0, 220, -40}}},
      {RunStage5Timeline,
       5800,
       {{12, 0, 270, -40},
        {12, 0, 160, -40},
        {0, 0, 140, -40},
        {0, 0, 60, -40},
        {301, 12, 396, -515}}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SpawnsOnFrame(c.run, c.frame), c.expected) << "frame " << c.frame;
  }
}

TEST(TimelineOrder, StageFiveStartsTheWarningBeforeItsBoss) {
  g_flags = GameFlags{};
  RecordingTimelineSink spy;
  RunStage5Timeline(11160);
  ASSERT_EQ(spy.events.size(), 2u);
  EXPECT_EQ(spy.events[0].what, "warning");
  EXPECT_EQ(spy.events[1].type, 240);
}

TEST(TimelineOrder, RingOfSixMatchesItsPrintedPoints) {
  g_flags = GameFlags{};
  std::vector<Place> ring = SpawnsOnFrame(RunStage1Timeline, 870);
  const double printed[6][2] = {{160, -78}, {130, -34.69873}, {70, -34.69873},
                                {40, -78},  {70, -121.30127}, {130, -121.30127}};
  ASSERT_EQ(ring.size(), 6u);
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(ring[i].type, 9);
    EXPECT_NEAR(ring[i].x, printed[i][0], 2e-5) << i;
    EXPECT_NEAR(ring[i].y, printed[i][1], 2e-5) << i;
  }
}

// The stage script calls the timeline on every frame but only advances the
// frame when not paused.
TEST(TimelineRun, PausedFramesFireNothingAndTheEventFiresOnceAfterwards) {
  g_flags = GameFlags{};
  ResetStageObject();
  RecordingTimelineSink spy;
  int frame = 5399;
  for (int step = 0; step < 10; ++step) {
    g_flags.GamePaused = (step >= 2 && step < 7) ? 1 : 0;
    spy.frame = frame;
    RunStage1Timeline(frame);
    if (g_flags.GamePaused == 0) ++frame;
  }
  ASSERT_EQ(spy.events.size(), 1u);
  EXPECT_EQ(spy.events[0].type, 200);
  EXPECT_EQ(frame, 5404);
}

TEST(TimelineRun, FramesOutsideTheTableFireNothing) {
  g_flags = GameFlags{};
  RecordingTimelineSink spy;
  for (int f : {-1, 0, 11, 5401, 2147483647, -2147483647 - 1}) RunStage1Timeline(f);
  EXPECT_TRUE(spy.events.empty());
}

TEST(TimelineExpand, MalformedRowsYieldNothing) {
  const TimelineRow rows[] = {
      Spawn(Same(), 0, 0, 1, 2),            // nothing above it
      Spawn(Every(10, 50, 0), 0, 0, 1, 2),  // no step
      Spawn(Same(), 0, 0, 3, 4),            // same as the bad row
      Spawn(Every(10, 5, 5), 0, 0, 1, 2),   // empty range
      Spawn(AtOnce(7, 0), 0, 0, 1, 2),      // none at once
      Spawn(At(8), 1, 0, 5, 6),
  };
  std::vector<TimelineEvent> events = ExpandTimeline(rows);
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].frame, 8);
}

// Without a test sink the events reach the enemy pool.
TEST(TimelineRun, GameSinkPlacesEnemiesInThePool) {
  g_flags = GameFlags{};
  ResetStageObject();
  ResetAllEnemies();
  RunStage1Timeline(300);
  std::vector<std::pair<int, double>> placed;
  for (const EnemyObject& e : g_enemies) {
    if (e.in_use) placed.emplace_back(e.type, e.x);
  }
  std::sort(placed.begin(), placed.end());
  EXPECT_EQ(placed, (std::vector<std::pair<int, double>>{{0, 230}, {0, 460}, {1, 320}}));
}

}  // namespace
