// SPDX-License-Identifier: GPL-3.0-or-later
// One running program per user and history: a second start hands over to the first.
#include "shell/single_instance.h"

#include "app/command_protocol.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace nabrix {

namespace {

const QByteArray toggleRequest = QByteArrayLiteral("toggle\n");
// A listener accepts at kernel level even while its event loop is busy, so these only
// run out when something is badly wrong.
constexpr int answerTimeoutMs = 3000;
constexpr int lockTimeoutMs = 5000;

// Serialises claims on one socket path. A kernel lock (flock) rather than a lock file's
// contents: it is released when its holder exits, crash or not, so it never goes stale, and
// waiters get it as soon as it is free. The file itself stays; removing it would race.
class ClaimLock {
public:
    explicit ClaimLock(const QString& path)
        : m_fd(::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600))
    {
        const QDeadlineTimer deadline(lockTimeoutMs);
        while (m_fd >= 0 && ::flock(m_fd, LOCK_EX | LOCK_NB) != 0) {
            if ((errno != EWOULDBLOCK && errno != EINTR) || deadline.hasExpired()) {
                ::close(m_fd);
                m_fd = -1;
            } else {
                QThread::msleep(5);
            }
        }
    }
    ~ClaimLock()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    ClaimLock(const ClaimLock&) = delete;
    ClaimLock& operator=(const ClaimLock&) = delete;

    bool isHeld() const { return m_fd >= 0; }

private:
    int m_fd;
};

// Why `name` may not hold our socket, or null. Anyone who can write to the directory can
// put a socket of their own under our name and be taken for the running instance, so it
// must be a real directory (lstat: not a symlink), ours and closed to everyone else.
const char* unsafeDirectoryProblem(const QByteArray& name, int& error)
{
    struct stat status {};
    if (::lstat(name.constData(), &status) != 0) {
        error = errno;
        return "cannot be inspected";
    }
    if (S_ISLNK(status.st_mode))
        return "is a symbolic link";
    if (!S_ISDIR(status.st_mode))
        return "is not a directory";
    if (status.st_uid != ::getuid())
        return "belongs to another user";
    if ((status.st_mode & (S_IRWXG | S_IRWXO)) != 0)
        return "is open to other users";
    return nullptr;
}

void reportUnsafeDirectory(const QByteArray& name, const char* problem, int error,
                           const char* consequence)
{
    if (error != 0)
        std::fprintf(stderr, "nabrix: %s %s (%s); %s\n", name.constData(), problem,
                     std::strerror(error), consequence);
    else
        std::fprintf(stderr, "nabrix: %s %s; %s\n", name.constData(), problem, consequence);
}

} // namespace

SingleInstance::SingleInstance(QString socketPath, QObject* parent)
    : QObject(parent)
    , m_socketPath(std::move(socketPath))
{
}

// The server, a child, closes on destruction and removes its socket file.
SingleInstance::~SingleInstance() = default;

QString SingleInstance::privateTemporaryDirectory()
{
    QString path = QDir(QDir::tempPath())
                       .absoluteFilePath(QStringLiteral("nabrix-") + QString::number(::getuid()));
    const QByteArray name = QFile::encodeName(path);
    if (::mkdir(name.constData(), 0700) != 0 && errno != EEXIST) {
        std::fprintf(stderr, "nabrix: cannot create %s: %s\n", name.constData(),
                     std::strerror(errno));
        return {};
    }
    // It may have been there before us: in a shared temporary directory anyone can create
    // that name first. Once it is ours and private, the sticky bit keeps others from
    // swapping it.
    int error = 0;
    if (const char* problem = unsafeDirectoryProblem(name, error)) {
        reportUnsafeDirectory(name, problem, error,
                              "running without the check for another instance");
        return {};
    }
    return path;
}

QString SingleInstance::socketPathFor(const QString& dataDirectory)
{
    QString directory;
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QFileInfo::exists(runtime)) {
        // Normally made private by the login manager, but only the environment says so.
        const QByteArray name = QFile::encodeName(runtime);
        int error = 0;
        if (const char* problem = unsafeDirectoryProblem(name, error))
            reportUnsafeDirectory(name, problem, error, "looking elsewhere for another instance");
        else
            directory = runtime;
    }
    if (directory.isEmpty())
        directory = privateTemporaryDirectory();
    if (directory.isEmpty())
        return {};
    const QByteArray digest = QCryptographicHash::hash(QDir::cleanPath(dataDirectory).toUtf8(),
                                                       QCryptographicHash::Sha256)
                                  .toHex()
                                  .left(16);
    return directory + QStringLiteral("/nabrix-") + QString::number(::getuid()) + u'-' +
           QString::fromLatin1(digest);
}

