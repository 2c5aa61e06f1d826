// SPDX-License-Identifier: GPL-3.0-or-later
// The folded search texts of the whole history and the entries the current query matches.
#include "history/history_search_index.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace nabrix {

namespace {

// Straightforward search for texts that do not live in the padded arena.
bool containsOnBoundary(std::string_view text, std::string_view needle)
{
    for (std::size_t at = text.find(needle); at != std::string_view::npos;
         at = text.find(needle, at + 1)) {
        const char* end = text.data() + at + needle.size();
        if (SearchFolding::endsOnCharacterBoundary(end, text.data() + text.size()))
            return true;
    }
    return false;
}

// Occurrences of a single byte: the C library's memchr is as fast as it gets.
bool containsByteInArena(const char* text, std::size_t length, char needle)
{
    const char* textEnd = text + length;
    for (const char* at = text; (at = static_cast<const char*>(std::memchr(
                                     at, needle, static_cast<std::size_t>(textEnd - at))));
         ++at) {
        if (SearchFolding::endsOnCharacterBoundary(at + 1, textEnd))
            return true;
    }
    return false;
}

#if defined(__x86_64__)
// The arena scanners compare the first and the last byte of the needle at 16 (SSE2) or 32
// (AVX2) positions at once and check the bytes between only where both agree. Both need a
// needle of two bytes or more, no longer than the text, and may read up to 31 bytes past
// `text + length`, which the arena's padding covers.
bool containsInArenaSse2(const char* text, std::size_t length, std::string_view needle)
{
    const std::size_t m = needle.size();
    const std::size_t candidates = length - m + 1;
    const __m128i first = _mm_set1_epi8(needle.front());
    const __m128i last = _mm_set1_epi8(needle.back());
    for (std::size_t i = 0; i < candidates; i += 16) {
        const __m128i head = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i));
        const __m128i tail = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i + m - 1));
        auto mask = static_cast<unsigned>(_mm_movemask_epi8(
            _mm_and_si128(_mm_cmpeq_epi8(head, first), _mm_cmpeq_epi8(tail, last))));
        if (candidates - i < 16)
            mask &= (1u << (candidates - i)) - 1;
        while (mask != 0) {
            const char* at = text + i + static_cast<std::size_t>(__builtin_ctz(mask));
            if (std::memcmp(at + 1, needle.data() + 1, m - 2) == 0 &&
                SearchFolding::endsOnCharacterBoundary(at + m, text + length))
                return true;
            mask &= mask - 1;
        }
    }
    return false;
}

__attribute__((target("avx2"))) bool containsInArenaAvx2(const char* text, std::size_t length,
                                                         std::string_view needle)
{
    const std::size_t m = needle.size();
    const std::size_t candidates = length - m + 1;
    const __m256i first = _mm256_set1_epi8(needle.front());
    const __m256i last = _mm256_set1_epi8(needle.back());
    for (std::size_t i = 0; i < candidates; i += 32) {
        const __m256i head = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(text + i));
        const __m256i tail = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(text + i + m - 1));
        auto mask = static_cast<unsigned>(_mm256_movemask_epi8(
            _mm256_and_si256(_mm256_cmpeq_epi8(head, first), _mm256_cmpeq_epi8(tail, last))));
        if (candidates - i < 32)
            mask &= (1u << (candidates - i)) - 1;
        while (mask != 0) {
            const char* at = text + i + static_cast<std::size_t>(__builtin_ctz(mask));
            if (std::memcmp(at + 1, needle.data() + 1, m - 2) == 0 &&
                SearchFolding::endsOnCharacterBoundary(at + m, text + length))
                return true;
            mask &= mask - 1;
        }
    }
    return false;
}

using ArenaScanner = bool (*)(const char*, std::size_t, std::string_view);

bool arenaScanner(const char* text, std::size_t length, std::string_view needle)
{
    // Every x86-64 processor has SSE2; most in use today have AVX2 as well.
    static const ArenaScanner scanner = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx2") ? containsInArenaAvx2 : containsInArenaSse2;
    }();
    return scanner(text, length, needle);
}
#else
bool arenaScanner(const char* text, std::size_t length, std::string_view needle)
{
    return containsOnBoundary(std::string_view(text, length), needle);
}
#endif

