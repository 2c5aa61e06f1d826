// SPDX-License-Identifier: GPL-3.0-or-later
// One instance per user and history: the first start listens, later ones hand over to it,
// and a socket left by a crash is taken over.
#include "shell/single_instance.h"

#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QMutex>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <latch>
#include <memory>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>

using nabrix::SingleInstance;
using ClaimResult = SingleInstance::ClaimResult;

namespace {

sockaddr_un addressOf(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, name.constData(),
                std::min(std::size_t(name.size()), sizeof(address.sun_path) - 1));
    return address;
}

// What a crashed instance leaves behind: a socket file that nobody listens on any more, and
// its claim lock's file (only a live holder's lock counts).
bool leaveStaleSocket(const QString& path)
{
    const sockaddr_un address = addressOf(path);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    const bool bound =
        ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0 &&
        ::listen(fd, 1) == 0;
    ::close(fd);
    QFile lockFile(path + QStringLiteral(".lock"));
    return bound && QFileInfo(path).exists() && lockFile.open(QIODevice::WriteOnly);
}

// A listening socket whose queue of connections not yet accepted is full.
class FullListener {
public:
    explicit FullListener(const QString& path)
    {
        const sockaddr_un address = addressOf(path);
        const auto* raw = reinterpret_cast<const sockaddr*>(&address);
        m_fds.push_back(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
        if (::bind(m_fds.front(), raw, sizeof(address)) != 0 || ::listen(m_fds.front(), 0) != 0)
            return;
        while (!m_full && m_fds.size() <= 16) {
            m_fds.push_back(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
            m_full = ::connect(m_fds.back(), raw, sizeof(address)) != 0 && errno == EAGAIN;
        }
    }
    ~FullListener() { std::for_each(m_fds.begin(), m_fds.end(), ::close); }
    FullListener(const FullListener&) = delete;
    FullListener& operator=(const FullListener&) = delete;

    bool isFull() const { return m_full; }

private:
    std::vector<int> m_fds; // the listener first, then its clients
    bool m_full = false;
};

bool somebodyAnswers(const QString& path)
{
    QLocalSocket socket;
    socket.connectToServer(path);
    return socket.waitForConnected(3000);
}

// Sets (or, for a null value, unsets) a variable until the returned guard goes.
[[nodiscard]] auto scopedEnvironment(const char* name, const QByteArray& value)
{
    const bool wasSet = qEnvironmentVariableIsSet(name);
    const QByteArray previous = qgetenv(name);
    value.isNull() ? qunsetenv(name) : qputenv(name, value);
    return qScopeGuard([=] { wasSet ? qputenv(name, previous) : qunsetenv(name); });
}

} // namespace

class TestSingleInstance : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_path;

    // Where the socket goes without $XDG_RUNTIME_DIR, with $TMPDIR at m_dir.
    QString ownPrivateDirectory() const
    {
        return m_dir->filePath(QStringLiteral("nabrix-") + QString::number(::getuid()));
    }

