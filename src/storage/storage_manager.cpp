// SPDX-License-Identifier: GPL-3.0-or-later
// The persistent history: one SQLite file, written one transaction per change.
#include "storage/storage_manager.h"

#include "storage/data_paths.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QUrl>
#include <SQLiteCpp/SQLiteCpp.h>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

namespace nabrix {

namespace {

constexpr auto schemaVersion = "1.0.0";
// How long a write waits for another connection's lock before it fails (and stays pending).
constexpr int busyTimeoutMs = 2000;

constexpr auto schemaSql = R"sql(
CREATE TABLE meta (key TEXT PRIMARY KEY, value TEXT NOT NULL);
CREATE TABLE clip_items (
  id TEXT PRIMARY KEY,
  timestamp INTEGER NOT NULL,
  type TEXT NOT NULL CHECK (type IN ('text','rtf','image','file')),
  search_string TEXT NOT NULL,
  source_app_bundle_id TEXT,
  is_sensitive INTEGER NOT NULL,
  image_width INTEGER,
  image_height INTEGER
);
CREATE INDEX clip_items_by_time ON clip_items (timestamp DESC);
CREATE TABLE clip_contents (
  id TEXT PRIMARY KEY REFERENCES clip_items(id) ON DELETE CASCADE,
  content_data BLOB NOT NULL
);
)sql";

constexpr auto itemColumns = "id, timestamp, type, search_string, source_app_bundle_id, "
                             "is_sensitive, image_width, image_height";

QString toQString(const SQLite::Column& column)
{
    // Exactly the text that was written: QString::fromUtf8 would drop a leading U+FEFF
    // (a file named "\uFEFFa.txt", an RTF document that starts with \u65279).
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless |
                                                     QStringDecoder::Flag::ConvertInitialBom);
    return decoder.decode(
        QByteArrayView(static_cast<const char*>(column.getBlob()), column.getBytes()));
}

// A row of `itemColumns`; none for a type this program does not write.
std::optional<ClipItem> readItem(SQLite::Statement& query)
{
    const auto type = clipTypeFromRawValue(toQString(query.getColumn(2)));
    if (!type)
        return std::nullopt;
    ClipItem item;
    item.id = QUuid::fromString(toQString(query.getColumn(0)));
    item.timestamp = QDateTime::fromMSecsSinceEpoch(query.getColumn(1).getInt64());
    item.type = *type;
    item.searchString = toQString(query.getColumn(3));
    if (!query.getColumn(4).isNull())
        item.sourceAppBundleID = toQString(query.getColumn(4));
    item.isSensitive = query.getColumn(5).getInt() != 0;
    if (!query.getColumn(6).isNull() && !query.getColumn(7).isNull())
        item.imageSize = QSize(query.getColumn(6).getInt(), query.getColumn(7).getInt());
    return item;
}

std::string idParameter(const QUuid& id)
{
    return idText(id).toStdString();
}

std::optional<QByteArray> readContent(SQLite::Database& db, const QUuid& id)
{
    try {
        SQLite::Statement query(db, "SELECT content_data FROM clip_contents WHERE id = ?");
        query.bind(1, idParameter(id));
        if (query.executeStep()) {
            const SQLite::Column column = query.getColumn(0);
            return QByteArray(static_cast<const char*>(column.getBlob()), column.getBytes());
        }
    } catch (const std::exception&) {
    }
    return std::nullopt;
}

// Empty when `path` is absent or a plain file. A symbolic link would let SQLite create,
// rewrite or narrow whatever it points to (another history, a file of someone else's).
QString refusedEntry(const QString& path)
{
    struct stat info = {};
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0)
        return errno == ENOENT
                   ? QString()
                   : QStringLiteral("%1: %2").arg(path, QString::fromLocal8Bit(strerror(errno)));
    if (S_ISLNK(info.st_mode))
        return QStringLiteral("%1 is a symbolic link").arg(path);
    if (!S_ISREG(info.st_mode))
        return QStringLiteral("%1 is not a regular file").arg(path);
    return {};
}

