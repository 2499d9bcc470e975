#pragma once

#include <QWidget>

namespace tavorin {

// The frame of the wizard's dialogs (the about box, the message boxes): a title and a close
// box. A window manager adds minimise and maximise buttons to any window that does not say
// otherwise, and a dialog has no use for them.
inline void setDialogFrame(QWidget& dialog) {
    dialog.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint);
}

} // namespace tavorin
