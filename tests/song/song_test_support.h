#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>

#include <utility>
#include <vector>

namespace tavorin::test {

// MPEG-1 Layer III, 128 kbit/s, 44.1 kHz, no padding: 417 bytes a frame, payload from byte 36
// (stereo) or 21 (mono).
inline const QByteArray stereoHeader = QByteArray::fromHex("FFFB9000");
inline const QByteArray monoHeader = QByteArray::fromHex("FFFB90C0");
inline constexpr int frameBytes = 417;

// `count` frames: the header, `fill` everywhere else, and in the last one 0x01 at `loudAt`.
inline QByteArray frames(int count, const QByteArray& header = stereoHeader, char fill = '\0',
                         int loudAt = -1) {
    QByteArray bytes;
    for (int i = 0; i < count; ++i) {
        bytes += header + QByteArray(frameBytes - 4, fill);
    }
    if (loudAt >= 0) {
        bytes[bytes.size() - frameBytes + loudAt] = '\x01';
    }
    return bytes;
}

// An ID3v2.4 tag whose body would decode as frames of nonsense.
inline QByteArray id3v2Tag(int bodySize, bool footer = false) {
    QByteArray tag = QByteArray::fromHex(footer ? "4944330400100000" : "4944330400000000");
    tag.append(static_cast<char>(bodySize >> 7)).append(static_cast<char>(bodySize & 0x7F));
    return tag + QByteArray(bodySize, 'A') + (footer ? "3DI" + tag.mid(3, 7) : QByteArray());
}

inline QString songFixture(const QString& name) {
    return QStringLiteral(TAVORIN_TEST_DATA_DIR "/songs/") + name;
}

inline bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

// The rows of a tab-separated table under tests/data: its "#" notes and heading line left out.
inline std::vector<QStringList> readTable(const QString& path) {
    std::vector<QStringList> rows;
    QFile file(QStringLiteral(TAVORIN_TEST_DATA_DIR "/") + path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        return rows;
    }
    bool heading = true;
    for (const QString& line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
        if (!line.isEmpty() && !line.startsWith(QLatin1Char('#')) &&
            !std::exchange(heading, false)) {
            rows.push_back(line.split(QLatin1Char('\t')));
        }
    }
    return rows;
}

} // namespace tavorin::test
