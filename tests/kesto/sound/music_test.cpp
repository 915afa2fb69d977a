// The music channel: MP3 through the filter graph with its end-of-stream
// loop, MIDI through the sequencer and DirectMusic with their timing and
// notifications, stopping, volume, and the path helpers.
#include "sound/music.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "kesto/sound/sound_fixture.h"
#include "platform/audio/midi_file.h"
#include "platform/file_system.h"
#include "support/scoped_temp_dir.h"

namespace sound_test {
namespace {

// A one-track MIDI file: `ticks` at 96 per quarter, tempo `tempo` us per
// quarter, one note from tick 0 to the end.
std::vector<uint8_t> Midi(uint32_t ticks, uint32_t tempo) {
  std::vector<uint8_t> track = {0x00, 0xFF, 0x51, 0x03, static_cast<uint8_t>(tempo >> 16),
                                static_cast<uint8_t>(tempo >> 8), static_cast<uint8_t>(tempo), 0x00, 0x90, 60, 100};
  // Delta time as a variable-length quantity.
  std::vector<uint8_t> delta;
  uint32_t t = ticks;
  delta.push_back(static_cast<uint8_t>(t & 0x7F));
  while (t >>= 7) delta.insert(delta.begin(), static_cast<uint8_t>(0x80 | (t & 0x7F)));
  track.insert(track.end(), delta.begin(), delta.end());
  track.insert(track.end(), {0x80, 60, 0, 0x00, 0xFF, 0x2F, 0x00});
  std::vector<uint8_t> v = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0, 96, 'M', 'T', 'r', 'k'};
  const uint32_t n = static_cast<uint32_t>(track.size());
  v.insert(v.end(), {static_cast<uint8_t>(n >> 24), static_cast<uint8_t>(n >> 16), static_cast<uint8_t>(n >> 8),
                     static_cast<uint8_t>(n)});
  v.insert(v.end(), track.begin(), track.end());
  return v;
}

// With KESTO_SOUND_LISTEN naming a folder, what a test mixed is kept there
// as a WAVE file for a developer to listen to.
void KeepForListening(const std::string& name, const std::vector<int16_t>& stereo) {
  const char* folder = std::getenv("KESTO_SOUND_LISTEN");
  if (folder == nullptr) return;
  std::vector<uint8_t> fmt = PcmFmt(2, 44100, 16);
  std::vector<uint8_t> image = Wave(fmt, Samples16(stereo));
  std::ofstream(std::string(folder) + "/" + name + ".wav", std::ios::binary)
      .write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
}

void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                              static_cast<std::streamsize>(bytes.size()));
}

class MusicTest : public SoundTest {
 protected:
  void SetUp() override {
    SoundTest::SetUp();
    WriteFile("bgm/tone.mp3", ReadFixture("tone.mp3"));
    WriteFile("bgm/half.mid", Midi(96, 500000));  // half a second
    WriteFile("bgm/text.mp3", {'n', 'o', 't', ' ', 'm', 'u', 's', 'i', 'c'});
  }
  void Start(int engine) {
    MusicEngine = engine;
    ASSERT_EQ(0, InitializeSoundSystem());
    log_.clear();
  }
  // Rendered frames pass as pump passes would let them: the output in
  // pump-sized pieces with each pass's messages between them.
  std::vector<int16_t> Play(int passes) {
    std::vector<int16_t> all;
    for (int i = 0; i < passes; ++i) {
      std::vector<int16_t> piece = Render(frames_per_pump_);
      all.insert(all.end(), piece.begin(), piece.end());
      const int saved = frames_per_pump_;
      frames_per_pump_ = 0;
      Pump();
      frames_per_pump_ = saved;
    }
    return all;
  }
  static int Peak(const std::vector<int16_t>& s, size_t from, size_t to) {
    int peak = 0;
    for (size_t i = from; i < to && i < s.size(); ++i) peak = std::max(peak, std::abs(static_cast<int>(s[i])));
    return peak;
  }
  ScopedTempDir dir_{true};
};

