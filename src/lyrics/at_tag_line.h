#pragma once

#include <QStringView>

#include <optional>

namespace tavorin {

// A line "@key=value": only the ASCII "@" first and an ASCII "=" anywhere make one. The key
// is everything before the first "=", the value everything after it, both without the blanks
// around them; the key keeps its letter case.
struct AtTagLine {
    QStringView key;
    QStringView value;
};

std::optional<AtTagLine> splitAtTagLine(QStringView line);

// "@Ruby" and one or more digits, in any case: one reading of the ruby convention
// ("@Ruby1=text,reading,start,end"), written by today's karaoke tools.
bool isRubyKey(QStringView key);

} // namespace tavorin
