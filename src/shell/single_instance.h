// SPDX-License-Identifier: GPL-3.0-or-later
// One running program per user and history: a second start hands over to the first.
#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

namespace nabrix {

class SingleInstance : public QObject {
    Q_OBJECT
public:
    enum class ClaimResult {
        // This process listens now; later starts reach it through toggleRequested().
        Listening,
        // Another process listens and was asked to toggle its history window. Exit now.
        AnotherInstanceRuns,
        // Neither listening nor reaching an instance worked (an unusable directory, a
        // socket that does not let us in): run without the guard rather than not at all.
        Unavailable,
    };
    Q_ENUM(ClaimResult)

    // `socketPath` is the local socket's full path; the lock that serialises claims lies
    // next to it.
    explicit SingleInstance(QString socketPath, QObject* parent = nullptr);
    ~SingleInstance() override;

    // The socket of the instance that owns `dataDirectory` for the current user: in
    // $XDG_RUNTIME_DIR when it exists and is private to the user (checked as below; when
    // not, the reason goes to stderr), else in privateTemporaryDirectory(). Named after the user id
    // and a hash of the directory, so separate histories (tests with their own XDG directories)
    // never meet. Empty when no private place exists; claim() then reports Unavailable.
    static QString socketPathFor(const QString& dataDirectory);

    // "nabrix-<uid>" in the temporary directory, created 0700. Another local user could
    // create that name first and listen there, so an existing one is refused (empty result,
    // reason on stderr) unless it is a directory, not a symlink, ours and closed to others.
    static QString privateTemporaryDirectory();

    QString socketPath() const { return m_socketPath; }

    // Becomes the listener, or notifies the one that exists. A socket left behind by a
    // crashed instance (nobody answers it) is removed and taken over. Concurrent claims
    // on the same path end with exactly one listener.
    ClaimResult claim();
    bool isListening() const;

Q_SIGNALS:
    // A later start asked to show or hide the history window.
    void toggleRequested();

private:
    enum class Contact { Notified, NobodyListening, NoAnswer };
    Contact notifyRunningInstance() const;
    void acceptConnections();

    QString m_socketPath;
    QLocalServer* m_server = nullptr;
};

} // namespace nabrix
