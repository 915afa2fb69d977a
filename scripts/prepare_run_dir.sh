#!/usr/bin/env bash
# Lays out the directory the game runs in: generated stand-in assets, a
# default screen.txt, and the folders for saved state. Saved files that are
# already there are kept.
set -euo pipefail
build="$1"
run="$2"
mkdir -p "$run/file" "$run/Replay"
if [ -x "$build/tools/assetgen/assetgen" ]; then
  "$build/tools/assetgen/assetgen" --quiet "$run"
fi
if [ ! -f "$run/screen.txt" ]; then
  # Window mode, 17 ms frame pacing.
  printf '1\n1\n' > "$run/screen.txt"
fi
