#include "screens/atomic_file.h"

#include "text_file_fixture.h"

namespace {

using AtomicFileTest = SavedFileTest;

TEST_F(AtomicFileTest, MakesMissingFoldersAndReplacesTheWholeFile) {
  ASSERT_TRUE(WriteFileAtomically("a/b/f.txt", "first version, rather long\n"));
  ASSERT_TRUE(WriteFileAtomically("a/b/f.txt", "second\n"));
  EXPECT_EQ(Get("a/b/f.txt"), "second\n");
  EXPECT_EQ(FilesIn("a/b"), std::vector<std::string>{"f.txt"});  // no temporary left
}

TEST_F(AtomicFileTest, AFailureLeavesThePreviousFileWhole) {
  Put("f.txt", "old\n");
  for (AtomicWriteFault fault : {AtomicWriteFault::kFailWrite, AtomicWriteFault::kCrashBeforeRename}) {
    SetAtomicWriteFaultForTesting(fault);
    EXPECT_FALSE(WriteFileAtomically("f.txt", "new\n"));
    EXPECT_EQ(Get("f.txt"), "old\n");
  }
  SetAtomicWriteFaultForTesting(AtomicWriteFault::kNone);
  // The crash's temporary file does not stand in the way of the next save.
  EXPECT_TRUE(WriteFileAtomically("f.txt", "new\n"));
  EXPECT_EQ(Get("f.txt"), "new\n");
}

TEST_F(AtomicFileTest, AFolderThatCannotBeMadeIsAFailure) {
  Put("file", "a plain file where the folder should be");
  AtomicFileWriter w("file/config.dat");
  EXPECT_FALSE(w.ok());
  EXPECT_FALSE(w.Commit());
  EXPECT_EQ(Get("file"), "a plain file where the folder should be");
}

TEST_F(AtomicFileTest, TemporaryFilesOfKilledSavesAreRemovedAndNothingElse) {
  Put("file/score.dat", "kept\n");
  SetAtomicWriteFaultForTesting(AtomicWriteFault::kCrashBeforeRename);
  EXPECT_FALSE(WriteFileAtomically("file/score.dat", "new\n"));
  EXPECT_FALSE(WriteFileAtomically("file/data.dat", "new\n"));
  SetAtomicWriteFaultForTesting(AtomicWriteFault::kNone);
  ASSERT_EQ(FilesIn("file").size(), 3u);  // the two temporary files are left
  Put("file/notes.tmp-short", "mine");
  Put("file/folder.tmp-ABC123/inside", "mine");
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(RemoveLeftoverTemporaryFiles("file"), 2);
  EXPECT_NE(::testing::internal::GetCapturedStderr().find("left by a save that did not finish"),
            std::string::npos);
  EXPECT_EQ(FilesIn("file"),
            (std::vector<std::string>{"folder.tmp-ABC123", "notes.tmp-short", "score.dat"}));
  EXPECT_EQ(Get("file/score.dat"), "kept\n");
  EXPECT_EQ(RemoveLeftoverTemporaryFiles("no such folder"), 0);
}

}  // namespace
