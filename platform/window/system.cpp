#include "platform/window/system.h"

#include <SDL.h>
#include <fcntl.h>
#include <pthread.h>
#include <sys/file.h>
#include <sys/sysinfo.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#include <x86intrin.h>
#define KESTO_X86 1
#endif

#include "platform/video/display.h"
#include "platform/window/text_convert.h"

namespace platform::window {
namespace {

SystemFaults g_faults;
int g_com_count = 0;
int g_lock_fd = -1;

std::string LockPath() {
  if (const char* p = std::getenv("KESTO_INSTANCE_LOCK"); p && *p) return p;
  const char* dir = std::getenv("XDG_RUNTIME_DIR");
  if (!dir || !*dir) dir = std::getenv("TMPDIR");
  if (!dir || !*dir) dir = "/tmp";
  return std::string(dir) + "/Kesto.lock";
}

uint32_t Clamp32(unsigned long long v) {
  return v > 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<uint32_t>(v);
}

}  // namespace

void GetDesktopMode(int* width, int* height, int* bits) {
  const video::DisplayConfig& c = video::Config();
  if (width) *width = c.desktop_width;
  if (height) *height = c.desktop_height;
  if (bits) *bits = c.desktop_bits;
}

void GetMemoryStatus(uint32_t* total, uint32_t* available) {
  struct sysinfo info {};
  unsigned long long t = 0, a = 0;
  if (sysinfo(&info) == 0) {
    t = static_cast<unsigned long long>(info.totalram) * info.mem_unit;
    a = static_cast<unsigned long long>(info.freeram) * info.mem_unit;
  }
  if (total) *total = Clamp32(t);
  if (available) *available = Clamp32(a);
}

int GetOemCodePage() { return 932; }

OsVersion GetOsVersion() {
  OsVersion v{2, 5, 1, 2600, ""};
  struct utsname u {};
  if (uname(&u) == 0) v.service_text = std::string(u.sysname) + " " + u.release;
  return v;
}

bool HasTimeStampCounter() {
#ifdef KESTO_X86
  unsigned a = 0, b = 0, c = 0, d = 0;
  return __get_cpuid(1, &a, &b, &c, &d) && (d & (1u << 4)) != 0;
#else
  return false;
#endif
}

uint64_t ReadTimeStampCounter() {
#ifdef KESTO_X86
  return __rdtsc();
#else
  return 0;
#endif
}

bool HasCpuid() {
#ifdef KESTO_X86
  return __get_cpuid_max(0, nullptr) != 0;
#else
  return false;
#endif
}

void CpuidVendor(char out[13]) {
  std::memset(out, 0, 13);
#ifdef KESTO_X86
  unsigned a = 0, b = 0, c = 0, d = 0;
  if (__get_cpuid(0, &a, &b, &c, &d)) {
    std::memcpy(out, &b, 4);
    std::memcpy(out + 4, &d, 4);
    std::memcpy(out + 8, &c, 4);
  }
#endif
}

bool CpuidHasMmx() {
#ifdef KESTO_X86
  unsigned a = 0, b = 0, c = 0, d = 0;
  return __get_cpuid(1, &a, &b, &c, &d) && (d & (1u << 23)) != 0;
#else
  return false;
#endif
}

bool CpuidBrand(char out[49]) {
  std::memset(out, 0, 49);
#ifdef KESTO_X86
  if (__get_cpuid_max(0x80000000u, nullptr) < 0x80000004u) return false;
  for (unsigned i = 0; i < 3; ++i) {
    unsigned r[4] = {};
    __get_cpuid(0x80000002u + i, &r[0], &r[1], &r[2], &r[3]);
    std::memcpy(out + i * 16, r, 16);
  }
  return true;
#else
  return false;
#endif
}

int ComInitialize() {
  if (g_faults.com_init_result < 0) return g_faults.com_init_result;
  return g_com_count++ == 0 ? 0 : 1;
}

void ComUninitialize() {
  if (g_com_count > 0) --g_com_count;
}

int ComInitCount() { return g_com_count; }

bool DirectXProbeStep(int step) { return g_faults.directx_fail_step != step; }

std::string InstanceLockPath() { return LockPath(); }

bool AcquireInstanceLock() {
  if (g_lock_fd >= 0) return true;
  const std::string path = LockPath();
  const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NONBLOCK | O_NOCTTY, 0600);
  int error = fd < 0 ? errno : 0;
  if (fd >= 0 && flock(fd, LOCK_EX | LOCK_NB) != 0) {
    error = errno;
    close(fd);
    if (error == EWOULDBLOCK) return false;
  }
  if (error != 0) {
    // No lock possible: run rather than refuse, but say what that allows.
    std::fprintf(
        stderr,
        "kesto: cannot make the single-instance lock %s (%s): two copies of the program may now "
        "run side by side\n",
        path.c_str(), std::strerror(error));
    return true;
  }
  g_lock_fd = fd;
  return true;
}

void ReleaseInstanceLock() {
  if (g_lock_fd < 0) return;
  flock(g_lock_fd, LOCK_UN);
  close(g_lock_fd);
  g_lock_fd = -1;
}

bool IsInstanceLockHeldElsewhere() {
  const int fd =
      open(LockPath().c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NONBLOCK | O_NOCTTY, 0600);
  if (fd < 0) return false;
  const bool held = flock(fd, LOCK_EX | LOCK_NB) != 0;
  if (!held) flock(fd, LOCK_UN);
  close(fd);
  return held;
}

void ShowMessageBox(const char* caption_cp932, const char* text_cp932) {
  const std::string caption = Cp932ToUtf8(caption_cp932 ? caption_cp932 : "");
  const std::string text = Cp932ToUtf8(text_cp932 ? text_cp932 : "");
  const char* driver = SDL_WasInit(SDL_INIT_VIDEO) ? SDL_GetCurrentVideoDriver() : nullptr;
  if (driver && std::strcmp(driver, "dummy") != 0 &&
      SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption.c_str(), text.c_str(), nullptr) ==
          0) {
    return;
  }
  std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
}

namespace {
// SDL's threads (the audio callback among them) do not exist in a forked
// child, and a lock one of them held at the fork stays held there for ever:
// a child must leave SDL alone on its way out.
bool g_forked_child = false;
const int g_fork_watch = pthread_atfork(nullptr, nullptr, [] { g_forked_child = true; });
}  // namespace

void ExitProcess(int code) {
  std::fflush(nullptr);
  if (!g_forked_child && SDL_WasInit(0)) SDL_Quit();
  _exit(code & 0xFF);
}

SystemFaults& SystemFaultsForTesting() { return g_faults; }

}  // namespace platform::window
