#include "run/run_driver.h"

#include "run/run_test_support.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tavorin {
namespace {

using testing::RecordingHost;
using testing::writeBytes;

class RunDriverTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(temp.isValid());
        for (const char* name : {"a", "b", "c", "d"}) {
            const QString base = temp.path() + QStringLiteral("/L/") + QString::fromUtf8(name);
            ASSERT_TRUE(writeBytes(base + QStringLiteral(".txt"), "[00:01:00]x\r\n"));
            ASSERT_TRUE(writeBytes(base + QStringLiteral(".mp3"), "mp3"));
            files.append(base + QStringLiteral(".txt"));
        }
        settings.name = QStringLiteral("A");
    }
    RunSummary run(RecordingHost& host) {
        RunDriver driver(host, [](const QString&, bool) { return SongInfo{}; });
        return driver.run(files, settings);
    }

    QTemporaryDir temp;
    QStringList files;
    WizardSettings settings;
};

TEST_F(RunDriverTest, AFullRunEndsWithProcessingDoneAndAFullProgressBar) {
    RecordingHost host;
    const RunSummary summary = run(host);
    EXPECT_FALSE(summary.aborted);
    EXPECT_EQ(summary.filesHandled, 4);
    EXPECT_TRUE(host.log.startsWith(QStringLiteral("新規追加開始\r\n\r\n歌詞ファイル：")));
    EXPECT_TRUE(host.log.endsWith(QStringLiteral("正常に処理しました。\r\n\r\n処理終了\r\n")));
    EXPECT_EQ(host.statuses,
              QStringList({QStringLiteral("処理中です…"), QStringLiteral("終了しました。")}));
    const std::vector<std::pair<int, int>> progress = {{0, 4}, {1, 4}, {2, 4}, {3, 4}, {4, 4}};
    EXPECT_EQ(host.progress, progress);

    settings.newMode = false;
    RecordingHost correction;
    run(correction);
    EXPECT_TRUE(correction.log.startsWith(QStringLiteral("補正開始\r\n\r\n")));
}

TEST_F(RunDriverTest, TheSongFolderIsSearchedOnlyWhenSetAndHoldingSongs) {
    ASSERT_TRUE(writeBytes(temp.path() + QStringLiteral("/M/x/e.mp3"), "mp3"));
    ASSERT_TRUE(writeBytes(temp.path() + QStringLiteral("/L2/e.txt"), "[00:01:00]e\r\n"));
    files = {temp.path() + QStringLiteral("/L2/e.txt")};
    const struct {
        const char* songFolder;
        bool found;
    } cases[] = {{"", false}, {"/M/", true}, {"/M/x/", true}, {"/L2/", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.songFolder);
        settings.songFolder =
            *c.songFolder ? temp.path() + QString::fromUtf8(c.songFolder) : QString();
        RecordingHost host;
        run(host);
        EXPECT_EQ(host.log.contains(QStringLiteral("曲ファイル　：") + temp.path() +
                                    QStringLiteral("/M/x/e.mp3")),
                  c.found);
        EXPECT_EQ(host.log.contains(QStringLiteral("見つかりませんでした。")), !c.found);
    }
}

TEST_F(RunDriverTest, WriteFailuresAreReportedAndTheRunGoesOn) {
    const struct {
        WriteOutcome outcome;
        const char* message;
    } cases[] = {
        {WriteOutcome::CannotOpen, "歌詞ファイルが開けません。\r\n\r\n"},
        {WriteOutcome::CannotWrite, "歌詞ファイルに書き込めません。\r\n\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        RecordingHost host;
        QStringList written;
        RunDriver driver(
            host, [](const QString&, bool) { return SongInfo{}; },
            [&](const QString& path, const QString&, TextEncoding) {
                written.append(path);
                // The second file fails; the others are written.
                return WriteResult{path == files.at(1) ? c.outcome : WriteOutcome::Written, {}};
            });
        const RunSummary summary = driver.run(files, settings);
        EXPECT_EQ(written, files);
        EXPECT_EQ(summary.writeFailures, 1);
        EXPECT_EQ(summary.filesHandled, 4);
        EXPECT_EQ(host.log.count(QString::fromUtf8(c.message)), 1);
        EXPECT_EQ(host.log.count(QStringLiteral("正常に処理しました。")), 3);
        EXPECT_TRUE(host.log.contains(QStringLiteral("/b.mp3\r\n") + QString::fromUtf8(c.message)));
    }
}

} // namespace
} // namespace tavorin
