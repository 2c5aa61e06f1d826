// The nabrix program as a user starts it: fatal store errors and private files.
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class TestProgram : public QObject {
    Q_OBJECT

    static QProcessEnvironment environmentFor(const QTemporaryDir& home)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), home.path());
        env.insert(QStringLiteral("XDG_DATA_HOME"), home.path() + QStringLiteral("/data"));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.path() + QStringLiteral("/config"));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        return env;
    }

private Q_SLOTS:
    void unusableHistoryStopsWithTheFatalMessage()
    {
        QTemporaryDir home;
        QVERIFY(QDir().mkpath(home.path() + QStringLiteral("/data/nabrix")));
        const QString history = home.path() + QStringLiteral("/data/nabrix/history.sqlite3");
        QFile file(history);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(8192, '\x07'));
        file.close();

        QProcess program;
        program.setProcessEnvironment(environmentFor(home));
        program.start(QStringLiteral(NABRIX_BINARY), {});
        QVERIFY(program.waitForFinished(20000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 1);
        const QString error = QString::fromUtf8(program.readAllStandardError());
        QVERIFY2(error.contains(QStringLiteral("No se pudo crear el contenedor de datos: ")),
                 qPrintable(error));
        QCOMPARE(QFileInfo(history).size(), 8192);
    }

    void startsWithPrivateFilesAndQuitsOnTerm()
    {
        QTemporaryDir home;
        QProcess program;
        program.setProcessEnvironment(environmentFor(home));
        program.start(QStringLiteral(NABRIX_BINARY), {});
        QVERIFY(program.waitForStarted());
        const QString history = home.path() + QStringLiteral("/data/nabrix/history.sqlite3");
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(history), 20000);
        QTest::qWait(300);
        program.terminate();
        QVERIFY(program.waitForFinished(20000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 0);
        const auto privateOnly = [](const QString& path) {
            return (QFileInfo(path).permissions() & 0x0077) == QFileDevice::Permissions();
        };
        QVERIFY(privateOnly(history));
        QVERIFY(privateOnly(home.path() + QStringLiteral("/data/nabrix")));
    }
};

QTEST_GUILESS_MAIN(TestProgram)
#include "tst_program.moc"
