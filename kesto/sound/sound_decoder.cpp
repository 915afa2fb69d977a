#include "sound/sound_decoder.h"

#include <algorithm>
#include <cstring>

#include "sound/sound_host.h"

namespace acm = platform::audio;

int OggBytesPerSample = 2;

int64_t SoundStreamLength(const DataStream& stream) {
  const int64_t here = stream.ops.tell(stream.handle);
  stream.ops.seek(stream.handle, 0, 2);
  const int64_t size = stream.ops.tell(stream.handle);
  stream.ops.seek(stream.handle, static_cast<int32_t>(here), 0);
  return size;
}

namespace {

// No sound loaded whole (an effect, a short jingle) comes near this.
constexpr int64_t kMaxWholeSoundFileBytes = int64_t{256} << 20;

// A fmt chunk larger than this is not a wave format; refusing it keeps a
// hostile size from asking for gigabytes.
constexpr uint32_t kMaxFmtSize = 64 * 1024;
// Rates and byte rates beyond these are no real format (8 channels of 32
// bits at 384 kHz need 12 MB/s); they would size huge work buffers.
constexpr uint32_t kMaxRate = 384000;
constexpr uint32_t kMaxByteRate = 16u << 20;

uint32_t ReadU32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

void WriteU32(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
  p[2] = static_cast<uint8_t>(v >> 16);
  p[3] = static_cast<uint8_t>(v >> 24);
}

int64_t Tell(SoundDecoder* d) { return d->stream.ops.tell(d->stream.handle); }
void SeekTo(SoundDecoder* d, int64_t position) { d->stream.ops.seek(d->stream.handle, static_cast<int32_t>(position), 0); }
size_t ReadBytes(SoundDecoder* d, void* buffer, size_t bytes) {
  if (bytes == 0) return 0;
  return d->stream.ops.read(buffer, 1, bytes, d->stream.handle);
}

// "RIFF", "WAVE" and a first chunk "fmt ": returns the fmt chunk in a block
// of at least 18 zeroed bytes, whose extra size never claims more bytes than
// the chunk holds, or null.
uint8_t* ReadRiffFmt(SoundDecoder* d, int line) {
  const int64_t length = SoundStreamLength(d->stream);
  uint8_t head[20] = {};
  if (ReadBytes(d, head, 20) != 20) return nullptr;
  if (std::memcmp(head, "RIFF", 4) != 0 || std::memcmp(head + 8, "WAVE", 4) != 0 ||
      std::memcmp(head + 12, "fmt ", 4) != 0) {
    return nullptr;
  }
  const uint32_t size = ReadU32(head + 16);
  const int64_t at = Tell(d);
  if (size < 16 || size > kMaxFmtSize || at + size > length) return nullptr;
  const uint32_t block_size = std::max<uint32_t>(size, sizeof(WaveFormat));
  auto* block = static_cast<uint8_t*>(SoundAlloc(block_size, line));
  if (block == nullptr) return nullptr;
  std::memset(block, 0, block_size);
  if (ReadBytes(d, block, size) != size) {
    SoundFree(block);
    return nullptr;
  }
  WaveFormat format;
  std::memcpy(&format, block, sizeof(format));
  format.extra_size = size >= sizeof(WaveFormat)
                          ? static_cast<uint16_t>(std::min<uint32_t>(format.extra_size, size - sizeof(WaveFormat)))
                          : 0;
  std::memcpy(block, &format, sizeof(format));
  d->fmt_offset = at;
  d->fmt_size = size;
  return block;
}

// Walks the chunks after fmt to "data". Sizes are unsigned and a chunk that
// would end past the stream fails the walk, so no seek ever goes backwards.
// A data chunk longer than the stream is cut to what the stream holds.
int WalkToData(SoundDecoder* d) {
  const int64_t length = SoundStreamLength(d->stream);
  for (;;) {
    const int64_t at = Tell(d);
    uint8_t header[8] = {};
    if (at + 8 > length || ReadBytes(d, header, 8) != 8) return -1;
    const uint32_t size = ReadU32(header + 4);
    if (std::memcmp(header, "data", 4) == 0) {
      d->data_start = Tell(d);
      d->data_size = static_cast<uint32_t>(std::min<int64_t>(size, length - d->data_start));
      return 0;
    }
    const int64_t next = at + 8 + static_cast<int64_t>(size) + (size & 1);
    if (next > length) return -1;
    SeekTo(d, next);
  }
}

// The correction for a 16-byte PCM fmt chunk, which has no extra-size field.
bool CorrectShortPcm(WaveFormat* f, uint32_t fmt_size) {
  if (f->channels == 0) return false;
  if (f->format_tag == acm::kFormatPcm && fmt_size == 16) {
    f->extra_size = 0;
    f->bits_per_sample = static_cast<uint16_t>((f->block_align / f->channels) * 8);
  }
  return true;
}

int FillDecoderBufferWave(SoundDecoder* d) {
  const int64_t read = Tell(d) - d->data_start;
  const int64_t remaining = static_cast<int64_t>(d->data_size) - std::max<int64_t>(read, 0);
  if (remaining <= 0) return -1;
  const uint32_t n = static_cast<uint32_t>(std::min<int64_t>(d->work_size, remaining));
  const size_t got = ReadBytes(d, d->work, n);
  if (got == 0) return -1;
  d->bytes_left = static_cast<uint32_t>(got);
  return 0;
}

int FillDecoderBufferAcm(SoundDecoder* d) {
  if (d->acm == nullptr) return -1;
  if (d->source_held < d->source_buffer_size) {
    const int64_t read = Tell(d) - d->data_start;
    const int64_t remaining = static_cast<int64_t>(d->data_size) - std::max<int64_t>(read, 0);
    if (remaining <= 0 && d->source_held == 0) return -1;
    const uint32_t want =
        static_cast<uint32_t>(std::min<int64_t>(std::max<int64_t>(remaining, 0), d->source_buffer_size - d->source_held));
    // The bytes actually read count, so a truncated stream cannot loop.
    d->source_held += static_cast<uint32_t>(ReadBytes(d, d->source_buffer + d->source_held, want));
    if (d->source_held == 0) return -1;
  }
  acm::AcmStreamHeader header;
  header.source = d->source_buffer;
  header.source_length = d->source_held;
  header.dest = d->work;
  header.dest_length = d->work_size;
  if (acm::AcmStreamPrepareHeader(d->acm, &header, 0) != 0) return -1;
  acm::AcmStreamConvert(d->acm, &header, acm::kAcmConvertBlockAlign);
  d->bytes_left = header.dest_used;
  const uint32_t used = std::min(header.source_used, d->source_held);
  d->source_held -= used;
  acm::AcmStreamUnprepareHeader(d->acm, &header, 0);
  if (d->source_held > 0) std::memmove(d->source_buffer, d->source_buffer + used, d->source_held);
  // A round that takes nothing and gives nothing (a last partial block) ends
  // the data instead of repeating for ever.
  if (used == 0 && header.dest_used == 0) return -1;
  return 0;
}

int FillDecoderBufferOgg(SoundDecoder* d) {
  int section = 0;
  const int word = d->ogg_bytes_per_sample;
  const long r = ov_read(&d->ogg, reinterpret_cast<char*>(d->work), static_cast<int>(d->work_size), 0, word,
                         word == 1 ? 0 : 1, &section);
  if (r == OV_HOLE) {
    // A gap in the data: skip it, but not for ever.
    return ++d->ogg_holes < 16 ? 0 : -1;
  }
  if (r <= 0) return -1;
  d->ogg_holes = 0;
  d->bytes_left = static_cast<uint32_t>(r);
  return 0;
}

int Refill(SoundDecoder* d) {
  switch (d->kind) {
    case 0:
      return FillDecoderBufferWave(d);
    case 1:
      return FillDecoderBufferAcm(d);
    case 2:
      return FillDecoderBufferOgg(d);
    default:
      return -1;
  }
}

size_t OggReadCallback(void* buffer, size_t size, size_t count, void* source) {
  auto* s = static_cast<DataStream*>(source);
  if (s == nullptr) return static_cast<size_t>(-1);
  return s->ops.read(buffer, size, count, s->handle);
}

int OggSeekCallback(void* source, ogg_int64_t offset, int origin) {
  auto* s = static_cast<DataStream*>(source);
  if (s == nullptr) return -1;
  // The low 32 bits: the library's streams are below 4 GB.
  return s->ops.seek(s->handle, static_cast<int32_t>(offset), origin);
}

int OggCloseCallback(void*) { return 0; }

long OggTellCallback(void* source) {
  auto* s = static_cast<DataStream*>(source);
  if (s == nullptr) return -1;
  return static_cast<long>(s->ops.tell(s->handle));
}

bool ReopenAcm(SoundDecoder* d) {
  if (d->acm != nullptr) acm::AcmStreamClose(d->acm, 0);
  d->acm = nullptr;
  return acm::AcmStreamOpen(&d->acm, nullptr, reinterpret_cast<const WaveFormat*>(d->source_format), &d->format,
                            nullptr, 0, 0, acm::kAcmOpenNonRealtime) == 0;
}

}  // namespace

