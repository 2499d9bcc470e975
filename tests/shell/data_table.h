#pragma once

#include <QFile>
#include <QList>

namespace tavorin::testing {

// The rows of a table under tests/data/shell: one row a line, fields split by tabs, "#" lines
// and blank lines left out.
inline QList<QList<QByteArray>> tableRows(const char* name) {
    QFile file(QStringLiteral(TAVORIN_TEST_DATA_DIR "/shell/") + QLatin1StringView(name));
    QList<QList<QByteArray>> rows;
    for (const QByteArray& line :
         (file.open(QIODevice::ReadOnly) ? file.readAll() : "").split('\n')) {
        if (!line.isEmpty() && !line.startsWith('#')) {
            rows.append(line.split('\t'));
        }
    }
    return rows;
}

// A field's bytes: "\xNN" is one byte, the rest stands for itself (UTF-8).
inline QByteArray bytesOf(const QByteArray& field) {
    QByteArray bytes = field;
    for (qsizetype at; (at = bytes.indexOf("\\x")) >= 0;) {
        bytes.replace(at, 4, QByteArray::fromHex(bytes.mid(at + 2, 2)));
    }
    return bytes;
}

} // namespace tavorin::testing
