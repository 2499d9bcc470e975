#pragma once

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

namespace tavorin::test {

// Every row of a tab-separated table under tests/data (its "#" notes and heading line left
// out): what answer(row) gives is the row's columns from firstAnswer on, joined by spaces.
template <typename Answer>
void expectAnswers(const QString& table, qsizetype firstAnswer, Answer answer) {
    QFile file(QStringLiteral(TAVORIN_TEST_DATA_DIR "/") + table);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly | QIODevice::Text)) << qPrintable(table);
    int lines = 0;
    for (const QString& line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
        if (!line.isEmpty() && !line.startsWith(QLatin1Char('#')) && lines++ > 0) {
            SCOPED_TRACE(line.toStdString());
            const QStringList row = line.split(QLatin1Char('\t'));
            EXPECT_EQ(answer(row).toStdString(),
                      row.mid(firstAnswer).join(QLatin1Char(' ')).toStdString());
        }
    }
    EXPECT_GT(lines, 1) << qPrintable(table);
}

// Bytes from parts separated by spaces: hex ("FFFB9000"), 'text (Latin-1), le32:N (a
// little-endian count), frame:HEADER[:FILL[:LOUDAT]] (417 bytes: the header, then FILL, with
// 0x01 at LOUDAT). "N*" before a part repeats it N times.
inline QByteArray buildBytes(const QString& parts) {
    QByteArray bytes;
    for (const QString& part : parts.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const qsizetype star = part.indexOf(QLatin1Char('*'));
        const QString item = part.mid(star + 1);
        const QStringList fields = item.split(QLatin1Char(':'));
        QByteArray one = QByteArray::fromHex(fields[0].toLatin1());
        if (item.startsWith(QLatin1Char('\''))) {
            one = item.mid(1).toLatin1();
        } else if (fields[0] == QStringLiteral("le32")) {
            one = QByteArray(4, '\0');
            qToLittleEndian<quint32>(fields[1].toUInt(), one.data());
        } else if (fields[0] == QStringLiteral("frame")) {
            one =
                QByteArray::fromHex(fields[1].toLatin1()) +
                QByteArray::fromHex(fields.value(2, QStringLiteral("00")).toLatin1()).repeated(413);
            if (fields.size() > 3) {
                one[fields[3].toInt()] = '\x01';
            }
        }
        bytes += one.repeated(star < 0 ? 1 : part.left(star).toInt());
    }
    return bytes;
}

// The fixture a row names (a name with a dot), or a file in dir of the bytes the row describes.
inline QString songFile(const QString& song, const QTemporaryDir& dir) {
    if (song.contains(QLatin1Char('.'))) {
        return QStringLiteral(TAVORIN_TEST_DATA_DIR "/songs/") + song;
    }
    const QString path = dir.filePath(QStringLiteral("song.mp3"));
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(buildBytes(song)) >= 0);
    return path;
}

} // namespace tavorin::test
