// SPDX-License-Identifier: GPL-3.0-or-later
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
        const x11::ProgramHome home;
        QVERIFY(home.isUsable());
        const QString data = home.dataDirectory();
        const QString history = home.historyPath();
        const QString vault = QStringLiteral("org.example.Vault");
        AppSettings(home.settingsPath()).setBlacklistedBundleIDs({vault});

        const auto program = home.start(QStringLiteral(NABRIX_BINARY));
        QVERIFY(program->waitForStarted());
        QVERIFY(home.waitUntilCapturing());

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
        QVERIFY(x11::terminatesCleanly(*program));
        QCOMPARE(filesContaining(folders, secret), QStringList());
        QVERIFY(!filesContaining({data}, allowed).isEmpty());
        QCOMPARE(x11::storedTexts(history), QStringList({allowed}));
    }
};

QTEST_MAIN(TestBlacklistFilesX11)
#include "tst_blacklist_files_x11.moc"
