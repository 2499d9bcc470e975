#pragma once

#include <QString>
#include <QStringList>

#include <algorithm>

namespace tavorin {

// The program's title: window caption and message box title.
inline QString wizardTitle() {
    return QStringLiteral("Tavorin補正Wizard");
}

// The quick-help document's file name.
inline QString quickHelpFileName() {
    return QStringLiteral("Tavorin補正Wizard.txt");
}

// Text in which "＠タグ" is never split across two lines, however narrow the place it wraps in:
// word joiners (U+2060, not drawn) hold its three characters together.
inline QString keepAtTagWhole(QString text) {
    return text.replace(QStringLiteral("＠タグ"), QStringLiteral("＠\u2060タ\u2060グ"));
}

// A message box text: the heading, an empty line, then the lines, at most ten of them so the
// box still fits on the screen, and how many more there are.
inline QString messageWithLines(const QString& heading, const QStringList& lines) {
    constexpr qsizetype linesShownAtMost = 10;
    QString text = heading + QLatin1Char('\n');
    for (const QString& line : lines.first(std::min(lines.size(), linesShownAtMost))) {
        text += QLatin1Char('\n') + line;
    }
    if (lines.size() > linesShownAtMost) {
        text += QStringLiteral("\nほか %1 件").arg(lines.size() - linesShownAtMost);
    }
    return text;
}

} // namespace tavorin
