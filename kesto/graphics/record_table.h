// The slot-and-serial table behind graphic, surface and 2D surface handles.
// A handle is ((serial | tag) << 16) | slot; the serial (0..2047) is checked
// against the record so a handle of a deleted record stays refused after its
// slot is reused.
#pragma once

#include <cstdint>
#include <vector>

template <typename Record>
class RecordTable {
 public:
  RecordTable(int capacity, uint32_t tag) : capacity_(capacity), tag_(tag), slots_(capacity) {}

  int capacity() const { return capacity_; }
  int count() const { return count_; }
  int bound() const { return bound_; }
  bool full() const { return count_ >= capacity_; }
  Record* at(int slot) const { return slot >= 0 && slot < capacity_ ? slots_[slot] : nullptr; }

  // The slot at the bound while it is below the capacity, else the first
  // free one; -1 when none is free.
  int FreeSlot() const {
    if (bound_ < capacity_) return bound_;
    for (int i = 0; i < capacity_; ++i)
      if (!slots_[i]) return i;
    return -1;
  }

  // Puts a record in a slot from FreeSlot and returns its handle.
  int Insert(int slot, Record* record) {
    record->serial = serial_;
    serial_ = serial_ >= 2047 ? 0 : serial_ + 1;
    slots_[slot] = record;
    ++count_;
    if (slot >= bound_) bound_ = slot + 1;
    return static_cast<int>(((record->serial | tag_) << 16) | static_cast<uint32_t>(slot));
  }

  // The record of a handle, or null when the handle is negative, of another
  // kind, out of range, free or of an older serial.
  Record* Find(int handle) const {
    if (handle < 0) return nullptr;
    const uint32_t h = static_cast<uint32_t>(handle);
    if ((h & 0x78000000u) != (tag_ << 16)) return nullptr;
    const int slot = static_cast<int>(h & 0xFFFFu);
    if (slot >= capacity_) return nullptr;
    Record* r = slots_[slot];
    if (!r || r->serial != ((h >> 16) & 0x7FFu)) return nullptr;
    return r;
  }

  static int SlotOf(int handle) { return handle & 0xFFFF; }

  // Empties a slot; the bound moves down past every empty slot.
  void Remove(int slot) {
    if (!at(slot)) return;
    slots_[slot] = nullptr;
    --count_;
    if (slot == bound_ - 1) {
      while (bound_ > 0 && !slots_[bound_ - 1]) --bound_;
    }
  }

  // Forgets every record (the caller frees them) and the serial counter.
  void Reset() {
    std::fill(slots_.begin(), slots_.end(), nullptr);
    count_ = bound_ = 0;
    serial_ = 0;
  }

 private:
  int capacity_;
  uint32_t tag_;
  std::vector<Record*> slots_;
  int count_ = 0;
  int bound_ = 0;
  uint32_t serial_ = 0;
};
