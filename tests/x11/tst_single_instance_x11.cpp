// SPDX-License-Identifier: GPL-3.0-or-later
// The real program started twice for one user and history: the second start hands over to
// the first and exits, and copies are recorded once.
#include "x11_harness.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <memory>

namespace x11 = nabrix::testing::x11;
using x11::copyWithXclip;
using x11::ProgramHome;
using x11::storedTexts;

namespace {

QStringList sockets(const ProgramHome& home)
{
    return QDir(home.runtimeDirectory()).entryList({QStringLiteral("nabrix-*")}, QDir::System);
}

std::unique_ptr<QProcess> start(const ProgramHome& home)
{
    return home.start(QStringLiteral(NABRIX_BINARY));
}

} // namespace

class TestSingleInstanceX11 : public QObject {
    Q_OBJECT

    ProgramHome m_home;
    std::unique_ptr<QProcess> m_running;
    int m_probes = 0;

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
        m_running = start(m_home);
        QVERIFY(m_running->waitForStarted());
        QVERIFY2(waitUntilCapturing(m_home), "the first instance never recorded a copy");

        auto second = start(m_home);
        QVERIFY(x11::exitsCleanly(*second));
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

    void cleanupTestCase()
    {
        if (m_running == nullptr)
            return;
        QVERIFY(x11::terminatesCleanly(*m_running));
    }
};

QTEST_GUILESS_MAIN(TestSingleInstanceX11)
#include "tst_single_instance_x11.moc"
