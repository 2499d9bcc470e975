#include "app/desktop_shell_services.h"

#include "app/wizard_texts.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>

namespace tavorin {

void DesktopShellServices::showMessage(QWidget* owner, const QString& text) {
    QMessageBox::information(owner, wizardTitle(), text, QMessageBox::Ok);
}

bool DesktopShellServices::askQuestion(QWidget* owner, const QString& text) {
    return QMessageBox::question(owner, wizardTitle(), text, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

QString DesktopShellServices::chooseFolder(QWidget* owner, const QString& title) {
    return QFileDialog::getExistingDirectory(owner, title, QString(), QFileDialog::ShowDirsOnly);
}

QString DesktopShellServices::chooseSaveFile(QWidget* owner, const QString& title,
                                             const QString& suggested) {
    return QFileDialog::getSaveFileName(owner, title, suggested, QStringLiteral("JSON (*.json)"));
}

bool DesktopShellServices::openUrl(const QUrl& url) {
    return QDesktopServices::openUrl(url);
}

} // namespace tavorin
