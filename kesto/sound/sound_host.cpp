#include "sound/sound_host.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>

#include "core/app_log.h"
#include "core/entry_bodies.h"
#include "core/startup.h"
#include "core/tracked_memory.h"
#include "core/window_state.h"

namespace {

std::atomic<long> g_live_blocks{0};

SoundHost DefaultHost() {
  SoundHost host;
  host.log = [](const char* text) { WriteLog(text); };
  host.indent = [](int delta) { delta > 0 ? IncreaseLogIndent() : DecreaseLogIndent(); };
  host.fatal = [](const char* message) { ExitWithError(message); };
  host.pump = [] { return PumpFrameMessagesBody(); };
  host.main_window = []() -> void* { return ReadMainWindowHandle(); };
  return host;
}

SoundHost& Host() {
  static SoundHost host = DefaultHost();
  return host;
}

}  // namespace

SoundHost& CurrentSoundHost() { return Host(); }

void SetSoundHostForTesting(const SoundHost* host) {
  SoundHost fallback = DefaultHost();
  Host() = fallback;
  if (host == nullptr) return;
  if (host->log) Host().log = host->log;
  if (host->indent) Host().indent = host->indent;
  if (host->fatal) Host().fatal = host->fatal;
  if (host->pump) Host().pump = host->pump;
  if (host->main_window) Host().main_window = host->main_window;
}

void SoundLog(const char* text) { Host().log(text); }

void SoundLogFormat(const char* format, ...) {
  char buffer[1024];
  va_list args;
  va_start(args, format);
  std::vsnprintf(buffer, sizeof(buffer) - 1, format, args);
  va_end(args);
  buffer[sizeof(buffer) - 2] = '\0';
  size_t n = 0;
  while (buffer[n] != '\0') ++n;
  buffer[n] = '\n';
  buffer[n + 1] = '\0';
  Host().log(buffer);
}

void SoundLogIndent(int delta) { Host().indent(delta); }
void SoundFatal(const char* message) { Host().fatal(message); }
int SoundPumpPass() { return Host().pump(); }
void* SoundMainWindow() { return Host().main_window(); }

void* SoundAlloc(size_t bytes, int line) {
  if (bytes > 0xFFFFFFFFu) return nullptr;
  void* block = AllocTracked(static_cast<uint32_t>(bytes), "KsSound", static_cast<int16_t>(line));
  if (block != nullptr) ++g_live_blocks;
  return block;
}

void SoundFree(void* block) {
  if (block == nullptr) return;
  --g_live_blocks;
  FreeTracked(block);
}

long SoundLiveBlocks() { return g_live_blocks.load(); }
