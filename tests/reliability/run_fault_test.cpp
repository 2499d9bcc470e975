// Faults around the files one run reads and writes: whatever fails, each lyrics file keeps its
// old bytes or gets its complete new ones, no temporary file stays, the Run Log says what
// happened to that file, and the run goes on with the next one.
#include "lyrics/lyrics_file.h"
#include "run/run_driver.h"
#include "run/run_test_support.h"
#include "support/faulty_file_layer.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <system_error>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

namespace tavorin {
namespace {

using testing::FaultyFileLayer;
using testing::FileStep;
using testing::readBytes;
using testing::RecordingHost;
using testing::writeBytes;

const QByteArray oldBytes("[00:01:00]x\r\n");

QString messageOf(int error) {
    return QString::fromLocal8Bit(std::error_code(error, std::generic_category()).message());
}

class RunFaultTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(temp.isValid());
        for (const char* name : {"a", "b", "c"}) {
            const QString base = lyricsFolder() + QString::fromUtf8(name);
            ASSERT_TRUE(writeBytes(base + QStringLiteral(".txt"), oldBytes));
            ASSERT_TRUE(writeBytes(base + QStringLiteral(".mp3"), "mp3"));
            files.append(base + QStringLiteral(".txt"));
        }
        settings.name = QStringLiteral("A");
    }

    QString lyricsFolder() const { return temp.path() + QStringLiteral("/L/"); }
    const QString& victim() const { return files.at(1); }

    // Runs over the three files; measure runs between the song lookup and the lyrics read.
    RunSummary run(
        RecordingHost& host, const LyricsWriter& write = {},
        const SongMeasure& measure = [](const QString&, bool) { return SongInfo{}; }) {
        RunDriver driver(host, measure, write);
        return driver.run(files, settings);
    }

    QStringList temporaryFiles() const {
        return QDir(lyricsFolder())
            .entryList({QStringLiteral("*tavorin-*")}, QDir::AllEntries | QDir::Hidden);
    }

    // The victim's report ends with line; the files around it were written whole.
    void expectOnlyTheVictimFailed(const RecordingHost& host, const QString& line) {
        EXPECT_TRUE(
            host.log.contains(QStringLiteral("b.mp3\r\n") + line + QStringLiteral("\r\n\r\n")))
            << host.log.toStdString();
        EXPECT_EQ(host.log.count(QStringLiteral("正常に処理しました。")), 2);
        EXPECT_NE(readBytes(files.at(0)), oldBytes);
        EXPECT_EQ(readBytes(files.at(0)), readBytes(files.at(2)));
        EXPECT_TRUE(host.log.endsWith(QStringLiteral("処理終了\r\n")));
        EXPECT_EQ(temporaryFiles(), QStringList());
    }

    QTemporaryDir temp;
    QStringList files;
    WizardSettings settings;
};

TEST_F(RunFaultTest, AFailingStepOfTheReplacementKeepsTheOldFileAndLogsTheSystemMessage) {
    const struct {
        FileStep step;
        int error;
        const char* line;
    } cases[] = {
        {FileStep::Create, EACCES, "歌詞ファイルが開けません。"}, // a read-only folder
        {FileStep::Create, EROFS, "歌詞ファイルが開けません。"},
        {FileStep::WriteHalfway, ENOSPC, "歌詞ファイルに書き込めません。"},
        {FileStep::WriteHalfway, EIO, "歌詞ファイルに書き込めません。"},
        {FileStep::Sync, EIO, "歌詞ファイルに書き込めません。"},
        {FileStep::Permissions, EPERM, "歌詞ファイルに書き込めません。"},
        {FileStep::Replace, EXDEV, "歌詞ファイルに書き込めません。"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.step) * 1000 + c.error);
        for (const QString& file : files) {
            ASSERT_TRUE(writeBytes(file, oldBytes));
        }
        RecordingHost host;
        const RunSummary summary =
            run(host, [&](const QString& path, const QString& text, TextEncoding encoding) {
                if (path != victim()) {
                    return writeLyricsFile(path, text, encoding);
                }
                FaultyFileLayer layer(c.step, c.error);
                return writeLyricsFile(path, text, encoding, layer);
            });
        EXPECT_EQ(readBytes(victim()), oldBytes);
        EXPECT_EQ(summary.writeFailures, 1);
        expectOnlyTheVictimFailed(host, QString::fromUtf8(c.line) + QStringLiteral("（") +
                                            messageOf(c.error) + QStringLiteral("）"));
    }
}

TEST_F(RunFaultTest, AReadOnlyLyricsFileIsLeftAsItIs) {
    // Permission bits only: the superuser, under whom CI runs, ignores them at the system call
    // level, so the writer itself refuses a file nobody may write.
    ASSERT_TRUE(QFile::setPermissions(victim(), QFileDevice::ReadOwner | QFileDevice::ReadOther));
    RecordingHost host;
    run(host);
    EXPECT_EQ(readBytes(victim()), oldBytes);
    expectOnlyTheVictimFailed(host, QStringLiteral("歌詞ファイルが開けません。（") +
                                        messageOf(EACCES) + QStringLiteral("）"));
}

