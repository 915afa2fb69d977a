// Tracked memory: every block the library allocates carries a header that
// links it into one list with its source name, line and size, so what is
// still allocated can be dumped to the log, plus a copy of that record, so a
// damaged header can be detected.
#pragma once

#include <cstddef>
#include <cstdint>

struct AllocRecord {
  char name[16];      // last 15 characters of the source name, NUL-terminated
  uint16_t id;        // allocation counter value, wraps at 65536
  uint16_t line;      // caller's line (-1 is kept as 0xFFFF)
  uint32_t size;      // bytes asked for
  AllocRecord* next;  // made before this one (toward the list end)
  AllocRecord* prev;  // made after this one; null for the newest
};

struct AllocHeader {
  AllocRecord record;
  AllocRecord copy;  // exact copy of `record`
};

// The allocator's totals and logging switches (all switches 0 by default,
// which logs only blocks of size 0).
struct TrackedMemoryState {
  AllocRecord* head;  // newest record, null before the first allocation
  uint16_t next_id;
  int32_t total_size;
  int32_t count;
  int32_t log_every_block;
  int32_t traced_size;  // log blocks of exactly this size; negative logs all
  int32_t log_totals;
  int32_t check_each_time;
};

TrackedMemoryState& GetTrackedMemoryState();

// Returns the data pointer (16-byte aligned, right after the header), or null
// when the heap refuses, after dumping the whole list to the log.
void* AllocTracked(uint32_t size, const char* source_name, int16_t line);
void* AllocTrackedZeroed(uint32_t size, const char* source_name, int16_t line);
// Null is ignored.
void FreeTracked(void* data);

// 0 when every header matches its copy; -1 after logging the first damaged one.
int CheckAllocList();
// One log line: size, name, line, id and the first 16 data bytes.
void DumpAllocRecord(const AllocRecord* record);
// The whole list, newest first, with the totals.
void DumpAllocList();

// The header of a block (for tests and for dumps).
AllocHeader* HeaderOfTracked(void* data);

// Makes the next `count` heap requests fail (tests).
void FailHeapRequestsForTesting(int count);
// The byte count of the last request made of the heap (refused or not).
size_t LastHeapRequestBytesForTesting();
