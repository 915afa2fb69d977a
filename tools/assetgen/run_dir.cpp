#include "run_dir.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <charconv>
#include <cinttypes>
#include <cstdio>
#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string_view>
#include <thread>

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
  for (const SoundEffectDef& def : SoundEffects()) {
    const SoundEffectDef* s = &def;
    outputs.push_back({def.path, [s] { return EncodeWav(SynthesizeEffect(*s), kEffectRate); }});
  }
  for (const MusicDef& def : MusicTracks()) {
    const MusicDef* s = &def;
    outputs.push_back({def.path, [s] { return EncodeMp3(RenderMusic(*s)); }});
  }
  // A window, with frame pacing.
  outputs.push_back({"screen.txt", [] {
                       const std::string text = "1\n1\n";
                       return std::vector<uint8_t>(text.begin(), text.end());
                     }});
  return outputs;
}

// A header line, then one line a file: "<hash hex> <size> <stamp> <path>",
// the path last since music paths hold spaces. Damaged lines are skipped,
// which only makes the generator more careful: an unlisted file is kept.
std::map<std::string, ManifestEntry> ParseManifest(const std::string& text) {
  std::map<std::string, ManifestEntry> m;
  std::istringstream in(text);
  std::string line;
  if (!std::getline(in, line) || line != "assetgen manifest 1") return m;
  while (std::getline(in, line)) {
    // Three words, then the path: the rest of the line.
    std::string_view rest(line);
    std::string_view words[3];
    bool whole = true;
    for (std::string_view& word : words) {
      size_t end = rest.find(' ');
      if (end == 0 || end == std::string_view::npos) {
        whole = false;
        break;
      }
      word = rest.substr(0, end);
      rest.remove_prefix(end + 1);
    }
    if (!whole || rest.empty() || rest.find('\0') != std::string_view::npos) continue;
    ManifestEntry entry{};
    auto hash = std::from_chars(words[0].data(), words[0].data() + words[0].size(), entry.hash, 16);
    auto size = std::from_chars(words[1].data(), words[1].data() + words[1].size(), entry.size);
    if (hash.ec != std::errc() || hash.ptr != words[0].data() + words[0].size() ||
        size.ec != std::errc() || size.ptr != words[1].data() + words[1].size()) {
      continue;
    }
    entry.stamp = std::string(words[2]);
    m[std::string(rest)] = entry;
  }
  return m;
}

namespace {

using Entry = ManifestEntry;
using Manifest = std::map<std::string, Entry>;

// A whole regular file (never a folder, a FIFO or a device, and nothing
// larger than any generated file), false when it cannot be read to its end.
bool ReadRegularFile(const fs::path& file, std::string* text) {
  constexpr uintmax_t kLargestFile = uintmax_t{256} << 20;
  std::error_code ec;
  if (!fs::is_regular_file(file, ec) || fs::file_size(file, ec) > kLargestFile || ec) return false;
  std::ifstream in(file, std::ios::binary);
  if (!in) return false;
  // read() turns a failing read into badbit; the iterators would throw.
  char block[1 << 16];
  while (in.read(block, sizeof block) || in.gcount() > 0) {
    text->append(block, static_cast<size_t>(in.gcount()));
    if (text->size() > kLargestFile) return false;
  }
  return !in.bad();
}

Manifest ReadManifest(const fs::path& file) {
  std::string text;
  if (!ReadRegularFile(file, &text)) return {};
  return ParseManifest(text);
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
  std::string text;
  if (!ReadRegularFile(file, &text)) return false;
  out->assign(text.begin(), text.end());
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
  Manifest manifest = ReadManifest(manifest_file);
  auto say = [&](const std::string& text) {
    if (log) log(text);
  };
  // Rewritten after every file, so an interrupted run still knows what it
  // wrote and finishes the job next time.
  auto save = [&] {
    std::ostringstream text;
    text << "assetgen manifest 1\n";
    for (const auto& [path, entry] : manifest) {
      char head[128];
      std::snprintf(head, sizeof head, "%016" PRIx64 " %" PRIu64 " %s ", entry.hash, entry.size,
                    entry.stamp.c_str());
      text << head << path << "\n";
    }
    std::string s = text.str();
    if (!WriteAtomically(manifest_file, std::vector<uint8_t>(s.begin(), s.end()))) {
      say("failed to write the manifest");
      ++report.failed;
    }
  };
  // First which files are to be made, then the making itself on every
  // core (each output is a pure function of the generator), then the
  // writing, in order, so the run directory and the manifest come out the
  // same as from one thread.
  std::vector<size_t> wanted;
  for (size_t i = 0; i < outputs.size(); ++i) {
    const OutputFile& output = outputs[i];
    const fs::path target = root / output.path;
    auto listed = manifest.find(output.path);
    if (fs::exists(target, ec)) {
      std::vector<uint8_t> current;
      bool ours = false;
      if (listed != manifest.end() && ReadFile(target, &current)) {
        ours = current.size() == listed->second.size && ContentHash(current) == listed->second.hash;
      }
      if (!ours) {
        say("keeping " + output.path + ": not written by the generator");
        if (listed != manifest.end()) manifest.erase(listed);
        ++report.kept;
        continue;
      }
      if (listed->second.stamp == stamp) {
        ++report.up_to_date;
        continue;
      }
    }
    wanted.push_back(i);
  }
  std::vector<std::vector<uint8_t>> made(wanted.size());
  {
    std::atomic<size_t> next{0};
    auto work = [&] {
      for (size_t k = next++; k < wanted.size(); k = next++) made[k] = outputs[wanted[k]].make();
    };
    const unsigned cores = std::max(1u, std::min(8u, std::thread::hardware_concurrency()));
    std::vector<std::thread> workers;
    for (unsigned t = 1; t < cores && t < wanted.size(); ++t) workers.emplace_back(work);
    work();
    for (std::thread& w : workers) w.join();
  }
  for (size_t k = 0; k < wanted.size(); ++k) {
    const OutputFile& output = outputs[wanted[k]];
    const fs::path target = root / output.path;
    const std::vector<uint8_t>& bytes = made[k];
    if (bytes.empty() || !WriteAtomically(target, bytes)) {
      say("failed to write " + output.path);
      ++report.failed;
      continue;
    }
    manifest[output.path] = {ContentHash(bytes), bytes.size(), stamp};
    save();
    ++report.written;
    say("wrote " + output.path);
  }
  if (report.kept > 0) save();
  return report;
}
