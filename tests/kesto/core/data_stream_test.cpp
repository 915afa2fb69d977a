#include "core/data_stream.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "core/tracked_memory.h"
#include "core_fixture.h"

namespace {

class DataStreamTest : public LogFixture {
 protected:
  // "0123456789" as a file and as memory.
  DataStream Open(bool file) {
    if (file) {
      std::ofstream(dir_.file("ten.bin"), std::ios::binary) << kTen;
      return OpenFileDataStream(dir_.file("ten.bin").c_str());
    }
    return OpenMemoryDataStream(kTen, 10);
  }
  static constexpr char kTen[] = "0123456789";
};

// One read or seek and what it must give: result, bytes delivered, end flag
// and position afterwards.
struct Op {
  bool seek;
  int64_t a, b;  // read: element size, count; seek: offset, origin
  long result;
  const char* bytes;
  int end_flag;
  int32_t position;
};

struct StreamCase {
  const char* name;
  std::vector<Op> file_ops;
  std::vector<Op> memory_ops;
};

void RunOps(const DataStream& s, const std::vector<Op>& ops) {
  for (size_t i = 0; i < ops.size(); ++i) {
    const Op& op = ops[i];
    SCOPED_TRACE("op " + std::to_string(i));
    char dest[32];
    std::memset(dest, '#', sizeof dest);
    if (op.seek) {
      EXPECT_EQ(s.ops.seek(s.handle, static_cast<int32_t>(op.a), static_cast<int>(op.b)),
                op.result);
    } else {
      EXPECT_EQ(static_cast<long>(s.ops.read(dest, static_cast<size_t>(op.a),
                                              static_cast<size_t>(op.b), s.handle)),
                op.result);
      const size_t n = std::strlen(op.bytes);
      EXPECT_EQ(std::string(dest, n), op.bytes);
      EXPECT_EQ(dest[n], '#') << "wrote past what it delivered";
    }
    EXPECT_EQ(s.ops.end_of_data(s.handle), op.end_flag);
    EXPECT_EQ(s.ops.tell(s.handle), op.position);
    EXPECT_EQ(s.ops.idle(s.handle), 1);
  }
}

TEST_F(DataStreamTest, ReadsAndSeeksAtTheEndOfData) {
  const int64_t huge = INT64_C(1) << 62;
  const std::vector<StreamCase> cases = {
      // A file read never delivers a partial element, and only a seek clears its end flag.
      {"whole elements, then the end",
       {{false, 4, 5, 2, "01234567", 0, 8}, {false, 4, 5, 0, "", 1, 8}, {false, 1, 5, 2, "89", 1, 10},
        {false, 1, 1, 0, "", 1, 10}},
       {{false, 4, 5, 2, "01234567", 0, 8}, {false, 4, 5, 1, "89", 0, 10}, {false, 4, 5, 0, "", 1, 10}}},
      {"count 0 and element size 0 read nothing and are not the end",
       {{false, 4, 0, 0, "", 0, 0}, {false, 0, 4, 0, "", 0, 0}, {false, 2, 1, 1, "01", 0, 2}},
       {{false, 4, 0, 0, "", 0, 0}, {false, 0, 4, 0, "", 0, 0}, {false, 2, 1, 1, "01", 0, 2}}},
      {"a seek past the end: the file keeps the target and then reports the end",
       {{true, 110, 0, 0, "", 0, 110}, {false, 1, 4, 0, "", 1, 110}, {true, -100, 1, 0, "", 0, 10},
        {false, 1, 1, 0, "", 1, 10}},
       {{true, 110, 0, 0, "", 0, 10}, {false, 1, 4, 0, "", 1, 10}}},
      {"a seek before the start: refused for a file, clamped for memory",
       {{true, 3, 0, 0, "", 0, 3}, {true, -5, 0, -1, "", 0, 3}, {false, 1, 2, 2, "34", 0, 5}},
       {{true, 3, 0, 0, "", 0, 3}, {true, -5, 0, 0, "", 0, 0}, {false, 1, 2, 2, "01", 0, 2}}},
      {"origins: current position and end; a seek clears the end flag",
       {{true, -2, 2, 0, "", 0, 8}, {false, 1, 9, 2, "89", 0, 10}, {false, 1, 1, 0, "", 1, 10},
        {true, -3, 1, 0, "", 0, 7}, {false, 1, 1, 1, "7", 0, 8}},
       {{true, -2, 2, 0, "", 0, 8}, {false, 1, 9, 2, "89", 0, 10}, {false, 1, 1, 0, "", 1, 10},
        {true, -3, 1, 0, "", 0, 7}, {false, 1, 1, 1, "7", 0, 8}}},
      {"an unknown origin is refused",
       {{true, 0, 3, -1, "", 0, 0}}, {{true, 0, 3, -1, "", 0, 0}}},
      {"sizes whose product does not fit are not wrapped",
       {{false, huge, 8, 0, "", 1, 0}},
       {{false, 6, huge, 1, "012345", 0, 6}, {false, huge, 8, 1, "6789", 0, 10}}},
  };
  for (const StreamCase& c : cases) {
    SCOPED_TRACE(c.name);
    for (bool file : {true, false}) {
      SCOPED_TRACE(file ? "file" : "memory");
      DataStream s = Open(file);
      ASSERT_NE(s.handle, nullptr);
      RunOps(s, file ? c.file_ops : c.memory_ops);
      EXPECT_EQ(s.ops.close(s.handle), 0);
    }
  }
  EXPECT_EQ(GetTrackedMemoryState().count, 0);
}

TEST_F(DataStreamTest, RecordsAreTrackedBlocksOfTheCore) {
  DataStream f = Open(true);
  DataStream m = Open(false);
  const AllocRecord* newest = GetTrackedMemoryState().head;
  EXPECT_STREQ(newest->name, "KsWin");
  EXPECT_EQ(newest->size, sizeof(MemoryStreamRecord));
  EXPECT_STREQ(newest->next->name, "KsWin");
  EXPECT_EQ(newest->next->size, sizeof(Win32FileRecord));
  f.ops.close(f.handle);
  m.ops.close(m.handle);
  EXPECT_EQ(GetTrackedMemoryState().count, 0);
}

TEST_F(DataStreamTest, FileThatShrankAdvancesByTheBytesActuallyRead) {
  std::ofstream(dir_.file("shrink.bin"), std::ios::binary) << "0123456789";
  void* f = CallFileOpen(dir_.file("shrink.bin").c_str());
  ASSERT_NE(f, nullptr);
  ASSERT_EQ(truncate(dir_.file("shrink.bin").c_str(), 4), 0);
  char dest[10];
  EXPECT_EQ(CallFileRead(dest, 1, 10, f), 4u);
  EXPECT_EQ(CallFileTell(f), 4);
  EXPECT_EQ(CallFileRead(dest, 2, 3, f), 0u);
  EXPECT_EQ(CallFileTell(f), 4);
  EXPECT_EQ(CallFileClose(f), 0);
}

TEST_F(DataStreamTest, OpeningRefusesMissingFilesAndDirectories) {
  mkdir(dir_.file("sub").c_str(), 0755);
  EXPECT_EQ(CallFileOpen(dir_.file("sub").c_str()), nullptr);
  EXPECT_EQ(CallFileOpen(dir_.file("missing.bin").c_str()), nullptr);
  EXPECT_EQ(OpenFileDataStream(dir_.file("missing.bin").c_str()).handle, nullptr);
  EXPECT_EQ(GetTrackedMemoryState().count, 0);
}

TEST_F(DataStreamTest, WindowsPathsReachTheFile) {
  mkdir(dir_.file("Bmp").c_str(), 0755);
  std::ofstream(dir_.file("Bmp/Player.BMP"), std::ios::binary) << "BM";
  const std::string path = dir_.path().string() + "\\bmp\\player.bmp";
  void* f = CallFileOpen(path.c_str());
  ASSERT_NE(f, nullptr);
  char dest[2];
  EXPECT_EQ(CallFileRead(dest, 1, 2, f), 2u);
  EXPECT_EQ(std::string(dest, 2), "BM");
  CallFileClose(f);
}

TEST_F(DataStreamTest, CurrentDirectoryGoesThroughTheTable) {
  char before[kCurrentDirSize];
  ASSERT_GT(CallGetCurrentDir(before), 0);
  EXPECT_EQ(CallSetCurrentDir(dir_.path().c_str()), 1);
  char now[kCurrentDirSize];
  CallGetCurrentDir(now);
  EXPECT_EQ(std::string(now), dir_.path().string());
  EXPECT_EQ(CallSetCurrentDir(dir_.file("missing").c_str()), 0);
  EXPECT_EQ(CallSetCurrentDir(before), 1);
}

TEST_F(DataStreamTest, InstalledTableIsWhatFileCallsUse) {
  static int opens = 0;
  FileAccessOps ops = SystemFileAccessOps();
  ops.open = [](const char*) -> void* {
    ++opens;
    return nullptr;
  };
  InstallFileAccessOps(ops);
  EXPECT_EQ(OpenFileDataStream("anything").handle, nullptr);
  EXPECT_EQ(opens, 1);
  InstallFileAccessOps(SystemFileAccessOps());
}

}  // namespace
