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

bool MidiFileLength(const uint8_t* data, size_t size, double* seconds) {
  if (data == nullptr) return false;
  if (size >= 20 && std::memcmp(data, "RIFF", 4) == 0 && std::memcmp(data + 8, "RMID", 4) == 0) {
    // The SMF sits in the "data" chunk.
    size_t at = 12;
    while (at + 8 <= size) {
      const uint32_t length = Le32(data + at + 4);
      if (std::memcmp(data + at, "data", 4) == 0) {
        return MidiFileLength(data + at + 8, std::min<size_t>(length, size - at - 8), seconds);
      }
      at += 8 + static_cast<size_t>(length) + (length & 1);
    }
    return false;
  }
  if (size < 14 || std::memcmp(data, "MThd", 4) != 0 || Be32(data + 4) < 6) return false;
  const uint32_t header = Be32(data + 4);
  const uint32_t tracks = (data[10] << 8) | data[11];
  const uint16_t division = static_cast<uint16_t>((data[12] << 8) | data[13]);
  if (division == 0) return false;
  std::map<uint64_t, uint32_t> tempos;
  uint64_t last = 0;
  size_t at = 8 + static_cast<size_t>(std::min<uint32_t>(header, static_cast<uint32_t>(size)));
  for (uint32_t t = 0; t < tracks && at + 8 <= size; ++t) {
    const uint32_t length = Be32(data + at + 4);
    const size_t body = at + 8;
    const size_t body_end = body + std::min<size_t>(length, size - body);
    if (std::memcmp(data + at, "MTrk", 4) == 0) {
      last = std::max(last, WalkTrack(data + body, body_end - body, &tempos));
    }
    at = body_end;
  }
  if (division & 0x8000) {
    // SMPTE: frames per second and ticks per frame.
    const int fps = -static_cast<int8_t>(division >> 8);
    const int per_frame = division & 0xFF;
    if (fps <= 0 || per_frame == 0) return false;
    *seconds = static_cast<double>(last) / (fps * per_frame);
    return true;
  }
  double total = 0;
  uint64_t tick = 0;
  uint32_t tempo = 500000;
  for (const auto& [at_tick, next_tempo] : tempos) {
    if (at_tick >= last) break;
    total += static_cast<double>(at_tick - tick) * tempo / division / 1e6;
    tick = at_tick;
    tempo = next_tempo;
  }
  total += static_cast<double>(last - tick) * tempo / division / 1e6;
  *seconds = total;
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
