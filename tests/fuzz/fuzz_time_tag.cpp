// Time Tag split and join: splitting any body and joining it again gives the body back, every
// tag read back from its own writing keeps its time, and the repair puts word-timed tags in
// order.
#include "fuzz/fuzz_support.h"
#include "lyrics/time_tag.h"

using namespace tavorin;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString body = QString::fromUtf8(fuzz::bytesOf(data, size));
    TaggedBody split = splitTimeTags(body);
    fuzz::require(joinTimeTags(split) == body);
    for (const TagEntry& entry : split.entries) {
        // Short tags drop the hundredths; any tag read keeps its minutes and seconds.
        const TimeTagReading again = readTimeTag(writeTimeTag(entry.time, entry.shape));
        fuzz::require(entry.time >= 100 * 60000 || again.time / 1000 == entry.time / 1000);
    }
    // The repair acts on word-timed lyrics only, and leaves them in time order.
    const bool wordTimed = hasWordTiming(split);
    repairTagReversals(split);
    for (std::size_t i = 1; wordTimed && i < split.entries.size(); ++i) {
        fuzz::require(split.entries[i - 1].time <= split.entries[i].time);
    }
    return 0;
}
