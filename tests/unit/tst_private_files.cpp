// SPDX-License-Identifier: GPL-3.0-or-later
// The history and the settings are the user's alone, even when the process umask would
// let others read what it creates (the program narrows it, a library user may not), and
// a deleted entry is gone from every file of the store.
#include "storage/app_settings.h"
#include "storage/storage_manager.h"
#include "test_environment.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QTest>
#include <SQLiteCpp/SQLiteCpp.h>
#include <sqlite3.h>
#include <sys/stat.h>

using namespace nabrix;
using namespace nabrix::testing;

namespace {

QString modeOf(const QString& path)
{
    struct stat info = {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return QStringLiteral("missing");
    return QString::number(info.st_mode & 07777, 8);
}

// The modes of the history's folder, the history, its log and its shared-memory index.
QStringList storeModes(const QString& history)
{
    return {modeOf(QFileInfo(history).absolutePath()), modeOf(history),
            modeOf(history + QStringLiteral("-wal")), modeOf(history + QStringLiteral("-shm"))};
}

const QStringList privateModes{"700", "600", "600", "600"};

// The files in `folder` whose bytes hold `text`.
QStringList filesContaining(const QString& folder, const QByteArray& text)
{
    QStringList found;
    for (const QString& name : QDir(folder).entryList(QDir::Files | QDir::Hidden)) {
        QFile file(folder + u'/' + name);
        if (file.open(QIODevice::ReadOnly) && file.readAll().contains(text))
            found.append(name);
    }
    return found;
}

// Each file in `folder`: its name, mode and a digest of its bytes.
QStringList filesWithModes(const QString& folder)
{
    QStringList files;
    for (const QString& name : QDir(folder).entryList(QDir::Files | QDir::Hidden)) {
        QFile file(folder + u'/' + name);
        const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : "unreadable";
        files.append(
            name + u' ' + modeOf(file.fileName()) + u' ' +
            QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha1).toHex()));
    }
    return files;
}

// Sets the umask until the returned guard goes.
[[nodiscard]] auto scopedUmask(mode_t mask)
{
    return qScopeGuard([previous = ::umask(mask)] { ::umask(previous); });
}

} // namespace

