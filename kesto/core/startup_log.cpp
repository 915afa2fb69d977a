#include "core/startup_log.h"

#include <cstdarg>
#include <cstdio>
#include <string>

#include "core/app_log.h"
#include "core/tracked_memory.h"
#include "core/window_state.h"
#include "platform/clock.h"

void CoreLogInit(bool keep_existing) {
  SetLogFolderPath(CoreState().kept.log_folder_path);
  if (!keep_existing) {
    InitAppLog();
    return;
  }
  AppLogState& log = GetAppLogState();
  log.indent_level = 0;
  log.mid_line = 0;
  log.start_time = platform::TimeGetTime();
}

void CoreLog(const char* text) {
  if (text && text[0] != '\0') WriteLog(text);
}

void CoreLogFormat(const char* format, ...) {
  char buffer[1024];
  va_list args;
  va_start(args, format);
  std::vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  // A formatted message is always a whole line.
  std::string line = buffer;
  if (line.empty() || line.back() != '\n') line += '\n';
  WriteLog(line.c_str());
}

void CoreLogIndent(int delta) {
  for (; delta > 0; --delta) IncreaseLogIndent();
  for (; delta < 0; ++delta) DecreaseLogIndent();
}

void CoreLogAllocationDump() { DumpAllocList(); }
