#!/usr/bin/env bash
# Makes examples/: five lyrics files (code page 932 and UTF-8, line-timed and word-timed, with
# and without At-Tags) and the small songs they belong to, some beside the lyrics and some in
# the Song Folder songs/. Needs what tests/data/run/make_songs.sh needs.
set -euo pipefail
cd "$(dirname "$0")"
rm -rf lyrics songs
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
../tests/data/run/make_songs.sh "$tmp" examples
mkdir -p lyrics songs/yoru
mv "$tmp/asa.mp3" "$tmp/yoake.rmp" lyrics/
mv "$tmp/hikari.mp3" songs/yoru/
mv "$tmp/hoshi.mp3" "$tmp/tsuki.mp3" songs/

python3 - <<'PY'
def write(name, text, encoding):
    with open(name, 'wb') as f:
        f.write(text.replace('\n', '\r\n').encode(encoding))

# Line-timed, no At-Tags yet, code page 932.
write('lyrics/asa.txt',
      '朝の歌\n\n[00:01:00]まどを　あけたら\n[00:04:50]ひかりが　こぼれた\n'
      '[00:08:00]きょうも　いい日に\n[00:11:50]なりますように\n', 'cp932')
# Word-timed, no At-Tags yet, UTF-8; one tag is later than the tag after it.
write('lyrics/hikari.lrc',
      '[00:01:00]ひ[00:01:30]か[00:01:60]り[00:01:50]の[00:02:20]な[00:02:50]か\n'
      '[00:03:00]あ[00:03:30]る[00:03:60]い[00:03:90]て\n', 'utf-8')
# Line-timed, At-Tags from somebody else's recording in Standard Time, code page 932.
write('lyrics/yoake.kra',
      '[00:01:00]よあけの　そらに\n[00:05:00]ほしが　ひとつ\n[01:00:00]さいごの　ことば\n'
      '\n@TimeRatio=1\n@SilencemSec=0\n@TaggingBy=Quendel\n@Title=夜明け\n', 'cp932')
# Word-timed, At-Tags from a recording in Winamp Time with half a second of silence, UTF-8.
write('lyrics/hoshi.txt',
      '[00:10:00]ほ[00:10:40]し[00:10:80]が\n[00:12:00]ま[00:12:40]た[00:12:80]た[00:13:20]く\n'
      '\n@TimeRatio=0.9953125\n@SilencemSec=500\n@TaggingBy=Quendel\n', 'utf-8')
# As today's karaoke tools write it: UTF-8 with a byte-order mark, singer marks, ruby lines
# (a reading's own tags count from the moment its text is sung), another program's At-Tag;
# At-Tags from a recording in Standard Time without leading silence.
write('lyrics/tsuki.txt',
      '\ufeff@Title=月の歌\n@Emoji=🌙\n\n'
      '【sv1】[00:02:00]月[00:02:60]が[00:03:00]の[00:03:40]ぼ[00:03:80]る[00:04:20]\n'
      '【sv1】[00:05:00]夜[00:05:50]空[00:06:00]に[00:06:50]\n\n'
      '@Ruby1=月,つき,[00:02:00],[00:02:60]\n@Ruby2=夜空,よ[00:00:25]ぞ[00:00:50]ら,[00:05:00],[00:06:00]\n'
      '\n@TimeRatio=1\n@SilencemSec=0\n@TaggingBy=Quendel\n', 'utf-8')
PY
