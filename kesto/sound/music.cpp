#include "sound/music.h"

#include <unistd.h>

#include <cmath>
#include <cstring>
#include <string>

#include "sound/sound_host.h"
#include "sound/sound_state.h"
#include "sound/sound_system.h"

namespace audio = platform::audio;

MusicState g_music;

namespace {

constexpr size_t kMaxPath = 260;

// Code page 932 lead bytes: a path's double-byte characters are walked as
// one unit. (UTF-8 names can pair wrongly; the game's paths are ASCII.)
bool IsLead(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

int RoundDoubleToInt(double v) { return static_cast<int>(std::nearbyint(v)); }

// Appends within the path limit; false when it would not fit.
bool Append(char* destination, size_t* length, const char* text, size_t count) {
  if (*length + count >= kMaxPath) return false;
  std::memcpy(destination + *length, text, count);
  *length += count;
  destination[*length] = '\0';
  return true;
}

bool MusicCounts() {
  if (g_music.graph_playing) return true;
  if (MusicEngine == 0) return g_music.sequencer_playing != 0;
  if (MusicEngine == 1 && g_music.segment != nullptr && g_sound_system.music_performance != nullptr) {
    return g_sound_system.music_performance->IsPlaying(g_music.segment) == audio::kOk;
  }
  return false;
}

void ReleaseSegment() {
  if (g_music.segment == nullptr) return;
  if (g_sound_system.music_performance != nullptr) {
    g_sound_system.music_performance->StopEx(g_music.segment, 0, 0);
  }
  g_music.segment->Unload(g_sound_system.music_performance);
  g_music.segment->Release();
  g_music.segment = nullptr;
}

// Without a sound font MIDI music is silent: the log says why, once a run.
void NoteSilentMidi() {
  static bool noted = false;
  if (noted) return;
  const std::string reason = audio::MidiSynthesisNote();
  if (reason.empty()) return;
  noted = true;
  SoundLogFormat("%s", reason.c_str());
}

}  // namespace

int ConvertFullPath(const char* path, const char* base, char* destination) {
  char current[kMaxPath] = {};
  if (base == nullptr) {
    if (getcwd(current, sizeof(current)) == nullptr) current[0] = '\0';
    base = current;
  }
  destination[0] = '\0';
  size_t length = 0;
  if (path == nullptr) {
    const size_t n = strnlen(base, kMaxPath - 1);
    Append(destination, &length, base, n);
    return 0;
  }
  const char* p = path;
  if (p[0] == '\\') {
    if (!Append(destination, &length, base, strnlen(base, 2))) return -1;
    p += 1;
  } else if (p[0] != '\0' && p[1] == ':') {
    Append(destination, &length, p, 2);
    p += (p[2] == '\\') ? 3 : 2;
  } else {
    size_t n = strnlen(base, kMaxPath);
    if (n > 0 && IsSeparator(base[n - 1])) --n;
    if (!Append(destination, &length, base, n)) return -1;
  }
  const char* element = p;
  while (true) {
    const char* q = element;
    while (*q != '\0' && !IsSeparator(*q)) {
      q += (IsLead(static_cast<unsigned char>(*q)) && q[1] != '\0') ? 2 : 1;
    }
    const size_t n = static_cast<size_t>(q - element);
    if (*q == '\0') {
      if (n > 0 && (!Append(destination, &length, "\\", 1) || !Append(destination, &length, element, n))) return -1;
      return 0;
    }
    if (n == 0) return -1;
    if (n == 1 && element[0] == '.') {
      // dropped
    } else if (n == 2 && element[0] == '.' && element[1] == '.') {
      size_t cut = length;
      while (cut > 0 && !IsSeparator(destination[cut - 1]) && destination[cut - 1] != ':') --cut;
      if (cut > 0 && destination[cut - 1] == ':') {
        length = cut;
      } else {
        length = cut > 0 ? cut - 1 : 0;
      }
      destination[length] = '\0';
    } else if (!Append(destination, &length, "\\", 1) || !Append(destination, &length, element, n)) {
      return -1;
    }
    element = q + 1;
  }
}

int SplitFilePath(const char* path, char* file_name, char* directory) {
  const char* last = nullptr;
  for (const char* q = path; *q != '\0';) {
    if (IsSeparator(*q) || *q == ':') last = q;
    q += (IsLead(static_cast<unsigned char>(*q)) && q[1] != '\0') ? 2 : 1;
  }
  if (file_name != nullptr) {
    const char* name = last != nullptr ? last + 1 : path;
    const size_t n = strnlen(name, kMaxPath - 1);
    std::memcpy(file_name, name, n);
    file_name[n] = '\0';
  }
  if (directory != nullptr) {
    const size_t n = last != nullptr ? std::min<size_t>(static_cast<size_t>(last - path), kMaxPath - 1) : 0;
    std::memcpy(directory, path, n);
    directory[n] = '\0';
  }
  return 0;
}

int PlayMusicFile(const char* path, int play_type) {
  StopMusicPlayback();
  SetMusicVolume(255);
  char full[kMaxPath];
  char file_name[kMaxPath];
  char directory[kMaxPath];
  // A path that cannot be made whole would play some other file: refuse it.
  if (ConvertFullPath(path, nullptr, full) != 0) {
    SoundLogFormat("ミュージックファイル %s の演奏に失敗しました", path != nullptr ? path : "");
    return -1;
  }
  SplitFilePath(full, file_name, directory);
  bool opened = false;
  if (MusicEngine == 0) {
    audio::MciOpenParams open;
    open.device_type = "sequencer";
    open.element = full;
    if (audio::MciSendCommand(0, audio::kMciOpen, audio::kMciOpenType | audio::kMciOpenElement, &open) == 0) {
      opened = true;
      g_music.sequencer_device = open.device_id;
      audio::MciStatusParams status;
      status.item = audio::kMciSeqStatusPort;
      if (audio::MciSendCommand(g_music.sequencer_device, audio::kMciStatus, audio::kMciStatusItem, &status) != 0 ||
          (status.return_value & 0xFFFF) != audio::kMciSeqMapper) {
        audio::MciSendCommand(g_music.sequencer_device, audio::kMciClose, 0, nullptr);
        SoundLog("ＭＩＤＩ演奏開始処理でエラーが起きました\n");
        return -1;
      }
      audio::MciPlayParams play;
      play.callback = reinterpret_cast<uintptr_t>(SoundMainWindow());
      if (audio::MciSendCommand(g_music.sequencer_device, audio::kMciPlay, audio::kMciNotify, &play) != 0) {
        audio::MciSendCommand(g_music.sequencer_device, audio::kMciClose, 0, nullptr);
        SoundLog("ＭＩＤＩ演奏に失敗しました\n");
        return -1;
      }
      NoteSilentMidi();
    }
  } else if (MusicEngine == 1) {
    audio::MusicLoader* loader = g_sound_system.music_loader;
    if (loader != nullptr) {
      loader->SetSearchDirectory(nullptr, directory, 0);
      if (loader->LoadObjectFromFile(file_name, &g_music.segment) == audio::kOk) {
        opened = true;
        if (play_type == 3) g_music.segment->SetRepeats(audio::kSegmentRepeatInfinite);
        g_music.segment->SetParam(nullptr, 0xFFFFFFFFu, 0, 0, nullptr);
        g_music.segment->Download(g_sound_system.music_performance);
        if (g_sound_system.music_performance != nullptr) {
          g_sound_system.music_performance->PlaySegmentEx(g_music.segment, 0x40, 0);
        }
        NoteSilentMidi();
      } else {
        g_music.segment = nullptr;
      }
    }
  } else {
    opened = true;  // other engines play nothing here
  }
  if (!opened) return PlayMusicDirectShow(full, play_type);
  g_music.sequencer_playing = 1;
  g_music.loop = play_type == 3 ? 1 : 0;
  if (play_type != 0) return 0;
  while (!MusicCounts()) {
    if (SoundPumpPass() != 0) break;
  }
  while (MusicCounts()) {
    if (SoundPumpPass() != 0) break;
  }
  ReleaseSegment();
  return 0;
}

int PlayMusicDirectShow(const char* full_path, int play_type) {
  if (g_music.graph_playing) ReleaseDirectShowMusic();
  char wide[kMaxPath];
  const size_t n = strnlen(full_path, kMaxPath - 1);
  std::memcpy(wide, full_path, n);
  wide[n] = '\0';
  using Interface = audio::FilterGraph::Interface;
  bool ok = audio::CreateFilterGraph(&g_music.graph) == audio::kOk;
  ok = ok && g_music.graph->QueryInterface(Interface::kControl, &g_music.control) == audio::kOk;
  ok = ok && g_music.graph->QueryInterface(Interface::kEvent, &g_music.events) == audio::kOk;
  ok = ok && g_music.graph->QueryInterface(Interface::kSeeking, &g_music.seeking) == audio::kOk;
  ok = ok && g_music.graph->QueryInterface(Interface::kAudio, &g_music.audio) == audio::kOk;
  ok = ok && g_music.graph->RenderFile(wide, nullptr) == audio::kOk;
  if (!ok) {
    ReleaseDirectShowMusic();
    SoundLogFormat("ミュージックファイル %s の演奏に失敗しました", full_path);
    return -1;
  }
  // Looping music is rewound at each end event; the graph goes on from the
  // beginning at once, so the loop has no gap while the event travels.
  g_music.seeking->SetRepeatAtEnd(play_type == 3);
  g_music.control->Run();
  g_music.graph_playing = 1;
  g_music.graph_play_type = play_type;
  g_music.events->SetNotifyWindow(SoundMainWindow(), kDirectShowMusicMessage, 0);
  if (play_type == 0) {
    while (SoundPumpPass() == 0 && g_music.graph_playing == 1) {
    }
  }
  return 0;
}

int HandleDirectShowMusicEvents() {
  if (g_music.events == nullptr) return 0;
  for (int round = 0; round < 10; ++round) {
    int32_t code = 0;
    intptr_t p1 = 0, p2 = 0;
    if (g_music.events->GetEvent(&code, &p1, &p2, 1) != audio::kOk) continue;
    g_music.events->FreeEventParams(code, p1, p2);
    if (code == 1 || code == 2 || code == 3 || code == 6 || code == 7 || code == 8 || code == 28) {
      if (g_music.graph_play_type == 3) {
        int64_t zero = 0;
        g_music.seeking->SetPositions(&zero, audio::kSeekAbsolute, &zero, audio::kSeekNone);
      } else {
        ReleaseDirectShowMusic();
      }
      return 0;
    }
  }
  return 0;
}

int HandleMciMusicNotify() {
  if (g_music.loop) {
    audio::MciPlayParams play;
    play.callback = reinterpret_cast<uintptr_t>(SoundMainWindow());
    play.from = 0;
    audio::MciSendCommand(g_music.sequencer_device, audio::kMciPlay, audio::kMciNotify | audio::kMciFrom, &play);
    g_music.sequencer_playing = 1;
  } else if (g_music.sequencer_playing) {
    audio::MciSendCommand(g_music.sequencer_device, audio::kMciClose, 0, nullptr);
    g_music.sequencer_playing = 0;
  }
  return 0;
}

int StopMusicPlayback() {
  ReleaseDirectShowMusic();
  g_music.loop = 0;
  if (MusicEngine == 0 && g_music.sequencer_playing) {
    HandleMciMusicNotify();
    for (int i = 0; i < 5; ++i) SoundPumpPass();
  }
  if (MusicEngine == 1) ReleaseSegment();
  return 0;
}

int ReleaseDirectShowMusic() {
  if (g_music.graph_playing == 1 && g_music.events != nullptr) g_music.events->SetNotifyWindow(nullptr, 0, 0);
  audio::FilterGraph** order[] = {&g_music.seeking, &g_music.control, &g_music.graph, &g_music.events,
                                  &g_music.audio};
  for (audio::FilterGraph** p : order) {
    if (*p != nullptr) (*p)->Release();
    *p = nullptr;
  }
  g_music.graph_playing = 0;
  return 0;
}

int StopDirectShowMusicForExit() {
  ReleaseDirectShowMusic();
  return 1;
}

int IsMusicPlaying() { return MusicCounts() ? 1 : 0; }

int SetDirectShowMusicVolume(int volume) {
  if (g_music.audio != nullptr) {
    g_music.audio->PutVolume(volume == 255 ? 0 : RoundDoubleToInt(volume * 39.0625) - 10000);
  }
  return 0;
}

int SetMusicVolume(int volume) {
  if (!SoundRunning()) return -1;
  SetDirectShowMusicVolume(volume);
  if (MusicEngine == 1 && g_sound_system.music_performance != nullptr) {
    const int m = volume == 255
                      ? MasterMusicVolume
                      : RoundDoubleToInt((MasterMusicVolume + 10000) * static_cast<double>(volume) * 0.00390625) - 10000;
    g_sound_system.music_performance->SetMasterVolume(m);
  }
  return 0;
}
