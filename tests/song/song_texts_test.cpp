#include "song/song_texts.h"

#include <gtest/gtest.h>

namespace tavorin {
namespace {

QString padded(const char* text) {
    return QString::fromUtf8(text) + QString(128 - static_cast<int>(qstrlen(text)), QChar());
}

TEST(SongTextsTest, RiffTextWinsUnlessItIsEmpty) {
    struct Case {
        const char* what;
        QString riff;
        QString tag;
        QString expected;
    };
    const Case cases[] = {
        {"RIFF text before NULs wins", padded("Riff Title"), padded("Tag Title"),
         QStringLiteral("Riff Title")},
        {"all-NUL RIFF field falls back", padded(""), padded("Tag Title"),
         QStringLiteral("Tag Title")},
        {"empty RIFF field falls back", QString(), QStringLiteral("Tag Title"),
         QStringLiteral("Tag Title")},
        {"one space stands", padded(" "), padded("Tag Title"), QStringLiteral(" ")},
        {"spaces are kept untrimmed", QStringLiteral("  a  "), QString(), QStringLiteral("  a  ")},
        {"text after the first NUL is dropped",
         QStringLiteral("ab") + QChar() + QStringLiteral("cd"), QString(), QStringLiteral("ab")},
        {"field without NUL stays whole", QStringLiteral("夜明けの歌"), QString(),
         QStringLiteral("夜明けの歌")},
        {"tag text is cut at NUL too", QString(), padded("Tag"), QStringLiteral("Tag")},
        {"both empty", QString(), padded(""), QString()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // The three pairs are chosen independently: each gets the case in its own field.
        for (int field = 0; field < 3; ++field) {
            RiffInfo riff{QStringLiteral("R1"), QStringLiteral("R2"), QStringLiteral("R3")};
            TagInfo tag{QStringLiteral("T1"), QStringLiteral("T2"), QStringLiteral("T3")};
            SongInfo info;
            QString* riffField[] = {&riff.name, &riff.artist, &riff.product};
            QString* tagField[] = {&tag.title, &tag.artist, &tag.album};
            *riffField[field] = c.riff;
            *tagField[field] = c.tag;
            chooseSongTexts(riff, tag, info);
            const QString chosen[] = {info.title, info.artist, info.album};
            for (int other = 0; other < 3; ++other) {
                SCOPED_TRACE(other);
                EXPECT_EQ(chosen[other],
                          other == field ? c.expected : QStringLiteral("R%1").arg(other + 1));
            }
        }
    }
}

} // namespace
} // namespace tavorin
