#!/usr/bin/env bash
# tavorin-cli's --report and --diff over lyrics files that end in every outcome a file can
# have: every report validates against docs/report.schema.json and names each outcome where
# it happened; the diff of a dry run, applied with patch to the untouched files, gives
# byte for byte the files a real run writes, and the diff alone is on standard output.
# Usage: check_report_and_diff.sh SOURCE_DIR TAVORIN_CLI
set -uo pipefail

source_dir=$1
cli=$2
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}
command -v patch >/dev/null || { echo "patch is missing: run scripts/install-deps.sh test"; exit 1; }
python3 -c 'import jsonschema' 2>/dev/null ||
  { echo "python3-jsonschema is missing: run scripts/install-deps.sh test"; exit 1; }

work=$(mktemp -d)
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
export HOME=$work XDG_CONFIG_HOME=$work XDG_DATA_HOME=$work/data
song=$source_dir/tests/data/run/songs/silence250.mp3
crlf() { printf '%s\r\n' "$@"; }

# Correction Mode: one file per outcome but already_tagged, which only New-Tag Mode has.
mkdir -p "$work/L"
cd "$work/L" || exit 1
for name in written yours unreadable badratio readonly; do cp "$song" "$name.mp3"; done
crlf '[00:01:00]a' '[00:03:00]b' '@TimeRatio=1' '@SilencemSec=100' > written.txt
crlf '[00:01:00]a' '@EditedBy=A' > yours.txt
crlf '[00:01:00]a' > nosong.txt
cp "$song" unreadable.txt
crlf '[00:01:00]a' '@TimeRatio=-1' > badratio.txt
crlf '[00:01:00]a' > readonly.txt
chmod a-w readonly.txt
mkdir -p "$work/N"
cp "$song" "$work/N/tagged.mp3"
crlf '[00:01:00]a' '@TimeRatio=1' > "$work/N/tagged.txt"

"$cli" -c --name=A --report "$work/dry.json" --dry-run "$work/L" >/dev/null 2>&1
"$cli" -c --name=A --report "$work/correct.json" "$work/L" >/dev/null 2>&1
"$cli" -n --name=A --ignore-at-tag --report "$work/new.json" "$work/N" >/dev/null 2>&1

python3 - "$source_dir/docs/report.schema.json" "$work" <<'PY' || fail "reports"
import json, sys, jsonschema
schema = json.load(open(sys.argv[1]))
expected = {
    "correct.json": {"written.txt": "written", "yours.txt": "already_yours",
                     "nosong.txt": "song_not_found", "unreadable.txt": "read_failed",
                     "badratio.txt": "conversion_failed", "readonly.txt": "write_failed"},
    "new.json": {"tagged.txt": "already_tagged"},
}
expected["dry.json"] = dict(expected["correct.json"], **{"readonly.txt": "written"})
seen = set()
for name, outcomes in expected.items():
    report = json.load(open(f"{sys.argv[2]}/{name}"))
    jsonschema.validate(report, schema)
    got = {f["path"].rsplit("/", 1)[1]: f["outcome"] for f in report["files"]}
    assert got == outcomes, (name, got)
    seen |= set(got.values())
    for code in report["counts"]:
        assert report["counts"][code] == list(got.values()).count(code), (name, code)
assert seen == set(schema["definitions"]["outcome"]["enum"]), seen
written = json.load(open(f"{sys.argv[2]}/correct.json"))["files"]
written = next(f for f in written if f["path"].endswith("/written.txt"))
assert (written["shift_ms"], written["shift_measurement"], written["time_tags_changed"]) == (
    135, "silent_frames", 2), written
assert [w["code"] for w in written["warnings"]] == ["last_time_tag_beyond_song_end"], written
PY

# The preview: UTF-8 lyrics, with and without At-Tags, a Tag Reversal, no last line end.
mkdir -p "$work/U"
cd "$work/U" || exit 1
for name in plain tagged reversal noend same; do cp "$song" "$name.mp3"; done
crlf '[00:01:00]あ' 'い' '[00:02:00]う' '' '[00:04:00]え' 'お' 'か' 'き' 'く' '[00:05:00]け' > plain.txt
crlf '[00:01:00]あ' '[00:02:00]い' '@TimeRatio=1' '@SilencemSec=100' '@Title=歌' > tagged.txt
crlf '[00:03:00]あ[00:02:00]い[00:04:00]う' > reversal.txt
printf '[00:01:00]あ\r\n[00:02:00]い' > noend.txt
cp -a "$work/U" "$work/U.before"
"$cli" -c --name=A --diff --dry-run "$work/U" >"$work/dry.diff" 2>"$work/dry.log" ||
  fail "dry run with --diff"
diff -r "$work/U" "$work/U.before" >/dev/null || fail "--diff --dry-run changed a file"
grep -q '^補正開始' "$work/dry.log" || fail "the Run Log is not on standard error"
grep -q '^補正開始' "$work/dry.diff" && fail "the Run Log is on standard output with --diff"
patch -s -d / -p1 <"$work/dry.diff" || fail "patch refuses the diff"
mv "$work/U" "$work/U.patched"
cp -a "$work/U.before" "$work/U"
"$cli" -c --name=A --diff "$work/U" >"$work/real.diff" 2>/dev/null || fail "run with --diff"
cmp -s "$work/dry.diff" "$work/real.diff" || fail "the diff of the run differs from its preview"
for f in "$work"/U/*.txt; do
  cmp -s "$f" "$work/U.patched/${f##*/}" || fail "patched ${f##*/} differs from the written one"
  cmp -s "$f" "$work/U.before/${f##*/}" && fail "${f##*/} was not changed by the run"
done

[ "$failures" -eq 0 ] && echo "report and diff: OK"
exit $((failures > 0))