TEST_F(MusicTest, LoopingMp3RewindsAtEachEndOnEitherEngine) {
  for (int engine : {0, 1}) {
    Start(engine);
    ASSERT_EQ(0, PlayMusicFile("bgm/tone.mp3", 3));
    EXPECT_NE(nullptr, g_music.graph) << engine;
    EXPECT_EQ(1, IsMusicPlaying());
    // About 1.4 s: the 0.3 s track plays four times over.
    const std::vector<int16_t> out = Play(80);
    KeepForListening("music_loop_engine" + std::to_string(engine), out);
    EXPECT_EQ(1, IsMusicPlaying());
    // Sound in every tenth of a second: each loop follows the last within a
    // pump pass.
    const size_t tenth = 2 * 4410;
    for (size_t at = 0; at + tenth <= out.size(); at += tenth) {
      EXPECT_GT(Peak(out, at, at + tenth), 4000) << "engine " << engine << " at " << at / 2;
    }
    EXPECT_EQ(0, StopMusicPlayback());
    EXPECT_EQ(0, IsMusicPlaying());
    EXPECT_EQ(0, platform::audio::LiveFilterGraphCount());
    EXPECT_EQ(0, Peak(Render(100), 0, 200));
    ShutdownSoundSystem();
  }
}

TEST_F(MusicTest, PlayOnceReleasesTheGraphAtTheEndAndWaitingReturns) {
  Start(1);
  ASSERT_EQ(0, PlayMusicFile("bgm/tone.mp3", 1));
  Play(40);
  EXPECT_EQ(0, IsMusicPlaying());
  EXPECT_EQ(0, platform::audio::LiveFilterGraphCount());
  pumps_ = 0;
  ASSERT_EQ(0, PlayMusicFile("bgm/tone.mp3", 0));
  EXPECT_EQ(0, IsMusicPlaying());
  EXPECT_NEAR(0.33 * 60, pumps_, 3);
}

TEST_F(MusicTest, FilesNoPlayerTakesFailWithTheirPath) {
  Start(1);
  EXPECT_EQ(-1, PlayMusicFile("bgm/text.mp3", 3));
  const std::string full = std::filesystem::current_path().string() + "\\bgm\\text.mp3";
  EXPECT_EQ("ミュージックファイル " + full + " の演奏に失敗しました\n", log_);
  EXPECT_EQ(0, IsMusicPlaying());
  EXPECT_EQ(0, platform::audio::LiveFilterGraphCount());
  log_.clear();
  EXPECT_EQ(-1, PlayMusicFile("bgm//a.mp3", 3));
  EXPECT_EQ("ミュージックファイル bgm//a.mp3 の演奏に失敗しました\n", log_);
  platform::audio::SetFault(platform::audio::Fault::kCreateFilterGraph, true);
  EXPECT_EQ(-1, PlayMusicFile("bgm/tone.mp3", 3));
}

TEST_F(MusicTest, ATrackThatCannotBeReadFailsItsStartAndTheNextTrackPlays) {
  // A folder or a FIFO named like a track, and a disk failing
  // part-way through a good track: each a failed start, never a crash, a
  // wait or a read without end.
  std::filesystem::create_directories("bgm/folder.mp3");
  ASSERT_EQ(0, mkfifo("bgm/fifo.mp3", 0644));
  WriteFile("bgm/failing.mp3", ReadFixture("tone.mp3"));
  platform::FailReadsForTesting("failing.mp3", 100);
  ::alarm(60);
  for (int engine : {0, 1}) {
    Start(engine);
    for (const char* track : {"bgm/folder.mp3", "bgm/fifo.mp3", "bgm/failing.mp3"}) {
      log_.clear();
      ::testing::internal::CaptureStderr();
      EXPECT_EQ(-1, PlayMusicFile(track, 3)) << track;
      const std::string said = ::testing::internal::GetCapturedStderr();
      EXPECT_NE(log_.find("の演奏に失敗しました"), std::string::npos) << track;
      EXPECT_NE(said.find("cannot be read"), std::string::npos) << track << ": " << said;
      EXPECT_EQ(0, IsMusicPlaying()) << track;
      EXPECT_EQ(0, platform::audio::LiveFilterGraphCount()) << track;
    }
    ASSERT_EQ(0, PlayMusicFile("bgm/tone.mp3", 3));
    EXPECT_GT(Peak(Play(10), 0, 2 * 4410), 4000);
    StopMusicPlayback();
    ShutdownSoundSystem();
  }
  ::alarm(0);
  platform::FailReadsForTesting("", 0);
}

