#!/usr/bin/env bash
# Makes the Debian package from the build tree, unpacks it into a temporary root and checks
# what a user gets: the unpacked tavorin-cli gives the same Run Log and files as the built
# one, the quick-help document lies where the installed wizard looks, the manual pages render
# without warnings and name every option, each completion loads in its shell and offers
# every option, and the validators distributions run find no error.
# Usage: check_package.sh SOURCE_DIR BUILD_DIR VERSION DATA_FROM_PROGRAM gui|nogui
set -uo pipefail

source_dir=$1
build_dir=$2
version=$3
data_from_program=$4
with_gui=$5

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}
need() {
  command -v "$1" >/dev/null || { fail "$1 is missing: run scripts/install-deps.sh test"; return 1; }
}

if ! command -v dpkg-deb >/dev/null; then
  echo "dpkg-deb is missing: no Debian package can be made on this machine"
  exit 77
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config
mkdir -p "$HOME"

# --- the package ---------------------------------------------------------------------------
if ! cpack --config "$build_dir/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1; then
  cat "$work/cpack.log" >&2
  echo "FAIL: cpack could not make the package" >&2
  exit 1
fi
debs=("$work"/out/tavorin_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || { echo "FAIL: not one package: ${debs[*]}" >&2; exit 1; }
deb=${debs[0]}

[ "$(dpkg-deb -f "$deb" Package)" = tavorin ] || fail "package name is not tavorin"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "package version is not $version"
depends=$(dpkg-deb -f "$deb" Depends)
for library in libqt6core6 libtag1v5 libc6; do
  grep -q "$library" <<<"$depends" || fail "Depends lacks $library: $depends"
done

root=$work/root
dpkg-deb -x "$deb" "$root"
usr=$root/usr

expected=(
  bin/tavorin-cli
  share/man/man1/tavorin-cli.1.gz
  share/bash-completion/completions/tavorin-cli
  share/zsh/vendor-completions/_tavorin-cli
  share/fish/vendor_completions.d/tavorin-cli.fish
  share/doc/tavorin/copyright
  share/doc/tavorin/changelog.gz
  share/doc/tavorin/README.md
)
if [ "$with_gui" = gui ]; then
  expected+=(
    bin/tavorin-wizard
    share/man/man1/tavorin-wizard.1.gz
    share/applications/tavorin-wizard.desktop
    share/metainfo/io.github.quendel.tavorin.metainfo.xml
    "share/tavorin-wizard/Tavorin補正Wizard.txt"
  )
  for size in 16 22 24 32 48 64 128; do
    expected+=("share/icons/hicolor/${size}x${size}/apps/tavorin-wizard.png")
  done
fi
for path in "${expected[@]}"; do
  [ -f "$usr/$path" ] || fail "the package lacks /usr/$path"
done

if [ "$with_gui" = gui ]; then
  # Where the installed wizard looks for the quick help, seen from its own folder.
  help="$usr/bin/$data_from_program/Tavorin補正Wizard.txt"
  [ -f "$help" ] || fail "the installed wizard would not find its quick help at $help"
  cmp -s "$help" "$source_dir/src/app/Tavorin補正Wizard.txt" || fail "the installed quick help differs"
  for size in 16 22 24 32 48 64 128; do
    icon=$usr/share/icons/hicolor/${size}x${size}/apps/tavorin-wizard.png
    [ -f "$icon" ] && file "$icon" | grep -q "PNG image data, $size x $size" ||
      fail "the ${size}x${size} icon is not a $size-pixel PNG"
  done
fi

# --- the unpacked tavorin-cli runs the examples as the built one does ----------------------
cli_built=$build_dir/src/cli/tavorin-cli
cli_unpacked=$usr/bin/tavorin-cli
[ "$("$cli_unpacked" --version)" = "tavorin-cli $version" ] || fail "tavorin-cli --version is not $version"

run_examples() { # run_examples CLI RESULT: the README's walk-through, each Run Log and status
  # Both runs work in the same folder, as the Run Log names the files by their full paths.
  local cli=$1 result=$2 folder=$work/examples
  cp -r "$source_dir/examples" "$folder"
  (
    cd "$folder" || exit 1
    for mode in --new --correct --correct; do
      "$cli" "$mode" --name あなた --song-folder songs lyrics >>run.log 2>>errors.log
      echo "exit $?" >>run.log
    done
  )
  mv "$folder" "$result"
}
run_examples "$cli_built" "$work/built"
run_examples "$cli_unpacked" "$work/unpacked"
cmp -s "$work/built/lyrics/asa.txt" "$source_dir/examples/lyrics/asa.txt" &&
  fail "the built tavorin-cli left the examples as they were: nothing to compare"
diff -r "$work/built" "$work/unpacked" >"$work/examples.diff" ||
  { cat "$work/examples.diff" >&2; fail "the unpacked tavorin-cli gives other logs or files than the built one"; }

# --- manual pages ------------------------------------------------------------------------
options=$("$cli_unpacked" --help | grep -oE '^ +(-[a-zA-Z], )?--[a-z0-9-]+' | tr ',' '\n' | tr -d ' ')
[ "$(wc -l <<<"$options")" -ge 20 ] || fail "tavorin-cli --help lists too few options: $options"
pages=(tavorin-cli)
[ "$with_gui" = gui ] && pages+=(tavorin-wizard)
if need man; then
  for page in "${pages[@]}"; do
    file=$usr/share/man/man1/$page.1.gz
    warnings=$(MANWIDTH=80 man --warnings -l "$file" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "man $page warns: $warnings"
    MANWIDTH=200 man -l "$file" 2>/dev/null | col -b >"$work/$page.txt"
    grep -q "^NAME" "$work/$page.txt" || fail "man $page renders no NAME section"
  done
  # Each option is described in the OPTIONS section, not merely mentioned elsewhere.
  sed -n '/^OPTIONS/,/^[A-Z]/p' "$work/tavorin-cli.txt" >"$work/options.txt"
  for option in $options; do
    grep -qE -- "(^|[^a-z0-9-])$option([^a-z0-9-]|$)" "$work/options.txt" ||
      fail "the OPTIONS of man tavorin-cli do not name $option"
  done
fi

# --- completions -------------------------------------------------------------------------
long_options=$(grep -- '^--' <<<"$options")
check_offered() { # check_offered SHELL OFFERED...: every long option of --help is offered
  local shell=$1 offered=$2 option
  for option in $long_options; do
    grep -qE -- "^$option=?\$" <<<"$offered" || fail "$shell completion does not offer $option"
  done
}
bash_completion=/usr/share/bash-completion/bash_completion
if [ -f "$bash_completion" ]; then
  bash_complete() { # bash_complete WORD...: what Tab offers after tavorin-cli WORD...
    bash -c 'source "$1" && source "$2" || exit 1
      shift 2
      COMP_WORDS=(tavorin-cli "$@"); COMP_CWORD=$(($# )); COMP_LINE="tavorin-cli $*"
      COMP_POINT=${#COMP_LINE}
      _tavorin_cli tavorin-cli "${COMP_WORDS[-1]}" "${COMP_WORDS[-2]}"
      printf "%s\n" "${COMPREPLY[@]}"' bash "$bash_completion" \
      "$usr/share/bash-completion/completions/tavorin-cli" "$@"
  }
  offered=$(bash_complete -- 2>"$work/bash.err") || fail "the bash completion does not load"
  [ -s "$work/bash.err" ] && fail "the bash completion complains: $(cat "$work/bash.err")"
  check_offered bash "$offered"
  [ "$(bash_complete --time '' | sort | tr '\n' ' ')" = "standard winamp " ] ||
    fail "bash does not offer winamp and standard after --time"
else
  echo "bash-completion is not installed: the bash completion is not checked"
fi
if command -v zsh >/dev/null; then
  zsh_file=$usr/share/zsh/vendor-completions/_tavorin-cli
  zsh -n "$zsh_file" 2>"$work/zsh.err" || fail "the zsh completion does not parse: $(cat "$work/zsh.err")"
  zsh -f -c 'autoload -Uz compinit && compinit -u -d "$2/zcompdump" && fpath=("$1" $fpath) &&
    autoload -Uz +X _tavorin-cli' zsh "$(dirname "$zsh_file")" "$work" 2>"$work/zsh.err" ||
    fail "the zsh completion does not load: $(cat "$work/zsh.err")"
  [ -s "$work/zsh.err" ] && fail "zsh complains: $(cat "$work/zsh.err")"
  check_offered zsh "$(grep -oE -- '--[a-z0-9-]+=?' "$zsh_file" | sort -u)"
else
  echo "zsh is not installed: the zsh completion is not checked"
fi
if command -v fish >/dev/null; then
  fish_file=$usr/share/fish/vendor_completions.d/tavorin-cli.fish
  fish_complete() {
    fish --no-config -c 'source $argv[1]; and complete -C"tavorin-cli $argv[2]"' "$fish_file" "$1"
  }
  offered=$(fish_complete -- 2>"$work/fish.err" | cut -f1) || fail "the fish completion does not load"
  [ -s "$work/fish.err" ] && fail "fish complains: $(cat "$work/fish.err")"
  check_offered fish "$offered"
  [ "$(fish_complete '--time ' | cut -f1 | sort | tr '\n' ' ')" = "standard winamp " ] ||
    fail "fish does not offer winamp and standard after --time"
else
  echo "fish is not installed: the fish completion is not checked"
fi

# --- the validators distributions run ------------------------------------------------------
if [ "$with_gui" = gui ]; then
  if need desktop-file-validate; then
    desktop-file-validate "$usr/share/applications/tavorin-wizard.desktop" ||
      fail "desktop-file-validate finds errors"
  fi
  if need appstreamcli; then
    appstreamcli validate --no-net "$usr/share/metainfo/io.github.quendel.tavorin.metainfo.xml" ||
      fail "appstreamcli finds errors"
  fi
fi
if need lintian; then
  # Run as root in a container, lintian asks for --allow-root.
  lintian_user=()
  [ "$(id -u)" -eq 0 ] && lintian_user=(--allow-root)
  lintian "${lintian_user[@]}" --fail-on error "$deb" || fail "lintian finds errors"
fi

if [ "$failures" -ne 0 ]; then
  echo "$failures checks failed" >&2
  exit 1
fi
echo "package $(basename "$deb") checked"
