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
    // The repair acts on word-timed lyrics only, and leaves them in time order.
    const bool wordTimed = tavorin::hasWordTiming(split);
    tavorin::repairTagReversals(split);
    for (std::size_t i = 1; wordTimed && i < split.entries.size(); ++i) {
        if (split.entries[i - 1].time > split.entries[i].time) {
            std::abort();
        }
    }
    return 0;
}