SingleInstance::ClaimResult SingleInstance::claim()
{
    if (isListening())
        return ClaimResult::Listening;
    if (m_socketPath.isEmpty())
        return ClaimResult::Unavailable;

    // Only the holder of this lock may remove a socket it found dead: without it, two starts
    // after a crash could each remove the socket the other had just created, and both listen.
    const ClaimLock lock(m_socketPath + QStringLiteral(".lock"));

    // Something that did not let us in (a wedged instance, a stranger's socket) is not known
    // to be an instance of ours: taking its place could leave two capturers running,
    // exiting could leave none.
    const auto contacted = [](Contact contact) {
        return contact == Contact::Notified ? ClaimResult::AnotherInstanceRuns
                                            : ClaimResult::Unavailable;
    };
    if (const Contact contact = notifyRunningInstance(); contact != Contact::NobodyListening)
        return contacted(contact);

    auto server = std::make_unique<QLocalServer>();
    if (!server->listen(m_socketPath)) {
        if (server->serverError() != QAbstractSocket::AddressInUseError)
            return ClaimResult::Unavailable;
        // The path exists but nobody answered a moment ago: a crashed instance's socket.
        // Without the lock (a claimer wedged while holding it) we look once more.
        if (!lock.isHeld()) {
            if (const Contact contact = notifyRunningInstance();
                contact != Contact::NobodyListening)
                return contacted(contact);
        }
        QLocalServer::removeServer(m_socketPath);
        if (!server->listen(m_socketPath))
            return ClaimResult::Unavailable;
    }
    m_server = server.release();
    m_server->setParent(this);
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::acceptConnections);
    return ClaimResult::Listening;
}

bool SingleInstance::isListening() const
{
    return m_server != nullptr && m_server->isListening();
}

SingleInstance::Contact SingleInstance::notifyRunningInstance() const
{
    QLocalSocket socket;
    socket.connectToServer(m_socketPath);
    if (!socket.waitForConnected(answerTimeoutMs)) {
        switch (socket.error()) {
        case QLocalSocket::ServerNotFoundError:
        case QLocalSocket::ConnectionRefusedError:
            return Contact::NobodyListening;
        default: {
            // A connection still pending has no error of its own yet.
            const QString reason = socket.state() == QLocalSocket::ConnectingState
                                       ? QStringLiteral("no answer in %1 ms").arg(answerTimeoutMs)
                                       : socket.errorString();
            std::fprintf(stderr,
                         "nabrix: cannot reach what listens on %s (%s); running without the "
                         "check for another instance\n",
                         qUtf8Printable(m_socketPath), qUtf8Printable(reason));
            return Contact::NoAnswer;
        }
        }
    }
    socket.write(toggleRequest);
    socket.flush();
    socket.waitForBytesWritten(answerTimeoutMs);
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState)
        socket.waitForDisconnected(answerTimeoutMs);
    return Contact::Notified;
}

void SingleInstance::acceptConnections()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        // Owned by the server until it goes away with its connection.
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        auto received = std::make_shared<QByteArray>();
        const auto readRequest = [this, socket, received] {
            // A request is never read past its bound: readFrame() refuses a longer one
            // from its header.
            received->append(socket->read(protocol::maxRequestSize + 64 - received->size()));
            if (received->startsWith(toggleRequest)) {
                Q_EMIT toggleRequested();
                socket->disconnectFromServer();
                return;
            }
            if (toggleRequest.startsWith(*received))
                return;
            const protocol::Frame request =
                protocol::readFrame(*received, protocol::requestKind, protocol::maxRequestSize);
            if (request.state == protocol::Frame::State::Incomplete)
                return;
            const QByteArray reply =
                request.state == protocol::Frame::State::Complete && m_requestHandler
                    ? m_requestHandler(request.body)
                    : protocol::encodeReply({RemoteStatus::Malformed, {}, {}, {}});
            // Nothing more is read from this client.
            socket->disconnect(this);
            socket->write(protocol::frame(protocol::replyKind, reply));
            socket->disconnectFromServer();
        };
        connect(socket, &QLocalSocket::readyRead, this, readRequest);
        if (socket->bytesAvailable() > 0)
            readRequest();
    }
}

} // namespace nabrix
