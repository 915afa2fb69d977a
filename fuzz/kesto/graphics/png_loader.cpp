// The PNG loader alone over arbitrary bytes.
#include "loader_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return FuzzOneLoader(LoadPngImage, data, size);
}
