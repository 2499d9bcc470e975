#include "app/desktop_shell_services.h"

#include "app/dialog_frame.h"
#include "app/wizard_texts.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>

namespace tavorin {

void DesktopShellServices::showMessage(QWidget* owner, const QString& text) {
    QMessageBox box(QMessageBox::Information, wizardTitle(), text, QMessageBox::Ok, owner);
    setDialogFrame(box);
    box.exec();
}

bool DesktopShellServices::askQuestion(QWidget* owner, const QString& text) {
    QMessageBox box(QMessageBox::Question, wizardTitle(), text,
                    QMessageBox::Yes | QMessageBox::No, owner);
    box.setDefaultButton(QMessageBox::No);
    setDialogFrame(box);
    return box.exec() == QMessageBox::Yes;
}

QString DesktopShellServices::chooseFolder(QWidget* owner, const QString& title,
                                           const QString& startFolder) {
    return QFileDialog::getExistingDirectory(owner, title, startFolder, QFileDialog::ShowDirsOnly);
}

QString DesktopShellServices::chooseSaveFile(QWidget* owner, const QString& title,
                                             const QString& suggested) {
    return QFileDialog::getSaveFileName(owner, title, suggested, QStringLiteral("JSON (*.json)"));
}

bool DesktopShellServices::openUrl(const QUrl& url) {
    return QDesktopServices::openUrl(url);
}

} // namespace tavorin
