// The window and start-up code's route to the application log (AppLog.txt
// in the log folder): stamped, indented lines, cp932 bytes as given.
#pragma once

// Deletes the log and creates it empty; with keep_existing the file is
// left as it is and later lines are appended.
void CoreLogInit(bool keep_existing);
void CoreLog(const char* text);
// Formats into 1024 bytes and ends the line.
void CoreLogFormat(const char* format, ...) __attribute__((format(printf, 1, 2)));
void CoreLogIndent(int delta);
// The list of memory still allocated, written last at shutdown.
void CoreLogAllocationDump();
