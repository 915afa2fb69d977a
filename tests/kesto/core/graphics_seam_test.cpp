// The graphics layer logs and allocates through the core's log and tracked
// memory.
#include "core/tracked_memory.h"
#include "core_fixture.h"
#include "graphics/graphics_host.h"

namespace {

using GraphicsSeamTest = LogFixture;

TEST_F(GraphicsSeamTest, GraphicsLinesReachTheApplicationLog) {
  GfxLog("グラフィック管理系の初期化を行います\n");
  GfxLogIndent(1);
  GfxLog("１フレーム当たりの時間は %d msecです", 16);  // a line of its own
  GfxLog("画面解像度を変更します... ");                // continued by its result
  GfxLog("成功しました\n");
  GfxLogIndent(-1);
  GfxLog("done\n");
  EXPECT_EQ(LogBytes(),
            "0:グラフィック管理系の初期化を行います\r\n"
            "0:\t１フレーム当たりの時間は 16 msecです\r\n"
            "0:\t画面解像度を変更します... 成功しました\r\n"
            "0:done\r\n");
}

TEST_F(GraphicsSeamTest, GraphicsRecordsAreTrackedAndZeroed) {
  auto* p = static_cast<unsigned char*>(GfxAlloc(24, "KsDraw", 50));
  ASSERT_NE(p, nullptr);
  const AllocRecord* r = GetTrackedMemoryState().head;
  EXPECT_STREQ(r->name, "KsDraw");
  EXPECT_EQ(r->line, 50);
  EXPECT_EQ(r->size, 24u);
  for (int i = 0; i < 24; ++i) EXPECT_EQ(p[i], 0);
  GfxFree(p);
  EXPECT_EQ(GetTrackedMemoryState().count, 0);
}

}  // namespace
