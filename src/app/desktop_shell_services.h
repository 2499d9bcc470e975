#pragma once

#include "app/shell_services.h"

namespace tavorin {

// The real desktop: Qt's message box, folder chooser and QDesktopServices.
class DesktopShellServices : public ShellServices {
public:
    void showMessage(QWidget* owner, const QString& text) override;
    bool askQuestion(QWidget* owner, const QString& text) override;
    QString chooseFolder(QWidget* owner, const QString& title, const QString& startFolder) override;
    QString chooseSaveFile(QWidget* owner, const QString& title, const QString& suggested) override;
    bool openUrl(const QUrl& url) override;
};

} // namespace tavorin
