// Ogg Vorbis music through libvorbisfile, which ends a stream exactly where
// its last granule position says (FFmpeg 5.1's Ogg demuxer trims the end of
// many streams by a block too much or not at all, so a loop would lose or
// gain samples at every turn).
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/media/audio_decoder.h"

namespace platform::media {

// A decoder for bytes that hold an Ogg Vorbis stream, converted to
// `output_rate`; null when they hold none.
std::unique_ptr<PcmDecoder> OpenVorbisDecoder(std::shared_ptr<const std::vector<uint8_t>> bytes,
                                              int output_rate);

}  // namespace platform::media
