// Files written by today's karaoke tools (UTF-8 with a BOM, CR LF, singer marks, ruby lines,
// At-Tags of other software) go through both modes: the expected files beside them hold the
// result, and every byte that is not a Time Tag or part of the At-Tag Block stays.
#include "run/run_driver.h"

#include "run/run_test_support.h"

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tavorin {
namespace {

using testing::readBytes;
using testing::RecordingHost;
using testing::writeBytes;

const QString dataDir = QStringLiteral(TAVORIN_TEST_DATA_DIR "/karaoke_tools/");

// The text without its Time Tags, its At-Tag Block and the At-Tag lines a run takes into the
// block: what no run may change.
QString untouchable(const QByteArray& bytes) {
    static const QRegularExpression timeTag(QStringLiteral("\\[\\d\\d:\\d\\d(:\\d\\d)?\\]"));
    static const QRegularExpression ownAtTag(
        QStringLiteral("^@(timeratio|silencemsec|offset|title|artist|album|taggingby|editedby)="),
        QRegularExpression::CaseInsensitiveOption);
    QStringList kept;
    for (const QString& line : QString::fromUtf8(bytes).split(QStringLiteral("\r\n"))) {
        if (!ownAtTag.match(line).hasMatch()) {
            kept.append(QString(line).remove(timeTag));
        }
    }
    // The block follows one blank line; a run adds that line when the body has none.
    while (!kept.isEmpty() && kept.constLast().isEmpty()) {
        kept.removeLast();
    }
    return kept.join(u'\n');
}

struct ToolFileCase {
    const char* file;
    bool newMode;
    const char* log; // the lines between the song line and "正常に処理しました。"
};

TEST(KaraokeToolFiles, OnlyTheirTimeTagsAndTheBlockChange) {
    const ToolFileCase cases[] = {
        // Word-timed lyrics followed by ruby lines with earlier times: no reversal.
        {"hoshi_word_timed.txt", false, "時間補正をします。\r\n"},
        {"hoshi_word_timed.txt", true, ""},
        // Line-timed lyrics sung out of order, ruby lines first: not word-timed.
        {"yoru_line_timed.lrc", false, "時間補正をします。\r\n"},
        {"yoru_line_timed.lrc", true, ""},
        // A real reversal among the lyric tags is repaired, the ruby lines around it are not.
        {"asa_reversal.kra", false, "逆転補正をします。\r\n時間補正をします。\r\n"},
        {"asa_reversal.kra", true, "タイムタグの逆転がありました。\r\n"},
    };
    for (const ToolFileCase& c : cases) {
        const QString mode = c.newMode ? QStringLiteral("new") : QStringLiteral("correction");
        SCOPED_TRACE(c.file + (u' ' + mode).toStdString());
        QTemporaryDir temp;
        const QString name = QString::fromLatin1(c.file);
        const QString lyrics = temp.filePath(name);
        const QByteArray original = readBytes(dataDir + name);
        ASSERT_TRUE(writeBytes(lyrics, original));
        ASSERT_TRUE(writeBytes(temp.filePath(QFileInfo(name).completeBaseName() + QStringLiteral(".mp3")), "mp3"));

        WizardSettings settings;
        settings.newMode = c.newMode;
        settings.name = QStringLiteral("A");
        settings.karaoke = true;
        settings.silencemSec = true;
        settings.ignoreAtTag = false;
        settings.defaultTime = false; // files that state no time base are in Standard Time
        SongInfo song;
        song.timeRatio = 0.9953125;
        song.silencemSec = 500;
        RecordingHost host;
        RunDriver(host, [&](const QString&, bool) { return song; }).run({lyrics}, settings);

        EXPECT_TRUE(host.log.contains(QStringLiteral(".mp3\r\n") + QString::fromUtf8(c.log) +
                                      QStringLiteral("正常に処理しました。\r\n\r\n")))
            << host.log.toStdString();
        const QByteArray rewritten = readBytes(lyrics);
        EXPECT_EQ(QString::fromUtf8(rewritten),
                  QString::fromUtf8(readBytes(dataDir + QStringLiteral("expected/") + mode + u'_' + name)));
        EXPECT_EQ(untouchable(rewritten), untouchable(original));
    }
}

} // namespace
} // namespace tavorin
