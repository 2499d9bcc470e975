// Faults around the files one run reads and writes: whatever fails, each lyrics file keeps its
// old bytes or gets its complete new ones, no temporary file stays, the Run Log says what
// happened to that file, and the run goes on with the next one.
#include "lyrics/lyrics_file.h"
#include "run/run_driver.h"
#include "run/run_test_support.h"
#include "support/faulty_file_layer.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

namespace tavorin {
namespace {

using namespace tavorin::testing;

const QByteArray oldBytes("[00:01:00]x\r\n");

class RunFaultTest : public ::testing::Test {
protected:
    void SetUp() override {
        settings.name = "A"_L1;
        for (const QString& name : texts("a|b|c")) {
            files.append(folder + name + ".txt"_L1);
            ASSERT_TRUE(writeBytes(folder + name + ".mp3"_L1, "mp3"));
        }
    }
    void resetFiles() {
        for (const QString& file : files) {
            QDir(file).removeRecursively();
            QFile::remove(file);
            ASSERT_TRUE(writeBytes(file, oldBytes));
        }
    }
    // Runs over the three files; measure runs between the song lookup and the lyrics read.
    RunSummary run(
        RecordingHost& host, const LyricsWriter& write = {},
        const SongMeasure& measure = [](const QString&, bool) { return SongInfo{}; }) {
        return RunDriver(host, measure, write).run(files, settings);
    }
    QStringList temporaryFiles() const {
        return QDir(folder).entryList({"*tavorin-*"_L1}, QDir::AllEntries | QDir::Hidden);
    }
    // The victim b.txt's report ends with line; the files around it were written whole.
    void expectOnlyTheVictimFailed(const RecordingHost& host, const QString& line) {
        EXPECT_TRUE(host.log.contains("b.mp3\r\n"_L1 + line + "\r\n\r\n"_L1))
            << host.log.toStdString();
        EXPECT_EQ(host.log.count(u"正常に処理しました。"_s), 2);
        EXPECT_NE(readBytes(files.at(0)), oldBytes);
        EXPECT_EQ(readBytes(files.at(0)), readBytes(files.at(2)));
        EXPECT_TRUE(host.log.endsWith(u"処理終了\r\n"_s));
        EXPECT_EQ(temporaryFiles(), QStringList());
    }

