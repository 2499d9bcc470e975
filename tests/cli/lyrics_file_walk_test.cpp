#include "cli/lyrics_file_walk.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace tavorin {
namespace {

using namespace Qt::Literals::StringLiterals;

// Hidden names and links to folders are left out (a link back up would loop); a lyrics file
// or folder whose name is not UTF-8 is reported, never dropped in silence.
TEST(LyricsFileWalk, TakesVisibleLyricsFilesAndReportsNamesThatAreNotUtf8) {
    QTemporaryDir temp;
    const std::string tree = QFile::encodeName(temp.path()).toStdString() + "/tree/";
    for (const char* folder : {"sub/deeper", ".hidden", "\x89\xcc"}) {
        std::filesystem::create_directories(tree + folder);
    }
    for (const char* file : {"a.txt", "sub/b.LRC", "sub/deeper/c.kra", "notes.doc", ".dot.txt",
                             ".hidden/d.txt", "\x89\xcc/h.txt",
                             "a\xff"
                             "b.txt",
                             "a\xff"
                             "b.mp3",
                             ".\xff.txt"}) {
        std::ofstream(tree + file).put('a');
    }
    std::filesystem::create_directory_symlink(tree + "sub", tree + "linked");
    std::filesystem::create_symlink(tree + "a.txt", tree + "g.txt");
    std::filesystem::create_symlink(tree + "nowhere.txt", tree + "broken.txt");

    const QString root = QFile::decodeName(tree.c_str());
    const CollectedLyricsFiles collected = collectLyricsFiles({root});
    EXPECT_EQ(collected.files, QStringList({root + "a.txt"_L1, root + "g.txt"_L1,
                                            root + "sub/b.LRC"_L1, root + "sub/deeper/c.kra"_L1}));
    QStringList warnings = collected.warnings;
    warnings.sort();
    EXPECT_EQ(
        warnings,
        QStringList({u"ファイル名が UTF-8 ではないので読めません: "_s + root + "a\\xffb.txt"_L1,
                     u"フォルダ名が UTF-8 ではないので開けません: "_s + root + "\\x89\\xcc"_L1}));
    EXPECT_EQ(collected.passedOver, 2);
    std::filesystem::remove_all(tree); // Qt cannot name these files to remove them
}

} // namespace
} // namespace tavorin