bool containsInArena(const char* text, std::size_t length, std::string_view needle)
{
    if (needle.size() > length)
        return false;
    if (needle.size() == 1)
        return containsByteInArena(text, length, needle.front());
    return arenaScanner(text, length, needle);
}

} // namespace

HistorySearchIndex::HistorySearchIndex(SearchFolding folding)
    : m_folding(folding)
    , m_arena(padding, '\0')
{
}

void HistorySearchIndex::reserve(qsizetype entries, qsizetype bytes)
{
    m_spans.reserve(m_spans.size() + static_cast<std::size_t>(entries));
    m_arena.reserve(m_arena.size() + static_cast<std::size_t>(bytes));
}

void HistorySearchIndex::squeeze()
{
    // Giving back room copies the whole arena (hundreds of megabytes for a large history):
    // only worth it when much of it is unused.
    const auto worthIt = [](std::size_t size, std::size_t capacity) {
        return capacity - size > size / 4;
    };
    if (worthIt(m_spans.size(), m_spans.capacity()))
        m_spans.shrink_to_fit();
    if (worthIt(m_arena.size(), m_arena.capacity()))
        m_arena.shrink_to_fit();
}

std::uint64_t HistorySearchIndex::appendToArena(std::string_view folded)
{
    const std::size_t offset = m_arena.size() - padding;
    m_arena.resize(offset);
    m_arena.append(folded);
    m_arena.append(padding, '\0');
    return offset;
}

void HistorySearchIndex::appendFolded(std::string_view folded)
{
    insertFolded(static_cast<Ordinal>(m_spans.size()), folded);
}

void HistorySearchIndex::appendAll(const HistorySearchIndex& newer)
{
    Q_ASSERT(matchesEverything() && newer.matchesEverything());
    const std::uint64_t base = m_arena.size() - padding;
    m_arena.resize(base);
    m_arena.reserve(base + newer.m_arena.size());
    // Its texts and its padding, which becomes ours.
    m_arena.append(newer.m_arena);
    m_garbage += newer.m_garbage;
    m_spans.reserve(m_spans.size() + newer.m_spans.size());
    for (const Span& span : newer.m_spans)
        m_spans.push_back({span.offset + base, span.length});
}

void HistorySearchIndex::insertFolded(Ordinal ordinal, std::string_view folded)
{
    const Span span{appendToArena(folded), static_cast<std::uint32_t>(folded.size())};
    m_spans.insert(m_spans.begin() + ordinal, span);
    if (matchesEverything())
        return;
    auto at = std::lower_bound(m_matches.begin(), m_matches.end(), ordinal);
    for (auto it = at; it != m_matches.end(); ++it)
        ++*it;
    if (spanMatches(span))
        m_matches.insert(at, ordinal);
}

void HistorySearchIndex::remove(const std::vector<Ordinal>& ordinals)
{
    if (ordinals.empty())
        return;
    // One pass over the spans and one over the matches: removed entries drop out, the
    // others move down by the number of removed entries below them.
    std::size_t kept = 0;
    auto removed = ordinals.cbegin();
    for (std::size_t i = 0; i < m_spans.size(); ++i) {
        if (removed != ordinals.cend() && *removed == i) {
            m_garbage += m_spans[i].length;
            ++removed;
            continue;
        }
        m_spans[kept++] = m_spans[i];
    }
    m_spans.resize(kept);

    std::size_t keptMatches = 0;
    removed = ordinals.cbegin();
    for (const Ordinal match : m_matches) {
        while (removed != ordinals.cend() && *removed < match)
            ++removed;
        if (removed != ordinals.cend() && *removed == match)
            continue;
        m_matches[keptMatches++] = match - static_cast<Ordinal>(removed - ordinals.cbegin());
    }
    m_matches.resize(keptMatches);

    const std::uint64_t used = m_arena.size() - padding;
    if (m_garbage > (std::uint64_t(1) << 20) && m_garbage * 2 > used)
        compactArena();
}

void HistorySearchIndex::compactArena()
{
    std::string arena;
    arena.reserve(m_arena.size() - m_garbage);
    for (Span& span : m_spans) {
        const std::uint64_t offset = arena.size();
        arena.append(m_arena, span.offset, span.length);
        span.offset = offset;
    }
    arena.append(padding, '\0');
    m_arena = std::move(arena);
    m_garbage = 0;
}

