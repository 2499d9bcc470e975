#pragma once

#include "app/form_main.h"
#include "app/shell_services.h"
#include "song/fake_playback_engine.h"

#include <QSettings>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QUrl>

#include <deque>
#include <memory>

namespace tavorin::test {

// Answers the wizard's dialogs in advance and remembers what was asked.
class FakeShellServices : public ShellServices {
public:
    void showMessage(QWidget*, const QString& text) override { messages.append(text); }
    QString chooseFolder(QWidget*, const QString& title) override {
        folderTitles.append(title);
        if (folderAnswers.empty()) {
            return {};
        }
        QString answer = folderAnswers.front();
        folderAnswers.pop_front();
        return answer;
    }
    bool openUrl(const QUrl& url) override {
        openedUrls.append(url);
        return true;
    }

    QStringList messages;
    QStringList folderTitles;
    std::deque<QString> folderAnswers;
    QList<QUrl> openedUrls;
};

// A wizard with fakes and a settings file of its own in a temporary folder.
struct WizardFixture {
    explicit WizardFixture(PlaybackEngine* realEngine = nullptr)
        : settingsPath(folder.filePath(QStringLiteral("Quendel.ini"))),
          store(std::make_unique<QSettings>(settingsPath, QSettings::IniFormat)) {
        if (realEngine != nullptr) {
            engineInUse = realEngine;
        }
    }

    WizardServices services() { return WizardServices{*engineInUse, shell, *store, folder.path()}; }
    FormMain& open() {
        form = std::make_unique<FormMain>(services());
        return *form;
    }
    // What a later start of the program reads.
    std::unique_ptr<QSettings> reopenStore() {
        return std::make_unique<QSettings>(settingsPath, QSettings::IniFormat);
    }

    QTemporaryDir folder;
    QString settingsPath;
    std::unique_ptr<QSettings> store;
    FakeShellServices shell;
    FakePlaybackEngine engine;
    PlaybackEngine* engineInUse = &engine;
    std::unique_ptr<FormMain> form;
};

} // namespace tavorin::test
