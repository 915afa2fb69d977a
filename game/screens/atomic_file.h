// The one way the game writes a saved file: the new contents go to a
// temporary file beside it, every write and the close are checked, the data
// is flushed to disk, and only then does a rename put it in place. A crash or
// a full disk leaves the previous file as it was; missing folders are made.
#pragma once

#include <string>
#include <string_view>

class AtomicFileWriter {
 public:
  // Makes the folders of `path` and a temporary file beside it; ok() tells
  // whether that worked (the reason is logged when not).
  explicit AtomicFileWriter(const char* path);
  // Removes the temporary file unless Commit succeeded.
  ~AtomicFileWriter();
  AtomicFileWriter(const AtomicFileWriter&) = delete;
  AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

  bool ok() const { return fd_ >= 0; }
  void Append(std::string_view text) { contents_.append(text); }
  // The number in decimal followed by `after` ("%d\n", "%d ").
  void AppendInt(long long value, char after);
  // Writes, flushes, closes and renames into place. False, with a log line,
  // when any step failed; the target is then untouched.
  bool Commit();

 private:
  std::string path_;
  std::string temp_path_;
  std::string contents_;
  int fd_ = -1;
  bool committed_ = false;
};

// The whole of `contents` as the file `path`; false (logged) on failure.
bool WriteFileAtomically(const char* path, std::string_view contents);

// What a save may do to the file already at a path, decided by whoever read
// that file. A file that was there but could not be read may still hold the
// player's progress: no save replaces it in this run. A damaged file is moved
// to <path>.bad by the save that replaces it, and when it cannot be moved the
// save is refused, so its bytes are never lost.
enum class SaveGuard { kReplace, kKeepDamagedAsBad, kNeverReplace };
// `reason` (why the file could not be read) goes into the refusal's message.
void SetSaveGuard(const char* path, SaveGuard guard, const std::string& reason = {});
SaveGuard SaveGuardOf(const char* path);
void ClearSaveGuardsForTesting();

// Removes the temporary files that saves cut short by a kill left in
// `folder` (only names the writer makes, only plain files); returns how many.
int RemoveLeftoverTemporaryFiles(const char* folder);

// Tests: make the next commits fail in the write, or stop just before the
// rename as a crash would (the temporary file is then left behind).
enum class AtomicWriteFault { kNone, kFailWrite, kCrashBeforeRename };
void SetAtomicWriteFaultForTesting(AtomicWriteFault fault);
