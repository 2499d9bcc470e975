#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

namespace tavorin {

// How a second start of the wizard brings the running one to the front: the running wizard
// listens on a local socket beside its single-instance lock; a second start connects to it,
// which is the whole request, and ends.
class ShowRequestChannel : public QObject {
    Q_OBJECT
public:
    explicit ShowRequestChannel(QString socketPath, QObject* parent = nullptr);

    // The running wizard, holding the lock: from now on a second start reaches it. A socket a
    // crashed instance left behind is removed first; false when the socket cannot be made.
    bool listen();
    // A second start: asks the running wizard to come to the front. False when none answered.
    bool askToShow() const;

signals:
    void showRequested();

private:
    QString path;
    QLocalServer* server = nullptr;
};

} // namespace tavorin
