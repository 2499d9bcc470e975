#!/usr/bin/env python3
"""Deterministic data for the benchmarks (bench/run.sh). The same arguments always give the
same files, byte for byte.

  generate.py library ROOT SONGS FOLDERS   W1: a Song Folder of empty song files
  generate.py batch ROOT FILES SONGS_DIR   W3: lyrics files in code page 932, each with a song
  generate.py batch ROOT FILES SONGS_DIR decoded   the same, each carrying a decoded start (W5)
"""

import os
import random
import shutil
import sys

# Songs copied beside the lyrics files: real MP3s with leading silence known from their
# fixtures.tsv. Their leading silence is measured by the run; the lyrics files claim another.
BATCH_SONGS = [
    "shine_0ms.mp3",
    "shine_500ms.mp3",
    "shine_1000ms.mp3",
    "shine_2000ms.mp3",
    "shine_1000ms_id3v23.mp3",
    "shine_1000ms_id3v23_id3v1.mp3",
    "lame_cbr_info_44k_stereo.mp3",
    "lame_vbr_xing_44k_stereo.mp3",
    "lame_cbr_noinfo_44k_stereo.mp3",
    "lame_mpeg2_22k_mono.mp3",
]

SONG_EXTENSIONS = [".mp3", ".mp3", ".mp3", ".MP3", ".Mp3", ".rmp", ".RMP"]
OTHER_FILES = [".txt", ".jpg", ".lrc", ".m3u", ".mp3.bak", ".kra", ".png"]

KANA = "あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみむめもやゆよらりるれろわをん"
KANJI = "桜空夢花星風雨雪海山川道心愛光夜朝歌声君僕"


def mixed_case(rng, text):
    mode = rng.randrange(3)
    if mode == 0:
        return text
    if mode == 1:
        return text.upper()
    return "".join(c.upper() if rng.random() < 0.5 else c for c in text)


def library(root, songs, folders):
    """songs empty song files in folders folders (root included) at most four levels deep,
    with other files among them and dot-folders (never walked) holding songs of their own."""
    rng = random.Random(1000 + songs)
    os.makedirs(root, exist_ok=True)
    tree = [(root, 0)]
    while len(tree) < folders:
        parent, depth = tree[rng.randrange(len(tree))]
        if depth >= 4:
            continue
        name = mixed_case(rng, "folder%05d" % len(tree))
        path = os.path.join(parent, name)
        os.mkdir(path)
        tree.append((path, depth + 1))
    # Every folder gets its share; a few get more, as real libraries do.
    per_folder = [songs // folders] * folders
    for i in range(songs - sum(per_folder)):
        per_folder[i % folders] += 1
    number = 0
    for (folder, _), count in zip(tree, per_folder):
        for _ in range(count):
            name = mixed_case(rng, "song%07d" % number) + rng.choice(SONG_EXTENSIONS)
            open(os.path.join(folder, name), "wb").close()
            number += 1
        for i in range(count // 5):
            open(os.path.join(folder, "extra%d%s" % (i, rng.choice(OTHER_FILES))), "wb").close()
        if rng.random() < 0.02:
            hidden = os.path.join(folder, rng.choice([".cache", ".git", ".Trash-1000"]))
            os.makedirs(hidden, exist_ok=True)
            for i in range(5):
                open(os.path.join(hidden, "hidden%d.mp3" % i), "wb").close()
    with open(os.path.join(root, ".bench-songs"), "w") as note:
        note.write("%d\n" % number)


def time_tag(ms):
    cs = ms // 10
    return "[%02d:%02d:%02d]" % (cs // 6000 % 100, cs // 100 % 60, cs % 100)


def lyrics_text(rng, size, decoded_start=False):
    """A lyrics file of about size bytes in code page 932: At-Tags saying the tags were made
    in Standard Time against a recording with 0 to 300 ms of leading silence, then line- or
    word-timed lines; some word-timed files hold a Tag Reversal. decoded_start: the silence
    line is followed by a decoded start (which Correction Mode trusts, and so decodes the
    song), without drawing from rng, so the files are otherwise the same."""
    word_timed = rng.random() < 0.5
    lines = [
        "@Title=" + "".join(rng.choice(KANJI) for _ in range(4)),
        "@Artist=" + "".join(rng.choice(KANA) for _ in range(5)),
        "@TimeRatio=1",
        "@SilencemSec=%d" % rng.choice([0, 100, 250, 300]),
        "@TaggingBy=Tagger%d" % rng.randrange(50),
    ]
    if decoded_start:
        lines.insert(4, "@AudioStartmSec=%d" % (int(lines[3].split("=")[1]) + 20))
    text_bytes = sum(len(l.encode("cp932")) + 2 for l in lines)
    t = 1000 + rng.randrange(5000)
    while text_bytes < size:
        if word_timed:
            line = ""
            for _ in range(rng.randrange(3, 7)):
                line += time_tag(t) + "".join(rng.choice(KANA) for _ in range(rng.randrange(1, 3)))
                t += rng.randrange(150, 600)
            if rng.random() < 0.03:
                line += time_tag(t - 2000)  # a Tag Reversal for the repair
            line += time_tag(t)
        else:
            line = time_tag(t) + "".join(
                rng.choice(KANA + KANJI) for _ in range(rng.randrange(6, 20)))
            t += rng.randrange(2000, 6000)
        lines.append(line)
        text_bytes += len(line.encode("cp932")) + 2
    return ("\r\n".join(lines) + "\r\n").encode("cp932")


def batch(root, files, songs_dir, decoded_start=False):
    """files lyrics files of 1 to 4 KiB, 100 to a folder, each with a song copied beside it.
    The lyrics files go to ROOT/pristine (restored before every timed run) and ROOT/work.
    decoded_start: every file carries a decoded start (see lyrics_text)."""
    rng = random.Random(2000 + files)
    for part in ("pristine", "work"):
        shutil.rmtree(os.path.join(root, part), ignore_errors=True)
    songs = [open(os.path.join(songs_dir, s), "rb").read() for s in BATCH_SONGS]
    listing = []
    for i in range(files):
        folder = "f%03d" % (i // 100)
        name = "lyrics%05d" % i
        extension = rng.choice([".txt", ".txt", ".lrc", ".kra"])
        data = lyrics_text(rng, rng.randrange(1024, 4096), decoded_start)
        for part in ("pristine", "work"):
            os.makedirs(os.path.join(root, part, folder), exist_ok=True)
        with open(os.path.join(root, "pristine", folder, name + extension), "wb") as out:
            out.write(data)
        with open(os.path.join(root, "work", folder, name + extension), "wb") as out:
            out.write(data)
        song = os.path.join(root, "work", folder, name + ".mp3")
        with open(song, "wb") as out:
            out.write(songs[i % len(songs)])
        listing.append(os.path.join(root, "work", folder, name + extension) + "\t" + song)
    with open(os.path.join(root, "files.tsv"), "w") as out:
        out.write("\n".join(listing) + "\n")


def main(argv):
    if len(argv) == 5 and argv[1] == "library":
        library(argv[2], int(argv[3]), int(argv[4]))
    elif len(argv) in (5, 6) and argv[1] == "batch":
        batch(argv[2], int(argv[3]), argv[4], argv[5:] == ["decoded"])
    else:
        sys.stderr.write(__doc__)
        return 2
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
