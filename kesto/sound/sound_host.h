// What the sound layer uses of the rest of the library: the log, tracked
// memory, the fatal exit, one pass of the message pump and the main window.
// Each goes through one replaceable hook, so tests can record and steer them.
#pragma once

#include <cstddef>
#include <functional>

struct SoundHost {
  std::function<void(const char* text)> log;        // written unchanged
  std::function<void(int delta)> indent;             // log indent +1 / -1
  std::function<void(const char* message)> fatal;    // normally never returns
  std::function<int()> pump;                         // 0, or -1 once quitting
  std::function<void*()> main_window;
};

// The hooks in use; SetSoundHostForTesting(nullptr) restores the library's.
SoundHost& CurrentSoundHost();
void SetSoundHostForTesting(const SoundHost* host);

void SoundLog(const char* text);
// Formats into 1024 bytes and adds a line feed.
void SoundLogFormat(const char* format, ...) __attribute__((format(printf, 1, 2)));
void SoundLogIndent(int delta);
// Logs, runs the end sequence and ends the process. Returns only when a test
// hooked it; callers then fail the operation.
void SoundFatal(const char* message);
int SoundPumpPass();
void* SoundMainWindow();

// Tracked memory of the sound layer: contents not cleared.
void* SoundAlloc(size_t bytes, int line);
void SoundFree(void* block);
// Blocks currently allocated, for leak checks.
long SoundLiveBlocks();
