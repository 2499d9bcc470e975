#include "run/golden_scenarios.h"
#include "run/lyrics_file_list.h"
#include "run/run_driver.h"
#include "run/run_test_support.h"
#include "song/taglib_playback_engine.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>

namespace tavorin {
namespace {

using namespace tavorin::testing;

// TAVORIN_UPDATE_GOLDEN=1 writes the golden files from this run instead of comparing; every
// change to them is reviewed by hand.
bool updatingGolden() {
    return std::getenv("TAVORIN_UPDATE_GOLDEN") != nullptr;
}

TEST(GoldenRun, WholeRunsMatchTheirGoldenLogAndBytes) {
    for (const GoldenScenario& scenario : goldenScenarios()) {
        SCOPED_TRACE(scenario.name);
        QTemporaryDir temp;
        ASSERT_TRUE(temp.isValid());
        const QString root = temp.path();
        ASSERT_TRUE(prepareScenario(scenario, root));

        LyricsFileList list;
        for (const QString& file : filesBelow(root + QStringLiteral("/lyrics"))) {
            list.add(root + QStringLiteral("/lyrics/") + file);
        }
        RecordingHost host;
        TaglibPlaybackEngine engine;
        engine.init();
        RunDriver driver(host, engine);
        const RunSummary summary = driver.run(list.entries(), goldenSettings(scenario, root));
        EXPECT_FALSE(summary.aborted);
        EXPECT_EQ(summary.filesHandled, list.size());

        const QString log = QString(host.log).replace(root, QStringLiteral("<ROOT>"));
        const QString expected = goldenDir(scenario) + QStringLiteral("/expected");
        const QStringList lyricsFiles = filesBelow(root + QStringLiteral("/lyrics"));
        if (updatingGolden()) {
            QDir(expected).removeRecursively();
            ASSERT_TRUE(writeBytes(expected + QStringLiteral("/run_log.txt"), log.toUtf8()));
            for (const QString& file : lyricsFiles) {
                if (!file.endsWith(QStringLiteral(".mp3"), Qt::CaseInsensitive) &&
                    !file.endsWith(QStringLiteral(".rmp"), Qt::CaseInsensitive)) {
                    ASSERT_TRUE(writeBytes(expected + QStringLiteral("/lyrics/") + file,
                                           readBytes(root + QStringLiteral("/lyrics/") + file)));
                }
            }
            continue;
        }
        EXPECT_EQ(log, QString::fromUtf8(readBytes(expected + QStringLiteral("/run_log.txt"))));
        const QStringList expectedFiles = filesBelow(expected + QStringLiteral("/lyrics"));
        ASSERT_FALSE(expectedFiles.isEmpty());
        for (const QString& file : expectedFiles) {
            SCOPED_TRACE(file.toStdString());
            EXPECT_EQ(readBytes(root + QStringLiteral("/lyrics/") + file),
                      readBytes(expected + QStringLiteral("/lyrics/") + file));
        }
    }
}

} // namespace
} // namespace tavorin
