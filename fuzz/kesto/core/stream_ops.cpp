// Drives file and memory streams with a script of reads and seeks taken from
// the input, over data taken from the input, and checks that neither kind
// ever delivers more than was asked for or leaves its data.
//
// Input: [script length n][n script bytes, 4 per operation][stream data].
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/data_stream.h"
#include "core/text_helpers.h"
#include "core/tracked_memory.h"

namespace {

void Check(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "stream_ops: %s\n", what);
    std::abort();
  }
}

void RunScript(const DataStream& s, const uint8_t* script, size_t n, uint32_t size, bool memory) {
  std::vector<uint8_t> dest(256 + 16);
  for (size_t i = 0; i + 4 <= n; i += 4) {
    const uint8_t op = script[i];
    if (op & 1) {
      const int32_t offset = static_cast<int8_t>(script[i + 1]) * (1 + script[i + 2]);
      const int origin = script[i + 3] % 4;  // 3 is not an origin
      const int r = s.ops.seek(s.handle, offset, origin);
      Check(r == 0 || r == -1, "seek result");
      if (origin == 3) Check(r == -1, "unknown origin accepted");
    } else {
      const size_t element = script[i + 1] % 17;
      const size_t count = script[i + 2] % 17;
      std::memset(dest.data(), 0xEE, dest.size());
      const size_t got = s.ops.read(dest.data(), element, count, s.handle);
      Check(got <= count || (memory && got == 1), "read more elements than asked");
      // Everything past what a read may deliver stays untouched.
      const size_t limit = element * count;
      for (size_t k = limit; k < dest.size(); ++k) Check(dest[k] == 0xEE, "wrote past the request");
    }
    const int32_t pos = s.ops.tell(s.handle);
    if (memory) Check(pos >= 0 && static_cast<uint32_t>(pos) <= size, "memory position left the data");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  size_t script_len = data[0];
  if (script_len > size - 1) script_len = size - 1;
  const uint8_t* script = data + 1;
  const uint8_t* body = script + script_len;
  const uint32_t body_len = static_cast<uint32_t>(size - 1 - script_len);

  DataStream m = OpenMemoryDataStream(body, body_len);
  RunScript(m, script, script_len, body_len, true);
  m.ops.close(m.handle);

  char path[] = "/tmp/kesto-fuzz-XXXXXX";
  const int fd = mkstemp(path);
  if (fd >= 0) {
    if (write(fd, body, body_len) == static_cast<ssize_t>(body_len)) {
      DataStream f = OpenFileDataStream(path);
      if (f.handle) {
        RunScript(f, script, script_len, body_len, false);
        f.ops.close(f.handle);
      }
    }
    close(fd);
    unlink(path);
  }

  // The same bytes as text for the number reader.
  std::string text(reinterpret_cast<const char*>(data), size);
  TextToInt(text.c_str());
  ReadNumberAfterBlank(text.c_str());
  Check(GetTrackedMemoryState().count == 0, "stream record leaked");
  return 0;
}
