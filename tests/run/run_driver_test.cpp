#include "run/run_driver.h"
#include "run/run_test_support.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tavorin {
namespace {

using namespace tavorin::testing;

class RunDriverTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const QString& name : texts("a|b|c|d")) {
            ASSERT_TRUE(writeBytes(temp.filePath("L/"_L1 + name + ".txt"_L1), "[00:01:00]x\r\n"));
            ASSERT_TRUE(writeBytes(temp.filePath("L/"_L1 + name + ".mp3"_L1), "mp3"));
            files.append(temp.filePath("L/"_L1 + name + ".txt"_L1));
        }
        settings.name = "A"_L1;
    }
    RunSummary run(RecordingHost& host, LyricsWriter write = {}) {
        return RunDriver(
                   host, [](const QString&, bool) { return SongInfo{}; }, write)
            .run(files, settings);
    }

    QTemporaryDir temp;
    QStringList files;
    WizardSettings settings;
};

TEST_F(RunDriverTest, ARunEndsWithAFullProgressBarAndAnAbortEndsItBeforeTheNextFile) {
    RecordingHost host;
    EXPECT_EQ(run(host).filesHandled, 4);
    EXPECT_TRUE(host.log.startsWith(u"新規追加開始\r\n\r\n歌詞ファイル："_s));
    EXPECT_TRUE(host.log.endsWith(u"正常に処理しました。\r\n\r\n処理終了\r\n"_s));
    EXPECT_EQ(host.statuses, QStringList({u"処理中です…"_s, u"終了しました。"_s}));
    const std::vector<std::pair<int, int>> progress = {{0, 4}, {1, 4}, {2, 4}, {3, 4}, {4, 4}};
    EXPECT_EQ(host.progress, progress);

    settings.newMode = false;
    RecordingHost aborting;
    aborting.onEvents = [](RecordingHost& h) { h.abort = h.eventRounds == 3; };
    const RunSummary summary = run(aborting);
    EXPECT_TRUE(summary.aborted);
    EXPECT_EQ(summary.filesHandled, 2);
    EXPECT_TRUE(aborting.log.startsWith(u"補正開始\r\n\r\n"_s));
    EXPECT_TRUE(aborting.log.endsWith(u"\r\n\r\n処理中断\r\n"_s));
    EXPECT_EQ(aborting.statuses.last(), u"中断しました。"_s);
    EXPECT_FALSE(aborting.log.contains("/c.txt"_L1));
}

TEST_F(RunDriverTest, TheSongFolderIsSearchedOnlyWhenSetAndHoldingSongs) {
    ASSERT_TRUE(writeBytes(temp.filePath("M/x/e.mp3"_L1), "mp3"));
    ASSERT_TRUE(writeBytes(temp.filePath("L2/e.txt"_L1), "[00:01:00]e\r\n"));
    files = {temp.filePath("L2/e.txt"_L1)};
    for (const auto& [folder, found] :
         {std::pair("", false), {"/M/", true}, {"/M/x/", true}, {"/L2/", false}}) {
        settings.songFolder = *folder ? temp.path() + QString::fromUtf8(folder) : QString();
        RecordingHost host;
        run(host);
        EXPECT_EQ(host.log.contains(u"曲ファイル　："_s + temp.filePath("M/x/e.mp3"_L1)), found)
            << folder;
        EXPECT_EQ(host.log.contains(u"見つかりませんでした。"_s), !found) << folder;
    }
}

TEST_F(RunDriverTest, WriteFailuresAreReportedAndTheRunGoesOn) {
    for (const auto& [outcome, message] :
         {std::pair(WriteOutcome::CannotOpen, u"歌詞ファイルが開けません。（full）\r\n\r\n"_s),
          {WriteOutcome::CannotWrite, u"歌詞ファイルに書き込めません。\r\n\r\n"_s}}) {
        RecordingHost host;
        QStringList written;
        const RunSummary summary =
            run(host, [&](const QString& path, const QString&, TextEncoding) {
                written.append(path);
                const bool fails = path == files.at(1);
                return WriteResult{fails ? outcome : WriteOutcome::Written,
                                   fails && outcome == WriteOutcome::CannotOpen ? "full"_L1
                                                                                : QString()};
            });
        EXPECT_EQ(written, files);
        EXPECT_EQ(summary.writeFailures, 1);
        EXPECT_EQ(host.log.count(u"正常に処理しました。"_s), 3);
        EXPECT_TRUE(host.log.contains("/b.mp3\r\n"_L1 + message)) << host.log.toStdString();
    }
}

} // namespace
} // namespace tavorin
