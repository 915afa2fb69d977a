#include "graphics/vertex_queue.h"

#include "device3d_fixture.h"

namespace {

using namespace platform::video;
using namespace platform::video3d;
using VertexQueueTest = Direct3DGraphicsTest;

// Texel (x, y) of these sprites is (x * 8, y * 8, 0x40): every pixel tells
// where it came from.
uint32_t Ramp(int x, int y) {
  return 0xFF000040u | static_cast<uint32_t>((x * 8) << 16 | (y * 8) << 8);
}

Device3DRecord& Dev() { return *CurrentDeviceRecord(); }

TEST_F(VertexQueueTest, RotatedDrawsCentreAsTheTableSays) {
  StartGame();
  struct Case {
    int w, h;
    double scale;
    float x0, y0;  // top-left vertex for a draw centred at (100, 100)
  } cases[] = {
      {32, 32, 1.0, 83.5f, 83.5f},  // centre (16, 16), origin (99.5, 99.5)
      {32, 31, 1.0, 84.5f, 84.5f},  // centre (15.5, 15.5), origin (100, 100)
      {31, 31, 1.0, 84.5f, 84.5f}, {31, 32, 1.0, 84.5f, 84.5f},
      {32, 32, 2.0, 67.5f, 67.5f},  // centre (16, 16), origin (99.5, 99.5)
      {31, 31, 2.0, 68.5f, 68.5f},
  };
  for (const Case& c : cases) {
    const int g = MakeGraphic(c.w, c.h, 1, 0);
    ASSERT_EQ(G_D3D_DrawRotaGraph(100, 100, c.scale, 0.0, GetGraphicRecord(g), 0, 0), 0);
    ASSERT_GE(Dev().queued, 6u);
    const TLVertex& v = Dev().queue[Dev().queued - 6];
    EXPECT_FLOAT_EQ(v.x, c.x0) << c.w << "x" << c.h << " at " << c.scale;
    EXPECT_FLOAT_EQ(v.y, c.y0) << c.w << "x" << c.h << " at " << c.scale;
  }
  EXPECT_EQ(
      G_D3D_DrawRotaGraph(100, 100, 0.0, 0.0, GetGraphicRecord(MakeGraphic(4, 4, 1, 0)), 0, 0), -1);
}

TEST_F(VertexQueueTest, RunsOfSpritesFromOneSheetShareOneBatchAndItsStates) {
  StartGame();
  const int a = Load(*MakeImage(16, 16, Ramp)), b = Load(*MakeImage(16, 16, Ramp));
  ASSERT_EQ(ChooseBlendModeBody(1, 255), 0);
  ASSERT_EQ(BlitGraphicScaledRotatedBody(50, 50, 1.0, 0.3, a, 1, 0), 0);
  ResetStats3D();
  for (int run = 0; run < 3; ++run) {
    for (int i = 0; i < 10; ++i) {
      ASSERT_EQ(BlitGraphicScaledRotatedBody(40 + 20 * i, 100 + 40 * run, 1.0, 0.1 * i,
                                             run == 1 ? b : a, 1, 0),
                0);
    }
  }
  // Only the texture changes between the runs, and each change draws the
  // run queued before it.
  EXPECT_EQ(Stats3D().texture_sets, 2u);
  EXPECT_EQ(Stats3D().render_state_sets + Stats3D().stage_state_sets, 0u);
  EXPECT_EQ(Stats3D().draw_calls, 2u);
  EXPECT_EQ(Stats3D().triangles, 2u * 21);
  EXPECT_EQ(Dev().queued, 60u);
  // A new blend mode is sent once and draws what was queued under the old.
  ASSERT_EQ(ChooseBlendModeBody(2, 255), 0);
  ASSERT_EQ(BlitGraphicScaledRotatedBody(50, 50, 1.0, 0.0, a, 1, 0), 0);
  ASSERT_EQ(BlitGraphicScaledRotatedBody(70, 50, 1.0, 0.0, a, 1, 0), 0);
  EXPECT_EQ(Stats3D().draw_calls, 3u);
  EXPECT_GT(Stats3D().render_state_sets, 0u);
  EXPECT_EQ(Dev().queued, 12u);
  EXPECT_EQ(DeviceRecord(GetCurrentDevice3D())->device->GetRenderState(kRsDestBlend), kBlendOne);
}

TEST_F(VertexQueueTest, UnturnedDrawsPlaceEveryTexelWhereThePlainDrawDoes) {
  StartGame(32);  // exact texels
  auto even = MakeImage(32, 32, Ramp);
  auto odd = MakeImage(31, 31, Ramp);
  for (const auto* image : {even.get(), odd.get()}) {
    const int g = Load(*image);
    const int w = image->record.width;
    ASSERT_EQ(EraseTargetScreenBody(), 0);
    // The plain draw of a sprite centred on (100, 100).
    ASSERT_EQ(BlitGraphicAtBody(100 - w / 2, 100 - w / 2, g, 0), 0);
    std::vector<uint32_t> plain;
    for (int y = 80; y < 120; ++y)
      for (int x = 80; x < 120; ++x) plain.push_back(BackRgb(x, y));
    ASSERT_EQ(EraseTargetScreenBody(), 0);
    ASSERT_EQ(BlitGraphicScaledRotatedBody(100, 100, 1.0, 0.0, g, 0, 0), 0);
    size_t i = 0;
    for (int y = 80; y < 120; ++y)
      for (int x = 80; x < 120; ++x, ++i)
        ASSERT_EQ(BackRgb(x, y), plain[i]) << w << ": " << x << "," << y;
    // Stretching by exactly 2 repeats each texel twice.
    ASSERT_EQ(EraseTargetScreenBody(), 0);
    ASSERT_EQ(G_D3D_DrawExtendGraph(10, 10, 10 + 2 * w, 10 + 2 * w, GetGraphicRecord(g), 0), 0);
    for (int t = 0; t < w; ++t) {
      EXPECT_EQ(BackRgb(10 + 2 * t, 12), BackRgb(11 + 2 * t, 12));
      EXPECT_EQ(BackRgb(10 + 2 * t, 12), Screen(t * 8, 8, 0x40)) << t;
    }
  }
}

TEST_F(VertexQueueTest, PlainDrawsClipToTheDrawAreaTexelExactly) {
  StartGame(32);  // exact texels
  const int g = Load(*MakeImage(16, 16, Ramp));
  ApplyDrawArea(10, 10, 30, 30);
  ASSERT_EQ(BlitGraphicAtBody(6, 25, g, 0), 0);
  EXPECT_EQ(BackRgb(10, 25), Screen(4 * 8, 0, 0x40));  // texel (4, 0)
  EXPECT_EQ(BackRgb(21, 29), Screen(15 * 8, 4 * 8, 0x40));
  EXPECT_EQ(BackRgb(9, 25), 0u);
  EXPECT_EQ(BackRgb(15, 30), 0u);
  // Wholly outside the area: every part collapses and nothing is queued.
  const uint32_t queued = Dev().queued;
  ASSERT_EQ(BlitGraphicAtBody(-40, 12, g, 0), 0);
  EXPECT_EQ(Dev().queued, queued);
}

TEST_F(VertexQueueTest, MirroredStretchesSwapTheirMiddleVertices) {
  StartGame(32);  // exact texels
  const int g = Load(*MakeImage(16, 8, Ramp));
  ASSERT_EQ(G_D3D_DrawExtendGraph(48, 0, 16, 16, GetGraphicRecord(g), 0), 0);
  const TLVertex* q = Dev().queue + Dev().queued - 6;
  EXPECT_FLOAT_EQ(q[1].x, 47.5f);  // the graphic's bottom-left corner
  EXPECT_FLOAT_EQ(q[2].x, 15.5f);  // and its top-right one
  EXPECT_EQ(BackRgb(16, 0), Screen(15 * 8, 0, 0x40));
  EXPECT_EQ(BackRgb(47, 15), Screen(0, 7 * 8, 0x40));
  EXPECT_EQ(G_D3D_DrawExtendGraph(5, 5, 5, 20, GetGraphicRecord(g), 0), -1);
}

TEST_F(VertexQueueTest, FourCornersTakeTheCheapestShapeThatFits) {
  StartGame(32);  // exact texels
  const int one = Load(*MakeImage(32, 32, Ramp));
  const int four = MakeGraphic(640, 100, 1, 0);  // 2 x 2 parts
  ASSERT_EQ(GetGraphicRecord(four)->part_count, 4);
  struct Case {
    const char* name;
    int graphic;
    int corners[8];  // top-left, top-right, bottom-left, bottom-right
    uint64_t quads, grid_draws, grid_triangles;
  } cases[] = {
      {"upright", one, {10, 10, 42, 10, 10, 42, 42, 42}, 1, 0, 0},
      {"parallelogram", one, {10, 10, 42, 14, 14, 42, 46, 46}, 1, 0, 0},
      {"parallelogram of parts", four, {10, 10, 650, 20, 20, 110, 660, 120}, 4, 0, 0},
      {"trapezoid", one, {10, 10, 42, 10, 0, 42, 52, 42}, 0, 1, 98},
      {"trapezoid of parts", four, {10, 10, 650, 10, 0, 110, 660, 110}, 0, 4, 4 * 98},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FlushCurrentVertexBatch();
    ResetStats3D();
    const int* p = c.corners;
    ASSERT_EQ(G_D3D_DrawModiGraph(p[0], p[1], p[2], p[3], p[4], p[5], p[6], p[7],
                                  GetGraphicRecord(c.graphic), 0),
              0);
    FlushCurrentVertexBatch();
    EXPECT_EQ(Stats3D().indexed_draw_calls, c.grid_draws);
    EXPECT_EQ(Stats3D().triangles, 2 * c.quads + c.grid_triangles);
  }
  // The grid is texel-true at its corners.
  ASSERT_EQ(EraseTargetScreenBody(), 0);
  ASSERT_EQ(G_D3D_DrawModiGraph(100, 100, 132, 100, 90, 132, 142, 132, GetGraphicRecord(one), 0),
            0);
  EXPECT_EQ(BackRgb(100, 100), Screen(0, 0, 0x40));
  EXPECT_EQ(BackRgb(140, 131), Screen(31 * 8, 31 * 8, 0x40));
}

TEST_F(VertexQueueTest, FilledBoxesMixTheColourWithTheBlendParameter) {
  StartGame(32);
  ASSERT_EQ(PaintRectangleBody(8, 8, 4, 2, PackRgbColorBody(200, 100, 50), 1), 0);  // reordered
  EXPECT_EQ(BackRgb(4, 2), 0xC86432u);
  EXPECT_EQ(BackRgb(7, 7), 0xC86432u);
  EXPECT_EQ(BackRgb(8, 7), 0u);
  EXPECT_EQ(BackRgb(7, 8), 0u);
  ASSERT_EQ(ChooseBlendModeBody(1, 128), 0);
  ASSERT_EQ(PaintRectangleBody(0, 0, 6, 6, PackRgbColorBody(0, 0, 255), 1), 0);
  EXPECT_EQ(BackRgb(5, 5), 0x643299u);  // half of each over the first box
  EXPECT_EQ(BackRgb(0, 0), 0x000080u);
  ApplyDrawArea(0, 0, 3, 3);
  ASSERT_EQ(ChooseBlendModeBody(0, 0), 0);
  ASSERT_EQ(PaintRectangleBody(0, 0, 100, 100, PackRgbColorBody(255, 255, 255), 1), 0);
  EXPECT_EQ(BackRgb(2, 2), 0xFFFFFFu);
  EXPECT_EQ(BackRgb(4, 4), 0x643299u);
  EXPECT_EQ(BackRgb(3, 3), 0x000080u);
}

}  // namespace
