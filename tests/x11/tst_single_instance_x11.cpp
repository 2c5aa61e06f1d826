// SPDX-License-Identifier: GPL-3.0-or-later
// The real program started twice for one user and history: the second start hands over to
// the first and exits, copies are recorded once, and a crashed instance is replaced.
#include "x11_harness.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <cstdio>
#include <memory>
#include <vector>

namespace x11 = nabrix::testing::x11;
using x11::copyWithXclip;
using x11::ProgramHome;
using x11::storedTexts;

namespace {

QStringList sockets(const ProgramHome& home)
{
    return QDir(home.runtimeDirectory()).entryList({QStringLiteral("nabrix-*")}, QDir::System);
}

QByteArray fate(const QProcess& program)
{
    if (program.state() != QProcess::NotRunning)
        return "still running";
    if (program.exitStatus() == QProcess::CrashExit)
        return "killed by signal " + QByteArray::number(program.exitCode());
    return "exited with status " + QByteArray::number(program.exitCode());
}

} // namespace

class TestSingleInstanceX11 : public QObject {
    Q_OBJECT

    ProgramHome m_home;
    // Every start of the current test function and the instance kept running for the next,
    // so that a failure can tell what became of each.
    std::vector<std::unique_ptr<QProcess>> m_started;
    QProcess* m_running = nullptr;
    int m_probes = 0;

    QProcess& start(const ProgramHome& home, const QString& role)
    {
        auto program = std::make_unique<QProcess>();
        program->setObjectName(role);
        program->setProcessEnvironment(home.environment());
        program->setProcessChannelMode(QProcess::ForwardedOutputChannel);
        program->start(QStringLiteral(NABRIX_BINARY), {});
        return *m_started.emplace_back(std::move(program));
    }

    // Copies fresh texts until the instance of `home` records one: it is capturing then.
    bool waitUntilCapturing(const ProgramHome& home)
    {
        for (int attempt = 0; attempt < 40; ++attempt) {
            const QByteArray probe = "probe " + QByteArray::number(++m_probes);
            if (!copyWithXclip(probe))
                return false;
            for (int poll = 0; poll < 10; ++poll) {
                QTest::qWait(100);
                if (storedTexts(home.historyPath()).contains(QString::fromLatin1(probe)))
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
        m_running = &start(m_home, QStringLiteral("first instance"));
        QVERIFY(m_running->waitForStarted());
        QVERIFY2(waitUntilCapturing(m_home), "the first instance never recorded a copy");

        QVERIFY(x11::exitsCleanly(start(m_home, QStringLiteral("second start"))));
        QCOMPARE(m_running->state(), QProcess::Running);
        QCOMPARE(sockets(m_home).size(), 1);
    }

    void copyIsRecordedOnce()
    {
        QVERIFY(copyWithXclip("copied while a second start came and went"));
        QTRY_VERIFY_WITH_TIMEOUT(
            storedTexts(m_home.historyPath())
                .contains(QStringLiteral("copied while a second start came and went")),
            5000);
        // Give a second capturer, were there one, several polls to record it again.
        QTest::qWait(2000);
        QCOMPARE(storedTexts(m_home.historyPath())
                     .count(QStringLiteral("copied while a second start came and went")),
                 1);
    }

    void crashedInstanceIsReplaced()
    {
        m_running->kill();
        QVERIFY(m_running->waitForFinished(20000));
        QCOMPARE(m_running->exitStatus(), QProcess::CrashExit);
        // The crash left its socket behind.
        QCOMPARE(sockets(m_home).size(), 1);

        m_running = &start(m_home, QStringLiteral("restarted instance"));
        QVERIFY(m_running->waitForStarted());
        QVERIFY2(waitUntilCapturing(m_home), "the restarted instance never recorded a copy");
        QCOMPARE(m_running->state(), QProcess::Running);

        // It listens on the recovered socket: the next start hands over to it.
        QVERIFY(x11::exitsCleanly(start(m_home, QStringLiteral("start after the restart"))));
        QCOMPARE(m_running->state(), QProcess::Running);
    }

    void simultaneousStartsLeaveOneRunning()
    {
        ProgramHome other;
        QVERIFY(other.isUsable());
        QProcess& a = start(other, QStringLiteral("simultaneous start A"));
        QProcess& b = start(other, QStringLiteral("simultaneous start B"));
        QVERIFY(a.waitForStarted());
        QVERIFY(b.waitForStarted());
        // Were both to listen, neither would ever exit.
        QTRY_VERIFY_WITH_TIMEOUT(
            a.state() == QProcess::NotRunning || b.state() == QProcess::NotRunning, 20000);
        QProcess& ended = a.state() == QProcess::NotRunning ? a : b;
        QProcess& survivor = &ended == &a ? b : a;
        QCOMPARE(ended.exitStatus(), QProcess::NormalExit);
        QCOMPARE(ended.exitCode(), 0);
        QCOMPARE(survivor.state(), QProcess::Running);
        QVERIFY2(waitUntilCapturing(other), "the remaining instance never recorded a copy");
        QVERIFY(x11::terminatesCleanly(survivor));
        // An orderly end removes the socket.
        QCOMPARE(sockets(other), QStringList());
    }

    // Keeps the running instance for the next function; tells on a failure what every
    // start of this one printed and how it ended.
    void cleanup()
    {
        if (QTest::currentTestFailed()) {
            for (const auto& program : m_started) {
                program->waitForFinished(0);
                std::fprintf(stderr, "--- %s, %s; its standard error:\n%s",
                             qPrintable(program->objectName()), fate(*program).constData(),
                             program->readAllStandardError().constData());
            }
        }
        std::erase_if(m_started,
                      [this](const auto& program) { return program.get() != m_running; });
    }

    void cleanupTestCase()
    {
        if (m_running == nullptr)
            return;
        QVERIFY(x11::terminatesCleanly(*m_running));
    }
};

QTEST_GUILESS_MAIN(TestSingleInstanceX11)
#include "tst_single_instance_x11.moc"
