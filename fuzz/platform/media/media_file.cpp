// Media files of any kind through the movie stream (open, frames on a
// manual clock, a seek, its sound) and the music players (the filter graph
// looping through its end events, and the MIDI sequencer), each bounded in
// the time it plays.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/audio/midi_players.h"
#include "platform/audio/mixer.h"
#include "platform/audio/music_graph.h"
#include "platform/audio/notify.h"
#include "platform/clock.h"
#include "platform/media/movie_stream.h"
#include "platform/video/direct_draw.h"

namespace {

namespace audio = platform::audio;
namespace media = platform::media;
namespace video = platform::video;

std::string InputPath() {
  static const std::string path = "/tmp/kesto-media-fuzz-" + std::to_string(getpid());
  return path;
}

bool WriteInput(const uint8_t* data, size_t size) {
  std::FILE* f = std::fopen(InputPath().c_str(), "wb");
  if (f == nullptr) return false;
  const bool ok = size == 0 || std::fwrite(data, 1, size, f) == size;
  return std::fclose(f) == 0 && ok;
}

void Mix(int frames) {
  std::vector<int16_t> out(2 * 2048);
  while (frames > 0) {
    const int n = std::min(frames, 2048);
    audio::Mixer::Get().Render(out.data(), n);
    frames -= n;
  }
}

void PlayMovie(video::DirectDraw* object, platform::ManualClock& clock, uint8_t seek) {
  media::MovieStream* stream = nullptr;
  if (media::MovieStream::Create(&stream) != media::kOk) return;
  stream->AddVideoStream(object);
  stream->AddDefaultAudio();
  if (stream->OpenFile(InputPath().c_str()) == media::kOk) {
    int w = 0, h = 0;
    stream->GetFrameSize(&w, &h);
    media::StreamSample* sample = nullptr;
    if (w > 0 && stream->CreateSample(nullptr, &sample) == media::kOk) {
      media::FrameEvent event;
      stream->SetState(media::StreamState::kRun);
      for (int i = 0; i < 24; ++i) {
        if (i == 12) stream->Seek(static_cast<int64_t>(seek) * 200000);
        if (sample->Update(&event) == media::kPending) event.Wait(0);
        clock.AdvanceMilliseconds(40);
        Mix(1764);
      }
      sample->Release();
    }
  }
  stream->Release();
}

void PlayMusic(bool repeat) {
  audio::FilterGraph* graph = nullptr;
  if (audio::CreateFilterGraph(&graph) != audio::kOk) return;
  if (graph->RenderFile(InputPath().c_str(), nullptr) == audio::kOk) {
    graph->SetRepeatAtEnd(repeat);
    graph->Run();
    for (int i = 0; i < 24; ++i) {
      Mix(1764);
      int32_t code = 0;
      intptr_t p1 = 0, p2 = 0;
      while (graph->GetEvent(&code, &p1, &p2, 0) == audio::kOk) {
        int64_t zero = 0;
        graph->SetPositions(&zero, audio::kSeekAbsolute, &zero, audio::kSeekNone);
      }
    }
  }
  graph->Release();
  audio::TakeNotifications();
}

void PlayMidi() {
  audio::MciOpenParams open;
  open.device_type = "sequencer";
  const std::string path = InputPath();
  open.element = path.c_str();
  if (audio::MciSendCommand(0, audio::kMciOpen, audio::kMciOpenType | audio::kMciOpenElement,
                            &open) != 0)
    return;
  audio::MciPlayParams play;
  audio::MciSendCommand(open.device_id, audio::kMciPlay, 0, &play);
  Mix(22050);
  audio::MciSendCommand(open.device_id, audio::kMciClose, 0, nullptr);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static platform::ManualClock clock(1000000000ull);
  static video::DirectDraw* object = [] {
    platform::SetClockForTesting(&clock);
    audio::SetOutputKindForTesting(audio::OutputKind::kManual);
    audio::Mixer::Get().Open();
    video::DirectDraw* dd = nullptr;
    if (video::CreateDirectDraw(&dd) == video::kOk) dd->Initialize();
    return dd;
  }();
  if (!WriteInput(data, size)) return 0;
  if (object != nullptr) PlayMovie(object, clock, size > 0 ? data[size - 1] : 0);
  PlayMusic(size > 0 && (data[0] & 1));
  PlayMidi();
  unlink(InputPath().c_str());
  return 0;
}
