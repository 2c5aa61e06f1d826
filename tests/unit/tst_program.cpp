// SPDX-License-Identifier: GPL-3.0-or-later
// The nabrix program as a user starts it: fatal errors, private files, an orderly quit.
#include "i18n/text_catalogue.h"
#include "mount_point.h"
#include "storage/storage_manager.h"
#include "test_environment.h"
#include "views/fatal_error_dialog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QMessageBox>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <SQLiteCpp/SQLiteCpp.h>
#include <csignal>
#include <sqlite3.h>
#include <sys/stat.h>

using namespace nabrix;
using namespace nabrix::testing;

namespace {

// Every file in `folder` with its bytes.
QMap<QString, QByteArray> snapshot(const QString& folder)
{
    QMap<QString, QByteArray> files;
    for (const QString& name : QDir(folder).entryList(QDir::Files | QDir::Hidden)) {
        QFile file(folder + u'/' + name);
        if (file.open(QIODevice::ReadOnly))
            files.insert(name, file.readAll());
    }
    return files;
}

bool privateOnly(const QString& path)
{
    return (QFileInfo(path).permissions() & 0x0077) == QFileDevice::Permissions();
}

} // namespace

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
    void initTestCase() { QVERIFY(installTranslations(*qApp, QLocale(QLocale::English))); }

    void unusableHistoryStopsWithTheFatalMessage_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::newRow("read-only folder without history") << QStringLiteral("read-only empty");
        QTest::newRow("read-only folder") << QStringLiteral("read-only");
        // A run that was killed leaves its -wal and -shm files; with them SQLite opens a
        // read-only file for reading without complaint.
        QTest::newRow("read-only folder after a crash") << QStringLiteral("read-only logs");
    }
    void unusableHistoryStopsWithTheFatalMessage()
    {
        QFETCH(QString, fault);
        QTemporaryDir home;
        const QString folder = home.path() + QStringLiteral("/data/nabrix");
        QVERIFY(QDir().mkpath(folder));
        const QString history = folder + QStringLiteral("/history.sqlite3");
        if (fault != QLatin1String("read-only empty")) {
            {
                auto opened = StorageManager::open(history);
                QVERIFY2(opened.storage, qPrintable(opened.error));
                opened.storage->insert(
                    makeClipItem(QDateTime::currentDateTime(), QStringLiteral("kept")), "kept");
            }
            if (fault == QLatin1String("read-only logs")) {
                SQLite::Database db(history.toStdString(), SQLite::OPEN_READWRITE);
                sqlite3_db_config(db.getHandle(), SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
                QCOMPARE(db.execAndGet("SELECT count(*) FROM clip_items").getInt(), 1);
            }
        }
        const QMap<QString, QByteArray> before = snapshot(folder);
        if (fault == QLatin1String("read-only logs"))
            QVERIFY(before.contains(QStringLiteral("history.sqlite3-shm")));
        QString mountError;
        std::unique_ptr<MountPoint> readOnly = MountPoint::readOnlyBind(folder, mountError);
        NABRIX_REQUIRE_MOUNT(readOnly, mountError);

        QProcess program;
        program.setProcessEnvironment(environmentFor(home));
        program.start(QStringLiteral(NABRIX_BINARY), {});
        QVERIFY(program.waitForFinished(20000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        const QString error = QString::fromUtf8(program.readAllStandardError());
        QVERIFY2(program.exitCode() == 1, qPrintable(error));
        QVERIFY2(error.contains(QStringLiteral("No se pudo crear el contenedor de datos: ")),
                 qPrintable(error));
        readOnly.reset();
        // Not a byte changed, nothing added.
        QCOMPARE(snapshot(folder), before);
    }

    // Started from the desktop nobody reads standard error: the dialog says it all.
    void fatalStoreDialogNamesTheProblemAndTheFile()
    {
        const QString message = QStringLiteral("No se pudo crear el contenedor de datos: file is "
                                               "not a database");
        const QString file = QStringLiteral("/home/ana/.local/share/nabrix/history.sqlite3");
        const auto dialog = makeFatalStoreErrorDialog(message, file);
        const QString shown = dialog->text() + u'\n' + dialog->informativeText();
        QVERIFY2(shown.contains(message), qPrintable(shown));
        QVERIFY2(shown.contains(file), qPrintable(shown));
        QCOMPARE(dialog->buttons().size(), 1);
        // Only a platform with a screen can show it; headless ones would wait forever.
        QCOMPARE(windowsCanBeShown(), false);
    }

    void withoutADisplayStopsWithAMessage_data()
    {
        QTest::addColumn<QStringList>("environment"); // NAME=value
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("nothing set") << QStringList() << QStringList();
        QTest::newRow("X11 asked for") << QStringList{"QT_QPA_PLATFORM=xcb"} << QStringList();
        QTest::newRow("X11 asked for on the command line")
            << QStringList{"QT_QPA_PLATFORM=offscreen"} << QStringList{"-platform", "xcb"};
        // Nabrix needs X11 even there, and a session without XWayland has none.
        QTest::newRow("Wayland without XWayland")
            << QStringList{"WAYLAND_DISPLAY=wayland-1"} << QStringList();
        // Left over from a session that has ended.
        QTest::newRow("X server gone") << QStringList{"DISPLAY=:4917"} << QStringList();
    }
    void withoutADisplayStopsWithAMessage()
    {
        QFETCH(QStringList, environment);
        QFETCH(QStringList, arguments);
        QTemporaryDir home;
        QProcessEnvironment env = environmentFor(home);
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(QString::fromLatin1(name));
        for (const QString& setting : environment)
            env.insert(setting.section(u'=', 0, 0), setting.section(u'=', 1));

        QProcess program;
        program.setProcessEnvironment(env);
        program.start(QStringLiteral(NABRIX_BINARY), arguments);
        QVERIFY(program.waitForFinished(20000));
        const QString error = QString::fromUtf8(program.readAllStandardError());
        QVERIFY2(program.exitStatus() == QProcess::NormalExit, qPrintable(error));
        QCOMPARE(program.exitCode(), 1);
        QVERIFY2(error.contains(QStringLiteral("display was found")) ||
                     error.contains(QStringLiteral("display answers")),
                 qPrintable(error));
        // It stopped before touching anything.
        QVERIFY(!QFileInfo::exists(home.path() + QStringLiteral("/data")));
    }

    void startsWithPrivateFilesAndQuitsCleanly_data()
    {
        QTest::addColumn<int>("signal");
        QTest::newRow("terminate") << int(SIGTERM);
        // Sent when the session or the terminal it was started from ends.
        QTest::newRow("hang-up") << int(SIGHUP);
    }
    void startsWithPrivateFilesAndQuitsCleanly()
    {
        QFETCH(int, signal);
        QTemporaryDir home;
        const QString runtime = home.path() + QStringLiteral("/runtime");
        QVERIFY(QDir().mkdir(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        QProcessEnvironment env = environmentFor(home);
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
        // Whatever the umask the user runs it under.
        const mode_t umask = ::umask(0);
        QProcess program;
        program.setProcessEnvironment(env);
        program.start(QStringLiteral(NABRIX_BINARY), {});
        const bool started = program.waitForStarted();
        ::umask(umask);
        QVERIFY(started);
        const QString folder = home.path() + QStringLiteral("/data/nabrix");
        const QString history = folder + QStringLiteral("/history.sqlite3");
        // While it runs the write-ahead log and its index exist too.
        for (const QString& path :
             {history, history + QStringLiteral("-wal"), history + QStringLiteral("-shm")}) {
            QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(path), 20000);
            QVERIFY2(privateOnly(path), qPrintable(path));
        }
        QVERIFY(privateOnly(folder));
        QVERIFY(privateOnly(home.path() + QStringLiteral("/data")));
        const QStringList socketFilter{QStringLiteral("nabrix-*")};
        QCOMPARE(QDir(runtime).entryList(socketFilter, QDir::System).size(), 1);
        QTest::qWait(300);
        QCOMPARE(::kill(program.processId(), signal), 0);
        QVERIFY(program.waitForFinished(20000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 0);
        QVERIFY(privateOnly(history));
        QVERIFY(privateOnly(folder));
        // An orderly end: the socket is gone and the history closed (its log folded in).
        QCOMPARE(QDir(runtime).entryList(socketFilter, QDir::System), QStringList());
        QVERIFY(!QFile::exists(history + QStringLiteral("-wal")));
    }
};

QTEST_MAIN(TestProgram)
#include "tst_program.moc"
