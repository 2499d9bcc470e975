#include "run/run_driver.h"

#include "run/run_test_support.h"

#include <QHash>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <vector>

namespace tavorin {
namespace {

using testing::readBytes;
using testing::RecordingHost;
using testing::writeBytes;

constexpr double winamp = 0.9953125;
const QString untouched = QStringLiteral("<untouched>");

// One lyrics file through one mode, against a song whose measurement the test chooses.
struct FileCase {
    const char* what;
    const char* lyrics; // the file's bytes
    SongInfo song;
    void (*adjust)(WizardSettings&);
    const char* log;       // the file's report, CR LF written as \n
    const char* rewritten; // the file's new bytes, CR LF written as \n; nullptr: untouched
};

QString crlfLines(const char* text) {
    return QString::fromUtf8(text).replace(u'\n', QStringLiteral("\r\n"));
}

SongInfo song(double ratio, std::int32_t silence, const char* title = "", const char* artist = "",
              const char* album = "") {
    SongInfo info;
    info.timeRatio = ratio;
    info.silencemSec = silence;
    info.title = QString::fromUtf8(title);
    info.artist = QString::fromUtf8(artist);
    info.album = QString::fromUtf8(album);
    return info;
}

class ModeTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(temp.isValid()); }

    void runCase(const FileCase& c, bool newMode) {
        SCOPED_TRACE(c.what);
        const QString lyrics = temp.path() + QStringLiteral("/song.txt");
        ASSERT_TRUE(writeBytes(lyrics, QByteArray(c.lyrics)));
        ASSERT_TRUE(writeBytes(temp.path() + QStringLiteral("/song.mp3"), "mp3"));
        WizardSettings settings;
        settings.newMode = newMode;
        settings.name = QStringLiteral("A");
        if (c.adjust) {
            c.adjust(settings);
        }
        RecordingHost host;
        const SongInfo measured = c.song;
        RunDriver driver(host, [&](const QString&, bool) { return measured; });
        driver.run({lyrics}, settings);

        const QString opening =
            newMode ? QStringLiteral("新規追加開始\r\n\r\n") : QStringLiteral("補正開始\r\n\r\n");
        const QString report = QStringLiteral("歌詞ファイル：") + lyrics +
                               QStringLiteral("\r\n曲ファイル　：") + temp.path() +
                               QStringLiteral("/song.mp3\r\n") + crlfLines(c.log);
        EXPECT_EQ(host.log, opening + report + QStringLiteral("処理終了\r\n"));
        const QByteArray bytes = readBytes(lyrics);
        EXPECT_EQ(QString::fromUtf8(bytes),
                  c.rewritten ? crlfLines(c.rewritten) : QString::fromUtf8(c.lyrics));
    }

    QTemporaryDir temp;
};

// Whole-run golden files show the rest: a Standard-to-Winamp conversion, a ratio that is no
// time base, bytes that do not decode, a file edited by the user, and in New-Tag Mode a plain
// block, a file with timing At-Tags and a word-timed reversal.
const FileCase correctionCases[] = {
    {"equal ratios, no shift: tags kept as they are",
     "[00:75:00]a\r\n@TimeRatio=1\r\n@SilencemSec=100\r\n", song(1.0, 150),
     [](WizardSettings& s) { s.silencemSec = false; }, "正常に処理しました。\n\n",
     "[00:75:00]a\n\n@TimeRatio=1\n@SilencemSec=150\n@TaggingBy=\n@EditedBy=A\n"},
    {"ratio change converts and normalises every tag",
     "[01:00:00]a[00:75:00]b\r\n[01:20]c\r\n@TimeRatio=1\r\n@TimeType=normal\r\n",
     song(winamp, 261), nullptr, "時間補正をします。\n正常に処理しました。\n\n",
     "[00:59:71]a[01:14:64]b\n[01:19]c\n\n@TimeRatio=0.9953125\n@SilencemSec=261\n"
     "@TaggingBy=\n@EditedBy=A\n"},
    {"silence shift without ratio change",
     "[00:01:00]a\r\n[00:00:05]b\r\n@TimeRatio=1\r\n@SilencemSec=100\r\n@TaggingBy=B\r\n",
     song(1.0, 150), nullptr, "時間補正をします。\n正常に処理しました。\n\n",
     "[00:01:05]a\n[00:00:10]b\n\n@TimeRatio=1\n@SilencemSec=150\n@TaggingBy=B\n@EditedBy=A\n"},
    {"no silence line, no shift", "[00:01:00]a\r\n@TimeRatio=1\r\n", song(1.0, 150), nullptr,
     "正常に処理しました。\n\n",
     "[00:01:00]a\n\n@TimeRatio=1\n@SilencemSec=150\n@TaggingBy=\n@EditedBy=A\n"},
    {"tagged by the user: skipped", "[00:01:00]a\r\n@TaggingBy=A\r\n", song(1.0, 0), nullptr,
     "すでにあなたの名前で合わせてあります\n\n", nullptr},
    {"edited by the user: skipped whoever tagged it",
     "[00:01:00]a\r\n@TaggingBy=B\r\n@EditedBy=A\r\n", song(1.0, 0), nullptr,
     "すでにあなたの名前で合わせてあります\n\n", nullptr},
    {"tagged by the user, edited by another: processed",
     "a\r\n@TaggingBy=A\r\n@EditedBy=B\r\n@TimeRatio=1\r\n", song(1.0, 0), nullptr,
     "正常に処理しました。\n\n", "a\n\n@TimeRatio=1\n@SilencemSec=0\n@TaggingBy=A\n@EditedBy=A\n"},
    {"the name compares case by case", "a\r\n@TaggingBy=a\r\n@TimeRatio=1\r\n", song(1.0, 0),
     nullptr, "正常に処理しました。\n\n",
     "a\n\n@TimeRatio=1\n@SilencemSec=0\n@TaggingBy=a\n@EditedBy=A\n"},
    {"own file corrected again with IgnoreOwn off", "a\r\n@EditedBy=A\r\n@TimeRatio=1\r\n",
     song(1.0, 0), [](WizardSettings& s) { s.ignoreOwn = false; }, "正常に処理しました。\n\n",
     "a\n\n@TimeRatio=1\n@SilencemSec=0\n@TaggingBy=\n@EditedBy=A\n"},
    {"reversal repaired, offset and background kept, song texts taken",
     "[00:02:00]a[00:01:00]b[00:03:00]c\r\n@TimeRatio=1\r\n@Offset=-20\r\n@Title=Old\r\n"
     "@Bgfile=x.jpg\r\n@Bgfolder=pics\r\n@X-Other=kept\r\n",
     song(1.0, 0, "", "Singer", "Disc"), [](WizardSettings& s) { s.atArtist = true; },
     "逆転補正をします。\n正常に処理しました。\n\n",
     "[00:01:00]a[00:01:00]b[00:03:00]c\n@X-Other=kept\n\n@TimeRatio=1\n@SilencemSec=0\n"
     "@Offset=-20\n@TaggingBy=\n@EditedBy=A\n@Artist=Singer\n@Album=Disc\n@Bgfile=x.jpg\n"
     "@Bgfolder=pics\n"},
    {"no Time Tags at all: still gets its block", "words only\r\n\r\n", song(winamp, 0), nullptr,
     "正常に処理しました。\n\n",
     "words only\n\n@TimeRatio=0.9953125\n@SilencemSec=0\n@TaggingBy=\n@EditedBy=A\n"},
    {"a shift beyond 32 bits leaves the file alone",
     "[00:01:00]a\r\n@TimeRatio=1\r\n@SilencemSec=0\r\n", song(1.0, 2147483647), nullptr,
     "時間補正をします。\n補正後の時間が範囲を超えるので変換しません。\n\n", nullptr},
};

