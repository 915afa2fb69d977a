#include "platform/file_system.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <sstream>
#include <string>

#include "support/scoped_temp_dir.h"

namespace {

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST(FileSystemTest, WindowsNamesFindFilesUnderAnyCase) {
  ScopedTempDir dir;
  mkdir(dir.file("Se").c_str(), 0755);
  mkdir(dir.file("Se/Boss").c_str(), 0755);
  std::ofstream(dir.file("Se/Boss/Hit.WAV")) << "x";
  struct Case {
    std::string path;
    bool opens;
  };
  const Case cases[] = {
      {dir.file("Se/Boss/Hit.WAV"), true},
      {dir.path().string() + "\\se\\BOSS\\hit.wav", true},
      {dir.path().string() + "/se/./boss/../Boss/hit.wav", true},
      {dir.path().string() + "\\se\\boss\\miss.wav", false},
      {dir.file("Se/Boss"), false},  // a directory is not a file
      {"", false},
  };
  for (const Case& c : cases) {
    const int fd = platform::OpenFileForRead(c.path.c_str());
    EXPECT_EQ(fd >= 0, c.opens) << c.path;
    if (fd >= 0) {
      EXPECT_EQ(platform::FileSizeOf(fd), 1);
      platform::CloseFile(fd);
    }
  }
}

TEST(FileSystemTest, LogFileSteps) {
  ScopedTempDir dir;
  const std::string log = dir.file("AppLog.txt");
  EXPECT_TRUE(platform::AppendToFile(log.c_str(), "ab", 2));  // created when missing
  EXPECT_TRUE(platform::AppendToFile(log.c_str(), "cd", 2));
  EXPECT_EQ(ReadAll(log), "abcd");
  EXPECT_FALSE(platform::CreateNewFile(log.c_str()));  // exists already
  EXPECT_TRUE(platform::DeleteFileAt(log.c_str()));
  EXPECT_FALSE(platform::DeleteFileAt(log.c_str()));
  EXPECT_TRUE(platform::CreateNewFile(log.c_str()));
  EXPECT_EQ(ReadAll(log), "");
  EXPECT_FALSE(platform::AppendToFile(dir.file("missing/AppLog.txt").c_str(), "x", 1));
}

TEST(FileSystemTest, CurrentDirectoryThatDoesNotFitGivesEmptyPath) {
  char small[4] = "xyz";
  EXPECT_EQ(platform::GetCurrentDir(small, sizeof small), 0u);
  EXPECT_STREQ(small, "");
  char big[4096];
  EXPECT_GT(platform::GetCurrentDir(big, sizeof big), 0u);
}

}  // namespace
