#include "app/mode_page.h"
#include "app/quick_help_path.h"
#include "tavorin/install_layout.h"
#include "wizard_test_support.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>

namespace tavorin::test {
namespace {

const QString helpName = QStringLiteral("Tavorin補正Wizard.txt");

enum class Entry { None, File, Folder };

void place(const QString& folder, Entry entry) {
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString path = QDir(folder).filePath(helpName);
    if (entry == Entry::File) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("help\n");
    } else if (entry == Entry::Folder) {
        ASSERT_TRUE(QDir().mkpath(path));
    }
}

// An installed tree: the program folder, and the data folder where it lies from there.
struct InstalledTree {
    InstalledTree()
        : programFolder(root.filePath(QStringLiteral("usr/bin"))),
          dataFolder(QDir::cleanPath(programFolder + QLatin1Char('/') +
                                     QLatin1String(dataFolderFromProgram))) {}
    QTemporaryDir root;
    QString programFolder;
    QString dataFolder;
};

TEST(QuickHelpPathTest, BesideTheProgramFirstThenTheDataFolder) {
    struct Case {
        const char* name;
        Entry beside;
        Entry installed;
        bool expectInstalled;
    };
    const Case cases[] = {
        {"build tree: only beside the program", Entry::File, Entry::None, false},
        {"installed: only in the data folder", Entry::None, Entry::File, true},
        {"both: the one beside the program wins", Entry::File, Entry::File, false},
        {"a folder of that name beside is no document", Entry::Folder, Entry::File, true},
        {"a folder of that name in the data folder is no document", Entry::None, Entry::Folder,
         false},
        {"neither: the path beside, which opens nothing", Entry::None, Entry::None, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        InstalledTree tree;
        place(tree.programFolder, c.beside);
        place(tree.dataFolder, c.installed);
        const QString expected =
            QDir(c.expectInstalled ? tree.dataFolder : tree.programFolder).filePath(helpName);
        EXPECT_EQ(quickHelpPath(tree.programFolder), expected);
    }
}

TEST(QuickHelpPathTest, TheInstalledWizardOpensTheDocumentInItsDataFolder) {
    InstalledTree tree;
    place(tree.dataFolder, Entry::File);
    WizardFixture fixture;
    WizardServices services = fixture.services();
    services.programFolder = tree.programFolder;
    FormMain form(services);
    form.show();
    form.modePage->com1Help->click();
    EXPECT_EQ(fixture.shell.openedUrls,
              QList<QUrl>{QUrl::fromLocalFile(QDir(tree.dataFolder).filePath(helpName))});
}

} // namespace
} // namespace tavorin::test
