#include "shell/block_file.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <limits>

namespace tavorin {
namespace {

class BlockFileTest : public ::testing::Test {
protected:
    QString makeFile(const QByteArray& bytes) {
        const QString path = folder.filePath(QStringLiteral("block.bin"));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    QTemporaryDir folder;
};

TEST_F(BlockFileTest, ReadsBlocksAndFillsPastTheEndWithZeros) {
    BlockFile file(makeFile(QByteArray("abcdef")));
    ASSERT_TRUE(file.isOpen());
    EXPECT_EQ(file.size(), 6);
    struct Case {
        std::int32_t position;
        std::int32_t length;
        QByteArray expected;
    };
    const Case cases[] = {
        {0, 6, QByteArray("abcdef")}, {4, 4, QByteArray("ef\0\0", 4)}, {1, 2, QByteArray("bc")},
        {6, 3, QByteArray(3, '\0')},  {100, 2, QByteArray(2, '\0')},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.position);
        std::int32_t position = c.position;
        const std::optional<QByteArray> block = file.blockRead(position, c.length);
        ASSERT_TRUE(block.has_value());
        EXPECT_EQ(*block, c.expected);
        EXPECT_EQ(position, c.position + c.length);
    }
}

// Small reads come from a window read ahead: a walk forward and back across the window's edge,
// large reads between small ones and reads running past the end give the file's own bytes.
TEST_F(BlockFileTest, SmallReadsAcrossTheReadAheadWindowGiveTheFilesBytes) {
    QByteArray bytes(40 * 1024 + 7, '\0');
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
    }
    BlockFile file(makeFile(bytes));
    struct Case {
        std::int32_t position;
        std::int32_t length;
    };
    const Case cases[] = {
        {0, 4},     {0, 417},        {16380, 4},         {16383, 2},    {16384, 4},
        {100, 3},   {16000, 5000},   {16390, 1},         {32760, 4096}, {32770, 8},
        {41000, 4}, {40 * 1024, 20}, {40 * 1024 + 6, 2}, {50000, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.position);
        std::int32_t position = c.position;
        const std::optional<QByteArray> block = file.blockRead(position, c.length);
        ASSERT_TRUE(block.has_value());
        QByteArray expected = bytes.mid(c.position, c.length);
        expected.append(QByteArray(c.length - expected.size(), '\0'));
        EXPECT_EQ(*block, expected);
    }
}

TEST_F(BlockFileTest, FailedReadsLeaveThePositionAlone) {
    BlockFile file(makeFile(QByteArray("abcdef")));
    struct Case {
        std::int32_t position;
        std::int32_t length;
    };
    const Case cases[] = {
        {2, 0},
        {2, -1},
        {-1, 2},
        {std::numeric_limits<std::int32_t>::max() - 1, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.length);
        std::int32_t position = c.position;
        EXPECT_FALSE(file.blockRead(position, c.length).has_value());
        EXPECT_EQ(position, c.position);
        EXPECT_FALSE(file.blockTextRead(position, c.length).has_value());
        EXPECT_EQ(position, c.position);
    }
    std::int32_t lastByte = std::numeric_limits<std::int32_t>::max() - 1;
    EXPECT_TRUE(file.blockRead(lastByte, 1).has_value());
}

// Only regular files open: a folder would open on Unix and fail at its first read.
TEST_F(BlockFileTest, MissingFileOrFolderIsClosedAndEveryReadFails) {
    for (const QString& path : {folder.filePath(QStringLiteral("missing.bin")), folder.path()}) {
        SCOPED_TRACE(path.toStdString());
        BlockFile file(path);
        EXPECT_FALSE(file.isOpen());
        EXPECT_EQ(file.size(), 0);
        std::int32_t position = 0;
        EXPECT_FALSE(file.blockRead(position, 4).has_value());
        EXPECT_EQ(position, 0);
        EXPECT_TRUE(file.bytesAt(0, 4).isEmpty());
    }
}

// Unlike block reads, bytesAt gives only the bytes the file holds.
TEST_F(BlockFileTest, BytesAtStopsAtTheEndOfTheFile) {
    BlockFile file(makeFile(QByteArray("abcdef")));
    struct Case {
        qint64 offset;
        qint64 length;
        QByteArray expected;
    };
    const Case cases[] = {
        {0, 6, "abcdef"}, {4, 100, "ef"}, {5, 1, "f"}, {6, 1, ""}, {-1, 2, ""}, {2, 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.offset);
        EXPECT_EQ(file.bytesAt(c.offset, c.length), c.expected);
    }
}

TEST_F(BlockFileTest, TextReadDecodesShiftJis) {
    // 「桜」 then "[00:01:00]", in code page 932; 0x8DF7 is 桜.
    BlockFile file(makeFile(QByteArray("\x81\x75\x8D\xF7\x81\x76[00:01:00]")));
    std::int32_t position = 0;
    const std::optional<QString> text = file.blockTextRead(position, 16);
    ASSERT_TRUE(text.has_value());
    EXPECT_EQ(*text, QStringLiteral("「桜」[00:01:00]"));
    EXPECT_EQ(position, 16);
}

} // namespace
} // namespace tavorin
