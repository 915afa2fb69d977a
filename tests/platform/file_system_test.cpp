#include "platform/file_system.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

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

TEST(FileSystemTest, WholeFileReadsTellEveryFailureApart) {
  ScopedTempDir dir;
  std::ofstream(dir.file("track.mp3")) << "0123456789";
  mkdir(dir.file("folder.mp3").c_str(), 0755);
  mkfifo(dir.file("fifo.mp3").c_str(), 0644);
  ::alarm(60);  // an open or read that waits on the FIFO fails the test
  struct Case {
    std::string path;
    size_t cap;
    int error;
  } cases[] = {
      {dir.file("track.mp3"), 10, 0},
      {dir.file("TRACK.MP3"), 100, 0},  // any case, as elsewhere
      {dir.file("track.mp3"), 9, EFBIG},
      {dir.file("none.mp3"), 100, ENOENT},
      {dir.file("folder.mp3"), 100, EISDIR},
      {dir.file("fifo.mp3"), 100, EINVAL},
      {"/dev/zero", size_t{1} << 40, EINVAL},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> bytes{1, 2, 3};
    EXPECT_EQ(platform::ReadWholeFile(c.path.c_str(), c.cap, &bytes), c.error) << c.path;
    EXPECT_EQ(bytes.size(), c.error == 0 ? 10u : 0u) << c.path;
  }
  EXPECT_EQ(platform::FileErrorText(EINVAL), "not a regular file (a FIFO, device or socket)");

  // A disk failing part-way: an error, never a shorter file.
  platform::FailReadsForTesting("track.mp3", 4);
  std::vector<uint8_t> bytes;
  EXPECT_EQ(platform::ReadWholeFile(dir.file("track.mp3").c_str(), 100, &bytes), EIO);
  EXPECT_TRUE(bytes.empty());
  const int fd = platform::OpenFileForRead(dir.file("track.mp3").c_str());
  char buffer[10];
  EXPECT_EQ(platform::ReadFileBytes(fd, buffer, 3), 3);
  EXPECT_EQ(platform::ReadFileBytes(fd, buffer, 3), -1);
  platform::CloseFile(fd);
  platform::FailReadsForTesting("", 0);
  EXPECT_EQ(platform::ReadWholeFile(dir.file("track.mp3").c_str(), 100, &bytes), 0);
  ::alarm(0);
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
