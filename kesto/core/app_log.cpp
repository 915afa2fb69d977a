#include "core/app_log.h"

#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>

#include "core/screen_log.h"
#include "core/tracked_memory.h"
#include "platform/clock.h"
#include "platform/file_system.h"

namespace {

AppLogState g_state;
char g_folder[4096];
// Serialises the file steps: the call lock's long-wait line is written by a
// waiting thread while the holder may be logging.
std::mutex g_file_mutex;

constexpr size_t kStackConvertLimit = 255;
constexpr char kFileName[] = "AppLog.txt";

std::string LogFilePath() {
  if (g_folder[0] == '\0') return kFileName;
  std::string path = g_folder;
  if (path.back() != '/' && path.back() != '\\') path += '/';
  return path + kFileName;
}

// LF -> CR LF for each line feed without a CR before it, until the first line
// feed that already has one; from there on the text is copied as it stands.
// `out` holds 2 * len + 1 bytes. Returns the converted length.
size_t ConvertLineFeeds(const char* text, size_t len, char* out) {
  size_t o = 0;
  size_t i = 0;
  for (; i < len; ++i) {
    const char c = text[i];
    if (c == '\n') {
      if (i > 0 && text[i - 1] == '\r') break;
      out[o++] = '\r';
    }
    out[o++] = c;
  }
  std::memcpy(out + o, text + i, len - i);
  o += len - i;
  out[o] = '\0';
  return o;
}

// Appends one message: stamp and indent at a line start, then the text.
void WriteToFile(const char* text, size_t len) {
  if (len == 0) return;
  std::lock_guard<std::mutex> hold(g_file_mutex);
  if (g_state.logging_off || g_folder[0] == '\0') return;
  std::string out;
  out.reserve(len + 32);
  std::string tabs;
  if (!g_state.mid_line) {
    if (!g_state.stamps_off) {
      char stamp[16];
      std::snprintf(stamp, sizeof stamp, "%d:",
                    static_cast<int>(platform::TimeGetTime() - g_state.start_time));
      out += stamp;
    }
    tabs.assign(static_cast<size_t>(g_state.indent_level > 0 ? g_state.indent_level : 0), '\t');
    out += tabs;
  }
  out.append(text, len);
  if (!platform::AppendToFile(LogFilePath().c_str(), out.data(), out.size())) return;
  if (!tabs.empty()) platform::DebugOutput(tabs.c_str());
  platform::DebugOutput(std::string(text, len).c_str());
  g_state.mid_line = text[len - 1] != '\n';
}

}  // namespace

AppLogState& GetAppLogState() { return g_state; }

void SetLogFolderPath(const char* path) {
  std::lock_guard<std::mutex> hold(g_file_mutex);
  std::snprintf(g_folder, sizeof g_folder, "%s", path ? path : "");
}

const char* LogFolderPath() { return g_folder; }

int InitAppLog() {
  if (g_state.logging_off) return 0;
  const std::string path = LogFilePath();
  platform::DeleteFileAt(path.c_str());
  platform::CreateNewFile(path.c_str());
  std::lock_guard<std::mutex> hold(g_file_mutex);
  g_state.indent_level = 0;
  g_state.mid_line = 0;
  g_state.start_time = platform::TimeGetTime();
  return 0;
}

int WriteLog(const char* text) {
  // An empty message would only write a stamp and leave the line open for
  // a second one.
  if (!text || !*text) return -1;
  const size_t len = std::strlen(text);
  char small[2 * kStackConvertLimit + 1];
  char* buffer = small;
  if (len > kStackConvertLimit) {
    const size_t need = 2 * len + 1;
    buffer = need <= UINT32_MAX ? static_cast<char*>(AllocTracked(
                                      static_cast<uint32_t>(need), nullptr, __LINE__))
                                : nullptr;
  }
  if (buffer) {
    const size_t n = ConvertLineFeeds(text, len, buffer);
    if (IsScreenLogEnabled()) AddScreenLogText(buffer);
    WriteToFile(buffer, n);
    if (buffer != small) FreeTracked(buffer);
  } else {
    // No memory for the conversion: the text as it stands beats losing it.
    if (IsScreenLogEnabled()) AddScreenLogText(text);
    WriteToFile(text, len);
  }
  return -1;
}

int WriteLogFormatArgs(const char* format, va_list args) {
  // 1023 characters, the line feed and the terminator.
  char text[1025];
  if (std::vsnprintf(text, 1024, format, args) < 0) text[0] = '\0';
  const size_t n = std::strlen(text);
  text[n] = '\n';
  text[n + 1] = '\0';
  return WriteLog(text);
}

int WriteLogFormat(const char* format, ...) {
  va_list args;
  va_start(args, format);
  const int r = WriteLogFormatArgs(format, args);
  va_end(args);
  return r;
}

int IncreaseLogIndent() {
  std::lock_guard<std::mutex> hold(g_file_mutex);
  ++g_state.indent_level;
  return 0;
}

int DecreaseLogIndent() {
  std::lock_guard<std::mutex> hold(g_file_mutex);
  if (g_state.indent_level > 0) --g_state.indent_level;
  return 0;
}

void WriteLogUnconverted(const char* text) {
  if (text) WriteToFile(text, std::strlen(text));
}
