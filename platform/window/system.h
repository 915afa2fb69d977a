// System facts and process services the library's start-up asks for: the
// desktop mode, memory, the operating system's version, the processor, the
// component runtime, the DirectX probe, the single running copy, message
// boxes and ending the process.
#pragma once

#include <cstdint>
#include <string>

namespace platform::window {

// The desktop as the simulated display reports it; bits are bytes per
// pixel times 8, so the usual 24-bit-reported XRGB desktop counts as 32.
void GetDesktopMode(int* width, int* height, int* bits);
// Physical memory in bytes, each clamped to 32 bits.
void GetMemoryStatus(uint32_t* total, uint32_t* available);
int GetOemCodePage();

struct OsVersion {
  int platform_id;  // 0 Win32s, 1 9x, 2 NT
  int major;
  int minor;
  int build;
  std::string service_text;
};
// The version the library's report knows: the NT family at 5.1.
OsVersion GetOsVersion();

// Processor: time-stamp counter and CPUID.
bool HasTimeStampCounter();
uint64_t ReadTimeStampCounter();
bool HasCpuid();
// 12 characters and a terminator.
void CpuidVendor(char out[13]);
bool CpuidHasMmx();
// The brand text (48 characters and a terminator); false when not offered.
bool CpuidBrand(char out[49]);

// The component runtime: 0 started, 1 already started, negative failure.
int ComInitialize();
void ComUninitialize();
int ComInitCount();

// The DirectX probe ladder: steps 1-12 all succeed unless a test makes
// one fail.
bool DirectXProbeStep(int step);

// The single running copy, as a lock held by the window class's owner.
// KESTO_INSTANCE_LOCK names the lock file (default: $XDG_RUNTIME_DIR or
// the temporary directory, "Kesto.lock").
// False only when another copy holds it; when no lock can be made at all
// the copy runs, and stderr says that two copies may then run together.
bool AcquireInstanceLock();
void ReleaseInstanceLock();
std::string InstanceLockPath();
// Another holder (this process included) has the lock.
bool IsInstanceLockHeldElsewhere();

// A message box (SDL's when a real display exists, else standard error).
void ShowMessageBox(const char* caption_cp932, const char* text_cp932);
// Flushes output, closes SDL (so the desktop mode comes back) and ends the
// process at once with the code's low byte.
[[noreturn]] void ExitProcess(int code);

struct SystemFaults {
  int com_init_result = 0;
  int directx_fail_step = 0;  // 0: no failure
};
SystemFaults& SystemFaultsForTesting();

}  // namespace platform::window
