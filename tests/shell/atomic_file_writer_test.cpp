#include "shell/atomic_file_writer.h"

#include "support/faulty_file_layer.h"
#include "support/file_contents.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tavorin {
namespace {

using Step = testing::FileStep;

class AtomicFileWriterTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(testing::writeFile(path, original)); }

    // The permission bits, owner and group of the file at path.
    struct stat status() const {
        struct stat facts {};
        EXPECT_EQ(::stat(QFile::encodeName(path).constData(), &facts), 0);
        return facts;
    }
    void setMode(mode_t mode) const {
        ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), mode), 0);
    }

    QByteArray contents() const { return testing::readFile(path); }
    // The folder holds the lyrics file and nothing else: no temporary file is left behind.
    void expectOnlyTheFile(const QStringList& others = {}) const {
        EXPECT_EQ(
            QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            others + QStringList{QStringLiteral("song.lrc")});
    }

    QTemporaryDir folder;
    QString path = folder.filePath(QStringLiteral("song.lrc"));
    const QByteArray original = "[00:01:00]original\r\n";
    const QByteArray replacement = QByteArray(70000, 'x') + "\r\n";
};

// Someone else's file stays theirs, special bits included, when the superuser repairs it.
// Any one write bit makes a file writable, the owner's or not.
TEST_F(AtomicFileWriterTest, ReplacesTheFileAndKeepsItsOwnerAndPermissionBits) {
    const bool superuser = ::geteuid() == 0;
    if (superuser) {
        ASSERT_EQ(::chown(QFile::encodeName(path).constData(), 4321, 8765), 0);
    }
    for (const mode_t mode : {0640u, 0460u, superuser ? 02664u : 0606u}) {
        setMode(mode);
        EXPECT_EQ(writeFileAtomically(path, replacement).outcome, WriteOutcome::Written);
        EXPECT_EQ(contents(), replacement);
        EXPECT_EQ(status().st_mode & 07777, mode);
    }
    if (superuser) {
        EXPECT_EQ(status().st_uid, 4321u);
        EXPECT_EQ(status().st_gid, 8765u);
    }
    EXPECT_EQ(writeFileAtomically(path, QByteArrayView()).outcome, WriteOutcome::Written);
    EXPECT_EQ(contents(), QByteArray());
    ASSERT_TRUE(QFile::remove(path));
    EXPECT_EQ(writeFileAtomically(path, original).outcome, WriteOutcome::Written);
    EXPECT_EQ(contents(), original);
    expectOnlyTheFile();
}

// Whichever step fails, the original stays whole with its bits and no temporary file is left.
TEST_F(AtomicFileWriterTest, EveryFailureLeavesTheOriginalAndNoTemporaryFile) {
    const std::pair<Step, WriteOutcome> cases[] = {
        {Step::Create, WriteOutcome::CannotOpen},   {Step::WriteHalfway, WriteOutcome::CannotWrite},
        {Step::Sync, WriteOutcome::CannotWrite},    {Step::Permissions, WriteOutcome::CannotWrite},
        {Step::Replace, WriteOutcome::CannotWrite},
    };
    setMode(0600);
    for (const auto& [step, outcome] : cases) {
        SCOPED_TRACE(static_cast<int>(step));
        testing::FaultyFileLayer files(step, ENOSPC);
        const WriteResult result = writeFileAtomically(path, replacement, files);
        EXPECT_EQ(result.outcome, outcome);
        EXPECT_EQ(result.systemMessage, files.message());
        EXPECT_EQ(contents(), original);
        EXPECT_EQ(status().st_mode & 07777, 0600u);
        expectOnlyTheFile();
    }
}

TEST_F(AtomicFileWriterTest, RefusesWhatCannotBeOpenedForWriting) {
    // No write bit for anyone: read-only even for the superuser the tests may run as.
    setMode(0444);
    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("song.kra")));
    for (const QString& target : {path, folder.filePath(QStringLiteral("gone/song.lrc")),
                                  folder.filePath(QStringLiteral("song.kra"))}) {
        SCOPED_TRACE(target.toStdString());
        const WriteResult result = writeFileAtomically(target, replacement);
        EXPECT_EQ(result.outcome, WriteOutcome::CannotOpen);
        EXPECT_FALSE(result.systemMessage.isEmpty());
    }
    EXPECT_EQ(contents(), original);
    expectOnlyTheFile({QStringLiteral("song.kra")});
}

TEST_F(AtomicFileWriterTest, ReplacesTheFileBehindALink) {
    const QString link = folder.filePath(QStringLiteral("link.lrc"));
    ASSERT_TRUE(QFile::link(path, link));
    EXPECT_EQ(writeFileAtomically(link, replacement).outcome, WriteOutcome::Written);
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(contents(), replacement);
}

// A file size limit makes the real write fail part-way, as a full disk would; the limit lasts
// for the child process only.
TEST_F(AtomicFileWriterTest, AFullDiskInTheMiddleOfWritingKeepsTheOriginal) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{4096, 4096};
        setrlimit(RLIMIT_FSIZE, &limit);
        const WriteResult result = writeFileAtomically(path, replacement);
        _exit(result.outcome == WriteOutcome::CannotWrite && !result.systemMessage.isEmpty() ? 0
                                                                                             : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(contents(), original);
    expectOnlyTheFile();
}

} // namespace
} // namespace tavorin
