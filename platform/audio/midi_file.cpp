#include "platform/audio/midi_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>

#include "platform/file_system.h"

namespace platform::audio {

namespace {

uint32_t Be32(const uint8_t* p) {
  return (static_cast<uint32_t>(p[0]) << 24) | (static_cast<uint32_t>(p[1]) << 16) |
         (static_cast<uint32_t>(p[2]) << 8) | p[3];
}

uint32_t Le32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

// A variable-length quantity; false past the end.
bool ReadVarLen(const uint8_t* p, size_t end, size_t* at, uint32_t* value) {
  uint32_t v = 0;
  for (int i = 0; i < 4; ++i) {
    if (*at >= end) return false;
    const uint8_t b = p[(*at)++];
    v = (v << 7) | (b & 0x7F);
    if ((b & 0x80) == 0) {
      *value = v;
      return true;
    }
  }
  return false;
}

// One track: its end in ticks, and its tempo changes. A damaged track ends
// where the damage starts.
uint64_t WalkTrack(const uint8_t* p, size_t end, std::map<uint64_t, uint32_t>* tempos) {
  size_t at = 0;
  uint64_t tick = 0;
  uint8_t running = 0;
  while (at < end) {
    uint32_t delta = 0;
    if (!ReadVarLen(p, end, &at, &delta) || at >= end) break;
    tick += delta;
    uint8_t status = p[at];
    if (status & 0x80) {
      ++at;
    } else if (running == 0) {
      break;
    } else {
      status = running;
    }
    if (status == 0xFF) {
      if (at >= end) break;
      const uint8_t type = p[at++];
      uint32_t length = 0;
      if (!ReadVarLen(p, end, &at, &length) || length > end - at) break;
      if (type == 0x51 && length == 3) {
        const uint32_t tempo = (static_cast<uint32_t>(p[at]) << 16) | (p[at + 1] << 8) | p[at + 2];
        if (tempo > 0) (*tempos)[tick] = tempo;
      }
      at += length;
      if (type == 0x2F) break;
    } else if (status == 0xF0 || status == 0xF7) {
      uint32_t length = 0;
      if (!ReadVarLen(p, end, &at, &length) || length > end - at) break;
      at += length;
    } else {
      running = status;
      const uint8_t kind = status & 0xF0;
      const size_t data = (kind == 0xC0 || kind == 0xD0) ? 1 : 2;
      if (data > end - at) break;
      at += data;
    }
  }
  return tick;
}

}  // namespace

namespace {

// A Standard MIDI File's timing: its division, its tempo changes and its
// last tick over all tracks.
struct MidiTiming {
  uint16_t division = 0;
  std::map<uint64_t, uint32_t> tempos;
  uint64_t last = 0;
};

bool ReadTiming(const uint8_t* data, size_t size, MidiTiming* timing) {
  if (size < 14 || std::memcmp(data, "MThd", 4) != 0 || Be32(data + 4) < 6) return false;
  const uint32_t header = Be32(data + 4);
  const uint32_t tracks = (data[10] << 8) | data[11];
  timing->division = static_cast<uint16_t>((data[12] << 8) | data[13]);
  if (timing->division == 0) return false;
  size_t at = 8 + static_cast<size_t>(std::min<uint32_t>(header, static_cast<uint32_t>(size)));
  for (uint32_t t = 0; t < tracks && at + 8 <= size; ++t) {
    const uint32_t length = Be32(data + at + 4);
    const size_t body = at + 8;
    const size_t body_end = body + std::min<size_t>(length, size - body);
    if (std::memcmp(data + at, "MTrk", 4) == 0) {
      timing->last =
          std::max(timing->last, WalkTrack(data + body, body_end - body, &timing->tempos));
    }
    at = body_end;
  }
  if (timing->division & 0x8000) {
    const int fps = -static_cast<int8_t>(timing->division >> 8);
    if (fps <= 0 || (timing->division & 0xFF) == 0) return false;
  }
  return true;
}

// Seconds at a tick.
double SecondsAt(const MidiTiming& timing, uint64_t at) {
  if (timing.division & 0x8000) {
    const int fps = -static_cast<int8_t>(timing.division >> 8);
    return static_cast<double>(at) / (fps * (timing.division & 0xFF));
  }
  double total = 0;
  uint64_t tick = 0;
  uint32_t tempo = 500000;
  for (const auto& [at_tick, next_tempo] : timing.tempos) {
    if (at_tick >= at) break;
    total += static_cast<double>(at_tick - tick) * tempo / timing.division / 1e6;
    tick = at_tick;
    tempo = next_tempo;
  }
  return total + static_cast<double>(at - tick) * tempo / timing.division / 1e6;
}

}  // namespace

bool FindStandardMidi(const uint8_t* data, size_t size, const uint8_t** smf, size_t* smf_size) {
  if (data == nullptr) return false;
  if (size >= 20 && std::memcmp(data, "RIFF", 4) == 0 && std::memcmp(data + 8, "RMID", 4) == 0) {
    // The SMF sits in the "data" chunk.
    size_t at = 12;
    while (at + 8 <= size) {
      const uint32_t length = Le32(data + at + 4);
      if (std::memcmp(data + at, "data", 4) == 0) {
        return FindStandardMidi(data + at + 8, std::min<size_t>(length, size - at - 8), smf,
                                smf_size);
      }
      at += 8 + static_cast<size_t>(length) + (length & 1);
    }
    return false;
  }
  if (size < 14 || std::memcmp(data, "MThd", 4) != 0) return false;
  *smf = data;
  *smf_size = size;
  return true;
}

bool MidiFileLength(const uint8_t* data, size_t size, double* seconds) {
  const uint8_t* smf = nullptr;
  size_t smf_size = 0;
  MidiTiming timing;
  if (!FindStandardMidi(data, size, &smf, &smf_size) || !ReadTiming(smf, smf_size, &timing))
    return false;
  *seconds = SecondsAt(timing, timing.last);
  return true;
}

bool MidiTickAtSeconds(const uint8_t* smf, size_t size, double seconds, uint64_t* tick) {
  MidiTiming timing;
  if (!ReadTiming(smf, size, &timing)) return false;
  // The first tick at or after the time, found by halving the piece.
  uint64_t low = 0, high = timing.last;
  while (low < high) {
    const uint64_t mid = low + (high - low) / 2;
    if (SecondsAt(timing, mid) < seconds) {
      low = mid + 1;
    } else {
      high = mid;
    }
  }
  *tick = low;
  return true;
}

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>* bytes) {
  const int error = platform::ReadWholeFile(path.c_str(), kMaxMusicFileBytes, bytes);
  if (error == 0) return true;
  // A missing track is the library's to report; anything else names its cause.
  if (error != ENOENT) {
    std::fprintf(stderr, "kesto: music file %s: cannot be read (%s)\n", path.c_str(),
                 platform::FileErrorText(error).c_str());
  }
  return false;
}

}  // namespace platform::audio
