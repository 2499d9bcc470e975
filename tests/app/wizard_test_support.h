#pragma once

#include "app/form_main.h"
#include "app/shell_services.h"
#include "song/fake_playback_engine.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <memory>

namespace tavorin::test {

// One application object for every GUI test, off the user's display and away from their files.
struct QtTestEnvironment : ::testing::Environment {
    void SetUp() override {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        QStandardPaths::setTestModeEnabled(true);
        application = std::make_unique<QApplication>(argc, argv);
    }
    void TearDown() override { application.reset(); }

    int argc = 1;
    char name[9] = "test_app";
    char* argv[2] = {name, nullptr};
    std::unique_ptr<QApplication> application;
};
// Inline: registered once, however many test files include this header.
inline ::testing::Environment* const qtTestEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtTestEnvironment);

// What the wizard works with, faked: its dialogs answered in advance (what was asked is kept),
// an engine that counts its starts, and a settings file of its own in a temporary folder.
struct WizardFixture : ShellServices {
    void showMessage(QWidget*, const QString& text) override { messages.append(text); }
    // Asked questions are kept with the messages; each takes the next answer, else No.
    bool askQuestion(QWidget*, const QString& text) override {
        messages.append(text);
        return !answers.isEmpty() && answers.takeFirst();
    }
    QString chooseFolder(QWidget*, const QString&, const QString& startFolder) override {
        chooserStart = startFolder;
        return folderAnswer;
    }
    QString chooseSaveFile(QWidget*, const QString&, const QString&) override {
        return saveAnswer;
    }
    bool openUrl(const QUrl& url) override {
        openedUrls.append(url);
        return true;
    }
    WizardServices services() {
        return WizardServices{engine, *this, store, folder.path(), folder.filePath(QStringLiteral("runs"))};
    }
    // What a later start of the program reads under the given keys (joined by '|').
    QString stored(const char* keys) const {
        const QSettings later(store.fileName(), QSettings::IniFormat);
        QStringList values;
        for (const QString& key : QString::fromLatin1(keys).split(QLatin1Char('|'))) {
            values.append(later.value(QStringLiteral("Init/") + key).toString());
        }
        return values.join(QLatin1Char('|'));
    }

    QStringList messages;
    QList<bool> answers;
    QString folderAnswer; // empty: the user cancels
    QString chooserStart; // where the folder chooser last opened
    QString saveAnswer;
    QList<QUrl> openedUrls;
    FakePlaybackEngine engine;
    QTemporaryDir folder;
    QSettings store{folder.filePath(QStringLiteral("Quendel.ini")), QSettings::IniFormat};
};

template <typename Control = QAbstractButton>
Control* control(const QWidget& root, const char* name) {
    auto* found = root.findChild<Control*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

// Mouse clicks as the user makes them, one control after the other: only a control shown and
// enabled takes one, and check boxes and option buttons only on their box.
inline void click(const QWidget& root, std::initializer_list<const char*> names) {
    for (const char* name : names) {
        auto* button = control(root, name);
        ASSERT_TRUE(button != nullptr && button->isVisible() && button->isEnabled()) << name;
        const bool boxed = qobject_cast<QPushButton*>(button) == nullptr;
        QTest::mouseClick(button, Qt::LeftButton, {},
                          boxed ? QPoint(6, button->height() / 2) : button->rect().center());
    }
}

} // namespace tavorin::test
