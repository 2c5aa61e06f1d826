// SPDX-License-Identifier: GPL-3.0-or-later
// The folded search texts of the whole history and the entries the current query matches.
#pragma once

#include "history/search_folding.h"

#include <QStringView>
#include <QtGlobal>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace nabrix {

// Entries are addressed by ordinal, oldest first, so that a new capture is an append. Each
// entry's text is folded once, when it is added, into one contiguous arena; a query is then
// a byte scan over the arena. A query that contains the previous one (the user typed one
// more letter) only re-examines the previous matches.
class HistorySearchIndex {
public:
    using Ordinal = quint32;

    explicit HistorySearchIndex(SearchFolding folding = SearchFolding());

    const SearchFolding& folding() const { return m_folding; }

    qsizetype size() const { return static_cast<qsizetype>(m_spans.size()); }
    // Room for `entries` more entries of `bytes` folded bytes in all.
    void reserve(qsizetype entries, qsizetype bytes);
    // Gives back the room reserve() or growth left unused.
    void squeeze();
    // Adds an entry after the newest one, already folded by folding().
    void appendFolded(std::string_view folded);
    // Adds every entry of `newer`, in order, after the newest one. Neither index may have a
    // query yet (loaders build parts of a history and join them).
    void appendAll(const HistorySearchIndex& newer);
    // Adds an entry at `ordinal` (entries from there on move up by one).
    void insertFolded(Ordinal ordinal, std::string_view folded);
    // Removes the entries at `ordinals` (ascending, no repeats).
    void remove(const std::vector<Ordinal>& ordinals);
    void clear();
    std::string_view foldedText(Ordinal ordinal) const;

    // The outcome of a query, computed without changing the index, so that a list model
    // can announce the change before it happens.
    struct QueryResult {
        std::string foldedQuery;
        std::vector<Ordinal> matches;
        qsizetype examined = 0;
        bool changed = false; // the set of matching entries differs from the current one
    };
    QueryResult evaluate(QStringView query) const;
    void apply(QueryResult result);
    // evaluate() and apply() in one; true when the set of matching entries changed.
    bool setQuery(QStringView query);
    // The folded, trimmed query; empty when everything matches.
    const std::string& foldedQuery() const { return m_query; }
    bool matchesEverything() const { return m_query.empty(); }
    // Matching ordinals, ascending; every ordinal when matchesEverything().
    qsizetype matchCount() const;
    Ordinal matchAt(qsizetype position) const;
    // Where `ordinal` is, or would be, among the matches.
    qsizetype matchPosition(Ordinal ordinal) const;
    bool isMatch(Ordinal ordinal) const;
    // Whether a folded text would match the current query.
    bool matchesFolded(std::string_view folded) const;

    // How many entries the last query change examined (all of them, or just the earlier
    // matches when it narrowed them).
    qsizetype lastExaminedCount() const { return m_lastExamined; }

private:
    struct Span {
        std::uint64_t offset;
        std::uint32_t length;
    };

    static constexpr std::size_t padding = 32;

    std::uint64_t appendToArena(std::string_view folded);
    void compactArena();
    bool spanMatches(const Span& span) const;
    bool canNarrow(const std::string& next) const;

    SearchFolding m_folding;
    // Folded texts back to back, followed by `padding` zero bytes so that the scanner may
    // read a vector's width past the end of the last text.
    std::string m_arena;
    std::uint64_t m_garbage = 0;
    std::vector<Span> m_spans;
    std::string m_query;
    std::vector<Ordinal> m_matches;
    qsizetype m_lastExamined = 0;
};

} // namespace nabrix
