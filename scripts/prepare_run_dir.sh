#!/usr/bin/env bash
# Lays out the directory the game runs in: generated stand-in assets, a
# default screen.txt, the attract demo's replays, and the folders for saved
# state. Saved files that are already there are kept.
set -euo pipefail
build="$1"
run="$2"
mkdir -p "$run/file" "$run/Replay"
if [ -x "$build/tools/assetgen/assetgen" ]; then
  "$build/tools/assetgen/assetgen" --quiet "$run"
fi
# The demo replays are the game's own data, not the player's: always the
# ones recorded for this build (scripts/record_demo_replays.sh).
demos="$(dirname "$0")/../tests/data/demo_replays"
for n in 100 101 102; do
  if [ -f "$demos/replay$n.dat" ]; then
    cp "$demos/replay$n.dat" "$run/Replay/replay$n.dat"
  fi
done
if [ ! -f "$run/screen.txt" ]; then
  # Window mode, 17 ms frame pacing.
  printf '1\n1\n' > "$run/screen.txt"
fi
