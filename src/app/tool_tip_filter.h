#pragma once

#include <QObject>
#include <QString>

class QFont;
class QWidget;

namespace tavorin {

// A tool tip as shown: as it is when it fits in widthAtMost pixels of font, otherwise as rich
// text that Qt wraps at that width (Qt draws a plain tool tip on one line however long).
QString wrappedToolTip(const QString& tip, const QFont& font, int widthAtMost);

// Shows the tool tips of a window's controls wrapped at the wizard's own width; the tool tip
// texts themselves stay as they are.
class ToolTipFilter : public QObject {
    Q_OBJECT
public:
    // Watches every control of window that has a tool tip, for as long as window lives.
    static void watchAll(QWidget* window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    using QObject::QObject;
};

} // namespace tavorin
