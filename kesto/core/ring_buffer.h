// A growable ring of bytes in tracked memory: what a network connection has
// received and what it still has to send.
#pragma once

#include <cstdint>

struct RingBuffer {
  uint8_t* data;  // tracked block ("KsWin"), null until the first growth
  uint32_t read_pos;
  uint32_t write_pos;
  uint32_t length;
  uint32_t capacity;
};

// The most a ring may hold: a peer cannot make the library take more memory
// than this for one connection.
constexpr uint64_t kMaxRingBytes = 64ull << 20;

// Makes room for `extra` more bytes: when the capacity is short it becomes
// length + extra + 1000 and the data moves to the start. 0; -1 (logged, and
// the ring is emptied) when the memory cannot be had or the ring would pass
// kMaxRingBytes.
int GrowRingBuffer(RingBuffer* ring, uint64_t extra);
// Grows as needed and appends. 0; -1 (logged) when it cannot grow.
int AppendToRing(RingBuffer* ring, const void* data, uint32_t bytes);
// Copies up to `bytes` from the front without taking them; the count copied.
uint32_t PeekRing(const RingBuffer& ring, void* dest, uint32_t bytes);
// Drops up to `bytes` from the front.
void ConsumeRing(RingBuffer* ring, uint32_t bytes);
// The run of bytes that can be read from the front in one piece.
uint32_t ReadableRun(const RingBuffer& ring, const uint8_t** at);
// The run of free bytes after the back in one piece; CommitRingWrite takes
// what was written there.
uint32_t WritableRun(const RingBuffer& ring, uint8_t** at);
void CommitRingWrite(RingBuffer* ring, uint32_t bytes);
void FreeRingBuffer(RingBuffer* ring);
