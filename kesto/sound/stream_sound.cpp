#include "sound/stream_sound.h"

#include <algorithm>
#include <cstring>

#include "sound/sound_host.h"
#include "sound/sound_state.h"
#include "sound/sound_system.h"

namespace audio = platform::audio;

namespace {

// Where the bytes of one lock go: two regions, each filled from its start.
struct LockCursor {
  uint32_t offset;
  uint8_t* region1;
  uint32_t bytes1;
  uint8_t* region2;
  uint32_t bytes2;
  uint32_t done1;
  uint32_t done2;

  uint32_t Remaining() const { return (bytes1 - done1) + (bytes2 - done2); }
  // Ring offset of the next byte to be written.
  uint32_t NextOffset() const { return done1 < bytes1 ? offset + done1 : done2; }
};

uint32_t RefillStep(const SoundRecord* r) {
  const uint32_t align = std::max<uint32_t>(r->format.block_align, 1);
  return std::max<uint32_t>((r->bytes_per_second / 8) / align * align, align);
}

uint32_t FirstFillSize(const SoundRecord* r) {
  const uint32_t align = std::max<uint32_t>(r->format.block_align, 1);
  return static_cast<uint32_t>(std::min<uint64_t>(4ull * r->bytes_per_second / align * align, r->ring_size));
}

bool RingPlays(SoundRecord* r) {
  uint32_t status = 0;
  return r->buffers[0] != nullptr && r->buffers[0]->GetStatus(&status) == audio::kOk &&
         (status & audio::kStatusPlaying) != 0;
}

uint32_t PlayCursor(SoundRecord* r) {
  uint32_t play = 0;
  if (r->buffers[0] == nullptr || r->buffers[0]->GetCurrentPosition(&play, nullptr) != audio::kOk) return 0;
  return play;
}

int CopyStreamPcm(LockCursor* lc, SoundDecoder* decoder, uint32_t count) {
  uint32_t copied = 0;
  while (copied < count && lc->done1 < lc->bytes1) {
    const uint32_t want = std::min(count - copied, lc->bytes1 - lc->done1);
    const int got = ReadSoundDecoder(decoder, lc->region1 + lc->done1, want);
    if (got <= 0) return static_cast<int>(copied);
    lc->done1 += static_cast<uint32_t>(got);
    copied += static_cast<uint32_t>(got);
  }
  while (copied < count && lc->done2 < lc->bytes2) {
    const uint32_t want = std::min(count - copied, lc->bytes2 - lc->done2);
    const int got = ReadSoundDecoder(decoder, lc->region2 + lc->done2, want);
    if (got <= 0) return static_cast<int>(copied);
    lc->done2 += static_cast<uint32_t>(got);
    copied += static_cast<uint32_t>(got);
  }
  return static_cast<int>(copied);
}

void FillStreamSilence(SoundRecord* r, LockCursor* lc, uint32_t count) {
  const uint8_t value = r->format.bits_per_sample == 8 ? 0x80 : 0;
  const uint32_t first = std::min(count, lc->bytes1 - lc->done1);
  std::memset(lc->region1 + lc->done1, value, first);
  lc->done1 += first;
  count -= first;
  const uint32_t second = std::min(count, lc->bytes2 - lc->done2);
  if (second > 0) std::memset(lc->region2 + lc->done2, value, second);
  lc->done2 += second;
}

void AdvanceStreamSegment(SoundRecord* r, LockCursor* lc, uint32_t play_cursor) {
  ++r->plays_done;
  const int loops = r->segments[r->current_segment].loop_count;
  if (r->plays_done > loops && loops != -1) {
    r->plays_done = 0;
    ++r->current_segment;
  }
  if (r->current_segment >= r->segment_count) {
    r->chain_done = 1;
    if (r->play_type == 3) {
      r->wrap_pending = 1;
      r->current_segment = 0;
      r->wrap_position = lc->NextOffset();
    } else {
      r->end_of_data = 1;
      r->end_position = lc->NextOffset();
      r->end_cursor = play_cursor;
      FillStreamSilence(r, lc, RefillStep(r));
      return;
    }
  }
  r->segment_read_position = 0;
  SeekSoundDecoder(&r->segments[r->current_segment].decoder, 0);
}

void FillLocked(SoundRecord* r, LockCursor* lc, uint32_t play_cursor) {
  // A chain that yields no byte in a whole round of its segments has no
  // data at all: it ends instead of being rewound for ever.
  int empty_advances = 0;
  while (lc->Remaining() > 0 && !r->end_of_data) {
    const int n = CopyStreamPcm(lc, &r->segments[r->current_segment].decoder, lc->Remaining());
    r->segment_read_position += n;
    if (n > 0) {
      empty_advances = 0;
      continue;
    }
    if (++empty_advances > 2 * r->segment_count + 2) {
      r->chain_done = 1;
      r->end_of_data = 1;
      r->end_position = lc->NextOffset();
      r->end_cursor = play_cursor;
      FillStreamSilence(r, lc, lc->Remaining());
      break;
    }
    AdvanceStreamSegment(r, lc, play_cursor);
  }
}

bool LockRing(SoundRecord* r, uint32_t offset, uint32_t bytes, LockCursor* lc) {
  void *p1 = nullptr, *p2 = nullptr;
  uint32_t n1 = 0, n2 = 0;
  if (r->buffers[0]->Lock(offset, bytes, &p1, &n1, &p2, &n2, 0) != audio::kOk) return false;
  *lc = LockCursor{offset, static_cast<uint8_t*>(p1), n1, static_cast<uint8_t*>(p2), p2 != nullptr ? n2 : 0, 0, 0};
  return true;
}

void UnlockRing(SoundRecord* r, const LockCursor& lc) {
  r->buffers[0]->Unlock(lc.region1, lc.bytes1, lc.region2, lc.bytes2);
}

// One refill step at the write position, unless enough is queued already.
void RefillStep(SoundRecord* r, bool silence) {
  const uint32_t p = PlayCursor(r);
  const int64_t w = r->write_position;
  const int64_t l = r->refill_limit;
  const int64_t pp = p;
  if ((w < pp && pp < l) || (l < w && pp < l) || (l < w && w < pp)) return;
  LockCursor lc;
  const uint32_t step = std::min(RefillStep(r), r->ring_size);
  if (w < 0 || !LockRing(r, static_cast<uint32_t>(w), step, &lc)) return;
  if (silence) {
    FillStreamSilence(r, &lc, step);
  } else {
    FillLocked(r, &lc, p);
  }
  UnlockRing(r, lc);
  int64_t next = w + step;
  if (next >= r->ring_size) next -= r->ring_size;
  r->write_position = static_cast<int32_t>(next);
  int64_t limit = next - 4ll * r->bytes_per_second;
  while (limit < 0) limit += r->ring_size;
  r->refill_limit = static_cast<int32_t>(limit);
}

void ResetStream(SoundRecord* r) {
  r->chain_done = 0;
  r->segment_read_position = 0;
  r->played_bytes = 0;
  r->wrap_pending = 0;
  r->plays_done = 0;
  r->current_segment = 0;
  r->started = 0;
}

void CloseSegment(StreamSegment* s) {
  if (s->decoder.open) CloseSoundDecoder(&s->decoder);
  if (s->memory_stream.handle != nullptr) CloseMemoryStream(s->memory_stream.handle);
  s->memory_stream.handle = nullptr;
  SoundFree(s->image);
  s->image = nullptr;
}

}  // namespace

