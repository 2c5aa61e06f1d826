// The real program started twice for one user and history: the second start hands over to
// the first and exits, copies are recorded once, and a crashed instance is replaced.
#include "x11_harness.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using nabrix::testing::x11::storedTexts;

namespace {

bool copyWithXclip(const QByteArray& text)
{
    QProcess xclip;
    xclip.start(QStringLiteral("xclip"),
                {QStringLiteral("-selection"), QStringLiteral("clipboard")});
    if (!xclip.waitForStarted())
        return false;
    xclip.write(text);
    xclip.closeWriteChannel();
    // xclip forks a child that owns the selection and exits itself at once.
    return xclip.waitForFinished(10000) && xclip.exitCode() == 0;
}

// One user's home: its own history, settings and runtime directory.
class Home {
public:
    Home()
    {
        m_usable = m_dir.isValid() && QDir().mkpath(runtimeDirectory()) &&
                   QFile::setPermissions(runtimeDirectory(),
                                         QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    bool isUsable() const { return m_usable; }
    QString history() const
    {
        return m_dir.filePath(QStringLiteral("data/nabrix/history.sqlite3"));
    }
    QString runtimeDirectory() const { return m_dir.filePath(QStringLiteral("runtime")); }
    QStringList sockets() const
    {
        return QDir(runtimeDirectory()).entryList({QStringLiteral("nabrix-*")}, QDir::System);
    }

    std::unique_ptr<QProcess> start() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), m_dir.path());
        env.insert(QStringLiteral("XDG_DATA_HOME"), m_dir.filePath(QStringLiteral("data")));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_dir.filePath(QStringLiteral("config")));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDirectory());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        auto program = std::make_unique<QProcess>();
        program->setProcessEnvironment(env);
        program->setProcessChannelMode(QProcess::ForwardedChannels);
        program->start(QStringLiteral(NABRIX_BINARY), {});
        return program;
    }

private:
    QTemporaryDir m_dir;
    bool m_usable = false;
};

bool exitedCleanly(QProcess& program)
{
    return program.waitForFinished(20000) && program.exitStatus() == QProcess::NormalExit &&
           program.exitCode() == 0;
}

} // namespace

class TestSingleInstanceX11 : public QObject {
    Q_OBJECT

    Home m_home;
    std::unique_ptr<QProcess> m_running;
    int m_probes = 0;

    // Copies fresh texts until the instance of `home` records one: it is capturing then.
    bool waitUntilCapturing(const Home& home)
    {
        for (int attempt = 0; attempt < 40; ++attempt) {
            const QByteArray probe = "probe " + QByteArray::number(++m_probes);
            if (!copyWithXclip(probe))
                return false;
            for (int poll = 0; poll < 10; ++poll) {
                QTest::qWait(100);
                if (storedTexts(home.history()).contains(QString::fromLatin1(probe)))
                    return true;
            }
        }
        return false;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY2(!qEnvironmentVariableIsEmpty("DISPLAY"),
                 "needs an X server: run via scripts/with-x11");
        QVERIFY2(!QStandardPaths::findExecutable(QStringLiteral("xclip")).isEmpty(),
                 "xclip is missing");
        QVERIFY(m_home.isUsable());
    }

    void secondStartHandsOverAndExits()
    {
        m_running = m_home.start();
        QVERIFY(m_running->waitForStarted());
        QVERIFY2(waitUntilCapturing(m_home), "the first instance never recorded a copy");

        auto second = m_home.start();
        QVERIFY(exitedCleanly(*second));
        QCOMPARE(m_running->state(), QProcess::Running);
        QCOMPARE(m_home.sockets().size(), 1);
    }

    void copyIsRecordedOnce()
    {
        QVERIFY(copyWithXclip("copied while a second start came and went"));
        QTRY_VERIFY_WITH_TIMEOUT(
            storedTexts(m_home.history())
                .contains(QStringLiteral("copied while a second start came and went")),
            5000);
        // Give a second capturer, were there one, several polls to record it again.
        QTest::qWait(2000);
        QCOMPARE(storedTexts(m_home.history())
                     .count(QStringLiteral("copied while a second start came and went")),
                 1);
    }

    void crashedInstanceIsReplaced()
    {
        m_running->kill();
        QVERIFY(m_running->waitForFinished(20000));
        QCOMPARE(m_running->exitStatus(), QProcess::CrashExit);
        // The crash left its socket behind.
        QCOMPARE(m_home.sockets().size(), 1);

        m_running = m_home.start();
        QVERIFY(m_running->waitForStarted());
        QVERIFY2(waitUntilCapturing(m_home), "the restarted instance never recorded a copy");
        QCOMPARE(m_running->state(), QProcess::Running);

        // It listens on the recovered socket: the next start hands over to it.
        auto next = m_home.start();
        QVERIFY(exitedCleanly(*next));
        QCOMPARE(m_running->state(), QProcess::Running);
    }

    void simultaneousStartsLeaveOneRunning()
    {
        Home other;
        QVERIFY(other.isUsable());
        auto a = other.start();
        auto b = other.start();
        QVERIFY(a->waitForStarted());
        QVERIFY(b->waitForStarted());
        // Were both to listen, neither would ever exit.
        QTRY_VERIFY_WITH_TIMEOUT(
            a->state() == QProcess::NotRunning || b->state() == QProcess::NotRunning, 20000);
        QProcess& ended = a->state() == QProcess::NotRunning ? *a : *b;
        QProcess& survivor = &ended == a.get() ? *b : *a;
        QCOMPARE(ended.exitStatus(), QProcess::NormalExit);
        QCOMPARE(ended.exitCode(), 0);
        QCOMPARE(survivor.state(), QProcess::Running);
        QVERIFY2(waitUntilCapturing(other), "the remaining instance never recorded a copy");
        survivor.terminate();
        QVERIFY(exitedCleanly(survivor));
        // An orderly end removes the socket.
        QCOMPARE(other.sockets(), QStringList());
    }

    void cleanupTestCase()
    {
        if (m_running == nullptr)
            return;
        m_running->terminate();
        QVERIFY(exitedCleanly(*m_running));
    }
};

QTEST_GUILESS_MAIN(TestSingleInstanceX11)
#include "tst_single_instance_x11.moc"
