#include "shell/cp932_codec.h"
#include "shell/text_codec.h"

#include "data_table.h"

#include <QFile>

#include <gtest/gtest.h>

namespace tavorin {
namespace {

QByteArray codeBytes(unsigned code) {
    return code > 0xFF ? QByteArray(1, char(code >> 8)) + char(code) : QByteArray(1, char(code));
}

// Windows' own table: every code it defines decodes without loss, and every character it lists
// is written as Windows writes it (its choice among duplicate codes, its best fits).
TEST(Cp932Codec, DecodesAndWritesEveryEntryOfWindowsTableAsWindowsDoes) {
    QFile table(QStringLiteral(TAVORIN_SHARED_DATA_DIR "/cp932/bestfit932.txt"));
    ASSERT_TRUE(table.open(QIODevice::ReadOnly));
    QByteArray codes, written, section;
    QString decoded, characters;
    unsigned lead = 0;
    while (!table.atEnd()) {
        const QByteArray line = table.readLine();
        const QList<QByteArray> words = line.split(';').first().simplified().split(' ');
        const unsigned left = words[0].toUInt(nullptr, 16),
                       right = words.value(1).toUInt(nullptr, 16);
        if (words[0].isEmpty() || line.contains("Lead Byte Range")) {
            continue;
        } else if (!words[0].startsWith("0x")) {
            section = words[0];
            lead = line.mid(line.indexOf("LeadByte = ") + 11, 4).toUInt(nullptr, 16);
        } else if (section == "WCTABLE") {
            characters += QChar(char16_t(left));
            written += codeBytes(right);
        } else if (section == "MBTABLE" || (section == "DBCSTABLE" && right != 0x30FB)) {
            // Lead bytes without characters (0x85) hold one placeholder row of U+30FB.
            codes += codeBytes(section == "MBTABLE" ? left : lead << 8 | left);
            decoded += QChar(char16_t(right));
        }
    }
    ASSERT_EQ(characters.size(), 9486);
    EXPECT_EQ(decodeCp932(codes).text, decoded);
    EXPECT_TRUE(decodeCp932(codes).lossless);
    EXPECT_EQ(encodeCp932(characters), written);
}

// Illegal and unassigned pairs make the decoding lossy; characters without a code are
// written as "?". ASCII is converted in blocks, so each case stands among runs of many lengths.
TEST(Cp932Codec, IllegalBytesAndUnencodableCharactersAmongAsciiRuns) {
    const auto rows = testing::tableRows("cp932_among_ascii.tsv");
    ASSERT_EQ(rows.size(), 12);
    for (const auto& row : rows) {
        for (const int before : {0, 1, 7, 8, 15, 16, 17, 31, 32, 33}) {
            for (const int after : {0, 1, 15, 16, 17}) {
                SCOPED_TRACE(row[1].toStdString() + " " + std::to_string(before));
                const QByteArray run(before, 'a'), zeros(after, '0');
                const QByteArray bytes = run + testing::bytesOf(row[1]) + zeros;
                const QString text = QString::fromUtf8(run + testing::bytesOf(row[2]) + zeros);
                if (row[0] != "lossy") {
                    EXPECT_EQ(encodeCp932(text), bytes);
                }
                if (row[0] != "encode") {
                    EXPECT_EQ(decodeCp932(bytes).text, text);
                    EXPECT_EQ(decodeCp932(bytes).lossless, row[0] == "both");
                }
            }
        }
    }
    EXPECT_EQ(decodeCp932("\x82\xA0\x81").text, u"あ・"_qs); // a lead byte at the end
    EXPECT_FALSE(decodeCp932("\x82\xA0\x81").lossless);
    EXPECT_EQ(encodeCp932(QChar(0xD800) + u"a"_qs + QChar(0xDC00)), "?a?"); // unpaired halves
}

// Each file is read in the encoding its bytes show; what reads without loss is written back
// as the very same bytes, and what does not is flagged so that it is never rewritten.
TEST(TextCodec, DetectsTheEncodingAndWritesLosslessTextBackAsTheSameBytes) {
    const QList<QByteArray> encodings{"Cp932", "Utf8", "Utf8Bom", "Utf16LeBom", "Utf16BeBom"};
    const auto rows = testing::tableRows("text_encodings.tsv");
    ASSERT_EQ(rows.size(), 16);
    for (const auto& row : rows) {
        SCOPED_TRACE(row[1].toStdString());
        const DecodedText decoded = decodeText(testing::bytesOf(row[1]));
        EXPECT_EQ(decoded.encoding, TextEncoding(encodings.indexOf(row[0])));
        EXPECT_EQ(decoded.lossless, row[2] != "-");
        if (decoded.lossless) {
            EXPECT_EQ(decoded.text.toUtf8(), testing::bytesOf(row[2])); // a leading mark kept
            EXPECT_EQ(encodeText(decoded.text, decoded.encoding), testing::bytesOf(row[1]));
        }
    }
}

} // namespace
} // namespace tavorin
