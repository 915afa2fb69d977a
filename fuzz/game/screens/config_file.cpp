// Any bytes in file/config.dat must give a configuration the game can use:
// every button a single input bit, switches 0/1, volume 0-100, colour 0-4.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "../../support/file_with_bytes.h"
#include "screens/config_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::FILE* f = FileWithBytes(data, size);
  if (f == nullptr) return 0;
  TextFileReader in(f);
  GameConfig c{};
  const int damaged = ReadConfigFrom(in, &c);
  auto mask = [](int32_t v) { return v >= 16 && v <= 2048 && (v & (v - 1)) == 0; };
  auto flag = [](int32_t v) { return v == 0 || v == 1; };
  if (damaged < 0 || damaged > 11) std::abort();
  if (!mask(c.shot_mask) || !mask(c.bomb_mask) || !mask(c.full_auto_mask) || !mask(c.pause_mask)) std::abort();
  if (!flag(c.auto_guard) || !flag(c.bgm) || !flag(c.enemy_shot_se) || !flag(c.beat_se)) std::abort();
  if (c.se_volume < 0 || c.se_volume > 100 || c.bullet_color < 0 || c.bullet_color > 4) std::abort();
  return 0;
}
