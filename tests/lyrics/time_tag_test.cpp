#include "lyrics/time_tag.h"

#include <gtest/gtest.h>

#include <limits>
#include <ostream>
#include <random>

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
    static const QString roleMarks[] = {{}, QStringLiteral("T"), QStringLiteral("O"),
                                        QStringLiteral("F")};
    QString out = split.prefix().toString();
    for (const TagEntry& e : split.entries) {
        out += u'|' + split.tagText(e) + u' ' + QString::number(e.time) +
               (e.shape == TagShape::Long ? u'L' : u'S') + roleMarks[static_cast<int>(e.role)] +
               u' ' + split.followingText(e).toString();
    }
    return out.replace(QStringLiteral("\r\n"), QStringLiteral("¶")).replace(QChar(), u'␀');
}

TEST(SplitTimeTags, CutsBodiesIntoPrefixAndEntries) {
    const std::pair<QString, const char16_t*> cases[] = {
        {q(u"abc"), u"abc"},
        {q(u"[00:01:00]one[00:02:50]two"), u"|[00:01:00] 1000L one|[00:02:50] 2500L two"},
        {q(u"[01:02]x"), u"|[01:02] 62000S x"},
        // Not Time Tags: one-digit or three-digit fields, a dot, a fourth field, full-width
        // digits, a tag cut off by the end of the text.
        {q(u"[1:02:03][00:01.50][00:01:500][100:00:00][０１:02]a[00:01:0"),
         u"[1:02:03][00:01.50][00:01:500][100:00:00][０１:02]a[00:01:0"},
        {q(u"[00:01:02:03]"), u"[00:01:02:03]"},
        {q(u"hello [world] [[00:02:00]x"), u"hello [world] [|[00:02:00] 2000L x"},
        {q(u"[00:01]:02][00:02:03]\r\n"), u"|[00:01] 1000S :02]|[00:02:03] 2030L ¶"},
        {q(u"[00:75:00]a[99:99:99]b"), u"|[00:75:00] 75000L a|[99:99:99] 6039990L b"},
        {QString::fromUtf16(u"歌\0[00:01]詞\0", 11), u"歌␀|[00:01] 1000S 詞␀"},
    };
    for (const auto& [body, expected] : cases) {
        const TaggedBody split = splitTimeTags(body);
        EXPECT_EQ(summary(split), q(expected));
        EXPECT_EQ(joinTimeTags(split), body);
    }
}

TEST(WriteTimeTag, FormatsEveryFieldWithAtLeastTwoDigits) {
    const std::tuple<std::int32_t, TagShape, const char16_t*> cases[] = {
        {59719, TagShape::Long, u"[00:59:71]"}, // the last millisecond digit is cut, not rounded
        {59719, TagShape::Short, u"[00:59]"},
        {75000, TagShape::Long, u"[01:15:00]"},
        {6000000, TagShape::Long, u"[100:00:00]"},
        {-10, TagShape::Long, u"[00:00:-01]"}, // cut toward zero
        {-61010, TagShape::Long, u"[-01:-01:-01]"},
        {std::numeric_limits<std::int32_t>::max(), TagShape::Long, u"[35791:23:64]"},
        {std::numeric_limits<std::int32_t>::min(), TagShape::Long, u"[-35791:-23:-64]"},
    };
    for (const auto& [time, shape, expected] : cases) {
        EXPECT_EQ(writeTimeTag(time, shape), q(expected)) << time;
    }
}

struct RepairCase {
    const char* name;
    const char16_t* body;
    bool wordTimed;
    bool changed;
    const char16_t* after; // the summary after the repair
};