int OpenDecoderWavePcm(SoundDecoder* d) {
  uint8_t* block = ReadRiffFmt(d, 4416);
  if (block == nullptr) return -1;
  WaveFormat f;
  std::memcpy(&f, block, sizeof(f));
  SoundFree(block);
  if (f.format_tag != acm::kFormatPcm) return -1;
  // A zero channel count, block align or byte rate cannot be played or
  // streamed: refuse it here rather than divide by it later.
  if (!CorrectShortPcm(&f, d->fmt_size) || f.block_align == 0 || f.avg_bytes_per_sec == 0 ||
      f.avg_bytes_per_sec > kMaxByteRate || f.samples_per_sec > kMaxRate) {
    return -1;
  }
  d->format = f;
  if (WalkToData(d) != 0) return -1;
  d->work_size = f.avg_bytes_per_sec;
  d->kind = 0;
  return 0;
}

int OpenDecoderAcmWave(SoundDecoder* d) {
  d->source_format = nullptr;
  d->acm = nullptr;
  d->source_buffer = nullptr;
  d->total_samples = -1;
  uint8_t* block = ReadRiffFmt(d, 4501);
  if (block == nullptr) return -1;
  d->source_format = block;
  auto* source = reinterpret_cast<WaveFormat*>(block);
  WaveFormat f;
  std::memcpy(&f, block, sizeof(f));
  bool ok = CorrectShortPcm(&f, d->fmt_size) && f.block_align != 0 && f.avg_bytes_per_sec <= kMaxByteRate &&
            f.samples_per_sec <= kMaxRate;
  if (ok) {
    std::memcpy(source, &f, sizeof(f));
    ok = WalkToData(d) == 0;
  }
  if (ok) {
    std::memset(&d->format, 0, sizeof(d->format));
    d->format.format_tag = acm::kFormatPcm;
    ok = acm::AcmFormatSuggest(nullptr, source, &d->format, sizeof(WaveFormat), acm::kAcmSuggestFormatTag) == 0 &&
         d->format.block_align != 0 && d->format.avg_bytes_per_sec <= kMaxByteRate;
  }
  if (ok) {
    // An eighth of a second in whole blocks, never less than one block, and
    // never more than the data holds.
    const uint32_t eighth = (f.avg_bytes_per_sec >> 3) / f.block_align * f.block_align;
    const uint32_t whole = (d->data_size + f.block_align - 1) / f.block_align * f.block_align;
    d->source_buffer_size = std::max<uint32_t>(std::min(eighth, whole), f.block_align);
    d->source_buffer = static_cast<uint8_t*>(SoundAlloc(d->source_buffer_size, 4541));
    ok = d->source_buffer != nullptr;
  }
  if (ok) {
    d->source_held = 0;
    ok = acm::AcmStreamOpen(&d->acm, nullptr, source, &d->format, nullptr, 0, 0, acm::kAcmOpenNonRealtime) == 0;
  }
  if (!ok) {
    SoundFree(d->source_format);
    SoundFree(d->source_buffer);
    d->source_format = nullptr;
    d->source_buffer = nullptr;
    d->acm = nullptr;
    return -1;
  }
  d->work_size = d->format.avg_bytes_per_sec;
  d->kind = 1;
  return 0;
}

