#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, only those that are missing.
# Usage: scripts/install-deps.sh [build|package|test]
set -euo pipefail

build_packages=(cmake g++ ninja-build pkg-config qt6-base-dev libtag1-dev libgl-dev libmpg123-dev
  fonts-ipafont-gothic  # a Japanese font: without one the wizard shows its texts as boxes
  qt6-translations-l10n)  # Qt's own Japanese texts: folder chooser, context menus, buttons
# CPack's DEB generator computes the dependencies with dpkg-shlibdeps (dpkg-dev), which
# needs `file` to tell the programs from the other files.
package_packages=(dpkg-dev file)
test_packages=(libgtest-dev libgmock-dev locales-all
  clang libclang-rt-14-dev  # libFuzzer and the sanitizer runtimes for scripts/fuzz.sh
  # The package test: manual pages, each shell's completion, the validators distributions run.
  man-db groff-base bash-completion zsh fish desktop-file-utils appstream lintian
  # --report checked against its JSON Schema, --diff applied with patch.
  python3-jsonschema patch)

packages=("${build_packages[@]}")
case "${1:-build}" in
  package) packages+=("${package_packages[@]}") ;;
  test) packages+=("${package_packages[@]}" "${test_packages[@]}") ;;
esac

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing Debian packages: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -q
"${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
