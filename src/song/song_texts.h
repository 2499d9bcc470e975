#pragma once

#include "song/playback_engine.h"
#include "song/song_info.h"

namespace tavorin {

// Title, artist and album of the Song Info: each RIFF INFO text (cut at its first NUL) unless
// that is empty, else the tag's text cut the same way. Nothing is trimmed.
void chooseSongTexts(const RiffInfo& riff, const TagInfo& tag, SongInfo& info);

} // namespace tavorin
