// Resource handles: 32-bit integers naming a record in one of the library's
// tables. Bits 0-15 hold the slot, bits 16-26 a check counter copied from the
// table when the record was made, bits 27-30 the kind; a negative value is
// never valid. The counter lets a table refuse the handle of a deleted record
// after its slot has been reused.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "kesto/handle_kinds.h"

constexpr uint32_t kHandleCounterMask = 0x7FFu;

// ((counter | kind >> 16) << 16) | slot
constexpr ResourceHandle MakeResourceHandle(uint32_t kind, uint32_t counter, uint32_t slot) {
  return static_cast<ResourceHandle>(
      (((counter & kHandleCounterMask) | (kind >> 16)) << 16) | (slot & 0xFFFFu));
}
constexpr uint32_t HandleKindOf(ResourceHandle h) {
  return static_cast<uint32_t>(h) & handle_kind::kMask;
}
constexpr uint32_t HandleCounterOf(ResourceHandle h) {
  return (static_cast<uint32_t>(h) >> 16) & kHandleCounterMask;
}
constexpr int HandleSlotOf(ResourceHandle h) { return static_cast<int>(h & 0xFFFF); }

// The parts of the validity rule that need no table: not negative, the
// expected kind, a slot below the limit. Returns the slot, or -1.
constexpr int CheckHandleShape(ResourceHandle h, uint32_t kind, int limit) {
  if (h < 0 || HandleKindOf(h) != kind) return -1;
  const int slot = HandleSlotOf(h);
  return slot < limit ? slot : -1;
}

// The 11-bit counter of one table: hands out 0, 1, ..., 2047, 0, ...
class HandleCounter {
 public:
  uint32_t Take() {
    const uint32_t n = next_;
    next_ = (next_ + 1) & kHandleCounterMask;
    return n;
  }
  uint32_t next() const { return next_; }
  void Reset() { next_ = 0; }

 private:
  uint32_t next_ = 0;
};

// A table of records of one kind, addressed by handle. The table does not own
// its records: the caller allocates them before Insert and frees them after
// Remove. Slots are kept with the counter each record was made with.
template <typename Record>
class HandleTable {
 public:
  HandleTable(uint32_t kind, int limit) : kind_(kind), limit_(limit) {}

  uint32_t kind() const { return kind_; }
  int limit() const { return limit_; }
  int count() const { return count_; }
  // One past the highest slot in use.
  int bound() const { return static_cast<int>(slots_.size()); }

  // The lowest free slot, or -1 when the table is full.
  int FirstFreeSlot() const {
    for (size_t i = 0; i < slots_.size(); ++i)
      if (!slots_[i].record) return static_cast<int>(i);
    return bound() < limit_ ? bound() : -1;
  }

  // Puts a record into a free slot below the limit, stamps it with the
  // table's counter and returns its handle; -1 when the slot is unusable.
  ResourceHandle Insert(int slot, Record* record) {
    if (slot < 0 || slot >= limit_ || !record) return -1;
    if (slot >= bound()) slots_.resize(static_cast<size_t>(slot) + 1);
    Slot& s = slots_[static_cast<size_t>(slot)];
    if (s.record) return -1;
    s.record = record;
    s.counter = counter_.Take();
    ++count_;
    return MakeResourceHandle(kind_, s.counter, static_cast<uint32_t>(slot));
  }

  // Insert into the lowest free slot.
  ResourceHandle Add(Record* record) { return Insert(FirstFreeSlot(), record); }

  // The record a handle names, or null when the handle is invalid.
  Record* Find(ResourceHandle h) const {
    const int slot = CheckHandleShape(h, kind_, limit_);
    if (slot < 0 || slot >= bound()) return nullptr;
    const Slot& s = slots_[static_cast<size_t>(slot)];
    if (!s.record || s.counter != HandleCounterOf(h)) return nullptr;
    return s.record;
  }

  Record* AtSlot(int slot) const {
    return slot >= 0 && slot < bound() ? slots_[static_cast<size_t>(slot)].record : nullptr;
  }
  // The handle of the record in a slot, or -1 for an empty slot.
  ResourceHandle HandleAt(int slot) const {
    Record* r = AtSlot(slot);
    if (!r) return -1;
    return MakeResourceHandle(kind_, slots_[static_cast<size_t>(slot)].counter,
                              static_cast<uint32_t>(slot));
  }

  // Empties the slot a valid handle names and returns its record (null and
  // no change for an invalid handle).
  Record* Remove(ResourceHandle h) {
    Record* r = Find(h);
    if (r) RemoveSlot(HandleSlotOf(h));
    return r;
  }
  void RemoveSlot(int slot) {
    if (!AtSlot(slot)) return;
    slots_[static_cast<size_t>(slot)].record = nullptr;
    --count_;
    while (!slots_.empty() && !slots_.back().record) slots_.pop_back();
  }

  // Forgets every record (the caller frees them); the counter runs on, so
  // handles from before stay refused.
  void Clear() {
    slots_.clear();
    count_ = 0;
  }

  HandleCounter& counter() { return counter_; }

 private:
  struct Slot {
    Record* record = nullptr;
    uint32_t counter = 0;
  };
  uint32_t kind_;
  int limit_;
  std::vector<Slot> slots_;
  int count_ = 0;
  HandleCounter counter_;
};
