#include "app/tool_tip_filter.h"

#include "app/place_control.h"
#include "app/wizard_texts.h"

#include <QFontMetrics>
#include <QHelpEvent>
#include <QToolTip>
#include <QWidget>

namespace tavorin {

QString wrappedToolTip(const QString& tip, const QFont& font, int widthAtMost) {
    if (QFontMetrics(font).horizontalAdvance(tip) <= widthAtMost) {
        return tip;
    }
    return QStringLiteral("<table width=\"%1\"><tr><td>%2</td></tr></table>")
        .arg(widthAtMost)
        .arg(keepAtTagWhole(tip.toHtmlEscaped()));
}

void ToolTipFilter::watchAll(QWidget* window) {
    auto* filter = new ToolTipFilter(window);
    for (QWidget* control : window->findChildren<QWidget*>()) {
        if (!control->toolTip().isEmpty()) {
            control->installEventFilter(filter);
        }
    }
}

bool ToolTipFilter::eventFilter(QObject* watched, QEvent* event) {
    auto* control = qobject_cast<QWidget*>(watched);
    if (event->type() != QEvent::ToolTip || control == nullptr || control->toolTip().isEmpty()) {
        return QObject::eventFilter(watched, event);
    }
    QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(),
                       wrappedToolTip(control->toolTip(), control->font(), pageSize.width()),
                       control, QRect(), control->toolTipDuration());
    return true;
}

} // namespace tavorin
