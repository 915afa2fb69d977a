// The compression-manager stand-in: suggests a PCM format for a coded one and
// converts whole blocks. IMA ADPCM, Microsoft ADPCM, A-law and mu-law are
// decoded here; MPEG audio through libmpg123.
#pragma once

#include <cstdint>

#include "platform/audio/audio_types.h"

namespace platform::audio {

constexpr uint32_t kAcmSuggestFormatTag = 0x10000;
constexpr uint32_t kAcmOpenNonRealtime = 4;
constexpr uint32_t kAcmConvertBlockAlign = 4;
constexpr uint32_t kAcmSizeSource = 0;
constexpr Result kAcmErrNotPossible = 512;
constexpr Result kAcmErrInvalidParam = 11;

struct AcmStream;

struct AcmStreamHeader {
  uint32_t size = 84;
  uint32_t status = 0;
  uintptr_t user = 0;
  uint8_t* source = nullptr;
  uint32_t source_length = 0;
  uint32_t source_used = 0;
  uintptr_t source_user = 0;
  uint8_t* dest = nullptr;
  uint32_t dest_length = 0;
  uint32_t dest_used = 0;
};

// The source format is a wave format followed by its extra_size bytes; the
// caller guarantees they are readable. 0 or a non-zero error.
Result AcmFormatSuggest(void* driver, const WaveFormat* source, WaveFormat* dest, uint32_t dest_size,
                        uint32_t flags);
Result AcmStreamOpen(AcmStream** out, void* driver, const WaveFormat* source, const WaveFormat* dest,
                     void* filter, uintptr_t callback, uintptr_t instance, uint32_t flags);
Result AcmStreamClose(AcmStream* stream, uint32_t flags);
Result AcmStreamSize(AcmStream* stream, uint32_t input, uint32_t* output, uint32_t flags);
Result AcmStreamPrepareHeader(AcmStream* stream, AcmStreamHeader* header, uint32_t flags);
Result AcmStreamUnprepareHeader(AcmStream* stream, AcmStreamHeader* header, uint32_t flags);
// Converts only whole source blocks (whole MPEG frames) whose output fits.
Result AcmStreamConvert(AcmStream* stream, AcmStreamHeader* header, uint32_t flags);

// Open conversion streams, so tests can check that none leaks.
int LiveAcmStreamCount();

}  // namespace platform::audio
