#!/usr/bin/env bash
# Plays a whole arcade game on HEAVEN in the real program, headless, from the
# title through every stage to the ending, the name entry and the replay
# save, and keeps every k-th frame shown (KESTO_CAPTURE_EVERY, 30 unless
# set) in <run>/capture. The input script comes from the game played by the
# recorder in the whole-game tests (a dodging pilot, no invincibility); the
# replay the program saves must match the recorder's. The program paces
# itself to the display, so the run takes about as long as the game: some
# 25 minutes.
#
#   scripts/play_whole_game_headless.sh [build/release] [build/whole_game_run]
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build/release}"
run="${2:-build/whole_game_run}"
cmake --build "$build" --target halcyris assetgen test_game_whole_game

rm -rf "$run"
bash scripts/prepare_run_dir.sh "$build" "$run"
printf '1\n0\n' > "$run/screen.txt"  # a window, no extra pacing
mkdir -p "$run/script" "$run/capture"
HALCYRIS_HEADLESS_OUT="$(cd "$run/script" && pwd)" "$build/tests/test_game_whole_game" \
  --gtest_also_run_disabled_tests --gtest_filter='*RecordHeadlessGameScript'
frames="$(cat "$run/script/frames.txt")"

program="$(cd "$build" && pwd)/game/halcyris"
lock="${KESTO_INSTANCE_LOCK:-$(cd "$run" && pwd)/halcyris.lock}"
(cd "$run" && SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy \
  KESTO_QUIT_AFTER_FRAMES=$((frames + 60)) KESTO_INPUT_SCRIPT=script/input.txt \
  KESTO_CAPTURE_DIR=capture KESTO_CAPTURE_EVERY="${KESTO_CAPTURE_EVERY:-30}" \
  KESTO_INSTANCE_LOCK="$lock" "$program")

# The same game: the name, the header (less its date, words 30-35, lines
# 32-37) and every input word.
if cmp -s <(sed '32,37d' "$run/Replay/replay5.dat") <(sed '32,37d' "$run/script/replay5.dat"); then
  echo "the program played the recorded game: $run/Replay/replay5.dat matches; frames in $run/capture"
else
  echo "the program's game differs from the recorded one: compare $run/Replay/replay5.dat with $run/script/replay5.dat" >&2
  exit 1
fi
