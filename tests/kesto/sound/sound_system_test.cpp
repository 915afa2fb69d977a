// Start-up, shutdown and the choice of music engine: the log each writes,
// the fallbacks, the primary format, and what a restart does to handles.
#include "kesto/sound/sound_fixture.h"

namespace sound_test {
namespace {

using platform::audio::Fault;
using platform::audio::SetFault;

class SoundSystemTest : public SoundTest {
 protected:
  std::vector<std::string> indents_;
  int depth_ = 0;
  void SetUp() override {
    SoundTest::SetUp();
    // Record the indent each log text was written at.
    SoundHost host;
    host.log = [this](const char* text) {
      log_ += text;
      indents_.push_back(std::to_string(depth_) + ":" + text);
    };
    host.indent = [this](int d) { depth_ += d; };
    host.fatal = [this](const char* message) { fatal_ += message; };
    host.pump = [this] { return Pump(); };
    host.main_window = [this]() -> void* { return &window_; };
    SetSoundHostForTesting(&host);
  }
};

const char kEngine0Head[] =
    "DirectSound の初期化を行います\n"
    "DirectSound インターフェースの取得を行います....  成功\n"
    "引き続きインターフェースの初期化処理...  成功\n";

const char kReport[] =
    "DirectSound デバイスを列挙します\n"
    "モジュール名:                 ドライバ記述:Primary Sound Driver \n"
    "モジュール名:         manual  ドライバ記述:Manual output \n"
    "最大サンプリングレート:200.00KHz 最小サンプリングレート:0.10KHz \n"
    "総サウンドメモリ領域:0.00KB 空きサウンドメモリ領域:0.00KB \n\n"
    "利用可能サンプリング精度\n"
    " プライマリ １６bit = OK  ８bit = OK \n"
    " セカンダリ １６bit = OK  ８bit = OK \n\n"
    "利用可能チャンネル\n"
    " プライマリ MONO = OK  STEREO = OK \n"
    " セカンダリ MONO = OK  STEREO = OK \n\n"
    "DirectSound の初期化は正常に終了しました\n";

TEST_F(SoundSystemTest, EngineZeroStartUpLogAndShutdown) {
  ASSERT_EQ(0, InitializeSoundSystem());
  EXPECT_EQ(std::string(kEngine0Head) + kReport, log_);
  EXPECT_EQ(0, depth_);
  // The device lines stand one level deeper than the report's head and its
  // capability lines.
  EXPECT_EQ("1:DirectSound デバイスを列挙します\n", indents_[5]);
  EXPECT_EQ("2:", indents_[6].substr(0, 2));
  EXPECT_EQ("1:利用可能サンプリング精度\n", indents_[indents_.size() - 7]);
  ASSERT_NE(nullptr, g_sound_system.silent_buffer);
  uint32_t status = 0;
  g_sound_system.silent_buffer->GetStatus(&status);
  EXPECT_EQ(platform::audio::kStatusPlaying | platform::audio::kStatusLooping, status);
  EXPECT_EQ(-1, InitializeSoundSystem());
  log_.clear();
  EXPECT_EQ(0, ShutdownSoundSystem());
  EXPECT_EQ("DirectSound の終了処理は正常に終了しました\n", log_);
  log_.clear();
  EXPECT_EQ(-1, ShutdownSoundSystem());
  EXPECT_EQ("", log_);
}

TEST_F(SoundSystemTest, PrimaryFormatFollowsTheDeviceCaps) {
  const struct {
    uint32_t flags, max_rate;
    uint16_t channels, bits;
    uint32_t rate;
  } cases[] = {
      {0xF, 200000, 2, 16, 44100},
      {0xF, 22050, 2, 16, 22050},
      {platform::audio::kCapsPrimary16Bit, 44100, 1, 16, 44100},
      {platform::audio::kCapsPrimaryStereo, 48000, 2, 8, 44100},
  };
  for (const auto& c : cases) {
    platform::audio::ReportedCaps().flags = c.flags;
    platform::audio::ReportedCaps().max_secondary_rate = c.max_rate;
    ASSERT_EQ(0, InitializeSoundSystem());
    const WaveFormat& f = g_sound_system.primary_buffer->primary_format();
    EXPECT_EQ(c.channels, f.channels);
    EXPECT_EQ(c.bits, f.bits_per_sample);
    EXPECT_EQ(c.rate, f.samples_per_sec);
    EXPECT_EQ(c.channels * c.bits / 8, f.block_align);
    EXPECT_EQ(f.block_align * c.rate, f.avg_bytes_per_sec);
    ShutdownSoundSystem();
  }
}

TEST_F(SoundSystemTest, EngineZeroFailuresLeaveSoundOff) {
  const struct {
    Fault fault;
    const char* tail;
    int result;
  } cases[] = {
      {Fault::kCreateDirectSound, "DirectSound インターフェースの取得を行います....  DirectSoundインターフェースの作成に失敗しました\n", -1},
      {Fault::kInitialize, "初期化処理...  初期化に失敗しました\n", -1},
      {Fault::kCooperativeLevel, "DirectSoundの協調レベルの設定に失敗しました\n", -1},
      {Fault::kPrimaryBuffer, "DirectSoundのプライマリサウンドバッファの作成に失敗しました\n", -1},
      {Fault::kPrimaryFormat, "DirectSoundのプライマリサウンドバッファのフォーマット設定に失敗しました\n", 0},
  };
  for (const auto& c : cases) {
    platform::audio::ClearFaults();
    SetFault(c.fault, true);
    log_.clear();
    EXPECT_EQ(c.result, InitializeSoundSystem());
    EXPECT_NE(std::string::npos, log_.find(c.tail)) << log_;
    EXPECT_EQ(c.result == 0, SoundRunning());
    ShutdownSoundSystem();
    EXPECT_EQ(0, platform::audio::LiveDirectSoundCount());
  }
}

TEST_F(SoundSystemTest, NoAudioDeviceMeansSilentGameNotFailure) {
  platform::audio::SetOutputKindForTesting(platform::audio::OutputKind::kFailing);
  EXPECT_EQ(-1, InitializeSoundSystem());
  EXPECT_FALSE(SoundRunning());
  EXPECT_EQ(0, SelectMusicEngine(1));
  EXPECT_EQ(-1, LoadSoundFileSingle("se/shot.wav"));
  EXPECT_EQ(-1, PlaySoundHandle(0x10000000, 1, 1));
  EXPECT_EQ(0, IsMusicPlaying());
  EXPECT_EQ(0, StopMusicPlayback());
}

TEST_F(SoundSystemTest, SilentBufferFailuresAreLoggedAndIgnored) {
  SetFault(Fault::kLock, true);
  ASSERT_EQ(0, InitializeSoundSystem());
  EXPECT_NE(std::string::npos, log_.find("無音バッファのロックに失敗しました"));
  EXPECT_EQ(nullptr, g_sound_system.silent_buffer);
  ShutdownSoundSystem();
  SetFault(Fault::kCreateBuffer, true);
  log_.clear();
  ASSERT_EQ(0, InitializeSoundSystem());
  EXPECT_NE(std::string::npos, log_.find("無音バッファの作成に失敗しましたDirectSound デバイスを列挙します\n"));
}

TEST_F(SoundSystemTest, DeviceReportEndsEarlyWithoutItsModule) {
  SetFault(Fault::kLoadAudioModule, true);
  ASSERT_EQ(0, InitializeSoundSystem());
  EXPECT_NE(std::string::npos, log_.find("DSOUND.DLL のロードに失敗しました\nDirectSound の初期化は正常に終了しました\n"));
  EXPECT_EQ(0, depth_);
  ShutdownSoundSystem();
  platform::audio::ClearFaults();
  SetFault(Fault::kFindEnumerate, true);
  log_.clear();
  ASSERT_EQ(0, InitializeSoundSystem());
  EXPECT_NE(std::string::npos, log_.find("DirectSound デバイスの列挙用関数のポインタ取得に失敗しました\n"));
  EXPECT_EQ(0, depth_);
}

TEST_F(SoundSystemTest, EngineOneStartUpAndItsFailures) {
  MusicEngine = 1;
  ASSERT_EQ(0, InitializeSoundSystem());
  EXPECT_EQ(std::string("DirectSound8 の初期化を行います\n"
                        "出力ポート  Device0:Kesto stand-in synth \n") +
                kReport,
            log_);
  EXPECT_NE(nullptr, g_sound_system.music_performance);
  EXPECT_EQ(nullptr, g_sound_system.primary_buffer);
  ShutdownSoundSystem();

  const struct {
    Fault fault;
    const char* line;
  } failures[] = {
      {Fault::kCreatePerformance, "DirectMusicPerformance オブジェクトの作成に失敗しました\n"},
      {Fault::kCreateDirectMusic, "DirectMusic オブジェクトの取得に失敗しました\n"},
      {Fault::kQueryDirectMusic8, "DirectMusic8 オブジェクトの取得に失敗しました\n"},
      {Fault::kInitAudio, "DirectMusicPerformanceオブジェクトの初期化に失敗しました\n"},
  };
  for (const auto& f : failures) {
    platform::audio::ClearFaults();
    SetFault(f.fault, true);
    log_.clear();
    EXPECT_EQ(-1, InitializeSoundSystem());
    EXPECT_EQ(0u, log_.find("DirectSound8 の初期化を行います\n"));
    EXPECT_NE(std::string::npos, log_.find(f.line));
    EXPECT_FALSE(SoundRunning());
    EXPECT_EQ(1, MusicEngine);
    EXPECT_EQ(nullptr, g_sound_system.music_loader);
  }
}

TEST_F(SoundSystemTest, MissingLoaderFallsBackToEngineZero) {
  MusicEngine = 1;
  SetFault(Fault::kCreateLoader, true);
  ASSERT_EQ(0, InitializeSoundSystem());
  EXPECT_EQ(std::string("DirectSound8 の初期化を行います\n"
                        "DirectMusicLoader8 オブジェクトの作成に失敗しました\n"
                        "前バージョンでの初期化処理に移ります\n") +
                kEngine0Head + kReport,
            log_);
  EXPECT_EQ(0, MusicEngine);
}

TEST_F(SoundSystemTest, ChoosingTheEngineRestartsARunningSoundLayer) {
  EXPECT_EQ(0, SelectMusicEngine(1));  // before start-up: only stored
  EXPECT_EQ("", log_);
  EXPECT_EQ(0, SelectMusicEngine(0));
  ASSERT_EQ(0, InitializeSoundSystem());
  const int h = LoadImage(Wave(PcmFmt(1, 8000, 8), {1, 2, 3}));
  ASSERT_NE(-1, h);
  log_.clear();
  EXPECT_EQ(0, SelectMusicEngine(0));  // unchanged: nothing happens
  EXPECT_EQ("", log_);
  EXPECT_EQ(0, SelectMusicEngine(1));
  EXPECT_EQ(0, log_.find("DirectSound の終了処理は正常に終了しました\nDirectSound8 の初期化を行います\n"));
  EXPECT_EQ(-1, PlaySoundHandle(h, 1, 1));  // every handle went with the restart
  EXPECT_NE(nullptr, g_sound_system.music_performance);
  EXPECT_EQ(0, SelectMusicEngine(0));
  EXPECT_EQ(nullptr, g_sound_system.music_performance);
  EXPECT_TRUE(SoundRunning());
}

}  // namespace
}  // namespace sound_test
