#include "platform/audio/mpeg_frame.h"

namespace platform::audio {

namespace {

// kbit/s by [MPEG-1 ? 0 : 1][layer 0..2][index]
constexpr uint16_t kBitRates[2][3][15] = {
    {{0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},
     {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},
     {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320}},
    {{0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160}}};
constexpr uint32_t kRates[2][3] = {{44100, 48000, 32000}, {22050, 24000, 16000}};

}  // namespace

bool ParseMpegFrame(const uint8_t* b, MpegFrame* frame) {
  if (b[0] != 0xFF || (b[1] & 0xF0) != 0xF0) return false;
  const int version = (b[1] & 0x08) ? 0 : 1;
  const int layer = 3 - ((b[1] >> 1) & 3);
  const int bit_index = b[2] >> 4;
  const int rate_index = (b[2] >> 2) & 3;
  if (layer > 2 || bit_index == 15 || bit_index == 0 || rate_index == 3) return false;
  const uint32_t padding = (b[2] >> 1) & 1;
  frame->bit_rate = kBitRates[version][layer][bit_index];
  frame->sample_rate = kRates[version][rate_index];
  frame->channels = (b[3] & 0xC0) == 0xC0 ? 1 : 2;
  if (layer == 0) {
    frame->length = (12000 * frame->bit_rate / frame->sample_rate + padding) * 4;
    frame->samples = 384;
  } else if (layer == 1 || version == 0) {
    frame->length = 144000 * frame->bit_rate / frame->sample_rate + padding;
    frame->samples = 1152;
  } else {
    frame->length = 72000 * frame->bit_rate / frame->sample_rate + padding;
    frame->samples = 576;
  }
  return frame->length >= 4;
}

}  // namespace platform::audio
