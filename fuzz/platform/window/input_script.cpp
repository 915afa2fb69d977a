// Input scripts (KESTO_INPUT_SCRIPT) come from files: any bytes must parse
// into well-formed events or reported lines, never a crash.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/window/automation.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::vector<std::string> errors;
  const auto events = platform::window::ParseInputScript(text, &errors);
  uint64_t last = 0;
  for (const auto& e : events) {
    if (e.frame < last) __builtin_trap();
    last = e.frame;
    switch (e.kind) {
      case platform::window::ScriptEvent::kKey:
        if (e.code < 0 || e.code > 255) __builtin_trap();
        break;
      case platform::window::ScriptEvent::kPadAxis:
        if (e.code < 0 || e.code > 1) __builtin_trap();
        break;
      case platform::window::ScriptEvent::kPadButton:
        if (e.code < 0 || e.code > 31) __builtin_trap();
        break;
    }
  }
  return 0;
}
