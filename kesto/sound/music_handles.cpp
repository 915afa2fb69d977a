#include "sound/music_handles.h"

#include "sound/sound_host.h"
#include "sound/sound_state.h"
#include "sound/sound_system.h"

namespace audio = platform::audio;

MusicTable g_music_table;

namespace {

MusicRecord* MusicRecordOf(int handle) {
  if (handle < 0 || (handle & 0x78000000) != kMusicHandleKind) return nullptr;
  const int slot = handle & 0xFFFF;
  if (slot >= kMusicSlots) return nullptr;
  MusicRecord* record = g_music_table.slots[slot];
  if (record == nullptr || ((static_cast<uint32_t>(handle) >> 16) & 0x7FF) != record->serial) return nullptr;
  return record;
}

}  // namespace

int PollMusicHandles() {
  if (!SoundRunning()) return -1;
  if (MusicEngine != 1) return 0;
  for (int slot = 0; slot < g_music_table.next_index; ++slot) {
    MusicRecord* r = g_music_table.slots[slot];
    if (r == nullptr || !r->playing) continue;
    const bool stopped = g_sound_system.music_performance == nullptr ||
                         g_sound_system.music_performance->IsPlaying(r->segment) == audio::kFalse;
    const int p = stopped ? 0 : 1;
    if (!r->started) {
      if (p == 1) r->started = 1;
    } else {
      r->playing = p;
    }
  }
  return 0;
}

int StopMusicHandle(int handle) {
  if (!SoundRunning()) return -1;
  MusicRecord* r = MusicRecordOf(handle);
  if (r == nullptr) return -1;
  if (MusicEngine == 0) {
    StopMusicPlayback();
  } else if (MusicEngine == 1) {
    if (g_sound_system.music_performance != nullptr) g_sound_system.music_performance->StopEx(r->segment, 0, 0);
    r->playing = 0;
    r->started = 0;
  }
  return 0;
}

int IsMusicHandlePlaying(int handle) {
  if (!SoundRunning()) return -1;
  MusicRecord* r = MusicRecordOf(handle);
  if (r == nullptr) return -1;
  if (MusicEngine == 0) return IsMusicPlaying();
  if (MusicEngine == 1) return r->playing;
  return 0;
}

int DeleteMusicHandle(int handle) {
  if (!SoundRunning()) return -1;
  MusicRecord* r = MusicRecordOf(handle);
  if (r == nullptr) return -1;
  if (IsMusicHandlePlaying(handle) == 1) StopMusicHandle(handle);
  SoundFree(r->data);
  r->data = nullptr;
  if (r->segment != nullptr) {
    r->segment->Unload(g_sound_system.music_performance);
    r->segment->Release();
    r->segment = nullptr;
  }
  const int slot = handle & 0xFFFF;
  SoundFree(r);
  g_music_table.slots[slot] = nullptr;
  --g_music_table.count;
  if (slot == g_music_table.next_index - 1) {
    int highest = slot - 1;
    while (highest >= 0 && g_music_table.slots[highest] == nullptr) --highest;
    g_music_table.next_index = g_music_table.count == 0 ? 0 : highest + 1;
  }
  return 0;
}

int DeleteAllMusicHandles() {
  if (!SoundRunning()) return -1;
  for (int slot = 0; slot < kMusicSlots; ++slot) {
    MusicRecord* r = g_music_table.slots[slot];
    if (r != nullptr) DeleteMusicHandle(static_cast<int>(((r->serial | 0x5800u) << 16) | static_cast<uint32_t>(slot)));
  }
  return 0;
}
