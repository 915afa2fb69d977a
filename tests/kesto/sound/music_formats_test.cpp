// Music beyond the game's MP3 tracks: WAVE, Ogg Vorbis, FLAC and MP3 files
// loop without a gap through the filter graph (the mixed output is the
// source tiled end to end), and MIDI pieces sound through the synthesiser
// on both engines, loop and stop; without a sound font they play silent
// and the log says why.
#include <cmath>
#include <filesystem>
#include <fstream>

#include "kesto/sound/sound_fixture.h"
#include "platform/media/media_fixtures.h"
#include "platform/media/midi_synth.h"
#include "support/media_encoder.h"
#include "support/scoped_temp_dir.h"

namespace sound_test {
namespace {

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
}

double Rms(const std::vector<int16_t>& s, size_t from, size_t to) {
  double sum = 0;
  size_t n = 0;
  for (size_t i = from; i < to && i < s.size(); ++i, ++n) sum += static_cast<double>(s[i]) * s[i];
  return n ? std::sqrt(sum / static_cast<double>(n)) : 0;
}

// A two-track piece at 480 ticks per quarter, 120 beats a minute: a chord
// for the first half second, silence until 0.75 s, then a note to 1 s.
std::vector<uint8_t> Song() {
  auto track = [](std::vector<uint8_t> events) {
    std::vector<uint8_t> t = {'M', 'T', 'r', 'k', 0, 0, 0, 0};
    events.insert(events.end(), {0x00, 0xFF, 0x2F, 0x00});
    const uint32_t n = static_cast<uint32_t>(events.size());
    t[4] = static_cast<uint8_t>(n >> 24), t[5] = static_cast<uint8_t>(n >> 16);
    t[6] = static_cast<uint8_t>(n >> 8), t[7] = static_cast<uint8_t>(n);
    t.insert(t.end(), events.begin(), events.end());
    return t;
  };
  std::vector<uint8_t> v = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1, 0, 2, 0x01, 0xE0};
  const std::vector<uint8_t> tempo = track({0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20});
  // 0.5 s is 480 ticks (0x83 0x60), 0.25 s is 240 (0x81 0x70).
  const std::vector<uint8_t> notes = track(
      {0x00, 0xC0, 0,  // piano
       0x00, 0x90, 60,   100,  0x00, 0x90, 64,   100,  0x00, 0x90, 67,   100,  0x83, 0x60, 0x80,
       60,   0,    0x00, 0x80, 64,   0,    0x00, 0x80, 67,   0,    0x81, 0x70, 0x90, 72,   110,  //
       0x81, 0x70, 0x80, 72,   0});
  v.insert(v.end(), tempo.begin(), tempo.end());
  v.insert(v.end(), notes.begin(), notes.end());
  return v;
}

class MusicFormatsTest : public SoundTest {
 protected:
  void TearDown() override {
    platform::media::SetSoundFontForTesting(nullptr);
    SoundTest::TearDown();
  }
  void Start(int engine) {
    MusicEngine = engine;
    ASSERT_EQ(0, InitializeSoundSystem());
    log_.clear();
  }
  // Output in pump-sized pieces with each pass's messages between them, as
  // a program's frames would let it play.
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
  ScopedTempDir dir_{true};
};

