// The media fuzzer's committed seeds: tiny movies and sounds of every kind
// the players take ("ok_"), and inputs they must refuse ("bad_"). The test
// checks every committed seed still is what its name says. Run it with
// KESTO_WRITE_MEDIA_SEEDS=1 to write the seeds made below into the source
// tree first.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>

#include "platform/audio/midi_players.h"
#include "platform/audio/mixer.h"
#include "platform/audio/music_graph.h"
#include "platform/media/media_fixtures.h"
#include "platform/media/movie_stream.h"
#include "platform/video/video_fixture.h"
#include "support/scoped_temp_dir.h"

namespace platform::media {
namespace {

namespace fs = std::filesystem;

const fs::path kCorpus = fs::path(KESTO_SOURCE_DIR_PATH) / "fuzz/corpus/media_file";

std::vector<uint8_t> Read(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)),
                              std::istreambuf_iterator<char>());
}

// The seeds, made in `dir`.
std::map<std::string, std::vector<uint8_t>> MakeSeeds(const ScopedTempDir& dir) {
  std::map<std::string, std::vector<uint8_t>> seeds;
  auto movie = [&](const std::string& name, const char* container, const char* codec,
                   const char* sound, int w, int h) {
    media_encoder::MovieOptions options =
        media_fixtures::CountingMovie(container, codec, w, h, 3, 10);
    if (sound != nullptr) {
      options.tone = media_fixtures::Sweep(1024);
      options.audio_codec = sound;
    }
    const std::string path = dir.file(name);
    EXPECT_TRUE(media_encoder::WriteMovie(path, options)) << name;
    seeds[name] = Read(path);
  };
  movie("ok_mjpeg_pcm.avi", "avi", "mjpeg", "pcm_s16le", 16, 16);
  movie("ok_h264.mp4", "mp4", "libx264", nullptr, 16, 16);
  // FFmpeg's Theora decoder refuses pictures of 16 x 16.
  movie("ok_theora_vorbis.ogv", "ogg", "libtheora", "libvorbis", 32, 32);
  movie("bad_too_wide.avi", "avi", "mjpeg", nullptr, 4112, 16);
  auto sound = [&](const std::string& name, const char* container, const char* codec) {
    const std::string path = dir.file(name);
    EXPECT_TRUE(
        media_encoder::WriteAudio(path, container, codec, media_fixtures::Sweep(2205), 44100))
        << name;
    seeds[name] = Read(path);
  };
  sound("ok_tone.wav", "wav", "pcm_s16le");
  sound("ok_tone.ogg", "ogg", "libvorbis");
  sound("ok_tone.mp3", "mp3", "libmp3lame");
  sound("ok_tone.flac", "flac", "flac");
  // A short MIDI piece: tempo, a program, a note on and off, the end.
  seeds["ok_song.mid"] = {'M',  'T',  'h',  'd',  0,    0,    0,    6,    0,    0,
                          0,    1,    0,    96,   'M',  'T',  'r',  'k',  0,    0,
                          0,    19,   0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20, 0x00,
                          0xC0, 0x10, 0x00, 0x90, 60,   100,  0x30, 0x80, 60,   0};
  seeds["ok_song.mid"].insert(seeds["ok_song.mid"].end(), {0x00, 0xFF, 0x2F, 0x00});
  seeds["ok_song.mid"][21] = static_cast<uint8_t>(seeds["ok_song.mid"].size() - 22);
  seeds["bad_text"] = {'n', 'o', 't', ' ', 'm', 'e', 'd', 'i', 'a'};
  seeds["bad_empty"] = {};
  return seeds;
}

class MediaSeedCorpus : public video::VideoTest {
 protected:
  // What takes the file: 'm' the movie stream, 'g' the filter graph, 's'
  // the sequencer; none for a refused one.
  std::string Takers(const std::string& path) {
    std::string takers;
    MovieStream* stream = nullptr;
    MovieStream::Create(&stream);
    stream->AddVideoStream(dd_);
    int w = 0, h = 0;
    if (stream->OpenFile(path.c_str()) == kOk && stream->GetFrameSize(&w, &h) == kOk && w > 0)
      takers += 'm';
    stream->Release();
    audio::FilterGraph* graph = nullptr;
    audio::CreateFilterGraph(&graph);
    if (graph->RenderFile(path.c_str(), nullptr) == audio::kOk) takers += 'g';
    graph->Release();
    audio::MciOpenParams open;
    open.device_type = "sequencer";
    open.element = path.c_str();
    if (audio::MciSendCommand(0, audio::kMciOpen, audio::kMciOpenType | audio::kMciOpenElement,
                              &open) == 0) {
      takers += 's';
      audio::MciSendCommand(open.device_id, audio::kMciClose, 0, nullptr);
    }
    return takers;
  }
};

TEST_F(MediaSeedCorpus, EverySeedIsWhatItsNameSays) {
  ScopedTempDir dir;
  if (std::getenv("KESTO_WRITE_MEDIA_SEEDS")) {
    fs::create_directories(kCorpus);
    for (const auto& [name, bytes] : MakeSeeds(dir)) {
      std::ofstream(kCorpus / name, std::ios::binary)
          .write(reinterpret_cast<const char*>(bytes.data()),
                 static_cast<std::streamsize>(bytes.size()));
    }
  }
  const std::map<std::string, std::string> expected = {
      {"ok_mjpeg_pcm.avi", "mg"}, {"ok_h264.mp4", "m"}, {"ok_theora_vorbis.ogv", "mg"},
      {"ok_tone.wav", "g"},       {"ok_tone.ogg", "g"}, {"ok_tone.mp3", "g"},
      {"ok_tone.flac", "g"},      {"ok_song.mid", "s"}, {"bad_too_wide.avi", ""},
      {"bad_text", ""},           {"bad_empty", ""}};
  int checked = 0;
  for (const auto& entry : fs::directory_iterator(kCorpus)) {
    const std::string name = entry.path().filename().string();
    const auto it = expected.find(name);
    if (it == expected.end()) continue;  // inputs a fuzzer found: replayed by ctest
    EXPECT_EQ(Takers(entry.path().string()), it->second) << name;
    EXPECT_LT(entry.file_size(), 16384u) << name;
    ++checked;
  }
  EXPECT_EQ(checked, static_cast<int>(expected.size()));
}

}  // namespace
}  // namespace platform::media
