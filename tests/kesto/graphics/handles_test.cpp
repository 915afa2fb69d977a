#include "core/entry_bodies.h"
#include "graphics/draw_state.h"
#include "graphics/graphic_table.h"
#include "graphics/surface_2d.h"
#include "graphics_fixture.h"

namespace {

using namespace platform::video;
using HandlesTest = GraphicsTest;

SurfaceRecord* RecordOf(int graphic) {
  const GraphicRecord* g = GetGraphicRecord(graphic);
  const Surface2D* s = g && g->part_count ? GetSurface2D(g->parts[0]) : nullptr;
  return s ? GetSurfaceRecord(s->surface_record) : nullptr;
}

TEST_F(HandlesTest, HandlesCarryKindSlotAndSerialAndDieWithTheirGraphic) {
  Start(true);
  // The fonts' work surfaces are there from the start.
  const int fonts_surfaces = SurfaceRecordTable().count();
  const int a = MakeGraphic(4, 4, 1, 0);
  const int b = MakeGraphic(4, 4, 1, 0);
  EXPECT_EQ(a & 0x78000000, 0x08000000);
  EXPECT_EQ(a & 0xFFFF, 0);
  EXPECT_EQ(b & 0xFFFF, 1);
  EXPECT_NE((a >> 16) & 0x7FF, (b >> 16) & 0x7FF);
  EXPECT_EQ(GetGraphicRecord(a)->texture, 0);  // no Direct3D device
  int flag = 7;
  ASSERT_EQ(AttachGraphicDeleteFlag(b, &flag), 0);
  EXPECT_EQ(flag, 0);
  EXPECT_EQ(DeleteGraphic(b, 0), 0);
  EXPECT_EQ(flag, 1);
  EXPECT_EQ(GraphicTable().bound(), 1);
  EXPECT_EQ(DeleteGraphic(b, 0), -1);
  const int c = MakeGraphic(4, 4, 1, 0);  // takes slot 1 again
  EXPECT_EQ(c & 0xFFFF, 1);
  EXPECT_EQ(GetGraphicRecord(b), nullptr);  // old serial refused
  for (int bad : {-1, a & 0xFFFF, (a & ~0x78000000) | 0x28000000, a | 0xFFFF}) {
    EXPECT_EQ(GetGraphicRecord(bad), nullptr) << std::hex << bad;
  }
  DeleteGraphic(c, 0);
  DeleteGraphic(a, 1);
  EXPECT_TRUE(Logged("グラフィック  の削除"));
  EXPECT_EQ(GraphicTable().bound(), 0);
  EXPECT_EQ(GraphicTable().count(), 0);
  EXPECT_EQ(SurfaceRecordTable().count(), fonts_surfaces);
}

TEST_F(HandlesTest, ColourDepthFollowsTheSettingsAndTheAlphaChannel) {
  Start(true);  // 32-bit desktop
  Config().desktop_bits = 16;
  ChooseScreenModeBody(640, 480, 16, -1);
  struct Case {
    int setting, alpha, depth;
  } cases[] = {{0, 0, 16}, {0, 1, 32}, {32, 0, 32}, {16, 1, 16}};
  for (const Case& c : cases) {
    GetDrawState().color_depth = c.setting;
    const int g = MakeGraphic(2, 2, 0, c.alpha);
    EXPECT_EQ(GetGraphicRecord(g)->color_depth, c.depth);
    EXPECT_EQ(RecordOf(g)->alpha_buffer != nullptr, c.alpha == 1);
  }
}

TEST_F(HandlesTest, FullTableIsFatalAndThenFreedSlotsAreReused) {
  Start(true);
  Config().video_memory_bytes = 1u << 30;
  int middle = -1;
  for (int i = 0; i < kMaxGraphics; ++i) {
    const int h = AllocGraphicRecord(1, 1, 0, nullptr, 0);
    if (i == 1234) middle = h;
  }
  EXPECT_THROW(AllocGraphicRecord(1, 1, 0, nullptr, 0), FatalExit);
  EXPECT_TRUE(Logged("グラフィックの数が許容量を越えました終了します"));
  DeleteGraphic(middle, 0);
  const int again = AllocGraphicRecord(1, 1, 0, nullptr, 0);
  EXPECT_EQ(again & 0xFFFF, 1234);
  // The serial counter wrapped at 2047: 30001 creations later it is 30001 % 2048.
  EXPECT_EQ((again >> 16) & 0x7FF, 30000 % 2048);
}

TEST_F(HandlesTest, Surface2DTableRefusesTheOneTooMany) {
  Start(true);
  Config().video_memory_bytes = 1u << 30;
  const SurfaceSettings settings{};
  // The fonts' work surfaces are there from the start.
  const int room = kMaxSurface2D - Surface2DTable().count();
  const int first = AddSurface2D(1, 1, 0, 0, -1, nullptr, 0, 0, settings);
  ASSERT_GE(first, 0);
  const Surface2D* shared = GetSurface2D(first);
  for (int i = 1; i < room; ++i) {
    ASSERT_GE(AddSurface2D(1, 1, 0, 0, -1, shared, 0, 0, settings), 0);
  }
  EXPECT_EQ(GetSurfaceRecord(shared->surface_record)->reference_count, room);
  EXPECT_EQ(AddSurface2D(1, 1, 0, 0, -1, shared, 0, 0, settings), -1);
  EXPECT_TRUE(Logged("２Ｄグラフィックの量が許容量を越えました\n"));
  DeleteAllSurface2D();
  EXPECT_EQ(SurfaceRecordTable().count(), 0);
}

TEST_F(HandlesTest, CutOutsShareTheParentSurfaceAndKnowTheirOrigin) {
  Start(true);
  const int fonts_surfaces = SurfaceRecordTable().count();
  const int sheet = MakeGraphic(64, 32, 1, 0);
  struct Case {
    int x, y, w, h;
    int result_w, result_h;  // 0: refused
  } cases[] = {{0, 0, 64, 32, 64, 32},  {60, 0, 16, 8, 4, 8},   {0, 30, 8, 8, 8, 2},
               {64, 0, 1, 1, 0, 0},     {0, 32, 1, 1, 0, 0},    {-1, 0, 4, 4, 0, 0},
               {0, 0, 0, 4, 0, 0},      {0, 0, 4, -4, 0, 0},    {1, 1, 0x7FFFFFFF, 0x7FFFFFFF, 63, 31}};
  for (const Case& c : cases) {
    const int cut = MakeSubGraphicBody(c.x, c.y, c.w, c.h, sheet);
    if (c.result_w == 0) {
      EXPECT_EQ(cut, -1) << c.x << "," << c.y << " " << c.w << "x" << c.h;
      continue;
    }
    int w = 0, h = 0;
    ASSERT_EQ(GetGraphicSize(cut, &w, &h), 0);
    EXPECT_EQ(w, c.result_w);
    EXPECT_EQ(h, c.result_h);
    EXPECT_EQ(RecordOf(cut), RecordOf(sheet));
  }
  EXPECT_EQ(MakeSubGraphicBody(0, 0, 4, 4, sheet + 1), -1);
  const int outer = MakeSubGraphicBody(16, 8, 32, 16, sheet);
  const int inner = MakeSubGraphicBody(4, 4, 8, 8, outer);
  const GraphicRecord* g = GetGraphicRecord(inner);
  EXPECT_EQ(g->origin_x, 20);
  EXPECT_EQ(g->origin_y, 12);
  const Surface2D* part = GetSurface2D(g->parts[0]);
  EXPECT_EQ(part->surface_x, 20);
  EXPECT_EQ(part->surface_y, 12);
  // Deleting the sheet leaves the cut-out's pixels; the record dies with the last.
  SurfaceRecord* shared = RecordOf(sheet);
  const int refs = shared->reference_count;
  DeleteGraphic(sheet, 0);
  ASSERT_EQ(RecordOf(inner), shared);
  EXPECT_EQ(shared->reference_count, refs - 1);
  EXPECT_EQ(shared->surface->IsLost(), kOk);
  DeleteAllGraphics(0);
  EXPECT_EQ(SurfaceRecordTable().count(), fonts_surfaces);
}

TEST_F(HandlesTest, SurfaceRecordLockFillZBufferAndPlacement) {
  Config().desktop_bits = 16;
  Start(true);
  const int wide = MakeGraphic(641, 2, 0, 0);
  EXPECT_TRUE(RecordOf(wide)->surface->caps() & kCapsSystemMemory);
  EXPECT_EQ(RecordOf(wide)->settings.system_memory, 1);
  const int g = MakeGraphic(8, 8, 0, 0);
  SurfaceRecord* r = RecordOf(g);
  EXPECT_TRUE(r->surface->caps() & kCapsVideoMemory);
  const int handle = GetSurface2D(GetGraphicRecord(g)->parts[0])->surface_record;
  int pitch = 0, pitch2 = 0;
  uint8_t *p = nullptr, *p2 = nullptr;
  ASSERT_EQ(LockSurfaceRecord(handle, &pitch, &p, nullptr, 0), 0);
  ASSERT_EQ(LockSurfaceRecord(handle, &pitch2, &p2, nullptr, 1), -2);
  EXPECT_EQ(p2, p);
  EXPECT_EQ(pitch2, pitch);
  EXPECT_EQ(UnlockSurfaceRecord(handle, nullptr), 0);
  EXPECT_TRUE(r->surface->locked());
  EXPECT_EQ(UnlockSurfaceRecord(handle, nullptr), 0);
  EXPECT_FALSE(r->surface->locked());
  EXPECT_EQ(UnlockSurfaceRecord(handle, nullptr), -1);
  ASSERT_EQ(FillGraphic(g, 255, 0, 0, 255), 0);
  EXPECT_EQ(r->surface->ReadPixel(7, 7), 0xF800u);
  EXPECT_EQ(SetSurfaceZBuffer(handle, 1), 0);
  EXPECT_NE(r->depth_surface, nullptr);
  const int wide_handle = GetSurface2D(GetGraphicRecord(wide)->parts[0])->surface_record;
  EXPECT_EQ(SetSurfaceZBuffer(wide_handle, 1), -1);
  // A full video memory sends new surfaces to system memory.
  Config().video_memory_bytes = VideoMemoryUsed();
  const int late = MakeGraphic(8, 8, 0, 0);
  EXPECT_TRUE(RecordOf(late)->surface->caps() & kCapsSystemMemory);
  // The colour key is the transparent colour packed for the screen.
  GetDrawState().transparent_color = 0x00FF00FF;
  const int keyed = MakeGraphic(2, 2, 0, 0);
  EXPECT_EQ(RecordOf(keyed)->surface->color_key(), 0xF81Fu);
}

}  // namespace

