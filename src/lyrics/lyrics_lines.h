#pragma once

// How lyrics text is cut into lines.

#include "shell/text_helpers.h"

#include <QString>
#include <QStringView>

namespace tavorin {

// Calls visit(line, raw) for the text's lines 1..n in order: every CR is removed, each LF ends
// a line, and a final LF adds no empty last line. So CR LF and LF files read alike, and a file
// of CRs alone runs together into one line. raw is the line as it stands in the text, with its
// line end; line is a view into it unless it held a CR before its end. One pass, whatever the
// size.
template <typename Visit> void forEachLyricsLine(QStringView text, Visit&& visit) {
    QString withoutCr;
    const char16_t* const end = text.utf16() + text.size();
    const char16_t* begin = text.utf16();
    while (begin < end) {
        const char16_t* lineEnd = begin;
        qsizetype carriageReturns = 0;
        while (true) {
            lineEnd = findLineEnd(lineEnd, end);
            if (lineEnd == end || *lineEnd == u'\n') {
                break;
            }
            ++carriageReturns;
            ++lineEnd;
        }
        const bool lineFeed = lineEnd < end;
        const QStringView raw(begin, (lineFeed ? lineEnd + 1 : lineEnd) - begin);
        QStringView line(begin, lineEnd - begin);
        if (carriageReturns == 1 && line.endsWith(u'\r')) {
            line.chop(1);
        } else if (carriageReturns > 0) {
            withoutCr = line.toString();
            withoutCr.remove(u'\r');
            line = withoutCr;
        }
        // Text after the last LF is a line of its own unless only CRs stood there.
        if (lineFeed || !line.isEmpty()) {
            visit(line, raw);
        }
        begin = lineEnd + 1;
    }
}

} // namespace tavorin
