#pragma once

#include "file_lock.h"

#include <QObject>
#include <QStringList>

#include <memory>

class QLocalServer;

namespace platform {

// One running program of a name per user: the first start holds a lock in
// the runtime folder and listens on a local socket beside it; a later start
// hands its arguments (the pictures it was asked to open) to the first over
// that socket instead of running a second program on the same settings.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(const QString& name, QObject* parent = nullptr);
    ~SingleInstance() override;

    // Whether this process is the first, and listens.
    bool isFirst() const { return m_lock.isLocked(); }
    // From a later start: gives `arguments` to the first; true once it has
    // taken them, false when it does not answer within `timeoutMs`.
    bool handOver(const QStringList& arguments, int timeoutMs = 5000) const;

Q_SIGNALS:
    // The arguments another start handed over (possibly none: it was only
    // started again), on the GUI thread.
    void handedOver(const QStringList& arguments);

private:
    void takeConnection();

    QString m_socketPath;
    FileLock m_lock;
    std::unique_ptr<QLocalServer> m_server;
};

}  // namespace platform
