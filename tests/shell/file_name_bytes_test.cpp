#include "shell/file_name_bytes.h"

#include <QFile>

#include <gtest/gtest.h>

namespace tavorin {
namespace {

// Names as the file system holds them, whether they can be held as text, and how a report
// shows them.
TEST(FileNameBytesTest, TellsReadableNamesAndShowsEveryOtherByteEscaped) {
    const struct {
        const char* what;
        QByteArray bytes;
        bool readable;
        const char* shown; // UTF-8
    } cases[] = {
        {"plain", "song.txt", true, "song.txt"},
        {"Japanese in UTF-8", "\xe6\xad\x8c.txt", true, "歌.txt"},
        {"four-byte character", "\xf0\x9f\x8e\xa4.lrc", true, "🎤.lrc"},
        {"a stray byte",
         "a\xff"
         "b.txt",
         false, "a\\xffb.txt"},
        {"Shift-JIS", "\x89\xcc.txt", false, "\\x89\\xcc.txt"},
        {"Shift-JIS with a UTF-8 lead byte",
         "\xe3\x81"
         "a.txt",
         false, "\\xe3\\x81a.txt"},
        {"a cut character at the end", "a.txt\xe6\xad", false, "a.txt\\xe6\\xad"},
        {"overlong slash",
         "a\xc0\xaf"
         "b",
         false, "a\\xc0\\xafb"},
        {"encoded surrogate", "\xed\xa0\x80.txt", false, "\\xed\\xa0\\x80.txt"},
        {"beyond U+10FFFF", "\xf4\x90\x80\x80", false, "\\xf4\\x90\\x80\\x80"},
        {"valid after invalid", "\xff\xe6\xad\x8c", false, "\\xff歌"},
        {"control characters",
         "a\nb\x7f"
         "c",
         true, "a\\x0ab\\x7fc"},
        {"byte-order mark first",
         "\xef\xbb\xbf"
         "a.txt",
         false, "\\xef\\xbb\\xbfa.txt"},
        {"byte-order mark inside", "a\xef\xbb\xbf.txt", true, "a\\xef\\xbb\\xbf.txt"},
        {"empty", "", true, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(isReadableName(c.bytes), c.readable);
        // What readable means: the name goes to text and back to the same bytes.
        EXPECT_EQ(QFile::encodeName(QFile::decodeName(c.bytes)) == c.bytes, c.readable);
        EXPECT_EQ(escapedName(c.bytes), QString::fromUtf8(c.shown));
    }
}

} // namespace
} // namespace tavorin
