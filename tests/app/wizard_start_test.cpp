#include "app/form_main.h"
#include "app/single_instance_lock.h"
#include "run/run_test_support.h"
#include "wizard_test_support.h"

#include <QDir>
#include <QFile>

namespace tavorin::test {
namespace {

using tavorin::testing::writeBytes;

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
    }
    ASSERT_TRUE(writeBytes(lockPath, "2147483646\ntavorin-wizard\n" +
                                         QSysInfo::machineHostName().toUtf8() + "\n"));
    SingleInstanceLock lock(lockPath);
    const auto form = startWizard(lock, fixture.services());
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(fixture.engine.initCount, 1);
    EXPECT_FALSE(QFile::exists(fixture.settingsPath));
}

// A missing document, or a folder of its name, is ignored without a message.
TEST(WizardStartTest, QuickHelpOpensOnlyAnExistingDocument) {
    for (const bool asFolder : {true, false}) {
        WizardFixture fixture;
        FormMain& form = fixture.open();
        click(form, "com1Help");
        const QString help = fixture.folder.filePath(QStringLiteral("Tavorin補正Wizard.txt"));
        ASSERT_TRUE(asFolder ? QDir().mkpath(help) : writeBytes(help, {}));
        click(form, "com1Help");
        EXPECT_EQ(fixture.shell.openedUrls,
                  asFolder ? QList<QUrl>{} : QList<QUrl>{QUrl::fromLocalFile(help)});
        EXPECT_TRUE(fixture.shell.messages.isEmpty());
    }
}

} // namespace
} // namespace tavorin::test