// Creates the file with owner-only permissions before SQLite sees it; SQLite then gives
// its -wal and -shm files the same permissions. Never through a link, even a dangling one.
bool createPrivateFile(const QString& filePath, QString& error)
{
    const QByteArray path = QFile::encodeName(filePath);
    const int fd =
        ::open(path.constData(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        error = QStringLiteral("%1: %2").arg(filePath, QString::fromLocal8Bit(strerror(errno)));
        return false;
    }
    ::close(fd);
    return true;
}

// Takes group and other permissions away from `path`, when it has any. `openFlags` say
// whether a link may be followed. A sticky folder (/tmp, /var/tmp) is shared by design and
// is never narrowed: a history kept in one would otherwise lock every other user out.
void narrowToOwner(const QString& path, int openFlags)
{
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | openFlags);
    if (fd < 0)
        return;
    struct stat info = {};
    if (::fstat(fd, &info) == 0 && (info.st_mode & 077) != 0 && (info.st_mode & S_ISVTX) == 0)
        ::fchmod(fd, info.st_mode & 0700);
    ::close(fd);
}

// Empty when the database holds this schema; creates it in an empty database.
QString prepareSchema(SQLite::Database& db)
{
    SQLite::Statement tables(db, "SELECT name FROM sqlite_master WHERE type = 'table'");
    QStringList names;
    while (tables.executeStep())
        names.append(toQString(tables.getColumn(0)));
    if (names.isEmpty()) {
        SQLite::Transaction transaction(db, SQLite::TransactionBehavior::IMMEDIATE);
        db.exec(schemaSql);
        SQLite::Statement version(db, "INSERT INTO meta (key, value) VALUES ('schemaVersion', ?)");
        version.bind(1, schemaVersion);
        version.exec();
        transaction.commit();
        return {};
    }
    for (const char* required : {"meta", "clip_items", "clip_contents"}) {
        if (!names.contains(QLatin1String(required)))
            return QStringLiteral("%1 is not a Nabrix history (no %2 table)")
                .arg(QString::fromStdString(db.getFilename()), QLatin1String(required));
    }
    SQLite::Statement version(db, "SELECT value FROM meta WHERE key = 'schemaVersion'");
    const QString found = version.executeStep() ? toQString(version.getColumn(0)) : QString();
    if (found != QLatin1String(schemaVersion))
        return QStringLiteral("unsupported history schema version \"%1\" (this program reads %2)")
            .arg(found, QLatin1String(schemaVersion));
    return {};
}

// Until it is overwritten the log still holds the pages as they were before a deletion,
// deleted entries included. A checkpoint that empties it leaves them in no file (the
// history's own freed pages are zeroed: secure_delete). Without waiting: while another
// connection reads, the log stays until a later deletion or the end of the session.
void dropOldPages(SQLite::Database& db)
{
    try {
        db.setBusyTimeout(0);
        db.exec("PRAGMA wal_checkpoint(TRUNCATE)");
    } catch (const std::exception&) {
    }
    try {
        db.setBusyTimeout(busyTimeoutMs);
    } catch (const std::exception&) {
    }
}

// Without zeroing freed pages (the file is rewritten afterwards) and without foreign keys
// (every deletion names both tables), so that emptying a table truncates it at once.
// Both pragmas take effect only outside a transaction.
void setBulkDeletion(SQLite::Database& db, bool on)
{
    try {
        db.exec(on ? "PRAGMA secure_delete = OFF" : "PRAGMA secure_delete = ON");
        db.exec(on ? "PRAGMA foreign_keys = OFF" : "PRAGMA foreign_keys = ON");
    } catch (const std::exception&) {
    }
}

} // namespace

