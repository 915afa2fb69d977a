// Vector span loops for 8-bit-per-channel texels into 8-bit-per-channel
// targets, the formats the game draws with in a window: colour and alpha
// modulated by the diffuse colour, then copied or source-alpha blended.
// They give the plain per-pixel loops' pixels and counts exactly.
#pragma once

#include <cstddef>
#include <cstdint>

namespace platform::video3d {

struct ArgbSpanRule {
  bool key_on = false;
  uint32_t key = 0, key_mask = 0;
  bool blend = false;           // source-alpha blending: pixels of alpha 0 are not written
  bool alpha_modulate = false;  // alpha is texel alpha x diffuse alpha, else the diffuse's
  bool opaque_texels = false;   // texels carry no alpha: read as 255
  int dr = 255, dg = 255, db = 255, da = 255;
};

struct ArgbTexture {
  const uint8_t* base;
  size_t pitch;
  int w, h;
};

// Both need AVX2: callers check the processor first.
// `count` pixels at dst from consecutive texels; returns the pixels written.
uint64_t ArgbRowUpright(const ArgbSpanRule& r, const uint8_t* texels, uint8_t* dst, int count);

// `count` pixels at dst without a texture: every texel white and opaque,
// never keyed.
uint64_t ArgbRowSolid(const ArgbSpanRule& r, uint8_t* dst, int count);

// `count` pixels at dst from texels at 16.16 coordinates s, t stepped by ds,
// dt per pixel, clamped to the texture. False when the coordinates or the
// texture are too large for the vector lanes; nothing is drawn then.
bool ArgbRowStepped(const ArgbSpanRule& r, const ArgbTexture& tex, uint8_t* dst, int count,
                    int64_t s, int64_t t, int64_t ds, int64_t dt, uint64_t* written);

}  // namespace platform::video3d
