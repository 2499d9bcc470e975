#include "song/riff_chunk_reader.h"

#include <QtEndian>

#include <gtest/gtest.h>

namespace tavorin {
namespace {

QByteArray chunk(const char* id, const QByteArray& body) {
    QByteArray bytes(id, 4);
    bytes += QByteArray(4, '\0');
    qToLittleEndian<quint32>(static_cast<quint32>(body.size()), bytes.data() + 4);
    bytes += body;
    if (body.size() % 2 != 0) {
        bytes += '\0';
    }
    return bytes;
}

QByteArray riff(const char* form, const QByteArray& chunks) {
    QByteArray body = QByteArray(form, 4) + chunks;
    return chunk("RIFF", body).left(8 + body.size());
}

std::optional<RiffLayout> layoutOf(const QByteArray& file) {
    return readRiffLayout(
        [&](std::int64_t offset, std::int64_t length) { return file.mid(offset, length); },
        file.size());
}

const QByteArray sjisTitle = QByteArray::fromHex("96e996be82af82cc89cc"); // 夜明けの歌

TEST(RiffChunkReaderTest, FindsDataAndInfoWhereverTheyAre) {
    const QByteArray info = chunk("LIST", "INFO" + chunk("INAM", "T\0" + QByteArray()));
    const QByteArray data = chunk("data", QByteArray(301, '\x55')); // odd: one pad byte
    struct Case {
        const char* what;
        QByteArray file;
        bool dataFirst;
        std::int64_t dataOffset;
        std::int64_t infoOffset; // -1: none
    };
    const Case cases[] = {
        {"data first", riff("RMP3", data + info), true, 20, 12 + 8 + 302 + 8},
        {"data after INFO", riff("RMP3", info + data), false, 12 + info.size() + 8, 20},
        {"a LIST that is not INFO is passed over",
         riff("RMP3", chunk("LIST", "adtl" + QByteArray(6, 'x')) + data), false, 12 + 18 + 8, -1},
        {"no INFO", riff("RMP3", data), true, 20, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto layout = layoutOf(c.file);
        ASSERT_TRUE(layout);
        EXPECT_EQ(layout->formType, "RMP3");
        ASSERT_TRUE(layout->data);
        EXPECT_EQ(layout->dataFirst, c.dataFirst);
        EXPECT_EQ(layout->data->offset, c.dataOffset);
        EXPECT_EQ(layout->data->size, 301);
        EXPECT_EQ(layout->info.has_value(), c.infoOffset >= 0);
        if (layout->info) {
            EXPECT_EQ(layout->info->offset, c.infoOffset);
        }
    }
}

TEST(RiffChunkReaderTest, CutFilesAndOtherFilesAreSafe) {
    const QByteArray file = riff("RMP3", chunk("data", QByteArray(1000, '\x55')));
    const auto cut = layoutOf(file.left(500));
    ASSERT_TRUE(cut);
    ASSERT_TRUE(cut->data);
    EXPECT_EQ(cut->data->size, 500 - 20); // what the file still holds

    // A chunk size far beyond the file stops the walk instead of jumping past the end.
    QByteArray huge = riff("RMP3", chunk("JUNK", "ab") + chunk("data", "cd"));
    qToLittleEndian<quint32>(0xFFFFFFF0u, huge.data() + 16);
    const auto stopped = layoutOf(huge);
    ASSERT_TRUE(stopped);
    EXPECT_FALSE(stopped->data);

    EXPECT_EQ(layoutOf(riff("WAVE", chunk("fmt ", "x")))->formType, "WAVE");
    EXPECT_FALSE(layoutOf("ID3\x04 and so on"));
    EXPECT_FALSE(layoutOf("RIFF"));
}

TEST(RiffChunkReaderTest, InfoTextsAreCodePage932) {
    const QByteArray list = "INFO" + chunk("IART", QByteArray("Artist\0", 7)) +
                            chunk("ICMT", "ignored") + chunk("INAM", sjisTitle + '\0') +
                            chunk("IPRD", QByteArray("\xE6\x9C\x9D", 3)); // UTF-8 for 朝
    const RiffInfo info = decodeInfoList(list);
    EXPECT_EQ(info.name, QStringLiteral("夜明けの歌") + QChar());
    EXPECT_EQ(info.artist, QStringLiteral("Artist") + QChar());
    EXPECT_EQ(info.product, QStringLiteral("朝"));

    // A field cut by the end of the list keeps what is there.
    const RiffInfo cut = decodeInfoList(("INFO" + chunk("INAM", "Title")).left(4 + 8 + 3));
    EXPECT_EQ(cut.name, QStringLiteral("Tit"));
    EXPECT_TRUE(decodeInfoList("adtl" + chunk("INAM", "x")).name.isEmpty());
}

} // namespace
} // namespace tavorin
