#include "core/tracked_memory.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "core/app_log.h"

static_assert(sizeof(AllocHeader) == 2 * sizeof(AllocRecord));
static_assert(sizeof(AllocHeader) % 16 == 0, "data after the header must stay 16-byte aligned");
// A request of any 32-bit size plus its header cannot wrap a size_t.
static_assert(SIZE_MAX - sizeof(AllocHeader) >= UINT32_MAX);

namespace {

TrackedMemoryState g_state{};
// The fixed record at which every walk stops; the first allocation makes it
// the end of the list.
AllocHeader g_list_end{};
int g_failing_requests = 0;
size_t g_last_request_bytes = 0;
// The list is meant to be used under the call lock only, but the sound
// layer's own thread must not be able to tear it either. Recursive: a failed
// request dumps the list through the log, which may allocate.
std::recursive_mutex g_list_mutex;

void* HeapRequest(size_t bytes) {
  g_last_request_bytes = bytes;
  if (g_failing_requests > 0) {
    --g_failing_requests;
    return nullptr;
  }
  return std::malloc(bytes);
}

AllocHeader* HeaderOf(AllocRecord* r) { return reinterpret_cast<AllocHeader*>(r); }

void RefreshCopy(AllocRecord* r) {
  if (r) std::memcpy(&HeaderOf(r)->copy, r, sizeof(AllocRecord));
}

bool ShouldLog(uint32_t size) {
  return g_state.traced_size < 0 || static_cast<uint32_t>(g_state.traced_size) == size ||
         g_state.log_every_block == 1;
}

void LogTotals() {
  WriteLogFormat("\tTotal size:%d(%.3fkb)  Alloc num:%d", g_state.total_size,
                 g_state.total_size / 1024.0, g_state.count);
}

bool HeaderIntact(const AllocRecord* r) {
  return std::memcmp(r, &reinterpret_cast<const AllocHeader*>(r)->copy, sizeof(AllocRecord)) == 0;
}

void ReportDamaged(const AllocRecord* r) {
  WriteLog("以下のメモリ確保情報が破損しました");
  DumpAllocRecord(r);
}

void AddToTotal(int64_t delta) {
  g_state.total_size = static_cast<int32_t>(static_cast<uint32_t>(g_state.total_size) +
                                            static_cast<uint32_t>(delta));
}

}  // namespace

TrackedMemoryState& GetTrackedMemoryState() { return g_state; }

void* AllocTracked(uint32_t size, const char* source_name, int16_t line) {
  std::lock_guard<std::recursive_mutex> hold(g_list_mutex);
  // In size_t, so a request near 4 GB cannot wrap into a tiny block.
  const size_t bytes = static_cast<size_t>(size) + sizeof(AllocHeader);
  auto* h = static_cast<AllocHeader*>(HeapRequest(bytes));
  if (!h) {
    DumpAllocList();
    return nullptr;
  }
  AllocRecord& r = h->record;
  std::memset(&r, 0, sizeof r);
  r.size = size;
  if (source_name) {
    const size_t len = std::strlen(source_name);
    const char* tail = len > 15 ? source_name + (len - 15) : source_name;
    std::memcpy(r.name, tail, std::strlen(tail));
  }
  r.line = static_cast<uint16_t>(line);
  r.id = g_state.next_id++;

  if (!g_state.head) g_state.head = &g_list_end.record;
  AllocRecord* old_head = g_state.head;
  old_head->prev = &r;
  r.next = old_head;
  r.prev = nullptr;
  g_state.head = &r;
  RefreshCopy(&r);
  RefreshCopy(old_head);

  AddToTotal(size);
  ++g_state.count;

  if (ShouldLog(size)) {
    WriteLog("mem alloc  ");
    DumpAllocRecord(&r);
  }
  if (g_state.log_totals == 1) LogTotals();
  if (g_state.check_each_time == 1) CheckAllocList();
  return h + 1;
}

