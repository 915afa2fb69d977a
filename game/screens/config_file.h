// The config file's reading, for tests and fuzzing without a file on disk.
#pragma once

#include "screens/config.h"
#include "screens/text_file.h"

// Reads the eleven values in file order into `config`; a value that is
// missing, not a number or out of range takes its fallback. Returns how many
// did.
int ReadConfigFrom(TextFileReader& in, GameConfig* config);