TEST(RepairTagReversals, PullsLateLyricTagsBackOnlyInWordTimedLyrics) {
    const RepairCase cases[] = {
        {"line-timed", u"[00:05:00]one\r\n[00:04:00]two\r\n", false, false,
         u"|[00:05:00] 5000L one¶|[00:04:00] 4000L two¶"},
        {"adjacent tags are no words", u"[00:05:00][00:04:00]\r\n", false, false,
         u"|[00:05:00] 5000L |[00:04:00] 4000L ¶"},
        {"one in the middle", u"[00:01:00]a[00:03:00]b[00:02:00]c[00:04:00]d\r\n", true, true,
         u"|[00:01:00] 1000L a|[00:02:00] 2000L b|[00:02:00] 2000L c|[00:04:00] 4000L d¶"},
        // A pulled entry is no reference: entry 1 is written in entry 3's short shape; each
        // entry keeps its own shape field.
        {"written in the shape after", u"[00:05:00]a[00:04:00]b[00:03]c\n", true, true,
         u"|[00:03] 3000L a|[00:03] 3000L b|[00:03] 3000S c\n"},
        {"equal neighbours", u"[00:02:00]a[00:02:00]b\n", true, false,
         u"|[00:02:00] 2000L a|[00:02:00] 2000L b\n"},
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
        {"other keys and fields",
         u"@Emoji=✨\r\n[00:05:00]a[00:06:00]\r\n@Lyricist=作[00:00:10]\r\n"
         u"@Ruby1x=,[00:00:20]\r\n@Ruby3=[00:00:30],,,[00:00:40],[00:00:50]",
         true, false,
         u"@Emoji=✨¶|[00:05:00] 5000L a|[00:06:00] 6000L ¶@Lyricist=作|[00:00:10] 100LF ¶"
         u"@Ruby1x=,|[00:00:20] 200LF ¶@Ruby3=|[00:00:30] 300LF ,,,|[00:00:40] 400LT ,"
         u"|[00:00:50] 500LF "},
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

TEST(RepairTagReversals, OnlyTheFirstTwentyEntriesDecideWordTiming) {
    const auto tag = [](int hundredths) { return writeTimeTag(hundredths * 10, TagShape::Long); };
    QString nineteenLines;
    for (int i = 0; i < 19; ++i) {
        nineteenLines += tag(100 * i) + QStringLiteral("line\r\n");
    }
    const QString reversal = tag(5000) + QStringLiteral("a") + tag(4000) + QStringLiteral("b\r\n");
    // Entry 20 word-timed: a reversal anywhere is repaired; entry 21: it is not.
    TaggedBody twentieth = splitTimeTags(nineteenLines + reversal);
    EXPECT_TRUE(repairTagReversals(twentieth));
    EXPECT_EQ(twentieth.entries[19].time, 40000);
    TaggedBody twentyFirst = splitTimeTags(nineteenLines + tag(1900) + QStringLiteral("\r\n") + reversal);
    EXPECT_FALSE(hasWordTiming(twentyFirst));
    EXPECT_FALSE(repairTagReversals(twentyFirst));
}

// Random texts that mix the characters a Time Tag is made of with line ends, NUL, Japanese,
// dots and the marks of At-Tag and ruby lines, so that tags, near-tags and broken tags appear
// in every arrangement and on every kind of line.
QString randomText(std::mt19937& random) {
    static const char16_t alphabet[] = u"[[[]]]0123456789012345:::\r\n\n\n\n..\0あ漢 a@=,,";
    std::uniform_int_distribution<std::size_t> pick(0, std::size(alphabet) - 2);
    std::uniform_int_distribution<int> coin(0, 9);
    std::uniform_int_distribution<int> time(0, 6039990);
    QString text;
    for (int i = std::uniform_int_distribution<int>(0, 120)(random); i > 0; --i) {
        const int c = coin(random);
        if (c == 0 && coin(random) == 0) {
            text += QStringLiteral("\n@Ruby1=");
        } else if (c < 2) {
            text += writeTimeTag(time(random), c == 0 ? TagShape::Long : TagShape::Short);
        } else {
            text += QChar(alphabet[pick(random)]);
        }
    }
    return text;
}

bool holdsTimeTag(QStringView text) {
    return !findNextTimeTag(text).tag.isEmpty();
}

TEST(TimeTagProperty, SplitLosesNoCharacterAndReadsWhatWasWritten) {
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
            // Written again in its shape, a tag reads back as itself, up to [99:..].
            const QString written = writeTimeTag(entry.time, entry.shape);
            if (entry.time >= 100 * 60000) {
                EXPECT_FALSE(holdsTimeTag(written));
                continue;
            }
            const TaggedBody again = splitTimeTags(written);
            ASSERT_EQ(again.entries.size(), 1u);
            EXPECT_EQ(again.tagText(again.entries[0]), written);
            EXPECT_EQ(again.entries[0].shape, entry.shape);
            EXPECT_EQ(again.entries[0].time, entry.time);
        }
    }
    std::uniform_int_distribution<std::int32_t> anyTime(0, 100 * 60000 - 1);
    for (int round = 0; round < 20000; ++round) {
        const std::int32_t t = anyTime(random);
        EXPECT_EQ(readTimeTag(writeTimeTag(t, TagShape::Long)).time, t - t % 10) << t;
        EXPECT_EQ(readTimeTag(writeTimeTag(t, TagShape::Short)).time, t - t % 1000) << t;
    }
}

TEST(TimeTagProperty, RepairOrdersLyricTagsAndLeavesEverythingElse) {
    std::mt19937 random(31337);
    int repaired = 0;
    for (int round = 0; round < 5000; ++round) {
        const TaggedBody split = splitTimeTags(randomText(random));
        TaggedBody after = split;
        const bool wordTimed = hasWordTiming(after);
        const bool changed = repairTagReversals(after);
        bool anyDifferent = false;
        const TagEntry* nextLyric = nullptr;
        for (std::size_t i = split.entries.size(); i-- > 0;) {
            const TagEntry& entry = after.entries[i];
            const QString tag = after.tagText(entry);
            EXPECT_EQ(after.followingText(entry), split.followingText(split.entries[i]));
            EXPECT_EQ(entry.shape, split.entries[i].shape);
            EXPECT_LE(entry.time, split.entries[i].time);
            anyDifferent = anyDifferent || tag != split.tagText(split.entries[i]);
            if (entry.role != TagRole::Lyric) {
                EXPECT_EQ(tag, split.tagText(split.entries[i]));
                continue;
            }
            EXPECT_TRUE(!wordTimed || nextLyric == nullptr || entry.time <= nextLyric->time);
            if (tag != split.tagText(split.entries[i])) {
                EXPECT_EQ(readTimeTag(tag).time, entry.time); // says its new time
            }
            nextLyric = &entry;
        }
        EXPECT_EQ(changed, anyDifferent);
        EXPECT_TRUE(wordTimed || !changed);
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
    for (int round = 0; round < 3000; ++round) {
        TaggedBody split = splitTimeTags(randomText(random));
        QString expected = split.prefix().toString();
        for (TagEntry& entry : split.entries) {
            if (const int c = coin(random); c < 2) {
                rewriteTimeTag(entry, c == 0 ? anyTime(random) : entry.time,
                               coin(random) < 2 ? TagShape::Long : TagShape::Short);
            }
            expected += split.tagText(entry) + split.followingText(entry).toString();
        }
        ASSERT_EQ(joinTimeTags(split), expected);
    }
}

} // namespace
} // namespace tavorin
