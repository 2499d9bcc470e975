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

} // namespace
} // namespace tavorin
