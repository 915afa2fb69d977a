#include "sound/sound_handles.h"

#include <cstring>

#include "sound/sound_host.h"
#include "sound/sound_state.h"
#include "sound/sound_system.h"
#include "sound/stream_sound.h"

namespace audio = platform::audio;

SoundTable g_sound_table;

namespace {

constexpr uint32_t kStaticFlags = 0x80E2;
constexpr uint32_t kReducedFlags = 0xC2;

audio::BufferDesc Describe(uint32_t flags, uint32_t bytes, const WaveFormat* format) {
  audio::BufferDesc desc;
  desc.size = 36;
  desc.flags = flags;
  desc.buffer_bytes = bytes;
  desc.format = format;
  return desc;
}

}  // namespace

int SoundHandleOf(const SoundRecord* record, int slot) {
  return static_cast<int>(((record->serial | 0x1000u) << 16) | static_cast<uint32_t>(slot));
}

SoundRecord* SoundRecordOf(int handle) {
  if (handle < 0 || (handle & 0x78000000) != kSoundHandleKind) return nullptr;
  const int slot = handle & 0xFFFF;
  if (slot >= kSoundSlots) return nullptr;
  SoundRecord* record = g_sound_table.slots[slot];
  if (record == nullptr || ((static_cast<uint32_t>(handle) >> 16) & 0x7FF) != record->serial) return nullptr;
  return record;
}

int AddSoundData() {
  SoundTable& t = g_sound_table;
  if (t.count >= kSoundSlots) {
    SoundLog("サウンドの数が許容量を越えました\n");
    return -1;
  }
  int slot = t.next_index;
  if (slot >= kSoundSlots) {
    for (slot = 0; slot < kSoundSlots && t.slots[slot] != nullptr; ++slot) {
    }
  }
  auto* record = static_cast<SoundRecord*>(SoundAlloc(sizeof(SoundRecord), 702));
  if (record == nullptr) {
    SoundLog("メモリ領域の確保に失敗しました in AddSoundData");
    return -1;
  }
  std::memset(static_cast<void*>(record), 0, sizeof(SoundRecord));
  record->serial = static_cast<uint32_t>(t.serial_counter);
  t.serial_counter = (t.serial_counter + 1) & 0x7FF;
  t.slots[slot] = record;
  ++t.count;
  if (slot == t.next_index) ++t.next_index;
  return SoundHandleOf(record, slot);
}

int CreateSoundBuffers(int handle, const WaveFormat* format, uint32_t buffer_bytes, int kind, int buffer_count) {
  SoundRecord* r = SoundRecordOf(handle);
  if (r == nullptr || !SoundRunning()) return -1;
  audio::DirectSound* ds = g_sound_system.direct_sound;
  if (kind == 0) {
    for (int i = 0; i < buffer_count; ++i) {
      audio::Result result;
      if (i == 0) {
        const audio::BufferDesc desc = Describe(kStaticFlags, buffer_bytes, format);
        result = ds->CreateSoundBuffer(&desc, &r->buffers[0], nullptr);
      } else {
        result = ds->DuplicateSoundBuffer(r->buffers[0], &r->buffers[i]);
      }
      if (audio::Failed(result)) {
        const audio::BufferDesc desc = Describe(kReducedFlags, buffer_bytes, format);
        result = ds->CreateSoundBuffer(&desc, &r->buffers[i], nullptr);
        // A separate buffer does not share buffer 0's data: give it the PCM
        // the record holds, so that it does not play silence.
        if (!audio::Failed(result) && i > 0 && r->pcm != nullptr) {
          void *p1 = nullptr, *p2 = nullptr;
          uint32_t n1 = 0, n2 = 0;
          if (r->buffers[i]->Lock(0, buffer_bytes, &p1, &n1, &p2, &n2, 0) == audio::kOk) {
            std::memcpy(p1, r->pcm, std::min(n1, r->pcm_size));
            r->buffers[i]->Unlock(p1, n1, p2, n2);
          }
        }
      }
      if (audio::Failed(result)) {
        for (int j = i; j >= 0; --j) {
          if (r->buffers[j] != nullptr) r->buffers[j]->Release();
          r->buffers[j] = nullptr;
        }
        SoundFatal("DirectSoundBuffer の作成に失敗しました");
        return -1;
      }
    }
    r->buffer_count = buffer_count;
  } else {
    const audio::BufferDesc desc = Describe(kStaticFlags | audio::kBufferGetCurrentPosition2,
                                            6 * format->avg_bytes_per_sec, format);
    if (audio::Failed(ds->CreateSoundBuffer(&desc, &r->buffers[0], nullptr))) {
      r->buffers[0] = nullptr;
      SoundFatal("ストリーム風サウンドバッファの作成に失敗しました");
      return -1;
    }
    r->buffer_count = 1;
  }
  r->bytes_per_second = format->avg_bytes_per_sec;
  r->kind = kind;
  return 0;
}

