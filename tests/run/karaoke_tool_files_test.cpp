// Files written by today's karaoke tools (UTF-8 with a BOM, CR LF, singer marks, ruby lines,
// At-Tags of other software) go through both modes: the expected files beside them hold the
// result, and every byte that is not a Time Tag or part of the At-Tag Block stays.
#include "run/run_driver.h"
#include "run/run_test_support.h"

#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tavorin {
namespace {

using namespace tavorin::testing;

// The text without its Time Tags, its At-Tag Block and the At-Tag lines a run takes into the
// block (the blank lines before the block too): what no run may change.
QString untouchable(const QByteArray& bytes) {
    static const QRegularExpression ownLineOrTimeTag(
        u"(?m)^@(timeratio|silencemsec|offset|title|artist|album|taggingby|editedby)="
        u"[^\r\n]*(\r\n)?|\\[\\d\\d:\\d\\d(:\\d\\d)?\\]"_s,
        QRegularExpression::CaseInsensitiveOption);
    QString text = QString::fromUtf8(bytes).remove(ownLineOrTimeTag);
    while (text.endsWith("\r\n"_L1)) {
        text.chop(2);
    }
    return text;
}

TEST(KaraokeToolFiles, OnlyTheirTimeTagsAndTheBlockChange) {
    // Each row: the file, its mode, the log lines between the song line and the "done" line.
    const std::tuple<const char*, bool, const char*> cases[] = {
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
    const QString data = TAVORIN_TEST_DATA_DIR "/karaoke_tools/"_L1;
    for (const auto& [name, newMode, log] : cases) {
        SCOPED_TRACE(name + std::string(newMode ? " new" : " correction"));
        QTemporaryDir temp;
        const QString file = QString::fromUtf8(name), lyrics = temp.filePath(file);
        const QByteArray original = readBytes(data + file);
        ASSERT_TRUE(writeBytes(lyrics, original));
        ASSERT_TRUE(writeBytes(temp.filePath(QFileInfo(file).baseName() + ".mp3"_L1), "mp3"));
        WizardSettings settings;
        settings.newMode = newMode;
        settings.name = "A"_L1;
        settings.karaoke = settings.silencemSec = true;
        settings.ignoreAtTag = settings.defaultTime = false; // no stated time base: Standard Time
        RecordingHost host;
        SongInfo song;
        song.timeRatio = 0.9953125;
        song.silencemSec = 500;
        RunDriver(host, [&](const QString&, bool) { return song; }).run({lyrics}, settings);
        EXPECT_TRUE(host.log.contains(".mp3\r\n"_L1 + QString::fromUtf8(log) +
                                      u"正常に処理しました。\r\n\r\n"_s))
            << host.log.toStdString();
        const QByteArray rewritten = readBytes(lyrics);
        const QString expected = data + (newMode ? "expected/new_"_L1 : "expected/correction_"_L1);
        EXPECT_EQ(QString::fromUtf8(rewritten), QString::fromUtf8(readBytes(expected + file)));
        EXPECT_EQ(untouchable(rewritten), untouchable(original));
    }
}

} // namespace
} // namespace tavorin
