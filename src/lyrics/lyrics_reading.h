#pragma once

#include "lyrics/lyrics_file.h"
#include "lyrics/lyrics_record.h"

#include <QString>

namespace tavorin {

// One lyrics file as a mode reads it: its record, the encoding to write it back in, and why it
// could not be read.
struct LyricsReading {
    LyricsRecord record;
    QString text; // the whole file as read, At-Tag lines included (for a preview of the run)
    TextEncoding encoding = TextEncoding::Cp932;
    LyricsReadFailure failure = LyricsReadFailure::None;
};

// Reads the lyrics file at path and its At-Tags. On a read failure the record is the reset one.
LyricsReading readLyricsRecord(const QString& path, bool defaultTime);

} // namespace tavorin
