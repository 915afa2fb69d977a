// The Direct3D device, texture parts and vertex queue as the screen, surface
// and graphic-table code calls them. Until the device is built every call
// reports that no device exists, and graphics use 2D surfaces.
#pragma once

#include <cstdint>

#include "platform/video/direct_draw.h"

int InitializeDirect3D();
int TerminateDirect3D();
int ReleaseDirect3D();
int ReacquireDirect3D();
// Index of the current device, or -1.
int GetCurrentDevice3D();
int EndSceneIfBegun();
int FlushCurrentVertexBatch();
int SetDrawTarget3D(int target);
int ClearDrawTarget3D();
int SetViewportFromArea(const platform::video::Rect& area);
int SetCullMode3D(int on);
int SyncRenderStatesStub();

// Texture formats: slot for a record's settings, its pixel format, and the
// Z-buffer format.
struct SurfaceRecord;
int TextureFormatIndex(const SurfaceRecord& record);
const platform::video::PixelFormat* GetTextureFormatPixelFormat(int slot);
const platform::video::PixelFormat* GetZBufferPixelFormat();

// Texture parts of texture graphics.
int MakeGraphicTextureParts(int graphic);
int MakeSubGraphicTextureParts(int graphic, int x, int y, int width, int height, int parent);
int DeleteGraphicTextureParts(int graphic);
int FillTextureParts(int graphic, int red, int green, int blue, int alpha);
int RestoreGraphicTextureParts(int graphic);
// The surface record a texture graphic draws into as a target, or -1.
int GetTextureTargetSurfaceRecord(int graphic);