int LoadSoundMemory(const void* data, uint32_t size, int buffer_count) {
  if (!SoundRunning()) return -1;
  // Fewer than one buffer is refused like more than ten, before any work.
  if (buffer_count > kMaxSoundBuffers || buffer_count < 1) return -1;
  const int handle = AddSoundData();
  if (handle == -1) return -1;
  if (SoundDataMode != 0) {
    if (AddStreamSoundMemory(data, size, 0, handle, SoundDataMode) == 0) {
      PrimeStreamSound(handle);
      return handle;
    }
    DeleteSoundHandle(handle);
    return -1;
  }
  void* stream_handle = OpenMemoryStream(data, size);
  if (stream_handle == nullptr) {
    SoundLogFormat("音声ファイルのＰＣＭへの変換に失敗しました");
    DeleteSoundHandle(handle);
    return -1;
  }
  const DataStream stream{GetMemoryStreamTable(), stream_handle};
  SoundDecoder decoder;
  if (OpenSoundDecoder(stream, &decoder) != 0) {
    SoundLogFormat("音声ファイルのＰＣＭへの変換に失敗しました");
    DeleteSoundHandle(handle);
    CloseMemoryStream(stream_handle);
    return -1;
  }
  WaveFormat format{};
  void* pcm = nullptr;
  uint32_t pcm_size = 0;
  if (DecodeSoundToPcm(&decoder, &format, &pcm, &pcm_size) != 0) {
    SoundLogFormat("音声ファイルを格納するメモリ領域の確保に失敗しました");
    SoundFree(pcm);
    DeleteSoundHandle(handle);
    CloseSoundDecoder(&decoder);
    CloseMemoryStream(stream_handle);
    return -1;
  }
  CloseSoundDecoder(&decoder);
  CloseMemoryStream(stream_handle);
  // An empty sound, or one no buffer can hold, would end the program at
  // buffer creation: a bad file fails its load instead.
  if (!audio::AcceptableBufferFormat(format, pcm_size)) {
    SoundLogFormat("音声ファイルのＰＣＭへの変換に失敗しました");
    SoundFree(pcm);
    DeleteSoundHandle(handle);
    return -1;
  }
  // The record holds the PCM before the buffers are made, so a buffer made
  // apart from buffer 0 can be filled from it.
  SoundRecord* r = SoundRecordOf(handle);
  r->format = format;
  r->pcm = static_cast<uint8_t*>(pcm);
  r->pcm_size = pcm_size;
  if (CreateSoundBuffers(handle, &format, pcm_size, 0, buffer_count) != 0) {
    DeleteSoundHandle(handle);
    return -1;
  }
  void *p1 = nullptr, *p2 = nullptr;
  uint32_t n1 = 0, n2 = 0;
  if (r->buffers[0]->Lock(0, pcm_size, &p1, &n1, &p2, &n2, 0) != audio::kOk) {
    SoundLog("サウンドデータの転送に失敗しました_1");
    DeleteSoundHandle(handle);
    return -1;
  }
  std::memcpy(p1, pcm, n1);
  if (p2 != nullptr) std::memcpy(p2, static_cast<uint8_t*>(pcm) + n1, n2);
  if (r->buffers[0]->Unlock(p1, n1, p2, n2) != audio::kOk) {
    SoundLog("サウンドデータの転送に失敗しました_2");
    DeleteSoundHandle(handle);
    return -1;
  }
  return handle;
}

int LoadSoundFile(const char* path, int buffer_count) {
  if (!SoundRunning()) return -1;
  if (buffer_count > kMaxSoundBuffers || buffer_count < 1) return -1;
  if (SoundDataMode != 0) {
    const int handle = AddSoundData();
    if (handle == -1) return -1;
    if (AddStreamSoundFile(path, 0, handle, SoundDataMode) == 0) {
      PrimeStreamSound(handle);
      return handle;
    }
    DeleteSoundHandle(handle);
    return -1;
  }
  void* image = nullptr;
  uint32_t size = 0;
  if (ReadWholeSoundFile(path, &image, &size) != 0) {
    SoundLogFormat("右記の音声ファイルのロードに失敗しました_1：%s", path);
    SoundFree(image);
    return -1;
  }
  const int handle = LoadSoundMemory(image, size, buffer_count);
  if (handle == -1) {
    SoundLogFormat("右記の音声ファイルのロードに失敗しました_2：%s", path);
    SoundFree(image);
    return -1;
  }
  SoundFree(image);
  return handle;
}

int LoadSoundFileSingle(const char* path) { return LoadSoundFile(path, 1); }

