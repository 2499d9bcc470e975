#!/usr/bin/env bash
# Builds everything and runs every test: the README's test command, and what CI runs.
# After the ordinary build: the whole suite again under AddressSanitizer + UndefinedBehavior-
# Sanitizer (scripts/test-sanitizers.sh), then each fuzz target for TAVORIN_FUZZ_SECONDS
# (default 60) from its seed corpus (scripts/fuzz.sh). TAVORIN_SKIP_SANITIZERS=1 and
# TAVORIN_SKIP_FUZZ=1 leave them out of a quick local run. The ordinary suite also runs the
# benchmark harness on a tiny workload (bench_smoke), so the harness cannot rot.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh test
build_dir=${TAVORIN_BUILD_DIR:-build}
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAVORIN_BENCH_SMOKE_TEST=ON
cmake --build "$build_dir" --parallel "$(nproc)"
ctest --test-dir "$build_dir" --output-on-failure --parallel "$(nproc)" --timeout 600
if [ "${TAVORIN_SKIP_SANITIZERS:-0}" != 1 ]; then
  scripts/test-sanitizers.sh
fi
if [ "${TAVORIN_SKIP_FUZZ:-0}" != 1 ]; then
  scripts/fuzz.sh
fi
