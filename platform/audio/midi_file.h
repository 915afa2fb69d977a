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

// Reads a whole file whose path may use backslashes. False when it cannot.
bool ReadWholeFile(const std::string& path, std::vector<uint8_t>* bytes);

}  // namespace platform::audio
