#!/usr/bin/env bash
# Records the attract demo's replays (Replay/replay100.dat to replay102.dat)
# again from scripted play of this build, into tests/data/demo_replays/.
# Run it whenever the game's rules change (scoring, enemies, the fighter,
# stage timing): the test that plays each demo replay to its recorded end
# then passes again. prepare_run_dir.sh copies them into the run directory.
set -euo pipefail
cd "$(dirname "$0")/.."
preset="${1:-release}"
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" -j3 --target test_game_screens
out="$PWD/tests/data/demo_replays"
mkdir -p "$out"
# The recorder is a disabled test case of the screens tests: it plays each
# demo's scripted game headless and saves it with the game's replay writer.
SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy HALCYRIS_DEMO_REPLAY_OUT="$out" \
  "build/$preset/tests/test_game_screens" \
  --gtest_also_run_disabled_tests --gtest_filter='DemoReplayTest.DISABLED_RecordDemoReplays'
