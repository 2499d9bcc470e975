#!/usr/bin/env bash
# Builds the programs in a RelWithDebInfo tree of their own, regenerates the benchmark data and
# writes docs/benchmarks.md. BENCH_MODE=quick for a shorter run while developing; see
# bench/bench.py for the other settings.
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=${BENCH_BUILD_DIR:-build-bench}
if [[ -z ${BENCH_NO_BUILD:-} ]]; then
  cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build "$build_dir" --parallel "$(nproc)" --target tavorin-cli song_index_bench \
    io_floor silence_bench lyrics_pipeline_bench wizard_run_bench
fi

# W5 compares against ffmpeg's silencedetect; the benchmark installs it, the test suite never
# needs it.
if ! command -v ffmpeg >/dev/null && [[ ${BENCH_MODE:-full} != tiny ]]; then
  if [[ $(id -u) == 0 ]]; then
    apt-get install -y ffmpeg >/dev/null
  else
    sudo apt-get install -y ffmpeg >/dev/null
  fi
fi

BENCH_BIN=$build_dir exec python3 bench/bench.py