int OpenDecoderOgg(SoundDecoder* d) {
  d->ogg_open = 0;
  const ov_callbacks callbacks = {OggReadCallback, OggSeekCallback, OggCloseCallback, OggTellCallback};
  if (ov_open_callbacks(&d->stream, &d->ogg, nullptr, 0, callbacks) != 0) return -1;
  d->ogg_open = 1;
  const vorbis_info* info = ov_info(&d->ogg, -1);
  const int b = OggBytesPerSample == 1 ? 1 : 2;
  if (info == nullptr || info->channels < 1 || info->channels > 255 || info->rate < 1 || info->rate > 384000) {
    ov_clear(&d->ogg);
    d->ogg_open = 0;
    return -1;
  }
  WaveFormat& f = d->format;
  f.format_tag = acm::kFormatPcm;
  f.channels = static_cast<uint16_t>(info->channels);
  f.samples_per_sec = static_cast<uint32_t>(info->rate);
  f.block_align = static_cast<uint16_t>(info->channels * b);
  f.avg_bytes_per_sec = f.block_align * f.samples_per_sec;
  f.bits_per_sample = static_cast<uint16_t>(8 * b);
  f.extra_size = 0;
  d->ogg_bytes_per_sample = b;
  d->ogg_holes = 0;
  d->work_size = 4096;
  d->kind = 2;
  return 0;
}

