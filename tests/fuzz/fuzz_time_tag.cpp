// Time Tag split and join: splitting any body and joining it again gives the body back, every
// tag read back from its own writing keeps its time, and the repair puts word-timed lyric tags
// in order and leaves the tags of At-Tag lines alone.
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
    // The repair acts on word-timed lyrics only, leaves their lyric tags in time order and
    // the tags of At-Tag lines as they were.
    const bool wordTimed = hasWordTiming(split);
    const TaggedBody before = split;
    repairTagReversals(split);
    const TagEntry* previousLyric = nullptr;
    for (std::size_t i = 0; i < split.entries.size(); ++i) {
        const TagEntry& entry = split.entries[i];
        if (entry.role != TagRole::Lyric) {
            fuzz::require(!entry.rewritten && entry.time == before.entries[i].time);
            continue;
        }
        fuzz::require(!wordTimed || previousLyric == nullptr || previousLyric->time <= entry.time);
        previousLyric = &entry;
    }
    return 0;
}
