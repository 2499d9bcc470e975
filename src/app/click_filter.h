#pragma once

#include <QObject>

class QWidget;

namespace tavorin {

// Gives a control without a click signal of its own (a picture, a label) one: a release of the
// left mouse button on it is a click, and goes no further.
class ClickFilter : public QObject {
    Q_OBJECT
public:
    // Watches target for as long as target lives.
    static ClickFilter* watch(QWidget* target);

signals:
    void clicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    using QObject::QObject;
};

} // namespace tavorin
