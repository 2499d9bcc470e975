#pragma once

#include "lyrics/lyrics_record.h"
#include "song/song_info.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

namespace tavorin {

// The At-Tag Block both modes write at the end of a lyrics file: the recording the Time Tags
// now fit, and who timed and fitted them.
struct AtTagBlock {
    double timeRatio = 1.0;
    std::int32_t silencemSec = 0;
    std::optional<std::int32_t> audioStartmSec; // the song's decoded start, when decoded
    std::int32_t offset = 0;
    std::optional<QString> taggingBy; // written even when empty; nothing when absent
    std::optional<QString> editedBy;
    QString title;
    QString artist;
    QString album;
    QString bgfile;
    QString bgfolder;
};

// The fields both modes fill alike: the song's time base and silence, the file's offset and
// background, and title, artist and album from the song (atArtist) or from the file. Who timed
// and who fitted the file is each mode's own.
AtTagBlock atTagBlockFor(const SongInfo& song, const LyricsRecord& record, bool atArtist);

// The block's lines, in the order they are written; lines with nothing to say are left out.
QStringList atTagLines(const AtTagBlock& block);

// The whole new file: the body, one blank line (unless the body already ends with one), the
// block, and exactly one CR LF after its last line.
QString lyricsTextWithBlock(QString body, const AtTagBlock& block);

} // namespace tavorin
