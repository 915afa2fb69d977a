#include "core/ring_buffer.h"

#include <algorithm>
#include <cstring>

#include "core/startup_log.h"
#include "core/tracked_memory.h"

int GrowRingBuffer(RingBuffer* ring, uint64_t extra) {
  const uint64_t needed = static_cast<uint64_t>(ring->length) + extra;
  if (needed <= ring->capacity) return 0;
  // In 64 bits: a length near 4 GB must not wrap into a small block.
  const uint64_t size = needed + 1000;
  uint8_t* block = nullptr;
  if (size <= kMaxRingBytes) {
    block = static_cast<uint8_t*>(AllocTracked(static_cast<uint32_t>(size), "KsWin", __LINE__));
  }
  if (!block) {
    FreeRingBuffer(ring);
    CoreLogFormat("リングバッファの再確保に失敗しました(確保しようとしたサイズ %lld byte)",
                  static_cast<long long>(size));
    return -1;
  }
  const uint32_t kept = PeekRing(*ring, block, ring->length);
  FreeTracked(ring->data);
  ring->data = block;
  ring->read_pos = 0;
  ring->write_pos = kept;
  ring->length = kept;
  ring->capacity = static_cast<uint32_t>(size);
  return 0;
}

int AppendToRing(RingBuffer* ring, const void* data, uint32_t bytes) {
  if (GrowRingBuffer(ring, bytes) != 0) {
    CoreLogFormat("リングバッファへのデータの追加に失敗しました(追加する長さ %u byte)", bytes);
    return -1;
  }
  const auto* src = static_cast<const uint8_t*>(data);
  while (bytes > 0) {
    uint8_t* at = nullptr;
    const uint32_t n = std::min(WritableRun(*ring, &at), bytes);
    std::memcpy(at, src, n);
    CommitRingWrite(ring, n);
    src += n;
    bytes -= n;
  }
  return 0;
}

uint32_t PeekRing(const RingBuffer& ring, void* dest, uint32_t bytes) {
  const uint32_t n = std::min(bytes, ring.length);
  if (n == 0) return 0;
  const uint32_t first = std::min(n, ring.capacity - ring.read_pos);
  auto* out = static_cast<uint8_t*>(dest);
  std::memcpy(out, ring.data + ring.read_pos, first);
  std::memcpy(out + first, ring.data, n - first);
  return n;
}

void ConsumeRing(RingBuffer* ring, uint32_t bytes) {
  const uint32_t n = std::min(bytes, ring->length);
  if (n == 0) return;
  ring->read_pos = (ring->read_pos + n) % ring->capacity;
  ring->length -= n;
}

uint32_t ReadableRun(const RingBuffer& ring, const uint8_t** at) {
  *at = ring.data ? ring.data + ring.read_pos : nullptr;
  return std::min(ring.length, ring.capacity - ring.read_pos);
}

uint32_t WritableRun(const RingBuffer& ring, uint8_t** at) {
  *at = ring.data ? ring.data + ring.write_pos : nullptr;
  if (ring.length == ring.capacity) return 0;
  return ring.write_pos >= ring.read_pos ? ring.capacity - ring.write_pos
                                         : ring.read_pos - ring.write_pos;
}

void CommitRingWrite(RingBuffer* ring, uint32_t bytes) {
  if (bytes == 0) return;
  ring->write_pos = (ring->write_pos + bytes) % ring->capacity;
  ring->length += bytes;
}

void FreeRingBuffer(RingBuffer* ring) {
  FreeTracked(ring->data);
  *ring = RingBuffer{};
}
