// Movies in graphics: a movie file loaded as a graphic plays frame by frame
// on the clock when drawn, on the Direct3D path and on 2D surfaces; it
// pauses and resumes with the window's focus, ends on its last frame, shares
// itself with cut-outs, and comes back at its time after a lost display.
#include <filesystem>
#include <fstream>

#include "device3d_fixture.h"
#include "graphics/graphics_manager.h"
#include "graphics/image_load.h"
#include "graphics/movies.h"
#include "platform/audio/mixer.h"
#include "platform/media/media_fixtures.h"
#include "support/scoped_temp_dir.h"

namespace {

using namespace platform::video;

class MovieTest : public Direct3DGraphicsTest {
 protected:
  void SetUp() override {
    Direct3DGraphicsTest::SetUp();
    platform::audio::SetOutputKindForTesting(platform::audio::OutputKind::kManual);
    ClearGfxLogLines();
  }
  void TearDown() override {
    Direct3DGraphicsTest::TearDown();
    EXPECT_EQ(MovieTable().count(), 0);
    EXPECT_EQ(platform::media::LiveMovieStreamCount(), 0);
  }
  // Twelve frames at ten a second, each saying its number.
  std::string Movie(const char* container = "avi", const char* codec = "mjpeg",
                    const char* name = "m.avi") {
    const std::string path = dir_.file(name);
    EXPECT_TRUE(media_encoder::WriteMovie(
        path, media_fixtures::CountingMovie(container, codec, 64, 48, 12, 10)));
    return path;
  }
  // The frame number a movie graphic drawn at (x, y) shows on the back buffer.
  int Drawn(int graphic, int x = 0, int y = 0, int width = 64) {
    EXPECT_EQ(BlitGraphicAtBody(x, y, graphic, 0), 0);
    return media_fixtures::IndexOf(BackRgb(x + width / 4, y + 24),
                                   BackRgb(x + 3 * width / 4, y + 24));
  }
  void AdvanceMs(uint64_t ms) { clock_.AdvanceMilliseconds(ms); }

