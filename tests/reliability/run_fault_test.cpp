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

// A run over a.txt, b.txt and c.txt, each beside its song, where only b.txt fails: a step of
// its replacement fails (the system message closes its line), or change replaces it between
// the song lookup and the lyrics read, and whatever then stands at the path is left as it is.
TEST(RunFault, OnlyTheFailingFileKeepsItsOldStateAndTheRunGoesOn) {
    const struct {
        FileStep step;
        int error;
        const char* line;
        void (*change)(const QString&) = nullptr;
    } cases[] = {
        {FileStep::Create, EACCES, "歌詞ファイルが開けません。"}, // a read-only folder
        {FileStep::Create, EROFS, "歌詞ファイルが開けません。"},
        {FileStep::WriteHalfway, ENOSPC, "歌詞ファイルに書き込めません。"},
        {FileStep::Sync, EIO, "歌詞ファイルに書き込めません。"},
        {FileStep::Permissions, EPERM, "歌詞ファイルに書き込めません。"},
        {FileStep::Replace, EXDEV, "歌詞ファイルに書き込めません。"},
        // A read-only file: the superuser, under whom CI runs, may write it at the system call
        // level, so the writer itself refuses a file nobody may write.
        {FileStep::None, EACCES, "歌詞ファイルが開けません。"},
        {FileStep::None, 0, "歌詞ファイルが読めません。（見つかりません）",
         [](const QString& path) { QFile::remove(path); }},
        {FileStep::None, 0, "歌詞ファイルが読めません。（開けません）",
         [](const QString& path) { QFile::remove(path), QDir().mkdir(path); }},
        {FileStep::None, 0, "歌詞ファイルが読めません。（開けません）",
         [](const QString& path) { QFile::remove(path), QFile::link(path + ".gone"_L1, path); }},
    };
    const QByteArray oldBytes("[00:01:00]x\r\n");
    QTemporaryDir temp;
    const QString folder = temp.path() + "/L/"_L1, victim = folder + "b.txt"_L1;
    WizardSettings settings;
    settings.name = "A"_L1;
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << int(c.step) << " " << c.error << " " << c.line);
        QStringList files;
        for (const QString& name : texts("a|b|c")) {
            files.append(folder + name + ".txt"_L1);
            QDir(files.last()).removeRecursively(), QFile::remove(files.last());
            ASSERT_TRUE(writeBytes(files.last(), oldBytes) &&
                        writeBytes(folder + name + ".mp3"_L1, "mp3"));
        }
        QFile::setPermissions(victim, c.step == FileStep::None ? QFileDevice::ReadOwner
                                                               : QFile::permissions(victim));
        FaultyFileLayer layer(c.step, c.error), sound(FileStep::None);
        const auto write = [&](const QString& path, const QString& text, TextEncoding encoding) {
            return writeLyricsFile(path, text, encoding, path == victim ? layer : sound);
        };
        const auto measure = [&](const QString& song, bool) {
            if (c.change && song.endsWith("b.mp3"_L1)) {
                c.change(victim);
            }
            return SongInfo{};
        };
        RecordingHost host;
        const RunSummary summary = RunDriver(host, measure, write).run(files, settings);
        const QString line = QString::fromUtf8(c.line) +
                             (c.change ? QString() : u"（"_s + layer.message() + u"）"_s);
        EXPECT_TRUE(host.log.contains("b.mp3\r\n"_L1 + line + "\r\n\r\n"_L1))
            << host.log.toStdString();
        EXPECT_EQ(host.log.count(u"正常に処理しました。"_s), 2);
        EXPECT_TRUE(readBytes(files[0]) != oldBytes && readBytes(files[0]) == readBytes(files[2]));
        EXPECT_EQ(readBytes(victim), c.change ? QByteArray("<missing>") : oldBytes);
        EXPECT_EQ(c.change ? summary.readFailures : summary.writeFailures, 1);
        EXPECT_EQ(QDir(folder).entryList({"*tavorin-*"_L1}, QDir::AllEntries | QDir::Hidden),
                  QStringList());
    }
}

} // namespace
} // namespace tavorin
