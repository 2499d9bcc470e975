#include "shell/text_codec.h"

#include <gtest/gtest.h>

namespace tavorin {
namespace {

struct DetectionCase {
    const char* what;
    QByteArray bytes;
    TextEncoding encoding;
    QString text;
    bool lossless;
};

TEST(TextCodec, DetectsTheEncodingAndWritesLosslessTextBackAsTheSameBytes) {
    const QChar bom(0xFEFF);
    const DetectionCase cases[] = {
        {"ascii", QByteArray("[00:01:00]a\r\n"), TextEncoding::Cp932,
         QStringLiteral("[00:01:00]a\r\n"), true},
        {"empty", QByteArray(), TextEncoding::Cp932, QString(), true},
        {"shift-jis", QByteArray("\x82\xA0\x82\xA2"), TextEncoding::Cp932, QStringLiteral("あい"),
         true},
        {"utf-8 without mark", QByteArray("\xE3\x81\x82[00:01]"), TextEncoding::Utf8,
         QStringLiteral("あ[00:01]"), true},
        {"utf-8 with mark", QByteArray("\xEF\xBB\xBF\xE3\x81\x82"), TextEncoding::Utf8Bom,
         QStringLiteral("あ"), true},
        {"utf-8 mark only", QByteArray("\xEF\xBB\xBF"), TextEncoding::Utf8Bom, QString(), true},
        {"second mark is text",
         QByteArray("\xEF\xBB\xBF\xEF\xBB\xBF"
                    "a"),
         TextEncoding::Utf8Bom, QString(bom) + QLatin1Char('a'), true},
        {"utf-16 le", QByteArray("\xFF\xFE\x42\x30\x0A\x00", 6), TextEncoding::Utf16LeBom,
         QStringLiteral("あ\n"), true},
        {"utf-16 be", QByteArray("\xFE\xFF\x30\x42\x00\x0A", 6), TextEncoding::Utf16BeBom,
         QStringLiteral("あ\n"), true},
        {"utf-16 pair", QByteArray("\xFF\xFE\x3D\xD8\x00\xDE", 6), TextEncoding::Utf16LeBom,
         QStringLiteral("😀"), true},
        // Shift-JIS that happens not to be UTF-8 stays Shift-JIS.
        {"half-width kana", QByteArray("\xB1\xB2"), TextEncoding::Cp932, QStringLiteral("ｱｲ"),
         true},
        // Not UTF-8 (overlong, surrogate, cut short), so read as code page 932, where the
        // sequences are illegal too.
        {"cut utf-8", QByteArray("\xE3\x81\x82\xE3\x81"), TextEncoding::Cp932, QString(), false},
        {"lead byte at end", QByteArray("abc\x82"), TextEncoding::Cp932, QString(), false},
        {"utf-8 mark, bad body", QByteArray("\xEF\xBB\xBF\xE3\x81 "), TextEncoding::Utf8Bom,
         QString(), false},
        {"utf-8 mark, overlong", QByteArray("\xEF\xBB\xBF\xC0\xAF"), TextEncoding::Utf8Bom,
         QString(), false},
        {"utf-8 mark, surrogate", QByteArray("\xEF\xBB\xBF\xED\xA0\x80"), TextEncoding::Utf8Bom,
         QString(), false},
        {"utf-16 odd length", QByteArray("\xFF\xFE\x41\x00\x42", 5), TextEncoding::Utf16LeBom,
         QString(), false},
        {"utf-16 lone half", QByteArray("\xFE\xFF\xD8\x3D\x00\x41", 6), TextEncoding::Utf16BeBom,
         QString(), false},
        {"utf-16 lone low half", QByteArray("\xFF\xFE\x00\xDE", 4), TextEncoding::Utf16LeBom,
         QString(), false},
    };
    for (const DetectionCase& c : cases) {
        SCOPED_TRACE(c.what);
        const DecodedText decoded = decodeText(c.bytes);
        EXPECT_EQ(decoded.encoding, c.encoding);
        EXPECT_EQ(decoded.lossless, c.lossless);
        if (c.lossless) {
            EXPECT_EQ(decoded.text, c.text);
            EXPECT_EQ(encodeText(decoded.text, decoded.encoding), c.bytes);
        }
    }
    // Overlong and surrogate forms without a mark are not UTF-8; as code page 932 they read.
    EXPECT_EQ(decodeText(QByteArray("\xC0\xAF")).encoding, TextEncoding::Cp932);
    EXPECT_EQ(decodeText(QByteArray("\xED\xA0\x80")).encoding, TextEncoding::Cp932);
    EXPECT_EQ(decodeText(QByteArray("\xE0\x9F\xBF")).encoding, TextEncoding::Cp932);
    EXPECT_EQ(decodeText(QByteArray("\xF0\x8F\xBF\xBF")).encoding, TextEncoding::Cp932);
    EXPECT_EQ(decodeText(QByteArray("\xF4\x90\x80\x80")).encoding, TextEncoding::Cp932);
    EXPECT_EQ(decodeText(QByteArray("a\xF0\x9F\x98")).encoding, TextEncoding::Cp932);
    // The edges that are still UTF-8: U+0800, U+FFFF (a noncharacter, but well formed),
    // U+10000 and U+10FFFF.
    for (const char* edge :
         {"\xE0\xA0\x80", "\xEF\xBF\xBF", "\xF0\x90\x80\x80", "\xF4\x8F\xBF\xBF"}) {
        const DecodedText decoded = decodeText(QByteArray(edge));
        EXPECT_EQ(decoded.encoding, TextEncoding::Utf8) << edge;
        EXPECT_EQ(encodeText(decoded.text, decoded.encoding), QByteArray(edge));
    }
}

} // namespace
} // namespace tavorin
