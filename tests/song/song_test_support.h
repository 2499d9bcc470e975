#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <initializer_list>
#include <vector>

namespace tavorin::test {

// Song bytes written out as numbers, for headers and frames built by hand.
inline QByteArray bytesOf(std::initializer_list<int> values) {
    QByteArray bytes;
    for (int v : values) {
        bytes.append(static_cast<char>(v));
    }
    return bytes;
}

inline QString songFixture(const QString& name) {
    return QStringLiteral(TAVORIN_TEST_DATA_DIR "/songs/") + name;
}

inline QByteArray readSongFixture(const QString& name) {
    QFile file(songFixture(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The rows of a tab-separated facts file beside the fixtures, its heading line left out.
inline std::vector<QStringList> readFacts(const QString& name) {
    std::vector<QStringList> rows;
    QFile file(songFixture(name));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        return rows;
    }
    file.readLine();
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (!line.isEmpty()) {
            rows.push_back(line.split(QLatin1Char('\t')));
        }
    }
    return rows;
}

} // namespace tavorin::test
