#include "journal/journal_undo.h"
#include "journal/run_journal.h"
#include "run/run_test_support.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

namespace tavorin {
namespace {

using namespace tavorin::testing;

// a.txt and b.txt replaced by one run, then whatever happened to a.txt afterwards, then undo
// twice: b.txt always comes back whole, with its permission bits and modification time;
// a.txt comes back unless somebody else's bytes stand there now.
TEST(Undo, PutsBackWhatTheRunWroteAndNeverSomebodysLaterWork) {
    const QByteArray old("[00:01:00]old\r\n");
    const struct {
        const char* what;
        void (*afterRun)(const QString& aPath, const QString& runFolder);
        QByteArray aAfterUndo; // "new": the run's bytes stay
        UndoOutcome first;
        UndoOutcome second;
        int writesOfA = 1;
    } cases[] = {
        {"untouched since", nullptr, old, UndoOutcome::Done, UndoOutcome::AlreadyUndone},
        {"written twice in the run", nullptr, old, UndoOutcome::Done, UndoOutcome::AlreadyUndone,
         2},
        {"killed between saving and replacing", nullptr, old, UndoOutcome::Done,
         UndoOutcome::AlreadyUndone, 0},
        {"edited after the run",
         [](const QString& a, const QString&) { writeBytes(a, "[00:09:00]mine\r\n"); },
         "[00:09:00]mine\r\n", UndoOutcome::SomeLeft, UndoOutcome::AlreadyUndone},
        {"removed after the run", [](const QString& a, const QString&) { QFile::remove(a); },
         "<missing>", UndoOutcome::SomeLeft, UndoOutcome::AlreadyUndone},
        // Undone again later, when the journal may read whole again: the run is not marked.
        {"its saved copy damaged",
         [](const QString&, const QString& run) {
             QByteArray entries = readBytes(run + "/entries"_L1);
             entries[entries.indexOf('\n') + 2] ^= 1;
             writeBytes(run + "/entries"_L1, entries);
         },
         "new", UndoOutcome::SomeLeft, UndoOutcome::SomeLeft},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir temp;
        const QString journalFolder = temp.filePath("runs"_L1), a = temp.filePath("a.txt"_L1),
                      b = temp.filePath("b.txt"_L1);
        ASSERT_TRUE(writeBytes(a, old) && writeBytes(b, old + "b"));
        ASSERT_TRUE(QFile::setPermissions(b, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                 QFileDevice::ReadOther));
        const timespec times[2] = {{0, UTIME_OMIT}, {1600000000, 123456789}};
        ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(b).constData(), times, 0), 0);

        RunJournal journal(journalFolder, false);
        const LyricsWriter write = journal.writer();
        for (int i = 0; i < c.writesOfA; ++i) {
            write(a, QStringLiteral("[00:0%1:00]new\r\n").arg(i + 2), TextEncoding::Utf8);
        }
        if (c.writesOfA == 0) {
            ASSERT_TRUE(journal.saveOriginal(a, "[00:02:00]new\r\n").ok);
        }
        ASSERT_EQ(write(b, "[00:01:00]new\r\n"_L1, TextEncoding::Utf8).outcome,
                  WriteOutcome::Written);
        ASSERT_TRUE(QFile::setPermissions(b, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
        const QByteArray aWritten = readBytes(a);
        if (c.afterRun) {
            c.afterRun(a, journalFolder + u'/' + journal.runId());
        }

        RecordingHost host;
        EXPECT_EQ(undoRun(journalFolder, {}, host), c.first) << host.log.toStdString();
        EXPECT_EQ(readBytes(a), c.aAfterUndo == "new" ? aWritten : c.aAfterUndo);
        struct stat facts {};
        ASSERT_EQ(::stat(QFile::encodeName(b).constData(), &facts), 0);
        EXPECT_EQ(readBytes(b), old + "b");
        EXPECT_EQ(facts.st_mode & 07777, 0604u);
        EXPECT_EQ(facts.st_mtim.tv_sec, 1600000000);
        EXPECT_EQ(facts.st_mtim.tv_nsec, 123456789);
        EXPECT_EQ(undoRun(journalFolder, journal.runId(), host), c.second);
        EXPECT_EQ(readBytes(b), old + "b") << "a second undo changes nothing";
        EXPECT_EQ(listJournalRuns(journalFolder).value(0).undone.isValid(),
                  c.second == UndoOutcome::AlreadyUndone);
    }
}

// Runs that replace nothing leave no journal; the journal keeps the newest 20 runs; a file
// whose original cannot be saved is not replaced.
TEST(RunJournalTest, KeepsTheNewestRunsAndNeverReplacesAFileItCannotGiveBack) {
    QTemporaryDir temp;
    const QString journalFolder = temp.filePath("runs"_L1), a = temp.filePath("a.txt"_L1);
    ASSERT_TRUE(writeBytes(a, "[00:01:00]a\r\n"));
    RunJournal(journalFolder, false).writer();
    EXPECT_TRUE(listJournalRuns(journalFolder).isEmpty());
    QStringList ids;
    for (int i = 0; i < journalRunsKept + 2; ++i) {
        RunJournal journal(journalFolder, i % 2 == 1);
        ASSERT_TRUE(journal.saveOriginal(a, "x").ok);
        ids.append(journal.runId());
    }
    const QList<JournalRun> runs = listJournalRuns(journalFolder);
    ASSERT_EQ(runs.size(), journalRunsKept);
    EXPECT_EQ(runs.first().id, ids.at(2));
    EXPECT_EQ(runs.last().id, ids.last());
    EXPECT_TRUE(runs.last().newMode && runs.last().fileCount == 1);

    ASSERT_TRUE(writeBytes(temp.filePath("file"_L1), "not a folder"));
    RunJournal blocked(temp.filePath("file/runs"_L1), false);
    const WriteResult result = blocked.writer()(a, "new"_L1, TextEncoding::Utf8);
    EXPECT_EQ(result.outcome, WriteOutcome::CannotWrite);
    EXPECT_EQ(readBytes(a), "[00:01:00]a\r\n");
}

} // namespace
} // namespace tavorin
