// SPDX-License-Identifier: GPL-3.0-or-later
// Turns SIGTERM, SIGINT and SIGHUP into an orderly quit through the event loop.
#pragma once

#include <QObject>

class QSocketNotifier;

namespace nabrix {

class UnixSignalWatcher : public QObject {
    Q_OBJECT
public:
    // Installs handlers for SIGTERM, SIGINT and SIGHUP (the session or terminal went away:
    // no reason to lose the socket's clean removal or unsaved changes); one per process.
    explicit UnixSignalWatcher(QObject* parent = nullptr);
    ~UnixSignalWatcher() override;

Q_SIGNALS:
    void terminationRequested();

private:
    QSocketNotifier* m_notifier = nullptr;
};

} // namespace nabrix
