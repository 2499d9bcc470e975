#include "song/song_texts.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <array>

namespace tavorin {
namespace {

using namespace Qt::StringLiterals;

TEST(SongTextsTest, RiffTextCutAtNulWinsUnlessItIsEmpty) {
    const QString nul(1, QChar());
    const struct {
        QString riff, tag, expected;
    } cases[] = {
        {u"Riff"_s + nul + u"x"_s, u"Tag"_s, u"Riff"_s},
        {nul.repeated(128), u"Tag"_s + nul, u"Tag"_s},
        {{}, u"Tag"_s, u"Tag"_s},
        {u" "_s + nul, u"Tag"_s, u" "_s},
        {u"  a  "_s, {}, u"  a  "_s},
        {u"夜明けの歌"_s, {}, u"夜明けの歌"_s},
        {{}, nul, {}},
    };
    for (const auto& c : cases) {
        // The three pairs are chosen independently: each gets the case in turn.
        for (int field = 0; field < 3; ++field) {
            SCOPED_TRACE(testing::Message() << qPrintable(c.riff) << " field " << field);
            RiffInfo riff{u"R1"_s, u"R2"_s, u"R3"_s};
            TagInfo tag{u"T1"_s, u"T2"_s, u"T3"_s};
            *std::array{&riff.name, &riff.artist, &riff.product}[field] = c.riff;
            *std::array{&tag.title, &tag.artist, &tag.album}[field] = c.tag;
            SongInfo info;
            chooseSongTexts(riff, tag, info);
            QStringList expected{u"R1"_s, u"R2"_s, u"R3"_s};
            expected[field] = c.expected;
            EXPECT_EQ(QStringList({info.title, info.artist, info.album}), expected);
        }
    }
}

} // namespace
} // namespace tavorin
