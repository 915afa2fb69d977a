// assetgen RUN_DIR: writes the stand-in pictures, sounds, music and
// screen.txt into RUN_DIR, leaving files it did not write alone.
// assetgen --contact-sheet OUT.png: one overview picture of every sheet
// with its cell grid, for reviewing the art.
// assetgen --measure-mix FILE...: clipping, offset, loudness and stereo
// width of raw 16-bit stereo captures of the game's mix (44.1 kHz).
#include <time.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "contact_sheet.h"
#include "file_read.h"
#include "mix_meter.h"
#include "run_dir.h"
#include "version.h"

int main(int argc, char** argv) {
  bool quiet = false;
  int arg = 1;
  if (arg < argc && std::strcmp(argv[arg], "--quiet") == 0) {
    quiet = true;
    ++arg;
  }
  if (argc - arg == 2 && std::strcmp(argv[arg], "--contact-sheet") == 0) {
    std::vector<uint8_t> png = EncodeContactSheet();
    std::ofstream out(argv[arg + 1], std::ios::binary);
    out.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
    return out && !png.empty() ? 0 : 1;
  }
  if (argc - arg >= 2 && std::strcmp(argv[arg], "--measure-mix") == 0) {
    int status = 0;
    for (int i = arg + 1; i < argc; ++i) {
      // Captures are minutes of 44.1 kHz stereo at most.
      constexpr uintmax_t kLargestCapture = uintmax_t{1} << 30;
      std::string bytes, error;
      if (!ReadWholeRegularFile(argv[i], kLargestCapture, &bytes, &error)) {
        std::fprintf(stderr, "assetgen: cannot read %s: %s\n", argv[i], error.c_str());
        status = 1;
        continue;
      }
      std::vector<int16_t> pcm(bytes.size() / 2);
      for (size_t j = 0; j < pcm.size(); ++j) {
        pcm[j] = static_cast<int16_t>(static_cast<uint8_t>(bytes[2 * j]) |
                                      (static_cast<uint8_t>(bytes[2 * j + 1]) << 8));
      }
      std::printf("%s: %s\n", argv[i], DescribeMix(MeasureMix(pcm)).c_str());
    }
    return status;
  }
  if (argc - arg != 1) {
    std::fprintf(stderr, "usage: %s [--quiet] RUN_DIR\n       %s --contact-sheet OUT.png\n",
                 argv[0], argv[0]);
    return 2;
  }
  timespec start{}, end{};
  clock_gettime(CLOCK_MONOTONIC, &start);
  GenerateReport report = GenerateRunDirectory(argv[arg], AllOutputs(), GeneratorStamp(),
                                               [quiet](const std::string& line) {
                                                 if (!quiet || line.rfind("wrote ", 0) != 0)
                                                   std::printf("assetgen: %s\n", line.c_str());
                                               });
  clock_gettime(CLOCK_MONOTONIC, &end);
  double seconds = static_cast<double>(end.tv_sec - start.tv_sec) +
                   static_cast<double>(end.tv_nsec - start.tv_nsec) / 1e9;
  if (report.written > 0 || report.failed > 0) {
    std::printf("assetgen: %d written, %d up to date, %d kept, %d failed in %.1f s\n",
                report.written, report.up_to_date, report.kept, report.failed, seconds);
  }
  return report.failed == 0 ? 0 : 1;
}
