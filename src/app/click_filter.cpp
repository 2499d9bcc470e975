#include "app/click_filter.h"

#include <QEvent>
#include <QMouseEvent>
#include <QWidget>

namespace tavorin {

ClickFilter* ClickFilter::watch(QWidget* target) {
    auto* filter = new ClickFilter(target);
    target->installEventFilter(filter);
    return filter;
}

bool ClickFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        emit clicked();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace tavorin
