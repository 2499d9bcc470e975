#!/usr/bin/env bash
# Builds everything and runs every test: the README's test command, and what CI runs.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh test
build_dir=${TAVORIN_BUILD_DIR:-build}
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build_dir" --parallel "$(nproc)"
ctest --test-dir "$build_dir" --output-on-failure --parallel "$(nproc)" --timeout 600
