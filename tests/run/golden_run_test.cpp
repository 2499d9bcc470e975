#include "run/golden_scenarios.h"
#include "run/lyrics_file_list.h"
#include "run/run_driver.h"
#include "song/taglib_playback_engine.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>

namespace tavorin {
namespace {

using namespace tavorin::testing;

// TAVORIN_UPDATE_GOLDEN=1 writes the golden files from this run instead of comparing; every
// change to them is reviewed by hand.
TEST(GoldenRun, WholeRunsMatchTheirGoldenLogAndBytes) {
    const bool updating = std::getenv("TAVORIN_UPDATE_GOLDEN") != nullptr;
    const std::vector<GoldenScenario> scenarios = goldenScenarios();
    ASSERT_EQ(scenarios.size(), 2u);
    for (const GoldenScenario& scenario : scenarios) {
        SCOPED_TRACE(scenario.name.toStdString());
        QTemporaryDir temp;
        const QString root = temp.path();
        ASSERT_TRUE(prepareScenario(scenario, root));
        const QString lyrics = root + "/lyrics"_L1;
        LyricsFileList list;
        for (const QString& file : filesBelow(lyrics)) {
            list.add(lyrics + u'/' + file);
        }
        RecordingHost host;
        TaglibPlaybackEngine engine;
        engine.init();
        WizardSettings settings = scenario.settings;
        settings.songFolder = root + "/songs/"_L1;
        const RunSummary summary = RunDriver(host, engine).run(list.entries(), settings);
        EXPECT_FALSE(summary.aborted);
        EXPECT_EQ(summary.filesHandled, list.size());

        // Every file the run leaves, by its path below the scenario's expected/.
        std::map<QString, QByteArray> results = {
            {u"run_log.txt"_s, QString(host.log).replace(root, "<ROOT>"_L1).toUtf8()}};
        for (const QString& file : list.entries()) {
            results.emplace("lyrics"_L1 + file.mid(lyrics.size()), readBytes(file));
        }
        const QString expected = scenario.folder + "/expected"_L1;
        if (updating) {
            QDir(expected).removeRecursively();
        }
        ASSERT_EQ(std::size_t(filesBelow(expected).size()), updating ? 0 : results.size());
        for (const auto& [file, bytes] : results) {
            EXPECT_TRUE(!updating || writeBytes(expected + u'/' + file, bytes));
            EXPECT_EQ(bytes, readBytes(expected + u'/' + file)) << file.toStdString();
        }
    }
}

} // namespace
} // namespace tavorin
