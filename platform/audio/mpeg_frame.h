// MPEG audio frame headers as the codec stand-ins see them.
#pragma once

#include <cstdint>

namespace platform::audio {

struct MpegFrame {
  uint32_t length = 0;             // bytes including the header
  uint32_t samples = 0;            // per channel
  uint32_t sample_rate = 0;
  uint32_t channels = 0;
  uint32_t bit_rate = 0;           // kbit/s
};

// False for bytes that are no header, or a header this stand-in does not
// decode: reserved fields, and free format (no length to walk by).
bool ParseMpegFrame(const uint8_t* bytes, MpegFrame* frame);

}  // namespace platform::audio