int PlaySoundHandle(int handle, int play_type, int restart) {
  if (!SoundRunning()) return -1;
  SoundRecord* r = SoundRecordOf(handle);
  if (r == nullptr) return -1;
  if (r->kind == 1) return PlayStreamSound(handle, play_type, restart);
  int chosen = -1;
  for (int i = 0; i < r->buffer_count; ++i) {
    uint32_t status = 0;
    if (r->buffers[i]->GetStatus(&status) != audio::kOk) return -1;
    if ((status & audio::kStatusPlaying) == 0) {
      chosen = i;
      break;
    }
  }
  if (chosen == -1) {
    // All play: the one furthest along; a tie keeps the lower index. A cursor
    // that cannot be read counts as the start.
    uint32_t best = 0;
    chosen = 0;
    if (r->buffers[0]->GetCurrentPosition(&best, nullptr) != audio::kOk) best = 0;
    for (int i = 1; i < r->buffer_count; ++i) {
      uint32_t cursor = 0;
      if (r->buffers[i]->GetCurrentPosition(&cursor, nullptr) != audio::kOk) return -1;
      if (cursor > best) {
        best = cursor;
        chosen = i;
      }
    }
  }
  SoundBuffer* b = r->buffers[chosen];
  uint32_t status = 0;
  if (b->GetStatus(&status) != audio::kOk) return -1;
  if (status & audio::kStatusPlaying) {
    if (restart == 0) return 0;
    b->Stop();
  }
  if (restart == 1) b->SetCurrentPosition(0);
  if (audio::Failed(b->Play(0, 0, play_type == 3 ? audio::kPlayLooping : 0))) return -1;
  if (play_type != 0) return 0;
  while (SoundPumpPass() == 0 && IsSoundHandlePlaying(handle) == 1) {
  }
  return 0;
}

int StopSoundHandle(int handle) {
  if (!SoundRunning()) return -1;
  SoundRecord* r = SoundRecordOf(handle);
  if (r == nullptr) return -1;
  if (r->kind == 1) return StopStreamSound(handle);
  for (int i = 0; i < r->buffer_count; ++i) {
    uint32_t status = 0;
    if (r->buffers[i]->GetStatus(&status) != audio::kOk) return -1;
    if (status & audio::kStatusPlaying) r->buffers[i]->Stop();
  }
  return 0;
}

int IsSoundHandlePlaying(int handle) {
  if (!SoundRunning()) return -1;
  SoundRecord* r = SoundRecordOf(handle);
  if (r == nullptr) return -1;
  if (r->kind == 1) return IsStreamSoundPlaying(handle);
  for (int i = 0; i < r->buffer_count; ++i) {
    uint32_t status = 0;
    if (r->buffers[i]->GetStatus(&status) == audio::kOk && (status & audio::kStatusPlaying)) return 1;
  }
  return 0;
}

int SetSoundHandleVolume(int volume, int handle) {
  if (!SoundRunning()) return -1;
  SoundRecord* r = SoundRecordOf(handle);
  if (r == nullptr) return -1;
  int64_t level = static_cast<int64_t>(volume) - 10000;
  if (level > 0) level = 0;
  if (level < -10000) level = -10000;
  for (int i = 0; i < r->buffer_count; ++i) {
    if (r->buffers[i] != nullptr) r->buffers[i]->SetVolume(static_cast<int32_t>(level));
  }
  return 0;
}

int DeleteSoundHandle(int handle) {
  if (!SoundRunning()) return -1;
  SoundRecord* r = SoundRecordOf(handle);
  if (r == nullptr) return -1;
  if (r->buffers[0] != nullptr) StopSoundHandle(handle);
  if (r->kind == 0) {
    for (int i = 0; i < kMaxSoundBuffers; ++i) {
      if (r->buffers[i] != nullptr) r->buffers[i]->Release();
      r->buffers[i] = nullptr;
    }
    SoundFree(r->pcm);
    r->pcm = nullptr;
  } else {
    ReleaseStreamSegments(r);
    if (r->buffers[0] != nullptr) r->buffers[0]->Release();
    r->buffers[0] = nullptr;
  }
  SoundTable& t = g_sound_table;
  const int slot = handle & 0xFFFF;
  SoundFree(r);
  t.slots[slot] = nullptr;
  --t.count;
  if (slot == t.next_index - 1) {
    if (t.count == 0) {
      t.next_index = 0;
    } else {
      int highest = slot - 1;
      while (highest >= 0 && t.slots[highest] == nullptr) --highest;
      t.next_index = highest + 1;
    }
  }
  return 0;
}

int DeleteAllSoundHandles() {
  if (!SoundRunning()) return -1;
  for (int slot = 0; slot < kSoundSlots; ++slot) {
    SoundRecord* r = g_sound_table.slots[slot];
    if (r != nullptr) DeleteSoundHandle(SoundHandleOf(r, slot));
  }
  return 0;
}
