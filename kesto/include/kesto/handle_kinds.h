// Resource handles: a negative value is never valid and -1 is the general
// failure result. Bits 0-15 are the slot, bits 16-26 a check counter that
// wraps after 2047, bits 27-30 the kind below.
#pragma once

#include <cstdint>

using ResourceHandle = int32_t;

// Kind bits (handle AND 0x78000000).
namespace handle_kind {
constexpr uint32_t kGraphic = 0x08000000u;
constexpr uint32_t kSound = 0x10000000u;
constexpr uint32_t kMovie = 0x18000000u;
constexpr uint32_t kFont = 0x20000000u;
constexpr uint32_t kSurface2D = 0x28000000u;
constexpr uint32_t kTexturePart = 0x30000000u;
constexpr uint32_t kSurface = 0x38000000u;
constexpr uint32_t kNetwork = 0x48000000u;
constexpr uint32_t kKeyInput = 0x50000000u;
constexpr uint32_t kMusic = 0x58000000u;

constexpr uint32_t kMask = 0x78000000u;
}  // namespace handle_kind

// Slots per table.
namespace handle_limit {
constexpr int kGraphic = 30000;
constexpr int kSound = 4096;
constexpr int kMovie = 100;
constexpr int kFont = 40;
constexpr int kSurface2D = 30000;
constexpr int kTexturePart = 65535;
constexpr int kSurface = 65535;
constexpr int kBufferSlot = 512;
constexpr int kNetwork = 256;
constexpr int kKeyInput = 20;
constexpr int kMusic = 256;
}  // namespace handle_limit
