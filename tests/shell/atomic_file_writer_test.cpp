#include "shell/atomic_file_writer.h"

#include "support/file_contents.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

// Each failing step of a replacement and read-only files are run by tests/reliability.
namespace tavorin {
namespace {

class AtomicFileWriterTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(testing::writeFile(path, original)); }
    // What the folder holds: no temporary file may be left behind.
    QStringList entries() const {
        return QDir(folder.path())
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }

    QTemporaryDir folder;
    QString path = folder.filePath(QStringLiteral("song.lrc"));
    QByteArray encodedPath = QFile::encodeName(path);
    const QByteArray original = "[00:01:00]original\r\n";
    const QByteArray replacement = QByteArray(70000, 'x') + "\r\n";
};

// Any one write bit makes a file writable; its bits, owner and link survive the rewrite.
TEST_F(AtomicFileWriterTest, KeepsPermissionBitsOwnerAndLinkOfTheRewrittenFile) {
    const bool superuser = ::geteuid() == 0;
    ASSERT_TRUE(!superuser || ::chown(encodedPath.constData(), 4321, 8765) == 0);
    for (const mode_t mode : {0640u, 0460u, superuser ? 02664u : 0606u}) {
        ASSERT_EQ(::chmod(encodedPath.constData(), mode), 0);
        EXPECT_EQ(writeFileAtomically(path, replacement).outcome, WriteOutcome::Written);
        EXPECT_EQ(testing::readFile(path), replacement);
        struct stat facts {};
        ASSERT_EQ(::stat(encodedPath.constData(), &facts), 0);
        EXPECT_EQ(facts.st_mode & 07777, mode);
        EXPECT_EQ(facts.st_uid, superuser ? 4321u : ::geteuid());
        EXPECT_EQ(facts.st_gid, superuser ? 8765u : ::getegid());
    }
    const QString link = folder.filePath(QStringLiteral("link.lrc"));
    ASSERT_TRUE(QFile::link(path, link));
    EXPECT_EQ(writeFileAtomically(link, original).outcome, WriteOutcome::Written);
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(testing::readFile(path), original);
    EXPECT_EQ(entries(), (QStringList{u"link.lrc"_qs, u"song.lrc"_qs}));
}

// A file size limit (in a child process) makes the real write fail part-way, as a full disk.
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
    EXPECT_EQ(testing::readFile(path), original);
    EXPECT_EQ(entries(), QStringList{u"song.lrc"_qs});
}

} // namespace
} // namespace tavorin
