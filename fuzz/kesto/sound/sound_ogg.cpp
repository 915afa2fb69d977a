// Ogg Vorbis streams through the decoder's Ogg probe and refill.
#include <cstdint>
#include <cstring>
#include <vector>

#include "sound/sound_decoder.h"
#include "sound/sound_host.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const DataStream stream{GetMemoryStreamTable(), OpenMemoryStream(data, static_cast<uint32_t>(size))};
  SoundDecoder decoder;
  std::memset(static_cast<void*>(&decoder), 0, sizeof(decoder));
  decoder.stream = stream;
  if (OpenDecoderOgg(&decoder) == 0) {
    decoder.work = static_cast<uint8_t*>(SoundAlloc(decoder.work_size, 0));
    decoder.open = 1;
    WaveFormat format{};
    void* pcm = nullptr;
    uint32_t pcm_size = 0;
    if (DecodeSoundToPcm(&decoder, &format, &pcm, &pcm_size) == 0) SoundFree(pcm);
    std::vector<uint8_t> buffer(4096);
    SeekSoundDecoder(&decoder, size > 0 ? data[0] * 100u : 0);
    ReadSoundDecoder(&decoder, buffer.data(), static_cast<uint32_t>(buffer.size()));
    CloseSoundDecoder(&decoder);
  }
  CloseMemoryStream(stream.handle);
  return 0;
}
