// Any bytes as a replay file: the list's header read marks it valid only when
// the game can play its header, and the full read never writes past the
// input words.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "../../support/file_with_bytes.h"
#include "screens/replay_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static uint32_t inputs[kReplayInputWords + 1];
  for (int pass = 0; pass < 2; ++pass) {
    std::FILE* f = FileWithBytes(data, size);
    if (f == nullptr) return 0;
    TextFileReader in(f);
    if (pass == 0) {
      ReplayListEntry entry;
      ReadReplayHeaderFrom(in, &entry);
      if (entry.valid != 0 && entry.valid != 1) std::abort();
      if (entry.valid == 1 && !ReplayHeaderInRange(entry.header)) std::abort();
      if (entry.name[3] != '\0') std::abort();
    } else {
      inputs[kReplayInputWords] = 0xA5A5A5A5u;
      const int r = ReadReplayInputsFrom(in, inputs);
      if (r != 0 && r != -1) std::abort();
      if (inputs[kReplayInputWords] != 0xA5A5A5A5u) std::abort();
    }
  }
  return 0;
}
