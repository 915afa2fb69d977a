// Writes the generated files into a run directory, keeping a manifest of
// what it wrote: a file it did not write, or one changed since, is never
// overwritten, and files it wrote are made again only when the generator
// changed or they are missing.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

struct OutputFile {
  std::string path;  // relative to the run directory
  std::function<std::vector<uint8_t>()> make;
};

// Every file the generator writes: pictures, sounds, music, screen.txt.
std::vector<OutputFile> AllOutputs();

struct GenerateReport {
  int written = 0;
  int up_to_date = 0;
  int kept = 0;    // someone else's files left alone
  int failed = 0;
};

constexpr const char* kManifestName = "assetgen.manifest";

// Generates into run_dir (created when missing). `stamp`, one word, names the
// generator's version; files are rebuilt when it differs from the
// manifest's. Progress lines go to `log` when it is set.
GenerateReport GenerateRunDirectory(const std::string& run_dir, const std::vector<OutputFile>& outputs,
                                    const std::string& stamp,
                                    const std::function<void(const std::string&)>& log = nullptr);

uint64_t ContentHash(const std::vector<uint8_t>& bytes);

// What the manifest says of one file it lists.
struct ManifestEntry {
  uint64_t hash;
  uint64_t size;
  std::string stamp;  // the generator version that wrote the file
};
// The manifest's text to its entries by path: a header line, then one
// line a file, "<hash hex> <size> <stamp> <path>", the path last since
// music paths hold spaces. Damaged lines are skipped, which only makes the
// generator more careful: a file it does not list is kept.
std::map<std::string, ManifestEntry> ParseManifest(const std::string& text);
