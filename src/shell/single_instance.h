// SPDX-License-Identifier: GPL-3.0-or-later
// One running program per user and history: a second start hands over to the first.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QObject>
#include <QString>
#include <functional>

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

    // Answers the command line's requests: takes a request's body, returns the reply's.
    // Without one, such requests are answered as malformed.
    using RequestHandler = std::function<QByteArray(QByteArrayView request)>;
    void setRequestHandler(RequestHandler handler) { m_requestHandler = std::move(handler); }

Q_SIGNALS:
    // A later start asked to show or hide the history window.
    void toggleRequested();

private:
    enum class Contact { Notified, NobodyListening, NoAnswer };
    Contact notifyRunningInstance() const;
    void acceptConnections();

    QString m_socketPath;
    QLocalServer* m_server = nullptr;
    RequestHandler m_requestHandler;
};

} // namespace nabrix
