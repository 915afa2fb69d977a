#include "file_read.h"

#include <fstream>
#include <system_error>

namespace fs = std::filesystem;

bool ReadWholeRegularFile(const fs::path& file, uintmax_t limit, std::string* bytes,
                          std::string* error) {
  bytes->clear();
  std::error_code ec;
  const fs::file_status status = fs::status(file, ec);
  if (ec) {
    *error = ec.message();
    return false;
  }
  if (!fs::is_regular_file(status)) {
    *error = fs::is_directory(status) ? "is a folder" : "is not a regular file";
    return false;
  }
  const uintmax_t size = fs::file_size(file, ec);
  if (ec) {
    *error = ec.message();
    return false;
  }
  if (size > limit) {
    *error = "is larger than " + std::to_string(limit) + " bytes";
    return false;
  }
  std::ifstream in(file, std::ios::binary);
  if (!in) {
    *error = "cannot be opened";
    return false;
  }
  // read() reports a failing read as badbit and the end as eofbit; the
  // stream iterators would throw on the first.
  char block[1 << 16];
  while (in.read(block, sizeof block) || in.gcount() > 0) {
    bytes->append(block, static_cast<size_t>(in.gcount()));
    if (bytes->size() > limit) {
      *error = "grew past " + std::to_string(limit) + " bytes while read";
      return false;
    }
    if (in.eof()) break;
  }
  if (in.bad()) {
    *error = "read failed";
    return false;
  }
  return true;
}
