#include "shell/atomic_file_writer.h"

#include "shell/file_layer.h"
#include "support/faulty_file_layer.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace tavorin {
namespace {

// Owner, group and others; Qt adds the bits for the current user on top.
constexpr int modeBits = 0xF0FF;

using testing::FaultyFileLayer;
using Step = testing::FileStep;

class AtomicFileWriterTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        path = folder.filePath(QStringLiteral("song.lrc"));
    }

    void writePlain(const QByteArray& bytes) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }

    QByteArray contents() const {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    QStringList entries() const {
        return QDir(folder.path())
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    }

    QTemporaryDir folder;
    QString path;
    const QByteArray original = QByteArray("[00:01:00]original\r\n");
    const QByteArray replacement = QByteArray(70000, 'x') + QByteArray("\r\n");
};

TEST_F(AtomicFileWriterTest, ReplacesTheFileAndKeepsItsPermissionBits) {
    // Any one write bit makes a file writable, the owner's or not.
    const QFileDevice::Permissions cases[] = {
        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
            QFileDevice::ReadOther,
        QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::WriteGroup,
    };
    for (const QFileDevice::Permissions permissions : cases) {
        SCOPED_TRACE(::testing::Message() << std::hex << permissions.toInt());
        writePlain(original);
        ASSERT_TRUE(QFile::setPermissions(path, permissions));
        const WriteResult result = writeFileAtomically(path, replacement);
        EXPECT_EQ(result.outcome, WriteOutcome::Written);
        EXPECT_EQ(contents(), replacement);
        EXPECT_EQ(QFile::permissions(path) & modeBits, permissions & modeBits);
        EXPECT_EQ(entries(), QStringList{QStringLiteral("song.lrc")});
    }
}

TEST_F(AtomicFileWriterTest, WritesANewFileAndAnEmptyOne) {
    EXPECT_EQ(writeFileAtomically(path, original).outcome, WriteOutcome::Written);
    EXPECT_EQ(contents(), original);
    EXPECT_EQ(writeFileAtomically(path, QByteArrayView()).outcome, WriteOutcome::Written);
    EXPECT_EQ(contents(), QByteArray());
    EXPECT_EQ(entries(), QStringList{QStringLiteral("song.lrc")});
}

TEST_F(AtomicFileWriterTest, EveryFailureLeavesTheOriginalAndNoTemporaryFile) {
    struct Case {
        Step step;
        WriteOutcome outcome;
    };
    const Case cases[] = {
        {Step::Create, WriteOutcome::CannotOpen},   {Step::WriteHalfway, WriteOutcome::CannotWrite},
        {Step::Sync, WriteOutcome::CannotWrite},    {Step::Permissions, WriteOutcome::CannotWrite},
        {Step::Replace, WriteOutcome::CannotWrite},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.step));
        writePlain(original);
        ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
        FaultyFileLayer files(c.step);
        const WriteResult result = writeFileAtomically(path, replacement, files);
        EXPECT_EQ(result.outcome, c.outcome);
        EXPECT_EQ(result.systemMessage, files.message());
        EXPECT_EQ(contents(), original);
        EXPECT_EQ(QFile::permissions(path) & modeBits,
                  QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        EXPECT_EQ(entries(), QStringList{QStringLiteral("song.lrc")});
    }
}

TEST_F(AtomicFileWriterTest, RefusesWhatCannotBeOpenedForWriting) {
    writePlain(original);
    // No write bit for anyone: read-only even for the superuser the tests may run as.
    ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadOther));
    WriteResult result = writeFileAtomically(path, replacement);
    EXPECT_EQ(result.outcome, WriteOutcome::CannotOpen);
    EXPECT_FALSE(result.systemMessage.isEmpty());
    EXPECT_EQ(contents(), original);

    result = writeFileAtomically(folder.filePath(QStringLiteral("gone/song.lrc")), replacement);
    EXPECT_EQ(result.outcome, WriteOutcome::CannotOpen);
    EXPECT_FALSE(result.systemMessage.isEmpty());

    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("song.kra")));
    result = writeFileAtomically(folder.filePath(QStringLiteral("song.kra")), replacement);
    EXPECT_EQ(result.outcome, WriteOutcome::CannotOpen);
    EXPECT_EQ(entries(), (QStringList{QStringLiteral("song.kra"), QStringLiteral("song.lrc")}));
}

#ifdef Q_OS_UNIX
// Someone else's file stays theirs, with its special bits, when the superuser replaces it.
TEST_F(AtomicFileWriterTest, SuperuserKeepsTheOwnerAndEveryPermissionBit) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "only the superuser may give a file away";
    }
    writePlain(original);
    const QByteArray name = QFile::encodeName(path);
    constexpr uid_t owner = 4321;
    constexpr gid_t group = 8765;
    ASSERT_EQ(::chown(name.constData(), owner, group), 0);
    ASSERT_EQ(::chmod(name.constData(), 02664), 0);
    EXPECT_EQ(writeFileAtomically(path, replacement).outcome, WriteOutcome::Written);
    struct stat facts {};
    ASSERT_EQ(::stat(name.constData(), &facts), 0);
    EXPECT_EQ(facts.st_uid, owner);
    EXPECT_EQ(facts.st_gid, group);
    EXPECT_EQ(facts.st_mode & 07777, 02664u);
    EXPECT_EQ(contents(), replacement);
}

TEST_F(AtomicFileWriterTest, ReplacesTheFileBehindALink) {
    writePlain(original);
    const QString link = folder.filePath(QStringLiteral("link.lrc"));
    ASSERT_TRUE(QFile::link(path, link));
    EXPECT_EQ(writeFileAtomically(link, replacement).outcome, WriteOutcome::Written);
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(contents(), replacement);
}

TEST_F(AtomicFileWriterTest, AFullDiskInTheMiddleOfWritingKeepsTheOriginal) {
    writePlain(original);
    // A file size limit makes the real write fail part-way, as a full disk would. The limit
    // lasts for the child process only.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{4096, 4096};
        setrlimit(RLIMIT_FSIZE, &limit);
        const WriteResult result = writeFileAtomically(path, replacement);
        _exit(result.outcome == WriteOutcome::CannotWrite && !result.systemMessage.isEmpty()
                  ? 0
                  : 1 + static_cast<int>(result.outcome));
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(contents(), original);
    EXPECT_EQ(entries(), QStringList{QStringLiteral("song.lrc")});
}
#endif

} // namespace
} // namespace tavorin