TEST_F(RunFaultTest, ALyricsFileThatChangesBetweenLookupAndReadIsNeverWritten) {
    const struct {
        const char* what;
        std::function<void(const QString&)> change;
        const char* line;
    } cases[] = {
        {"vanishes", [](const QString& path) { QFile::remove(path); },
         "歌詞ファイルが読めません。（見つかりません）"},
        {"becomes a folder", [](const QString& path) { QFile::remove(path), QDir().mkdir(path); },
         "歌詞ファイルが読めません。（開けません）"},
        {"becomes a dangling link",
         [](const QString& path) {
             QFile::remove(path), QFile::link(path + QStringLiteral(".gone"), path);
         },
         "歌詞ファイルが読めません。（開けません）"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        for (const QString& file : files) {
            QDir(file).removeRecursively();
            QFile::remove(file);
            ASSERT_TRUE(writeBytes(file, oldBytes));
        }
        const QFileInfo before(victim());
        RecordingHost host;
        const RunSummary summary = run(host, {}, [&](const QString& song, bool) {
            if (song.endsWith(QStringLiteral("b.mp3"))) {
                c.change(victim());
            }
            return SongInfo{};
        });
        EXPECT_EQ(summary.readFailures, 1);
        // Whatever stands at the path now is what the change left, not a new lyrics file.
        EXPECT_EQ(readBytes(victim()), QByteArray("<missing>"));
        expectOnlyTheVictimFailed(host, QString::fromUtf8(c.line));
    }
}

TEST_F(RunFaultTest, ARunClearsOnlyTheTemporaryFilesAKilledRunLeft) {
    const QStringList ours = {QStringLiteral(".tavorin-0.tmp"),
                              QStringLiteral(".tavorin-zz9a8b7c6d.tmp")};
    const QStringList others = {QStringLiteral(".tavorin-.tmp"), QStringLiteral(".tavorin-ABC.tmp"),
                                QStringLiteral(".tavorin-abc.tmp.txt"),
                                QStringLiteral("tavorin-abc.tmp"),
                                QStringLiteral(".tavorin-abcdefghijk.tmp")};
    for (const QString& name : ours + others) {
        ASSERT_TRUE(writeBytes(lyricsFolder() + name, "kept?"));
    }
    ASSERT_TRUE(QDir(lyricsFolder()).mkdir(QStringLiteral(".tavorin-dir.tmp")));

    RecordingHost dry;
    RunDriver(dry, [](const QString&, bool) { return SongInfo{}; }).run(files, settings, true);
    EXPECT_EQ(temporaryFiles().size(), ours.size() + others.size() + 1);

    RecordingHost host;
    run(host);
    QStringList left = others;
    left << QStringLiteral(".tavorin-dir.tmp");
    left.sort();
    EXPECT_EQ(temporaryFiles(), left);
}

#ifdef Q_OS_UNIX
TEST_F(RunFaultTest, SongFolderHazardsNeitherHangNorStopTheRun) {
    // Songs only in the Song Folder, so every lookup walks it.
    const QString songs = temp.path() + QStringLiteral("/M/");
    for (const QString& file : files) {
        QFile::remove(QString(file).replace(QStringLiteral(".txt"), QStringLiteral(".mp3")));
    }
    ASSERT_TRUE(writeBytes(songs + QStringLiteral("deep/a.mp3"), "mp3"));
    ASSERT_TRUE(QFile::link(songs, songs + QStringLiteral("deep/loop"))); // a link cycle
    ASSERT_TRUE(QDir().mkpath(songs + QStringLiteral("b.mp3")));          // named like a song
    ASSERT_TRUE(writeBytes(songs + QStringLiteral("locked/c.mp3"), "mp3"));
    // Names whose bytes are not UTF-8, the file system's encoding here.
    const QByteArray badLyrics = QFile::encodeName(lyricsFolder()) + "\xFF\xFE.txt";
    const QByteArray badSong = QFile::encodeName(songs) + "\xFF\xFE.mp3";
    for (const QByteArray& path : {badLyrics, badSong}) {
        const int handle = ::open(path.constData(), O_WRONLY | O_CREAT, 0644);
        ASSERT_GE(handle, 0);
        ASSERT_EQ(::write(handle, oldBytes.constData(), static_cast<size_t>(oldBytes.size())),
                  oldBytes.size());
        ::close(handle);
    }
    settings.songFolder = songs;
    // The name as Qt decodes it, which no longer leads back to the file.
    files.append(QFile::decodeName(badLyrics));
    ASSERT_TRUE(QFile::setPermissions(songs + QStringLiteral("locked"), {})); // unreadable

    RecordingHost host;
    const RunSummary summary = run(host);
    QFile::setPermissions(songs + QStringLiteral("locked"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_EQ(summary.filesHandled, 4);
    EXPECT_TRUE(host.log.contains(songs + QStringLiteral("deep/a.mp3\r\n正常に処理しました。")));
    EXPECT_TRUE(host.log.contains(QStringLiteral("b.txt\r\n曲ファイル　：見つかりませんでした。")));
    // The superuser reads the locked folder anyway; anyone else finds no song there.
    EXPECT_EQ(host.log.contains(songs + QStringLiteral("locked/c.mp3")), ::geteuid() == 0);
    EXPECT_EQ(host.log.count(QStringLiteral("歌詞ファイル：")), 4);
    // The song's name as Qt decodes it names no file: it is never offered as a song.
    EXPECT_FALSE(host.log.contains(QFile::decodeName(badSong))) << host.log.toStdString();
    const int handle = ::open(badLyrics.constData(), O_RDONLY);
    ASSERT_GE(handle, 0);
    char buffer[64] = {};
    EXPECT_EQ(::read(handle, buffer, sizeof buffer), oldBytes.size());
    ::close(handle);
    EXPECT_EQ(QByteArray(buffer), oldBytes);
    EXPECT_EQ(temporaryFiles(), QStringList());
    // Qt cannot name these files to remove them.
    ::unlink(badLyrics.constData());
    ::unlink(badSong.constData());
}
#endif

} // namespace
} // namespace tavorin