StorageManager::OpenResult StorageManager::open(const QString& filePath, Clock clock)
{
    OpenResult result;
    const QString directory = QFileInfo(filePath).absolutePath();
    if (!QFileInfo::exists(directory) && !ensurePrivateDirectory(directory)) {
        result.error = QStringLiteral("cannot create the directory %1").arg(directory);
        return result;
    }
    // The data directory itself may be a link; the files in it may not.
    for (const QString& path :
         {filePath, filePath + QStringLiteral("-wal"), filePath + QStringLiteral("-shm"),
          filePath + QStringLiteral("-journal")}) {
        result.error = refusedEntry(path);
        if (!result.error.isEmpty())
            return result;
    }
    if (!QFileInfo::exists(filePath) && !createPrivateFile(filePath, result.error))
        return result;
    // SQLite refuses a link anywhere in the path when told not to follow one: it gets the
    // directory already resolved.
    const QString resolved =
        QFileInfo(directory).canonicalFilePath() + u'/' + QFileInfo(filePath).fileName();
    const auto connect = [&resolved] {
        return std::make_unique<SQLite::Database>(QFile::encodeName(resolved).toStdString(),
                                                  SQLite::OPEN_READWRITE | SQLITE_OPEN_NOFOLLOW,
                                                  busyTimeoutMs);
    };
    try {
        {
            const auto check = connect();
            // SQLite quietly opens for reading only where it may not write (a read-only mount
            // with the log files of an earlier run in place); such a history would never save.
            if (sqlite3_db_readonly(check->getHandle(), "main") == 1) {
                result.error = QStringLiteral("%1 cannot be written").arg(filePath);
                return result;
            }
            // Verify before anything writes: a foreign or newer file must stay as it is.
            result.error = prepareSchema(*check);
            if (!result.error.isEmpty())
                return result;
        }
        // A history copied or restored by hand may be readable by others; SQLite gives its
        // log files the history's mode. Only a file known to be ours is changed, and only
        // while no connection of ours is open: closing any descriptor of a file drops every
        // lock this process holds on it, SQLite's included, and another program's reader
        // would then rebuild the log's index under us or checkpoint and delete the log.
        narrowToOwner(directory, O_DIRECTORY);
        for (const QString& path :
             {filePath, filePath + QStringLiteral("-wal"), filePath + QStringLiteral("-shm")})
            narrowToOwner(path, O_NOFOLLOW);
        auto db = connect();
        db->exec("PRAGMA journal_mode = WAL");
        db->exec("PRAGMA synchronous = NORMAL");
        db->exec("PRAGMA foreign_keys = ON");
        // After a checkpoint the log shrinks back to this; otherwise it stays as large as
        // the largest transaction ever was (a purge of a thousand images: gigabytes) for as
        // long as the program runs.
        db->exec("PRAGMA journal_size_limit = 67108864");
        // Freed pages are zeroed, whatever SQLite's build defaults to: a deleted entry must
        // not linger in the file.
        db->exec("PRAGMA secure_delete = ON");
        result.storage.reset(new StorageManager(std::move(db), filePath, std::move(clock)));
    } catch (const std::exception& e) {
        result.error = QString::fromUtf8(e.what());
    }
    return result;
}

StorageManager::OpenResult StorageManager::openForReading(const QString& filePath)
{
    OpenResult result;
    // Without a log beside it (no program has the history open) the file alone holds the
    // history; read as immutable, SQLite then leaves no log or log index of its own behind.
    QUrl uri = QUrl::fromLocalFile(QFileInfo(filePath).absoluteFilePath());
    uri.setQuery(QFileInfo::exists(filePath + QStringLiteral("-wal"))
                     ? QStringLiteral("mode=ro")
                     : QStringLiteral("mode=ro&immutable=1"));
    try {
        auto db = std::make_unique<SQLite::Database>(
            uri.toEncoded().toStdString(),
            SQLite::OPEN_READONLY | SQLITE_OPEN_URI | SQLITE_OPEN_NOFOLLOW, busyTimeoutMs);
        // An empty file would be given the schema: that write fails here and is reported.
        result.error = prepareSchema(*db);
        if (!result.error.isEmpty())
            return result;
        result.storage.reset(new StorageManager(std::move(db), filePath, systemClock()));
    } catch (const std::exception& e) {
        result.error = QString::fromUtf8(e.what());
    }
    return result;
}