namespace {

TEST_F(HandlesTest, SurfaceCopiesByEitherMethodAndByteExtraction) {
  Config().desktop_bits = 16;
  Start(true);
  Surface* src = RecordOf(MakeGraphic(4, 4, 0, 0))->surface;
  Surface* dst = RecordOf(MakeGraphic(4, 4, 0, 0))->surface;
  src->WritePixel(1, 1, 0xABCD);
  for (int method : {0, 1, -1}) {
    dst->Blt(nullptr, nullptr, nullptr, kBltColorFill, 0);
    BlitSurfaceToSurface(dst, src, 2, 2, Rect{1, 1, 2, 2}, method);
    EXPECT_EQ(dst->ReadPixel(2, 2), 0xABCDu) << method;
    EXPECT_EQ(dst->ReadPixel(1, 1), 0u) << method;
  }
  const uint8_t rgb[2][8] = {{1, 2, 3, 4, 5, 6, 99, 99}, {7, 8, 9, 10, 11, 12, 99, 99}};
  uint8_t out[4] = {};
  ExtractEveryThirdByte(out, 0, &rgb[0][0], 8, 2, 2);
  EXPECT_EQ(out[0], 1);
  EXPECT_EQ(out[1], 4);
  EXPECT_EQ(out[2], 7);
  EXPECT_EQ(out[3], 10);
}

}  // namespace