void* AllocTrackedZeroed(uint32_t size, const char* source_name, int16_t line) {
  void* p = AllocTracked(size, source_name, line);
  if (p) std::memset(p, 0, size);
  return p;
}

void FreeTracked(void* data) {
  if (!data) return;
  std::lock_guard<std::recursive_mutex> hold(g_list_mutex);
  AllocHeader* h = HeaderOfTracked(data);
  AllocRecord* r = &h->record;
  // Unlinking through a damaged header would write through its pointers:
  // report it and keep the block instead.
  if (!HeaderIntact(r)) {
    ReportDamaged(r);
    return;
  }
  AddToTotal(-static_cast<int64_t>(r->size));
  --g_state.count;
  if (g_state.check_each_time == 1) CheckAllocList();

  // The newest block has no previous record: only the head moves.
  if (r->prev) r->prev->next = r->next;
  if (r->next) r->next->prev = r->prev;
  if (g_state.head == r) g_state.head = r->next;
  RefreshCopy(r->prev);
  RefreshCopy(r->next);

  if (ShouldLog(r->size)) {
    WriteLog("mem free  ");
    DumpAllocRecord(r);
  }
  if (g_state.log_totals == 1) LogTotals();
  std::free(h);
}

int CheckAllocList() {
  std::lock_guard<std::recursive_mutex> hold(g_list_mutex);
  for (AllocRecord* r = g_state.head; r && r != &g_list_end.record; r = r->next) {
    if (!HeaderIntact(r)) {
      ReportDamaged(r);
      return -1;
    }
  }
  return 0;
}

void DumpAllocRecord(const AllocRecord* record) {
  char line[256];
  int n = std::snprintf(line, sizeof line, "\tsize:%d(%.3fkb)  file:%.15s  line:%d  ID:%d  data:<",
                        static_cast<int>(record->size), record->size / 1024.0, record->name,
                        record->line, record->id);
  if (n < 0) return;
  const auto* data = reinterpret_cast<const uint8_t*>(record) + sizeof(AllocHeader);
  // A damaged size must not lead the dump past the block: the copy's size
  // bounds what is shown.
  uint32_t shown = record->size < 16 ? record->size : 16;
  const AllocRecord& copy = reinterpret_cast<const AllocHeader*>(record)->copy;
  if (copy.size < shown) shown = copy.size;
  size_t o = static_cast<size_t>(n);
  for (uint32_t i = 0; i < shown; ++i) {
    const uint8_t b = data[i];
    line[o++] = (b < 0x20 || b > 0x7F) ? '.' : static_cast<char>(b);
  }
  std::memcpy(line + o, "> [", 3);
  o += 3;
  for (uint32_t i = 0; i < shown; ++i) {
    std::snprintf(line + o, sizeof line - o, "%02x ", data[i]);
    o += 3;
  }
  // The last blank becomes the closing bracket; with no bytes shown there is
  // no blank, and the bracket follows the opening one.
  if (shown > 0) --o;
  std::memcpy(line + o, "]\n", 3);
  WriteLog(line);
}

void DumpAllocList() {
  std::lock_guard<std::recursive_mutex> hold(g_list_mutex);
  WriteLog("\n");
  WriteLogFormat("Alloc memory dump");
  for (AllocRecord* r = g_state.head; r && r != &g_list_end.record; r = r->next) {
    if (!HeaderIntact(r)) {
      // Its link to older blocks cannot be trusted: the walk ends here.
      ReportDamaged(r);
      break;
    }
    DumpAllocRecord(r);
  }
  LogTotals();
  WriteLog("\n");
}

AllocHeader* HeaderOfTracked(void* data) { return static_cast<AllocHeader*>(data) - 1; }

void FailHeapRequestsForTesting(int count) { g_failing_requests = count; }
size_t LastHeapRequestBytesForTesting() { return g_last_request_bytes; }
