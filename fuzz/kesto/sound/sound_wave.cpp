// Sound files of any kind through the decoder: opened by content, decoded
// whole, then read piecewise with seeks taken from the input's last bytes.
#include <cstdint>
#include <cstring>
#include <vector>

#include "sound/sound_decoder.h"
#include "sound/sound_host.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const DataStream stream{GetMemoryStreamTable(), OpenMemoryStream(data, static_cast<uint32_t>(size))};
  SoundDecoder decoder;
  if (OpenSoundDecoder(stream, &decoder) == 0) {
    WaveFormat format{};
    void* pcm = nullptr;
    uint32_t pcm_size = 0;
    if (DecodeSoundToPcm(&decoder, &format, &pcm, &pcm_size) == 0) SoundFree(pcm);
    std::vector<uint8_t> buffer(4096);
    for (size_t i = 0; i < 8 && i < size; ++i) {
      const uint8_t b = data[size - 1 - i];
      SeekSoundDecoder(&decoder, static_cast<uint32_t>(b) * 37u);
      ReadSoundDecoder(&decoder, buffer.data(), 1u + b * 13u);
    }
    CloseSoundDecoder(&decoder);
  }
  CloseMemoryStream(stream.handle);
  return 0;
}
