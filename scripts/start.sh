#!/usr/bin/env bash
# Builds the program and starts the wizard.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh build
build_dir=${TAVORIN_BUILD_DIR:-build}
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAVORIN_BUILD_TESTS=OFF
cmake --build "$build_dir" --parallel "$(nproc)"
if [ -x "$build_dir/src/app/tavorin-wizard" ]; then
  exec "$build_dir/src/app/tavorin-wizard" "$@"
fi
echo "Built everything in $build_dir; the wizard window is not part of this build yet."
