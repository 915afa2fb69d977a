// Direct3D device operations not built yet: no device ever comes up.
#include "graphics/device3d_services.h"

int InitializeDirect3D() { return -1; }
int TerminateDirect3D() { return -1; }
int ReleaseDirect3D() { return -1; }
int ReacquireDirect3D() { return 0; }
int GetCurrentDevice3D() { return -1; }
int EndSceneIfBegun() { return 0; }
int FlushCurrentVertexBatch() { return 0; }
int SetDrawTarget3D(int) { return -1; }
int ClearDrawTarget3D() { return 0; }
int SetViewportFromArea(const platform::video::Rect&) { return 0; }
int SetCullMode3D(int) { return 0; }
int SyncRenderStatesStub() { return 0; }
int TextureFormatIndex(const SurfaceRecord&) { return -1; }
const platform::video::PixelFormat* GetTextureFormatPixelFormat(int) { return nullptr; }
const platform::video::PixelFormat* GetZBufferPixelFormat() { return nullptr; }
int MakeGraphicTextureParts(int) { return -1; }
int MakeSubGraphicTextureParts(int, int, int, int, int, int) { return -1; }
int DeleteGraphicTextureParts(int) { return 0; }
int FillTextureParts(int, int, int, int, int) { return -1; }
int RestoreGraphicTextureParts(int) { return 0; }
int GetTextureTargetSurfaceRecord(int) { return -1; }