void HistorySearchIndex::clear()
{
    m_spans.clear();
    m_matches.clear();
    m_arena.assign(padding, '\0');
    m_garbage = 0;
}

std::string_view HistorySearchIndex::foldedText(Ordinal ordinal) const
{
    const Span& span = m_spans[ordinal];
    return {m_arena.data() + span.offset, span.length};
}

bool HistorySearchIndex::spanMatches(const Span& span) const
{
    return containsInArena(m_arena.data() + span.offset, span.length, m_query);
}

bool HistorySearchIndex::matchesFolded(std::string_view folded) const
{
    return matchesEverything() || containsOnBoundary(folded, m_query);
}

bool HistorySearchIndex::canNarrow(const std::string& next) const
{
    // Whatever contains `next` contains the previous query too, unless the previous query
    // only occurs in `next` followed by a combining mark: "q" rejects "q\u0303" (a
    // different letter) which "q\u0303" itself accepts.
    if (m_query.empty())
        return false;
    const std::string_view text(next);
    for (std::size_t at = text.find(m_query); at != std::string_view::npos;
         at = text.find(m_query, at + 1)) {
        if (SearchFolding::endsOnCharacterBoundary(next.data() + at + m_query.size(),
                                                   next.data() + next.size()))
            return true;
    }
    return false;
}

HistorySearchIndex::QueryResult HistorySearchIndex::evaluate(QStringView query) const
{
    QueryResult result;
    result.foldedQuery = m_folding.foldedQuery(query);
    if (result.foldedQuery == m_query)
        return result;
    if (result.foldedQuery.empty()) {
        result.changed = m_matches.size() != m_spans.size();
        return result;
    }

    const std::string_view needle(result.foldedQuery);
    const auto matches = [this, needle](Ordinal ordinal) {
        const Span& span = m_spans[ordinal];
        return containsInArena(m_arena.data() + span.offset, span.length, needle);
    };
    if (canNarrow(result.foldedQuery)) {
        result.matches.reserve(m_matches.size());
        std::copy_if(m_matches.cbegin(), m_matches.cend(), std::back_inserter(result.matches),
                     matches);
        result.examined = static_cast<qsizetype>(m_matches.size());
        result.changed = result.matches.size() != m_matches.size();
        return result;
    }
    for (std::size_t ordinal = 0; ordinal < m_spans.size(); ++ordinal) {
        if (matches(static_cast<Ordinal>(ordinal)))
            result.matches.push_back(static_cast<Ordinal>(ordinal));
    }
    result.examined = static_cast<qsizetype>(m_spans.size());
    result.changed =
        m_query.empty() ? result.matches.size() != m_spans.size() : result.matches != m_matches;
    return result;
}

void HistorySearchIndex::apply(QueryResult result)
{
    if (result.foldedQuery == m_query) {
        m_lastExamined = 0;
        return;
    }
    m_query = std::move(result.foldedQuery);
    m_matches = std::move(result.matches);
    m_lastExamined = result.examined;
}

bool HistorySearchIndex::setQuery(QStringView query)
{
    QueryResult result = evaluate(query);
    const bool changed = result.changed;
    apply(std::move(result));
    return changed;
}

qsizetype HistorySearchIndex::matchCount() const
{
    return static_cast<qsizetype>(matchesEverything() ? m_spans.size() : m_matches.size());
}

HistorySearchIndex::Ordinal HistorySearchIndex::matchAt(qsizetype position) const
{
    return matchesEverything() ? static_cast<Ordinal>(position)
                               : m_matches[static_cast<std::size_t>(position)];
}

qsizetype HistorySearchIndex::matchPosition(Ordinal ordinal) const
{
    if (matchesEverything())
        return ordinal;
    return std::lower_bound(m_matches.cbegin(), m_matches.cend(), ordinal) - m_matches.cbegin();
}

bool HistorySearchIndex::isMatch(Ordinal ordinal) const
{
    return matchesEverything() || std::binary_search(m_matches.cbegin(), m_matches.cend(), ordinal);
}

} // namespace nabrix
