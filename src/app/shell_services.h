#pragma once

#include <QString>
#include <QUrl>

class QWidget;

namespace tavorin {

// What the wizard asks of the desktop: its two message boxes, the folder chooser and handing a
// document or web address to its default handler. Tests pass their own answers in advance.
class ShellServices {
public:
    virtual ~ShellServices() = default;
    // A message box with only an OK button and the program's title.
    virtual void showMessage(QWidget* owner, const QString& text) = 0;
    // A question with Yes and No and the program's title; true for Yes.
    virtual bool askQuestion(QWidget* owner, const QString& text) = 0;
    // The chosen folder's full path, or empty when the user cancels; the chooser opens at
    // startFolder.
    virtual QString chooseFolder(QWidget* owner, const QString& title,
                                 const QString& startFolder) = 0;
    // Where to save a new file (suggested: the name offered), or empty when the user cancels.
    virtual QString chooseSaveFile(QWidget* owner, const QString& title,
                                   const QString& suggested) = 0;
    // True when the desktop accepted the address.
    virtual bool openUrl(const QUrl& url) = 0;
};

} // namespace tavorin
