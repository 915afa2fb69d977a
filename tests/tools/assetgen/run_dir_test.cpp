#include "run_dir.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "support/scoped_temp_dir.h"

namespace {

namespace fs = std::filesystem;

std::string Slurp(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void Spit(const fs::path& file, const std::string& text) {
  fs::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary) << text;
}

// Two small outputs whose content follows a variable, and a counter of
// how often each was made.
struct Fixture {
  std::string content = "v1";
  int made = 0;
  std::vector<OutputFile> Outputs() {
    auto make = [this] {
      ++made;
      return std::vector<uint8_t>(content.begin(), content.end());
    };
    return {{"bmp/a.dat", make}, {"bgm/air fortress 4th.mp3", make}};
  }
};

TEST(RunDirectory, WritesEverythingOnceAndNothingWhileUpToDate) {
  ScopedTempDir dir;
  Fixture f;
  GenerateReport first = GenerateRunDirectory(dir.path().string(), f.Outputs(), "s1");
  EXPECT_EQ(first.written, 2);
  EXPECT_EQ(Slurp(dir.path() / "bgm/air fortress 4th.mp3"), "v1");

  GenerateReport second = GenerateRunDirectory(dir.path().string(), f.Outputs(), "s1");
  EXPECT_EQ(second.written, 0);
  EXPECT_EQ(second.up_to_date, 2);
  EXPECT_EQ(f.made, 2);
}

TEST(RunDirectory, ANewGeneratorRewritesItsOwnFilesAndAMissingFileIsMadeAgain) {
  ScopedTempDir dir;
  Fixture f;
  GenerateRunDirectory(dir.path().string(), f.Outputs(), "s1");
  f.content = "v2";
  EXPECT_EQ(GenerateRunDirectory(dir.path().string(), f.Outputs(), "s2").written, 2);
  EXPECT_EQ(Slurp(dir.path() / "bmp/a.dat"), "v2");

  fs::remove(dir.path() / "bmp/a.dat");
  GenerateReport again = GenerateRunDirectory(dir.path().string(), f.Outputs(), "s2");
  EXPECT_EQ(again.written, 1);
  EXPECT_EQ(again.up_to_date, 1);
  EXPECT_EQ(Slurp(dir.path() / "bmp/a.dat"), "v2");
}

TEST(RunDirectory, NeverOverwritesAFileItDidNotWriteOrOneChangedSince) {
  ScopedTempDir dir;
  Fixture f;
  // A user's own art dropped in before the first run.
  Spit(dir.path() / "bmp/a.dat", "user art");
  GenerateReport first = GenerateRunDirectory(dir.path().string(), f.Outputs(), "s1");
  EXPECT_EQ(first.kept, 1);
  EXPECT_EQ(first.written, 1);
  EXPECT_EQ(Slurp(dir.path() / "bmp/a.dat"), "user art");

  // A generated file the user replaced afterwards, then a new generator.
  Spit(dir.path() / "bgm/air fortress 4th.mp3", "user music");
  f.content = "v2";
  GenerateReport second = GenerateRunDirectory(dir.path().string(), f.Outputs(), "s2");
  EXPECT_EQ(second.kept, 2);
  EXPECT_EQ(second.written, 0);
  EXPECT_EQ(Slurp(dir.path() / "bmp/a.dat"), "user art");
  EXPECT_EQ(Slurp(dir.path() / "bgm/air fortress 4th.mp3"), "user music");
}

TEST(RunDirectory, ADamagedManifestMakesTheGeneratorKeepFilesNotRebuildThem) {
  ScopedTempDir dir;
  Fixture f;
  GenerateRunDirectory(dir.path().string(), f.Outputs(), "s1");
  for (const char* damage : {"", "garbage\n", "assetgen manifest 1\nzz 12\n\n 1 2\n"}) {
    SCOPED_TRACE(damage);
    Spit(dir.path() / kManifestName, damage);
    GenerateReport r = GenerateRunDirectory(dir.path().string(), f.Outputs(), "s1");
    EXPECT_EQ(r.kept, 2);
    EXPECT_EQ(r.written, 0);
    EXPECT_EQ(r.failed, 0);
  }
}

TEST(RunDirectory, AnOutputThatCannotBeMadeIsReportedAndLeavesNoFile) {
  ScopedTempDir dir;
  std::vector<OutputFile> outputs = {{"bgm/x.mp3", [] { return std::vector<uint8_t>(); }}};
  GenerateReport r = GenerateRunDirectory(dir.path().string(), outputs, "s1");
  EXPECT_EQ(r.failed, 1);
  EXPECT_FALSE(fs::exists(dir.path() / "bgm/x.mp3"));
}

TEST(RunDirectory, AFolderOrFifoWhereAnOutputStandsIsKeptUnread) {
  ScopedTempDir dir;
  Fixture f;
  GenerateRunDirectory(dir.path().string(), f.Outputs(), "s1");
  // Both outputs listed as the generator's, then replaced by the user.
  fs::remove(dir.path() / "bmp/a.dat");
  fs::create_directories(dir.path() / "bmp/a.dat");
  fs::remove(dir.path() / "bgm/air fortress 4th.mp3");
  ASSERT_EQ(mkfifo((dir.path() / "bgm/air fortress 4th.mp3").c_str(), 0644), 0);
  ::alarm(60);  // reading the FIFO would wait for a writer
  GenerateReport r = GenerateRunDirectory(dir.path().string(), f.Outputs(), "s2");
  ::alarm(0);
  EXPECT_EQ(r.kept, 2);
  EXPECT_EQ(r.written, 0);
  EXPECT_TRUE(fs::is_directory(dir.path() / "bmp/a.dat"));
  EXPECT_TRUE(fs::is_fifo(dir.path() / "bgm/air fortress 4th.mp3"));
}

}  // namespace
