// Turns SIGTERM and SIGINT into an orderly quit through the event loop.
#pragma once

#include <QObject>

class QSocketNotifier;

namespace nabrix {

class UnixSignalWatcher : public QObject {
    Q_OBJECT
public:
    // Installs handlers for SIGTERM and SIGINT; one watcher per process.
    explicit UnixSignalWatcher(QObject* parent = nullptr);
    ~UnixSignalWatcher() override;

Q_SIGNALS:
    void terminationRequested();

private:
    QSocketNotifier* m_notifier = nullptr;
};

} // namespace nabrix
