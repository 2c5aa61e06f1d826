// On a real X server: a copy made in a blacklisted application leaves no trace on disk.
// The real program runs in its own home, with data, settings, runtime and temporary folders
// inside it; after a copy from a blacklisted window and one from an allowed window, every
// byte under that home is searched for both texts.
#include "storage/app_settings.h"
#include "x11_harness.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QUuid>

using namespace nabrix;
using namespace nabrix::testing;

namespace {

// The files under `folders` whose bytes hold `text` in UTF-8 or UTF-16.
QStringList filesContaining(const QStringList& folders, const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    const QByteArray utf16(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    QStringList found;
    for (const QString& folder : folders) {
        QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            QFile file(path);
            if (!file.open(QIODevice::ReadOnly))
                continue;
            const QByteArray bytes = file.readAll();
            if (bytes.contains(utf8) || bytes.contains(utf16))
                found.append(path);
        }
    }
    return found;
}

} // namespace

class TestBlacklistFilesX11 : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void blacklistedCopyIsWrittenNowhere()
    {
        NABRIX_REQUIRE_X11();
        QTemporaryDir home;
        QVERIFY(home.isValid());
        const QString data = home.filePath(QStringLiteral("data"));
        const QString config = home.filePath(QStringLiteral("config"));
        const QString temp = home.filePath(QStringLiteral("tmp"));
        const QString runtime = home.filePath(QStringLiteral("runtime"));
        for (const QString& folder : {data, config, temp, runtime})
            QVERIFY(QDir().mkpath(folder));
        QVERIFY(
            QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        const QString history = data + QStringLiteral("/nabrix/history.sqlite3");
        const QString vault = QStringLiteral("org.example.Vault");
        AppSettings(config + QStringLiteral("/nabrix/nabrix.conf"))
            .setBlacklistedBundleIDs({vault});

        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), home.path());
        env.insert(QStringLiteral("XDG_DATA_HOME"), data);
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), config);
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
        env.insert(QStringLiteral("TMPDIR"), temp);
        env.insert(QStringLiteral("SQLITE_TMPDIR"), temp);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        QProcess program;
        program.setProcessEnvironment(env);
        program.setProcessChannelMode(QProcess::ForwardedChannels);
        program.start(QStringLiteral(NABRIX_BINARY), {});
        QVERIFY(program.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(history), 20000);
        // Let the first poll record the starting clipboard.
        QTest::qWait(1000);

        const QString secret =
            QStringLiteral("vault-secret-") + QUuid::createUuid().toString(QUuid::Id128);
        const QString allowed =
            QStringLiteral("editor-text-") + QUuid::createUuid().toString(QUuid::Id128);

        const auto vaultWindow = x11::TestWindow::startXterm(vault);
        QVERIFY(vaultWindow);
        QVERIFY(vaultWindow->activate());
        QVERIFY(x11::copyWithXclip(secret.toUtf8()));
        // Several polls pass while the blacklisted copy is on the clipboard.
        QTest::qWait(2500);

        const auto editorWindow = x11::TestWindow::startXterm(QStringLiteral("org.example.Editor"));
        QVERIFY(editorWindow);
        QVERIFY(editorWindow->activate());
        QVERIFY(x11::copyWithXclip(allowed.toUtf8()));
        QTRY_COMPARE_WITH_TIMEOUT(x11::storedTexts(history), QStringList({allowed}), 5000);

        // The whole home (caches included) while the program runs, when the log holds the
        // recent pages, and after it quits.
        const QStringList folders{home.path()};
        QCOMPARE(filesContaining(folders, secret), QStringList());
        QVERIFY2(!filesContaining({data}, allowed).isEmpty(),
                 "the allowed copy is not found in the data folder: the search itself is broken");
        program.terminate();
        QVERIFY(program.waitForFinished(20000));
        QCOMPARE(program.exitCode(), 0);
        QCOMPARE(filesContaining(folders, secret), QStringList());
        QVERIFY(!filesContaining({data}, allowed).isEmpty());
        QCOMPARE(x11::storedTexts(history), QStringList({allowed}));
    }
};

QTEST_MAIN(TestBlacklistFilesX11)
#include "tst_blacklist_files_x11.moc"
