#!/usr/bin/env bash
# Builds the Debian package tavorin_<version>_<arch>.deb into build/package/ (or
# $TAVORIN_BUILD_DIR/package/): the wizard, tavorin-cli and everything packaging/ installs.
# Install it with `apt install ./build/package/tavorin_*.deb`, remove it with
# `apt remove tavorin`.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh package
build_dir=${TAVORIN_BUILD_DIR:-build}
if [ ! -f "$build_dir/CMakeCache.txt" ]; then
  cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build "$build_dir" --parallel "$(nproc)"
cpack --config "$build_dir/CPackConfig.cmake" -B "$build_dir/package"
ls "$build_dir"/package/tavorin_*.deb
