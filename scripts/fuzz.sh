#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, AddressSanitizer + UndefinedBehaviorSanitizer) and runs
# each for a bounded time from its committed seed corpus. Any crash, leak, sanitizer report or
# broken invariant fails the script; the input that found it is kept in the build folder.
# Environment: TAVORIN_FUZZ_SECONDS (default 60) per target, TAVORIN_FUZZ_BUILD_DIR,
# TAVORIN_FUZZ_TARGETS (space-separated names, default all).
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${TAVORIN_FUZZ_SECONDS:-60}
build_dir=${TAVORIN_FUZZ_BUILD_DIR:-build-fuzz}
CC=clang CXX=clang++ cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTAVORIN_FUZZ=ON -DTAVORIN_BUILD_TESTS=OFF -DTAVORIN_BUILD_GUI=OFF >/dev/null
targets=${TAVORIN_FUZZ_TARGETS:-$(cd tests/fuzz && ls fuzz_*.cpp | sed 's/\.cpp$//')}
# shellcheck disable=SC2086
cmake --build "$build_dir" --parallel "$(nproc)" --target $targets

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$PWD/tests/lsan.supp}
export QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8
failed=()
for target in $targets; do
  work="$build_dir/fuzz-work/$target"
  mkdir -p "$work/corpus" "$work/findings"
  echo "== $target: ${seconds} s"
  # New inputs go to the work corpus; the committed seeds are only read.
  if ! "$build_dir/tests/fuzz/$target" -max_total_time="$seconds" -timeout=60 \
      -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$work/findings/" \
      "$work/corpus" "tests/fuzz/corpus/$target" >"$work/log.txt" 2>&1; then
    tail -n 60 "$work/log.txt"
    failed+=("$target")
  else
    grep -E '^stat::number_of_executed_units|^Done' "$work/log.txt" || true
  fi
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzz findings in: ${failed[*]} (inputs in $build_dir/fuzz-work/<target>/findings/)"
  exit 1
fi