int AddSreamSound(const DataStream& source, int loop_count, int handle, int source_kind, int* consumed) {
  if (!SoundRunning()) return -1;
  SoundRecord* r = SoundRecordOf(handle);
  if (r == nullptr) return -1;
  if (r->segment_count > 0) {
    if (r->kind != 1) {
      SoundLog("ストリーム風サウンドではないサウンドデータが渡されました in AddSreamSound\n");
      return -1;
    }
    if (RingPlays(r)) {
      SoundLog("既に再生中のストリームサウンドデータにデータを追加しようとしました\n");
      return -1;
    }
  }
  if (r->segment_count >= 3) {
    SoundLog("ストリーム風サウンドの制御データ領域がいっぱいです\n");
    return -1;
  }
  StreamSegment* s = &r->segments[r->segment_count];
  std::memset(static_cast<void*>(s), 0, sizeof(*s));
  s->source_kind = source_kind;
  source.ops.seek(source.handle, 0, 0);
  switch (source_kind) {
    case 3:
      s->source = source;
      if (OpenSoundDecoder(s->source, &s->decoder) != 0) {
        SoundLogFormat("音声データのオープンに失敗しました");
        return -1;
      }
      *consumed = 0;
      break;
    case 2: {
      void* image = nullptr;
      uint32_t size = 0;
      if (ReadWholeSoundStream(source, &image, &size) != 0) {
        SoundLogFormat("音声データの読み込みに失敗しました");
        return -1;
      }
      s->image = static_cast<uint8_t*>(image);
      s->image_size = size;
      s->memory_stream = DataStream{GetMemoryStreamTable(), OpenMemoryStream(image, size)};
      if (s->memory_stream.handle == nullptr || OpenSoundDecoder(s->memory_stream, &s->decoder) != 0) {
        CloseSegment(s);
        SoundLogFormat("音声データのオープンに失敗しました");
        return -1;
      }
      *consumed = 1;
      break;
    }
    case 0: {
      void* whole = nullptr;
      uint32_t whole_size = 0;
      if (ReadWholeSoundStream(source, &whole, &whole_size) != 0) {
        SoundLogFormat("音声データの読み込みに失敗しました");
        return -1;
      }
      const DataStream temp{GetMemoryStreamTable(), OpenMemoryStream(whole, whole_size)};
      SoundDecoder decoder;
      WaveFormat format{};
      void* pcm = nullptr;
      uint32_t pcm_size = 0;
      bool decoded = false;
      if (temp.handle != nullptr && OpenSoundDecoder(temp, &decoder) == 0) {
        decoded = DecodeSoundToPcm(&decoder, &format, &pcm, &pcm_size) == 0;
        CloseSoundDecoder(&decoder);
      }
      if (temp.handle != nullptr) CloseMemoryStream(temp.handle);
      SoundFree(whole);
      void* image = nullptr;
      uint32_t image_size = 0;
      if (!decoded || BuildWaveImage(&image, &image_size, &format, sizeof(format), pcm, pcm_size) != 0) {
        SoundFree(pcm);
        SoundLogFormat("音声データの変換に失敗しました");
        return -1;
      }
      SoundFree(pcm);
      s->image = static_cast<uint8_t*>(image);
      s->image_size = image_size;
      s->memory_stream = DataStream{GetMemoryStreamTable(), OpenMemoryStream(image, image_size)};
      if (s->memory_stream.handle == nullptr || OpenSoundDecoder(s->memory_stream, &s->decoder) != 0) {
        CloseSegment(s);
        SoundLogFormat("音声データの変換に失敗しました");
        return -1;
      }
      *consumed = 1;
      break;
    }
    default:
      // Kinds without a decoder cannot be played.
      SoundLogFormat("音声データのオープンに失敗しました");
      return -1;
  }
  WaveFormat format{};
  GetSoundDecoderFormat(&s->decoder, &format);
  if (r->segment_count == 0) {
    // A ring no buffer can hold would end the program at its creation.
    const uint64_t ring = 6ull * format.avg_bytes_per_sec;
    if (ring > 0xFFFFFFFFu || !audio::AcceptableBufferFormat(format, static_cast<uint32_t>(ring))) {
      CloseSegment(s);
      SoundLogFormat("音声データのオープンに失敗しました");
      return -1;
    }
    r->format = format;
    if (CreateSoundBuffers(handle, &format, static_cast<uint32_t>(ring), 1, 1) != 0) {
      CloseSegment(s);
      return -1;
    }
    r->ring_size = static_cast<uint32_t>(ring);
    r->write_position = -800;
    r->refill_limit = -1;
  } else if (std::memcmp(&format, &r->format, sizeof(WaveFormat)) != 0) {
    CloseSegment(s);
    SoundLogFormat("フォーマットの違う音声データは同時に使うことは出来ません");
    return -1;
  }
  s->loop_count = static_cast<int8_t>(loop_count);
  ++r->segment_count;
  return 0;
}

