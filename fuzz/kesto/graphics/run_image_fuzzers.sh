#!/usr/bin/env bash
# Builds the image fuzz targets with clang's libFuzzer (address and undefined
# sanitizers) in build/fuzz and runs each for a bounded time, starting from a
# copy of its committed seed corpus. A crash, leak, timeout or sanitizer
# report fails the run; its input is left in build/fuzz/findings/ to be added
# to fuzz/corpus/<target>/ once mended.
#
#   fuzz/kesto/graphics/run_image_fuzzers.sh [seconds per target] [target...]
set -euo pipefail
root="$(cd "$(dirname "$0")/../../.." && pwd)"
seconds="${1:-30}"
shift || true
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  targets=(image_chain bmp_loader jpeg_loader png_loader bgra_loader tga_loader dds_loader packed_dib
           font_string media_file)
fi
if ! command -v clang++ >/dev/null; then
  echo "image fuzzers: clang++ is not installed; skipped"
  exit 0
fi
build="$root/build/fuzz"
# The targets link the whole library and game. Should code elsewhere not
# build with clang, say so loudly but let the rest of the tests decide.
if ! { CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
         -DKESTO_SANITIZE=ON -DKESTO_LIBFUZZER=ON -DKESTO_BUILD_BENCH=OFF \
         -DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link -DCMAKE_C_FLAGS=-fsanitize=fuzzer-no-link \
         >/dev/null &&
       cmake --build "$build" -j"${FUZZ_JOBS:-3}" --target "${targets[@]/#/fuzz_}" \
         >"$build.log" 2>&1; }; then
  echo "image fuzzers: WARNING: the clang build failed, fuzzing skipped; see $build.log"
  tail -30 "$build.log" || true
  exit 0
fi
mkdir -p "$build/findings"
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
failed=0
for t in "${targets[@]}"; do
  work="$build/work/$t"
  rm -rf "$work"
  mkdir -p "$work"
  cp "$root/fuzz/corpus/$t/"* "$work/"
  log="$build/findings/$t.log"
  if "$build/fuzz/fuzz_$t" -max_total_time="$seconds" -seed="${FUZZ_SEED:-1}" -timeout=60 -rss_limit_mb=2048 \
      -print_final_stats=1 -artifact_prefix="$build/findings/$t-" "$work" >"$log" 2>&1; then
    echo "image fuzzers: $t: $(grep -a 'stat::number_of_executed_units' "$log" | awk '{print $2}') runs, clean"
  else
    echo "image fuzzers: $t: FAILED, see $log"
    tail -40 "$log"
    failed=1
  fi
done
exit "$failed"
