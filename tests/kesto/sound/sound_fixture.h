// A sound layer on the manual output: the log is recorded, the fatal exit is
// recorded instead of ending the test, and each pump pass mixes a set number
// of frames and hands the audio objects' notifications to the handlers the
// window procedure would call.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/audio/acm.h"
#include "platform/audio/direct_sound.h"
#include "platform/audio/mixer.h"
#include "platform/audio/music_graph.h"
#include "platform/audio/notify.h"
#include "sound/music.h"
#include "sound/sound_handles.h"
#include "sound/sound_host.h"
#include "sound/sound_state.h"
#include "sound/sound_system.h"

namespace sound_test {

inline void Put16(std::vector<uint8_t>& v, uint32_t x) {
  v.push_back(static_cast<uint8_t>(x));
  v.push_back(static_cast<uint8_t>(x >> 8));
}
inline void Put32(std::vector<uint8_t>& v, uint32_t x) {
  Put16(v, x & 0xFFFF);
  Put16(v, x >> 16);
}
inline void PutTag(std::vector<uint8_t>& v, const char* tag) { v.insert(v.end(), tag, tag + 4); }

// A RIFF/WAVE image: the fmt chunk as given, then optional chunks, then data.
inline std::vector<uint8_t> Wave(const std::vector<uint8_t>& fmt, const std::vector<uint8_t>& data,
                                 const std::vector<uint8_t>& between = {}) {
  std::vector<uint8_t> v;
  PutTag(v, "RIFF");
  Put32(v, 0);
  PutTag(v, "WAVE");
  PutTag(v, "fmt ");
  Put32(v, static_cast<uint32_t>(fmt.size()));
  v.insert(v.end(), fmt.begin(), fmt.end());
  v.insert(v.end(), between.begin(), between.end());
  PutTag(v, "data");
  Put32(v, static_cast<uint32_t>(data.size()));
  v.insert(v.end(), data.begin(), data.end());
  const uint32_t riff = static_cast<uint32_t>(v.size() - 8);
  for (int i = 0; i < 4; ++i) v[4 + static_cast<size_t>(i)] = static_cast<uint8_t>(riff >> (8 * i));
  return v;
}

inline std::vector<uint8_t> PcmFmt(uint16_t channels, uint32_t rate, uint16_t bits, bool with_extra = true) {
  std::vector<uint8_t> f;
  const uint16_t align = static_cast<uint16_t>(channels * bits / 8);
  Put16(f, 1);
  Put16(f, channels);
  Put32(f, rate);
  Put32(f, rate * align);
  Put16(f, align);
  Put16(f, bits);
  if (with_extra) Put16(f, 0);
  return f;
}

inline std::vector<uint8_t> Samples16(const std::vector<int16_t>& s) {
  std::vector<uint8_t> v(s.size() * 2);
  std::memcpy(v.data(), s.data(), v.size());
  return v;
}

// The fixtures sit beside this header, in the source tree the build names
// (a compiler's file name can be relative to some other folder).
inline std::string FixturePath(const std::string& name) {
  return std::string(KESTO_SOURCE_DIR_PATH) + "/tests/kesto/sound/data/" + name;
}

inline std::vector<uint8_t> ReadFixture(const std::string& name) {
  std::ifstream in(FixturePath(name), std::ios::binary);
  return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

class SoundTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::audio::SetOutputKindForTesting(platform::audio::OutputKind::kManual);
    platform::audio::ClearFaults();
    platform::audio::TakeNotifications();
    SoundHost host;
    host.log = [this](const char* text) { log_ += text; };
    host.fatal = [this](const char* message) { fatal_ += message; };
    host.pump = [this] { return Pump(); };
    host.main_window = [this]() -> void* { return &window_; };
    SetSoundHostForTesting(&host);
    MusicEngine = 0;
    blocks_before_ = SoundLiveBlocks();
  }

  void TearDown() override {
    StopMusicPlayback();
    ShutdownSoundSystem();
    MusicEngine = 0;
    platform::audio::ClearFaults();
    platform::audio::TakeNotifications();
    SetSoundHostForTesting(nullptr);
    EXPECT_EQ(0, platform::audio::LiveDirectSoundCount());
    EXPECT_EQ(0, platform::audio::LiveAcmStreamCount());
    EXPECT_EQ(0, platform::audio::LiveFilterGraphCount());
    EXPECT_EQ(blocks_before_, SoundLiveBlocks());
  }

  // One pass of the message pump: the window's messages, then time passes.
  int Pump() {
    ++pumps_;
    for (const auto& n : platform::audio::TakeNotifications()) {
      if (n.window != &window_) continue;
      if (n.message == platform::audio::kMessageMciNotify) HandleMciMusicNotify();
      if (n.message == kDirectShowMusicMessage) HandleDirectShowMusicEvents();
    }
    RefillAllStreamSounds();
    PollMusicHandles();
    if (frames_per_pump_ > 0) platform::audio::Mixer::Get().Advance(frames_per_pump_);
    return pumps_ >= quit_after_ ? -1 : 0;
  }

  void StartEngine0() {
    MusicEngine = 0;
    ASSERT_EQ(0, InitializeSoundSystem());
    log_.clear();
  }

  std::vector<int16_t> Render(int frames) {
    std::vector<int16_t> out(2 * static_cast<size_t>(frames));
    platform::audio::Mixer::Get().Render(out.data(), frames);
    return out;
  }

  int LoadImage(const std::vector<uint8_t>& image, int buffers = 1) {
    return LoadSoundMemory(image.data(), static_cast<uint32_t>(image.size()), buffers);
  }

  std::string log_;
  std::string fatal_;
  int window_ = 0;
  int pumps_ = 0;
  int quit_after_ = 1 << 30;
  int frames_per_pump_ = 735;  // one sixtieth of a second
  long blocks_before_ = 0;
};

}  // namespace sound_test