    // Gives `place` the unsafe shape `kind` names: a mode, "symlink", "file" or "foreign".
    void makeUnsafe(const QString& place, const QString& kind)
    {
        const QByteArray name = QFile::encodeName(place);
        if (kind == QStringLiteral("symlink")) {
            const QString target = m_dir->filePath(QStringLiteral("elsewhere"));
            QVERIFY(QDir().mkdir(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
            QVERIFY(QFile::link(target, place));
        } else if (kind == QStringLiteral("file")) {
            QFile file(place);
            QVERIFY(file.open(QIODevice::WriteOnly));
        } else {
            QCOMPARE(::mkdir(name.constData(), 0700), 0);
            if (kind == QStringLiteral("foreign")) {
                // Only root can give a directory away.
                QVERIFY2(::chown(name.constData(), 65534, 65534) == 0,
                         "handing a directory to another user needs root");
            } else {
                QCOMPARE(::chmod(name.constData(), kind.toUInt(nullptr, 8)), 0);
            }
        }
    }

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_path = m_dir->filePath(QStringLiteral("instance"));
    }

    void laterStartTogglesTheFirstInstanceAndAnOrderlyEndLeavesNothing()
    {
        {
            SingleInstance first(m_path);
            QSignalSpy toggles(&first, &SingleInstance::toggleRequested);
            QCOMPARE(first.claim(), ClaimResult::Listening);

            SingleInstance second(m_path);
            QCOMPARE(second.claim(), ClaimResult::AnotherInstanceRuns);
            QVERIFY(!second.isListening());
            QTRY_COMPARE(toggles.count(), 1);

            // Each later start is one toggle, and the first instance keeps listening.
            for (int i = 0; i < 3; ++i)
                QCOMPARE(SingleInstance(m_path).claim(), ClaimResult::AnotherInstanceRuns);
            QTRY_COMPARE(toggles.count(), 4);
            QVERIFY(first.isListening());
        }
        QVERIFY(!QFileInfo::exists(m_path));
        SingleInstance next(m_path);
        QCOMPARE(next.claim(), ClaimResult::Listening);
    }

    void unreachableSocketRunsWithoutTheGuard_data()
    {
        QTest::addColumn<bool>("listenerThere");
        QTest::newRow("missing directory") << false;
        // Connections queue up to the listen backlog and no further.
        QTest::newRow("listener that lets nobody in") << true;
    }

    void unreachableSocketRunsWithoutTheGuard()
    {
        QFETCH(bool, listenerThere);
        const QString path =
            listenerThere ? m_path : m_dir->filePath(QStringLiteral("missing/instance"));
        std::unique_ptr<FullListener> listener;
        if (listenerThere) {
            listener = std::make_unique<FullListener>(path);
            QVERIFY(listener->isFull());
        }
        SingleInstance instance(path);
        QCOMPARE(instance.claim(), ClaimResult::Unavailable);
        QVERIFY(!instance.isListening());
        if (listenerThere)
            QVERIFY(QFileInfo(path).exists());
    }

    void onlyTheToggleRequestToggles_data()
    {
        QTest::addColumn<QByteArray>("request");
        QTest::newRow("another word") << QByteArray("quit\n");
        QTest::newRow("toggle with more after it") << QByteArray("toggle now\n");
        QTest::newRow("endless line") << QByteArray(4096, 'a');
    }

    void onlyTheToggleRequestToggles()
    {
        QFETCH(QByteArray, request);
        SingleInstance first(m_path);
        QSignalSpy toggles(&first, &SingleInstance::toggleRequested);
        QCOMPARE(first.claim(), ClaimResult::Listening);

        QLocalSocket client;
        client.connectToServer(m_path);
        QVERIFY(client.waitForConnected(3000));
        client.write(request);
        // The instance hangs up once it has judged the request.
        QTRY_COMPARE(client.state(), QLocalSocket::UnconnectedState);
        QCOMPARE(toggles.count(), 0);
        QVERIFY(first.isListening());
    }

    void socketPathSeparatesHistoriesAndUsers()
    {
        const QString runtime = m_dir->filePath(QStringLiteral("runtime"));
        QVERIFY(QDir().mkdir(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        const auto environment = scopedEnvironment("XDG_RUNTIME_DIR", runtime.toUtf8());

        const QString path =
            SingleInstance::socketPathFor(QStringLiteral("/home/a/.local/share/nabrix"));
        QCOMPARE(QFileInfo(path).absolutePath(), runtime);
        QVERIFY2(QFileInfo(path).fileName().contains(QString::number(::getuid())),
                 qPrintable(path));
        QCOMPARE(SingleInstance::socketPathFor(QStringLiteral("/home/a/.local/share/nabrix/")),
                 path);
        QCOMPARE(
            SingleInstance::socketPathFor(QStringLiteral("/home/a/.local/share/../share/nabrix")),
            path);
        QVERIFY(SingleInstance::socketPathFor(QStringLiteral("/tmp/test-home/data/nabrix")) !=
                path);
    }

    void socketPathFallsBackToAPrivateTemporaryDirectory_data()
    {
        QTest::addColumn<QByteArray>("runtimeDirectory");
        QTest::addColumn<bool>("alreadyThere");
        QTest::newRow("unset") << QByteArray() << false;
        QTest::newRow("missing") << QByteArray("/nonexistent/runtime") << false;
        QTest::newRow("unset, left from an earlier run") << QByteArray() << true;
    }

    void socketPathFallsBackToAPrivateTemporaryDirectory()
    {
        QFETCH(QByteArray, runtimeDirectory);
        QFETCH(bool, alreadyThere);
        const auto runtime = scopedEnvironment("XDG_RUNTIME_DIR", runtimeDirectory);
        const auto temporary = scopedEnvironment("TMPDIR", m_dir->path().toUtf8());
        const QString expected = ownPrivateDirectory();
        if (alreadyThere)
            QVERIFY(QDir().mkdir(expected, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));

        const QString path =
            SingleInstance::socketPathFor(QStringLiteral("/home/a/.local/share/nabrix"));
        QCOMPARE(QFileInfo(path).absolutePath(), expected);
        struct stat status {};
        QCOMPARE(::lstat(QFile::encodeName(expected).constData(), &status), 0);
        QVERIFY(S_ISDIR(status.st_mode));
        QCOMPARE(status.st_uid, ::getuid());
        QCOMPARE(status.st_mode & 0777, mode_t(0700));

        SingleInstance instance(path);
        QCOMPARE(instance.claim(), ClaimResult::Listening);
    }

    void unsafeTemporaryDirectoryIsNotUsed_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("open to everyone") << QStringLiteral("0777");
        QTest::newRow("symlink to a private directory") << QStringLiteral("symlink");
        QTest::newRow("plain file") << QStringLiteral("file");
        QTest::newRow("another user's") << QStringLiteral("foreign");
    }

    // Someone else may create the directory's name first, in the shared temporary directory.
    void unsafeTemporaryDirectoryIsNotUsed()
    {
        QFETCH(QString, kind);
        const auto runtime = scopedEnvironment("XDG_RUNTIME_DIR", QByteArray());
        const auto temporary = scopedEnvironment("TMPDIR", m_dir->path().toUtf8());
        const QString place = ownPrivateDirectory();
        const QByteArray name = QFile::encodeName(place);
        makeUnsafe(place, kind);
        if (QTest::currentTestFailed())
            return;

        const QString path =
            SingleInstance::socketPathFor(QStringLiteral("/home/a/.local/share/nabrix"));
        QVERIFY2(path.isEmpty(), qPrintable(path));
        SingleInstance instance(path);
        QCOMPARE(instance.claim(), ClaimResult::Unavailable);
        // Nothing was made inside, and the place was left as it was found.
        QVERIFY(QDir(place)
                    .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System)
                    .isEmpty());
        if (kind == QStringLiteral("0777")) {
            struct stat status {};
            QCOMPARE(::lstat(name.constData(), &status), 0);
            QCOMPARE(status.st_mode & 0777, mode_t(0777));
        }
    }

    void unsafeRuntimeDirectoryIsPassedOver_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("open to everyone") << QStringLiteral("0777");
        QTest::newRow("symlink to a private directory") << QStringLiteral("symlink");
        QTest::newRow("another user's") << QStringLiteral("foreign");
    }

