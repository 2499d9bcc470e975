#pragma once

#include <QString>

#include <cstdint>

namespace tavorin {

// One lyrics file in memory: its body and the values of the At-Tags it carries.
struct LyricsRecord {
    QString text; // every line that is not a known At-Tag, each ended by CR LF
    double timeRatio = 0.0;
    std::int32_t silencemSec = -1; // -1: the file states no leading silence
    // The decoded start the tags were made against; -1 when the file states none that can be
    // trusted (see AtTagKey::AudioStartmSec).
    std::int32_t audioStartmSec = -1;
    std::int32_t offset = 0;
    QString artist;
    QString title;
    QString album;
    QString bgfile;
    QString bgfolder;
    QString taggingBy;
    QString editedBy;
    bool hasTiming = false; // the file states its own time base
};

} // namespace tavorin
