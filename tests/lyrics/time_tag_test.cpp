#include "lyrics/time_tag.h"

#include <gtest/gtest.h>

#include <limits>
#include <random>
#include <string>
#include <vector>

#include <ostream>

// Failures show texts as text, not as lists of UTF-16 units.
static void PrintTo(const QString& text, std::ostream* os) {
    *os << text.toStdString();
}

namespace tavorin {
namespace {

QString q(const char16_t* text) {
    return QString::fromUtf16(text);
}

// The split form in one line: the prefix, then per entry "|tag time shape role following"
// (no role mark for a lyric tag; T, O, F for a ruby time, a ruby offset, another program's),
// CR LF shown as "¶" and NUL as "␀" so that every character is visible.
QString summary(const TaggedBody& split) {
    static const QString roleMarks[] = {QString(), QStringLiteral("T"), QStringLiteral("O"),
                                        QStringLiteral("F")};
    QString out = split.prefix().toString();
    for (const TagEntry& e : split.entries) {
        out += u'|' + split.tagText(e) + u' ' + QString::number(e.time) +
               (e.shape == TagShape::Long ? u'L' : u'S') + roleMarks[static_cast<int>(e.role)] +
               u' ' + split.followingText(e).toString();
    }
    return out.replace(QStringLiteral("\r\n"), QStringLiteral("¶")).replace(QChar(), u'␀');
}

struct SplitCase {
    const char* name;
    QString body;
    const char16_t* expected;
};

TEST(SplitTimeTags, CutsBodiesIntoPrefixAndEntries) {
    const SplitCase cases[] = {
        {"no tag", q(u"abc"), u"abc"},
        {"empty", QString(), u""},
        {"two long tags", q(u"[00:01:00]one[00:02:50]two"),
         u"|[00:01:00] 1000L one|[00:02:50] 2500L two"},
        {"short tag", q(u"[01:02]x"), u"|[01:02] 62000S x"},
        {"single-digit minutes", q(u"[1:02:03]x"), u"[1:02:03]x"},
        {"dot for colon", q(u"[00:01.50]x"), u"[00:01.50]x"},
        {"three-digit fraction", q(u"[00:01:500]x"), u"[00:01:500]x"},
        {"three-digit minutes", q(u"[100:00:00]x"), u"[100:00:00]x"},
        {"fourth field", q(u"[00:01:02:03]"), u"[00:01:02:03]"},
        {"full-width digits", q(u"[０１:02]x"), u"[０１:02]x"},
        {"cut off long", q(u"a[00:01:0"), u"a[00:01:0"},
        {"cut off short", q(u"a[00:0"), u"a[00:0"},
        {"brackets before the tag", q(u"hello [world] [00:02:00]x"),
         u"hello [world] |[00:02:00] 2000L x"},
        {"stray bracket right before", q(u"[[00:01]"), u"[|[00:01] 1000S "},
        {"long wins over short", q(u"[00:01:02]x"), u"|[00:01:02] 1020L x"},
        {"short then text", q(u"[00:01]:02]"), u"|[00:01] 1000S :02]"},
        {"adjacent tags", q(u"[00:01][00:02:03]\r\n"), u"|[00:01] 1000S |[00:02:03] 2030L ¶"},
        {"fields beyond their clock range", q(u"[00:75:00]a[99:99:99]b"),
         u"|[00:75:00] 75000L a|[99:99:99] 6039990L b"},
        {"NUL and Japanese kept", QString::fromUtf16(u"歌\0[00:01]詞\0", 11),
         u"歌␀|[00:01] 1000S 詞␀"},
    };
    for (const SplitCase& c : cases) {
        SCOPED_TRACE(c.name);
        const TaggedBody split = splitTimeTags(c.body);
        EXPECT_EQ(summary(split), q(c.expected));
        EXPECT_EQ(joinTimeTags(split), c.body);
    }
}

struct WriteCase {
    std::int32_t time;
    TagShape shape;
    const char16_t* expected;
};

TEST(WriteTimeTag, FormatsEveryFieldWithAtLeastTwoDigits) {
    const TagShape L = TagShape::Long;
    const TagShape S = TagShape::Short;
    const WriteCase cases[] = {
        {59719, L, u"[00:59:71]"}, // the last millisecond digit is dropped, not rounded
        {0, L, u"[00:00:00]"},
        {0, S, u"[00:00]"},
        {75000, L, u"[01:15:00]"},
        {6000000, L, u"[100:00:00]"},
        {-1, L, u"[00:00:00]"}, // cut toward zero
        {-10, L, u"[00:00:-01]"},
        {-61010, L, u"[-01:-01:-01]"},
        {std::numeric_limits<std::int32_t>::max(), L, u"[35791:23:64]"},
        {std::numeric_limits<std::int32_t>::min(), L, u"[-35791:-23:-64]"},
    };
    for (const WriteCase& c : cases) {
        SCOPED_TRACE(c.time);
        EXPECT_EQ(writeTimeTag(c.time, c.shape), q(c.expected));
    }
}

struct RepairCase {
    const char* name;
    const char16_t* body;
    bool wordTimed;
    bool changed;
    const char16_t* after; // the summary after the repair
};

TEST(RepairTagReversals, PullsLateTagsBackOnlyInWordTimedLyrics) {
    const RepairCase cases[] = {
        {"line-timed, CR LF", u"[00:05:00]one\r\n[00:04:00]two\r\n", false, false,
         u"|[00:05:00] 5000L one¶|[00:04:00] 4000L two¶"},
        {"two entries", u"[00:05:00]la[00:04:00]\r\n", true, true,
         u"|[00:04:00] 4000L la|[00:04:00] 4000L ¶"},
        {"one in the middle", u"[00:01:00]a[00:03:00]b[00:02:00]c[00:04:00]d\r\n", true, true,
         u"|[00:01:00] 1000L a|[00:02:00] 2000L b|[00:02:00] 2000L c|[00:04:00] 4000L d¶"},
        {"chain pulled to the last", u"[00:05:00]a[00:04:00]b[00:03:00]c\n", true, true,
         u"|[00:03:00] 3000L a|[00:03:00] 3000L b|[00:03:00] 3000L c\n"},
        // The pulled entry does not become the reference: entry 1 is written in entry 3's
        // short shape, not in entry 2's long one; each entry keeps its own shape field.
        {"written in the shape after", u"[00:05:00]a[00:04:00]b[00:03]c\n", true, true,
         u"|[00:03] 3000L a|[00:03] 3000L b|[00:03] 3000S c\n"},
        {"short pulled to long", u"[00:05]a[00:04:55]b\n", true, true,
         u"|[00:04:55] 4550S a|[00:04:55] 4550L b\n"},
        {"equal neighbours", u"[00:02:00]a[00:02:00]b\n", true, false,
         u"|[00:02:00] 2000L a|[00:02:00] 2000L b\n"},
        {"adjacent tags are no words", u"[00:05:00][00:04:00]\r\n", false, false,
         u"|[00:05:00] 5000L |[00:04:00] 4000L ¶"},
        {"text before the line end", u"[00:05:00]a\r\n[00:04:00]b", true, true,
         u"|[00:04:00] 4000L a¶|[00:04:00] 4000L b"},
        // Tags on At-Tag lines that stay in the body are neither repaired nor a reference.
        {"ruby times after the lyrics",
         u"[00:10:00]星[00:12:00]空[00:13:20]\r\n@Ruby1=星,ほし,[00:10:00],[00:11:00]\r\n", true,
         false,
         u"|[00:10:00] 10000L 星|[00:12:00] 12000L 空|[00:13:20] 13200L ¶@Ruby1=星,ほし,"
         u"|[00:10:00] 10000LT ,|[00:11:00] 11000LT ¶"},
        {"reversal around a ruby line",
         u"[00:05:00]a[00:04:00]b\r\n@ruby2 =a,あ[00:00:50]か,[00:01:00],\r\n[00:06:00]c[00:07:00]",
         true, true,
         u"|[00:04:00] 4000L a|[00:04:00] 4000L b¶@ruby2 =a,あ|[00:00:50] 500LO か,"
         u"|[00:01:00] 1000LT ,¶|[00:06:00] 6000L c|[00:07:00] 7000L "},
        {"line-timed with a ruby line first",
         u"@RUBY12=光,ひかり,[00:20:00],[00:21:00]\r\n[00:30:00]光\r\n[00:20:00]夜\r\n", false,
         false,
         u"@RUBY12=光,ひかり,|[00:20:00] 20000LT ,|[00:21:00] 21000LT ¶|[00:30:00] 30000L 光¶"
         u"|[00:20:00] 20000L 夜¶"},
        {"other keys and fields", u"@Emoji=✨\r\n[00:05:00]a[00:06:00]\r\n@Lyricist=作[00:00:10]\r\n"
         u"@Ruby1x=,[00:00:20]\r\n@Ruby3=[00:00:30],,,[00:00:40],[00:00:50]",
         true, false,
         u"@Emoji=✨¶|[00:05:00] 5000L a|[00:06:00] 6000L ¶@Lyricist=作|[00:00:10] 100LF ¶@Ruby1x=,"
         u"|[00:00:20] 200LF ¶@Ruby3=|[00:00:30] 300LF ,,,|[00:00:40] 400LT ,|[00:00:50] 500LF "},
        {"no equals sign, no At-Tag", u"[00:05:00]a[00:06:00]\r\n@Ruby1[00:00:40]", true, true,
         u"|[00:00:40] 400L a|[00:00:40] 400L ¶@Ruby1|[00:00:40] 400L "},
    };
    for (const RepairCase& c : cases) {
        SCOPED_TRACE(c.name);
        TaggedBody split = splitTimeTags(q(c.body));
        EXPECT_EQ(hasWordTiming(split), c.wordTimed);
        EXPECT_EQ(repairTagReversals(split), c.changed);
        EXPECT_EQ(summary(split), q(c.after));
    }
}

// Builds "[mm:ss:cc]" for a whole number of hundredths.
QString longTag(int hundredths) {
    return writeTimeTag(hundredths * 10, TagShape::Long);
}

TEST(RepairTagReversals, OnlyTheFirstTwentyEntriesDecideWordTiming) {
    // Twenty line-timed entries, then word-timed ones with a reversal at the end.
    QString lineTimed;
    for (int i = 0; i < 20; ++i) {
        lineTimed += longTag(100 * i) + QStringLiteral("line\r\n");
    }
    const QString reversal =
        longTag(5000) + QStringLiteral("a") + longTag(4000) + QStringLiteral("b\r\n");

    TaggedBody late = splitTimeTags(lineTimed + reversal);
    EXPECT_FALSE(hasWordTiming(late));
    EXPECT_FALSE(repairTagReversals(late));
    EXPECT_EQ(late.entries[20].time, 50000);

    // One word-timed entry among the first twenty: a reversal anywhere is repaired.
    TaggedBody early = splitTimeTags(longTag(0) + QStringLiteral("la") + lineTimed + reversal);
    EXPECT_TRUE(hasWordTiming(early));
    EXPECT_TRUE(repairTagReversals(early));
    EXPECT_EQ(early.entries[21].time, 40000);
    EXPECT_EQ(early.tagText(early.entries[21]), longTag(4000));

    // Word timing in entry 20 still counts; in entry 21 it does not.
    QString nineteen;
    for (int i = 0; i < 19; ++i) {
        nineteen += longTag(i) + QStringLiteral("\n");
    }
    EXPECT_TRUE(
        hasWordTiming(splitTimeTags(nineteen + longTag(19) + QStringLiteral("w") + longTag(20))));
    EXPECT_FALSE(hasWordTiming(splitTimeTags(nineteen + longTag(19) + QStringLiteral("\n") +
                                             longTag(20) + QStringLiteral("w") + longTag(21))));
}

// Random texts that mix the characters a Time Tag is made of with line ends, NUL,
// Japanese, dots and the marks of At-Tag and ruby lines, so that tags, near-tags and broken
// tags appear in every arrangement and on every kind of line.
QString randomText(std::mt19937& random) {
    static const char16_t alphabet[] = u"[[[]]]0123456789012345:::\r\n\n\n\n..\0あ漢 a@=,,";
    const std::size_t alphabetSize = sizeof(alphabet) / sizeof(alphabet[0]) - 1;
    std::uniform_int_distribution<std::size_t> pick(0, alphabetSize - 1);
    std::uniform_int_distribution<int> length(0, 120);
    std::uniform_int_distribution<int> coin(0, 9);
    std::uniform_int_distribution<int> time(0, 6039990);
    QString text;
    const int n = length(random);
    for (int i = 0; i < n; ++i) {
        const int c = coin(random);
        if (c == 0 && coin(random) == 0) {
            text += QStringLiteral("\n@Ruby1=");
        } else if (c == 0) {
            text += writeTimeTag(time(random), TagShape::Long);
        } else if (c == 1) {
            text += writeTimeTag(time(random), TagShape::Short);
        } else {
            text += QChar(alphabet[pick(random)]);
        }
    }
    return text;
}

bool holdsTimeTag(QStringView text) {
    return !findNextTimeTag(text).tag.isEmpty();
}

TEST(TimeTagProperty, SplitAndJoinLoseNoCharacter) {
    std::mt19937 random(4242);
    for (int round = 0; round < 5000; ++round) {
        const QString text = randomText(random);
        SCOPED_TRACE(text.toStdString());
        const TaggedBody split = splitTimeTags(text);
        ASSERT_EQ(joinTimeTags(split), text);
        // Every Time Tag was taken: no piece between the tags still holds one.
        EXPECT_FALSE(holdsTimeTag(split.prefix()));
        for (const TagEntry& entry : split.entries) {
            EXPECT_FALSE(holdsTimeTag(split.followingText(entry)));
            EXPECT_EQ(findNextTimeTag(split.tagText(entry)).tag, split.tagText(entry));
        }
    }
}

TEST(TimeTagProperty, WritingWhatWasReadKeepsShapeAndTime) {
    std::mt19937 random(777);
    int tagsChecked = 0;
    for (int round = 0; round < 5000; ++round) {
        const TaggedBody split = splitTimeTags(randomText(random));
        for (const TagEntry& entry : split.entries) {
            const QString written = writeTimeTag(entry.time, entry.shape);
            SCOPED_TRACE((split.tagText(entry) + QStringLiteral(" -> ") + written).toStdString());
            if (entry.time / 60000 >= 100) {
                EXPECT_FALSE(holdsTimeTag(written)); // [100:..] and beyond read no more
                continue;
            }
            const TaggedBody again = splitTimeTags(written);
            ASSERT_EQ(again.entries.size(), 1u);
            EXPECT_TRUE(again.prefix().isEmpty());
            EXPECT_EQ(again.tagText(again.entries[0]), written);
            EXPECT_TRUE(again.followingText(again.entries[0]).isEmpty());
            EXPECT_EQ(again.entries[0].shape, entry.shape);
            EXPECT_EQ(again.entries[0].time, entry.time);
            ++tagsChecked;
        }
    }
    EXPECT_GT(tagsChecked, 10000);
}

TEST(TimeTagProperty, ReadingAWrittenTagDropsOnlyTheCutDigits) {
    std::mt19937 random(99);
    std::uniform_int_distribution<std::int32_t> time(0, 100 * 60000 - 1);
    for (int round = 0; round < 20000; ++round) {
        const std::int32_t t = time(random);
        SCOPED_TRACE(t);
        EXPECT_EQ(readTimeTag(writeTimeTag(t, TagShape::Long)).time, t - t % 10);
        EXPECT_EQ(readTimeTag(writeTimeTag(t, TagShape::Short)).time, t - t % 1000);
    }
}

TEST(TimeTagProperty, RepairLeavesTimesInOrderAndTextsAlone) {
    std::mt19937 random(31337);
    int repaired = 0;
    for (int round = 0; round < 5000; ++round) {
        const TaggedBody split = splitTimeTags(randomText(random));
        TaggedBody after = split;
        const bool wordTimed = hasWordTiming(after);
        const bool changed = repairTagReversals(after);
        const std::vector<TagEntry>& entries = after.entries;
        ASSERT_EQ(entries.size(), split.entries.size());
        bool anyDifferent = false;
        const TagEntry* nextLyric = nullptr;
        for (std::size_t i = entries.size(); i-- > 0;) {
            EXPECT_EQ(after.followingText(entries[i]), split.followingText(split.entries[i]));
            EXPECT_EQ(entries[i].shape, split.entries[i].shape);
            EXPECT_LE(entries[i].time, split.entries[i].time);
            const QString tag = after.tagText(entries[i]);
            anyDifferent = anyDifferent || tag != split.tagText(split.entries[i]) ||
                           entries[i].time != split.entries[i].time;
            if (entries[i].role != TagRole::Lyric) {
                EXPECT_EQ(tag, split.tagText(split.entries[i]));
                continue;
            }
            if (wordTimed && nextLyric != nullptr) {
                EXPECT_LE(entries[i].time, nextLyric->time);
            }
            nextLyric = &entries[i];
            if (tag != split.tagText(split.entries[i])) {
                // A rewritten tag says its new time (read times are whole hundredths).
                EXPECT_EQ(readTimeTag(tag).time, entries[i].time);
            }
        }
        EXPECT_EQ(changed, anyDifferent);
        if (!wordTimed) {
            EXPECT_FALSE(changed);
        }
        repaired += changed ? 1 : 0;
    }
    EXPECT_GT(repaired, 100);
}

TEST(TimeTagProperty, JoinWritesEveryRewrittenTagInItsPlace) {
    // Rewritten tags of every length, from "[00:00]" to "[-35791:-23:-64]", among kept ones.
    std::mt19937 random(2026);
    std::uniform_int_distribution<std::int32_t> anyTime(std::numeric_limits<std::int32_t>::min(),
                                                        std::numeric_limits<std::int32_t>::max());
    std::uniform_int_distribution<int> coin(0, 3);
    int rewritten = 0;
    for (int round = 0; round < 3000; ++round) {
        TaggedBody split = splitTimeTags(randomText(random));
        QString expected = split.prefix().toString();
        for (TagEntry& entry : split.entries) {
            const int c = coin(random);
            if (c < 2) {
                const std::int32_t time = c == 0 ? anyTime(random) : entry.time;
                rewriteTimeTag(entry, time, coin(random) < 2 ? TagShape::Long : TagShape::Short);
                ++rewritten;
            }
            expected += split.tagText(entry) + split.followingText(entry).toString();
        }
        ASSERT_EQ(joinTimeTags(split), expected);
    }
    EXPECT_GT(rewritten, 10000);
}

TEST(SplitTimeTags, SplitsALargeWordTimedBodyWhole) {
    // About 4 MiB of text with 150,000 tags; a split that copied the rest of the text at
    // every tag would take hours here.
    QString body;
    const int tags = 150000;
    body.reserve(tags * 28);
    for (int i = 0; i < tags; ++i) {
        body += longTag(i % 599999);
        body += (i % 8 == 7) ? QStringLiteral("ことば\r\n") : QStringLiteral("ことばことば");
    }
    const TaggedBody split = splitTimeTags(body);
    ASSERT_EQ(split.entries.size(), static_cast<std::size_t>(tags));
    EXPECT_EQ(split.entries[123456].time, 1234560);
    EXPECT_EQ(joinTimeTags(split), body);
}

} // namespace
} // namespace tavorin
