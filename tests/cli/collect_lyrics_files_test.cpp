#include "cli/cli_options.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace tavorin {
namespace {

// A folder given on the command line stands for the lyrics files below it: hidden files and
// folders are left out and links to folders are not followed.
TEST(CollectLyricsFilesTest, FolderWalkTakesVisibleLyricsFilesBelowIt) {
    QTemporaryDir temp;
    ASSERT_TRUE(temp.isValid());
    const QDir root(temp.path());
    for (const char* folder : {"tree/sub/deeper", "tree/.hidden", "outside"}) {
        ASSERT_TRUE(root.mkpath(QString::fromUtf8(folder)));
    }
    for (const char* file :
         {"tree/a.txt", "tree/sub/b.LRC", "tree/sub/deeper/c.kra", "tree/notes.doc",
          "tree/.dot.txt", "tree/.hidden/d.txt", "outside/e.txt", "outside/f.txt"}) {
        QFile out(root.filePath(QString::fromUtf8(file)));
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    }
#ifdef Q_OS_UNIX
    // Only the platforms whose links anyone can make: a link to a file counts as the file.
    ASSERT_TRUE(QFile::link(root.filePath(QStringLiteral("outside")),
                            root.filePath(QStringLiteral("tree/linked"))));
    ASSERT_TRUE(QFile::link(root.filePath(QStringLiteral("outside/f.txt")),
                            root.filePath(QStringLiteral("tree/g.txt"))));
    ASSERT_TRUE(QFile::link(root.filePath(QStringLiteral("nowhere.txt")),
                            root.filePath(QStringLiteral("tree/broken.txt"))));
    // Names that are not UTF-8: the lyrics file and the folder that could hold lyrics files
    // are reported; a song, and a hidden file, are passed over like any other of their kind.
    const QByteArray tree = QFile::encodeName(root.filePath(QStringLiteral("tree/")));
    ASSERT_EQ(::mkdir((tree + "\x89\xcc").constData(), 0700), 0);
    for (const QByteArray& name : {QByteArray("a\xff"
                                              "b.txt"),
                                   QByteArray("a\xff"
                                              "b.mp3"),
                                   QByteArray(".\xff.txt"), QByteArray("\x89\xcc/h.txt")}) {
        const int file = ::open((tree + name).constData(), O_WRONLY | O_CREAT, 0600);
        ASSERT_GE(file, 0);
        ::close(file);
    }
#endif

    const CollectedLyricsFiles collected =
        collectLyricsFiles({root.filePath(QStringLiteral("tree"))});

    QStringList expected;
    for (const char* file : {"tree/a.txt",
#ifdef Q_OS_UNIX
                             "tree/g.txt",
#endif
                             "tree/sub/b.LRC", "tree/sub/deeper/c.kra"}) {
        expected << QDir::toNativeSeparators(
            QDir::cleanPath(root.filePath(QString::fromUtf8(file))));
    }
    EXPECT_EQ(collected.files, expected);
#ifdef Q_OS_UNIX
    QStringList warnings = collected.warnings;
    warnings.sort();
    const QString shownTree = root.filePath(QStringLiteral("tree/"));
    EXPECT_EQ(warnings, QStringList({QStringLiteral("ファイル名が UTF-8 ではないので読めません: ") +
                                         shownTree + QStringLiteral("a\\xffb.txt"),
                                     QStringLiteral("フォルダ名が UTF-8 ではないので開けません: ") +
                                         shownTree + QStringLiteral("\\x89\\xcc")}));
    EXPECT_EQ(collected.passedOver, 2);
    // Qt cannot name these files either, so it could not remove them.
    std::filesystem::remove_all(QFile::encodeName(temp.path()).toStdString());
#else
    EXPECT_TRUE(collected.warnings.isEmpty());
#endif
}

} // namespace
} // namespace tavorin
