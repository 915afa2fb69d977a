// Any bytes in file/data.dat are either refused or give progress within its
// ranges; a refusal names the line.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "../../support/file_with_bytes.h"
#include "screens/save_data_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::FILE* f = FileWithBytes(data, size);
  if (f == nullptr) return 0;
  TextFileReader in(f);
  SaveData d{};
  int bad_line = 0;
  if (!ReadProgressFrom(in, &d, &bad_line)) {
    if (bad_line < 1 || bad_line > 47) std::abort();
    return 0;
  }
  if (d.key < 12 || d.key > 111 || d.credits < 0 || d.credits > 9999) std::abort();
  if (d.secret_stage_flag < 0 || d.secret_stage_flag > 1) std::abort();
  for (int m = 0; m < kProgressModes; ++m) {
    if (d.StageReachedTable[m] < 0 || d.StageReachedTable[m] > 7) std::abort();
    for (int32_t mark : d.ClearMarkTable[m])
      if (mark < 0 || mark > 2) std::abort();
  }
  return 0;
}
