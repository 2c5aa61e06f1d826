// SPDX-License-Identifier: GPL-3.0-or-later
// The history store: schema, reads, deletions, purge arithmetic, pending writes, failures.
#include "storage/clip_type.h"
#include "storage/storage_manager.h"
#include "test_environment.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <SQLiteCpp/SQLiteCpp.h>

using namespace nabrix;
using namespace nabrix::testing;

namespace {

QStringList searchStrings(const QList<ClipItem>& items)
{
    QStringList strings;
    for (const ClipItem& item : items)
        strings.append(item.searchString);
    return strings;
}

// How many entries a separate process reading the history finds, or -1.
int countSeenByAnotherProgram(const QString& historyPath)
{
    QProcess reader;
    reader.start(QStringLiteral("sqlite3"),
                 {historyPath, QStringLiteral("SELECT count(*) FROM clip_items")});
    if (!reader.waitForFinished() || reader.exitStatus() != QProcess::NormalExit ||
        reader.exitCode() != 0) {
        qWarning("sqlite3: %s %s", qPrintable(reader.errorString()),
                 reader.readAllStandardError().constData());
        return -1;
    }
    bool ok = false;
    const int count = reader.readAllStandardOutput().trimmed().toInt(&ok);
    return ok ? count : -1;
}

// Contents without their entry and entries without their content.
int unpairedRows(const QString& historyPath)
{
    return SQLite::Database(historyPath.toStdString())
        .execAndGet("SELECT (SELECT count(*) FROM clip_contents WHERE id NOT IN "
                    "(SELECT id FROM clip_items)) + (SELECT count(*) FROM clip_items WHERE id "
                    "NOT IN (SELECT id FROM clip_contents))")
        .getInt();
}

} // namespace

