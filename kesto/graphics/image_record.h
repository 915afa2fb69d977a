// Decoded images: the limits every loader keeps to, the allocation of their
// pixels, the check of a loader's output, and the operations on a record.
#pragma once

#include <cstdint>

#include "graphics/surface_upload.h"

// Widths and heights are kept in 16 bits by the graphics that hold them.
constexpr int64_t kMaxImageSide = 65535;
// No decoded image, nor any buffer a loader reads a file into, is larger:
// room for a 4096 x 4096 picture of 32 bits, far above the game's sheets,
// and small enough that a tiny hostile file cannot make a load take long.
constexpr uint64_t kMaxImageBytes = 64ull << 20;

// Source names of tracked memory: the library's own decoders, and the
// decoders built on libpng and libjpeg.
inline constexpr char kGraphicsSource[] = "KsGraphics";
inline constexpr char kClibSource[] = "KsUseCLib";

// Are width and height 1..65535 and rows x pitch within kMaxImageBytes?
// Products are taken in 64 bits.
bool ImageSizeAllowed(int64_t width, int64_t height, int64_t pitch);
// Zeroed pixel memory of a checked size; null when refused.
uint8_t* AllocImagePixels(uint64_t bytes, const char* source);
void FreeImagePixels(void* pixels);

// Does a filled record hold what its format says: 8, 16, 24 or 32 bits with
// matching bytes per pixel, channels inside the pixel (8-bit palette images
// address 32-bit palette entries), a size within the limits, a pitch that
// holds a row, and pixels?
bool IsImageRecordUsable(const ImageRecord& image);

// The unused-bits mask of a format: the pixel's bits that no channel has.
void CompleteImageFormat(ColorFormatHeader* format);

// Frees the pixels and zeroes the whole record.
int ReleaseImageRecord(ImageRecord* image);
// Mirrors every row left to right in place; -1 for a zero width or height.
int MirrorImageRows(ImageRecord* image);

// Standard layouts of decoded images.
void SetGreyImageFormat(ColorFormatHeader* format);     // one byte: colour and alpha alike
void SetArgb32ImageFormat(ColorFormatHeader* format);   // standard 24-bit plus alpha at 24
