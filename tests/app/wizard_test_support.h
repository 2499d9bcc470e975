#pragma once

#include "app/form_main.h"
#include "app/shell_services.h"
#include "song/fake_playback_engine.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QPushButton>
#include <QSettings>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <memory>

namespace tavorin::test {

// Answers the wizard's dialogs in advance and remembers what was asked.
class FakeShellServices : public ShellServices {
public:
    void showMessage(QWidget*, const QString& text) override { messages.append(text); }
    QString chooseFolder(QWidget*, const QString&) override { return folderAnswer; }
    bool openUrl(const QUrl& url) override {
        openedUrls.append(url);
        return true;
    }

    QStringList messages;
    QString folderAnswer; // empty: the user cancels
    QList<QUrl> openedUrls;
};

// A wizard with fakes and a settings file of its own in a temporary folder.
struct WizardFixture {
    explicit WizardFixture(PlaybackEngine* realEngine = nullptr)
        : engineInUse(realEngine != nullptr ? realEngine : &engine) {}

    WizardServices services() { return WizardServices{*engineInUse, shell, *store, folder.path()}; }
    FormMain& open() {
        form = std::make_unique<FormMain>(services());
        form->show();
        return *form;
    }
    // What a later start of the program reads.
    std::unique_ptr<QSettings> reopenStore() const {
        return std::make_unique<QSettings>(settingsPath, QSettings::IniFormat);
    }

    QTemporaryDir folder;
    QString settingsPath = folder.filePath(QStringLiteral("Quendel.ini"));
    std::unique_ptr<QSettings> store = reopenStore();
    FakeShellServices shell;
    FakePlaybackEngine engine;
    PlaybackEngine* engineInUse;
    std::unique_ptr<FormMain> form;
};

template <typename Control> Control* control(const QWidget& root, const char* name) {
    auto* found = root.findChild<Control*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

inline bool checked(const QWidget& root, const char* name) {
    return control<QAbstractButton>(root, name)->isChecked();
}

// A mouse click as the user makes it: only a control shown and enabled takes it, and check
// boxes and option buttons only on their box.
inline void click(const QWidget& root, const char* name) {
    auto* button = control<QAbstractButton>(root, name);
    ASSERT_NE(button, nullptr);
    ASSERT_TRUE(button->isVisible() && button->isEnabled()) << name;
    const bool boxed = qobject_cast<QPushButton*>(button) == nullptr;
    QTest::mouseClick(button, Qt::LeftButton, {},
                      boxed ? QPoint(6, button->height() / 2) : button->rect().center());
}

} // namespace tavorin::test
