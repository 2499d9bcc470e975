#!/usr/bin/env bash
# Renders every page of the wizard and its about box into docs/screenshots/ under the
# offscreen platform (no display needed). Japanese text needs a Japanese font installed.
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=${TAVORIN_BUILD_DIR:-build}
cmake -S . -B "$build_dir" -G Ninja > /dev/null
cmake --build "$build_dir" --target take_screenshots
QT_QPA_PLATFORM=offscreen "$build_dir/src/app/take_screenshots" docs/screenshots \
  tests/data/songs/shine_1000ms.mp3
echo "Screenshots written to docs/screenshots/"