TEST_F(ModeTest, CorrectionModeFiles) {
    for (const FileCase& c : correctionCases) {
        runCase(c, false);
    }
}

const FileCase newTagCases[] = {
    {"@TimeType counts as timing", "a\r\n@timetype=Winamp\r\n", song(1.0, 0), nullptr,
     "すでに＠タグがあるので無視します。\n\n", nullptr},
    {"IgnoreAtTag off: old timing and editor replaced",
     "a\r\n@TimeRatio=1\r\n@SilencemSec=5\r\n@EditedBy=B\r\n@TaggingBy=C\r\n@Offset=150\r\n",
     song(winamp, 10), [](WizardSettings& s) { s.ignoreAtTag = false; }, "正常に処理しました。\n\n",
     "a\n\n@TimeRatio=0.9953125\n@SilencemSec=10\n@Offset=150\n@TaggingBy=A\n"},
    {"only a title: processed and the title kept", "a\r\n@Title=Mine\r\n@Bgfile=bg.png\r\n",
     song(1.0, 0, "Song"), nullptr, "正常に処理しました。\n\n",
     "a\n\n@TimeRatio=1\n@SilencemSec=0\n@TaggingBy=A\n@Title=Mine\n@Bgfile=bg.png\n"},
    {"AtArtist: only the song's non-empty texts", "a\r\n@Title=Mine\r\n@Artist=Me\r\n",
     song(1.0, 0, "Song"), [](WizardSettings& s) { s.atArtist = true; }, "正常に処理しました。\n\n",
     "a\n\n@TimeRatio=1\n@SilencemSec=0\n@TaggingBy=A\n@Title=Song\n"},
    {"line-timed lyrics stay byte for byte", "[00:02:00]a\r\n[00:01:00]b\r\n", song(1.0, 0),
     nullptr, "正常に処理しました。\n\n",
     "[00:02:00]a\n[00:01:00]b\n\n@TimeRatio=1\n@SilencemSec=0\n@TaggingBy=A\n"},
    {"Karaoke off keeps the reversal", "[00:02:00]a[00:01:00]b[00:03:00]c\r\n", song(1.0, 0),
     [](WizardSettings& s) { s.karaoke = false; }, "正常に処理しました。\n\n",
     "[00:02:00]a[00:01:00]b[00:03:00]c\n\n@TimeRatio=1\n@SilencemSec=0\n@TaggingBy=A\n"},
    {"an empty file gets a block", "", song(1.0, 0), nullptr, "正常に処理しました。\n\n",
     "\n@TimeRatio=1\n@SilencemSec=0\n@TaggingBy=A\n"},
};

TEST_F(ModeTest, NewTagModeFiles) {
    for (const FileCase& c : newTagCases) {
        runCase(c, true);
    }
}

} // namespace
} // namespace tavorin
