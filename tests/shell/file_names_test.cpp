#include "shell/file_name_bytes.h"
#include "shell/path_utils.h"
#include "shell/text_helpers.h"

#include "data_table.h"

#include <gtest/gtest.h>

namespace tavorin {
namespace {

// A path without a separator has no name but a base name; "\" is a character like any other.
TEST(PathUtils, SplitsPathsIntoFolderNameBaseNameAndExtension) {
    const auto rows = testing::tableRows("paths.tsv");
    ASSERT_EQ(rows.size(), 9);
    for (const auto& row : rows) {
        const QString path = QString::fromUtf8(row[0]);
        EXPECT_EQ(QStringList({path, withTrailingSeparator(path), folderOf(path), nameOf(path),
                               baseNameOf(path), extensionOf(path)})
                      .join(u'|'),
                  QString::fromUtf8(row.join('|')));
    }
}

TEST(TextHelpers, StripsTrailingNulsAndFindsLineEndsAtEveryPlace) {
    const QString nul(QChar(0));
    EXPECT_EQ(stripTrailingNuls(u"a"_qs + nul + u"b"_qs + nul + nul), u"a"_qs + nul + u"b"_qs);
    EXPECT_EQ(stripTrailingNuls(nul + nul), QString());
    // A line end at every place of a long text, and none at all; U+0D0A holds the bytes of
    // CR and LF but is neither.
    for (const char16_t lineEnd : {u'\n', u'\r'}) {
        for (qsizetype at = 0; at <= 40; ++at) {
            QString text(40, QChar(0x0D0A));
            if (at < text.size()) {
                text[at] = lineEnd;
            }
            const char16_t* begin = QStringView(text).utf16();
            EXPECT_EQ(findLineEnd(begin, begin + text.size()) - begin, at);
        }
    }
}

// Names with bytes that are not UTF-8 (Shift-JIS, cut, overlong, surrogates) are unreadable
// and shown with those bytes escaped.
TEST(FileNameBytesTest, TellsReadableNamesAndShowsEveryOtherByteEscaped) {
    const auto rows = testing::tableRows("file_names.tsv");
    ASSERT_EQ(rows.size(), 15);
    for (const auto& row : rows) {
        const QByteArray bytes = testing::bytesOf(row[0]);
        EXPECT_EQ(isReadableName(bytes), row[1] == "1") << row[0].toStdString();
        // What readable means: the name goes to text and back to the same bytes.
        EXPECT_EQ(QFile::encodeName(QFile::decodeName(bytes)) == bytes, row[1] == "1");
        EXPECT_EQ(escapedName(bytes), QString::fromUtf8(row[0]));
    }
}

} // namespace
} // namespace tavorin
