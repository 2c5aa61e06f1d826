// SPDX-License-Identifier: GPL-3.0-or-later
// The real program started from a desktop, where nobody reads its standard error.
#include "x11_harness.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTest>

namespace x11 = nabrix::testing::x11;
using x11::ProgramHome;

class TestStartupX11 : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { NABRIX_REQUIRE_X11(); }

    void unusableHistoryIsExplainedInADialog()
    {
        ProgramHome home;
        QVERIFY(home.isUsable());
        QVERIFY(QDir().mkpath(QFileInfo(home.historyPath()).absolutePath()));
        const QByteArray garbage(8192, '\x07');
        QFile history(home.historyPath());
        QVERIFY(history.open(QIODevice::WriteOnly));
        history.write(garbage);
        history.close();

        QProcess program;
        program.setProcessEnvironment(home.environment());
        program.start(QStringLiteral(NABRIX_BINARY), {});
        QVERIFY(program.waitForStarted());
        std::optional<quint32> dialog;
        QTRY_VERIFY_WITH_TIMEOUT((dialog = x11::visibleWindowNamed(QStringLiteral("Nabrix"))),
                                 20000);
        QCOMPARE(x11::runTool(QStringLiteral("xdotool"),
                              {QStringLiteral("windowactivate"), QStringLiteral("--sync"),
                               QString::number(*dialog)})
                     .exitCode,
                 0);
        // It waits for the user before it stops.
        QCOMPARE(program.state(), QProcess::Running);

        QVERIFY(x11::pressKeys(QStringLiteral("Return")));
        QVERIFY(program.waitForFinished(20000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 1);
        QVERIFY(QString::fromUtf8(program.readAllStandardError())
                    .contains(QStringLiteral("No se pudo crear el contenedor de datos: ")));
        QVERIFY(history.open(QIODevice::ReadOnly));
        QCOMPARE(history.readAll(), garbage);
    }
};

QTEST_MAIN(TestStartupX11)
#include "tst_startup_x11.moc"