int AddStreamSoundFile(const char* path, int loop_count, int handle, int source_kind) {
  void* file = CallFileOpen(path);
  if (file == nullptr) {
    SoundLogFormat("右記のＷＡＶファイルのロードに失敗しました：%s \n", path);
    return -1;
  }
  const DataStream stream{GetFileStreamTable(), file};
  int consumed = 0;
  SoundRecord* r = SoundRecordOf(handle);
  const int index = r != nullptr ? r->segment_count : 0;
  if (AddSreamSound(stream, loop_count, handle, source_kind, &consumed) != 0) {
    SoundLogFormat("右記のＷＡＶファイルのセットアップに失敗しました：%s \n", path);
    CallFileClose(file);
    return -1;
  }
  if (consumed == 1) CallFileClose(file);
  r->source_opened[index] = 1;
  return 0;
}

int AddStreamSoundMemory(const void* data, uint32_t size, int loop_count, int handle, int source_kind) {
  if (source_kind == 3) source_kind = 2;
  void* memory = OpenMemoryStream(data, size);
  if (memory == nullptr) {
    SoundLogFormat("ＷＡＶファイルのストリームイメージハンドルの作成に失敗しました \n");
    return -1;
  }
  const DataStream stream{GetMemoryStreamTable(), memory};
  int consumed = 0;
  SoundRecord* r = SoundRecordOf(handle);
  const int index = r != nullptr ? r->segment_count : 0;
  if (AddSreamSound(stream, loop_count, handle, source_kind, &consumed) != 0) {
    SoundLogFormat("ＷＡＶファイルのストリームイメージのセットアップに失敗しました \n");
    CloseMemoryStream(memory);
    return -1;
  }
  if (consumed == 1) CloseMemoryStream(memory);
  r->source_opened[index] = 1;
  return 0;
}

