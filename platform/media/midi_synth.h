// MIDI music through FluidSynth: a synthesiser with a General MIDI sound
// font and a player for one Standard MIDI File, timed by the samples it
// renders (never by a clock of its own), so that the mixer, manual or real,
// sets its pace. Without a sound font the player still runs, silent.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct _fluid_synth_t;
struct _fluid_player_t;
struct _fluid_hashtable_t;

namespace platform::media {

// The sound font MIDI is played with: KESTO_SOUND_FONT when it names a
// readable file, else the system's General MIDI font. Empty when none is.
const std::string& SoundFontPath();
// Why MIDI plays silent, in words; empty while a sound font is loaded.
std::string MidiSilenceReason();
// Tests: use this sound font path (an empty one: none at all); null looks
// again as the program does.
void SetSoundFontForTesting(const char* path);

class MidiSynth {
 public:
  ~MidiSynth();
  MidiSynth(const MidiSynth&) = delete;
  MidiSynth& operator=(const MidiSynth&) = delete;

  // A synthesiser at `sample_rate`, with the sound font when there is one.
  // A synthesiser idle from an earlier piece is taken again when it fits,
  // so a new piece does not load the sound font again.
  static std::unique_ptr<MidiSynth> Create(int sample_rate);
  // Gives a synthesiser back for the next piece (or frees it).
  static void Recycle(std::unique_ptr<MidiSynth> synth);

  // Starts a Standard MIDI File from `from_seconds`. Notes of an earlier
  // piece are released first. The player goes on for a while after the
  // piece's last event, so callers time the piece themselves (its length
  // from the file) and stop or rewind it there.
  bool Start(const uint8_t* smf, size_t size, double from_seconds);
  // The same piece from its beginning, at once.
  bool Rewind();
  // Releases every note and stops the player; the notes ring out.
  void Stop();
  // Adds `frames` stereo frames, scaled by `gain` (65536 = 1), to `accum`.
  void Render(int32_t* accum, int frames, int32_t gain);
  // No voice sounds any more.
  bool quiet() const;
  bool has_sound_font() const { return font_id_ >= 0; }
  int sample_rate() const { return rate_; }

 private:
  MidiSynth() = default;
  void DeletePlayer();

  _fluid_hashtable_t* settings_ = nullptr;
  _fluid_synth_t* synth_ = nullptr;
  _fluid_player_t* player_ = nullptr;
  int font_id_ = -1;
  std::string font_path_;
  int rate_ = 0;
  std::vector<float> scratch_;
  std::vector<uint8_t> piece_;
};

}  // namespace platform::media
