#include "report/unified_diff.h"

#include <QList>
#include <QStringView>

#include <algorithm>
#include <vector>

namespace tavorin {

namespace {

constexpr int contextLines = 3;
// Past this many differing lines the shortest edit costs more than it is worth: the
// differing middle is shown as removed and added whole, which patch applies all the same.
constexpr int maxEditDistance = 2000;

enum class LineEdit { Keep, Remove, Add };

struct DiffStep {
    LineEdit edit;
    QStringView line;
};

QList<QStringView> splitLines(const QString& text) {
    QList<QStringView> lines;
    qsizetype start = 0;
    while (start < text.size()) {
        const qsizetype end = text.indexOf(QLatin1Char('\n'), start);
        const qsizetype next = end < 0 ? text.size() : end + 1;
        lines.append(QStringView(text).mid(start, next - start));
        start = next;
    }
    return lines;
}

// reach[d][k + d]: the furthest x on diagonal k (k = x - y) after d edits.
using Reach = std::vector<std::vector<int>>;

// Whether round d reached diagonal k from diagonal k + 1 (an added line, a step down) rather
// than from k - 1 (a removed line, a step right).
bool cameDown(const Reach& reach, int d, int k) {
    return k == -d || (k != d && reach[d - 1][k - 1 + d - 1] < reach[d - 1][k + 1 + d - 1]);
}

// The edit script from the start to (x, y), reached after d edits, walked back through each
// round's furthest reach.
std::vector<DiffStep> walkBack(const Reach& reach, const QList<QStringView>& a,
                               const QList<QStringView>& b, int x, int y, int d) {
    std::vector<DiffStep> steps;
    for (int e = d; e > 0; --e) {
        const int k = x - y;
        const bool down = cameDown(reach, e, k);
        const int fromK = down ? k + 1 : k - 1;
        const int fromX = reach[e - 1][fromK + e - 1];
        const int fromY = fromX - fromK;
        // The snake of this round begins after its one edit.
        for (const int snakeX = down ? fromX : fromX + 1; x > snakeX; --x) {
            steps.push_back({LineEdit::Keep, a[x - 1]});
        }
        steps.push_back(down ? DiffStep{LineEdit::Add, b[fromY]}
                             : DiffStep{LineEdit::Remove, a[fromX]});
        x = fromX, y = fromY;
    }
    for (; x > 0; --x) {
        steps.push_back({LineEdit::Keep, a[x - 1]});
    }
    std::reverse(steps.begin(), steps.end());
    return steps;
}

// The shortest edit script between a and b (Myers' greedy algorithm, keeping each round's
// furthest reach for the walk back), or nothing past maxEditDistance. Qt offers no diff.
std::optional<std::vector<DiffStep>> shortestEdit(const QList<QStringView>& a,
                                                  const QList<QStringView>& b) {
    const int n = static_cast<int>(a.size());
    const int m = static_cast<int>(b.size());
    Reach reach;
    for (int d = 0; d <= std::min(n + m, maxEditDistance); ++d) {
        reach.emplace_back(2 * d + 1);
        for (int k = -d; k <= d; k += 2) {
            int x = 0;
            if (d > 0) {
                x = cameDown(reach, d, k) ? reach[d - 1][k + 1 + d - 1]
                                          : reach[d - 1][k - 1 + d - 1] + 1;
            }
            int y = x - k;
            while (x < n && y < m && a[x] == b[y]) {
                ++x, ++y;
            }
            reach[d][k + d] = x;
            if (x >= n && y >= m) {
                return walkBack(reach, a, b, x, y, d);
            }
        }
    }
    return std::nullopt;
}

std::vector<DiffStep> editScript(const QList<QStringView>& a, const QList<QStringView>& b) {
    qsizetype prefix = 0;
    while (prefix < a.size() && prefix < b.size() && a[prefix] == b[prefix]) {
        ++prefix;
    }
    qsizetype suffix = 0;
    while (suffix < a.size() - prefix && suffix < b.size() - prefix &&
           a[a.size() - 1 - suffix] == b[b.size() - 1 - suffix]) {
        ++suffix;
    }
    const QList<QStringView> aMiddle = a.mid(prefix, a.size() - prefix - suffix);
    const QList<QStringView> bMiddle = b.mid(prefix, b.size() - prefix - suffix);
    std::vector<DiffStep> steps;
    for (qsizetype i = 0; i < prefix; ++i) {
        steps.push_back({LineEdit::Keep, a[i]});
    }
    if (const auto middle = shortestEdit(aMiddle, bMiddle)) {
        steps.insert(steps.end(), middle->begin(), middle->end());
    } else {
        for (const QStringView line : aMiddle) {
            steps.push_back({LineEdit::Remove, line});
        }
        for (const QStringView line : bMiddle) {
            steps.push_back({LineEdit::Add, line});
        }
    }
    for (qsizetype i = a.size() - suffix; i < a.size(); ++i) {
        steps.push_back({LineEdit::Keep, a[i]});
    }
    return steps;
}

// "start,count" of a hunk's side; a side without lines names the line before it.
QString hunkRange(int linesBefore, int count) {
    return QStringLiteral("%1,%2").arg(count == 0 ? linesBefore : linesBefore + 1).arg(count);
}

} // namespace

QString unifiedDiff(const QString& path, const QString& oldText, const QString& newText) {
    if (oldText == newText) {
        return {};
    }
    const std::vector<DiffStep> steps = editScript(splitLines(oldText), splitLines(newText));
    const int count = static_cast<int>(steps.size());
    QString diff =
        QStringLiteral("--- ") + path + QStringLiteral("\n+++ ") + path + QLatin1Char('\n');
    int oldBefore = 0; // lines of each side before step `at`
    int newBefore = 0;
    int at = 0;
    while (true) {
        int change = at;
        while (change < count && steps[change].edit == LineEdit::Keep) {
            ++change;
        }
        if (change == count) {
            break;
        }
        const int start = std::max(at, change - contextLines);
        for (; at < start; ++at) {
            ++oldBefore, ++newBefore;
        }
        int lastChange = change;
        int end = change;
        for (; end < count && end - lastChange <= 2 * contextLines; ++end) {
            lastChange = steps[end].edit == LineEdit::Keep ? lastChange : end;
        }
        end = std::min(count, lastChange + contextLines + 1);
        QString body;
        int oldCount = 0;
        int newCount = 0;
        for (int i = start; i < end; ++i) {
            const DiffStep& step = steps[i];
            body += step.edit == LineEdit::Keep     ? QLatin1Char(' ')
                    : step.edit == LineEdit::Remove ? QLatin1Char('-')
                                                    : QLatin1Char('+');
            body += step.line;
            if (!step.line.endsWith(QLatin1Char('\n'))) {
                body += QStringLiteral("\n\\ No newline at end of file\n");
            }
            oldCount += step.edit != LineEdit::Add ? 1 : 0;
            newCount += step.edit != LineEdit::Remove ? 1 : 0;
        }
        diff += QStringLiteral("@@ -") + hunkRange(oldBefore, oldCount) + QStringLiteral(" +") +
                hunkRange(newBefore, newCount) + QStringLiteral(" @@\n") + body;
        oldBefore += oldCount, newBefore += newCount;
        at = end;
    }
    return diff;
}

} // namespace tavorin
