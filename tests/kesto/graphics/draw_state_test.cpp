#include "core/entry_bodies.h"
#include "graphics/draw_state.h"
#include "graphics/graphic_table.h"
#include "graphics_fixture.h"
#include "kesto/kesto.h"

namespace {

using namespace platform::video;
using DrawStateTest = GraphicsTest;

TEST_F(DrawStateTest, DrawAreaIsOrderedAndClampedToTheTarget) {
  Start(true);
  ASSERT_EQ(SetDrawTarget(KESTO_BACK_SCREEN), 0);
  struct Case {
    int x1, y1, x2, y2;
    Rect stored;
    int empty;
  } cases[] = {{100, 50, 20, 10, {20, 10, 100, 50}, 0},
               {-10, -10, 700, 500, {0, 0, 640, 480}, 0},
               {5, 5, 5, 100, {5, 5, 5, 100}, 1},
               {0, 0, 640, 480, {0, 0, 640, 480}, 0}};
  for (const Case& c : cases) {
    ApplyDrawArea(c.x1, c.y1, c.x2, c.y2);
    const DrawState& s = GetDrawState();
    EXPECT_EQ(s.area.left, c.stored.left);
    EXPECT_EQ(s.area.top, c.stored.top);
    EXPECT_EQ(s.area.right, c.stored.right);
    EXPECT_EQ(s.area.bottom, c.stored.bottom);
    EXPECT_EQ(s.area_empty, c.empty);
  }
}

TEST_F(DrawStateTest, FrontBufferAreaKeepsOnlyTheClientAreaOnTheDesktop) {
  client_ = Rect{-30, -20, 610, 460};
  Start(true);
  ASSERT_EQ(SetDrawTarget(KESTO_FRONT_SCREEN), 0);
  struct Case {
    int x1, y1;
    int left, top;
  } cases[] = {{0, 0, 30, 20}, {100, 50, 100, 50}};  // a corner further in is kept
  for (const Case& c : cases) {
    ApplyDrawArea(c.x1, c.y1, 640, 480);
    EXPECT_EQ(GetDrawState().area.left, c.left);
    EXPECT_EQ(GetDrawState().area.top, c.top);
  }
  client_ = Rect{1000, 800, 1640, 1280};  // reaches past the 1280x1024 desktop
  ApplyDrawArea(0, 0, 640, 480);
  EXPECT_EQ(GetDrawState().area.right, 280);
  EXPECT_EQ(GetDrawState().area.bottom, 224);
}

TEST_F(DrawStateTest, TargetsSelectSurfacesClippersAndAreas) {
  Config().desktop_bits = 16;
  Start(true);
  Surface* primary = GetPrimarySurface();
  EXPECT_EQ(ChooseDrawTargetBody(KESTO_FRONT_SCREEN), 0);
  EXPECT_EQ(GetDrawTargetSurface(), primary);
  EXPECT_EQ(primary->clipper(), nullptr);  // the front buffer is drawn unclipped
  EXPECT_EQ(GetDrawState().front_screen_rect.left, 100);
  EXPECT_EQ(ChooseDrawTargetBody(KESTO_BACK_SCREEN), 0);
  EXPECT_EQ(GetDrawTargetSurface(), GetBackSurface());
  EXPECT_EQ(primary->clipper(), DDState().clipper);
  EXPECT_EQ(GetDrawState().front_screen_rect.left, 0);
  ApplyDrawArea(10, 10, 20, 20);
  const int same = MakeGraphic(640, 480, 0, 0);
  ASSERT_EQ(ChooseDrawTargetBody(same), 0);
  EXPECT_EQ(GetDrawState().area.left, 10);  // same size: area kept
  const int small = MakeGraphic(32, 16, 0, 0);
  ASSERT_EQ(ChooseDrawTargetBody(small), 0);
  EXPECT_EQ(GetDrawState().area.right, 32);  // other size: the whole target
  EXPECT_EQ(GetDrawState().target_width, 32);
  EXPECT_EQ(ChooseDrawTargetBody(small + 1), -1);
  EXPECT_EQ(GetDrawTarget(), small);
  FillGraphic(small, 255, 255, 255, 255);
  EXPECT_EQ(EraseTargetScreenBody(), 0);
  EXPECT_EQ(GetDrawTargetSurface()->ReadPixel(31, 15), 0u);
}

TEST_F(DrawStateTest, ErasingTheFrontBufferClearsTheScreenAtTheClientArea) {
  Config().desktop_bits = 16;
  Start(true);
  Surface* primary = GetPrimarySurface();
  primary->Blt(nullptr, nullptr, nullptr, kBltColorFill, 0xFFFF);
  ASSERT_EQ(ChooseDrawTargetBody(KESTO_FRONT_SCREEN), 0);
  ASSERT_EQ(EraseTargetScreenBody(), 0);
  EXPECT_EQ(primary->ReadPixel(100, 50), 0u);
  EXPECT_EQ(primary->ReadPixel(739, 529), 0u);
  EXPECT_EQ(primary->ReadPixel(99, 50), 0xFFFFu);
  EXPECT_EQ(primary->ReadPixel(740, 529), 0xFFFFu);
}

TEST_F(DrawStateTest, BlendModeStoresAClampedParameter) {
  Start(true);
  struct Case {
    int mode, param, stored;
  } cases[] = {{1, 300, 255}, {1, -5, 0}, {2, 128, 128}};
  for (const Case& c : cases) {
    EXPECT_EQ(ChooseBlendModeBody(c.mode, c.param), 0);
    EXPECT_EQ(GetDrawState().blend_mode, c.mode);
    EXPECT_EQ(GetDrawState().blend_param, c.stored);
  }
  EXPECT_EQ(SetDrawTarget(-2), 0);
}

TEST_F(DrawStateTest, NothingIsSelectedBeforeStartUp) {
  EXPECT_EQ(ChooseDrawTargetBody(KESTO_BACK_SCREEN), -1);
  EXPECT_EQ(MakeSubGraphicBody(0, 0, 1, 1, 0x08000000), -1);
}

}  // namespace