class TestPrivateFiles : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void historyFilesArePrivateUnderAnyUmask()
    {
        const auto open = scopedUmask(0);
        TestHome home;
        auto storage = home.openStorage();
        storage->insert(makeClipItem(QDateTime::currentDateTime(), QStringLiteral("private")),
                        "private");
        QVERIFY(!storage->hasPendingChanges());
        QCOMPARE(storeModes(home.historyPath()), privateModes);
    }

    void historyReadableByOthersIsNarrowedWhenOpened()
    {
        TestHome home;
        const QString history = home.historyPath();
        const QString folder = QFileInfo(history).absolutePath();
        home.openStorage().reset();
        // As a restored backup or a hand-made folder could be; the log files of a run that
        // was killed take the history's mode.
        QVERIFY(::chmod(QFile::encodeName(folder).constData(), 0755) == 0);
        QVERIFY(::chmod(QFile::encodeName(history).constData(), 0644) == 0);
        {
            SQLite::Database db(history.toStdString(), SQLite::OPEN_READWRITE);
            sqlite3_db_config(db.getHandle(), SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
            db.exec("SELECT count(*) FROM clip_items");
        }
        QCOMPARE(modeOf(history + QStringLiteral("-wal")), QStringLiteral("644"));

        const auto storage = home.openStorage();
        QCOMPARE(storeModes(history), privateModes);
    }

    // A history in a shared temporary folder leaves the folder open to everyone.
    void stickyFolderKeepsItsMode()
    {
        TestHome home;
        const QString folder = QFileInfo(home.historyPath()).absolutePath();
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(::chmod(QFile::encodeName(folder).constData(), 01777) == 0);
        QVERIFY(home.openStorage());
        QCOMPARE(modeOf(folder), QStringLiteral("1777"));
    }

    void linkedHistoryFilesAreRefused_data()
    {
        QTest::addColumn<QString>("link");
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("opens");
        const QString history = QStringLiteral("history.sqlite3");
        QTest::newRow("history to another history")
            << history << QStringLiteral("other.sqlite3") << false;
        QTest::newRow("dangling history") << history << QStringLiteral("missing") << false;
        QTest::newRow("log") << QStringLiteral("history.sqlite3-wal") << QStringLiteral("empty")
                             << false;
        QTest::newRow("rollback journal")
            << QStringLiteral("history.sqlite3-journal") << QStringLiteral("empty") << false;
        // A data directory kept elsewhere (another disk, a synchronised folder) is fine.
        QTest::newRow("data directory") << QString() << QString() << true;
    }
    // Whatever a link in the data directory points to is never created, changed or narrowed.
    void linkedHistoryFilesAreRefused()
    {
        QFETCH(QString, link);
        QFETCH(QString, target);
        QFETCH(bool, opens);
        TestHome home;
        const QString history = home.historyPath();
        const QString folder = QFileInfo(history).absolutePath();
        const QString elsewhere = home.path() + QStringLiteral("/elsewhere");
        QVERIFY(QDir().mkpath(elsewhere));
        {
            auto other = StorageManager::open(elsewhere + QStringLiteral("/other.sqlite3"));
            QVERIFY2(other.storage, qPrintable(other.error));
            other.storage->insert(makeClipItem(QDateTime::currentDateTime()), "other");
        }
        QFile empty(elsewhere + QStringLiteral("/empty"));
        QVERIFY(empty.open(QIODevice::WriteOnly));
        empty.close();
        for (const QString& name : QDir(elsewhere).entryList(QDir::Files))
            QCOMPARE(::chmod(QFile::encodeName(elsewhere + u'/' + name).constData(), 0644), 0);
        if (link.isEmpty()) {
            QVERIFY(QDir().mkpath(QFileInfo(folder).absolutePath()));
            QVERIFY(QFile::link(elsewhere, folder));
        } else {
            QVERIFY(QDir().mkpath(folder));
            QVERIFY(QFile::link(elsewhere + u'/' + target, folder + u'/' + link));
        }
        const QStringList before = filesWithModes(elsewhere);

        const auto opened = StorageManager::open(history);
        QCOMPARE(bool(opened.storage), opens);
        if (opens) {
            opened.storage->insert(makeClipItem(QDateTime::currentDateTime()), "x");
            QVERIFY(!opened.storage->hasPendingChanges());
            QCOMPARE(modeOf(elsewhere + QStringLiteral("/history.sqlite3")), QStringLiteral("600"));
            return;
        }
        QCOMPARE(filesWithModes(elsewhere), before);
        QVERIFY2(opened.error.contains(link), qPrintable(opened.error));
    }

    void deletedEntryLeavesNoTraceInTheStoreFiles_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("one entry") << QStringLiteral("one");
        QTest::newRow("older than") << QStringLiteral("older");
        // Most of the history: its pages are not zeroed but the file is rewritten.
        QTest::newRow("older than, most") << QStringLiteral("most");
        QTest::newRow("clear all") << QStringLiteral("all");
    }
    void deletedEntryLeavesNoTraceInTheStoreFiles()
    {
        QFETCH(QString, how);
        TestHome home;
        auto storage = home.openStorage();
        const QDateTime now = QDateTime::currentDateTime();
        const QByteArray marker = "deleted-secret-" + QUuid::createUuid().toByteArray(QUuid::Id128);
        const auto add = [&storage](const QDateTime& when, const QByteArray& text) {
            const ClipItem item = makeClipItem(when, QString::fromLatin1(text));
            storage->insert(item, text);
            return item.id;
        };
        for (int i = 0; i < 20; ++i)
            add(now.addSecs(-100 + i), QByteArray(3000, 'a' + i));
        const QUuid secret = add(now.addSecs(-50), marker.repeated(40));
        for (int i = 0; i < 20; ++i)
            add(now.addSecs(i), QByteArray(3000, 'A' + i));
        const QString folder = QFileInfo(home.historyPath()).absolutePath();
        QVERIFY2(!filesContaining(folder, marker).isEmpty(), "the search finds nothing at all");

        if (how == QLatin1String("one"))
            storage->deleteItem(secret);
        else if (how == QLatin1String("older"))
            storage->deleteItemsBefore(now.addSecs(-40));
        else if (how == QLatin1String("most"))
            storage->deleteItemsBefore(now.addSecs(15));
        else
            storage->deleteAll();
        QVERIFY(!storage->hasPendingChanges());
        // While the store is open: its log must not keep the entry's old pages either.
        QCOMPARE(filesContaining(folder, marker), QStringList());
        QVERIFY(!storage->item(secret));
        storage.reset();
        QCOMPARE(filesContaining(folder, marker), QStringList());
    }

    void settingsFilesArePrivateUnderAnyUmask()
    {
        const auto open = scopedUmask(0);
        TestHome home;
        {
            const auto settings = home.loadSettings();
            settings->setBlacklistedBundleIDs({QStringLiteral("org.example.Vault")});
            settings->setRetentionDays(3);
        }
        QCOMPARE(modeOf(QFileInfo(home.settingsPath()).absolutePath()), QStringLiteral("700"));
        QCOMPARE(modeOf(home.settingsPath()), QStringLiteral("600"));
        // Rewriting an existing file keeps it private.
        home.loadSettings()->setPasteOnSelect(true);
        QCOMPARE(modeOf(home.settingsPath()), QStringLiteral("600"));
    }
};

QTEST_GUILESS_MAIN(TestPrivateFiles)
#include "tst_private_files.moc"
