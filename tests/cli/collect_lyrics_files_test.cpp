#include "cli/cli_options.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

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
#endif

    QStringList warnings;
    const QStringList files = collectLyricsFiles({root.filePath(QStringLiteral("tree"))}, warnings);

    QStringList expected;
    for (const char* file : {"tree/a.txt",
#ifdef Q_OS_UNIX
                             "tree/g.txt",
#endif
                             "tree/sub/b.LRC", "tree/sub/deeper/c.kra"}) {
        expected << QDir::toNativeSeparators(
            QDir::cleanPath(root.filePath(QString::fromUtf8(file))));
    }
    EXPECT_EQ(files, expected);
    EXPECT_TRUE(warnings.isEmpty());
}

} // namespace
} // namespace tavorin
