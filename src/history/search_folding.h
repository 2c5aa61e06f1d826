// SPDX-License-Identifier: GPL-3.0-or-later
// Turns history texts and search queries into the folded UTF-8 that the search compares.
#pragma once

#include <QLocale>
#include <QStringView>
#include <string>
#include <string_view>

namespace nabrix {

// Case-insensitive, diacritic-sensitive comparison in the user's locale: texts are put in
// canonical composed form (so a composed and a decomposed "é" are the same text), then
// fully case-folded ("STRASSE" and "straße" fold alike). Turkish and Azerbaijani fold the
// dotted and dotless i as their users expect; every other locale uses the default folding.
class SearchFolding {
public:
    enum class CaseRules { Default, Turkic };

    explicit SearchFolding(const QLocale& locale = QLocale());
    explicit SearchFolding(CaseRules rules)
        : m_rules(rules)
    {
    }

    CaseRules caseRules() const { return m_rules; }

    // Appends the folded form of `text` to `out`. Invalid input (a lone surrogate, a
    // malformed UTF-8 sequence) folds to U+FFFD instead of failing.
    void appendFolded(QStringView text, std::string& out) const;
    void appendFoldedUtf8(std::string_view utf8, std::string& out) const;
    std::string folded(QStringView text) const;

    // The query as the search compares it: white space and line breaks trimmed from both
    // ends, then folded. Empty means "everything".
    std::string foldedQuery(QStringView query) const;

    // True when `match` (a folded query found in a folded text ending at `end`) stops
    // before a combining mark: a mark attached to the last matched letter makes it a
    // different letter, so "cafe" must not be found in "cafe\u0301"-like sequences that
    // have no composed form. Variation selectors do not count as marks.
    static bool endsOnCharacterBoundary(const char* matchEnd, const char* textEnd);

private:
    CaseRules m_rules = CaseRules::Default;
};

} // namespace nabrix
