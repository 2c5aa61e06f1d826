// SPDX-License-Identifier: GPL-3.0-or-later
// Reads the entries' metadata straight from a history file, for building the history list.
#include "storage/metadata_reader.h"

#include <QFile>
#include <SQLiteCpp/SQLiteCpp.h>
#include <limits>
#include <sqlite3.h>
#include <stop_token>

namespace nabrix {

namespace {

// A busy writer holds the file for one transaction at most.
constexpr int busyTimeoutMs = 2000;

std::string_view textOf(const SQLite::Column& column)
{
    const char* text = column.getText();
    return {text, static_cast<std::size_t>(column.getBytes())};
}

// Virtual machine instructions between looks at the stop request: a few rows' worth.
constexpr int instructionsPerStopCheck = 1000;

int stopRequested(void* stop)
{
    return static_cast<const std::stop_token*>(stop)->stop_requested() ? 1 : 0;
}

struct Interrupt {
    sqlite3* db;
    void operator()() const { sqlite3_interrupt(db); }
};

// A read-only connection whose statements fail once `stop` is requested, which must
// outlive it: the progress handler looks between instructions, and the interrupt ends a
// single long one (a count over the whole file).
class StoppableConnection {
public:
    StoppableConnection(const QString& filePath, const std::stop_token& stop)
        : db(QFile::encodeName(filePath).toStdString(), SQLite::OPEN_READONLY, busyTimeoutMs)
    {
        if (!stop.stop_possible())
            return;
        sqlite3_progress_handler(db.getHandle(), instructionsPerStopCheck, &stopRequested,
                                 const_cast<std::stop_token*>(&stop));
        m_interrupt.emplace(stop, Interrupt{db.getHandle()});
    }

    SQLite::Database db;

private:
    // Gone before the connection closes.
    std::optional<std::stop_callback<Interrupt>> m_interrupt;
};

} // namespace

bool MetadataReader::read(const QString& filePath, std::optional<qint64> lower,
                          std::optional<qint64> upper, const std::function<void(qint64)>& sized,
                          const std::function<void(const StoredMetadata&)>& visit,
                          const std::stop_token& stop)
{
    try {
        StoppableConnection connection(filePath, stop);
        SQLite::Database& db = connection.db;
        db.exec("PRAGMA foreign_keys = ON");
        const std::string range = " WHERE timestamp >= ?1 AND timestamp < ?2 ";
        const auto bindRange = [&lower, &upper](SQLite::Statement& statement) {
            statement.bind(
                1, static_cast<int64_t>(lower.value_or(std::numeric_limits<qint64>::min())));
            statement.bind(
                2, static_cast<int64_t>(upper.value_or(std::numeric_limits<qint64>::max())));
        };
        SQLite::Statement count(db, "SELECT count(*) FROM clip_items" + range);
        bindRange(count);
        if (count.executeStep())
            sized(count.getColumn(0).getInt64());

        SQLite::Statement query(db, "SELECT id, timestamp, type, search_string, "
                                    "source_app_bundle_id, is_sensitive, image_width, image_height "
                                    "FROM clip_items" +
                                        range + "ORDER BY timestamp ASC");
        bindRange(query);
        StoredMetadata row;
        while (query.executeStep()) {
            const std::string_view type = textOf(query.getColumn(2));
            const auto known = clipTypeFromRawValue(
                QUtf8StringView(type.data(), static_cast<qsizetype>(type.size())));
            if (!known)
                continue;
            const std::string_view id = textOf(query.getColumn(0));
            row.id =
                QUuid::fromString(QLatin1StringView(id.data(), static_cast<qsizetype>(id.size())));
            row.msecs = query.getColumn(1).getInt64();
            row.type = *known;
            row.searchText = textOf(query.getColumn(3));
            const SQLite::Column source = query.getColumn(4);
            row.sourceApp = source.isNull() ? std::nullopt : std::optional(textOf(source));
            row.isSensitive = query.getColumn(5).getInt() != 0;
            row.imageSize = std::nullopt;
            if (!query.getColumn(6).isNull() && !query.getColumn(7).isNull())
                row.imageSize = QSize(query.getColumn(6).getInt(), query.getColumn(7).getInt());
            visit(row);
        }
    } catch (const std::exception&) {
        return false;
    }
    return true;
}

std::optional<qint64> MetadataReader::middleTimestamp(const QString& filePath,
                                                      qint64 minimumEntries,
                                                      const std::stop_token& stop)
{
    try {
        StoppableConnection connection(filePath, stop);
        SQLite::Database& db = connection.db;
        const qint64 entries = db.execAndGet("SELECT count(*) FROM clip_items").getInt64();
        if (entries < minimumEntries)
            return std::nullopt;
        SQLite::Statement middle(
            db, "SELECT timestamp FROM clip_items ORDER BY timestamp ASC LIMIT 1 OFFSET ?");
        middle.bind(1, static_cast<int64_t>(entries / 2));
        if (middle.executeStep())
            return middle.getColumn(0).getInt64();
    } catch (const std::exception&) {
    }
    return std::nullopt;
}

} // namespace nabrix
