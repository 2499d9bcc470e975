#!/usr/bin/env bash
# Builds the whole project with AddressSanitizer + UndefinedBehaviorSanitizer and runs every
# test. Any sanitizer report (memory error, undefined behaviour, leak) fails the test that
# caused it. Environment: TAVORIN_SANITIZE_BUILD_DIR (default build-sanitize),
# TAVORIN_KILL_POINTS (kills of the kill test; default 60 here, as sanitized runs are slower).
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=${TAVORIN_SANITIZE_BUILD_DIR:-build-sanitize}
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS=-O1 \
  -DTAVORIN_SANITIZE=ON >/dev/null
cmake --build "$build_dir" --parallel "$(nproc)"

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1:strict_string_checks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$PWD/tests/lsan.supp:print_suppressions=0}
export TAVORIN_KILL_POINTS=${TAVORIN_KILL_POINTS:-60}
ctest --test-dir "$build_dir" --output-on-failure --parallel "$(nproc)" --timeout 900
