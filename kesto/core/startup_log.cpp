#include "core/startup_log.h"

#include <cstdarg>
#include <cstdio>
#include <string>

#include "core/window_state.h"
#include "platform/clock.h"

namespace {

int g_indent = 0;
bool g_mid_line = false;
uint32_t g_start_ms = 0;

std::string LogPath() {
  const char* folder = CoreState().kept.log_folder_path;
  if (folder[0] == '\0') return {};
  return std::string(folder) + "/AppLog.txt";
}

void Append(const std::string& bytes) {
  const std::string path = LogPath();
  if (path.empty()) return;
  if (FILE* f = std::fopen(path.c_str(), "ab")) {
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }
}

}  // namespace

void CoreLogInit(bool keep_existing) {
  g_indent = 0;
  g_mid_line = false;
  g_start_ms = platform::TimeGetTime();
  const std::string path = LogPath();
  if (path.empty() || keep_existing) return;
  if (FILE* f = std::fopen(path.c_str(), "wb")) std::fclose(f);
}

void CoreLog(const char* text) {
  if (!text || text[0] == '\0') return;
  std::string out;
  if (!g_mid_line) {
    out += std::to_string(platform::TimeGetTime() - g_start_ms) + ":";
    out.append(static_cast<size_t>(g_indent), '\t');
  }
  std::string body;
  for (size_t i = 0; text[i] != '\0'; ++i) {
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) body += '\r';
    body += text[i];
  }
  out += body;
  g_mid_line = body.back() != '\n';
  Append(out);
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
  CoreLog(line.c_str());
}

void CoreLogIndent(int delta) {
  g_indent += delta;
  if (g_indent < 0) g_indent = 0;
}

void CoreLogAllocationDump() {
  CoreLog("\n");
  CoreLog("Alloc memory dump\n");
  CoreLog("\tTotal size:0(0.000kb)  Alloc num:0\n");
  CoreLog("\n");
}