void ReleaseAcmConversion(SoundDecoder* d) {
  SoundFree(d->source_format);
  d->source_format = nullptr;
  if (d->acm != nullptr) acm::AcmStreamClose(d->acm, 0);
  d->acm = nullptr;
  SoundFree(d->source_buffer);
  d->source_buffer = nullptr;
}

int OpenSoundDecoder(const DataStream& stream, SoundDecoder* d) {
  // The record may hold anything: start from a clean one.
  std::memset(static_cast<void*>(d), 0, sizeof(*d));
  d->stream = stream;
  int (*const probes[])(SoundDecoder*) = {OpenDecoderWavePcm, OpenDecoderAcmWave, OpenDecoderOgg, OpenDecoderMp3};
  bool taken = false;
  for (auto probe : probes) {
    SeekTo(d, 0);
    if (probe(d) == 0) {
      taken = true;
      break;
    }
  }
  if (!taken) return -1;
  d->open = 0;
  d->end = 0;
  d->work = static_cast<uint8_t*>(SoundAlloc(d->work_size, 5588));
  if (d->work == nullptr) {
    if (d->kind == 1) ReleaseAcmConversion(d);
    if (d->kind == 2 && d->ogg_open) ov_clear(&d->ogg);
    d->ogg_open = 0;
    return -1;
  }
  d->bytes_left = 0;
  d->read_offset = 0;
  d->position = 0;
  d->open = 1;
  return 0;
}

int ReadSoundDecoder(SoundDecoder* d, void* destination, uint32_t size) {
  if (!d->open) return -1;
  if (d->end || size == 0) return 0;
  auto* out = static_cast<uint8_t*>(destination);
  uint32_t copied = 0;
  while (copied < size) {
    if (d->bytes_left == 0) {
      d->read_offset = 0;
      if (Refill(d) == -1) {
        d->end = 1;
        return static_cast<int>(copied);
      }
    }
    const uint32_t n = std::min(size - copied, d->bytes_left);
    std::memcpy(out + copied, d->work + d->read_offset, n);
    copied += n;
    d->position += n;
    d->bytes_left -= n;
    d->read_offset += n;
  }
  return static_cast<int>(copied);
}

