#include "platform/media/midi_synth.h"

#include <fluidsynth.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <mutex>

#include "platform/audio/midi_file.h"
#include "platform/file_system.h"

namespace platform::media {

namespace {

// Where Debian's General MIDI sound fonts are: the system's chosen one
// first, then the two packages' own files.
const char* const kSystemSoundFonts[] = {
    "/usr/share/sounds/sf2/default-GM.sf2",
    "/usr/share/sounds/sf2/TimGM6mb.sf2",
    "/usr/share/sounds/sf2/FluidR3_GM.sf2",
    "/usr/share/sounds/sf3/default-GM.sf3",
};

std::mutex g_mutex;
bool g_font_forced = false;
std::string g_forced_font;
bool g_font_known = false;
std::string g_font;
std::string g_font_problem;
// One synthesiser kept idle between pieces, with its sound font loaded.
MidiSynth* g_idle = nullptr;

bool IsReadableFile(const std::string& path) {
  struct stat st {};
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
         ::access(path.c_str(), R_OK) == 0;
}

void LogFluidError(int level, const char* message, void*) {
  std::string text = level == FLUID_PANIC ? "kesto: fluidsynth panic: " : "kesto: fluidsynth: ";
  text += message != nullptr ? message : "";
  text += "\n";
  platform::DebugOutput(text.c_str());
}

void QuietFluidSynth() {
  static std::once_flag once;
  std::call_once(once, [] {
    fluid_set_log_function(FLUID_PANIC, LogFluidError, nullptr);
    fluid_set_log_function(FLUID_ERR, LogFluidError, nullptr);
    fluid_set_log_function(FLUID_WARN, nullptr, nullptr);
    fluid_set_log_function(FLUID_INFO, nullptr, nullptr);
    fluid_set_log_function(FLUID_DBG, nullptr, nullptr);
  });
}

// With g_mutex held.
const std::string& FindSoundFontLocked() {
  if (g_font_known) return g_font;
  g_font_known = true;
  g_font.clear();
  g_font_problem.clear();
  if (g_font_forced) {
    if (IsReadableFile(g_forced_font)) {
      g_font = g_forced_font;
    } else {
      g_font_problem = "no General MIDI sound font (" +
                       (g_forced_font.empty() ? std::string("none given") : g_forced_font) + ")";
    }
    return g_font;
  }
  const char* chosen = std::getenv("KESTO_SOUND_FONT");
  if (chosen != nullptr && *chosen != '\0') {
    if (IsReadableFile(chosen)) {
      g_font = chosen;
      return g_font;
    }
    std::fprintf(
        stderr,
        "kesto: KESTO_SOUND_FONT names %s, which cannot be read; looking for the system's\n",
        chosen);
  }
  std::string tried;
  for (const char* path : kSystemSoundFonts) {
    if (IsReadableFile(path)) {
      g_font = path;
      return g_font;
    }
    tried += tried.empty() ? path : std::string(", ") + path;
  }
  g_font_problem = "no General MIDI sound font found (looked for " + tried +
                   "; Debian's timgm6mb-soundfont provides one)";
  std::fprintf(stderr, "kesto: %s: MIDI music plays silent\n", g_font_problem.c_str());
  return g_font;
}

}  // namespace

const std::string& SoundFontPath() {
  std::lock_guard lock(g_mutex);
  return FindSoundFontLocked();
}

std::string MidiSilenceReason() {
  std::lock_guard lock(g_mutex);
  FindSoundFontLocked();
  if (g_font_problem.empty()) return "";
  return g_font_problem + ": MIDI music plays silent";
}

void SetSoundFontForTesting(const char* path) {
  MidiSynth* idle = nullptr;
  {
    std::lock_guard lock(g_mutex);
    g_font_forced = path != nullptr;
    g_forced_font = path != nullptr ? path : "";
    g_font_known = false;
    idle = g_idle;
    g_idle = nullptr;
  }
  delete idle;
}

std::unique_ptr<MidiSynth> MidiSynth::Create(int sample_rate) {
  QuietFluidSynth();
  std::string font;
  {
    std::lock_guard lock(g_mutex);
    font = FindSoundFontLocked();
    if (g_idle != nullptr && g_idle->rate_ == sample_rate && g_idle->font_path_ == font) {
      std::unique_ptr<MidiSynth> reused(g_idle);
      g_idle = nullptr;
      return reused;
    }
  }
  std::unique_ptr<MidiSynth> s(new MidiSynth());
  s->rate_ = sample_rate;
  s->settings_ = new_fluid_settings();
  if (s->settings_ == nullptr) return nullptr;
  fluid_settings_setnum(s->settings_, "synth.sample-rate", sample_rate);
  // The mixer's lock serialises every call; the player runs on rendered
  // samples, so the pace is the output's (or a test's).
  fluid_settings_setint(s->settings_, "synth.threadsafe-api", 0);
  fluid_settings_setint(s->settings_, "synth.cpu-cores", 1);
  fluid_settings_setstr(s->settings_, "player.timing-source", "sample");
  fluid_settings_setint(s->settings_, "player.reset-synth", 0);
  s->synth_ = new_fluid_synth(s->settings_);
  if (s->synth_ == nullptr) return nullptr;
  s->font_path_ = font;
  if (!font.empty()) {
    s->font_id_ = fluid_synth_sfload(s->synth_, font.c_str(), 1);
    if (s->font_id_ < 0) {
      std::lock_guard lock(g_mutex);
      g_font_problem = "the sound font " + font + " cannot be loaded";
    }
  }
  return s;
}

void MidiSynth::Recycle(std::unique_ptr<MidiSynth> synth) {
  if (!synth) return;
  synth->DeletePlayer();
  fluid_synth_system_reset(synth->synth_);
  MidiSynth* old = nullptr;
  {
    std::lock_guard lock(g_mutex);
    old = g_idle;
    g_idle = synth.release();
  }
  delete old;
}

MidiSynth::~MidiSynth() {
  DeletePlayer();
  if (synth_ != nullptr) delete_fluid_synth(synth_);
  if (settings_ != nullptr) delete_fluid_settings(settings_);
}

void MidiSynth::DeletePlayer() {
  if (player_ == nullptr) return;
  fluid_player_stop(player_);
  delete_fluid_player(player_);
  player_ = nullptr;
}

bool MidiSynth::Start(const uint8_t* smf, size_t size, double from_seconds) {
  DeletePlayer();
  for (int channel = 0; channel < 16; ++channel) fluid_synth_all_notes_off(synth_, channel);
  piece_.assign(smf, smf + size);
  player_ = new_fluid_player(synth_);
  if (player_ == nullptr) return false;
  if (fluid_player_add_mem(player_, piece_.data(), piece_.size()) != FLUID_OK ||
      fluid_player_play(player_) != FLUID_OK) {
    DeletePlayer();
    return false;
  }
  uint64_t tick = 0;
  if (from_seconds > 0 &&
      platform::audio::MidiTickAtSeconds(piece_.data(), piece_.size(), from_seconds, &tick)) {
    fluid_player_seek(player_, static_cast<int>(std::min<uint64_t>(tick, 0x7FFFFFFF)));
  }
  return true;
}

bool MidiSynth::Rewind() {
  if (player_ != nullptr && fluid_player_get_status(player_) == FLUID_PLAYER_PLAYING) {
    for (int channel = 0; channel < 16; ++channel) fluid_synth_all_notes_off(synth_, channel);
    return fluid_player_seek(player_, 0) == FLUID_OK;
  }
  const std::vector<uint8_t> piece = piece_;
  return Start(piece.data(), piece.size(), 0);
}

void MidiSynth::Stop() {
  if (player_ != nullptr) fluid_player_stop(player_);
  for (int channel = 0; channel < 16; ++channel) fluid_synth_all_notes_off(synth_, channel);
}

void MidiSynth::Render(int32_t* accum, int frames, int32_t gain) {
  scratch_.resize(2 * static_cast<size_t>(frames));
  fluid_synth_write_float(synth_, frames, scratch_.data(), 0, 2, scratch_.data(), 1, 2);
  for (size_t i = 0; i < scratch_.size(); ++i) {
    const double v = static_cast<double>(scratch_[i]) * 32767.0 * gain / 65536.0;
    accum[i] += static_cast<int32_t>(std::clamp(v, -32768.0, 32767.0));
  }
}

bool MidiSynth::quiet() const { return fluid_synth_get_active_voice_count(synth_) == 0; }

}  // namespace platform::media
