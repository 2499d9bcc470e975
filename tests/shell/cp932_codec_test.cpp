#include "shell/cp932_codec.h"

#include <QFile>

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace tavorin {
namespace {

struct TableCode {
    unsigned code; // one byte, or lead byte << 8 | trail byte
    char16_t character;
};

// Microsoft's published code page 932 table, independent of the best-fit file the codec is
// generated from.
std::vector<TableCode> readCp932Txt() {
    QFile file(QStringLiteral(TAVORIN_SHARED_DATA_DIR "/cp932/CP932.TXT"));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    std::vector<TableCode> codes;
    while (!file.atEnd()) {
        const QList<QByteArray> words = file.readLine().split('#').first().simplified().split(' ');
        if (words.size() == 2) {
            codes.push_back({words[0].toUInt(nullptr, 16),
                             static_cast<char16_t>(words[1].toUInt(nullptr, 16))});
        }
    }
    return codes;
}

QByteArray bytesOf(unsigned code) {
    QByteArray bytes;
    if (code > 0xFF) {
        bytes.append(static_cast<char>(code >> 8));
    }
    bytes.append(static_cast<char>(code & 0xFF));
    return bytes;
}

unsigned nextCode(unsigned code) {
    unsigned lead = code >> 8;
    unsigned trail = (code & 0xFF) + 1;
    if (trail == 0x7F) {
        ++trail;
    }
    if (trail > 0xFC) {
        ++lead;
        trail = 0x40;
    }
    return lead << 8 | trail;
}

// Characters with two codes: the code on the left decodes fine, but Windows writes the
// character back as the code on the right (NEC's and IBM's copies of the same characters).
// Runs step through trail bytes 0x40-0xFC without 0x7F, on both sides together.
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

TEST(Cp932Codec, EveryPublishedCodeDecodesToItsCharacter) {
    const std::vector<TableCode> codes = readCp932Txt();
    ASSERT_EQ(codes.size(), 7915u);
    QByteArray all;
    QString expected;
    for (const TableCode& c : codes) {
        const Cp932Decoding decoded = decodeCp932(bytesOf(c.code));
        EXPECT_EQ(decoded.text, QString(QChar(c.character))) << std::hex << c.code;
        EXPECT_TRUE(decoded.lossless) << std::hex << c.code;
        all += bytesOf(c.code);
        expected += QChar(c.character);
    }
    const Cp932Decoding decoded = decodeCp932(all);
    EXPECT_EQ(decoded.text, expected);
    EXPECT_TRUE(decoded.lossless);
}

TEST(Cp932Codec, EncodingBackGivesTheSameCodeUnlessWindowsPrefersTheOtherCopy) {
    std::map<unsigned, unsigned> rewritten;
    for (const RewrittenRun& run : rewrittenRuns) {
        unsigned code = run.code;
        unsigned writtenAs = run.writtenAs;
        for (int i = 0; i < run.count; ++i) {
            rewritten[code] = writtenAs;
            code = nextCode(code);
            writtenAs = nextCode(writtenAs);
        }
    }
    ASSERT_EQ(rewritten.size(), 398u);
    int changed = 0;
    QByteArray file;
    QByteArray expectedFile;
    for (const TableCode& c : readCp932Txt()) {
        const auto found = rewritten.find(c.code);
        const unsigned expected = found == rewritten.end() ? c.code : found->second;
        changed += found == rewritten.end() ? 0 : 1;
        EXPECT_EQ(encodeCp932(QString(QChar(c.character))), bytesOf(expected))
            << std::hex << c.code;
        file += bytesOf(c.code);
        expectedFile += bytesOf(expected);
    }
    EXPECT_EQ(changed, 398);
    // The same for a file holding every character at once.
    EXPECT_EQ(encodeCp932(decodeCp932(file).text), expectedFile);
}

// Bytes CP932.TXT leaves undefined and user-defined codes (first, across the 0x7F gap, last)
// decode as Windows does and write back the same; illegal and unassigned sequences become
// middle dots and make the decoding lossy.
TEST(Cp932Codec, UnlistedBytesDecodeAsWindowsDoesAndIllegalOnesBecomeMiddleDots) {
    const QChar dot(0x30FB);
    struct Case {
        QByteArray bytes;
        QString text;
        bool lossless; // and then written back as the same bytes
    };
    const Case cases[] = {
        {QByteArray("\x80"), QString(QChar(0x0080)), true},
        {QByteArray("\xA0"), QString(QChar(0xF8F0)), true},
        {QByteArray("\xFD"), QString(QChar(0xF8F1)), true},
        {QByteArray("\xFF"), QString(QChar(0xF8F3)), true},
        {QByteArray("\xF0\x40"), QString(QChar(0xE000)), true},
        {QByteArray("\xF0\x9F"), QString(QChar(0xE05E)), true},
        {QByteArray("\xF9\xFC"), QString(QChar(0xE757)), true},
        {QByteArray("\x81\x45"), QString(dot), true}, // the genuine middle dot
        {QByteArray("\x81\0b", 3), QString(dot) + QChar(0) + QStringLiteral("b"), false},
        {QByteArray("\x81 b"), QString(dot) + QStringLiteral("b"), false},
        {QByteArray("\x81\n["), QString(dot) + QStringLiteral("["), false},
        {QByteArray("\x81\x7F"), QString(dot), false},
        {QByteArray("\x81\xFD"), QString(dot), false},
        {QByteArray("\x85\x40"), QString(dot), false}, // a lead byte without characters
        {QByteArray("\xFC\x4C"), QString(dot), false}, // past the last code
        {QByteArray("\x82\xA0\x81"), QStringLiteral("あ") + dot, false}, // cut after a lead byte
        {QByteArray("\x81\x5B[00:01]"), QStringLiteral("ー[00:01]"), true},
        {QByteArray(), QString(), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes.toHex().toStdString());
        const Cp932Decoding decoded = decodeCp932(c.bytes);
        EXPECT_EQ(decoded.text, c.text);
        EXPECT_EQ(decoded.lossless, c.lossless);
        if (c.lossless) {
            EXPECT_EQ(encodeCp932(decoded.text), c.bytes);
        }
    }
}

TEST(Cp932Codec, EncodesWithBestFitAndQuestionMarks) {
    struct Case {
        QString text;
        QByteArray bytes;
    };
    const Case cases[] = {
        {QStringLiteral("é"), QByteArray("e")},
        {QStringLiteral("¥"), QByteArray("\\")},
        {QStringLiteral("«"), QByteArray("\x81\xE1")},
        {QStringLiteral("―"), QByteArray("\x81\x5C")},
        {QStringLiteral("—"), QByteArray("?")},
        {QStringLiteral("😀"), QByteArray("?")},                        // one "?" per character
        {QString(QChar(0xD800)) + QLatin1Char('a'), QByteArray("?a")}, // lone half
        {QString(QChar(0xDC00)), QByteArray("?")},
        {QStringLiteral("桜😀あ"), QByteArray("\x8D\xF7?\x82\xA0")},
        {QString(QChar(0)), QByteArray(1, '\0')},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        EXPECT_EQ(encodeCp932(c.text), c.bytes);
    }
}

TEST(Cp932Codec, AsciiRunsOfEveryLengthAroundOtherCharactersConvertExactly) {
    // ASCII is converted in blocks; a run may end anywhere in a block, at the end of the text,
    // or just before a lead byte, a single-byte kana, an illegal byte or a character that has
    // no code.
    struct Other {
        const char* what;
        QByteArray bytes;
        QString text;
        bool lossless;
    };
    const Other others[] = {
        {"double-byte", QByteArray("\x82\xA0"), QStringLiteral("あ"), true},
        {"kana", QByteArray("\xB1"), QStringLiteral("ｱ"), true},
        {"DEL and 0x80", QByteArray("\x7F\x80"), QStringLiteral("\u007F\u0080"), true},
        {"illegal", QByteArray("\x85\x40"), QStringLiteral("\u30FB"), false},
    };
    for (const Other& other : others) {
        for (int before = 0; before < 40; ++before) {
            for (const int after : {0, 1, 15, 16, 17}) {
                SCOPED_TRACE(std::string(other.what) + " " + std::to_string(before) + "+" +
                             std::to_string(after));
                const QByteArray asciiBefore(before, 'a');
                const QByteArray asciiAfter(after, '[');
                const QByteArray bytes = asciiBefore + other.bytes + asciiAfter;
                const QString text =
                    QString::fromLatin1(asciiBefore) + other.text + QString::fromLatin1(asciiAfter);
                const Cp932Decoding decoded = decodeCp932(bytes);
                EXPECT_EQ(decoded.text, text);
                EXPECT_EQ(decoded.lossless, other.lossless);
                if (other.lossless) {
                    EXPECT_EQ(encodeCp932(text), bytes);
                }
            }
        }
    }
    // A character with no code, and a lone surrogate, among ASCII runs: one "?" each.
    const QString unencodable =
        QString(17, u'x') + QChar(0x20AC) + QString(16, u'y') + QChar(0xD800) + QString(3, u'z');
    EXPECT_EQ(encodeCp932(unencodable),
              QByteArray(17, 'x') + '?' + QByteArray(16, 'y') + '?' + QByteArray(3, 'z'));
}

} // namespace
} // namespace tavorin