class TestStorage : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The raw values are what the history file holds: they never change, and read back only
    // when spelt exactly.
    void clipTypeRawValuesAreExact()
    {
        for (const char* raw : {"text", "rtf", "image", "file"})
            QCOMPARE(clipTypeRawValue(clipTypeFromRawValue(raw).value()), QString::fromLatin1(raw));
        QVERIFY(!clipTypeFromRawValue(QStringLiteral("Text")));
        QVERIFY(!clipTypeFromRawValue(QString()));
    }

    void newStoreHasTheSchema()
    {
        TestHome home;
        home.openStorage().reset();

        SQLite::Database db(home.historyPath().toStdString());
        QCOMPARE(db.execAndGet("SELECT value FROM meta WHERE key = 'schemaVersion'").getString(),
                 std::string("1.0.0"));
        QCOMPARE(db.execAndGet("PRAGMA journal_mode").getString(), std::string("wal"));
        QVERIFY(db.tableExists("clip_items"));
        QVERIFY(db.tableExists("clip_contents"));
    }

    void insertedEntryReadsBackExactlyWithItsContent_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("content");
        // A leading U+FEFF: a file named so, or an RTF document that starts with \u65279.
        QTest::newRow("leading byte order mark")
            << QStringLiteral("\uFEFFhéllo") << QByteArray("h\xc3\xa9llo");
        QTest::newRow("empty") << QString() << QByteArray("");
    }

    void insertedEntryReadsBackExactlyWithItsContent()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, content);
        TestHome home;
        auto storage = home.openStorage();
        ClipItem item = makeClipItem(QDateTime::currentDateTime().addSecs(-5), text);
        item.sourceAppBundleID = QStringLiteral("\uFEFForg.example.Editor");
        item.isSensitive = true;
        storage->insert(item, content);
        storage.reset();

        auto reopened = home.openStorage();
        const auto latest = reopened->latestItem();
        QVERIFY(latest);
        QCOMPARE(latest->id, item.id);
        QCOMPARE(latest->searchString, item.searchString);
        QCOMPARE(latest->sourceAppBundleID, item.sourceAppBundleID);
        QVERIFY(latest->isSensitive);
        QCOMPARE(latest->timestamp.toMSecsSinceEpoch(), item.timestamp.toMSecsSinceEpoch());
        QCOMPARE(reopened->contentData(item.id), std::optional<QByteArray>(content));
        QCOMPARE(reopened->allItems().size(), 1);
    }

    // Scripts and the benchmarks read the history while the program runs; each reader that
    // comes and goes must leave the program's log and its index in place.
    void otherProgramsSeeWhatAReopenedHistoryCommits()
    {
        TestHome home;
        auto storage = home.openStorage();
        storage->insert(makeClipItem(QDateTime::currentDateTime().addSecs(-5),
                                     QStringLiteral("from the last session")),
                        "from the last session");
        storage.reset();

        storage = home.openStorage();
        QCOMPARE(countSeenByAnotherProgram(home.historyPath()), 1);
        storage->insert(
            makeClipItem(QDateTime::currentDateTime(), QStringLiteral("from this session")),
            "from this session");
        QCOMPARE(countSeenByAnotherProgram(home.historyPath()), 2);
    }

    // Entries come newest first by their time, not by when they were stored. Their bytes going
    // with them is tst_private_files' deletedEntryLeavesNoTraceInTheStoreFiles.
    void entriesAreNewestFirstAndDeletedTogether()
    {
        TestHome home;
        auto storage = home.openStorage();
        QVERIFY(!storage->latestItem());
        const QDateTime now = QDateTime::currentDateTime();
        const ClipItem a = makeClipItem(now.addSecs(-3), QStringLiteral("a"));
        const ClipItem b = makeClipItem(now.addSecs(-2), QStringLiteral("b"));
        const ClipItem c = makeClipItem(now.addSecs(-1), QStringLiteral("c"));
        for (const ClipItem& item : {b, c, a})
            storage->insert(item, item.searchString.toUtf8());
        QCOMPARE(storage->latestItem()->id, c.id);
        QCOMPARE(searchStrings(storage->allItems()), QStringList({"c", "b", "a"}));
        QSignalSpy deleted(storage.get(), &StorageManager::itemsDeleted);

        storage->deleteItems({a, c});
        QCOMPARE(searchStrings(storage->allItems()), QStringList({"b"}));
        QVERIFY(!storage->contentData(a.id));
        storage->deleteItems({});
        QCOMPARE(deleted.size(), 1);
    }

    // The purge cuts with deleteItemsBefore, as clearing older entries does: the cut-off itself
    // stays, a millisecond before it goes.
    void purgeUsesCalendarDays_data()
    {
        QTest::addColumn<int>("retentionDays");
        QTest::addColumn<QStringList>("kept");
        QTest::newRow("zero keeps everything")
            << 0 << QStringList({"boundary", "before", "ancient"});
        QTest::newRow("thirty days keeps the boundary to the millisecond")
            << 30 << QStringList({"boundary"});
        // Cut-offs before any date the calendar holds must not wrap into the future.
        for (const int days : {500000000, 2147483647})
            QTest::addRow("%d days keeps everything", days)
                << days << QStringList({"boundary", "before", "ancient"});
    }
    void purgeUsesCalendarDays()
    {
        QFETCH(int, retentionDays);
        QFETCH(QStringList, kept);
        // Crosses the end of daylight saving time in Europe, where a calendar day is 25 h.
        qputenv("TZ", "Europe/Madrid");
        ManualClock clock(QDateTime(QDate(2026, 11, 20), QTime(10, 30, 15)));
        TestHome home;
        auto storage = home.openStorage(clock.clock());
        const QDateTime boundary(QDate(2026, 10, 21), QTime(10, 30, 15));
        storage->insert(makeClipItem(boundary, QStringLiteral("boundary")), "b");
        storage->insert(makeClipItem(boundary.addMSecs(-1), QStringLiteral("before")), "x");
        storage->insert(makeClipItem(boundary.addYears(-2), QStringLiteral("ancient")), "y");
        storage->purgeExpired(retentionDays);
        QCOMPARE(searchStrings(storage->allItems()), kept);
        qunsetenv("TZ");
    }

    void deletingMostOfTheHistoryGivesTheSpaceBack()
    {
        TestHome home;
        auto storage = home.openStorage();
        const QDateTime start = QDateTime::currentDateTime().addDays(-10);
        for (int day = 0; day < 10; ++day) {
            ClipItem item = makeClipItem(start.addDays(day), QStringLiteral("day %1").arg(day));
            storage->insert(item, QByteArray(1024 * 1024, char('a' + day)));
        }
        const auto fileSize = [&home] {
            return QFileInfo(home.historyPath()).size() +
                   QFileInfo(home.historyPath() + QStringLiteral("-wal")).size();
        };
        QVERIFY(fileSize() > 10 * 1024 * 1024);

        storage->deleteItemsBefore(start.addDays(8));
        QVERIFY(!storage->hasPendingChanges());
        QCOMPARE(searchStrings(storage->allItems()), QStringList({"day 9", "day 8"}));
        QCOMPARE(storage->contentData(storage->allItems().at(1).id),
                 std::optional<QByteArray>(QByteArray(1024 * 1024, 'i')));
        // Rewritten without the freed pages, and the log emptied.
        QVERIFY(fileSize() < 3 * 1024 * 1024);
        QCOMPARE(QFileInfo(home.historyPath() + QStringLiteral("-wal")).size(), 0);
        QCOMPARE(unpairedRows(home.historyPath()), 0);
        // The next, smaller deletion leaves no content behind either.
        storage->deleteItemsBefore(start.addDays(9));
        QCOMPARE(searchStrings(storage->allItems()), QStringList({"day 9"}));
        QCOMPARE(unpairedRows(home.historyPath()), 0);

        storage->deleteAll();
        QVERIFY(fileSize() < 64 * 1024);
        storage->insert(makeClipItem(start, QStringLiteral("after")), "x");
        storage.reset();
        QCOMPARE(searchStrings(home.openStorage()->allItems()), QStringList({"after"}));
    }

    void markingSensitivePersistsAndIgnoresDeletedEntries()
    {
        TestHome home;
        auto storage = home.openStorage();
        const ClipItem item =
            makeClipItem(QDateTime::currentDateTime(), QString(), ClipType::Image);
        storage->insert(item, "png");
        storage->markSensitive(item.id);
        storage->deleteItem(item.id);
        storage->markSensitive(item.id);
        QVERIFY(!storage->hasPendingChanges());

        const ClipItem other =
            makeClipItem(QDateTime::currentDateTime(), QString(), ClipType::Image);
        storage->insert(other, "png");
        storage->markSensitive(other.id);
        storage.reset();
        QVERIFY(home.openStorage()->item(other.id)->isSensitive);
    }

    void failedWriteStaysPendingAndIsRetried()
    {
        TestHome home;
        auto storage = home.openStorage();
        // Another process holding the write lock makes our transaction fail.
        auto blocker = std::make_unique<SQLite::Database>(home.historyPath().toStdString(),
                                                          SQLite::OPEN_READWRITE);
        blocker->exec("BEGIN IMMEDIATE");
        const ClipItem item = makeClipItem(QDateTime::currentDateTime(), QStringLiteral("kept"));
        storage->insert(item, "kept");
        // Listed meanwhile: tst_history_list's anEntryTheStoreCouldNotSaveYetIsListed.
        QVERIFY(storage->hasPendingChanges());

        blocker->exec("ROLLBACK");
        blocker.reset();
        QVERIFY(storage->save());
        QVERIFY(!storage->hasPendingChanges());
        storage.reset();
        QCOMPARE(home.openStorage()->contentData(item.id), std::optional<QByteArray>("kept"));
    }

    void unusableFilesAreReportedAndLeftUntouched_data()
    {
        QTest::addColumn<QByteArray>("setup");
        QTest::newRow("not sqlite") << QByteArray("garbage");
        QTest::newRow("newer schema") << QByteArray("newer");
        QTest::newRow("foreign database") << QByteArray("foreign");
        // A regular file where the data directory should be: cannot be created even as root.
        QTest::newRow("file in place of the folder") << QByteArray("blocked");
    }
    void unusableFilesAreReportedAndLeftUntouched()
    {
        QFETCH(QByteArray, setup);
        TestHome home;
        const QString folder = QFileInfo(home.historyPath()).absolutePath();
        const QString made = setup == "blocked" ? folder : home.historyPath();
        QDir().mkpath(QFileInfo(made).absolutePath());
        if (setup == "garbage" || setup == "blocked") {
            QFile file(made);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(QByteArray(4096, 'z'));
        } else {
            SQLite::Database db(home.historyPath().toStdString(),
                                SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
            if (setup == "newer") {
                db.exec("CREATE TABLE meta (key TEXT PRIMARY KEY, value TEXT NOT NULL)");
                db.exec("CREATE TABLE clip_items (id TEXT)");
                db.exec("CREATE TABLE clip_contents (id TEXT)");
                db.exec("INSERT INTO meta VALUES ('schemaVersion', '2.0.0')");
            } else {
                db.exec("CREATE TABLE photos (id INTEGER)");
            }
        }
        // Readable by others, and not ours to narrow.
        QVERIFY(QFile::setPermissions(made, QFile::ReadOwner | QFile::WriteOwner |
                                                QFile::ReadGroup | QFile::ReadOther));
        QFile before(made);
        QVERIFY(before.open(QIODevice::ReadOnly));
        const QByteArray bytes = before.readAll();
        before.close();

        const auto opened = StorageManager::open(home.historyPath());
        QVERIFY(!opened.storage);
        QVERIFY(!opened.error.isEmpty());
        QFile after(made);
        QVERIFY(after.open(QIODevice::ReadOnly));
        QCOMPARE(after.readAll(), bytes);
        QVERIFY(after.permissions().testFlag(QFile::ReadOther));
        QVERIFY(!QFile::exists(home.historyPath() + QStringLiteral("-wal")));
    }
};

QTEST_GUILESS_MAIN(TestStorage)
#include "tst_storage.moc"
