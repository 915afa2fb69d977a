// Standard MIDI Files as the MIDI players see them: recognised, and timed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace platform::audio {

// The file's playing time in seconds from its division, tempo changes and
// last event, over all tracks. False for anything that is not a Standard
// MIDI File ("MThd", or RIFF "RMID" around one).
bool MidiFileLength(const uint8_t* data, size_t size, double* seconds);
// The Standard MIDI File inside a file (the file itself, or the data chunk
// of a RIFF "RMID" one); false when there is none.
bool FindStandardMidi(const uint8_t* data, size_t size, const uint8_t** smf, size_t* smf_size);
// The first tick of a Standard MIDI File at or after `seconds` (its last
// tick past the end).
bool MidiTickAtSeconds(const uint8_t* smf, size_t size, double seconds, uint64_t* tick);

// No track, MIDI or MP3, comes near this; a larger file is refused unread.
inline constexpr size_t kMaxMusicFileBytes = size_t{256} << 20;

// Reads a whole music file whose path may use backslashes (a regular file
// only, at most kMaxMusicFileBytes). False when it cannot; the cause goes to
// stderr unless the file is just missing.
bool ReadWholeFile(const std::string& path, std::vector<uint8_t>* bytes);

}  // namespace platform::audio
