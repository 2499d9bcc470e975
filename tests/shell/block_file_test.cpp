#include "shell/block_file.h"

#include "support/file_contents.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <limits>

namespace tavorin {
namespace {

// Small reads come from a window read ahead: reads forward and back across the window's edge,
// large reads between small ones and reads past the end give the file's bytes, then zeros.
// Failed reads leave the position alone; a folder turned away holds no descriptor.
TEST(BlockFile, BlockReadsGiveTheFilesBytesThenZerosAndFailedReadsKeepThePosition) {
    QTemporaryDir folder;
    QByteArray bytes(40 * 1024 + 7, '\0');
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
    }
    ASSERT_TRUE(testing::writeFile(folder.filePath(u"song.mp3"_qs), bytes));
    const qsizetype descriptors = QDir(u"/proc/self/fd"_qs).count();
    EXPECT_FALSE(BlockFile(folder.path()).isOpen()); // a folder opens, but is no file
    EXPECT_EQ(QDir(u"/proc/self/fd"_qs).count(), descriptors);
    BlockFile file(folder.filePath(u"song.mp3"_qs));
    EXPECT_EQ(file.size(), bytes.size());
    const std::pair<std::int32_t, std::int32_t> reads[] = {
        {0, 4},        {0, 417},   {16380, 4},    {16383, 2}, {16384, 4},         {100, 3},
        {16000, 5000}, {16390, 1}, {32760, 4096}, {32770, 8}, {40 * 1024 + 5, 4}, {50000, 3}};
    for (const auto& [start, length] : reads) {
        std::int32_t position = start;
        const QByteArray inFile = bytes.mid(start, length);
        EXPECT_EQ(file.blockRead(position, length),
                  inFile + QByteArray(length - inFile.size(), '\0'));
        EXPECT_EQ(position, start + length);
        EXPECT_EQ(file.bytesAt(start, length), inFile) << start; // stops at the end of the file
    }
    constexpr std::int32_t last = std::numeric_limits<std::int32_t>::max();
    for (const auto& [start, length] : {std::pair{2, 0}, {2, -1}, {-1, 2}, {last - 1, 2}}) {
        std::int32_t position = start;
        EXPECT_FALSE(file.blockRead(position, length).has_value());
        EXPECT_EQ(position, start);
    }
    std::int32_t lastByte = last - 1;
    EXPECT_TRUE(file.blockRead(lastByte, 1).has_value());
    EXPECT_TRUE(file.bytesAt(-1, 2).isEmpty());
}

} // namespace
} // namespace tavorin
