#include "core/resource_handle.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Rec {
  int value;
};

TEST(ResourceHandleTest, LayoutOfAHandle) {
  EXPECT_EQ(MakeResourceHandle(handle_kind::kGraphic, 5, 3), 0x08050003);
  EXPECT_EQ(MakeResourceHandle(handle_kind::kMusic, 2047, 255), 0x5FFF00FF);
  const ResourceHandle h = MakeResourceHandle(handle_kind::kSound, 0x123, 4095);
  EXPECT_EQ(HandleKindOf(h), handle_kind::kSound);
  EXPECT_EQ(HandleCounterOf(h), 0x123u);
  EXPECT_EQ(HandleSlotOf(h), 4095);
}

TEST(ResourceHandleTest, ValidityRule) {
  HandleTable<Rec> table(handle_kind::kFont, handle_limit::kFont);
  Rec r0{0}, r1{1};
  const ResourceHandle h0 = table.Insert(0, &r0);
  const ResourceHandle h1 = table.Insert(1, &r1);
  ASSERT_EQ(h0, 0x20000000);
  ASSERT_EQ(h1, 0x20010001);
  table.Remove(h1);
  Rec r2{2};
  const ResourceHandle reused = table.Insert(1, &r2);  // same slot, counter 2
  EXPECT_EQ(reused, 0x20020001);

  struct Case {
    const char* name;
    ResourceHandle h;
    const Rec* found;
  };
  const Case cases[] = {
      {"valid", h0, &r0},
      {"valid after reuse", reused, &r2},
      {"bit 31 set", static_cast<ResourceHandle>(static_cast<uint32_t>(h0) | 0x80000000u), nullptr},
      {"general failure", -1, nullptr},
      {"another kind", MakeResourceHandle(handle_kind::kGraphic, 0, 0), nullptr},
      {"slot at the limit", MakeResourceHandle(handle_kind::kFont, 0, handle_limit::kFont), nullptr},
      {"empty slot", MakeResourceHandle(handle_kind::kFont, 0, 7), nullptr},
      {"stale counter", h1, nullptr},
  };
  for (const Case& c : cases) EXPECT_EQ(table.Find(c.h), c.found) << c.name;
  // A refused handle removes nothing.
  EXPECT_EQ(table.Remove(h1), nullptr);
  EXPECT_EQ(table.count(), 2);
}

TEST(ResourceHandleTest, CounterRunsTo2047AndWraps) {
  HandleTable<Rec> table(handle_kind::kMovie, handle_limit::kMovie);
  Rec r{0};
  std::vector<uint32_t> counters;
  for (int i = 0; i < 2050; ++i) {
    const ResourceHandle h = table.Add(&r);
    ASSERT_GE(h, 0);
    counters.push_back(HandleCounterOf(h));
    ASSERT_EQ(table.Find(h), &r);
    table.Remove(h);
  }
  EXPECT_EQ(counters[0], 0u);
  EXPECT_EQ(counters[2047], 2047u);
  EXPECT_EQ(counters[2048], 0u);
  EXPECT_EQ(counters[2049], 1u);
}

TEST(ResourceHandleTest, SlotsFillToTheLimit) {
  HandleTable<Rec> table(handle_kind::kKeyInput, handle_limit::kKeyInput);
  std::vector<Rec> recs(handle_limit::kKeyInput + 1);
  for (int i = 0; i < handle_limit::kKeyInput; ++i) {
    const ResourceHandle h = table.Add(&recs[i]);
    EXPECT_EQ(HandleSlotOf(h), i);
  }
  EXPECT_EQ(table.FirstFreeSlot(), -1);
  EXPECT_EQ(table.Add(&recs.back()), -1);
  table.RemoveSlot(4);
  EXPECT_EQ(table.FirstFreeSlot(), 4);
  EXPECT_EQ(table.Insert(5, &recs.back()), -1);  // occupied
  EXPECT_EQ(table.Insert(-1, &recs.back()), -1);
}

}  // namespace