int SeekSoundDecoder(SoundDecoder* d, uint32_t sample) {
  if (!d->open) return 0;
  const uint64_t target = static_cast<uint64_t>(sample) * d->format.block_align;
  const uint64_t distance = target > d->position ? target - d->position : d->position - target;
  // A rewind to the start always happens: a short looping segment must not
  // be left at its end.
  if (distance < 16 && target != 0) return 0;
  if (target == 0 && d->position == 0 && !d->end) return 0;
  switch (d->kind) {
    case 0: {
      const uint64_t clamped = std::min<uint64_t>(target, d->data_size);
      SeekTo(d, d->data_start + static_cast<int64_t>(clamped));
      d->position = target;
      d->bytes_left = 0;
      d->read_offset = 0;
      break;
    }
    case 1: {
      if (target < d->position) {
        ReopenAcm(d);
        SeekTo(d, d->data_start);
        d->bytes_left = 0;
        d->read_offset = 0;
        d->position = 0;
        d->source_held = 0;
      }
      if (!(d->position <= target && target <= d->position + d->bytes_left)) {
        bool reached = true;
        do {
          d->position += d->bytes_left;
          d->bytes_left = 0;
          d->read_offset = 0;
          if (FillDecoderBufferAcm(d) == -1) {
            d->bytes_left = 0;
            reached = false;
            break;
          }
        } while (d->position + d->bytes_left < target);
        if (!reached) break;
      }
      const uint32_t step = static_cast<uint32_t>(target - d->position);
      d->read_offset += step;
      d->bytes_left -= step;
      d->position = target;
      break;
    }
    case 2:
      ov_pcm_seek(&d->ogg, static_cast<ogg_int64_t>(sample));
      d->bytes_left = 0;
      d->read_offset = 0;
      d->position = target;
      break;
    default:
      break;
  }
  d->end = 0;
  return 0;
}

uint32_t GetSoundDecoderPcmSize(SoundDecoder* d) {
  uint64_t size = 0;
  switch (d->kind) {
    case 0:
      size = d->data_size;
      break;
    case 1:
      if (d->total_samples != -1) {
        size = static_cast<uint64_t>(d->total_samples) * d->format.block_align;
      } else {
        uint32_t out = 0;
        if (d->acm != nullptr && acm::AcmStreamSize(d->acm, d->data_size, &out, acm::kAcmSizeSource) == 0) size = out;
      }
      break;
    case 2: {
      // In 64 bits: a hostile granule position must not wrap into a small size.
      const ogg_int64_t total = ov_pcm_total(&d->ogg, -1);
      if (total > 0) size = static_cast<uint64_t>(total) * d->format.channels * d->ogg_bytes_per_sample;
      break;
    }
    default:
      break;
  }
  return static_cast<uint32_t>(std::min<uint64_t>(size, 0xFFFFFFFFu));
}

int GetSoundDecoderFormat(const SoundDecoder* d, WaveFormat* destination) {
  std::memcpy(destination, &d->format, sizeof(WaveFormat));
  return 0;
}

int DecodeSoundToPcm(SoundDecoder* d, WaveFormat* format, void** pcm, uint32_t* size) {
  const uint32_t total = GetSoundDecoderPcmSize(d);
  if (total > kMaxDecodedBytes) return -1;
  auto* block = static_cast<uint8_t*>(SoundAlloc(total, 5781));
  if (block == nullptr) return -1;
  SeekSoundDecoder(d, 0);
  uint32_t got = 0;
  if (d->kind == 0) {
    got = static_cast<uint32_t>(ReadBytes(d, block, total));
  } else {
    const int r = ReadSoundDecoder(d, block, total);
    got = r > 0 ? static_cast<uint32_t>(r) : 0;
  }
  // Fewer bytes than the estimate: the rest is silence, and only what was
  // decoded is handed out.
  if (got < total) std::memset(block + got, 0, total - got);
  std::memcpy(format, &d->format, sizeof(WaveFormat));
  *pcm = block;
  *size = got;
  return 0;
}