StorageManager::StorageManager(std::unique_ptr<SQLite::Database> db, QString filePath, Clock clock)
    : m_db(std::move(db))
    , m_filePath(std::move(filePath))
    , m_clock(std::move(clock))
{
    m_retryTimer.setSingleShot(true);
    m_retryTimer.setInterval(retryInterval);
    connect(&m_retryTimer, &QTimer::timeout, this, &StorageManager::save);
}

StorageManager::~StorageManager()
{
    save();
}

std::optional<ClipItem> StorageManager::latestItem()
{
    std::optional<ClipItem> latest;
    try {
        SQLite::Statement query(*m_db, std::string("SELECT ") + itemColumns +
                                           " FROM clip_items ORDER BY timestamp DESC LIMIT 1");
        if (query.executeStep())
            latest = readItem(query);
    } catch (const std::exception&) {
        latest.reset();
    }
    // Unsaved changes are part of the history too.
    for (const Change& change : m_pending) {
        if (const auto* insert = std::get_if<Insert>(&change)) {
            if (!latest || insert->item.timestamp >= latest->timestamp)
                latest = insert->item;
        } else if (const auto* marked = std::get_if<MarkSensitive>(&change)) {
            if (latest && latest->id == marked->id)
                latest->isSensitive = true;
        } else {
            // A pending deletion may have removed it; knowing less only costs one de-duplication.
            latest.reset();
        }
    }
    return latest;
}

QList<ClipItem> StorageManager::allItems()
{
    QList<ClipItem> items;
    try {
        SQLite::Statement query(*m_db, std::string("SELECT ") + itemColumns +
                                           " FROM clip_items ORDER BY timestamp DESC");
        while (query.executeStep()) {
            if (auto item = readItem(query))
                items.append(std::move(*item));
        }
    } catch (const std::exception&) {
        items.clear();
    }
    applyPendingTo(items);
    return items;
}

std::optional<ClipItem> StorageManager::item(const QUuid& id)
{
    QList<ClipItem> found;
    try {
        SQLite::Statement query(*m_db, std::string("SELECT ") + itemColumns +
                                           " FROM clip_items WHERE id = ?");
        query.bind(1, idParameter(id));
        if (query.executeStep()) {
            if (auto item = readItem(query))
                found.append(std::move(*item));
        }
    } catch (const std::exception&) {
        found.clear();
    }
    applyPendingTo(found);
    const auto it = std::find_if(found.cbegin(), found.cend(),
                                 [&id](const ClipItem& item) { return item.id == id; });
    return it == found.cend() ? std::nullopt : std::optional<ClipItem>(*it);
}

const StorageManager::Insert* StorageManager::pendingInsert(const QUuid& id) const
{
    for (auto it = m_pending.crbegin(); it != m_pending.crend(); ++it) {
        if (const auto* insert = std::get_if<Insert>(&*it); insert && insert->item.id == id)
            return insert;
    }
    return nullptr;
}

std::optional<QByteArray> StorageManager::contentData(const QUuid& id)
{
    if (const Insert* insert = pendingInsert(id))
        return insert->contentData;
    return readContent(*m_db, id);
}

StorageManager::ContentLoad StorageManager::contentLoad(const QUuid& id) const
{
    if (const Insert* insert = pendingInsert(id))
        return [bytes = insert->contentData] { return std::optional<QByteArray>(bytes); };
    return [path = m_filePath, id]() -> std::optional<QByteArray> {
        try {
            SQLite::Database db(QFile::encodeName(path).toStdString(), SQLite::OPEN_READONLY,
                                busyTimeoutMs);
            return readContent(db, id);
        } catch (const std::exception&) {
            return std::nullopt;
        }
    };
}

