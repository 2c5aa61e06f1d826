// The history and the settings are the user's alone, even when the process umask would
// let others read what it creates (the program narrows it, a library user may not).
#include "storage/app_settings.h"
#include "storage/storage_manager.h"
#include "test_environment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
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

// Sets the umask for one scope.
class ScopedUmask {
public:
    explicit ScopedUmask(mode_t mask)
        : m_previous(::umask(mask))
    {
    }
    ~ScopedUmask() { ::umask(m_previous); }
    ScopedUmask(const ScopedUmask&) = delete;
    ScopedUmask& operator=(const ScopedUmask&) = delete;

private:
    mode_t m_previous;
};

} // namespace

class TestPrivateFiles : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void historyFilesArePrivateUnderAnyUmask()
    {
        const ScopedUmask open(0);
        TestHome home;
        auto storage = home.openStorage();
        ClipItem item;
        item.id = QUuid::createUuid();
        item.timestamp = QDateTime::currentDateTime();
        item.searchString = QStringLiteral("private");
        storage->insert(item, "private");
        QVERIFY(!storage->hasPendingChanges());
        const QString history = home.historyPath();
        QCOMPARE(modeOf(QFileInfo(history).absolutePath()), QStringLiteral("700"));
        QCOMPARE(modeOf(history), QStringLiteral("600"));
        QCOMPARE(modeOf(history + QStringLiteral("-wal")), QStringLiteral("600"));
        QCOMPARE(modeOf(history + QStringLiteral("-shm")), QStringLiteral("600"));
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
        QCOMPARE(modeOf(folder), QStringLiteral("700"));
        QCOMPARE(modeOf(history), QStringLiteral("600"));
        QCOMPARE(modeOf(history + QStringLiteral("-wal")), QStringLiteral("600"));
        QCOMPARE(modeOf(history + QStringLiteral("-shm")), QStringLiteral("600"));
    }

    void foreignFileKeepsItsMode()
    {
        TestHome home;
        const QString history = home.historyPath();
        QVERIFY(QDir().mkpath(QFileInfo(history).absolutePath()));
        {
            SQLite::Database db(history.toStdString(),
                                SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
            db.exec("CREATE TABLE photos (id INTEGER)");
        }
        QVERIFY(::chmod(QFile::encodeName(history).constData(), 0644) == 0);
        QVERIFY(!StorageManager::open(history).storage);
        QCOMPARE(modeOf(history), QStringLiteral("644"));
    }

    void settingsFilesArePrivateUnderAnyUmask()
    {
        const ScopedUmask open(0);
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
