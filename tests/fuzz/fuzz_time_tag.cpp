// Time Tag split and join: splitting any body and joining it again gives the body back, every
// tag read back from its own writing keeps its time, and the repair puts word-timed tags in
// order.
#include "lyrics/time_tag.h"

#include <QString>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString body =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    tavorin::TaggedBody split = tavorin::splitTimeTags(body);
    if (tavorin::joinTimeTags(split) != body) {
        std::abort();
    }
    for (tavorin::TagEntry& entry : split.entries) {
        const QString written = tavorin::writeTimeTag(entry.time, entry.shape);
        // Short tags drop the hundredths; any tag read keeps its minutes and seconds.
        const tavorin::TimeTagReading again = tavorin::readTimeTag(written);
        if (entry.time < 100 * 60000 && again.time / 1000 != entry.time / 1000) {
            std::abort();
        }
    }
    // The repair acts on word-timed lyrics only, leaves their lyric tags in time order and
    // the tags of At-Tag lines as they were.
    const bool wordTimed = tavorin::hasWordTiming(split);
    const tavorin::TaggedBody before = split;
    tavorin::repairTagReversals(split);
    const tavorin::TagEntry* previousLyric = nullptr;
    for (std::size_t i = 0; i < split.entries.size(); ++i) {
        const tavorin::TagEntry& entry = split.entries[i];
        if (entry.role != tavorin::TagRole::Lyric) {
            if (entry.rewritten || entry.time != before.entries[i].time) {
                std::abort();
            }
            continue;
        }
        if (wordTimed && previousLyric != nullptr && previousLyric->time > entry.time) {
            std::abort();
        }
        previousLyric = &entry;
    }
    return 0;
}
