#!/usr/bin/env bash
# Makes the small real songs of the run tests and of examples/: a 0.5 s tone after an exact
# stretch of digital silence (no dither), encoded by shine (which fills the payload of silent frames with
# 0x00 bytes, so the leading silence can be measured), with an ID3v2.3 tag when the song has
# texts, and an RMP that wraps such a song in a RIFF "RMP3" file with an INFO list.
# Needs sox, shineenc and python3 (Debian: apt-get install sox shineenc python3).
# Usage: make_songs.sh OUTPUT_FOLDER [tests|examples]
set -euo pipefail
out=${1:?output folder}
set_name=${2:-tests}
mkdir -p "$out"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# encode NAME RATE SILENCE_SECONDS: the bare MPEG audio of one song
encode() {
  sox -D -n -r "$2" -c 1 -b 16 "$tmp/$1.wav" synth 0.5 sine 440 vol 0.5 pad "$3" 0
  shineenc -q -m -b 32 "$tmp/$1.wav" "$tmp/$1.mpa"
}

# song NAME RATE SILENCE_SECONDS TITLE ARTIST ALBUM
song() {
  encode "$1" "$2" "$3"
  python3 - "$tmp/$1.mpa" "$out/$1" "$4" "$5" "$6" <<'PY'
import struct, sys
source, path, title, artist, album = sys.argv[1:6]
def frame(fid, text):
    # ISO-8859-1 when it fits, else UTF-16 with a byte-order mark.
    try:
        body = b'\0' + text.encode('latin-1')
    except UnicodeEncodeError:
        body = b'\1' + text.encode('utf-16')
    return fid + struct.pack('>I', len(body)) + b'\0\0' + body
frames = b''.join(frame(f, t) for f, t in ((b'TIT2', title), (b'TPE1', artist), (b'TALB', album)) if t)
tag = b''
if frames:
    n = len(frames)
    size = bytes([(n >> 21) & 127, (n >> 14) & 127, (n >> 7) & 127, n & 127])
    tag = b'ID3\3\0\0' + size + frames
open(path, 'wb').write(tag + open(source, 'rb').read())
PY
}

# rmp NAME RATE SILENCE_SECONDS TITLE ARTIST ALBUM: MPEG data right after the "data" chunk
# header (byte 20), then the INFO list with INAM, IART, IPRD in code page 932
rmp() {
  encode "$1" "$2" "$3"
  python3 - "$tmp/$1.mpa" "$out/$1" "$4" "$5" "$6" <<'PY'
import struct, sys
source, path, title, artist, album = sys.argv[1:6]
def chunk(cid, body):
    return cid + struct.pack('<I', len(body)) + body + (b'\0' if len(body) % 2 else b'')
info = b'INFO'
for cid, text in ((b'INAM', title), (b'IART', artist), (b'IPRD', album)):
    if text:
        info += chunk(cid, text.encode('cp932') + b'\0')
body = b'RMP3' + chunk(b'data', open(source, 'rb').read()) + chunk(b'LIST', info)
open(path, 'wb').write(b'RIFF' + struct.pack('<I', len(body)) + body)
PY
}

if [ "$set_name" = examples ]; then
  song asa.mp3 44100 0.25 "朝の歌" "Quendel" "Examples"
  song hikari.mp3 44100 0.5 "" "" ""
  rmp yoake.rmp 44100 0.3 "夜明け" "Quendel" ""
  song hoshi.mp3 48000 0.1 "星" "" ""
  song tsuki.mp3 44100 0.4 "月の歌" "" ""
  exit 0
fi
song silence250.mp3 44100 0.25 "Intro" "Quendel Band" "First Album"
song silence500.mp3 44100 0.5 "" "" ""
song rate48k.mp3 48000 0.1 "はじまりの歌" "" ""
song nosilence.mp3 44100 0 "" "" ""
rmp silence300.rmp 44100 0.3 "Riff Title" "Riff Artist" ""
