#include "run/run_driver.h"
#include "run/run_test_support.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tavorin {
namespace {

using namespace tavorin::testing;

// The progress of a whole run is checked by every mode case.
TEST(RunDriver, AnAbortEndsTheRunBeforeTheNextFileAndSaysSo) {
    QTemporaryDir temp;
    QStringList files;
    for (const QString& name : texts("L/a|L/b|L/c|L/d")) {
        ASSERT_TRUE(writeBytes(temp.filePath(name + ".txt"_L1), "[00:01:00]x\r\n"));
        ASSERT_TRUE(writeBytes(temp.filePath(name + ".mp3"_L1), "mp3"));
        files.append(temp.filePath(name + ".txt"_L1));
    }
    WizardSettings settings;
    settings.name = "A"_L1;
    RecordingHost host;
    host.onEvents = [](RecordingHost& h) { h.abort = h.eventRounds == 3; };
    const RunSummary summary =
        RunDriver(host, [](const QString&, bool) { return SongInfo{}; }).run(files, settings);
    EXPECT_TRUE(summary.aborted);
    EXPECT_EQ(summary.filesHandled, 2);
    EXPECT_TRUE(host.log.endsWith(u"正常に処理しました。\r\n\r\n処理中断\r\n"_s));
    EXPECT_FALSE(host.log.contains("/c.txt"_L1));
}

} // namespace
} // namespace tavorin
