// The generator's reader of files named on its command line.
#include "file_read.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "support/scoped_temp_dir.h"

namespace {

namespace fs = std::filesystem;

// ctest runs the cases side by side, so each works in a folder of its own.
class ReadWholeRegularFileTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_FALSE(dir_.empty()); }
  ScopedTempDir temp_;
  const fs::path dir_ = temp_.path();
};

TEST_F(ReadWholeRegularFileTest, ReadsAFileWholeUpToItsLimit) {
  std::string text(200000, 'x');
  text[123456] = '\0';  // binary data survives
  std::ofstream(dir_ / "mix.raw", std::ios::binary) << text;
  std::string bytes, error;
  ASSERT_TRUE(ReadWholeRegularFile(dir_ / "mix.raw", text.size(), &bytes, &error)) << error;
  EXPECT_EQ(bytes, text);
  EXPECT_FALSE(ReadWholeRegularFile(dir_ / "mix.raw", text.size() - 1, &bytes, &error));
  EXPECT_NE(error.find("larger"), std::string::npos) << error;
  std::ofstream(dir_ / "empty.raw", std::ios::binary);
  EXPECT_TRUE(ReadWholeRegularFile(dir_ / "empty.raw", 10, &bytes, &error));
  EXPECT_TRUE(bytes.empty());
}

TEST_F(ReadWholeRegularFileTest, RefusesWhatIsNotARegularFileWithAReason) {
  ASSERT_EQ(mkfifo((dir_ / "fifo").c_str(), 0600), 0);
  struct Case {
    fs::path path;
    const char* reason;
  };
  // A FIFO would block the read forever if it were opened.
  const Case cases[] = {
      {dir_, "folder"}, {dir_ / "fifo", "not a regular file"}, {dir_ / "missing", ""}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path.string());
    std::string bytes = "left over", error;
    EXPECT_FALSE(ReadWholeRegularFile(c.path, 1 << 20, &bytes, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_NE(error.find(c.reason), std::string::npos) << error;
  }
}

}  // namespace
