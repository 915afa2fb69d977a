// One overview picture of every sheet, scaled down, with its cell grid
// and file name, for reviewing the art at a glance.
#pragma once

#include <cstdint>
#include <vector>

std::vector<uint8_t> EncodeContactSheet();
