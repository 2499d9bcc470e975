#!/usr/bin/env python3
"""Writes the lyrics files of the whole-run golden tests: code page 932 and UTF-8, line-timed
and word-timed, with and without At-Tags, and a few that must never be rewritten. The songs
come from ../songs (see scenario.txt of each scenario)."""
import os
import shutil

here = os.path.dirname(os.path.abspath(__file__))


def write(scenario, name, text, encoding='cp932', bom=b''):
    path = os.path.join(here, scenario, 'input', name)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    data = text if isinstance(text, bytes) else bom + text.replace('\n', '\r\n').encode(encoding)
    with open(path, 'wb') as f:
        f.write(data)


for scenario in ('new_tag', 'correction'):
    shutil.rmtree(os.path.join(here, scenario, 'input'), ignore_errors=True)

# New-Tag Mode
write('new_tag', 'lyrics/01_line_cp932.txt',
      '春の歌\n\n[00:01:00]さくら　さくら\n[00:05:50]やよいの空は\n[00:10:00]見わたす限り\n')
write('new_tag', 'lyrics/02_word_utf8.lrc',
      '[00:01:00]ひ[00:01:50]か[00:01:40]り[00:02:00]の\n[00:03:00]う[00:03:20]た\n',
      encoding='utf-8')
write('new_tag', 'lyrics/03_tagged.kra',
      '[00:01:00]もう　タグ付き\n@TimeRatio=1\n@SilencemSec=10\n@TaggingBy=だれか\n')
write('new_tag', 'lyrics/04_rmp.txt',
      '@Title=RMPの歌\n[00:02:00]line one\n[00:04:00]line two\n@Offset=150\n',
      encoding='utf-8', bom=b'\xef\xbb\xbf')
write('new_tag', 'lyrics/05_missing.txt', '[00:01:00]歌はどこ\n')
write('new_tag', 'lyrics/06_48k.txt', '[00:00:50]四十八\n[00:01:00]キロヘルツ\n')
write('new_tag', 'lyrics/sub/07_Upper.TXT', '[00:00:10]大文字\n@Bgfile=back.jpg\n')

# Correction Mode
write('correction', 'lyrics/01_std_to_winamp_cp932.txt',
      '[00:01:00]さくら[00:30:00]\n[01:00:00]やよいの空\n[02:03]短いタグ\n'
      '@TimeRatio=1\n@SilencemSec=0\n@TaggingBy=だれか\n@Title=さくら\n')
write('correction', 'lyrics/02_utf8_word.lrc',
      '[00:10:00]こ[00:11:00]え[00:10:50]が\n[00:12:00]す[00:13:00]る\n'
      '@TimeRatio=0.9953125\n@SilencemSec=500\n@TaggingBy=someone\n@EditedBy=other\n',
      encoding='utf-8')
write('correction', 'lyrics/03_own.txt',
      '[00:01:00]自分のファイル\n@TimeRatio=1\n@EditedBy=テスター\n')
write('correction', 'lyrics/04_rmp.kra',
      '[00:01:00]RMPで\n[00:02:00]合わせる\n@TimeType=winamp\n@Flames=10000\n@TotalSec=261\n'
      '@Artist=歌手\n')
write('correction', 'lyrics/05_bad_ratio.txt', '[00:01:00]比がおかしい\n@TimeRatio=1000\n')
write('correction', 'lyrics/06_broken.txt', b'[00:01:00]\x82\xa0\x82\r\n\x81\r\n')
write('correction', 'lyrics/07_no_song.txt', '[00:01:00]曲なし\n@TimeRatio=1\n')
write('correction', 'lyrics/08_48k_index.txt',
      '[00:10:00]四十八\n[00:20:00]キロ\n@TimeRatio=0.9953125\n@SilencemSec=0\n\n\n',
      )