int PrimeStreamSound(int handle) {
  if (!SoundRunning()) return -1;
  SoundRecord* r = SoundRecordOf(handle);
  if (r == nullptr) return -1;
  if (r->kind != 1 || r->segment_count == 0 || RingPlays(r) || r->started) return 0;
  r->buffers[0]->SetCurrentPosition(0);
  const uint32_t align = std::max<uint32_t>(r->format.block_align, 1);
  SeekSoundDecoder(&r->segments[r->current_segment].decoder, static_cast<uint32_t>(r->segment_read_position) / align);
  r->write_position = -800;
  r->refill_limit = -1;
  r->end_of_data = 0;
  r->started = 1;
  r->last_play_cursor = 0;
  RefillStreamSound(handle);
  return 0;
}

int RefillStreamSound(int handle) {
  SoundRecord* r = SoundRecordOf(handle);
  if (r == nullptr || r->kind != 1 || !r->started || r->buffers[0] == nullptr) return 0;
  TrackStreamPlayPosition(handle, -1);
  if (r->end_of_data) {
    const uint32_t p = PlayCursor(r);
    // Passed the end: the cursor has moved forward from where it was when
    // the data ended by at least the distance to the end, around the ring.
    const uint32_t ring = r->ring_size;
    const uint32_t to_end = (r->end_position + ring - r->end_cursor) % ring;
    const uint32_t moved = (p + ring - r->end_cursor) % ring;
    if (moved >= to_end) {
      r->buffers[0]->Stop();
      r->end_of_data = 0;
      return 0;
    }
    RefillStep(r, true);
    return 0;
  }
  if (!RingPlays(r)) {
    if (r->write_position == -800) {
      LockCursor lc;
      if (!LockRing(r, 0, FirstFillSize(r), &lc)) return 0;
      FillLocked(r, &lc, 0);
      UnlockRing(r, lc);
      r->refill_limit = 0;
      r->write_position = static_cast<int32_t>(std::min<uint64_t>(4ull * r->bytes_per_second, r->ring_size) % r->ring_size);
    }
    return 0;
  }
  RefillStep(r, false);
  return 0;
}

