#include "app/document_url.h"
#include "app/form_main.h"
#include "app/lyrics_file_list_widget.h"
#include "app/lyrics_files_page.h"
#include "app/mode_page.h"
#include "app/other_settings_page.h"
#include "app/single_instance_lock.h"
#include "wizard_test_support.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace tavorin::test {
namespace {

const char* const settingsKeys[] = {"NewMode",           "Name",        "SongFolder",  "WinampTime",
                                    "AtFirstSameFolder", "RMP",         "Karaoke",     "AtArtist",
                                    "SilencemSec",       "DefaultTime", "IgnoreAtTag", "IgnoreOwn"};

QString stored(QSettings& store, const char* key) {
    return store.value(QStringLiteral("Init/") + QLatin1String(key)).toString();
}

// A second instance ends itself without loading or saving anything; the lock file a crashed
// instance left behind (its process no longer exists) does not block a start.
TEST(WizardStartTest, SecondInstanceEndsButAStaleLockDoesNotBlock) {
    WizardFixture fixture;
    const QString lockPath = fixture.folder.filePath(QStringLiteral("wizard.lock"));
    {
        SingleInstanceLock first(lockPath);
        ASSERT_TRUE(first.tryAcquire());
        SingleInstanceLock second(lockPath);
        EXPECT_EQ(startWizard(second, fixture.services()), nullptr);
        EXPECT_EQ(fixture.engine.initCount, 0);
        EXPECT_FALSE(QFile::exists(fixture.settingsPath));
    }
    QFile stale(lockPath);
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.write("2147483646\ntavorin-wizard\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    stale.close();
    SingleInstanceLock lock(lockPath);
    auto form = startWizard(lock, fixture.services());
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(fixture.engine.initCount, 1);
    EXPECT_EQ(form->currentPage(), 0);
}

TEST(WizardStartTest, FirstStartShowsTheDefaults) {
    WizardFixture fixture;
    FormMain& form = fixture.open();
    EXPECT_TRUE(form.modePage->opt1[0]->isChecked());
    EXPECT_EQ(
        form.modePage->lblExplain->text(),
        QStringLiteral("同名の曲ファイルの情報から、歌詞ファイルに新しく＠タグを追加します。"));
    EXPECT_EQ(fixture.engine.initCount, 1);
    // Nothing is written before the window closes.
    EXPECT_FALSE(QFile::exists(fixture.settingsPath));
}

TEST(WizardStartTest, StoredModeIsSelectedAtStartAndClosingSavesEveryKey) {
    WizardFixture fixture;
    fixture.store->setValue(QStringLiteral("Init/NewMode"), QStringLiteral("false"));
    fixture.store->setValue(QStringLiteral("Init/Name"), QStringLiteral("Tavorin"));
    fixture.store->setValue(QStringLiteral("Init/RMP"), QStringLiteral("1"));
    fixture.store->sync();

    FormMain& form = fixture.open();
    form.show();
    EXPECT_TRUE(form.modePage->opt1[1]->isChecked());
    EXPECT_EQ(form.modePage->lblExplain->text(),
              QStringLiteral("＠タグ付き歌詞ファイルと、同名の曲ファイルを比較して、歌詞のタイムタ"
                             "グ補正を行います。"));
    EXPECT_TRUE(form.wizardSettings().rmp);
    EXPECT_TRUE(form.close());

    const auto reopened = fixture.reopenStore();
    for (const char* key : settingsKeys) {
        EXPECT_TRUE(reopened->contains(QStringLiteral("Init/") + QLatin1String(key))) << key;
    }
    EXPECT_EQ(stored(*reopened, "NewMode"), QStringLiteral("False"));
    EXPECT_EQ(stored(*reopened, "Name"), QStringLiteral("Tavorin"));
    EXPECT_EQ(stored(*reopened, "RMP"), QStringLiteral("True"));
    EXPECT_EQ(stored(*reopened, "AtArtist"), QStringLiteral("False"));
}

TEST(WizardStartTest, ClosingSavesOnlyWhatAPageButtonStored) {
    WizardFixture fixture;
    FormMain& form = fixture.open();
    form.show();
    // The mode is stored the moment it is clicked.
    QTest::mouseClick(form.modePage->opt1[1], Qt::LeftButton, {}, QPoint(6, 10));
    form.lyricsFilesPage->list1->addPath(QStringLiteral("/l/a.txt"));
    form.findChild<QPushButton*>(QStringLiteral("com0to1"))->click();
    form.findChild<QPushButton*>(QStringLiteral("com1to2"))->click();
    form.findChild<QRadioButton*>(QStringLiteral("opt22_1"))->click();
    form.findChild<QPushButton*>(QStringLiteral("com2to3"))->click();
    // Changed on the Other Settings page, then the window is closed without a button.
    form.otherSettingsPage->chkKaraoke->click();
    form.otherSettingsPage->txtName->setText(QStringLiteral("unsaved"));
    EXPECT_TRUE(form.close());

    const auto reopened = fixture.reopenStore();
    EXPECT_EQ(stored(*reopened, "NewMode"), QStringLiteral("False"));
    EXPECT_EQ(stored(*reopened, "DefaultTime"), QStringLiteral("False"));
    EXPECT_EQ(stored(*reopened, "Karaoke"), QStringLiteral("True"));
    EXPECT_EQ(stored(*reopened, "Name"), QString());

    // The next start finds them.
    WizardFixture next;
    next.store = fixture.reopenStore();
    FormMain& again = next.open();
    EXPECT_TRUE(again.modePage->opt1[1]->isChecked());
    EXPECT_FALSE(again.wizardSettings().defaultTime);
}

TEST(WizardStartTest, QuickHelpOpensOnlyAnExistingDocument) {
    WizardFixture fixture;
    FormMain& form = fixture.open();
    form.show();
    form.modePage->com1Help->click();
    EXPECT_TRUE(fixture.shell.openedUrls.isEmpty());

    const QString help = fixture.folder.filePath(QStringLiteral("Tavorin補正Wizard.txt"));
    QFile file(help);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    form.modePage->com1Help->click();
    EXPECT_EQ(fixture.shell.openedUrls, QList<QUrl>{QUrl::fromLocalFile(help)});
}

TEST(DocumentUrlTest, WebAddressesPassLocalDocumentsMustExist) {
    QTemporaryDir folder;
    const QString existing = folder.filePath(QStringLiteral("help.txt"));
    QFile file(existing);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    struct Case {
        QString target;
        std::optional<QUrl> url;
    };
    const Case cases[] = {
        {QStringLiteral("https://quendel.github.io/tavorin/"),
         QUrl(QStringLiteral("https://quendel.github.io/tavorin/"))},
        {QStringLiteral("HTTP://upper.case/"), std::nullopt},
        {existing, QUrl::fromLocalFile(existing)},
        {folder.filePath(QStringLiteral("missing.txt")), std::nullopt},
        {folder.path(), std::nullopt},
        {QString(), std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(documentUrl(c.target), c.url) << c.target.toStdString();
    }
}

} // namespace
} // namespace tavorin::test
