// SPDX-License-Identifier: GPL-3.0-or-later
// Which history entries the command line lists, and the lines or JSON it prints for them.
#pragma once

#include "storage/clip_item.h"
#include "history/search_folding.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>

namespace nabrix {

class EntryListing {
public:
    struct Filter {
        std::optional<ClipType> type;
        // Matched as the history window's search field matches it; empty keeps everything.
        QString query;
        std::optional<qsizetype> limit;
    };
    enum class Sensitive { Masked, Revealed };

    // The entries of `newestFirst` that pass `filter`, in the same order.
    static QList<ClipItem> select(const QList<ClipItem>& newestFirst, const Filter& filter,
                                  const SearchFolding& folding = SearchFolding());

    // The entry in one line: what its row shows (sensitive text and images masked as the
    // row masks them), control characters and line breaks as their visible symbols, cut
    // after a few hundred characters.
    static QString preview(const ClipItem& item, Sensitive sensitive);

    // "id<TAB>age<TAB>type<TAB>preview" per entry, the age as the row gives it at `now`.
    // With `columns`, each line is cut to that many terminal columns.
    static QByteArray lines(const QList<ClipItem>& items, const QDateTime& now, Sensitive sensitive,
                            std::optional<int> columns);
    // One array of objects with id, timestamp (ISO 8601, UTC), type, source, sensitive and
    // preview.
    static QByteArray json(const QList<ClipItem>& items, Sensitive sensitive);

    // `line` cut so that a terminal shows it in `columns` columns, tabs stopping every eight,
    // ending in an ellipsis when something was cut.
    static QString cutToColumns(const QString& line, int columns);
};

} // namespace nabrix