StorageManager::SearchTextsLoad StorageManager::searchTextsLoad(const QList<QUuid>& ids) const
{
    QHash<QUuid, QString> unsaved;
    QList<QUuid> saved;
    for (const QUuid& id : ids) {
        if (const Insert* insert = pendingInsert(id))
            unsaved.insert(id, insert->item.searchString);
        else
            saved.append(id);
    }
    return [path = m_filePath, texts = std::move(unsaved), saved = std::move(saved)]() mutable {
        if (saved.isEmpty())
            return texts;
        try {
            SQLite::Database db(QFile::encodeName(path).toStdString(), SQLite::OPEN_READONLY,
                                busyTimeoutMs);
            SQLite::Statement query(db, "SELECT search_string FROM clip_items WHERE id = ?");
            for (const QUuid& id : std::as_const(saved)) {
                query.bind(1, idParameter(id));
                if (query.executeStep())
                    texts.insert(id, toQString(query.getColumn(0)));
                query.reset();
            }
        } catch (const std::exception&) {
        }
        return texts;
    };
}

void StorageManager::applyPendingTo(QList<ClipItem>& items) const
{
    for (const Change& change : m_pending) {
        std::visit(
            [&items](const auto& c) {
                using T = std::decay_t<decltype(c)>;
                if constexpr (std::is_same_v<T, Insert>) {
                    items.prepend(c.item);
                } else if constexpr (std::is_same_v<T, Delete>) {
                    items.removeIf([&c](const ClipItem& item) { return c.ids.contains(item.id); });
                } else if constexpr (std::is_same_v<T, DeleteBefore>) {
                    items.removeIf(
                        [&c](const ClipItem& item) { return item.timestamp < c.cutoff; });
                } else if constexpr (std::is_same_v<T, DeleteAll>) {
                    items.clear();
                } else if constexpr (std::is_same_v<T, MarkSensitive>) {
                    for (ClipItem& item : items) {
                        if (item.id == c.id)
                            item.isSensitive = true;
                    }
                }
            },
            change);
    }
}

void StorageManager::apply(const Change& change, bool bulk)
{
    std::visit(
        [this, bulk](const auto& c) {
            using T = std::decay_t<decltype(c)>;
            if constexpr (std::is_same_v<T, Insert>) {
                SQLite::Statement item(*m_db, "INSERT INTO clip_items (id, timestamp, type, "
                                              "search_string, source_app_bundle_id, is_sensitive, "
                                              "image_width, image_height) "
                                              "VALUES (?, ?, ?, ?, ?, ?, ?, ?)");
                item.bind(1, idParameter(c.item.id));
                item.bind(2, static_cast<int64_t>(c.item.timestamp.toMSecsSinceEpoch()));
                item.bind(3, clipTypeRawValue(c.item.type).toStdString());
                item.bind(4, c.item.searchString.toStdString());
                if (c.item.sourceAppBundleID)
                    item.bind(5, c.item.sourceAppBundleID->toStdString());
                item.bind(6, c.item.isSensitive ? 1 : 0);
                if (c.item.imageSize) {
                    item.bind(7, c.item.imageSize->width());
                    item.bind(8, c.item.imageSize->height());
                }
                item.exec();
                SQLite::Statement content(
                    *m_db, "INSERT INTO clip_contents (id, content_data) VALUES (?, ?)");
                content.bind(1, idParameter(c.item.id));
                // A zero-length blob must still be a blob, never NULL.
                content.bind(2, c.contentData.isEmpty() ? "" : c.contentData.constData(),
                             static_cast<int>(c.contentData.size()));
                content.exec();
            } else if constexpr (std::is_same_v<T, Delete>) {
                // Every deletion names both tables: a bulk save runs without foreign keys.
                SQLite::Statement content(*m_db, "DELETE FROM clip_contents WHERE id = ?");
                SQLite::Statement item(*m_db, "DELETE FROM clip_items WHERE id = ?");
                for (const QUuid& id : c.ids) {
                    for (SQLite::Statement* remove : {&content, &item}) {
                        remove->bind(1, idParameter(id));
                        remove->exec();
                        remove->reset();
                    }
                }
            } else if constexpr (std::is_same_v<T, DeleteBefore>) {
                const auto cutoff = static_cast<int64_t>(c.cutoff.toMSecsSinceEpoch());
                if (bulk) {
                    keepOnlyFrom(cutoff);
                } else {
                    SQLite::Statement content(*m_db,
                                              "DELETE FROM clip_contents WHERE id IN "
                                              "(SELECT id FROM clip_items WHERE timestamp < ?)");
                    SQLite::Statement item(*m_db, "DELETE FROM clip_items WHERE timestamp < ?");
                    for (SQLite::Statement* remove : {&content, &item}) {
                        remove->bind(1, cutoff);
                        remove->exec();
                    }
                }
            } else if constexpr (std::is_same_v<T, DeleteAll>) {
                m_db->exec("DELETE FROM clip_contents");
                m_db->exec("DELETE FROM clip_items");
            } else if constexpr (std::is_same_v<T, MarkSensitive>) {
                SQLite::Statement mark(*m_db,
                                       "UPDATE clip_items SET is_sensitive = 1 WHERE id = ?");
                mark.bind(1, idParameter(c.id));
                mark.exec();
            }
        },
        change);
}

