#include "run/at_tag_block.h"

#include <gtest/gtest.h>

namespace tavorin {
namespace {

TEST(AtTagBlock, LinesComeInTheirOrder) {
    AtTagBlock full;
    full.timeRatio = 0.9953125;
    full.silencemSec = 261;
    full.offset = -20;
    full.taggingBy = QStringLiteral("A");
    full.editedBy = QStringLiteral("B");
    full.title = QStringLiteral("T");
    full.artist = QStringLiteral("R");
    full.album = QStringLiteral("L");
    full.bgfile = QStringLiteral("bg.jpg");
    full.bgfolder = QStringLiteral("pics");
    EXPECT_EQ(atTagLines(full).join(u'|'),
              QStringLiteral("@TimeRatio=0.9953125|@SilencemSec=261|@Offset=-20|@TaggingBy=A|"
                             "@EditedBy=B|@Title=T|@Artist=R|@Album=L|@Bgfile=bg.jpg|"
                             "@Bgfolder=pics"));
}

TEST(AtTagBlock, BodyGetsOneBlankLineAndTheFileEndsWithOneLineEnd) {
    AtTagBlock block;
    block.taggingBy = QStringLiteral("A");
    const QString tail = QStringLiteral("@TimeRatio=1\r\n@SilencemSec=0\r\n@TaggingBy=A\r\n");
    const struct {
        const char* body;
        const char* before;
    } cases[] = {
        {"a\r\n", "a\r\n\r\n"},
        {"a\r\n\r\n", "a\r\n\r\n"}, // already ends with a blank line
        {"a\r\n\r\n\r\n", "a\r\n\r\n\r\n"},
        {"", "\r\n"},
        {"a", "a\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.body);
        EXPECT_EQ(lyricsTextWithBlock(QString::fromUtf8(c.body), block),
                  QString::fromUtf8(c.before) + tail);
    }
}

} // namespace
} // namespace tavorin