int CloseSoundDecoder(SoundDecoder* d) {
  if (!d->open) return -1;
  SoundFree(d->work);
  d->work = nullptr;
  if (d->kind == 1) ReleaseAcmConversion(d);
  if (d->kind == 2 && d->ogg_open) {
    ov_clear(&d->ogg);
    d->ogg_open = 0;
  }
  d->open = 0;
  return 0;
}

int ReadWholeSoundFile(const char* path, void** data, uint32_t* size) {
  void* file = CallFileOpen(path);
  if (file == nullptr) {
    SoundLogFormat("右記のファイルのオープンに失敗しました：%s", path);
    return -1;
  }
  const DataStream stream{GetFileStreamTable(), file};
  const int64_t length = SoundStreamLength(stream);
  if (length > kMaxWholeSoundFileBytes) {
    SoundLogFormat("右記のファイルは音声ファイルとしては大きすぎるため読み込みません：%s", path);
    CallFileClose(file);
    return -1;
  }
  void* block = length >= 0 ? SoundAlloc(static_cast<size_t>(length), 4305) : nullptr;
  if (block == nullptr) {
    SoundLogFormat("右記のファイルのロードに必要なメモリの確保に失敗しました：%s", path);
    CallFileClose(file);
    return -1;
  }
  const size_t got = length > 0 ? stream.ops.read(block, 1, static_cast<size_t>(length), file) : 0;
  CallFileClose(file);
  // Fewer bytes than the file holds is a failed read, not a shorter sound.
  if (static_cast<int64_t>(got) != length) {
    SoundLogFormat("右記のファイルの読み込みに失敗しました：%s", path);
    SoundFree(block);
    return -1;
  }
  *data = block;
  *size = static_cast<uint32_t>(got);
  return 0;
}

int ReadWholeSoundStream(const DataStream& stream, void** data, uint32_t* size) {
  const int64_t length = SoundStreamLength(stream);
  stream.ops.seek(stream.handle, 0, 0);
  void* block = length >= 0 && length <= 0x7FFFFFFF ? SoundAlloc(static_cast<size_t>(length), 4337) : nullptr;
  if (block == nullptr) {
    SoundLogFormat("ストリームの読み込みに必要なメモリの確保に失敗しました");
    return -1;
  }
  const size_t got = length > 0 ? stream.ops.read(block, 1, static_cast<size_t>(length), stream.handle) : 0;
  // A short read of a file stream is a failing disk (the caller says so).
  if (static_cast<int64_t>(got) != length) {
    SoundFree(block);
    return -1;
  }
  *data = block;
  *size = static_cast<uint32_t>(got);
  return 0;
}

int BuildWaveImage(void** image, uint32_t* image_size, const void* format, uint32_t format_size,
                   const void* pcm, uint32_t pcm_size) {
  const uint64_t total = static_cast<uint64_t>(format_size) + pcm_size + 28;
  if (total > 0xFFFFFFFFu) return -1;
  auto* block = static_cast<uint8_t*>(SoundAlloc(static_cast<size_t>(total), 4262));
  if (block == nullptr) return -1;
  std::memcpy(block, "RIFF", 4);
  WriteU32(block + 4, static_cast<uint32_t>(total - 8));
  std::memcpy(block + 8, "WAVE", 4);
  std::memcpy(block + 12, "fmt ", 4);
  WriteU32(block + 16, format_size);
  std::memcpy(block + 20, format, format_size);
  std::memcpy(block + 20 + format_size, "data", 4);
  WriteU32(block + 24 + format_size, pcm_size);
  if (pcm_size > 0) std::memcpy(block + 28 + format_size, pcm, pcm_size);
  *image = block;
  *image_size = static_cast<uint32_t>(total);
  return 0;
}