int TrackStreamPlayPosition(int handle, int64_t cursor) {
  SoundRecord* r = SoundRecordOf(handle);
  if (r == nullptr || r->kind != 1 || !r->started) return 0;
  const uint32_t p = cursor == -1 ? PlayCursor(r) : static_cast<uint32_t>(cursor);
  const uint32_t q = r->last_play_cursor;
  const uint32_t x = r->wrap_position;
  const uint32_t ring = r->ring_size;
  if (p == q) return 0;
  // The wrap position counts as passed when the cursor lands on it, whether
  // or not it went through the ring's end on the way.
  const bool passed = (q < p && q < x && x <= p) || (p < q && (x > q || x <= p));
  if (r->wrap_pending && passed) {
    r->played_bytes = (x > q && q > p) ? ring - x + p : p - x;
    r->wrap_pending = 0;
  } else {
    r->played_bytes += q < p ? p - q : ring - q + p;
  }
  r->last_play_cursor = p;
  return 0;
}

int PlayStreamSound(int handle, int play_type, int restart) {
  if (!SoundRunning()) return -1;
  SoundRecord* r = SoundRecordOf(handle);
  if (r == nullptr || r->kind != 1) return -1;
  if (restart == 0 && RingPlays(r)) return 0;
  StopStreamSound(handle);
  if (((play_type ^ r->play_type) & 2) && r->chain_done) ResetStream(r);
  if (restart == 1) {
    r->chain_done = 0;
    if (r->played_bytes != 0) ResetStream(r);
  }
  r->play_type = static_cast<uint8_t>(play_type);
  PrimeStreamSound(handle);
  if (audio::Failed(r->buffers[0]->Play(0, 0, audio::kPlayLooping))) return -1;
  if (play_type == 0) {
    while (SoundPumpPass() == 0 && IsStreamSoundPlaying(handle) == 1) {
    }
  }
  return 0;
}

int StopStreamSound(int handle) {
  if (!SoundRunning()) return -1;
  SoundRecord* r = SoundRecordOf(handle);
  if (r == nullptr || r->kind != 1) return -1;
  TrackStreamPlayPosition(handle, -1);
  uint32_t status = 0;
  if (r->buffers[0]->GetStatus(&status) != audio::kOk) return -1;
  if (status & audio::kStatusPlaying) r->buffers[0]->Stop();
  return 0;
}

int IsStreamSoundPlaying(int handle) {
  if (!SoundRunning()) return -1;
  SoundRecord* r = SoundRecordOf(handle);
  if (r == nullptr) return -1;
  return RingPlays(r) ? 1 : 0;
}

int RefillAllStreamSounds() {
  if (!SoundRunning()) return -1;
  int seen = 0;
  for (int slot = 0; slot < kSoundSlots && seen < g_sound_table.count; ++slot) {
    SoundRecord* r = g_sound_table.slots[slot];
    if (r == nullptr) continue;
    ++seen;
    if (r->kind == 1) RefillStreamSound(SoundHandleOf(r, slot));
  }
  return 0;
}

void ReleaseStreamSegments(SoundRecord* r) {
  for (int i = 0; i < 3; ++i) {
    StreamSegment* s = &r->segments[i];
    if (s->decoder.open) CloseSoundDecoder(&s->decoder);
    SoundFree(s->image);
    s->image = nullptr;
    if (r->source_opened[i] && s->source_kind == 3 && s->source.handle != nullptr) {
      s->source.ops.close(s->source.handle);
    }
    s->source.handle = nullptr;
    if (s->memory_stream.handle != nullptr) CloseMemoryStream(s->memory_stream.handle);
    s->memory_stream.handle = nullptr;
  }
}
