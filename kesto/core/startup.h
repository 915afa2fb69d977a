// Start-up and shutdown of the whole library, the fatal exit, the system
// report and the component runtime's start.
#pragma once

#include <cstdint>

int RunStartupSequence();
int RunShutdownSequence();
[[noreturn]] void ExitWithError(const char* text);
[[noreturn]] void ExitWithErrorFormat(const char* format, ...)
    __attribute__((format(printf, 1, 2)));
int ProbeSystem();
int InitCom();
int ReadVersionWords(uint32_t* library_version, uint32_t* directx_version, uint32_t* os_code);
int GetCpuProbeFlag();
const char* GetOsDescriptionText();

constexpr uint32_t kLibraryVersion = 0x2200;