TEST_F(MusicTest, SequencerReplaysALoopOnEveryNotification) {
  Start(0);
  ASSERT_EQ(0, PlayMusicFile("bgm/half.mid", 3));
  EXPECT_EQ(nullptr, g_music.graph);
  EXPECT_EQ(1, platform::audio::OpenMciDeviceCount());
  const uint32_t device = g_music.sequencer_device;
  // Three half-second plays in 1.6 s: three notifications, three replays.
  int notified = 0;
  for (int i = 0; i < 96; ++i) {
    platform::audio::Mixer::Get().Advance(735);
    for (const auto& n : platform::audio::TakeNotifications()) {
      EXPECT_EQ(platform::audio::kMessageMciNotify, n.message);
      EXPECT_EQ(&window_, n.window);
      EXPECT_EQ(static_cast<intptr_t>(device), n.lparam);
      ++notified;
      HandleMciMusicNotify();
    }
  }
  EXPECT_EQ(3, notified);
  EXPECT_EQ(1, IsMusicPlaying());
  // An abort notification replays too while the loop flag is set.
  platform::audio::PostNotification({&window_, platform::audio::kMessageMciNotify, platform::audio::kMciNotifyAborted, 0});
  Pump();
  EXPECT_EQ(1, IsMusicPlaying());
  EXPECT_EQ(0, StopMusicPlayback());
  EXPECT_EQ(0, IsMusicPlaying());
  EXPECT_EQ(0, platform::audio::OpenMciDeviceCount());
}

TEST_F(MusicTest, SequencerPlayOnceClosesAtItsEnd) {
  Start(0);
  frames_per_pump_ = 735;
  pumps_ = 0;
  ASSERT_EQ(0, PlayMusicFile("bgm/half.mid", 0));
  EXPECT_EQ(0, IsMusicPlaying());
  EXPECT_NEAR(31, pumps_, 2);
  EXPECT_EQ(0, platform::audio::OpenMciDeviceCount());
}

TEST_F(MusicTest, DirectMusicSegmentsRepeatOrEnd) {
  Start(1);
  ASSERT_EQ(0, PlayMusicFile("bgm/half.mid", 1));
  ASSERT_NE(nullptr, g_music.segment);
  EXPECT_EQ(1, IsMusicPlaying());
  Play(31);
  EXPECT_EQ(0, IsMusicPlaying());
  EXPECT_NE(nullptr, g_music.segment);  // stays loaded until stopped
  ASSERT_EQ(0, PlayMusicFile("bgm/half.mid", 3));
  Play(200);
  EXPECT_EQ(1, IsMusicPlaying());
  EXPECT_EQ(0, StopMusicPlayback());
  EXPECT_EQ(nullptr, g_music.segment);
  EXPECT_EQ(0, IsMusicPlaying());
  EXPECT_EQ(0, StopMusicPlayback());  // nothing plays: nothing changes
}

TEST_F(MusicTest, Volumes) {
  Start(1);
  MasterMusicVolume = -1200;
  ASSERT_EQ(0, PlayMusicFile("bgm/tone.mp3", 3));
  const struct {
    int volume;
    int32_t graph, master;
  } cases[] = {{255, 0, -1200}, {0, -10000, -10000}, {128, -5000, -5600}, {254, -78, -1269}};
  for (const auto& c : cases) {
    ASSERT_EQ(0, SetMusicVolume(c.volume));
    EXPECT_EQ(c.graph, g_music.audio->volume()) << c.volume;
    int32_t master = 0;
    g_sound_system.music_performance->GetMasterVolume(&master);
    EXPECT_EQ(c.master, master) << c.volume;
  }
  ShutdownSoundSystem();
  EXPECT_EQ(-1, SetMusicVolume(255));
}

