// assetgen RUN_DIR: writes the stand-in pictures, sounds, music and
// screen.txt into RUN_DIR, leaving files it did not write alone.
#include <cstdio>
#include <cstring>
#include <fstream>

#include "art.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s RUN_DIR\n", argv[0]);
    return 2;
  }
  if (argc == 4 && std::strcmp(argv[1], "--sheet") == 0) {
    const SheetLayout* sheet = FindSheet(argv[2]);
    if (!sheet) return 1;
    auto png = EncodePng(PaintSheet(*sheet));
    std::ofstream(argv[3], std::ios::binary).write(reinterpret_cast<const char*>(png.data()), png.size());
    return 0;
  }
  return 0;
}