    // $XDG_RUNTIME_DIR comes from the environment; whoever can write there could pose as
    // the running instance with a socket of their own.
    void unsafeRuntimeDirectoryIsPassedOver()
    {
        QFETCH(QString, kind);
        const QString data = QStringLiteral("/home/a/.local/share/nabrix");
        const auto temporary = scopedEnvironment("TMPDIR", m_dir->path().toUtf8());
        const QString socketName = [&data] {
            const auto unset = scopedEnvironment("XDG_RUNTIME_DIR", QByteArray());
            return QFileInfo(SingleInstance::socketPathFor(data)).fileName();
        }();
        QVERIFY(!socketName.isEmpty());
        const QString runtime = m_dir->filePath(QStringLiteral("runtime"));
        makeUnsafe(runtime, kind);
        if (QTest::currentTestFailed())
            return;
        const auto environment = scopedEnvironment("XDG_RUNTIME_DIR", runtime.toUtf8());
        QLocalServer planted;
        QVERIFY(planted.listen(runtime + u'/' + socketName));

        const QString path = SingleInstance::socketPathFor(data);
        QCOMPARE(QFileInfo(path).absolutePath(), ownPrivateDirectory());
        SingleInstance instance(path);
        QCOMPARE(instance.claim(), ClaimResult::Listening);
        QVERIFY(!planted.waitForNewConnection(0));
    }

    void simultaneousStartsEndWithOneListener_data()
    {
        QTest::addColumn<bool>("afterCrash");
        QTest::newRow("fresh") << false;
        // One of them takes the socket over; the toggle it then hears is the first test's.
        QTest::newRow("after a crash") << true;
    }

    void simultaneousStartsEndWithOneListener()
    {
        QFETCH(bool, afterCrash);
        if (afterCrash)
            QVERIFY(leaveStaleSocket(m_path));

        constexpr int starts = 8;
        std::latch ready(starts);
        std::latch checked(1);
        QMutex mutex;
        std::vector<ClaimResult> results;
        std::vector<std::unique_ptr<QThread>> threads;
        for (int i = 0; i < starts; ++i) {
            threads.emplace_back(QThread::create([&] {
                SingleInstance instance(m_path);
                ready.arrive_and_wait();
                const ClaimResult result = instance.claim();
                {
                    const QMutexLocker locker(&mutex);
                    results.push_back(result);
                }
                // Keep every listener alive until the outcome has been looked at.
                checked.wait();
            }));
            threads.back()->start();
        }
        QTRY_COMPARE(([&] {
                         const QMutexLocker locker(&mutex);
                         return int(results.size());
                     }()),
                     starts);
        const bool reachable = somebodyAnswers(m_path);
        checked.count_down();
        for (auto& thread : threads)
            QVERIFY(thread->wait(10000));
        std::vector<ClaimResult> expected(starts, ClaimResult::AnotherInstanceRuns);
        expected.front() = ClaimResult::Listening;
        std::ranges::sort(results);
        std::ranges::sort(expected);
        QVERIFY(results == expected);
        QVERIFY(reachable);
    }
};

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_single_instance.moc"