void StorageManager::keepOnlyFrom(qint64 cutoffMs)
{
    // Deleting most rows one by one rewrites nearly every page of both tables (30 s for
    // 990 000 of a million entries). Copying the few that stay aside, emptying the tables
    // (SQLite truncates a table without foreign keys at once) and putting them back takes
    // a tenth of that.
    m_db->exec("DROP TABLE IF EXISTS temp.kept_items");
    m_db->exec("DROP TABLE IF EXISTS temp.kept_contents");
    m_db->exec("CREATE TEMP TABLE kept_items AS SELECT * FROM clip_items WHERE 0");
    m_db->exec("CREATE TEMP TABLE kept_contents AS SELECT * FROM clip_contents WHERE 0");
    SQLite::Statement keep(
        *m_db, "INSERT INTO temp.kept_items SELECT * FROM clip_items WHERE timestamp >= ?");
    keep.bind(1, static_cast<int64_t>(cutoffMs));
    keep.exec();
    m_db->exec("INSERT INTO temp.kept_contents SELECT * FROM clip_contents "
               "WHERE id IN (SELECT id FROM temp.kept_items)");
    m_db->exec("DELETE FROM clip_contents");
    m_db->exec("DELETE FROM clip_items");
    m_db->exec("INSERT INTO clip_items SELECT * FROM temp.kept_items");
    m_db->exec("INSERT INTO clip_contents SELECT * FROM temp.kept_contents");
    m_db->exec("DROP TABLE temp.kept_items");
    m_db->exec("DROP TABLE temp.kept_contents");
}

qint64 StorageManager::contentBytesDeletedBy(const Change& change) const
{
    // length() of a blob comes from the record header: no content page is read.
    if (const auto* before = std::get_if<DeleteBefore>(&change)) {
        SQLite::Statement sum(*m_db, "SELECT coalesce(sum(length(c.content_data)), 0) "
                                     "FROM clip_items i JOIN clip_contents c ON c.id = i.id "
                                     "WHERE i.timestamp < ?");
        sum.bind(1, static_cast<int64_t>(before->cutoff.toMSecsSinceEpoch()));
        return sum.executeStep() ? sum.getColumn(0).getInt64() : 0;
    }
    qint64 total = 0;
    if (const auto* remove = std::get_if<Delete>(&change)) {
        SQLite::Statement size(*m_db,
                               "SELECT length(content_data) FROM clip_contents WHERE id = ?");
        for (const QUuid& id : remove->ids) {
            size.bind(1, idParameter(id));
            if (size.executeStep())
                total += size.getColumn(0).getInt64();
            size.reset();
        }
    }
    return total;
}

bool StorageManager::pendingDeletionsFreeMostOfTheFile() const
{
    try {
        qint64 deleted = 0;
        for (const Change& change : m_pending) {
            if (std::holds_alternative<DeleteAll>(change))
                return true;
            deleted += contentBytesDeletedBy(change);
        }
        if (deleted == 0)
            return false;
        const qint64 fileBytes = m_db->execAndGet("PRAGMA page_count").getInt64() *
                                 m_db->execAndGet("PRAGMA page_size").getInt64();
        return deleted * 2 >= fileBytes;
    } catch (const std::exception&) {
        return false;
    }
}

