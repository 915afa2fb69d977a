// Writes arbitrary text (as a damaged file's name or contents may reach the
// log) through the application log and checks the line-feed conversion: every
// line feed before the first CR LF gains its CR, and nothing else changes.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "core/app_log.h"

namespace {

std::string g_dir;

void RemoveDir() {
  unlink((g_dir + "/AppLog.txt").c_str());
  rmdir(g_dir.c_str());
}

std::string Expected(const std::string& text) {
  std::string out;
  size_t i = 0;
  for (; i < text.size(); ++i) {
    if (text[i] == '\n') {
      if (i > 0 && text[i - 1] == '\r') break;
      out += '\r';
    }
    out += text[i];
  }
  return out + text.substr(i);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (g_dir.empty()) {
    char pattern[] = "/tmp/kesto-fuzz-log-XXXXXX";
    if (!mkdtemp(pattern)) return 0;
    g_dir = pattern;
    std::atexit(RemoveDir);
  }
  const std::string& dir = g_dir;
  // The text ends at the first NUL, as the log reads it.
  std::string text(reinterpret_cast<const char*>(data), size);
  text = text.c_str();

  GetAppLogState().stamps_off = 1;
  SetLogFolderPath(dir.c_str());
  InitAppLog();
  WriteLog(text.c_str());
  std::ifstream in(dir + "/AppLog.txt", std::ios::binary);
  std::ostringstream got;
  got << in.rdbuf();
  if (got.str() != Expected(text)) {
    std::fprintf(stderr, "log_text: converted text differs\n");
    std::abort();
  }
  return 0;
}
