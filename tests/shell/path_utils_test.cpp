#include "shell/path_utils.h"
#include "shell/text_helpers.h"

#include <gtest/gtest.h>

namespace tavorin {
namespace {

TEST(PathUtils, SplitsPathsIntoFolderNameBaseNameAndExtension) {
    struct Case {
        const char* path;
        const char* withTrailing;
        const char* folder;
        const char* name;
        const char* baseName;
        const char* extension;
    };
    const Case cases[] = {
        {"/a/b.txt", "/a/b.txt/", "/a/", "b.txt", "b", "txt"},
        {"/", "/", "/", "", "/", ""},
        {"", "/", "", "", "", ""},
        {"b.txt", "b.txt/", "", "", "b", "txt"}, // no separator: no name, but a base name
        {"/a/", "/a/", "/a/", "", "/a/", ""},
        {"/a/b.c.LRC", "/a/b.c.LRC/", "/a/", "b.c.LRC", "b.c", "LRC"},
        {"/a.dir/b", "/a.dir/b/", "/a.dir/", "b", "b", ""},
        {"/a/.lrc", "/a/.lrc/", "/a/", ".lrc", "", "lrc"},
        {"C:\\a\\b.txt", "C:\\a\\b.txt/", "", "", "C:\\a\\b", "txt"}, // "\" is a character
        {"/歌詞/さくら.kra", "/歌詞/さくら.kra/", "/歌詞/", "さくら.kra", "さくら", "kra"},
    };
    for (const Case& c : cases) {
        const QString path = QString::fromUtf8(c.path);
        SCOPED_TRACE(c.path);
        EXPECT_EQ(withTrailingSeparator(path), QString::fromUtf8(c.withTrailing));
        EXPECT_EQ(folderOf(path), QString::fromUtf8(c.folder));
        EXPECT_EQ(nameOf(path), QString::fromUtf8(c.name));
        EXPECT_EQ(baseNameOf(path), QString::fromUtf8(c.baseName));
        EXPECT_EQ(extensionOf(path), QString::fromUtf8(c.extension));
    }
}

TEST(TextHelpers, CutsPlatformTextsAtNulsAndFindsLineEnds) {
    const QChar nul(0);
    EXPECT_EQ(cutAtNul(QStringLiteral("abc") + nul + QStringLiteral("def")), u"abc");
    EXPECT_EQ(cutAtNul(QStringLiteral("abc")), u"abc");
    EXPECT_EQ(stripTrailingNuls(QStringLiteral("a") + nul + QStringLiteral("b") + QString(3, nul)),
              QStringLiteral("a") + nul + QStringLiteral("b"));
    EXPECT_EQ(stripTrailingNuls(QString(3, nul)), QString());
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

} // namespace
} // namespace tavorin