bool StorageManager::save()
{
    if (m_pending.empty()) {
        if (m_compactionOwed)
            compact();
        return true;
    }
    // Zeroing a freed page writes it twice (log, then file): for most of a history of
    // images that is minutes. Rewriting the file without the freed pages copies only what
    // stays, and leaves the deleted content in no file just the same.
    const bool bulk = pendingDeletionsFreeMostOfTheFile();
    if (bulk)
        setBulkDeletion(*m_db, true);
    bool deletes = false;
    bool committed = false;
    try {
        SQLite::Transaction transaction(*m_db, SQLite::TransactionBehavior::IMMEDIATE);
        for (const Change& change : m_pending) {
            apply(change, bulk);
            deletes = deletes || std::holds_alternative<Delete>(change) ||
                      std::holds_alternative<DeleteBefore>(change) ||
                      std::holds_alternative<DeleteAll>(change);
        }
        transaction.commit();
        committed = true;
    } catch (const std::exception& e) {
        // The transaction rolled back as a whole; everything stays pending for the next save.
        m_lastSaveError = QString::fromUtf8(e.what());
    }
    if (bulk)
        setBulkDeletion(*m_db, false);
    if (!committed) {
        m_retryTimer.start();
        return false;
    }
    m_pending.clear();
    m_lastSaveError.clear();
    m_retryTimer.stop();
    if (bulk) {
        m_compactionOwed = true;
        compact();
    } else if (deletes)
        dropOldPages(*m_db);
    return true;
}

void StorageManager::compact()
{
    try {
        m_db->exec("VACUUM");
        m_compactionOwed = false;
        dropOldPages(*m_db);
    } catch (const std::exception&) {
        // Out of space for the copy, or busy: the deleted content stays in free pages of
        // the file until a later attempt succeeds.
        m_retryTimer.start();
    }
}

void StorageManager::enqueue(Change change)
{
    m_pending.push_back(std::move(change));
    save();
}

void StorageManager::insert(const ClipItem& item, const QByteArray& contentData)
{
    enqueue(Insert{item, contentData});
    Q_EMIT itemInserted(item);
}

void StorageManager::deleteItem(const QUuid& id)
{
    enqueue(Delete{{id}});
    Q_EMIT itemsDeleted({id});
}

void StorageManager::deleteItems(const QList<ClipItem>& items)
{
    QList<QUuid> ids;
    ids.reserve(items.size());
    for (const ClipItem& item : items)
        ids.append(item.id);
    if (ids.isEmpty()) {
        save();
        return;
    }
    enqueue(Delete{ids});
    Q_EMIT itemsDeleted(ids);
}

void StorageManager::deleteItemsBefore(const QDateTime& date)
{
    enqueue(DeleteBefore{date});
    Q_EMIT itemsDeletedBefore(date);
}

void StorageManager::deleteAll()
{
    enqueue(DeleteAll{});
    Q_EMIT allItemsDeleted();
}

void StorageManager::purgeExpired(int retentionDays)
{
    if (retentionDays < 1)
        return;
    // Calendar days in local time: across a daylight-saving change a day is not 86 400 s.
    // Qt's local-time arithmetic wraps far before the first year of the calendar (half a
    // billion days back lands in the future, and would empty the history): such a cut-off
    // counts as no date at all.
    const QDateTime now = m_clock();
    const QDate cutoffDate = now.date().addDays(-qint64(retentionDays));
    if (!cutoffDate.isValid() || cutoffDate < QDate(1, 1, 1))
        return;
    const QDateTime cutoff = now.addDays(-retentionDays);
    if (!cutoff.isValid())
        return;
    deleteItemsBefore(cutoff);
}

void StorageManager::markSensitive(const QUuid& id)
{
    enqueue(MarkSensitive{id});
    Q_EMIT itemMarkedSensitive(id);
}

} // namespace nabrix
