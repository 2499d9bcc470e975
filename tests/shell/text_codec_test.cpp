#include "shell/text_codec.h"

#include <gtest/gtest.h>

namespace tavorin {
namespace {

// Each file is read in the encoding its bytes show; what reads without loss is written back
// as the very same bytes, and what does not is flagged so that it is never rewritten.
TEST(TextCodec, DetectsTheEncodingAndWritesLosslessTextBackAsTheSameBytes) {
    using enum TextEncoding;
    struct Case {
        QByteArray bytes;
        TextEncoding encoding;
        QString text; // when lossless
        bool lossless;
    };
    const Case cases[] = {
        {"[00:01:00]a\r\n", Cp932, u"[00:01:00]a\r\n"_qs, true},
        {"", Cp932, u""_qs, true},
        {"\x82\xA0\x82\xA2", Cp932, u"あい"_qs, true},
        {"\xB1\xB2", Cp932, u"ｱｲ"_qs, true}, // Shift-JIS that is not UTF-8
        {"\xE3\x81\x82[00:01]", Utf8, u"あ[00:01]"_qs, true},
        {"abc\xE0\xA0\x80", Utf8, u"abc\u0800"_qs, true}, // the edges still UTF-8
        {"\xEF\xBF\xBF", Utf8, u"\uFFFF"_qs, true},
        {"\xF0\x90\x80\x80", Utf8, u"\U00010000"_qs, true},
        {"\xF4\x8F\xBF\xBF", Utf8, u"\U0010FFFF"_qs, true},
        {"\xEF\xBB\xBF\xE3\x81\x82", Utf8Bom, u"あ"_qs, true},
        {"\xEF\xBB\xBF", Utf8Bom, u""_qs, true},
        {"\xEF\xBB\xBF\xEF\xBB\xBF"
         "a",
         Utf8Bom, u"\uFEFFa"_qs, true}, // a second mark is text
        {QByteArray("\xFF\xFE\x42\x30\x0A\x00", 6), Utf16LeBom, u"あ\n"_qs, true},
        {QByteArray("\xFE\xFF\x30\x42\x00\x0A", 6), Utf16BeBom, u"あ\n"_qs, true},
        {QByteArray("\xFF\xFE\x3D\xD8\x00\xDE", 6), Utf16LeBom, u"😀"_qs, true},
        {"\xE3\x81\x82\xE3\x81", Cp932, {}, false}, // UTF-8 cut short
        {"abc\x82", Cp932, {}, false},
        {"\xEF\xBB\xBF\xE3\x81 ", Utf8Bom, {}, false},
        {"\xEF\xBB\xBF\xC0\xAF", Utf8Bom, {}, false},
        {"\xEF\xBB\xBF\xED\xA0\x80", Utf8Bom, {}, false},
        {QByteArray("\xFF\xFE\x41\x00\x42", 5), Utf16LeBom, {}, false},     // odd length
        {QByteArray("\xFE\xFF\xD8\x3D\x00\x41", 6), Utf16BeBom, {}, false}, // lone halves
        {QByteArray("\xFF\xFE\x00\xDE", 4), Utf16LeBom, {}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes.toHex().toStdString());
        const DecodedText decoded = decodeText(c.bytes);
        EXPECT_EQ(decoded.encoding, c.encoding);
        EXPECT_EQ(decoded.lossless, c.lossless);
        if (c.lossless) {
            EXPECT_EQ(decoded.text, c.text);
            EXPECT_EQ(encodeText(decoded.text, decoded.encoding), c.bytes);
        }
    }
    // Not UTF-8 (overlong, surrogate, beyond U+10FFFF, cut short), so code page 932.
    for (const char* bytes : {"\xC0\xAF", "\xED\xA0\x80", "\xE0\x9F\xBF", "\xF0\x8F\xBF\xBF",
                              "\xF4\x90\x80\x80", "a\xF0\x9F\x98"}) {
        EXPECT_EQ(decodeText(QByteArray(bytes)).encoding, Cp932) << QByteArray(bytes).toHex().toStdString();
    }
}

} // namespace
} // namespace tavorin
