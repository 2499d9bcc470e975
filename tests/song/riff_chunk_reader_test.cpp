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
        const char* layout; // form, data offset+size, data first, INFO offset (-1: none)
    } cases[] = {
        {riff("RMP3", data + info), "RMP3 20+301 1 330"},
        {riff("RMP3", info + data), "RMP3 42+301 0 20"},
        {riff("RMP3", chunk("LIST", "adtl" + QByteArray(6, 'x')) + data), "RMP3 38+301 0 -1"},
        {riff("RMP3", chunk("data", QByteArray(1000, 'U'))).left(500), "RMP3 20+480 1 -1"},
        {beyond, "RMP3 -1+-1 0 -1"},
        {riff("WAVE", chunk("fmt ", "x")), "WAVE -1+-1 0 -1"},
        {"ID3\x04 and so on", "none"},
        {"RIFF", "none"},
    };
    for (const auto& c : cases) {
        const auto l = readRiffLayout(
            [&](std::int64_t at, std::int64_t length) { return c.file.mid(at, length); },
            c.file.size());
        const RiffChunkSpan span = l ? l->data.value_or(RiffChunkSpan{-1, -1}) : RiffChunkSpan{};
        const std::int64_t infoAt = l && l->info ? l->info->offset : -1;
        EXPECT_EQ(!l ? QStringLiteral("none")
                     : QString::asprintf("%s %lld+%lld %d %lld", l->formType.constData(),
                                         static_cast<long long>(span.offset),
                                         static_cast<long long>(span.size), l->dataFirst,
                                         static_cast<long long>(infoAt)),
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
