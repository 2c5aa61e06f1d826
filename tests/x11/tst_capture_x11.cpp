// SPDX-License-Identifier: GPL-3.0-or-later
// On a real X server: what another client copies lands in the history file.
#include "x11_harness.h"

#include <QProcess>
#include <QTest>
#include <memory>

namespace x11 = nabrix::testing::x11;
using x11::copyWithXclip;
using x11::storedTexts;

class TestCaptureX11 : public QObject {
    Q_OBJECT

    x11::ProgramHome m_home;
    std::unique_ptr<QProcess> m_program;
    QString m_history = m_home.historyPath();

private Q_SLOTS:
    void initTestCase()
    {
        // Without a GUI application the X11 check cannot ask Qt's platform.
        QVERIFY2(!qEnvironmentVariableIsEmpty("DISPLAY"),
                 "needs an X server: run via scripts/with-x11");
        QVERIFY(m_home.isUsable());
        m_program = m_home.start(QStringLiteral(NABRIX_BINARY));
        QVERIFY(m_program->waitForStarted());
        QVERIFY(m_home.waitUntilCapturing());
    }

    void copiesAFifthOfASecondApartAreEachStoredOnce()
    {
        const QStringList before = storedTexts(m_history);
        const QStringList copies{"quick first", "quick second", "quick third"};
        for (const QString& text : copies) {
            QVERIFY(copyWithXclip(text.toUtf8()));
            QTest::qWait(200);
        }
        QTRY_COMPARE_WITH_TIMEOUT(storedTexts(m_history), before + copies, 10000);
    }

    void contentOutlivesTheProgramThatCopiedIt_data()
    {
        QTest::addColumn<bool>("qtProgram");
        // Qt hands its content to the clipboard manager as it quits.
        QTest::newRow("Qt program quits") << true;
        // The raw owner knows nothing of managers: its end is seen from outside.
        QTest::newRow("raw owner exits after the read") << false;
    }
    void contentOutlivesTheProgramThatCopiedIt()
    {
        QFETCH(bool, qtProgram);
        const QStringList before = storedTexts(m_history);
        QString copied;
        if (qtProgram) {
            copied = QStringLiteral("copied by a program that quit at once");
            QProcess program;
            program.start(QCoreApplication::applicationDirPath() + QStringLiteral("/copy_and_quit"),
                          {copied});
            QVERIFY(program.waitForFinished(20000));
            QCOMPARE(program.exitCode(), 0);
            QTRY_COMPARE_WITH_TIMEOUT(storedTexts(m_history), before + QStringList{copied}, 10000);
        } else {
            x11::HelperProcess owner(QStringLiteral("hostile_owner"),
                                     {"--mode", "huge-text", "--size", "80"});
            QVERIFY(owner.waitForOutput());
            QTRY_COMPARE_WITH_TIMEOUT(storedTexts(m_history).size(), before.size() + 1, 5000);
            copied = storedTexts(m_history).constLast();
            QVERIFY(copied.startsWith(QStringLiteral("hostile huge-text")));
        } // the owner is killed here
        QTRY_COMPARE_WITH_TIMEOUT(x11::clipboardContents(), copied.toUtf8(), 5000);
        QCOMPARE(storedTexts(m_history), before + QStringList{copied});
    }

    void cleanupTestCase() { QVERIFY(m_program && x11::terminatesCleanly(*m_program)); }
};

QTEST_GUILESS_MAIN(TestCaptureX11)
#include "tst_capture_x11.moc"
