#include "platform/audio/acm.h"

#include <mpg123.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <vector>

#include "platform/audio/adpcm.h"
#include "platform/audio/mpeg_frame.h"

namespace platform::audio {

namespace {

int g_live_streams = 0;

enum class Codec { kNone, kIma, kMs, kALaw, kMuLaw, kMpeg };

struct CodecSetup {
  Codec codec = Codec::kNone;
  uint32_t samples_per_block = 0;
  std::vector<int16_t> coefficients;  // Microsoft ADPCM pairs
};

uint16_t ReadU16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

// What a source format needs, or kNone when it is refused.
CodecSetup Inspect(const WaveFormat* source) {
  CodecSetup setup;
  if (source == nullptr || source->samples_per_sec == 0 || source->samples_per_sec > 384000 ||
      source->channels == 0) {
    return setup;
  }
  const uint8_t* extra = reinterpret_cast<const uint8_t*>(source) + sizeof(WaveFormat);
  const uint32_t channels = source->channels;
  switch (source->format_tag) {
    case kFormatImaAdpcm:
      if (channels > 2 || source->bits_per_sample != 4 || source->extra_size < 2) return setup;
      if (source->block_align < 4 * channels) return setup;
      setup.samples_per_block = (source->block_align - 4 * channels) * 8 / (4 * channels) + 1;
      setup.codec = Codec::kIma;
      return setup;
    case kFormatMsAdpcm: {
      if (channels > 2 || source->bits_per_sample != 4 || source->extra_size < 4) return setup;
      if (source->block_align < 7 * channels) return setup;
      const uint32_t count = ReadU16(extra + 2);
      if (count < 7 || count > 256 || source->extra_size < 4 + 4 * count) return setup;
      for (uint32_t i = 0; i < 2 * count; ++i) {
        setup.coefficients.push_back(static_cast<int16_t>(ReadU16(extra + 4 + 2 * i)));
      }
      // Computed from the block size, never taken from the header.
      setup.samples_per_block = (source->block_align - 7 * channels) * 2 / channels + 2;
      setup.codec = Codec::kMs;
      return setup;
    }
    case kFormatALaw:
    case kFormatMuLaw:
      if (source->bits_per_sample != 8 || channels > 8) return setup;
      setup.codec = source->format_tag == kFormatALaw ? Codec::kALaw : Codec::kMuLaw;
      return setup;
    case kFormatMpegLayer3:
      if (channels > 2) return setup;
      setup.codec = Codec::kMpeg;
      return setup;
    default:
      return setup;
  }
}

WaveFormat PcmFor(const WaveFormat& source) {
  WaveFormat out{};
  out.format_tag = kFormatPcm;
  out.channels = source.channels;
  out.samples_per_sec = source.samples_per_sec;
  out.bits_per_sample = 16;
  out.block_align = static_cast<uint16_t>(source.channels * 2);
  out.avg_bytes_per_sec = source.samples_per_sec * out.block_align;
  return out;
}

void InitMpg123() {
  static std::once_flag once;
  std::call_once(once, [] { mpg123_init(); });
}

}  // namespace

struct AcmStream {
  WaveFormat source{};
  WaveFormat dest{};
  CodecSetup setup;
  mpg123_handle* mpeg = nullptr;
  uint64_t frames_fed = 0;
  uint64_t samples_fed = 0;     // per channel, of the frames fed
  uint64_t samples_out = 0;     // per channel, handed out
};

Result AcmFormatSuggest(void*, const WaveFormat* source, WaveFormat* dest, uint32_t dest_size,
                        uint32_t) {
  if (dest == nullptr || dest_size < 16) return kAcmErrInvalidParam;
  if (Inspect(source).codec == Codec::kNone) return kAcmErrNotPossible;
  const WaveFormat pcm = PcmFor(*source);
  std::memcpy(dest, &pcm, std::min<uint32_t>(dest_size, sizeof(WaveFormat)));
  return kOk;
}

Result AcmStreamOpen(AcmStream** out, void*, const WaveFormat* source, const WaveFormat* dest, void*,
                     uintptr_t, uintptr_t, uint32_t) {
  if (out == nullptr || dest == nullptr) return kAcmErrInvalidParam;
  *out = nullptr;
  CodecSetup setup = Inspect(source);
  if (setup.codec == Codec::kNone) return kAcmErrNotPossible;
  const WaveFormat pcm = PcmFor(*source);
  if (std::memcmp(&pcm, dest, 16) != 0) return kAcmErrNotPossible;
  auto* stream = new AcmStream();
  stream->source = *source;
  stream->dest = pcm;
  stream->setup = std::move(setup);
  if (stream->setup.codec == Codec::kMpeg) {
    InitMpg123();
    int error = 0;
    stream->mpeg = mpg123_new(nullptr, &error);
    if (stream->mpeg == nullptr) {
      delete stream;
      return kAcmErrNotPossible;
    }
    mpg123_param(stream->mpeg, MPG123_ADD_FLAGS, MPG123_QUIET, 0);
    mpg123_param(stream->mpeg, MPG123_REMOVE_FLAGS, MPG123_GAPLESS, 0);
    mpg123_format_none(stream->mpeg);
    mpg123_format(stream->mpeg, static_cast<long>(pcm.samples_per_sec), pcm.channels, MPG123_ENC_SIGNED_16);
    if (mpg123_open_feed(stream->mpeg) != MPG123_OK) {
      mpg123_delete(stream->mpeg);
      delete stream;
      return kAcmErrNotPossible;
    }
  }
  ++g_live_streams;
  *out = stream;
  return kOk;
}

Result AcmStreamClose(AcmStream* stream, uint32_t) {
  if (stream == nullptr) return kAcmErrInvalidParam;
  if (stream->mpeg != nullptr) mpg123_delete(stream->mpeg);
  delete stream;
  --g_live_streams;
  return kOk;
}

int LiveAcmStreamCount() { return g_live_streams; }

Result AcmStreamSize(AcmStream* stream, uint32_t input, uint32_t* output, uint32_t) {
  if (stream == nullptr || output == nullptr) return kAcmErrInvalidParam;
  const uint64_t align = stream->dest.block_align;
  uint64_t bytes = 0;
  switch (stream->setup.codec) {
    case Codec::kIma:
    case Codec::kMs:
      bytes = static_cast<uint64_t>(input / stream->source.block_align) * stream->setup.samples_per_block * align;
      break;
    case Codec::kALaw:
    case Codec::kMuLaw:
      bytes = static_cast<uint64_t>(input) * 2;
      break;
    case Codec::kMpeg: {
      // An upper bound: the duration at the nominal bit rate, in whole frames.
      const uint64_t byte_rate = stream->source.avg_bytes_per_sec;
      if (byte_rate == 0) return kAcmErrNotPossible;
      const uint64_t samples = (static_cast<uint64_t>(input) * stream->source.samples_per_sec + byte_rate - 1) / byte_rate;
      const uint64_t frame = 1152;
      bytes = (samples + frame - 1) / frame * frame * align;
      break;
    }
    case Codec::kNone:
      return kAcmErrNotPossible;
  }
  if (bytes > 0xFFFFFFFFu) return kAcmErrNotPossible;
  *output = static_cast<uint32_t>(bytes);
  return kOk;
}

Result AcmStreamPrepareHeader(AcmStream* stream, AcmStreamHeader* header, uint32_t) {
  if (stream == nullptr || header == nullptr || header->size != 84 || header->source == nullptr ||
      header->dest == nullptr) {
    return kAcmErrInvalidParam;
  }
  header->status |= 0x20000;
  return kOk;
}

Result AcmStreamUnprepareHeader(AcmStream* stream, AcmStreamHeader* header, uint32_t) {
  if (stream == nullptr || header == nullptr || (header->status & 0x20000) == 0) return kAcmErrInvalidParam;
  header->status &= ~0x20000u;
  return kOk;
}

namespace {

void ConvertAdpcm(AcmStream* s, AcmStreamHeader* h) {
  const uint32_t channels = s->source.channels;
  const uint32_t in_block = s->source.block_align;
  const uint32_t out_block = s->setup.samples_per_block * channels * 2;
  const uint32_t blocks = std::min(h->source_length / in_block, h->dest_length / out_block);
  for (uint32_t i = 0; i < blocks; ++i) {
    int16_t* out = reinterpret_cast<int16_t*>(h->dest + static_cast<size_t>(i) * out_block);
    const uint8_t* in = h->source + static_cast<size_t>(i) * in_block;
    if (s->setup.codec == Codec::kIma) {
      DecodeImaAdpcmBlock(in, in_block, channels, s->setup.samples_per_block, out);
    } else {
      DecodeMsAdpcmBlock(in, in_block, channels, s->setup.samples_per_block, s->setup.coefficients, out);
    }
  }
  h->source_used = blocks * in_block;
  h->dest_used = blocks * out_block;
}

void ConvertG711(AcmStream* s, AcmStreamHeader* h) {
  const uint32_t channels = s->source.channels;
  const uint32_t frames = std::min(h->source_length / channels, h->dest_length / (2 * channels));
  const uint32_t count = frames * channels;
  int16_t* out = reinterpret_cast<int16_t*>(h->dest);
  for (uint32_t i = 0; i < count; ++i) {
    out[i] = s->setup.codec == Codec::kALaw ? DecodeALaw(h->source[i]) : DecodeMuLaw(h->source[i]);
  }
  h->source_used = count;
  h->dest_used = count * 2;
}

// Moves decoded samples out of mpg123 into the destination while room lasts.
void DrainMpeg(AcmStream* s, AcmStreamHeader* h) {
  while (h->dest_used < h->dest_length) {
    size_t done = 0;
    const int r = mpg123_read(s->mpeg, h->dest + h->dest_used, h->dest_length - h->dest_used, &done);
    h->dest_used += static_cast<uint32_t>(done);
    s->samples_out += done / s->dest.block_align;
    if (r != MPG123_OK && r != MPG123_NEW_FORMAT) break;
    if (done == 0 && r != MPG123_NEW_FORMAT) break;
  }
}

void ConvertMpeg(AcmStream* s, AcmStreamHeader* h) {
  h->source_used = 0;
  h->dest_used = 0;
  DrainMpeg(s, h);
  const uint32_t frame_out = 1152u * s->dest.block_align;
  uint32_t offset = 0;
  int64_t last_frame = -1;
  while (offset + 4 <= h->source_length) {
    MpegFrame frame;
    if (!ParseMpegFrame(h->source + offset, &frame)) {
      ++offset;  // junk between frames: step over it
      continue;
    }
    if (frame.length > h->source_length - offset) break;
    // Room for what this frame and one held back frame can give.
    if (h->dest_length - h->dest_used < 2 * frame_out) break;
    mpg123_feed(s->mpeg, h->source + offset, frame.length);
    last_frame = static_cast<int64_t>(offset);
    offset += frame.length;
    ++s->frames_fed;
    s->samples_fed += frame.samples;
    DrainMpeg(s, h);
  }
  // mpg123 keeps a lone first frame until it sees the next header; at the end
  // of the data a copy of that frame's header lets it go.
  if (offset == h->source_length && s->frames_fed == 1 && s->samples_out < s->samples_fed && last_frame >= 0) {
    mpg123_feed(s->mpeg, h->source + last_frame, 4);
    DrainMpeg(s, h);
  }
  h->source_used = offset;
}

}  // namespace

Result AcmStreamConvert(AcmStream* stream, AcmStreamHeader* header, uint32_t) {
  if (stream == nullptr || header == nullptr || (header->status & 0x20000) == 0) return kAcmErrInvalidParam;
  header->source_used = 0;
  header->dest_used = 0;
  switch (stream->setup.codec) {
    case Codec::kIma:
    case Codec::kMs:
      ConvertAdpcm(stream, header);
      break;
    case Codec::kALaw:
    case Codec::kMuLaw:
      ConvertG711(stream, header);
      break;
    case Codec::kMpeg:
      ConvertMpeg(stream, header);
      break;
    case Codec::kNone:
      return kAcmErrNotPossible;
  }
  return kOk;
}

}  // namespace platform::audio
