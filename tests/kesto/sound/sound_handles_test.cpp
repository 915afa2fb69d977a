// Sound handles on the manual output: the table, handle checks, playing with
// restarts, buffer choice, waits, volume and deletion.
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "kesto/sound/sound_fixture.h"
#include "platform/file_system.h"
#include "support/scoped_temp_dir.h"

namespace sound_test {
namespace {

class SoundHandlesTest : public SoundTest {
 protected:
  void SetUp() override {
    SoundTest::SetUp();
    StartEngine0();
  }
  // A mono 16-bit sound of n frames whose sample i is i + 1.
  static std::vector<uint8_t> Ramp(int n) {
    std::vector<int16_t> s(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) s[static_cast<size_t>(i)] = static_cast<int16_t>(i + 1);
    return Wave(PcmFmt(1, 44100, 16), Samples16(s));
  }
  static uint32_t Cursor(int handle, int buffer) {
    uint32_t play = 0;
    SoundRecordOf(handle)->buffers[buffer]->GetCurrentPosition(&play, nullptr);
    return play;
  }
};

TEST_F(SoundHandlesTest, LoadedSoundPlaysItsSamplesExactly) {
  const int h = LoadImage(Ramp(4));
  ASSERT_NE(-1, h);
  EXPECT_EQ(kSoundHandleKind, h & 0x78000000);
  ASSERT_EQ(0, PlaySoundHandle(h, 1, 1));
  EXPECT_EQ(1, IsSoundHandlePlaying(h));
  std::vector<int16_t> out = Render(6);
  EXPECT_EQ(std::vector<int16_t>({1, 1, 2, 2, 3, 3, 4, 4, 0, 0, 0, 0}), out);
  EXPECT_EQ(0, IsSoundHandlePlaying(h));
  // Ended by itself: the next play starts from the beginning again.
  ASSERT_EQ(0, PlaySoundHandle(h, 1, 0));
  EXPECT_EQ(1, Render(1)[0]);
}

TEST_F(SoundHandlesTest, RestartZeroOneAndTwo) {
  const int h = LoadImage(Ramp(100));
  ASSERT_EQ(0, PlaySoundHandle(h, 1, 1));
  Render(10);
  EXPECT_EQ(0, PlaySoundHandle(h, 1, 0));  // goes on
  EXPECT_EQ(11, Render(1)[0]);
  EXPECT_EQ(0, PlaySoundHandle(h, 1, 2));  // stops and resumes where it was
  EXPECT_EQ(12, Render(1)[0]);
  EXPECT_EQ(0, PlaySoundHandle(h, 1, 1));  // from the start
  EXPECT_EQ(1, Render(1)[0]);
}

TEST_F(SoundHandlesTest, AllBuffersPlayingRestartsTheOneFurthestAlongLowestOnTies) {
  const int h = LoadImage(Ramp(1000), 3);
  ASSERT_NE(-1, h);
  for (int i = 0; i < 3; ++i) ASSERT_EQ(0, PlaySoundHandle(h, 1, 1));
  // All three started together: equal cursors, so buffer 0 restarts.
  Render(5);
  ASSERT_EQ(0, PlaySoundHandle(h, 1, 1));
  EXPECT_EQ(0u, Cursor(h, 0));
  EXPECT_EQ(10u, Cursor(h, 1));
  Render(5);
  // Buffers 1 and 2 are at frame 10 now: the lower index wins.
  ASSERT_EQ(0, PlaySoundHandle(h, 1, 1));
  EXPECT_EQ(10u, Cursor(h, 0));
  EXPECT_EQ(0u, Cursor(h, 1));
  EXPECT_EQ(20u, Cursor(h, 2));
  // The three buffers share one copy of the data.
  std::vector<int16_t> out = Render(1);
  EXPECT_EQ(6 + 1 + 11, out[0]);
}

TEST_F(SoundHandlesTest, LoopingPlaysUntilStoppedAndWaitingPlayReturnsAtTheEnd) {
  const int h = LoadImage(Ramp(100));
  ASSERT_EQ(0, PlaySoundHandle(h, 3, 1));
  Render(1000);
  EXPECT_EQ(1, IsSoundHandlePlaying(h));
  ASSERT_EQ(0, StopSoundHandle(h));
  EXPECT_EQ(0, IsSoundHandlePlaying(h));

  frames_per_pump_ = 30;
  pumps_ = 0;
  ASSERT_EQ(0, PlaySoundHandle(h, 0, 1));
  EXPECT_EQ(0, IsSoundHandlePlaying(h));
  EXPECT_EQ(4, pumps_);  // 100 frames at 30 a pass

  // A pump that reports quit ends the wait at once.
  quit_after_ = 0;
  ASSERT_EQ(0, PlaySoundHandle(h, 0, 1));
  EXPECT_EQ(1, IsSoundHandlePlaying(h));
}

TEST_F(SoundHandlesTest, VolumeIsClampedToTheDeviceRange) {
  const int h = LoadImage(Ramp(8));
  const struct {
    int volume;
    int32_t expected;
  } cases[] = {{10000, 0}, {0, -10000}, {12000, 0}, {-50, -10000}, {7000, -3000}};
  for (const auto& c : cases) {
    ASSERT_EQ(0, SetSoundHandleVolume(c.volume, h));
    int32_t v = 1;
    SoundRecordOf(h)->buffers[0]->GetVolume(&v);
    EXPECT_EQ(c.expected, v) << c.volume;
  }
}

TEST_F(SoundHandlesTest, HandleChecks) {
  const int h = LoadImage(Ramp(8));
  ASSERT_EQ(0, DeleteSoundHandle(h));
  const int again = LoadImage(Ramp(8));
  ASSERT_EQ(h & 0xFFFF, again & 0xFFFF);  // same slot, newer serial
  const int bad[] = {h, -1, (again & ~0x78000000) | 0x08000000, again | 0xFFFF, 0x10000000 | 4095};
  for (int b : bad) {
    EXPECT_EQ(-1, PlaySoundHandle(b, 1, 1)) << std::hex << b;
    EXPECT_EQ(-1, StopSoundHandle(b));
    EXPECT_EQ(-1, IsSoundHandlePlaying(b));
    EXPECT_EQ(-1, SetSoundHandleVolume(100, b));
    EXPECT_EQ(-1, DeleteSoundHandle(b));
  }
  EXPECT_EQ(0, PlaySoundHandle(again, 1, 1));
  EXPECT_EQ(-1, LoadImage(Ramp(8), 11));
  EXPECT_EQ(-1, LoadImage(Ramp(8), 0));
  EXPECT_EQ("", log_);
}

TEST_F(SoundHandlesTest, FullTableSerialsAndTheNextIndex) {
  // The serial counter lives for the whole process; start it where a fresh
  // program starts it, whatever earlier tests created.
  g_sound_table.serial_counter = 0;
  std::vector<int> handles;
  for (int i = 0; i < kSoundSlots; ++i) {
    const int h = AddSoundData();
    ASSERT_NE(-1, h);
    handles.push_back(h);
  }
  EXPECT_EQ(-1, AddSoundData());
  EXPECT_EQ("サウンドの数が許容量を越えました\n", log_);
  // After 2048 creations the serial counter is back at 0.
  EXPECT_EQ(0x1000, handles[2048] >> 16);
  EXPECT_EQ(0, DeleteSoundHandle(handles[10]));
  const int reused = AddSoundData();
  EXPECT_EQ(10, reused & 0xFFFF);
  // Deleting the highest slots lowers the next index to one past the
  // highest remaining record; deleting the last resets it.
  ASSERT_EQ(0, DeleteSoundHandle(handles[4095]));
  ASSERT_EQ(0, DeleteSoundHandle(handles[4093]));
  EXPECT_EQ(4095, g_sound_table.next_index);
  ASSERT_EQ(0, DeleteSoundHandle(handles[4094]));
  EXPECT_EQ(4093, g_sound_table.next_index);
  ASSERT_EQ(0, DeleteAllSoundHandles());
  EXPECT_EQ(0, g_sound_table.count);
  EXPECT_EQ(0, g_sound_table.next_index);
}

TEST_F(SoundHandlesTest, BadFilesFailTheLoadWithTheirLogLinesAndNeverTheProgram) {
  const struct {
    const char* name;
    std::vector<uint8_t> image;
    const char* log;
  } cases[] = {
      {"not a sound", {'h', 'e', 'l', 'l', 'o'}, "音声ファイルのＰＣＭへの変換に失敗しました\n"},
      {"empty data", Wave(PcmFmt(2, 44100, 16), {}),
       "音声ファイルのＰＣＭへの変換に失敗しました\n"},
      {"12-bit samples", Wave(PcmFmt(1, 44100, 12), {1, 2, 3, 4}),
       "音声ファイルのＰＣＭへの変換に失敗しました\n"},
  };
  for (const auto& c : cases) {
    log_.clear();
    EXPECT_EQ(-1, LoadImage(c.image)) << c.name;
    EXPECT_EQ(c.log, log_) << c.name;
  }
  EXPECT_EQ("", fatal_);
  EXPECT_EQ(0, g_sound_table.count);
  log_.clear();
  EXPECT_EQ(-1, LoadSoundFileSingle("no/such/file.wav"));
  EXPECT_EQ(
      "右記のファイルのオープンに失敗しました：no/such/file.wav\n"
      "右記の音声ファイルのロードに失敗しました_1：no/such/file.wav\n",
      log_);
}

TEST_F(SoundHandlesTest, FilesThatCannotBeReadFailTheLoadWithoutWaitingOrReadingWithoutEnd) {
  ScopedTempDir dir;
  const std::string folder = dir.file("folder.wav"), fifo = dir.file("fifo.wav"),
                    failing = dir.file("failing.wav");
  std::filesystem::create_directories(folder);
  ASSERT_EQ(0, mkfifo(fifo.c_str(), 0644));
  const std::vector<uint8_t> ramp = Ramp(4000);
  std::ofstream(failing, std::ios::binary)
      .write(reinterpret_cast<const char*>(ramp.data()), static_cast<std::streamsize>(ramp.size()));
  ::alarm(60);
  for (const std::string& path : {folder, fifo, std::string("/dev/zero")}) {
    log_.clear();
    EXPECT_EQ(-1, LoadSoundFileSingle(path.c_str())) << path;
    EXPECT_EQ("右記のファイルのオープンに失敗しました：" + path +
                  "\n右記の音声ファイルのロードに失敗しました_1：" + path + "\n",
              log_);
  }
  // A disk failing part-way: a failed load, not a shorter sound.
  platform::FailReadsForTesting("failing.wav", 1000);
  log_.clear();
  EXPECT_EQ(-1, LoadSoundFileSingle(failing.c_str()));
  EXPECT_NE(std::string::npos, log_.find("右記のファイルの読み込みに失敗しました：" + failing));
  platform::FailReadsForTesting("", 0);
  EXPECT_GE(LoadSoundFileSingle(failing.c_str()), 0);
  ::alarm(0);
  EXPECT_EQ("", fatal_);
}

TEST_F(SoundHandlesTest, BuffersThatCannotBeMadeAtAllAreFatalAndFallBackFirst) {
  // Duplicates refused: the reduced flags make separate buffers, which are
  // given the same sound.
  platform::audio::SetFault(platform::audio::Fault::kDuplicateBuffer, true);
  const int h = LoadImage(Ramp(4), 2);
  ASSERT_NE(-1, h);
  EXPECT_EQ(0xC2u, SoundRecordOf(h)->buffers[1]->flags());
  ASSERT_EQ(0, PlaySoundHandle(h, 1, 1));
  ASSERT_EQ(0, PlaySoundHandle(h, 1, 1));
  EXPECT_EQ(2, Render(1)[0]);
  platform::audio::SetFault(platform::audio::Fault::kCreateBuffer, true);
  EXPECT_EQ(-1, LoadImage(Ramp(4)));
  EXPECT_EQ("DirectSoundBuffer の作成に失敗しました", fatal_);
  EXPECT_EQ(1, g_sound_table.count);
}

TEST_F(SoundHandlesTest, LockFailuresDeleteTheNewHandle) {
  const struct {
    platform::audio::Fault fault;
    const char* log;
  } cases[] = {{platform::audio::Fault::kLock, "サウンドデータの転送に失敗しました_1"},
               {platform::audio::Fault::kUnlock, "サウンドデータの転送に失敗しました_2"}};
  for (const auto& c : cases) {
    platform::audio::ClearFaults();
    platform::audio::SetFault(c.fault, true);
    log_.clear();
    EXPECT_EQ(-1, LoadImage(Ramp(4)));
    EXPECT_EQ(c.log, log_);
    EXPECT_EQ(0, g_sound_table.count);
  }
}

TEST_F(SoundHandlesTest, EverythingFailsQuietlyWhileSoundIsNotRunning) {
  const int h = LoadImage(Ramp(4));
  ASSERT_EQ(0, ShutdownSoundSystem());
  log_.clear();
  EXPECT_EQ(-1, LoadImage(Ramp(4)));
  EXPECT_EQ(-1, PlaySoundHandle(h, 1, 1));
  EXPECT_EQ(-1, SetSoundHandleVolume(1, h));
  EXPECT_EQ(-1, DeleteAllSoundHandles());
  EXPECT_EQ(-1, LoadSoundFileSingle("x.wav"));
  EXPECT_EQ("", log_);
}

}  // namespace
}  // namespace sound_test
