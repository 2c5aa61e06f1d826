// SPDX-License-Identifier: GPL-3.0-or-later
// The history survives the process being killed at any moment: a writer program captures
// and deletes entries and is killed with SIGKILL at random points, again and again.
#include "storage/storage_manager.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <SQLiteCpp/SQLiteCpp.h>
#include <csignal>
#include <sqlite3.h>

using namespace nabrix;

namespace {

// "I <id>\n" and the like.
constexpr qint64 journalLineBytes = 39;

struct Journal {
    QSet<QString> committedInserts;
    QSet<QString> startedDeletes;
    QSet<QString> committedDeletes;
};

// Only whole lines count: a kill may cut the last one short.
Journal readJournal(const QString& path)
{
    Journal journal;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return journal;
    const QList<QByteArray> lines = file.readAll().split('\n');
    for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
        const QByteArray& line = lines.at(i);
        const QString id = QString::fromLatin1(line.mid(2));
        if (line.startsWith("I "))
            journal.committedInserts.insert(id);
        else if (line.startsWith("d "))
            journal.startedDeletes.insert(id);
        else if (line.startsWith("D "))
            journal.committedDeletes.insert(id);
    }
    return journal;
}

} // namespace

class TestCrashSafety : public QObject {
    Q_OBJECT

    // Checks the file as the killed writer left it; empty when all is well.
    static QString checkStore(const QString& history, const Journal& journal, int kills)
    {
        SQLite::Database db(history.toStdString(), SQLite::OPEN_READWRITE);
        // Leave the write-ahead log as the kill left it, for the next writer to recover.
        sqlite3_db_config(db.getHandle(), SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
        const std::string integrity = db.execAndGet("PRAGMA integrity_check").getString();
        if (integrity != "ok")
            return QStringLiteral("integrity_check: %1").arg(QString::fromStdString(integrity));
        SQLite::Statement foreignKeys(db, "PRAGMA foreign_key_check");
        if (foreignKeys.executeStep())
            return QStringLiteral("foreign_key_check reports rows");

        QHash<QString, bool> stored; // id -> content equals search text
        SQLite::Statement rows(db, "SELECT i.id, i.search_string, c.content_data FROM clip_items i "
                                   "LEFT JOIN clip_contents c ON c.id = i.id");
        while (rows.executeStep()) {
            const SQLite::Column content = rows.getColumn(2);
            const QByteArray bytes(static_cast<const char*>(content.getBlob()), content.getBytes());
            stored.insert(QString::fromStdString(rows.getColumn(0).getString()),
                          !content.isNull() &&
                              bytes == QByteArray::fromStdString(rows.getColumn(1).getString()));
        }
        if (const QString bad = stored.key(false); !bad.isEmpty())
            return QStringLiteral("entry %1 lacks its content or has other bytes").arg(bad);
        for (const QString& id : journal.committedInserts) {
            if (!journal.startedDeletes.contains(id) && !stored.contains(id))
                return QStringLiteral("committed entry %1 is missing").arg(id);
        }
        for (const QString& id : journal.committedDeletes) {
            if (stored.contains(id))
                return QStringLiteral("deleted entry %1 is back").arg(id);
        }
        // An entry missing from the journal is one whose commit a kill beat the report of:
        // at most one per kill.
        qsizetype unreported = 0;
        for (auto it = stored.cbegin(); it != stored.cend(); ++it)
            unreported += journal.committedInserts.contains(it.key()) ? 0 : 1;
        if (unreported > kills)
            return QStringLiteral("%1 entries were never reported, after %2 kills")
                .arg(unreported)
                .arg(kills);
        return {};
    }

private Q_SLOTS:
    void killedWriterLeavesAConsistentStore()
    {
        bool seeded = false;
        const quint32 seed = qEnvironmentVariableIntValue("NABRIX_CRASH_SEED", &seeded);
        const quint32 masterSeed = seeded ? seed : QRandomGenerator::global()->generate();
        qInfo("seed %u (repeat with NABRIX_CRASH_SEED=%u)", masterSeed, masterSeed);
        QRandomGenerator random(masterSeed);

        QTemporaryDir home;
        QVERIFY(home.isValid());
        const QString history = home.path() + QStringLiteral("/data/nabrix/history.sqlite3");
        const QString journalPath = home.path() + QStringLiteral("/journal");

        constexpr int kills = 20;
        int killed = 0;
        for (int round = 0; round < kills + 1; ++round) {
            const bool last = round == kills;
            const quint32 writerSeed = random.generate();
            // Killed once it has journalled a random number of lines (none: while it opens the
            // store) and a random moment more: progress rather than time, so that a slow
            // machine is hit as often in the middle of writes as a fast one.
            const qint64 journalled = QFileInfo(journalPath).size() / journalLineBytes;
            const int lines = random.bounded(600);
            const int extraMs = random.bounded(15);
            QProcess writer;
            writer.setProcessChannelMode(QProcess::ForwardedChannels);
            writer.start(QStringLiteral(NABRIX_CRASH_WRITER),
                         {history, journalPath, QString::number(writerSeed),
                          QString::number(last ? 200 : 1000)});
            QVERIFY2(writer.waitForStarted(), "the crash writer does not start");
            bool finished = false;
            if (!last) {
                const QDeadlineTimer deadline(60000);
                while (!(finished = writer.waitForFinished(1)) && !deadline.hasExpired() &&
                       QFileInfo(journalPath).size() / journalLineBytes < journalled + lines) {
                }
                if (!finished) {
                    QTest::qSleep(extraMs);
                    ::kill(static_cast<pid_t>(writer.processId()), SIGKILL);
                    ++killed;
                    qInfo("round %d: writer seed %u killed after %d journal lines and %d ms", round,
                          writerSeed, lines, extraMs);
                }
            }
            QVERIFY(finished || writer.waitForFinished(60000));
            if (writer.exitStatus() == QProcess::NormalExit)
                QCOMPARE(writer.exitCode(), 0);

            const Journal journal = readJournal(journalPath);
            QVERIFY(QFile::exists(history) || journal.committedInserts.isEmpty());
            if (!QFile::exists(history))
                continue;
            const QString problem = checkStore(history, journal, killed);
            QVERIFY2(problem.isEmpty(), qPrintable(QStringLiteral("round %1 (seed %2): %3")
                                                       .arg(round)
                                                       .arg(masterSeed)
                                                       .arg(problem)));
            // Every other round the program itself opens what the kill left, and lists the
            // same entries; it checkpoints when it closes, so the rounds between let the
            // next writer start from the log as it was killed.
            if (round % 2 == 0)
                continue;
            auto opened = StorageManager::open(history);
            QVERIFY2(opened.storage, qPrintable(opened.error));
            SQLite::Database db(history.toStdString(), SQLite::OPEN_READONLY);
            QCOMPARE(opened.storage->allItems().size(),
                     db.execAndGet("SELECT count(*) FROM clip_items").getInt());
        }
        // Kills that all came after the writer had finished would have tested nothing.
        QVERIFY2(killed >= kills / 2,
                 qPrintable(QStringLiteral("only %1 kills hit a running writer").arg(killed)));
        const Journal journal = readJournal(journalPath);
        qInfo("%lld captures and %lld deletions committed in all",
              static_cast<long long>(journal.committedInserts.size()),
              static_cast<long long>(journal.committedDeletes.size()));
        QVERIFY(journal.committedInserts.size() > 200);
    }
};

QTEST_GUILESS_MAIN(TestCrashSafety)
#include "tst_crash_safety.moc"
