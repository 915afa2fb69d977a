#include "device3d_fixture.h"
#include "graphics/graphics_manager.h"
#include "graphics/vertex_queue.h"
#include "kesto/kesto.h"

namespace {

using namespace platform::video;
using namespace platform::video3d;
using Device3DTest = Direct3DGraphicsTest;

TEST_F(Device3DTest, StartUpChoosesTheDeviceAndFillsTheFormatSlots) {
  struct Case {
    const char* name;
    std::vector<PixelFormat> formats;
    uint32_t expected_alpha_masks[6];  // slots 0..5; 0 = RGB only
    uint32_t expected_bits[6];
  } cases[] = {
      {"all", Direct3DConfig().texture_formats,
       {0, 0, 0xF000, 0xFF000000u, 0x8000, 0xFF000000u},
       {16, 32, 16, 32, 16, 32}},
      // Without 32-bit formats the 16-bit ones serve.
      {"16 only", {Format565(), FormatA4R4G4B4(), FormatA1R5G5B5()},
       {0, 0, 0xF000, 0xF000, 0x8000, 0xF000},
       {16, 16, 16, 16, 16, 16}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Config3D().available = true;
    Config3D().texture_formats = c.formats;
    Start(false);
    ASSERT_GE(GetCurrentDevice3D(), 0);
    EXPECT_TRUE(Logged("Direct3D 関連の初期化は正常に終了しました"));
    for (int slot = 0; slot < 6; ++slot) {
      const PixelFormat* f = GetTextureFormatPixelFormat(slot);
      ASSERT_NE(f, nullptr) << slot;
      EXPECT_EQ(f->alpha_mask, c.expected_alpha_masks[slot]) << slot;
      EXPECT_EQ(f->bits, c.expected_bits[slot]) << slot;
    }
    EXPECT_EQ(D3D().kind, DeviceKind::kTnlHal);
    EXPECT_EQ(D3D().max_texture_size, 1024);
    StopDirectDraw();
    Reset3DForTesting();
  }
}

TEST_F(Device3DTest, WithoutADeviceFormatOrDepthEveryGraphicIsSoftware) {
  struct Case {
    const char* log;
    std::function<void(Direct3DConfig&)> change;
  } cases[] = {
      {"現在の画面モードで使用できる描画デバイスが見つかりませんでした",
       [](Direct3DConfig& c) { c.devices = {DeviceDesc{DeviceKind::kHal, kDepth32}}; }},
      {"現在の画面モードで使用できる描画デバイスが見つかりませんでした",
       [](Direct3DConfig& c) { c.devices = {DeviceDesc{DeviceKind::kSoftware}}; }},
      {"使用可能なＺバッファが見つかりませんでした",
       [](Direct3DConfig& c) { c.z_formats = {}; }},
      {"使用可能なテクスチャフォーマットが見つかりませんでした",
       [](Direct3DConfig& c) { c.texture_formats = {FormatX8R8G8B8(), FormatA8R8G8B8()}; }},
      {"３Ｄデバイスの作成に失敗しました",
       [](Direct3DConfig& c) { c.fail_create_device = true; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.log);
    Config3D().available = true;
    c.change(Config3D());
    ClearGfxLogLines();
    Start(false);
    EXPECT_TRUE(Logged(c.log));
    EXPECT_EQ(GetCurrentDevice3D(), -1);
    EXPECT_EQ(D3D().object, nullptr);
    const int g = MakeGraphic(8, 8, 1, 0);
    EXPECT_EQ(GetGraphicRecord(g)->texture, 0);
    StopDirectDraw();
    Reset3DForTesting();
  }
}

TEST_F(Device3DTest, StatesAreSentOnlyWhenTheyChangeAndAgainForEachScene) {
  StartGame();
  const int d = GetCurrentDevice3D();
  ASSERT_EQ(BeginSceneIfNeeded(), 0);
  ResetStats3D();
  SetBlendState3D(d, 2, 1);
  const uint64_t sent = Stats3D().render_state_sets + Stats3D().stage_state_sets;
  EXPECT_GT(sent, 0u);
  SetBlendState3D(d, 2, 1);
  SetColorKeyEnable(d, DeviceRecord(d)->color_key);
  SetTextureFilter3D(d, 0);
  EXPECT_EQ(Stats3D().render_state_sets + Stats3D().stage_state_sets, sent);
  EXPECT_EQ(SetTextureFilter3D(d, 2), -1);
  // A new scene sends every cached state once more.
  EndSceneIfBegun();
  ResetStats3D();
  BeginSceneIfNeeded();
  EXPECT_GE(Stats3D().render_state_sets, 10u);
  EXPECT_GE(Stats3D().stage_state_sets, 8u);
  Device& dev = *DeviceRecord(d)->device;
  EXPECT_EQ(dev.GetRenderState(kRsSrcBlend), kBlendSrcAlpha);
  EXPECT_EQ(dev.GetRenderState(kRsDestBlend), kBlendOne);
  EXPECT_EQ(dev.GetTextureStageState(0, kTssAlphaOp), kTopModulate);
  EXPECT_EQ(dev.GetRenderState(kRsCullMode), kCullNone);
}

TEST_F(Device3DTest, BlendModesSetTheirFactorsAndModeSixKeepsTheLastOnes) {
  StartGame();
  const int d = GetCurrentDevice3D();
  Device& dev = *DeviceRecord(d)->device;
  struct Case {
    int mode, alpha_source;
    uint32_t enable, src, dst, alpha_op;
  } cases[] = {
      {1, 0, 1, kBlendSrcAlpha, kBlendInvSrcAlpha, kTopSelectArg2},
      {3, 0, 1, kBlendInvDestColor, kBlendZero, kTopSelectArg2},
      {0, 1, 1, kBlendSrcAlpha, kBlendInvSrcAlpha, kTopModulate},  // not mode 3's
      {4, 0, 1, kBlendZero, kBlendSrcColor, kTopSelectArg2},
      {6, 0, 0, kBlendZero, kBlendSrcColor, kTopSelectArg2},
      {5, 1, 1, kBlendSrcAlpha, kBlendOne, kTopModulate},
  };
  for (const Case& c : cases) {
    SetBlendState3D(d, c.mode, c.alpha_source);
    EXPECT_EQ(dev.GetRenderState(kRsAlphaBlendEnable), c.enable) << c.mode;
    EXPECT_EQ(dev.GetRenderState(kRsSrcBlend), c.src) << c.mode;
    EXPECT_EQ(dev.GetRenderState(kRsDestBlend), c.dst) << c.mode;
    EXPECT_EQ(dev.GetTextureStageState(0, kTssAlphaOp), c.alpha_op) << c.mode;
  }
}

TEST_F(Device3DTest, QueuedQuadsDrawBeforeAStateChangeAndAtFiveHundred) {
  StartGame();
  const int d = GetCurrentDevice3D();
  const int white = PackRgbColorBody(255, 255, 255);
  ResetStats3D();
  for (int i = 0; i < 499; ++i) ASSERT_EQ(G_D3D_DrawFillBox(0, 0, 1, 1, white), 0);
  EXPECT_EQ(Stats3D().draw_calls, 0u);
  EXPECT_EQ(DeviceRecord(d)->queued, 499u * 6);
  ASSERT_EQ(G_D3D_DrawFillBox(0, 0, 1, 1, white), 0);
  EXPECT_EQ(Stats3D().draw_calls, 1u);
  EXPECT_EQ(Stats3D().triangles, 1000u);
  EXPECT_EQ(DeviceRecord(d)->queued, 0u);
  ASSERT_EQ(G_D3D_DrawFillBox(0, 0, 1, 1, white), 0);
  EXPECT_EQ(DeviceRecord(d)->queued, 6u);
  // The queued box is drawn under the states it was queued with.
  ASSERT_EQ(ChooseBlendModeBody(2, 255), 0);
  EXPECT_EQ(DeviceRecord(d)->queued, 6u);  // the cache changes at the next draw
  ASSERT_EQ(G_D3D_DrawFillBox(0, 0, 1, 1, white), 0);
  EXPECT_EQ(Stats3D().draw_calls, 2u);
  EXPECT_EQ(DeviceRecord(d)->queued, 6u);
  // Presenting flushes and closes the scene.
  ASSERT_EQ(PresentBackScreenBody(), 0);
  EXPECT_EQ(DeviceRecord(d)->queued, 0u);
  EXPECT_EQ(DeviceRecord(d)->scene_open, 0u);
  EXPECT_EQ(Stats3D().refused_outside_scene, 0u);
}

TEST_F(Device3DTest, FrontBufferDrawsEndTheirSceneEachTime) {
  StartGame();
  ASSERT_EQ(ChooseDrawTargetBody(KESTO_FRONT_SCREEN), 0);
  EXPECT_EQ(D3D().end_scene_each_draw, 1);
  ResetStats3D();
  const int red = PackRgbColorBody(255, 0, 0);
  ASSERT_EQ(PaintRectangleBody(10, 10, 20, 20, red, 1), 0);
  EXPECT_EQ(DeviceRecord(GetCurrentDevice3D())->scene_open, 0u);
  EXPECT_EQ(Stats3D().draw_calls, 1u);
  EXPECT_EQ(GetPrimarySurface()->ReadPixel(15, 15), static_cast<uint32_t>(red));
  ASSERT_EQ(ChooseDrawTargetBody(KESTO_BACK_SCREEN), 0);
  EXPECT_EQ(D3D().end_scene_each_draw, 0);
}

TEST_F(Device3DTest, InAWindowTheFrontBufferIsDrawnAtTheClientArea) {
  Config().desktop_bits = 16;
  StartWith3D(true);
  ASSERT_GE(GetCurrentDevice3D(), 0);
  ASSERT_EQ(ChooseDrawTargetBody(KESTO_FRONT_SCREEN), 0);
  const int green = PackRgbColorBody(0, 255, 0);
  ASSERT_EQ(PaintRectangleBody(0, 0, 10, 10, green, 1), 0);
  auto image = MakeImage(4, 4, [](int, int) { return 0xFFFF0000u; });
  const int g = Load(*image);
  ASSERT_EQ(BlitGraphicScaledRotatedBody(20, 20, 1.0, 0.0, g, 0, 0), 0);
  ASSERT_EQ(BlitGraphicToQuadBody(30, 30, 34, 31, 35, 35, 30, 34, g, 0), 0);
  Surface* primary = GetPrimarySurface();
  EXPECT_EQ(primary->ReadPixel(client_.left, client_.top), static_cast<uint32_t>(green));
  EXPECT_EQ(primary->ReadPixel(client_.left + 9, client_.top + 9), static_cast<uint32_t>(green));
  EXPECT_EQ(primary->ReadPixel(client_.left + 10, client_.top + 10), 0u);
  EXPECT_EQ(primary->ReadPixel(client_.left - 1, client_.top), 0u);
  const uint32_t red = static_cast<uint32_t>(PackRgbColorBody(255, 0, 0));
  EXPECT_EQ(primary->ReadPixel(client_.left + 18, client_.top + 18), red);
  EXPECT_EQ(primary->ReadPixel(client_.left + 32, client_.top + 32), red);
  EXPECT_EQ(primary->ReadPixel(32, 32), 0u);
  EXPECT_EQ(Stats3D().refused_outside_scene, 0u);
}

TEST_F(Device3DTest, DrawTargetsAGraphicCanAndCannotBe) {
  StartGame();
  const int red = PackRgbColorBody(255, 0, 0);
  // A render-target texture takes the draws.
  GetDrawState().draw_valid = 1;
  const int canvas = MakeGraphic(100, 60, 1, 0);
  GetDrawState().draw_valid = 0;
  ASSERT_EQ(GetGraphicRecord(canvas)->part_count, 1);
  ASSERT_EQ(ChooseDrawTargetBody(canvas), 0);
  ASSERT_EQ(PaintRectangleBody(0, 0, 100, 60, red, 1), 0);
  ASSERT_EQ(ChooseDrawTargetBody(KESTO_BACK_SCREEN), 0);
  const TexturePartRecord* part = GetTexturePartRecord(GetGraphicRecord(canvas)->parts[0]);
  Surface* tex = GetSurfaceRecord(part->texture)->surface;
  EXPECT_EQ(tex->ReadPixel(99, 59), static_cast<uint32_t>(red));
  EXPECT_EQ(tex->ReadPixel(100, 59), 0u);
  EXPECT_EQ(BackRgb(50, 30), 0u);
  // A sprite texture of several parts is no target: the back buffer stays.
  const int sheet = MakeGraphic(640, 100, 1, 0);
  ASSERT_EQ(GetGraphicRecord(sheet)->part_count, 4);
  ChooseDrawTargetBody(sheet);
  EXPECT_EQ(GetDrawTarget(), KESTO_BACK_SCREEN);
  // A system-memory 2D graphic: Direct3D draws do nothing until the target changes.
  SetUse3DFlag(0);
  GetDrawState().system_memory = 1;
  const int plain = MakeGraphic(16, 16, 1, 0);
  ASSERT_EQ(ChooseDrawTargetBody(plain), 0);
  EXPECT_EQ(D3D().target_not_renderable, 1);
  ResetStats3D();
  EXPECT_EQ(G_D3D_DrawGraph(0, 0, GetGraphicRecord(canvas), 0), 0);
  EXPECT_EQ(Stats3D().triangles + DeviceRecord(GetCurrentDevice3D())->queued, 0u);
  ASSERT_EQ(ChooseDrawTargetBody(KESTO_BACK_SCREEN), 0);
  EXPECT_EQ(D3D().target_not_renderable, 0);
}

TEST_F(Device3DTest, LostFullScreenDeviceComesBackWithItsTextures) {
  StartGame();
  auto image = MakeImage(32, 32, [](int x, int) { return x < 16 ? 0xFFFF0000u : 0xFF0000FFu; });
  const int g = Load(*image);
  const int part = GetGraphicRecord(g)->parts[0];
  SimulateDisplayLoss();
  EndDisplayLoss();
  ASSERT_EQ(RecoverGraphicsDevice(), 0);
  ASSERT_GE(GetCurrentDevice3D(), 0);
  EXPECT_NE(GetTexturePartRecord(part), nullptr);
  EXPECT_NE(GetSurfaceRecord(GetTexturePartRecord(part)->texture)->surface, nullptr);
  // Pixels come back through the reload of files; uploading again draws.
  ASSERT_EQ(UploadImagesToGraphic(0, 0, 0, "sprite", 0, &image->record, nullptr, 0, 0, g, 0), 0);
  ASSERT_EQ(ChooseDrawTargetBody(KESTO_BACK_SCREEN), 0);
  ASSERT_EQ(BlitGraphicAtBody(100, 100, g, 0), 0);
  EXPECT_EQ(BackRgb(100, 100), Screen(255, 0, 0));
  EXPECT_EQ(BackRgb(131, 131), Screen(0, 0, 255));
}

}  // namespace
