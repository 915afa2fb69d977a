// The asset generator's manifest parser over arbitrary text: it must never
// crash, and every entry it accepts names a path.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "run_dir.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  for (const auto& [path, entry] : ParseManifest(text)) {
    if (path.empty() || entry.stamp.empty()) std::abort();
  }
  return 0;
}
