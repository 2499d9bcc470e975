#!/usr/bin/env bash
# Rebuilds the seed corpus of every fuzz target from the test fixtures and the examples.
# The corpus is committed; run this again only when the fixtures change.
set -euo pipefail
cd "$(dirname "$0")"
root=../..
rm -rf corpus
mkdir -p corpus/{fuzz_lyrics_text,fuzz_frame_walk,fuzz_song_index}

# Lyrics files: the real files, and a line behind each byte-order mark.
for f in "$root"/examples/lyrics/*.{txt,lrc,kra} "$root"/tests/data/karaoke_tools/*.{txt,lrc,kra} \
  $(find "$root"/tests/data/run/golden -path '*/input/*' -type f); do
  name=$(echo "${f#"$root"/}" | tr / _)
  cp "$f" "corpus/fuzz_lyrics_text/$name"
done
printf '\xef\xbb\xbf[00:01:00]a\r\n' > corpus/fuzz_lyrics_text/utf8_bom
printf '\xff\xfe[\x000\x00]\x00' > corpus/fuzz_lyrics_text/utf16le_bom
printf '\xfe\xff\x00[\x000\x00]' > corpus/fuzz_lyrics_text/utf16be_bom

# Songs: the first 4 KiB of each fixture is enough to reach the frame walk and the chunk
# reader's every branch. The first two bytes choose the engine's answers.
for f in "$root"/tests/data/songs/*.{mp3,mp2,rmp,wav} "$root"/tests/data/run/songs/*; do
  name=$(basename "$f")
  { printf '\x00\x00'; head -c 4096 "$f"; } > "corpus/fuzz_frame_walk/$name"
done
{ printf '\x02\x01'; head -c 4096 "$root"/tests/data/songs/rmp_data_first.rmp; } \
  > corpus/fuzz_frame_walk/rmp_data_first_flags

# Folder trees: folder, song files, a link back to the root, a subfolder named like a song.
printf '\x00\x03abc\x01\x05ab.mp3\x03\x01a\x00\x05ab.mp3\x02\x05ab.rmp\x05\x00' \
  > corpus/fuzz_song_index/tree_with_cycle
printf '\x01\x05AB.MP3\x02\x05ab.mp3\x01\x02\x0e\x0e\x04\x05ba.mp3' \
  > corpus/fuzz_song_index/case_and_bad_bytes
