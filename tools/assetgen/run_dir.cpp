#include "run_dir.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cinttypes>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "art.h"
#include "music.h"
#include "sound_effects.h"
#include "synth.h"

namespace fs = std::filesystem;

uint64_t ContentHash(const std::vector<uint8_t>& bytes) {
  uint64_t h = 1469598103934665603ull;
  for (uint8_t b : bytes) h = (h ^ b) * 1099511628211ull;
  return h;
}

std::vector<OutputFile> AllOutputs() {
  std::vector<OutputFile> outputs;
  for (const SheetLayout* sheet : AllSheets()) {
    outputs.push_back({sheet->path, [sheet] { return EncodePng(PaintSheet(*sheet)); }});
  }
  for (const SoundEffectSpec& spec : SoundEffects()) {
    const SoundEffectSpec* s = &spec;
    outputs.push_back({spec.path, [s] { return EncodeWav(SynthesizeEffect(*s), kEffectRate); }});
  }
  for (const MusicSpec& spec : MusicTracks()) {
    const MusicSpec* s = &spec;
    outputs.push_back({spec.path, [s] { return EncodeMp3(RenderMusic(*s)); }});
  }
  // A window, with frame pacing.
  outputs.push_back({"screen.txt", [] {
                       const std::string text = "1\n1\n";
                       return std::vector<uint8_t>(text.begin(), text.end());
                     }});
  return outputs;
}

namespace {

struct Entry {
  uint64_t hash;
  uint64_t size;
};

struct Manifest {
  std::string stamp;
  std::map<std::string, Entry> files;
};

// Lines: "assetgen <stamp>", then "<hash hex> <size> <path>" (the path
// last, since music paths hold spaces). Damaged lines are ignored, which
// only makes the generator more careful: an unlisted file is kept.
Manifest ReadManifest(const fs::path& file) {
  Manifest m;
  std::ifstream in(file);
  std::string line;
  if (!std::getline(in, line) || line.rfind("assetgen ", 0) != 0) return m;
  m.stamp = line.substr(9);
  while (std::getline(in, line)) {
    uint64_t hash = 0, size = 0;
    int consumed = 0;
    if (std::sscanf(line.c_str(), "%16" SCNx64 " %" SCNu64 " %n", &hash, &size, &consumed) == 2 &&
        consumed > 0 && static_cast<size_t>(consumed) < line.size()) {
      m.files[line.substr(consumed)] = {hash, size};
    }
  }
  return m;
}

bool WriteAtomically(const fs::path& target, const std::vector<uint8_t>& bytes) {
  std::error_code ec;
  fs::create_directories(target.parent_path(), ec);
  fs::path temp = target;
  temp += ".assetgen-tmp";
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) return false;
  }
  fs::rename(temp, target, ec);
  if (ec) {
    fs::remove(temp, ec);
    return false;
  }
  return true;
}

bool ReadFile(const fs::path& file, std::vector<uint8_t>* out) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return false;
  out->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return true;
}

// Serialises generators sharing one run directory (parallel test runs).
class DirectoryLock {
 public:
  explicit DirectoryLock(const fs::path& dir) {
    fd_ = ::open((dir / ".assetgen.lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd_ >= 0) ::flock(fd_, LOCK_EX);
  }
  ~DirectoryLock() {
    if (fd_ >= 0) {
      ::flock(fd_, LOCK_UN);
      ::close(fd_);
    }
  }
  DirectoryLock(const DirectoryLock&) = delete;
  DirectoryLock& operator=(const DirectoryLock&) = delete;

 private:
  int fd_ = -1;
};

}  // namespace

GenerateReport GenerateRunDirectory(const std::string& run_dir, const std::vector<OutputFile>& outputs,
                                    const std::string& stamp,
                                    const std::function<void(const std::string&)>& log) {
  GenerateReport report;
  const fs::path root(run_dir);
  std::error_code ec;
  fs::create_directories(root, ec);
  DirectoryLock lock(root);
  const fs::path manifest_file = root / kManifestName;
  Manifest old = ReadManifest(manifest_file);
  Manifest now;
  now.stamp = stamp;
  auto say = [&](const std::string& text) {
    if (log) log(text);
  };
  for (const OutputFile& output : outputs) {
    const fs::path target = root / output.path;
    auto listed = old.files.find(output.path);
    if (fs::exists(target, ec)) {
      std::vector<uint8_t> current;
      bool ours = false;
      if (listed != old.files.end() && ReadFile(target, &current)) {
        ours = current.size() == listed->second.size && ContentHash(current) == listed->second.hash;
      }
      if (!ours) {
        say("keeping " + output.path + ": not written by the generator");
        ++report.kept;
        continue;
      }
      if (old.stamp == stamp) {
        now.files[output.path] = listed->second;
        ++report.up_to_date;
        continue;
      }
    }
    std::vector<uint8_t> bytes = output.make();
    if (bytes.empty() || !WriteAtomically(target, bytes)) {
      say("failed to write " + output.path);
      ++report.failed;
      continue;
    }
    now.files[output.path] = {ContentHash(bytes), bytes.size()};
    ++report.written;
    say("wrote " + output.path);
  }
  std::ostringstream text;
  text << "assetgen " << now.stamp << "\n";
  for (const auto& [path, entry] : now.files) {
    char head[64];
    std::snprintf(head, sizeof head, "%016" PRIx64 " %" PRIu64 " ", entry.hash, entry.size);
    text << head << path << "\n";
  }
  std::string s = text.str();
  if (!WriteAtomically(manifest_file, std::vector<uint8_t>(s.begin(), s.end()))) {
    say("failed to write the manifest");
    ++report.failed;
  }
  return report;
}
