// The progress file's reading, for tests and fuzzing without a file on disk.
#pragma once

#include "screens/save_data.h"
#include "screens/text_file.h"

// Reads the key and the 46 masked values into `data` (key and stored fields
// only). False at the first line that is missing, not a number or out of range,
// with its number (1-47) in `bad_line`; nothing after it is read.
bool ReadProgressFrom(TextFileReader& in, SaveData* data, int* bad_line);
