#include "sound/mp3_source.h"

#include <algorithm>
#include <cstring>

#include "sound/sound_decoder.h"
#include "sound/sound_host.h"

namespace acm = platform::audio;

namespace {

// kbit/s by [version][layer][index]: MPEG-1, then MPEG-2 low sampling rates.
constexpr uint16_t kBitRates[2][3][15] = {
    {{0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},
     {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},
     {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320}},
    {{0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160}}};
constexpr uint32_t kSampleRates[2][3] = {{44100, 48000, 32000}, {22050, 24000, 16000}};

size_t ReadBytes(SoundDecoder* d, void* buffer, size_t bytes) {
  return d->stream.ops.read(buffer, 1, bytes, d->stream.handle);
}

void PutU16(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}

void PutU32(uint8_t* p, uint32_t v) {
  PutU16(p, v);
  PutU16(p + 2, v >> 16);
}

}  // namespace

int ParseMpegFrameHeader(const uint8_t* b, MpegFrameHeader* header) {
  if (b[0] != 0xFF || (b[1] & 0xF0) != 0xF0) return -2;
  MpegFrameHeader h{};
  h.version = (b[1] & 0x08) ? 0 : 1;
  const int layer = 3 - ((b[1] >> 1) & 3);
  if (layer > 2) return -1;
  h.layer = static_cast<uint8_t>(layer);
  h.bit_rate_index = b[2] >> 4;
  // Free format (index 0) has no length to walk by: refused like index 15.
  if (h.bit_rate_index == 15 || h.bit_rate_index == 0) return -1;
  h.sample_rate_index = (b[2] >> 2) & 3;
  if (h.sample_rate_index == 3) return -1;
  h.padding = (b[2] >> 1) & 1;
  h.channels = (b[3] & 0xC0) == 0xC0 ? 1 : 2;
  h.bit_rate = kBitRates[h.version][h.layer][h.bit_rate_index];
  h.sample_rate = kSampleRates[h.version][h.sample_rate_index];
  if (h.layer == 0) {
    h.frame_length = (12000 * h.bit_rate / h.sample_rate + h.padding) * 4;
    h.samples_per_frame = 384;
  } else if (h.layer == 1 || h.version == 0) {
    h.frame_length = 144000 * h.bit_rate / h.sample_rate + h.padding;
    h.samples_per_frame = 1152;
  } else {
    h.frame_length = 72000 * h.bit_rate / h.sample_rate + h.padding;
    h.samples_per_frame = 576;
  }
  *header = h;
  return 0;
}

int OpenDecoderMp3(SoundDecoder* d) {
  d->source_format = nullptr;
  d->source_buffer = nullptr;
  d->acm = nullptr;
  d->total_samples = 0;
  const int64_t size = SoundStreamLength(d->stream);
  d->stream.ops.seek(d->stream.handle, 0, 0);

  // ID3v2: a short or cut tag leaves the audio at 0.
  int64_t start = 0;
  uint8_t tag[10] = {};
  if (ReadBytes(d, tag, 3) == 3 && std::memcmp(tag, "ID3", 3) == 0 && ReadBytes(d, tag + 3, 7) == 7) {
    start = (((static_cast<int64_t>(tag[6]) * 128 + tag[7]) * 128 + tag[8]) * 128 + tag[9]) + 10;
    if (tag[3] == 4 && (tag[5] & 0x10)) start += 10;
  }
  int64_t scan_end = 0;
  if (size > 128) {
    uint8_t v1[3] = {};
    d->stream.ops.seek(d->stream.handle, size - 128, 0);
    const bool has_v1 = ReadBytes(d, v1, 3) == 3 && std::memcmp(v1, "TAG", 3) == 0;
    scan_end = has_v1 ? size - 128 : size;
  }

  d->stream.ops.seek(d->stream.handle, start, 0);
  int64_t first = -1;
  int64_t data_end = 0;
  for (;;) {
    uint8_t b[4] = {};
    if (ReadBytes(d, b, 1) != 1) break;
    if (b[0] != 0xFF) continue;
    if (ReadBytes(d, b + 1, 1) != 1) break;
    if ((b[1] & 0xF0) != 0xF0) continue;
    if (ReadBytes(d, b + 2, 2) != 2) break;
    MpegFrameHeader h;
    if (ParseMpegFrameHeader(b, &h) < 0) return -1;
    const int64_t at = d->stream.ops.tell(d->stream.handle) - 4;
    const int64_t next = at + h.frame_length;
    // A frame cut short by the end of the stream is not counted: the data
    // must never claim bytes the stream does not hold.
    if (next > size) break;
    if (first < 0) first = at;
    d->total_samples += h.samples_per_frame;
    data_end = next;
    if (next >= scan_end) break;
    d->stream.ops.seek(d->stream.handle, h.frame_length - 4, 1);
  }
  if (first < 0) return -1;

  d->stream.ops.seek(d->stream.handle, first, 0);
  uint8_t b[4] = {};
  MpegFrameHeader h;
  if (ReadBytes(d, b, 4) != 4 || ParseMpegFrameHeader(b, &h) < 0) return -1;

  auto fail = [d] {
    SoundFree(d->source_format);
    SoundFree(d->source_buffer);
    d->source_format = nullptr;
    d->source_buffer = nullptr;
    d->acm = nullptr;
    return -1;
  };
  d->source_format = static_cast<uint8_t*>(SoundAlloc(30, 5051));
  if (d->source_format == nullptr) return fail();
  uint8_t* f = d->source_format;
  std::memset(f, 0, 30);
  PutU16(f + 0, acm::kFormatMpegLayer3);
  PutU16(f + 2, h.channels);
  PutU32(f + 4, h.sample_rate);
  PutU32(f + 8, h.bit_rate * 1000 / 8);
  PutU16(f + 12, 1);
  PutU16(f + 14, 0);
  PutU16(f + 16, 12);
  PutU16(f + 18, 1);
  PutU32(f + 20, h.padding);
  PutU16(f + 24, h.frame_length);
  PutU16(f + 26, 1);
  PutU16(f + 28, 700);

  d->stream.ops.seek(d->stream.handle, first, 0);
  d->data_start = first;
  d->data_size = static_cast<uint32_t>(data_end - first);

  std::memset(&d->format, 0, sizeof(d->format));
  d->format.format_tag = acm::kFormatPcm;
  const auto* source = reinterpret_cast<const WaveFormat*>(f);
  if (acm::AcmFormatSuggest(nullptr, source, &d->format, sizeof(WaveFormat), acm::kAcmSuggestFormatTag) != 0) {
    return fail();
  }
  // Eight seconds of MP3, or the whole run of frames when that is shorter.
  d->source_buffer_size = std::min<uint32_t>((h.bit_rate * 1000 / 8) * 8, std::max<uint32_t>(d->data_size, 4));
  d->source_buffer = static_cast<uint8_t*>(SoundAlloc(d->source_buffer_size, 5097));
  if (d->source_buffer == nullptr) return fail();
  d->source_held = 0;
  if (acm::AcmStreamOpen(&d->acm, nullptr, source, &d->format, nullptr, 0, 0, acm::kAcmOpenNonRealtime) != 0) {
    return fail();
  }
  d->work_size = d->format.avg_bytes_per_sec;
  d->kind = 1;
  return 0;
}
