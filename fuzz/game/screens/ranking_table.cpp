// Any bytes in file/score.dat either reset the ranking or give five sorted,
// in-range records per mode with drawable names.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "../../support/file_with_bytes.h"
#include "screens/ranking_table.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::FILE* f = FileWithBytes(data, size);
  if (f == nullptr) return 0;
  TextFileReader in(f);
  static RankingTable table;
  const RankingReadReport report = ReadRankingFrom(in, table);
  if (report.not_a_number) return 0;
  for (auto& mode : table.records) {
    for (int s = 0; s < kRankedSlots; ++s) {
      const RankingRecord& r = mode[s];
      if (r.score < 0 || r.score > 999999990 || r.fighter < 0 || r.fighter > 4 || r.variant < 0 ||
          r.variant > 1 || r.stage < 1 || r.stage > 7 || r.auto_guard < 0 || r.auto_guard > 1)
        std::abort();
      if (s > 0 && mode[s - 1].score < r.score) std::abort();
      if (r.name[3] != '\0') std::abort();
      for (size_t i = 0; i < std::strlen(r.name); ++i) {
        const char c = r.name[i];
        if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || std::strchr(" !'*,./?_", c))) std::abort();
      }
    }
    for (int s = kRankedSlots; s < kRankingSlots; ++s)
      if (mode[s].score != 0) std::abort();
  }
  return 0;
}
