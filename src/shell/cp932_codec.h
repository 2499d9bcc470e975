#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace tavorin {

struct Cp932Decoding {
    QString text;
    // False when any byte sequence was illegal or unassigned (each became U+30FB).
    bool lossless = true;
};

// Code page 932 exactly as Windows converts it, driven by Microsoft's best-fit tables.
Cp932Decoding decodeCp932(QByteArrayView bytes);
// Windows' own choice among duplicate codes, its best fit, "?" for anything else.
QByteArray encodeCp932(QStringView text);

} // namespace tavorin
