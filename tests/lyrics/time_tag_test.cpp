#include "lyrics/time_tag.h"

#include <QFile>

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

// The split form in one line, as tests/data/lyrics/time_tag_cases.txt writes it: the prefix,
// then per entry "|tag time shape role following", CR LF shown as "¶", a line feed alone as
// "↵" and NUL as "␀", so that every character is visible.
QString summary(const TaggedBody& split) {
    static const QString roleMarks[] = {{}, QStringLiteral("T"), QStringLiteral("O"),
                                        QStringLiteral("F")};
    QString out = split.prefix().toString();
    for (const TagEntry& e : split.entries) {
        out += u'|' + split.tagText(e) + u' ' + QString::number(e.time) +
               (e.shape == TagShape::Long ? u'L' : u'S') + roleMarks[static_cast<int>(e.role)] +
               u' ' + split.followingText(e).toString();
    }
    return out.replace(QStringLiteral("\r\n"), QStringLiteral("¶"))
        .replace(u'\n', u'↵')
        .replace(QChar(), u'␀');
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

// The split and repair cases of tests/data/lyrics/time_tag_cases.txt.
TEST(TimeTags, SplitAndRepairCases) {
    QFile file(QStringLiteral(TAVORIN_TEST_DATA_DIR "/lyrics/time_tag_cases.txt"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    int cases = 0;
    for (const QString& line : QString::fromUtf8(file.readAll()).split(u'\n')) {
        const QStringList field = line.split(QStringLiteral(" | "));
        if (line.startsWith(u'#') || field.size() < 4) {
            continue;
        }
        SCOPED_TRACE(field[1].toStdString());
        ++cases;
        const QString body = QString(field[2])
                                 .replace(u'¶', QStringLiteral("\r\n"))
                                 .replace(u'↵', u'\n')
                                 .replace(u'␀', QChar());
        TaggedBody split = splitTimeTags(body);
        EXPECT_EQ(joinTimeTags(split), body);
        if (field[0] == u"repair") {
            ASSERT_EQ(field.size(), 6);
            EXPECT_EQ(hasWordTiming(split), field[3] == u"yes");
            EXPECT_EQ(repairTagReversals(split), field[4] == u"yes");
        }
        EXPECT_EQ(summary(split), field.last());
    }
    EXPECT_EQ(cases, 20);
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
