#include "shell/cp932_codec.h"

#include <QFile>

#include <gtest/gtest.h>

#include <map>

namespace tavorin {
namespace {

QByteArray bytesOf(unsigned code) {
    const char bytes[] = {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
    return code > 0xFF ? QByteArray(bytes, 2) : QByteArray(bytes + 1, 1);
}

// The code after code, stepping through trail bytes 0x40-0xFC without 0x7F.
unsigned nextCode(unsigned code) {
    const unsigned trail = (code & 0xFF) + 1 == 0x7F ? 0x80 : (code & 0xFF) + 1;
    return trail > 0xFC ? ((code >> 8) + 1) << 8 | 0x40 : (code & 0xFF00) | trail;
}

// Characters with two codes: the code on the left decodes fine, but Windows writes the
// character back as the code on the right (NEC's and IBM's copies of the same characters).
struct RewrittenRun {
    unsigned code;
    unsigned writtenAs;
    int count;
};
const RewrittenRun rewrittenRuns[] = {
    {0x8790, 0x81E0, 1}, {0x8791, 0x81DF, 1},   {0x8792, 0x81E7, 1},  {0x8795, 0x81E3, 1},
    {0x8796, 0x81DB, 1}, {0x8797, 0x81DA, 1},   {0x879A, 0x81E6, 1},  {0x879B, 0x81BF, 1},
    {0x879C, 0x81BE, 1}, {0xED40, 0xFA5C, 360}, {0xEEEF, 0xFA40, 10}, {0xEEF9, 0x81CA, 1},
    {0xEEFA, 0xFA55, 3}, {0xFA4A, 0x8754, 10},  {0xFA54, 0x81CA, 1},  {0xFA58, 0x878A, 1},
    {0xFA59, 0x8782, 1}, {0xFA5A, 0x8784, 1},   {0xFA5B, 0x81E6, 1},
};

// Microsoft's published table (CP932.TXT), independent of the best-fit file the codec is
// generated from: every code decodes to its character without loss, and every character is
// written back as its code unless Windows prefers the other copy.
TEST(Cp932Codec, EveryPublishedCodeDecodesAndIsWrittenBackAsWindowsDoes) {
    std::map<unsigned, unsigned> rewritten;
    for (RewrittenRun run : rewrittenRuns) {
        for (; run.count > 0; --run.count) {
            rewritten[run.code] = run.writtenAs;
            run.code = nextCode(run.code);
            run.writtenAs = nextCode(run.writtenAs);
        }
    }
    QFile table(QStringLiteral(TAVORIN_SHARED_DATA_DIR "/cp932/CP932.TXT"));
    ASSERT_TRUE(table.open(QIODevice::ReadOnly));
    QByteArray file;
    QString text;
    QByteArray writtenBack;
    int codes = 0;
    while (!table.atEnd()) {
        const QList<QByteArray> words = table.readLine().split('#').first().simplified().split(' ');
        if (words.size() == 2) {
            const unsigned code = words[0].toUInt(nullptr, 16);
            ++codes;
            file += bytesOf(code);
            text += QChar(static_cast<char16_t>(words[1].toUInt(nullptr, 16)));
            const auto found = rewritten.find(code);
            writtenBack += bytesOf(found == rewritten.end() ? code : found->second);
        }
    }
    ASSERT_EQ(codes, 7915);
    ASSERT_EQ(rewritten.size(), 398u);
    const Cp932Decoding decoded = decodeCp932(file);
    EXPECT_TRUE(decoded.lossless);
    EXPECT_EQ(decoded.text, text);
    EXPECT_EQ(encodeCp932(text), writtenBack);
}

// Bytes the table leaves undefined and user-defined codes decode as Windows does and are
// written back the same; illegal and unassigned sequences (a lead byte without characters
// like 0x85, a code past the last) become U+30FB and make the decoding lossy; characters
// without a code are written as Windows' best fit, else "?". Runs of ASCII are converted in
// blocks, so each case also stands after and before runs of many lengths.
TEST(Cp932Codec, UnlistedIllegalAndUnencodableCharactersAmongAsciiRuns) {
    enum Way { Both, DecodeLossy, EncodeOnly };
    const QString dot(QChar(0x30FB));
    const struct {
        QByteArray bytes;
        QString text;
        Way way;
    } cases[] = {
        {"\x80", QChar(0x0080), Both},
        {"\xA0", QChar(0xF8F0), Both},
        {"\xFD", QChar(0xF8F1), Both},
        {"\xFF", QChar(0xF8F3), Both},
        {"\xF0\x40", QChar(0xE000), Both},
        {"\xF9\xFC", QChar(0xE757), Both},
        {"\x81\x45", dot, Both},
        {"\x82\xA0", u"あ"_qs, Both},
        {"\xB1\x7F", u"ｱ\u007F"_qs, Both},
        {"\x81\x5B[", u"ー["_qs, Both},
        {QByteArray("\x81\0b", 3), dot + QChar(0) + u'b', DecodeLossy},
        {"\x81 b", dot + u'b', DecodeLossy},
        {"\x81\n[", dot + u'[', DecodeLossy},
        {"\x81\x7F", dot, DecodeLossy},
        {"\x81\xFD", dot, DecodeLossy},
        {"\x85\x40", dot, DecodeLossy},
        {"\xFC\x4C", dot, DecodeLossy},
        {"e", u"é"_qs, EncodeOnly},
        {"\\", u"¥"_qs, EncodeOnly},
        {"\x81\xE1", u"«"_qs, EncodeOnly},
        {"\x81\x5C", u"―"_qs, EncodeOnly},
        {"?", u"—"_qs, EncodeOnly},
        {"\x8D\xF7?\x82\xA0", u"桜😀あ"_qs, EncodeOnly},
        {"?a", QChar(0xD800) + u"a"_qs, EncodeOnly},
        {"?", QChar(0xDC00), EncodeOnly},
    };
    // A lead byte at the end of the file stands alone.
    EXPECT_EQ(decodeCp932("\x82\xA0\x81").text, u"あ"_qs + dot);
    EXPECT_FALSE(decodeCp932("\x82\xA0\x81").lossless);
    for (const auto& c : cases) {
        for (const int before : {0, 1, 2, 7, 8, 14, 15, 16, 17, 31, 32, 33}) {
            for (const int after : {0, 1, 15, 16, 17}) {
                SCOPED_TRACE(c.bytes.toHex().toStdString() + " " + std::to_string(before) + "+" +
                             std::to_string(after));
                const QByteArray bytes = QByteArray(before, 'a') + c.bytes + QByteArray(after, '0');
                const QString text = QString(before, u'a') + c.text + QString(after, u'0');
                if (c.way != DecodeLossy) {
                    EXPECT_EQ(encodeCp932(text), bytes);
                }
                if (c.way != EncodeOnly) {
                    const Cp932Decoding decoded = decodeCp932(bytes);
                    EXPECT_EQ(decoded.text, text);
                    EXPECT_EQ(decoded.lossless, c.way == Both);
                }
            }
        }
    }
}

} // namespace
} // namespace tavorin
