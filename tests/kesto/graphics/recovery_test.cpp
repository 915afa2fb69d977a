#include "core/entry_bodies.h"
#include "graphics/draw_state.h"
#include "graphics/graphic_table.h"
#include "graphics/graphics_manager.h"
#include "graphics/surface_2d.h"
#include "graphics_fixture.h"
#include "kesto/kesto.h"

namespace {

using namespace platform::video;
using RecoveryTest = GraphicsTest;

int g_callback_runs = 0;
void CountingCallback() { ++g_callback_runs; }

SurfaceRecord* RecordOf(int graphic) {
  const GraphicRecord* g = GetGraphicRecord(graphic);
  const Surface2D* s = g && g->part_count ? GetSurface2D(g->parts[0]) : nullptr;
  return s ? GetSurfaceRecord(s->surface_record) : nullptr;
}

TEST_F(RecoveryTest, LostFullScreenDisplayComesBackWithEveryHandle) {
  Start(false);
  g_callback_runs = 0;
  SetGraphicsRestoreCallback(&CountingCallback);
  const int sheet = MakeGraphic(64, 64, 1, 0);
  const int cut = MakeSubGraphicBody(8, 8, 16, 16, sheet);
  const int alpha = MakeGraphic(8, 8, 0, 1);
  FillGraphic(sheet, 255, 0, 0, 255);
  ASSERT_EQ(ChooseDrawTargetBody(KESTO_BACK_SCREEN), 0);
  DirectDraw* old_object = GetDirectDrawObject();
  Surface* old_sheet_surface = RecordOf(sheet)->surface;

  SimulateDisplayLoss();
  EXPECT_EQ(RecordOf(sheet)->surface->IsLost(), kErrSurfaceLost);
  EXPECT_EQ(GetPrimarySurface()->IsLost(), kErrSurfaceLost);
  EXPECT_EQ(PresentBackScreenBody(), 0);  // results of the flip are not examined
  EndDisplayLoss();
  ASSERT_EQ(RecoverGraphicsDevice(), 0);

  EXPECT_NE(GetDirectDrawObject(), nullptr);
  (void)old_object;
  for (int h : {sheet, cut, alpha}) {
    ASSERT_NE(GetGraphicRecord(h), nullptr);
    SurfaceRecord* r = RecordOf(h);
    ASSERT_NE(r, nullptr);
    ASSERT_NE(r->surface, nullptr);
    EXPECT_EQ(r->surface->IsLost(), kOk);
    EXPECT_EQ(GetGraphicRecord(h)->restore_flag, 1);
  }
  EXPECT_NE(RecordOf(sheet)->surface, old_sheet_surface);
  EXPECT_EQ(RecordOf(cut), RecordOf(sheet));
  EXPECT_NE(RecordOf(alpha)->alpha_buffer, nullptr);
  EXPECT_EQ(g_callback_runs, 1);
  // The rebuilt device works: fill, select, clear and present.
  EXPECT_EQ(FillGraphic(sheet, 0, 255, 0, 255), 0);
  EXPECT_EQ(RecordOf(cut)->surface->ReadPixel(8, 8), 0x07E0u);
  EXPECT_EQ(GetDrawTargetSurface(), GetBackSurface());
  EXPECT_EQ(GetPrimarySurface()->IsLost(), kOk);
  EXPECT_EQ(GetPrimarySurface()->attached_back_buffer(), GetBackSurface());
  EXPECT_EQ(EraseTargetScreenBody(), 0);
  GetBackSurface()->Blt(nullptr, nullptr, nullptr, kBltColorFill, 0x001F);
  EXPECT_EQ(PresentBackScreenBody(), 0);
  EXPECT_EQ(GetPrimarySurface()->ReadPixel(0, 0), 0x001Fu);
  EXPECT_EQ(IsDisplayModeChanged(), 1);
}

TEST_F(RecoveryTest, ActivationRestoresLostScreenAndGraphicSurfaces) {
  Start(false);
  const int g = MakeGraphic(8, 8, 0, 0);
  SimulateDisplayLoss();
  EndDisplayLoss();
  EXPECT_EQ(RestoreGraphicSurfaces(g), -1);  // it was lost
  EXPECT_EQ(RestoreGraphicSurfaces(g), 0);
  SimulateDisplayLoss();
  EndDisplayLoss();
  EXPECT_EQ(RestoreAllGraphicSurfaces(), 0);
  EXPECT_EQ(GetPrimarySurface()->IsLost(), kOk);
  EXPECT_EQ(GetBackSurface()->IsLost(), kOk);
  EXPECT_EQ(RecordOf(g)->surface->IsLost(), kOk);
}

TEST_F(RecoveryTest, ManagerStartsOnceAndEndsEveryGraphic) {
  Start(true);
  const int g = MakeGraphic(4, 4, 0, 0);
  EXPECT_EQ(StartGraphicsManager(), 0);  // already started: untouched
  EXPECT_NE(GetGraphicRecord(g), nullptr);
  EXPECT_EQ(EndGraphicsManager(), 0);
  EXPECT_EQ(GetGraphicRecord(g), nullptr);
  EXPECT_EQ(SurfaceRecordTable().count(), 0);
  EXPECT_EQ(SetDrawTarget(-2), -1);
  EXPECT_EQ(PresentBackScreenBody(), -1);
  EXPECT_TRUE(Logged("グラフィック管理系の終了処理は正常に終了しました\n"));
}

TEST_F(RecoveryTest, SuspendedGraphicsSkipTheClearingButStillPresent) {
  Start(true);
  ASSERT_EQ(ChooseDrawTargetBody(KESTO_BACK_SCREEN), 0);
  for (int suspended : {0, 1}) {
    int inactive_waits = 0;
    Host().wait_while_inactive = [&] { ++inactive_waits; };
    GetDrawState().suspended = suspended;
    const uint64_t shown = presenter_->shown();
    ASSERT_EQ(RecoverGraphicsDevice(), 0);
    // Not suspended: the wait before clearing and the one of the present.
    EXPECT_EQ(inactive_waits, suspended ? 1 : 2);
    EXPECT_EQ(presenter_->shown(), shown + 1);
  }
  GetDrawState().suspended = 0;
}

}  // namespace