  ScopedTempDir dir_;
};

TEST_F(MovieTest, AMovieFilePlaysFrameByFrameInAGraphicOnEitherPathToItsEnd) {
  const struct {
    bool with_3d;
    const char* container;
    const char* codec;
    const char* name;
  } cases[] = {{true, "avi", "mjpeg", "m.avi"},
               {false, "mp4", "libx264", "m.mp4"},
               {true, "ogg", "libtheora", "m.ogv"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.codec);
    if (c.with_3d) {
      StartGame(16);
    } else {
      platform::video3d::Config3D().available = false;
      Start(false);
      ASSERT_EQ(ChooseDrawTargetBody(-2), 0);
    }
    const int g = LoadImageFileToGraphicBody(Movie(c.container, c.codec, c.name).c_str());
    ASSERT_NE(g, -1);
    const GraphicRecord* r = GetGraphicRecord(g);
    EXPECT_EQ(r->texture, c.with_3d ? 1 : 0);
    EXPECT_EQ(r->width, 64);
    EXPECT_EQ(r->height, 48);
    const MovieRecord* m = GetMovieRecord(r->movie);
    ASSERT_NE(m, nullptr);
    // The window is active: it plays at once.
    EXPECT_EQ(m->running, 1);
    for (int frame = 0; frame < 12; ++frame) {
      EXPECT_EQ(Drawn(g), frame);
      AdvanceMs(50);
      EXPECT_EQ(Drawn(g), frame);  // the next is not due yet
      AdvanceMs(50);
    }
    AdvanceMs(1000);
    EXPECT_EQ(Drawn(g), 11);  // the end keeps the last frame
    EXPECT_EQ(m->running, 0);
    StopDirectDraw();
  }
}

TEST_F(MovieTest, PauseAndResumeStopAndRestartItsClock) {
  StartGame(16);
  const int g = LoadImageFileToGraphicBody(Movie().c_str());
  ASSERT_NE(g, -1);
  AdvanceMs(200);
  EXPECT_EQ(Drawn(g), 2);
  ASSERT_EQ(PauseAllMovies(), 0);
  AdvanceMs(5000);
  EXPECT_EQ(Drawn(g), 2);
  ASSERT_EQ(ResumeAllMovies(), 0);
  EXPECT_EQ(Drawn(g), 2);
  AdvanceMs(100);
  EXPECT_EQ(Drawn(g), 3);
  EXPECT_EQ(PauseMovie(0x08001234), -1);
  EXPECT_EQ(UpdateMovieFrame(-1), -1);
}

TEST_F(MovieTest, AFrameIsCopiedOncePerPresentUnless18msPassed) {
  StartGame(16);
  const std::string path = dir_.file("fast.avi");
  ASSERT_TRUE(media_encoder::WriteMovie(
      path, media_fixtures::CountingMovie("avi", "mjpeg", 64, 48, 30, 100)));
  const int g = LoadImageFileToGraphicBody(path.c_str());
  EXPECT_EQ(Drawn(g), 0);
  // Frame 1 is due after 10 ms, but nothing was presented since the copy.
  AdvanceMs(10);
  EXPECT_EQ(Drawn(g), 0);
  AdvanceMs(8);
  EXPECT_EQ(Drawn(g), 1);
  // A present lets the next draw copy again at once.
  AdvanceMs(10);
  ASSERT_EQ(PresentBackScreenBody(), 0);
  EXPECT_GE(Drawn(g), 2);
}

TEST_F(MovieTest, ACutOutShowsItsPartAndLeavesTheMovieToItsParent) {
  for (bool with_3d : {true, false}) {
    SCOPED_TRACE(with_3d);
    if (with_3d) {
      StartGame(16);
    } else {
      platform::video3d::Config3D().available = false;
      Start(false);
      ASSERT_EQ(ChooseDrawTargetBody(-2), 0);
    }
    ASSERT_EQ(GetCurrentDevice3D() >= 0, with_3d);
    const int g = LoadImageFileToGraphicBody(Movie().c_str());
    const int right = MakeSubGraphicBody(32, 0, 32, 48, g);
    ASSERT_NE(right, -1);
    // Frame 8: the left block in colour 2, the right one in colour 1.
    AdvanceMs(800);
    ASSERT_EQ(BlitGraphicAtBody(200, 100, right, 0), 0);
    const uint32_t shown = BackRgb(216, 124);
    EXPECT_EQ(media_fixtures::IndexOf(shown, shown) % 6, 1) << std::hex << shown;
    // Deleting the cut-out leaves the movie playing in its parent.
    ASSERT_EQ(DeleteGraphic(right, 0), 0);
    EXPECT_EQ(MovieTable().count(), 1);
    AdvanceMs(100);
    EXPECT_EQ(Drawn(g), 9);
    ASSERT_EQ(DeleteGraphic(g, 0), 0);
    EXPECT_EQ(MovieTable().count(), 0);
    StopDirectDraw();
  }
}

TEST_F(MovieTest, ALostDisplayBringsTheMovieBackAtItsTimeOnItsNewSurfaces) {
  for (bool paused : {false, true}) {
    SCOPED_TRACE(paused);
    StartGame(16);
    const int g = LoadImageFileToGraphicBody(Movie().c_str());
    AdvanceMs(300);
    EXPECT_EQ(Drawn(g), 3);
    if (paused) PauseAllMovies();
    const MovieRecord* m = GetMovieRecord(GetGraphicRecord(g)->movie);
    const Surface* before = m->sample_surface;
    SimulateDisplayLoss();
    EndDisplayLoss();
    ASSERT_EQ(RecoverGraphicsDevice(), 0);
    ASSERT_NE(m->sample_surface, nullptr);
    EXPECT_NE(m->sample_surface, before);
    EXPECT_EQ(m->sample_surface->IsLost(), kOk);
    // The frame of the kept time is back at once, and time goes on from it.
    ASSERT_EQ(EraseTargetScreenBody(), 0);
    EXPECT_EQ(Drawn(g), 3);
    AdvanceMs(100);
    EXPECT_EQ(Drawn(g), paused ? 3 : 4);
    StopDirectDraw();
  }
}

TEST_F(MovieTest, FilesThatAreNoMovieFailWithTheirLogLines) {
  StartGame(16);
  std::ofstream(dir_.file("text.dat")) << "neither an image nor a movie";
  ASSERT_TRUE(media_encoder::WriteAudio(dir_.file("tone.wav"), "wav", "pcm_s16le",
                                        media_fixtures::Sweep(4410), 44100));
  const struct {
    std::string file;
    std::vector<std::string> lines;
  } cases[] = {
      {"missing.avi", {"グラフィックファイル " + dir_.file("missing.avi") + " がありません"}},
      {"text.dat",
       {"ファイル:" + dir_.file("text.dat") + " が開けませんでした",
        "ムービーファイルオープン処理時にエラーが発生しました",
        "右記のグラフィックファイルのロードに失敗しました：" + dir_.file("text.dat")}},
      {"tone.wav",
       {"動画ファイルではない可能性があります！",
        "ムービーファイルオープン処理時にエラーが発生しました"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    ClearGfxLogLines();
    EXPECT_EQ(LoadImageFileToGraphicBody(dir_.file(c.file).c_str()), -1);
    for (const std::string& line : c.lines) EXPECT_TRUE(Logged(line)) << line;
  }
  EXPECT_EQ(MovieTable().count(), 0);
  EXPECT_EQ(platform::media::LiveMovieStreamCount(), 0);
}

}  // namespace
