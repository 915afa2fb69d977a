#include "overlays_fixture.h"

namespace {

using FadeTest = OverlaysTest;

struct FadeFrame {
  int frame;  // 1-based frames of UpdateFade since the start
  int alpha;
  int fade_out;
  int fade_in;
};

void ExpectFrames(int mode, std::initializer_list<FadeFrame> frames, int last) {
  StartFade(mode);
  auto it = frames.begin();
  for (int f = 1; f <= last; ++f) {
    UpdateFade();
    if (it != frames.end() && it->frame == f) {
      EXPECT_EQ(g_fade.alpha, it->alpha) << "mode " << mode << " frame " << f;
      EXPECT_EQ(g_fade.fade_out, it->fade_out) << "mode " << mode << " frame " << f;
      EXPECT_EQ(g_fade.fade_in, it->fade_in) << "mode " << mode << " frame " << f;
      ++it;
    }
  }
}

TEST_F(FadeTest, FadeOutReachesWhiteAndHoldsIt) {
  for (int mode : {0, 2}) {
    ResetFade();
    ExpectFrames(mode, {{1, 3, 1, 0}, {84, 252, 1, 0}, {85, 255, 0, 0}, {300, 255, 0, 0}}, 300);
  }
}

TEST_F(FadeTest, FadeInStartsFromWhiteAndLastsEightyFiveFrames) {
  ExpectFrames(1, {{1, 252, 0, 1}, {84, 3, 0, 1}, {85, 0, 0, 0}, {86, 0, 0, 0}}, 86);
  EXPECT_EQ(g_fade.fade_in_counter, 0);
}

TEST_F(FadeTest, OtherModesDoNothing) {
  for (int mode : {-1, 3, 100}) StartFade(mode);
  EXPECT_EQ(g_fade.fade_out, 0);
  EXPECT_EQ(g_fade.fade_in, 0);
}

TEST_F(FadeTest, FadeOutWinsOverAFadeInAndAFadeInAfterItStartsFromWhite) {
  StartFade(1);
  for (int i = 0; i < 40; ++i) UpdateFade();
  StartFade(0);
  UpdateFade();
  EXPECT_EQ(g_fade.fade_in, 0);
  EXPECT_EQ(g_fade.alpha, 255 - 3 * 40 + 3);
  StartFade(1);  // while the fade-out still runs: dropped
  UpdateFade();
  EXPECT_EQ(g_fade.fade_in, 0);
  while (g_fade.fade_out == 1) UpdateFade();
  StartFade(1);
  UpdateFade();
  EXPECT_EQ(g_fade.alpha, 252);
}

TEST_F(FadeTest, DrawsAWhiteFieldAtTheFadeAlphaOnlyWhenVisible) {
  DrawFade();
  EXPECT_EQ(Count("PaintRectangle"), 0);
  StartFade(0);
  UpdateFade();
  DrawFade();
  const auto rects = kesto_fake::CallsNamed("PaintRectangle");
  ASSERT_EQ(rects.size(), 1u);
  EXPECT_EQ(rects[0].args, (std::vector<double>{140, 0, 640, 480, double(PackRgbColor(255, 255, 255)), 1}));
  const auto blends = kesto_fake::CallsNamed("ChooseBlendMode");
  ASSERT_EQ(blends.size(), 2u);
  EXPECT_EQ(blends[0].iarg(1), 3);
  EXPECT_EQ(blends[1].iarg(1), 255);
}

}  // namespace
