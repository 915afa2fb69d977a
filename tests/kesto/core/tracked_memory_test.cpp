#include "core/tracked_memory.h"

#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "core_fixture.h"

namespace {

using TrackedMemoryTest = LogFixture;

int LiveCount() { return GetTrackedMemoryState().count; }

TEST_F(TrackedMemoryTest, HeaderHoldsRecordAndCopyAndKeepsDataAligned) {
  void* p = AllocTracked(5, "KsWin", 10);
  ASSERT_NE(p, nullptr);
  AllocHeader* h = HeaderOfTracked(p);
  EXPECT_EQ(static_cast<char*>(p) - reinterpret_cast<char*>(h),
            static_cast<ptrdiff_t>(2 * sizeof(AllocRecord)));
  EXPECT_EQ(reinterpret_cast<uintptr_t>(p) % 16, 0u);
  EXPECT_EQ(std::memcmp(&h->record, &h->copy, sizeof(AllocRecord)), 0);
  FreeTracked(p);
}

TEST_F(TrackedMemoryTest, RecordFields) {
  struct Case {
    const char* name;
    int16_t line;
    const char* stored_name;
    uint16_t stored_line;
  };
  const Case cases[] = {
      {"KsWin", 10, "KsWin", 10},
      {"abcdefghijklmnopqrst", 3, "fghijklmnopqrst", 3},  // last 15 of 20
      {nullptr, -1, "", 65535},
  };
  for (const Case& c : cases) {
    void* p = AllocTracked(1, c.name, c.line);
    const AllocRecord& r = HeaderOfTracked(p)->record;
    EXPECT_STREQ(r.name, c.stored_name);
    EXPECT_EQ(r.line, c.stored_line);
    EXPECT_EQ(r.size, 1u);
    FreeTracked(p);
  }
}

TEST_F(TrackedMemoryTest, FreeingTheMiddleBlockKeepsTheOthersListedAndTotalled) {
  void* a = AllocTracked(100, "first", 1);
  void* b = AllocTracked(200, "second", 2);
  void* c = AllocTracked(300, "third", 3);
  FreeTracked(b);
  EXPECT_EQ(GetTrackedMemoryState().total_size, 400);
  EXPECT_EQ(LiveCount(), 2);
  EXPECT_EQ(CheckAllocList(), 0);  // neighbours' copies were refreshed
  std::memset(a, 'A', 100);
  std::memset(c, 'C', 300);
  DumpAllocList();
  EXPECT_EQ(LogBytes(),
            "0:\r\n"
            "0:Alloc memory dump\r\n"
            "0:\tsize:300(0.293kb)  file:third  line:3  ID:2  data:<CCCCCCCCCCCCCCCC> "
            "[43 43 43 43 43 43 43 43 43 43 43 43 43 43 43 43]\r\n"
            "0:\tsize:100(0.098kb)  file:first  line:1  ID:0  data:<AAAAAAAAAAAAAAAA> "
            "[41 41 41 41 41 41 41 41 41 41 41 41 41 41 41 41]\r\n"
            "0:\tTotal size:400(0.391kb)  Alloc num:2\r\n"
            "0:\r\n");
  FreeTracked(c);  // the newest block: no previous record to fix
  FreeTracked(a);
  EXPECT_EQ(LiveCount(), 0);
  EXPECT_EQ(GetTrackedMemoryState().total_size, 0);
  EXPECT_EQ(CheckAllocList(), 0);
  // The list end stays the end: a new block links in front of it.
  void* d = AllocTracked(1, "again", 4);
  EXPECT_EQ(CheckAllocList(), 0);
  FreeTracked(d);
}

TEST_F(TrackedMemoryTest, DumpLine) {
  struct Case {
    std::vector<uint8_t> data;
    std::string expected;
  };
  const Case cases[] = {
      {{'A', 'B', '\n'},
       "0:\tsize:3(0.003kb)  file:KsWin  line:10  ID:0  data:<AB.> [41 42 0a]\r\n"},
      {{0x7F, 0x80, 0x1F, 0x20},
       "0:\tsize:4(0.004kb)  file:KsWin  line:10  ID:1  data:<\x7F.. > [7f 80 1f 20]\r\n"},
      {{}, "0:\tsize:0(0.000kb)  file:KsWin  line:10  ID:2  data:<> []\r\n"},
  };
  for (const Case& c : cases) {
    InitAppLog();
    void* p = AllocTracked(static_cast<uint32_t>(c.data.size()), "KsWin", 10);
    if (!c.data.empty()) std::memcpy(p, c.data.data(), c.data.size());
    InitAppLog();
    DumpAllocRecord(&HeaderOfTracked(p)->record);
    EXPECT_EQ(LogBytes(), c.expected);
    FreeTracked(p);
  }
}

TEST_F(TrackedMemoryTest, BlocksOfSizeZeroAreLoggedByDefault) {
  void* p = AllocTracked(0, "KsWin", 7);
  FreeTracked(p);
  EXPECT_EQ(LogBytes(),
            "0:mem alloc  \tsize:0(0.000kb)  file:KsWin  line:7  ID:0  data:<> []\r\n"
            "0:mem free  \tsize:0(0.000kb)  file:KsWin  line:7  ID:0  data:<> []\r\n");
}

TEST_F(TrackedMemoryTest, DamagedHeaderIsReported) {
  void* a = AllocTracked(2, "KsWin", 1);
  void* b = AllocTracked(2, "KsDraw", 2);
  std::memcpy(b, "hi", 2);
  HeaderOfTracked(b)->record.size = 9999;
  EXPECT_EQ(CheckAllocList(), -1);
  // The damaged size is reported, but only the block's real bytes are shown.
  EXPECT_EQ(LogBytes(),
            "0:以下のメモリ確保情報が破損しました\tsize:9999(9.765kb)  file:KsDraw  line:2  ID:1  "
            "data:<hi> [68 69]\r\n");

  // Freeing it or dumping the list does not follow its links.
  HeaderOfTracked(b)->record.next = reinterpret_cast<AllocRecord*>(0x10);
  InitAppLog();
  FreeTracked(b);
  EXPECT_EQ(LiveCount(), 2);
  DumpAllocList();
  const std::string bytes = LogBytes();
  EXPECT_EQ(bytes.find("以下のメモリ確保情報が破損しました"), 2u);
  EXPECT_NE(bytes.find("Alloc memory dump\r\n0:以下のメモリ確保情報が破損しました"),
            std::string::npos);
  EXPECT_NE(bytes.find("Alloc num:2"), std::string::npos);

  HeaderOfTracked(b)->record = HeaderOfTracked(b)->copy;
  EXPECT_EQ(CheckAllocList(), 0);
  FreeTracked(b);
  FreeTracked(a);
}

TEST_F(TrackedMemoryTest, AllocationIdWrapsAfter65535) {
  for (int i = 0; i < 65535; ++i) FreeTracked(AllocTracked(1, nullptr, 0));
  void* last = AllocTracked(1, nullptr, 0);
  void* wrapped = AllocTracked(1, nullptr, 0);
  EXPECT_EQ(HeaderOfTracked(last)->record.id, 65535);
  EXPECT_EQ(HeaderOfTracked(wrapped)->record.id, 0);
  FreeTracked(last);
  FreeTracked(wrapped);
}

TEST_F(TrackedMemoryTest, RefusedHeapRequestDumpsTheListAndGivesNull) {
  void* kept = AllocTracked(3, "KsSound", 5);
  FailHeapRequestsForTesting(1);
  EXPECT_EQ(AllocTrackedZeroed(64, "KsWin", 6), nullptr);
  EXPECT_EQ(LiveCount(), 1);
  const std::string bytes = LogBytes();
  EXPECT_NE(bytes.find("Alloc memory dump"), std::string::npos);
  EXPECT_NE(bytes.find("file:KsSound  line:5"), std::string::npos);
  EXPECT_NE(bytes.find("Total size:3(0.003kb)  Alloc num:1"), std::string::npos);
  FreeTracked(kept);
  FreeTracked(nullptr);  // ignored
  EXPECT_EQ(LiveCount(), 0);
}

TEST_F(TrackedMemoryTest, ARequestNearFourGigabytesIsAskedOfTheHeapWhole) {
  // Its header added in 32 bits would wrap into a tiny block.
  for (uint32_t size : {0xFFFFFFC0u, 0xFFFFFFFFu}) {
    FailHeapRequestsForTesting(1);
    EXPECT_EQ(AllocTracked(size, "KsNet", 7), nullptr);
    EXPECT_EQ(LastHeapRequestBytesForTesting(), size_t{size} + sizeof(AllocHeader));
    EXPECT_EQ(LiveCount(), 0);
  }
}

TEST_F(TrackedMemoryTest, ListSurvivesUseFromTwoThreads) {
  auto churn = [] {
    std::vector<void*> held;
    for (int i = 0; i < 5000; ++i) {
      held.push_back(AllocTracked(8, "KsSound", 1));
      if (i % 3 == 0) {
        FreeTracked(held.front());
        held.erase(held.begin());
      }
    }
    for (void* p : held) FreeTracked(p);
  };
  std::thread a(churn), b(churn);
  a.join();
  b.join();
  EXPECT_EQ(LiveCount(), 0);
  EXPECT_EQ(GetTrackedMemoryState().total_size, 0);
  EXPECT_EQ(CheckAllocList(), 0);
}

TEST_F(TrackedMemoryTest, ZeroedBlockIsZero) {
  void* p = AllocTrackedZeroed(64, "KsWin", 1);
  const std::vector<uint8_t> zeros(64, 0);
  EXPECT_EQ(std::memcmp(p, zeros.data(), 64), 0);
  FreeTracked(p);
}

}  // namespace
