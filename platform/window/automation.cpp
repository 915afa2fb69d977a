#include "platform/window/automation.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>

#include "platform/file_system.h"
#include "platform/input/input_devices.h"
#include "platform/window/audio_capture.h"
#include "platform/input/key_codes.h"
#include "platform/video/presenter.h"

namespace platform::window {
namespace {

// A replay's fast-forward shows one frame in eight, and a scene change
// leaves a frame or two unshown: runs that short are still counted by the
// presents around them. Longer runs (a key that sends every scene straight
// back, so nothing is ever presented) count each further pump as a frame,
// so scripts and the frame limit still move on.
constexpr uint64_t kIdlePumpsBeforeCounting = 16;

struct Automation {
  bool configured = false;
  uint64_t quit_after = 0;
  bool quit_posted = false;
  uint64_t pumps = 0;
  // Frame pumps in a row with no present between them, and the frames
  // counted for such runs once they grow past kIdlePumpsBeforeCounting.
  uint64_t presented_at_last_pump = 0;
  uint64_t idle_run = 0;
  uint64_t idle_frames = 0;
  std::vector<ScriptEvent> events;
  size_t next_event = 0;
  WindowHandle window = nullptr;
};

Automation& State() {
  static Automation* a = new Automation();
  return *a;
}

bool ParseName(const std::string& name, bool down, ScriptEvent* e) {
  std::string upper = name;
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (upper.rfind("PAD_BUTTON", 0) == 0) {
    const std::string digits = upper.substr(10);
    if (digits.empty() || digits.size() > 2 ||
        digits.find_first_not_of("0123456789") != std::string::npos) {
      return false;
    }
    const int n = std::atoi(digits.c_str());
    if (n > 31) return false;
    e->kind = ScriptEvent::kPadButton;
    e->code = n;
    e->value = down ? 1 : 0;
    return true;
  }
  struct Dir {
    const char* name;
    int axis;
    int value;
  };
  static const Dir kDirs[] = {
      {"PAD_LEFT", 0, -32768}, {"PAD_RIGHT", 0, 32767}, {"PAD_UP", 1, -32768}, {"PAD_DOWN", 1, 32767}};
  for (const Dir& d : kDirs) {
    if (upper == d.name) {
      e->kind = ScriptEvent::kPadAxis;
      e->code = d.axis;
      e->value = down ? d.value : 0;
      return true;
    }
  }
  const int key = input::KeyCodeFromName(upper.c_str());
  if (key < 0) return false;
  e->kind = ScriptEvent::kKey;
  e->code = key;
  e->value = down ? 1 : 0;
  return true;
}

void Apply(const ScriptEvent& e) {
  switch (e.kind) {
    case ScriptEvent::kKey:
      input::SetKeyDown(e.code, e.value != 0);
      break;
    case ScriptEvent::kPadAxis:
      input::SetInjectedPadAxis(e.code, e.value);
      break;
    case ScriptEvent::kPadButton:
      input::SetInjectedPadButton(e.code, e.value != 0);
      break;
  }
}

}  // namespace

std::vector<ScriptEvent> ParseInputScript(const std::string& text,
                                          std::vector<std::string>* errors) {
  std::vector<ScriptEvent> events;
  std::istringstream in(text);
  std::string raw;
  int line_no = 0;
  while (std::getline(in, raw)) {
    ++line_no;
    const size_t hash = raw.find('#');
    if (hash != std::string::npos) raw.resize(hash);
    std::istringstream fields(raw);
    std::string frame_text, name, state, extra;
    if (!(fields >> frame_text)) continue;  // blank line
    auto fail = [&](const char* why) {
      if (errors) errors->push_back("line " + std::to_string(line_no) + ": " + why);
    };
    if (!(fields >> name >> state) || (fields >> extra)) {
      fail("expected: frame name down|up");
      continue;
    }
    if (frame_text.size() > 18 || frame_text.find_first_not_of("0123456789") != std::string::npos) {
      fail("bad frame number");
      continue;
    }
    const bool down = state == "down";
    if (!down && state != "up") {
      fail("state must be down or up");
      continue;
    }
    ScriptEvent e;
    e.frame = std::strtoull(frame_text.c_str(), nullptr, 10);
    e.line = line_no;
    if (!ParseName(name, down, &e)) {
      fail("unknown key or button");
      continue;
    }
    events.push_back(e);
  }
  // Stable by frame, so lines of one frame keep their order.
  std::stable_sort(events.begin(), events.end(),
                   [](const ScriptEvent& a, const ScriptEvent& b) { return a.frame < b.frame; });
  return events;
}

void SetAutomationWindow(WindowHandle window) { State().window = window; }

void SetQuitAfterFrames(uint64_t frames) {
  State().configured = true;
  State().quit_after = frames;
  State().quit_posted = false;
}

void SetInputScript(std::vector<ScriptEvent> events) {
  Automation& a = State();
  a.configured = true;
  a.events = std::move(events);
  a.next_event = 0;
  for (const ScriptEvent& e : a.events) {
    if (e.kind != ScriptEvent::kKey) input::EnableInjectedPad(true);
  }
}

void ConfigureAutomationFromEnvironment() {
  Automation& a = State();
  if (a.configured) return;
  a.configured = true;
  if (const char* n = std::getenv("KESTO_QUIT_AFTER_FRAMES")) {
    char* end = nullptr;
    const unsigned long long v = std::strtoull(n, &end, 10);
    if (end != n && *end == '\0') {
      a.quit_after = v;
    } else {
      std::fprintf(stderr, "kesto: KESTO_QUIT_AFTER_FRAMES ignored: not a number: %s\n", n);
    }
  }
  if (const char* path = std::getenv("KESTO_INPUT_SCRIPT")) SetInputScript(LoadInputScript(path));
}

std::vector<ScriptEvent> LoadInputScript(const char* path) {
  // A script is a few kilobytes; a read error must not pass for its end.
  constexpr size_t kMaxScriptBytes = size_t{64} << 20;
  std::vector<uint8_t> bytes;
  if (const int error = ReadWholeFile(path, kMaxScriptBytes, &bytes); error != 0) {
    std::fprintf(stderr, "kesto: KESTO_INPUT_SCRIPT: cannot read %s (%s)\n", path,
                 FileErrorText(error).c_str());
    return {};
  }
  std::vector<std::string> errors;
  auto events = ParseInputScript(std::string(bytes.begin(), bytes.end()), &errors);
  for (const std::string& e : errors) {
    std::fprintf(stderr, "kesto: KESTO_INPUT_SCRIPT %s: %s (skipped)\n", path, e.c_str());
  }
  return events;
}

void NoteFramePump(bool frame_pump) {
  ConfigureAutomationFromEnvironment();
  Automation& a = State();
  const uint64_t presented = video::PresentedFrameCount();
  if (frame_pump) {
    ++a.pumps;
    if (presented != a.presented_at_last_pump) {
      a.presented_at_last_pump = presented;
      a.idle_run = 0;
    } else if (++a.idle_run > kIdlePumpsBeforeCounting) {
      ++a.idle_frames;
    }
  }
  const uint64_t frame = presented + a.idle_frames;
  if (frame_pump) CaptureAudioUpTo(presented);
  while (a.next_event < a.events.size() && a.events[a.next_event].frame <= frame) {
    Apply(a.events[a.next_event]);
    ++a.next_event;
  }
  if (a.quit_after == 0 || a.quit_posted || !IsWindow(a.window)) return;
  const uint64_t count = presented > 0 ? frame : a.pumps;
  if (count >= a.quit_after && frame_pump) {
    a.quit_posted = true;
    PostMessage(a.window, kMsgClose, 0, 0);
  }
}

void ResetAutomationForTesting() {
  Automation& a = State();
  a = Automation{};
  a.configured = true;  // tests set what they need
}

}  // namespace platform::window
