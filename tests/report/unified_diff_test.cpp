#include "report/unified_diff.h"
#include "run/run_test_support.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tavorin {
namespace {

using namespace tavorin::testing;

// Texts of a few short lines, one edited into the other at random (lines removed, added,
// changed, CR LF and LF ends, a last line without an end): patch turns the old text into the
// new one with each diff, every hunk where it says, and alike texts give none.
TEST(UnifiedDiff, PatchTurnsTheOldTextIntoTheNewOne) {
    const QStringList pieces = texts("あ\r\n|い\r\n|[00:01:00]う\r\n|\r\n|x\n|y");
    QRandomGenerator random(20261207);
    const auto someText = [&](int lines) {
        QString text;
        for (int i = 0; i < lines; ++i) {
            text += pieces.at(random.bounded(static_cast<int>(pieces.size()) - 1));
        }
        return random.bounded(4) == 0 ? text + pieces.constLast() : text;
    };
    QTemporaryDir temp;
    const QString oldPath = temp.filePath("old.txt"_L1), newPath = temp.filePath("new.txt"_L1);
    for (int round = 0; round < 300; ++round) {
        const QString oldText = someText(random.bounded(round < 20 ? 3 : 40));
        QString newText = oldText;
        for (int edits = random.bounded(6); edits > 0; --edits) {
            const int at = random.bounded(static_cast<int>(newText.size()) + 1);
            newText = newText.left(at) + someText(random.bounded(3)) +
                      newText.mid(at + random.bounded(12));
        }
        SCOPED_TRACE(oldText.toStdString() + "=>" + newText.toStdString());
        const QString diff = unifiedDiff(oldPath, oldText, newText);
        ASSERT_EQ(diff.isEmpty(), oldText == newText);
        if (diff.isEmpty()) {
            continue;
        }
        ASSERT_TRUE(writeBytes(oldPath, oldText.toUtf8()));
        QProcess patch;
        patch.start("patch"_L1, {"--fuzz=0"_L1, "-o"_L1, newPath, oldPath});
        patch.write(diff.toUtf8());
        patch.closeWriteChannel();
        ASSERT_TRUE(patch.waitForFinished() && patch.exitCode() == 0);
        // A hunk patch had to look for elsewhere names the wrong lines.
        EXPECT_FALSE(patch.readAll().contains("offset")) << diff.toStdString();
        EXPECT_EQ(QString::fromUtf8(readBytes(newPath)), newText) << diff.toStdString();
    }
}

} // namespace
} // namespace tavorin
