// On a real X server: what another client copies lands in the history file.
#include "x11_harness.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using nabrix::testing::x11::storedTexts;

namespace {

void copyWithXclip(const QByteArray& text)
{
    QProcess xclip;
    xclip.start(QStringLiteral("xclip"),
                {QStringLiteral("-selection"), QStringLiteral("clipboard")});
    QVERIFY2(xclip.waitForStarted(), "xclip is missing");
    xclip.write(text);
    xclip.closeWriteChannel();
    // xclip forks a child that owns the selection and exits itself at once.
    QVERIFY(xclip.waitForFinished(10000));
}

} // namespace

class TestCaptureX11 : public QObject {
    Q_OBJECT

    QTemporaryDir m_home;
    QProcess m_program;
    QString m_history;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY2(!qEnvironmentVariableIsEmpty("DISPLAY"),
                 "needs an X server: run via scripts/with-x11");
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), m_home.path());
        env.insert(QStringLiteral("XDG_DATA_HOME"), m_home.path() + QStringLiteral("/data"));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_home.path() + QStringLiteral("/config"));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        m_history = m_home.path() + QStringLiteral("/data/nabrix/history.sqlite3");
        m_program.setProcessEnvironment(env);
        m_program.setProcessChannelMode(QProcess::ForwardedChannels);
        m_program.start(QStringLiteral(NABRIX_BINARY), {});
        QVERIFY(m_program.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(m_history), 20000);
        // Let the first poll record the starting change count.
        QTest::qWait(1000);
    }

    void copiedTextAppearsInTheHistory()
    {
        copyWithXclip("copied from another client");
        // One poll interval is 0.7 s; allow for a loaded machine.
        QTRY_COMPARE_WITH_TIMEOUT(storedTexts(m_history),
                                  QStringList({"copied from another client"}), 2000);
    }

    void repeatedCopyIsStoredOnceAndNewCopiesFollow()
    {
        copyWithXclip("copied from another client");
        QTest::qWait(1500);
        copyWithXclip("second text");
        QTRY_COMPARE_WITH_TIMEOUT(storedTexts(m_history),
                                  QStringList({"copied from another client", "second text"}), 2000);
    }

    void cleanupTestCase()
    {
        m_program.terminate();
        QVERIFY(m_program.waitForFinished(20000));
        QCOMPARE(m_program.exitCode(), 0);
    }
};

QTEST_GUILESS_MAIN(TestCaptureX11)
#include "tst_capture_x11.moc"
