#include "song/riff_chunk_reader.h"

#include <QStringList>
#include <QtEndian>

#include <gtest/gtest.h>

namespace tavorin {
namespace {

using namespace Qt::StringLiterals;

QByteArray chunk(const char* id, const QByteArray& body) {
    QByteArray bytes = QByteArray(id, 4) + "0000" + body + QByteArray(body.size() % 2, '\0');
    qToLittleEndian<quint32>(static_cast<quint32>(body.size()), bytes.data() + 4);
    return bytes;
}

QByteArray riff(const char* form, const QByteArray& chunks) {
    return chunk("RIFF", QByteArray(form, 4) + chunks).left(12 + chunks.size());
}

TEST(RiffChunkReaderTest, FindsDataAndInfoAndStopsAtTheEndOfTheFile) {
    const QByteArray info = chunk("LIST", "INFO" + chunk("INAM", "T"));
    const QByteArray data = chunk("data", QByteArray(301, 'U')); // odd: one pad byte
    QByteArray beyond = riff("RMP3", chunk("JUNK", "ab") + data);
    qToLittleEndian<quint32>(0xFFFFFFF0u, beyond.data() + 16);
    const struct {
        QByteArray file;
        const char* layout; // form, data offset and size, data first, INFO offset
    } cases[] = {
        {riff("RMP3", data + info), "RMP3 20+301 first 330"},
        {riff("RMP3", info + data), "RMP3 42+301 - 20"},
        {riff("RMP3", chunk("LIST", "adtl" + QByteArray(6, 'x')) + data), "RMP3 38+301 - -"},
        {riff("RMP3", chunk("data", QByteArray(1000, 'U'))).left(500), "RMP3 20+480 first -"},
        {beyond, "RMP3 - - -"},
        {riff("WAVE", chunk("fmt ", "x")), "WAVE - - -"},
        {"ID3\x04 and so on", "none"},
        {"RIFF", "none"},
    };
    for (const auto& c : cases) {
        const auto l = readRiffLayout(
            [&](std::int64_t at, std::int64_t length) { return c.file.mid(at, length); },
            c.file.size());
        const auto span = [](const std::optional<RiffChunkSpan>& s, bool withSize) {
            return !s ? QStringLiteral("-")
                      : QString::number(s->offset) +
                            (withSize ? QStringLiteral("+%1").arg(s->size) : QString());
        };
        EXPECT_EQ(!l ? QStringLiteral("none")
                     : QStringList({QString::fromLatin1(l->formType), span(l->data, true),
                                    l->dataFirst ? QStringLiteral("first") : QStringLiteral("-"),
                                    span(l->info, false)})
                           .join(QLatin1Char(' ')),
                  QString::fromLatin1(c.layout));
    }
}

TEST(RiffChunkReaderTest, InfoTextsAreCodePage932OrPlainUtf8) {
    const QByteArray list = "INFO" + chunk("IART", QByteArray("Artist\0", 7)) +
                            chunk("ICMT", "ignored") +
                            chunk("INAM", QByteArray::fromHex("96e996be82af82cc89cc00")) +
                            chunk("IPRD", "\xE6\x9C\x9D"); // UTF-8 for 朝
    const RiffInfo info = decodeInfoList(list);
    EXPECT_EQ(QStringList({info.name, info.artist, info.product}),
              QStringList({u"夜明けの歌"_s + QChar(), u"Artist"_s + QChar(), u"朝"_s}));
    // A text cut by the end of the list keeps what is there; a list that is not INFO has none.
    EXPECT_EQ(decodeInfoList(("INFO" + chunk("INAM", "Title")).left(15)).name, u"Tit"_s);
    EXPECT_TRUE(decodeInfoList("adtl" + chunk("INAM", "x")).name.isEmpty());
}

} // namespace
} // namespace tavorin
