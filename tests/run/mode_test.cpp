#include "run/run_driver.h"
#include "run/run_test_support.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <vector>

namespace tavorin {
namespace {

using namespace tavorin::testing;

struct ModeCase {
    QString what;
    bool newMode = false;
    SongInfo song;
    WizardSettings settings;
    QString lyrics;
    QString log;
    std::optional<QString> rewritten; // nothing: the file stays untouched
};

void applySetting(ModeCase& c, const QString& key, const QString& value) {
    const std::map<QString, bool WizardSettings::*> switches = {
        {"silencemSec"_L1, &WizardSettings::silencemSec},
        {"ignoreOwn"_L1, &WizardSettings::ignoreOwn},
        {"ignoreAtTag"_L1, &WizardSettings::ignoreAtTag},
        {"atArtist"_L1, &WizardSettings::atArtist},
        {"karaoke"_L1, &WizardSettings::karaoke}};
    if (key == "ratio"_L1) {
        c.song.timeRatio = value.toDouble();
    } else if (key == "silence"_L1) {
        c.song.silencemSec = value.toInt();
    } else if (key == "title"_L1) {
        c.song.title = value;
    } else if (key == "artist"_L1) {
        c.song.artist = value;
    } else if (key == "album"_L1) {
        c.song.album = value;
    } else {
        ASSERT_TRUE(switches.count(key)) << key.toStdString();
        c.settings.*switches.at(key) = value == "true"_L1;
    }
}

std::vector<ModeCase> modeCases() {
    std::vector<ModeCase> cases;
    QString* section = nullptr;
    const QString text =
        QString::fromUtf8(readBytes(TAVORIN_TEST_DATA_DIR "/run/mode_cases.txt"_L1));
    for (const QString& line : text.split(u'\n').mid(0, text.count(u'\n'))) {
        if (line.startsWith("=== "_L1)) {
            cases.push_back({line.mid(4), false, SongInfo{}, WizardSettings{}, {}, {}, {}});
            cases.back().settings.name = "A"_L1;
            section = nullptr;
        } else if (cases.empty()) {
            continue; // the notes at the top
        } else if (line == "--- lyrics"_L1 || line == "--- log"_L1 || line == "--- rewritten"_L1) {
            ModeCase& c = cases.back();
            section = line.endsWith("lyrics"_L1) ? &c.lyrics
                      : line.endsWith("log"_L1)  ? &c.log
                                                 : &c.rewritten.emplace();
        } else if (section) {
            *section += line + "\r\n"_L1;
        } else {
            const QStringList words = line.split(u' ');
            cases.back().newMode = words.first() == "new"_L1;
            cases.back().settings.newMode = cases.back().newMode;
            for (const QString& word : words.mid(1)) {
                applySetting(cases.back(), word.section(u'=', 0, 0), word.section(u'=', 1));
            }
        }
    }
    return cases;
}

TEST(ModeTest, EachFileGetsItsReportAndItsBytes) {
    const std::vector<ModeCase> cases = modeCases();
    ASSERT_EQ(cases.size(), 19u);
    for (const ModeCase& c : cases) {
        SCOPED_TRACE(c.what.toStdString());
        QTemporaryDir temp;
        const QString lyrics = temp.filePath("song.txt"_L1);
        ASSERT_TRUE(writeBytes(lyrics, c.lyrics.toUtf8()));
        ASSERT_TRUE(writeBytes(temp.filePath("song.mp3"_L1), "mp3"));
        RecordingHost host;
        RunDriver(host, [&](const QString&, bool) { return c.song; }).run({lyrics}, c.settings);

        const QString opening = c.newMode ? u"新規追加開始\r\n\r\n"_s : u"補正開始\r\n\r\n"_s;
        EXPECT_EQ(host.log, opening + u"歌詞ファイル："_s + lyrics + u"\r\n曲ファイル　："_s +
                                temp.filePath("song.mp3"_L1) + "\r\n"_L1 + c.log +
                                u"処理終了\r\n"_s);
        EXPECT_EQ(QString::fromUtf8(readBytes(lyrics)), c.rewritten.value_or(c.lyrics));
    }
}

} // namespace
} // namespace tavorin
