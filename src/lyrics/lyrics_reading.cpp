#include "lyrics/lyrics_reading.h"

#include "lyrics/at_tag_reader.h"

#include <utility>

namespace tavorin {

LyricsReading readLyricsRecord(const QString& path, bool defaultTime) {
    LyricsText read = readLyricsText(path);
    LyricsReading reading;
    reading.encoding = read.encoding;
    reading.failure = read.failure;
    if (read.failure != LyricsReadFailure::None) {
        // An unreadable file keeps the reset record (ratio 0, no leading silence, no
        // timing); the failure says why, so a mode never mistakes it for an empty file.
        return reading;
    }
    reading.record = readAtTags(read.text, defaultTime);
    reading.text = std::move(read.text);
    return reading;
}

} // namespace tavorin