    QTemporaryDir temp;
    const QString folder = temp.path() + "/L/"_L1;
    QStringList files;
    WizardSettings settings;
};

TEST_F(RunFaultTest, AFailingStepOfTheReplacementKeepsTheOldFileAndLogsTheSystemMessage) {
    const struct {
        FileStep step;
        int error;
        const char* line;
        bool readOnly = false;
    } cases[] = {
        {FileStep::Create, EACCES, "歌詞ファイルが開けません。"}, // a read-only folder
        {FileStep::Create, EROFS, "歌詞ファイルが開けません。"},
        {FileStep::WriteHalfway, ENOSPC, "歌詞ファイルに書き込めません。"},
        {FileStep::WriteHalfway, EIO, "歌詞ファイルに書き込めません。"},
        {FileStep::Sync, EIO, "歌詞ファイルに書き込めません。"},
        {FileStep::Permissions, EPERM, "歌詞ファイルに書き込めません。"},
        {FileStep::Replace, EXDEV, "歌詞ファイルに書き込めません。"},
        // Permission bits only: the superuser, under whom CI runs, ignores them at the system
        // call level, so the writer itself refuses a file nobody may write.
        {FileStep::None, EACCES, "歌詞ファイルが開けません。", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.step) * 1000 + c.error);
        resetFiles();
        if (c.readOnly) {
            ASSERT_TRUE(QFile::setPermissions(files.at(1), QFileDevice::ReadOwner));
        }
        FaultyFileLayer layer(c.step, c.error);
        RecordingHost host;
        const RunSummary summary =
            run(host, [&](const QString& path, const QString& text, TextEncoding encoding) {
                return path == files.at(1) ? writeLyricsFile(path, text, encoding, layer)
                                           : writeLyricsFile(path, text, encoding);
            });
        EXPECT_EQ(readBytes(files.at(1)), oldBytes);
        EXPECT_EQ(summary.writeFailures, 1);
        expectOnlyTheVictimFailed(host,
                                  QString::fromUtf8(c.line) + u"（"_s + layer.message() + u"）"_s);
    }
}

TEST_F(RunFaultTest, ALyricsFileThatChangesBetweenLookupAndReadIsNeverWritten) {
    const struct {
        std::function<void(const QString&)> change;
        const char* line;
    } cases[] = {
        {[](const QString& path) { QFile::remove(path); },
         "歌詞ファイルが読めません。（見つかりません）"},
        {[](const QString& path) { QFile::remove(path), QDir().mkdir(path); },
         "歌詞ファイルが読めません。（開けません）"},
        {[](const QString& path) { QFile::remove(path), QFile::link(path + ".gone"_L1, path); },
         "歌詞ファイルが読めません。（開けません）"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        resetFiles();
        RecordingHost host;
        const RunSummary summary = run(host, {}, [&](const QString& song, bool) {
            if (song.endsWith("b.mp3"_L1)) {
                c.change(files.at(1));
            }
            return SongInfo{};
        });
        EXPECT_EQ(summary.readFailures, 1);
        // Whatever stands at the path now is what the change left, not a new lyrics file.
        EXPECT_EQ(readBytes(files.at(1)), QByteArray("<missing>"));
        expectOnlyTheVictimFailed(host, QString::fromUtf8(c.line));
    }
}

TEST_F(RunFaultTest, ARunClearsOnlyTheTemporaryFilesAKilledRunLeft) {
    resetFiles();
    const QStringList ours = texts(".tavorin-0.tmp|.tavorin-zz9a8b7c6d.tmp");
    const QStringList others = texts(".tavorin-.tmp|.tavorin-ABC.tmp|.tavorin-abc.tmp.txt|"
                                     "tavorin-abc.tmp|.tavorin-abcdefghijk.tmp|.tavorin-dir.tmp");
    for (const QString& name : ours + others) {
        ASSERT_TRUE(name.contains("dir"_L1) ? QDir().mkdir(folder + name)
                                            : writeBytes(folder + name, "kept?"));
    }
    RecordingHost dry;
    RunDriver(dry, [](const QString&, bool) { return SongInfo{}; }).run(files, settings, true);
    EXPECT_EQ(temporaryFiles().size(), ours.size() + others.size());
    RecordingHost host;
    run(host);
    QStringList left = others;
    left.sort();
    EXPECT_EQ(temporaryFiles(), left);
}

TEST_F(RunFaultTest, SongFolderHazardsNeitherHangNorStopTheRun) {
    resetFiles();
    // Songs only in the Song Folder, so every lookup walks it.
    const QString songs = temp.path() + "/M/"_L1;
    for (const QString& name : texts("a|b|c")) {
        QFile::remove(folder + name + ".mp3"_L1);
    }
    ASSERT_TRUE(writeBytes(songs + "deep/a.mp3"_L1, "mp3"));
    ASSERT_TRUE(QFile::link(songs, songs + "deep/loop"_L1)); // a link cycle
    ASSERT_TRUE(QDir().mkpath(songs + "b.mp3"_L1));          // a folder named like a song
    ASSERT_TRUE(writeBytes(songs + "locked/c.mp3"_L1, "mp3"));
    // Names whose bytes are not UTF-8, the file system's encoding here: Qt cannot name them.
    const QByteArray badLyrics = QFile::encodeName(folder) + "\xFF\xFE.txt";
    const QByteArray badSong = QFile::encodeName(songs) + "\xFF\xFE.mp3";
    for (const QByteArray& path : {badLyrics, badSong}) {
        const int handle = ::open(path.constData(), O_WRONLY | O_CREAT, 0644);
        ASSERT_EQ(::write(handle, oldBytes.constData(), 13), 13);
        ::close(handle);
    }
    settings.songFolder = songs;
    files.append(QFile::decodeName(badLyrics)); // no longer leads back to the file
    ASSERT_TRUE(QFile::setPermissions(songs + "locked"_L1, {}));

    RecordingHost host;
    const RunSummary summary = run(host);
    QFile::setPermissions(songs + "locked"_L1,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_EQ(summary.filesHandled, 4);
    EXPECT_TRUE(host.log.contains(songs + u"deep/a.mp3\r\n正常に処理しました。"_s));
    EXPECT_TRUE(host.log.contains(u"b.txt\r\n曲ファイル　：見つかりませんでした。"_s));
    // The superuser reads the locked folder anyway; anyone else finds no song there.
    EXPECT_EQ(host.log.contains(songs + "locked/c.mp3"_L1), ::geteuid() == 0);
    EXPECT_EQ(host.log.count(u"歌詞ファイル："_s), 4);
    EXPECT_FALSE(host.log.contains(QFile::decodeName(badSong))) << host.log.toStdString();
    char buffer[64] = {};
    const int handle = ::open(badLyrics.constData(), O_RDONLY);
    EXPECT_EQ(::read(handle, buffer, sizeof buffer), 13);
    ::close(handle);
    EXPECT_EQ(QByteArray(buffer), oldBytes);
    EXPECT_EQ(temporaryFiles(), QStringList());
    ::unlink(badLyrics.constData());
    ::unlink(badSong.constData());
}

} // namespace
} // namespace tavorin
