#!/usr/bin/env bash
# Plays a scripted stretch of stage 1 (ORIGINAL, shot held, weaving, a few
# bombs) through the game's own mixer three times, the whole mix, effects
# only and music only, and prints clipping, offset, loudness and stereo
# width of each. Usage: scripts/measure_mix.sh [BUILD_DIR] [FRAMES]
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build/release}"
frames="${2:-3000}"
out="$build/mixcheck"
mkdir -p "$out"
script="$out/mix_script.txt"
{
  # Title, main menu (ARCADE), mode select (ORIGINAL), fighter select.
  for f in 60 130 210 290; do echo "$f Z down"; echo "$((f + 2)) Z up"; done
  echo "330 Z down"
  # Weave across the field, bombing now and then.
  for ((f = 360; f < frames; f += 120)); do
    echo "$f LEFT down"; echo "$((f + 50)) LEFT up"
    echo "$((f + 60)) RIGHT down"; echo "$((f + 110)) RIGHT up"
  done
  for ((f = 900; f < frames; f += 700)); do echo "$f X down"; echo "$((f + 2)) X up"; done
} > "$script"
# Each run in its own run directory, side by side (the game reads its
# settings at start-up).
measure() {
  local name="$1" config="$2" run="$out/$1"
  bash scripts/prepare_run_dir.sh "$build" "$run" >/dev/null
  printf '1\n0\n' > "$run/screen.txt"  # no busy wait: the capture keeps time
  printf '%s' "$config" > "$run/file/config.dat"
  (cd "$run" && env SDL_VIDEODRIVER=dummy KESTO_AUDIO_OUTPUT=manual \
     KESTO_AUDIO_CAPTURE="$PWD/../$name.raw" KESTO_QUIT_AFTER_FRAMES="$frames" \
     KESTO_INPUT_SCRIPT="$script" KESTO_INSTANCE_LOCK="$PWD/mixcheck.lock" \
     ${KESTO_CAPTURE_DIR:+KESTO_CAPTURE_DIR="$KESTO_CAPTURE_DIR/$name"} \
     "$root/$build/game/halcyris")
  # Play begins about frame 340: measure from frame 600 on.
  tail -c +$((600 * 735 * 4 + 1)) "$out/$name.raw" > "$out/$name-play.raw"
}
root="$PWD"
script="$root/$script"
# Buttons, AUTO GUARD, SE volume, BGM, spare, bullet colour, enemy-shot SE, beat SE.
measure mix     "16 32 64 128 1 100 1 0 0 1 1 " &
measure effects "16 32 64 128 1 100 0 0 0 1 1 " &
measure music   "16 32 64 128 1 0 1 0 0 1 1 " &
wait
"$build/tools/assetgen/assetgen" --measure-mix "$out/mix-play.raw" "$out/effects-play.raw" \
  "$out/music-play.raw"
