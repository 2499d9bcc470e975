#!/usr/bin/env bash
# Makes the song fixtures in tests/data/songs/ and the decoder facts stored beside them, and
# the songs of the decoded start in tests/data/song_starts/ with their true starts.
#
# The fixtures are committed; the tests never run this script nor need its tools. To remake
# them (Debian): apt-get install lame twolame shineenc ffmpeg sox python3
#
# Every song is a short tone after an exact stretch of digital silence, made by a real
# encoder. Tags and RIFF wrappers are written byte by byte below, so their layout is exact.
#
# Facts, read once from an independent decoder (ffprobe / ffmpeg) when the songs are made:
#   songs/frames.tsv    fixture, byte offset, size and sampling rate of every audio packet
#                       (an encoder's Xing/Info frame is not a packet)
#   songs/fixtures.tsv  fixture, sampling rate, index of the first decoded sample that is not 0
#
# Usage: tests/data/make_song_fixtures.sh
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
out=$here/songs
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$out"
rm -f "$out"/*.mp3 "$out"/*.mp2 "$out"/*.rmp "$out"/*.wav "$out"/*.tsv

# source RATE CHANNELS SILENCE_SECONDS NAME: a 0.3 s tone after exact silence, 16-bit PCM.
source_wav() {
    sox -D -n -r "$1" -c "$2" -b 16 "$work/$4.wav" synth 0.3 sine 440 vol 0.5 pad "$3" 0
}

source_wav 44100 2 0.5 s44k2
source_wav 44100 1 0.5 s44k1
source_wav 22050 1 0.5 s22k1
source_wav 24000 2 0.5 s24k2
source_wav 16000 1 0.5 s16k1
source_wav 8000 1 0.5 s8k1
source_wav 11025 2 0.5 s11k2
source_wav 48000 2 0.5 s48k2
source_wav 32000 1 0.5 s32k1
for ms in 0 500 1000 2000; do
    source_wav 44100 1 "$(printf '%d.%03d' $((ms / 1000)) $((ms % 1000)))" "shine$ms"
done

# LAME, MPEG-1 Layer III: CBR with its Info frame, without it (-t), VBR with Xing, CRC (-p).
lame --quiet -b 64 --resample 44.1 "$work/s44k2.wav" "$out/lame_cbr_info_44k_stereo.mp3"
lame --quiet -b 64 -t --resample 44.1 "$work/s44k2.wav" "$out/lame_cbr_noinfo_44k_stereo.mp3"
lame --quiet -V 6 --resample 44.1 "$work/s44k2.wav" "$out/lame_vbr_xing_44k_stereo.mp3"
lame --quiet -b 64 -p --resample 44.1 "$work/s44k2.wav" "$out/lame_cbr_crc_44k_stereo.mp3"
lame --quiet -b 64 -m m -p --resample 44.1 "$work/s44k1.wav" "$out/lame_cbr_crc_44k_mono.mp3"
lame --quiet -b 48 -m m --resample 32 "$work/s32k1.wav" "$out/lame_cbr_info_32k_mono.mp3"
# MPEG-2 and MPEG-2.5 Layer III. LAME writes its Info frame only where a frame can hold it,
# hence the bit rates.
lame --quiet -b 64 -m m --resample 22.05 "$work/s22k1.wav" "$out/lame_mpeg2_22k_mono.mp3"
lame --quiet -b 32 -t --resample 24 "$work/s24k2.wav" "$out/lame_mpeg2_24k_stereo_noinfo.mp3"
lame --quiet -b 48 -m m -p --resample 16 "$work/s16k1.wav" "$out/lame_mpeg2_16k_mono_crc.mp3"
lame --quiet -b 32 -m m --resample 8 "$work/s8k1.wav" "$out/lame_mpeg25_8k_mono.mp3"
lame --quiet -b 32 -p --resample 11.025 "$work/s11k2.wav" "$out/lame_mpeg25_11k_stereo_crc.mp3"
lame --quiet -V 8 -m m --resample 8 "$work/s8k1.wav" "$out/lame_mpeg25_8k_mono_vbr.mp3"

# Layer II: MPEG-1 and the lower sampling rates of MPEG-2, with and without CRC.
twolame --quiet -b 64 "$work/s48k2.wav" "$out/twolame_mpeg1_48k_stereo.mp2"
twolame --quiet -b 32 -p -m m "$work/s32k1.wav" "$out/twolame_mpeg1_32k_mono_crc.mp2"
twolame --quiet -b 64 -m m "$work/s22k1.wav" "$out/twolame_mpeg2_22k_mono.mp2"
ffmpeg -v error -i "$work/s24k2.wav" -c:a mp2 -b:a 64k "$out/ffmpeg_mpeg2_24k_stereo.mp2"
ffmpeg -v error -i "$work/s16k1.wav" -c:a mp2 -b:a 32k "$out/ffmpeg_mpeg2_16k_mono.mp2"

# shine fills the payload of silent frames with 0x00 bytes.
for ms in 0 500 1000 2000; do
    shineenc -q -m -b 32 "$work/shine$ms.wav" "$out/shine_${ms}ms.mp3"
done

# A RIFF file of another form type.
sox -D -n -r 8000 -c 1 -b 16 "$out/riff_wave.wav" synth 0.05 sine 440

# Tags, RIFF wrappers and cut files, byte by byte.
python3 - "$out" <<'PY'
import struct, sys
out = sys.argv[1]

def read(name):
    with open(f"{out}/{name}", "rb") as f:
        return f.read()

def write(name, data):
    with open(f"{out}/{name}", "wb") as f:
        f.write(data)

def syncsafe(n):
    return bytes([(n >> 21) & 0x7F, (n >> 14) & 0x7F, (n >> 7) & 0x7F, n & 0x7F])

def id3v2(major, frames, padding, footer=False):
    body = b""
    for fid, text, enc in frames:
        payload = bytes([enc]) + text
        size = syncsafe(len(payload)) if major == 4 else struct.pack(">I", len(payload))
        body += fid.encode() + size + b"\0\0" + payload
    body += b"\0" * padding
    flags = 0x10 if footer else 0
    tag = b"ID3" + bytes([major, 0, flags]) + syncsafe(len(body)) + body
    if footer:
        tag += b"3DI" + bytes([major, 0, flags]) + syncsafe(len(body))
    return tag

def id3v1(title, artist, album):
    def field(b):
        return b[:30] + b"\0" * (30 - len(b[:30]))
    return b"TAG" + field(title) + field(artist) + field(album) + b"2001" + b"\0" * 30 + b"\xff"

def chunk(cid, body):
    return cid + struct.pack("<I", len(body)) + body + (b"\0" if len(body) % 2 else b"")

def info_list(fields):
    return chunk(b"LIST", b"INFO" + b"".join(chunk(k, v + b"\0") for k, v in fields))

def riff(form, chunks):
    body = form + b"".join(chunks)
    return b"RIFF" + struct.pack("<I", len(body)) + body

sjis_title = "夜明けの歌".encode("cp932")
sjis_artist = "山田花子".encode("cp932")

shine = read("shine_1000ms.mp3")
# ID3v2.3 (UTF-16 text with BOM) and ID3v2.4 (UTF-8, with a footer), both with padding.
v23 = id3v2(3, [("TIT2", "Dawn Song".encode("utf-16"), 1),
                ("TPE1", "Hanako".encode("utf-16"), 1),
                ("TALB", "First Light".encode("utf-16"), 1)], 512)
v24 = id3v2(4, [("TIT2", "夜明けの歌".encode("utf-8"), 3),
                ("TPE1", "山田花子".encode("utf-8"), 3),
                ("TALB", "朝".encode("utf-8"), 3)], 300, footer=True)
write("shine_1000ms_id3v23.mp3", v23 + shine)
write("shine_1000ms_id3v24.mp3", v24 + shine)
# ID3v1 only, its texts in code page 932 as Japanese taggers write them.
write("shine_1000ms_id3v1.mp3", shine + id3v1(sjis_title, sjis_artist, b"Asa"))
# ID3v2 title, ID3v1 for the rest.
write("shine_1000ms_id3v23_id3v1.mp3",
      id3v2(3, [("TIT2", b"V2 Title", 0)], 64) + shine + id3v1(b"V1 Title", b"V1 Artist", b"V1 Album"))
lame = read("lame_cbr_info_44k_stereo.mp3")
write("lame_cbr_info_44k_stereo_id3v24.mp3", v24 + lame)

info = info_list([(b"INAM", sjis_title), (b"IART", sjis_artist), (b"IPRD", "朝の歌集".encode("cp932"))])
# RMP: "data" right after the RIFF header (MPEG data at byte 20), then the INFO list.
write("rmp_data_first.rmp", riff(b"RMP3", [chunk(b"data", shine), info]))
# The same with an ID3v2 tag at the start of its data.
write("rmp_data_first_id3v23.rmp", riff(b"RMP3", [chunk(b"data", v23 + shine + id3v1(b"Tag Title", b"Tag Artist", b"Tag Album")), info]))
# RMP with one space as its title: the space stands against the tag's title.
write("rmp_space_title.rmp", riff(b"RMP3", [chunk(b"data", v23 + shine), info_list([(b"INAM", b" ")])]))
# RMP whose data chunk comes after the INFO list.
write("rmp_data_elsewhere.rmp", riff(b"RMP3", [info, chunk(b"data", shine)]))

# Cut files: inside the silence (silent up to the end) and in the tone.
shine2000 = read("shine_2000ms.mp3")
write("truncated_in_silence.mp3", shine2000[:3000])
shine500 = read("shine_500ms.mp3")
write("truncated_in_tone.mp3", shine500[:len(shine500) * 3 // 4 + 7])
PY

# Facts from the independent decoder.
cd "$out"
printf 'fixture\tpos\tsize\tsample_rate\n' > frames.tsv
printf 'fixture\tsample_rate\tfirst_sample\n' > fixtures.tsv
for f in *.mp3 *.mp2; do
    case $f in truncated_*) continue ;; esac
    rate=$(ffprobe -v error -select_streams a:0 -show_entries stream=sample_rate -of default=nw=1:nk=1 "$f")
    ffprobe -v error -select_streams a:0 -show_entries packet=pos,size -of compact "$f" |
        awk -F'|' -v f="$f" -v r="$rate" '
            $1 == "packet" {
                for (i = 2; i <= NF; ++i) { split($i, kv, "="); v[kv[1]] = kv[2] }
                printf "%s\t%s\t%s\t%s\n", f, v["pos"], v["size"], r
            }' >> frames.tsv
    # The decoded samples as the stream holds them, nothing trimmed.
    channels=$(ffprobe -v error -select_streams a:0 -show_entries stream=channels -of default=nw=1:nk=1 "$f")
    first=$(ffmpeg -v error -flags2 +skip_manual -i "$f" -f s16le - | python3 -c '
import sys, array
a = array.array("h"); a.frombytes(sys.stdin.buffer.read())
print(next((i // int(sys.argv[1]) for i, s in enumerate(a) if s != 0), -1))' "$channels")
    printf '%s\t%s\t%s\n' "$f" "$rate" "$first" >> fixtures.tsv
done
du -cb "$out" | tail -1

# Songs for the decoded start, in tests/data/song_starts/: the same music (0.3 s of a 440 Hz
# tone, sharp onset) after 0.5 s and 1.2 s of digital silence, and after 1.2 s of hiss at
# -70 dBFS RMS, 44.1 kHz mono, from every encoder a user's songs come from (the hiss from a
# few: LAME with and without its Info frame, shine).
#   song_starts/starts.tsv  fixture, how far the decoded start may stray from the true one
#                           (1 ms where the stream states its encoder delay, else one frame
#                           of 1152 samples, 26.1 ms), the true start in ms
starts=$here/song_starts
rm -rf "$starts"
mkdir -p "$starts"
python3 - "$work" <<'PY'
import math, random, struct, sys, wave
work = sys.argv[1]
rate = 44100
music = [round(0.5 * 32767 * math.sin(2 * math.pi * 440 * i / rate)) for i in range(int(0.3 * rate))]
random.seed(15)
hiss_sigma = 32768 * 10 ** (-70 / 20)
for name, lead, noisy in (("start500", 0.5, False), ("start1200", 1.2, False),
                          ("hiss1200", 1.2, True)):
    n = round(lead * rate)
    before = [round(random.gauss(0, hiss_sigma)) if noisy else 0 for _ in range(n)]
    with wave.open(f"{work}/{name}.wav", "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(rate)
        w.writeframes(struct.pack(f"<{n + len(music)}h", *(before + music)))
PY
printf 'fixture\ttolerance_ms\tstart_ms\n' > "$starts/starts.tsv"
for src in start500 start1200 hiss1200; do
    truth=${src//[a-z]/}
    in=$work/$src.wav
    # At 56 kbit/s a frame is large enough for LAME's Info frame, which a CBR stream of lower
    # rate goes without.
    lame --quiet -b 56 -m m --resample 44.1 "$in" "$starts/${src}_lame_cbr_info.mp3"
    lame --quiet -b 32 -m m --resample 44.1 -t "$in" "$starts/${src}_lame_cbr_noinfo.mp3"
    lame --quiet -V 9 -m m --resample 44.1 "$in" "$starts/${src}_lame_vbr_info.mp3"
    lame --quiet -V 9 -m m --resample 44.1 -t "$in" "$starts/${src}_lame_vbr_noinfo.mp3"
    ffmpeg -v error -i "$in" -c:a libmp3lame -b:a 32k "$starts/${src}_ffmpeg_lame.mp3"
    twolame --quiet -b 32 -m m "$in" "$starts/${src}_twolame.mp2"
    ffmpeg -v error -i "$in" -c:a libshine -b:a 32k "$starts/${src}_ffmpeg_shine.mp3"
    for f in lame_cbr_info:1 lame_cbr_noinfo:27 lame_vbr_info:1 lame_vbr_noinfo:27 \
        ffmpeg_lame.mp3:1 twolame.mp2:27 ffmpeg_shine.mp3:27; do
        name=${src}_${f%%:*}
        case $name in *.mp2 | *.mp3) ;; *) name=$name.mp3 ;; esac
        if [ "$src" = hiss1200 ]; then
            case $name in *lame_cbr_info* | *lame_vbr_noinfo* | *shine*) ;; *) rm "$starts/$name"; continue ;; esac
        fi
        printf '%s\t%s\t%s\n' "$name" "${f##*:}" "$truth" >> "$starts/starts.tsv"
    done
done
# Songs of tests/data/songs/: an RMP whose MPEG data (shine, no stated delay) starts after an
# ID3v2 tag; a song cut short in its silence; a RIFF file that holds no MPEG audio.
printf '%s\t%s\t%s\n' ../songs/rmp_data_first_id3v23.rmp 27 1000 \
    ../songs/truncated_in_silence.mp3 0 none ../songs/riff_wave.wav 0 none >> "$starts/starts.tsv"
du -cb "$starts" | tail -1
