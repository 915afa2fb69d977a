// Reading a whole input file the user named, without trusting what it is.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

// Reads a regular file of at most `limit` bytes into *bytes. A folder, a
// FIFO, a device, a file too large or a failed read gives false and a
// short reason in *error.
bool ReadWholeRegularFile(const std::filesystem::path& file, uintmax_t limit, std::string* bytes,
                          std::string* error);
