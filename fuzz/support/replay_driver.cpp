// Runs a fuzz target over saved inputs: each argument is a file or a folder
// of files. Used where libFuzzer is not available, so that every input a
// fuzzer once found keeps being checked.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

// A saved input that cannot be read fails the run instead of being fed in
// short (or throwing out of the read).
bool RunFile(const std::filesystem::path& path) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (f == nullptr) {
    std::fprintf(stderr, "cannot open %s\n", path.c_str());
    return false;
  }
  std::vector<uint8_t> bytes;
  uint8_t chunk[65536];
  size_t n;
  while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0)
    bytes.insert(bytes.end(), chunk, chunk + n);
  const bool failed = std::ferror(f) != 0;
  std::fclose(f);
  if (failed) {
    std::fprintf(stderr, "cannot read %s\n", path.c_str());
    return false;
  }
  LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  int count = 0;
  bool ok = true;
  for (int i = 1; i < argc; ++i) {
    const std::filesystem::path arg(argv[i]);
    if (std::filesystem::is_directory(arg)) {
      for (const auto& entry : std::filesystem::recursive_directory_iterator(arg)) {
        if (entry.is_regular_file()) {
          ok = RunFile(entry.path()) && ok;
          ++count;
        }
      }
    } else {
      ok = RunFile(arg) && ok;
      ++count;
    }
  }
  std::printf("replayed %d inputs\n", count);
  return ok ? 0 : 1;
}
