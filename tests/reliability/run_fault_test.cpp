// Faults around the files one run reads and writes: whatever fails, each lyrics file keeps its
// old bytes or gets its complete new ones, no temporary file stays, the Run Log says what
// happened to that file, and the run goes on with the next one.
#include "lyrics/lyrics_file.h"
#include "run/run_driver.h"
#include "run/run_test_support.h"
#include "support/faulty_file_layer.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tavorin {
namespace {

using namespace tavorin::testing;

const QByteArray oldBytes("[00:01:00]x\r\n");

class RunFaultTest : public ::testing::Test {
protected:
    // Runs over a.txt, b.txt and c.txt, each beside its song (measure runs between the song
    // lookup and the lyrics read): only the victim b.txt fails, its report ending with line.
    RunSummary runWhereOnlyTheVictimFails(const QString& line, const LyricsWriter& write,
                                          const SongMeasure& measure) {
        QStringList files;
        for (const QString& name : texts("a|b|c")) {
            files.append(folder + name + ".txt"_L1);
            QDir(files.last()).removeRecursively(), QFile::remove(files.last());
            EXPECT_TRUE(writeBytes(files.last(), oldBytes) &&
                        writeBytes(folder + name + ".mp3"_L1, "mp3"));
        }
        WizardSettings settings;
        settings.name = "A"_L1;
        RecordingHost host;
        const RunSummary summary = RunDriver(host, measure, write).run(files, settings);
        EXPECT_TRUE(host.log.contains("b.mp3\r\n"_L1 + line + "\r\n\r\n"_L1))
            << host.log.toStdString();
        EXPECT_EQ(host.log.count(u"正常に処理しました。"_s), 2);
        EXPECT_TRUE(host.log.endsWith(u"処理終了\r\n"_s));
        EXPECT_NE(readBytes(files.at(0)), oldBytes);
        EXPECT_EQ(readBytes(files.at(0)), readBytes(files.at(2)));
        EXPECT_EQ(QDir(folder).entryList({"*tavorin-*"_L1}, QDir::AllEntries | QDir::Hidden),
                  QStringList());
        return summary;
    }

    QTemporaryDir temp;
    const QString folder = temp.path() + "/L/"_L1;
    const QString victim = folder + "b.txt"_L1;
    const SongMeasure anySong = [](const QString&, bool) { return SongInfo{}; };
};

TEST_F(RunFaultTest, AFailingStepOfTheReplacementKeepsTheOldFileAndLogsTheSystemMessage) {
    const std::tuple<FileStep, int, const char*> cases[] = {
        {FileStep::Create, EACCES, "歌詞ファイルが開けません。"}, // a read-only folder
        {FileStep::Create, EROFS, "歌詞ファイルが開けません。"},
        {FileStep::WriteHalfway, ENOSPC, "歌詞ファイルに書き込めません。"},
        {FileStep::Sync, EIO, "歌詞ファイルに書き込めません。"},
        {FileStep::Permissions, EPERM, "歌詞ファイルに書き込めません。"},
        {FileStep::Replace, EXDEV, "歌詞ファイルに書き込めません。"},
        // A read-only file: the superuser, under whom CI runs, may write it at the system call
        // level, so the writer itself refuses a file nobody may write.
        {FileStep::None, EACCES, "歌詞ファイルが開けません。"},
    };
    for (const auto& [step, error, line] : cases) {
        SCOPED_TRACE(static_cast<int>(step) * 1000 + error);
        FaultyFileLayer layer(step, error);
        const RunSummary summary = runWhereOnlyTheVictimFails(
            QString::fromUtf8(line) + u"（"_s + layer.message() + u"）"_s,
            [&](const QString& path, const QString& text, TextEncoding encoding) {
                if (path != victim) {
                    return writeLyricsFile(path, text, encoding);
                }
                QFile::setPermissions(path, step == FileStep::None ? QFileDevice::ReadOwner
                                                                   : QFile::permissions(path));
                return writeLyricsFile(path, text, encoding, layer);
            },
            anySong);
        EXPECT_EQ(readBytes(victim), oldBytes);
        EXPECT_EQ(summary.writeFailures, 1);
    }
}

// Whatever stands at the path after the change is left as it is, not made a lyrics file.
TEST_F(RunFaultTest, ALyricsFileThatChangesBetweenLookupAndReadIsNeverWritten) {
    const std::pair<void (*)(const QString&), const char*> cases[] = {
        {[](const QString& path) { QFile::remove(path); }, "（見つかりません）"},
        {[](const QString& path) { QFile::remove(path), QDir().mkdir(path); }, "（開けません）"},
        {[](const QString& path) { QFile::remove(path), QFile::link(path + ".gone"_L1, path); },
         "（開けません）"},
    };
    for (const auto& [change, why] : cases) {
        SCOPED_TRACE(why);
        const RunSummary summary =
            runWhereOnlyTheVictimFails(u"歌詞ファイルが読めません。"_s + QString::fromUtf8(why), {},
                                       [&](const QString& song, bool) {
                                           if (song.endsWith("b.mp3"_L1)) {
                                               change(victim);
                                           }
                                           return SongInfo{};
                                       });
        EXPECT_EQ(summary.readFailures, 1);
        EXPECT_EQ(readBytes(victim), QByteArray("<missing>"));
    }
}

} // namespace
} // namespace tavorin