TEST_F(MusicFormatsTest, EveryFormatLoopsWithoutAGapAndPlaysOnceToItsEnd) {
  // Half a second of sweep, looped three and a half times: the output must
  // be the source tiled end to end, from the first sample (lossless) or
  // within what the codec changes (lossy), never shifted by a gap.
  const int length = 22050;
  const std::vector<int16_t> source = media_fixtures::Sweep(length);
  const struct {
    const char* file;
    const char* container;
    const char* codec;
    double tolerance;  // residual RMS over the source's RMS
  } cases[] = {{"bgm/a.wav", "wav", "pcm_s16le", 0},
               {"bgm/a.flac", "flac", "flac", 0},
               {"bgm/a.ogg", "ogg", "libvorbis", 0.12},
               {"bgm/a.mp3", "mp3", "libmp3lame", 0.12}};
  Start(1);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    std::filesystem::create_directories("bgm");
    ASSERT_TRUE(media_encoder::WriteAudio(c.file, c.container, c.codec, source, 44100));
    ASSERT_EQ(0, PlayMusicFile(c.file, 3));
    const std::vector<int16_t> out = Play(105);  // 1.75 s
    EXPECT_EQ(1, IsMusicPlaying());
    double residual = 0, signal = 0;
    for (size_t i = 0; i < out.size(); ++i) {
      const double want = source[i % source.size()];
      residual += (out[i] - want) * (out[i] - want);
      signal += want * want;
    }
    const double ratio = std::sqrt(residual / signal);
    if (c.tolerance == 0) {
      EXPECT_EQ(ratio, 0);
    } else {
      EXPECT_LT(ratio, c.tolerance);
    }
    // The last loop alone, too: a gap anywhere before shifts it all.
    double last_residual = 0;
    for (size_t i = 3 * source.size(); i < out.size(); ++i) {
      const double d = out[i] - source[i % source.size()];
      last_residual += d * d;
    }
    EXPECT_LT(std::sqrt(last_residual / (signal * (out.size() - 3 * source.size()) / out.size())),
              std::max(c.tolerance, 1e-9));
    // Played once: it ends, the graph goes, the output falls silent.
    ASSERT_EQ(0, PlayMusicFile(c.file, 1));
    Play(35);
    EXPECT_EQ(0, IsMusicPlaying());
    EXPECT_EQ(0, platform::audio::LiveFilterGraphCount());
    EXPECT_EQ(0, Rms(Render(256), 0, 512));
  }
}

TEST_F(MusicFormatsTest, MidiSoundsLoopsAndStopsOnBothEngines) {
  WriteBytes("bgm/song.mid", Song());
  for (int engine : {0, 1}) {
    SCOPED_TRACE(engine);
    Start(engine);
    ASSERT_EQ(0, PlayMusicFile("bgm/song.mid", 3));
    EXPECT_EQ(nullptr, g_music.graph);
    // Two and a half plays of the one-second piece.
    const std::vector<int16_t> out = Play(150);
    const size_t second = 2 * 44100;
    for (int loop = 0; loop < 2; ++loop) {
      const size_t at = static_cast<size_t>(loop) * second;
      // The chord, then its fading (and reverberating) rest, then the note.
      const double chord = Rms(out, at + second / 20, at + second * 9 / 20);
      const double rest = Rms(out, at + second * 13 / 20, at + second * 14 / 20);
      const double note = Rms(out, at + second * 16 / 20, at + second * 19 / 20);
      EXPECT_GT(chord, 300) << "loop " << loop;
      EXPECT_GT(note, 150) << "loop " << loop;
      EXPECT_LT(rest, chord / 3) << "loop " << loop;
    }
    EXPECT_EQ(1, IsMusicPlaying());
    ASSERT_EQ(0, StopMusicPlayback());
    EXPECT_EQ(0, IsMusicPlaying());
    EXPECT_EQ(0, Rms(Render(2048), 0, 4096));
    ShutdownSoundSystem();
  }
}

TEST_F(MusicFormatsTest, WithoutASoundFontMidiKeepsItsTimeSilentlyAndTheLogSaysWhy) {
  platform::media::SetSoundFontForTesting("");
  WriteBytes("bgm/song.mid", Song());
  Start(0);
  ASSERT_EQ(0, PlayMusicFile("bgm/song.mid", 1));
  EXPECT_NE(log_.find("sound font"), std::string::npos) << log_;
  EXPECT_NE(log_.find("MIDI music plays silent"), std::string::npos);
  pumps_ = 0;
  std::vector<int16_t> out;
  while (IsMusicPlaying() && pumps_ < 200) {
    const std::vector<int16_t> piece = Play(1);
    out.insert(out.end(), piece.begin(), piece.end());
  }
  EXPECT_EQ(0, IsMusicPlaying());
  EXPECT_NEAR(60, pumps_, 2);  // its one second
  EXPECT_EQ(0, Rms(out, 0, out.size()));
}

}  // namespace
}  // namespace sound_test
