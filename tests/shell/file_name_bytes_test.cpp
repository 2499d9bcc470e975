#include "shell/file_name_bytes.h"

#include "data_table.h"

#include <QFile>

#include <gtest/gtest.h>

namespace tavorin {
namespace {

// Each name as a report shows it: readable characters as they are, every other byte as \xNN.
// The bytes on disk are what the shown name spells.
TEST(FileNameBytesTest, TellsReadableNamesAndShowsEveryOtherByteEscaped) {
    const std::pair<const char*, bool> cases[] = {
        {"song.txt", true},
        {"歌.txt", true},
        {"🎤.lrc", true},
        {"", true},
        {R"(a\xffb.txt)", false},
        {R"(\x89\xcc.txt)", false}, // a stray byte, Shift-JIS
        {R"(\xe3\x81a.txt)", false},
        {R"(a.txt\xe6\xad)", false}, // cut characters
        {R"(a\xc0\xafb)", false},
        {R"(\xed\xa0\x80.txt)", false}, // overlong, surrogate
        {R"(\xf4\x90\x80\x80)", false},
        {R"(\xff歌)", false},     // beyond U+10FFFF
        {R"(a\x0ab\x7fc)", true}, // control characters
        {R"(\xef\xbb\xbfa.txt)", false},
        {R"(a\xef\xbb\xbf.txt)", true}, // byte-order mark
    };
    for (const auto& [shown, readable] : cases) {
        SCOPED_TRACE(shown);
        const QByteArray bytes = testing::bytesOf(shown);
        EXPECT_EQ(isReadableName(bytes), readable);
        // What readable means: the name goes to text and back to the same bytes.
        EXPECT_EQ(QFile::encodeName(QFile::decodeName(bytes)) == bytes, readable);
        EXPECT_EQ(escapedName(bytes), QString::fromUtf8(shown));
    }
}

} // namespace
} // namespace tavorin
