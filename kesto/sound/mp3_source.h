// MPEG audio: the four-byte frame header, and the probe that takes an MP3
// stream for conversion to PCM.
#pragma once

#include <cstdint>

struct MpegFrameHeader {
  uint8_t layer;  // 0 Layer I, 1 Layer II, 2 Layer III
  uint8_t version;  // 0 MPEG-1, 1 MPEG-2 low sampling rates
  uint8_t bit_rate_index;
  uint8_t sample_rate_index;
  uint8_t padding;
  uint8_t channels;
  uint32_t sample_rate;
  uint32_t bit_rate;  // kbit/s
  uint32_t frame_length;
  uint32_t samples_per_frame;
};

// 0; -1 for an invalid or free-format header; -2 without sync.
int ParseMpegFrameHeader(const uint8_t* bytes, MpegFrameHeader* header);
