// The application log, AppLog.txt in the log folder. Every message is
// appended with its own open and close, so the file is complete even after an
// abrupt end. A line starts with the milliseconds since InitAppLog ("%d:")
// and one TAB per indent level; a message without a final line feed is
// continued by the next message on the same line. Text is cp932.
#pragma once

#include <cstdarg>
#include <cstdint>

struct AppLogState {
  int32_t indent_level = 0;
  int32_t mid_line = 0;       // 1 when the last write did not end with a line feed
  int32_t stamps_off = 0;     // setting
  int32_t logging_off = 0;    // setting: nothing is written, the file is not re-created
  uint32_t start_time = 0;    // multimedia clock at InitAppLog
};

// The log's state; window creation saves and clears it with the core state.
AppLogState& GetAppLogState();

// The folder AppLog.txt lives in; empty (nothing is written) until start-up
// sets it to the directory current at start-up.
void SetLogFolderPath(const char* path);
const char* LogFolderPath();

// Deletes AppLog.txt, creates it empty, resets indent and line state and
// notes the start time. Does nothing with logging off. Returns 0.
int InitAppLog();

// Appends a message; each line feed not preceded by a carriage return is
// written as CR LF, up to the first line feed that already has one, after
// which the rest is copied as it stands. Returns -1, the library's failure
// value, so a failing operation can `return WriteLog("why\n");`.
int WriteLog(const char* text);
// Formats into 1024 bytes (cut at 1023 characters), appends a line feed and
// writes the result with WriteLog. Returns -1.
int WriteLogFormat(const char* format, ...) __attribute__((format(printf, 1, 2)));
int WriteLogFormatArgs(const char* format, va_list args);

// The indent of following line starts; never below 0. Both return 0.
int IncreaseLogIndent();
int DecreaseLogIndent();

// The file steps of WriteLog without the line-feed conversion: for the call
// lock's long-wait line, which must not wait on anything.
void WriteLogUnconverted(const char* text);