TEST(MusicPathTest, ConvertFullPath) {
  const struct {
    const char* path;
    const char* base;
    int result;
    const char* full;
  } cases[] = {
      {"bgm/a.mp3", "C:\\app", 0, "C:\\app\\bgm\\a.mp3"},
      {"..\\b.mid", "C:\\app\\x", 0, "C:\\app\\b.mid"},
      {"\\m.mid", "D:\\y", 0, "D:\\m.mid"},
      {"E:\\z\\.\\m.mid", "C:\\app", 0, "E:\\z\\m.mid"},
      {"..\\..\\..\\m.mid", "C:\\a", 0, "C:\\m.mid"},
      {"bgm/a.mp3", "/home/player/halcyris/", 0, "/home/player/halcyris\\bgm\\a.mp3"},
      {"a//b", "C:\\app", -1, nullptr},
  };
  for (const auto& c : cases) {
    char out[260];
    EXPECT_EQ(c.result, ConvertFullPath(c.path, c.base, out)) << c.path;
    if (c.full != nullptr) {
      EXPECT_STREQ(c.full, out) << c.path;
    }
  }
  // Too long for 260 bytes: refused, and the destination stays a string.
  std::string deep(300, 'a');
  char out[260];
  EXPECT_EQ(-1, ConvertFullPath(deep.c_str(), "C:\\", out));
  EXPECT_LT(std::strlen(out), 260u);
}

TEST(MusicPathTest, SplitFilePath) {
  const struct {
    const char* path;
    const char* name;
    const char* directory;
  } cases[] = {
      {"C:\\app\\bgm\\a.mp3", "a.mp3", "C:\\app\\bgm"},
      {"a.mp3", "a.mp3", ""},
      {"C:a.mp3", "a.mp3", "C"},
      // A double-byte character whose second byte is a backslash code.
      {"\x95\\\\b.mid", "b.mid", "\x95\\"},
  };
  for (const auto& c : cases) {
    char name[260], directory[260];
    EXPECT_EQ(0, SplitFilePath(c.path, name, directory));
    EXPECT_STREQ(c.name, name);
    EXPECT_STREQ(c.directory, directory);
  }
}

TEST(MidiFileTest, LengthFollowsTempoChangesAndRefusesOtherFiles) {
  double seconds = 0;
  std::vector<uint8_t> slow = Midi(192, 1000000);
  ASSERT_TRUE(platform::audio::MidiFileLength(slow.data(), slow.size(), &seconds));
  EXPECT_DOUBLE_EQ(2.0, seconds);
  std::vector<uint8_t> rmid = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'R', 'M', 'I', 'D', 'd', 'a', 't', 'a'};
  std::vector<uint8_t> smf = Midi(96, 500000);
  const uint32_t n = static_cast<uint32_t>(smf.size());
  rmid.insert(rmid.end(), {static_cast<uint8_t>(n), static_cast<uint8_t>(n >> 8), 0, 0});
  rmid.insert(rmid.end(), smf.begin(), smf.end());
  ASSERT_TRUE(platform::audio::MidiFileLength(rmid.data(), rmid.size(), &seconds));
  EXPECT_DOUBLE_EQ(0.5, seconds);
  const std::vector<uint8_t> mp3 = ReadFixture("tone.mp3");
  EXPECT_FALSE(platform::audio::MidiFileLength(mp3.data(), mp3.size(), &seconds));
  // A track cut in the middle of an event ends there.
  const std::vector<uint8_t> whole = Midi(96, 500000);
  const std::vector<uint8_t> cut(whole.begin(), whole.end() - 6);
  EXPECT_TRUE(platform::audio::MidiFileLength(cut.data(), cut.size(), &seconds));
}

}  // namespace
}  // namespace sound_test
