// Types of the Direct3D-7-like device stand-in: pre-transformed vertices,
// render and texture-stage state names with their values, the viewport,
// device descriptions and the extra pixel-format flags enumeration reports.
#pragma once

#include <cstdint>

#include "platform/video/video_types.h"

namespace platform::video3d {

using video::Result;

constexpr Result kErrSceneNotInScene = static_cast<Result>(0x88760B4Bu);
constexpr Result kErrSceneInScene = static_cast<Result>(0x88760B4Au);
constexpr Result kErrInvalidPrimitive = static_cast<Result>(0x887602BCu);
constexpr Result kErrInvalidVertexFormat = static_cast<Result>(0x88760806u);

// Pixel-format flags beyond the display stand-in's.
constexpr uint32_t kPfAlphaOnly = 0x2;
constexpr uint32_t kPfStencil = 0x4000;
constexpr uint32_t kPfLuminance = 0x20000;
constexpr uint32_t kPfBumpLuminance = 0x40000;
constexpr uint32_t kPfBumpDuDv = 0x80000;

// Position with reciprocal w, diffuse colour, one texture coordinate set.
constexpr uint32_t kFvfTransformedTextured = 0x144;

struct TLVertex {
  float x, y, z, rhw;
  uint32_t diffuse;
  float u, v;
};
static_assert(sizeof(TLVertex) == 28);

enum class Primitive { kTriangleList = 4, kTriangleStrip = 5 };

// Render states (the subset the library sets; others are stored only).
enum RenderState : int {
  kRsTexturePerspective = 4,
  kRsZEnable = 7,
  kRsShadeMode = 9,
  kRsLastPixel = 16,
  kRsSrcBlend = 19,
  kRsDestBlend = 20,
  kRsCullMode = 22,
  kRsDitherEnable = 26,
  kRsAlphaBlendEnable = 27,
  kRsColorKeyEnable = 41,
  kRsLighting = 137,
  kRsColorKeyBlendEnable = 144,
  kRenderStateCount = 256,
};

enum TextureStageState : int {
  kTssColorOp = 1,
  kTssColorArg1 = 2,
  kTssColorArg2 = 3,
  kTssAlphaOp = 4,
  kTssAlphaArg1 = 5,
  kTssAlphaArg2 = 6,
  kTssAddress = 12,
  kTssAddressU = 13,
  kTssAddressV = 14,
  kTssMagFilter = 16,
  kTssMinFilter = 17,
  kStageStateCount = 32,
};

// Stage operations and arguments.
constexpr uint32_t kTopDisable = 1;
constexpr uint32_t kTopSelectArg1 = 2;
constexpr uint32_t kTopSelectArg2 = 3;
constexpr uint32_t kTopModulate = 4;
constexpr uint32_t kTaDiffuse = 0;
constexpr uint32_t kTaCurrent = 1;
constexpr uint32_t kTaTexture = 2;

// Blend factors.
constexpr uint32_t kBlendZero = 1;
constexpr uint32_t kBlendOne = 2;
constexpr uint32_t kBlendSrcColor = 3;
constexpr uint32_t kBlendInvSrcColor = 4;
constexpr uint32_t kBlendSrcAlpha = 5;
constexpr uint32_t kBlendInvSrcAlpha = 6;
constexpr uint32_t kBlendDestAlpha = 7;
constexpr uint32_t kBlendInvDestAlpha = 8;
constexpr uint32_t kBlendDestColor = 9;
constexpr uint32_t kBlendInvDestColor = 10;

constexpr uint32_t kCullNone = 1;
constexpr uint32_t kCullCw = 2;
constexpr uint32_t kCullCcw = 3;

constexpr uint32_t kShadeFlat = 1;
constexpr uint32_t kAddressWrap = 1;
constexpr uint32_t kAddressClamp = 3;
constexpr uint32_t kFilterPoint = 1;
constexpr uint32_t kFilterLinear = 2;

struct Viewport {
  uint32_t x = 0, y = 0, width = 0, height = 0;
  float min_z = 0.0f, max_z = 1.0f;
};

// Device kinds enumeration reports.
enum class DeviceKind { kSoftware, kHal, kTnlHal };

// Render bit depths.
constexpr uint32_t kDepth16 = 0x400;
constexpr uint32_t kDepth32 = 0x100;
// Triangle texture caps.
constexpr uint32_t kTexCapsPow2 = 0x2;
constexpr uint32_t kTexCapsSquareOnly = 0x20;

struct DeviceDesc {
  DeviceKind kind = DeviceKind::kHal;
  uint32_t render_depths = kDepth16 | kDepth32;
  uint32_t texture_caps = kTexCapsPow2;
  int min_texture_width = 1, min_texture_height = 1;
  int max_texture_width = 1024, max_texture_height = 1024;
};

}  // namespace platform::video3d
