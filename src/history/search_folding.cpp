// SPDX-License-Identifier: GPL-3.0-or-later
// Turns history texts and search queries into the folded UTF-8 that the search compares.
#include "history/search_folding.h"

#include <unicode/bytestream.h>
#include <unicode/normalizer2.h>
#include <unicode/ucasemap.h>
#include <unicode/uchar.h>
#include <unicode/unorm2.h>
#include <unicode/ustring.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <type_traits>

namespace nabrix {

namespace {

constexpr UChar32 replacementCharacter = 0xFFFD;
// Folded "ı" (U+0131), what a capital I becomes under the Turkic rules.
constexpr std::string_view dotlessI = "\xC4\xB1";

// Scratch space reused by every call on a thread: loading folds hundreds of thousands of
// texts, and most of them are short.
struct Buffers {
    std::u16string normalized;
    std::u16string folded;
    std::string normalizedUtf8;
};

Buffers& buffers()
{
    thread_local Buffers instance;
    return instance;
}

inline char foldedAscii(unsigned char c)
{
    return static_cast<char>(c + (static_cast<unsigned char>(c - 'A') < 26 ? 32 : 0));
}

// ASCII is already in composed form and folds letter by letter. The common case has no
// branches, so that the compiler vectorises it: loading folds tens of megabytes of it.
template <typename Unit>
void appendFoldedAscii(const Unit* text, std::size_t length, SearchFolding::CaseRules rules,
                       std::string& out)
{
    if (rules == SearchFolding::CaseRules::Turkic &&
        std::find(text, text + length, Unit('I')) != text + length) {
        // A capital I folds to the two bytes of a dotless i.
        for (std::size_t i = 0; i < length; ++i) {
            if (text[i] == Unit('I'))
                out.append(dotlessI);
            else
                out.push_back(foldedAscii(static_cast<unsigned char>(text[i])));
        }
        return;
    }
    const std::size_t start = out.size();
    out.resize(start + length);
    char* folded = out.data() + start;
    for (std::size_t i = 0; i < length; ++i)
        folded[i] = foldedAscii(static_cast<unsigned char>(text[i]));
}

// Length of the ASCII run at the start of `text`, eight bytes at a time where it can.
std::size_t asciiPrefix(const char* text, std::size_t length)
{
    std::size_t i = 0;
    for (; i + 8 <= length; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, text + i, 8);
        if (word & 0x8080808080808080u)
            break;
    }
    while (i < length && static_cast<unsigned char>(text[i]) < 0x80)
        ++i;
    return i;
}

std::size_t asciiPrefix(const char16_t* text, std::size_t length)
{
    std::size_t i = 0;
    while (i < length && text[i] < 0x80)
        ++i;
    return i;
}

uint32_t foldOptions(SearchFolding::CaseRules rules)
{
    return rules == SearchFolding::CaseRules::Turkic ? U_FOLD_CASE_EXCLUDE_SPECIAL_I
                                                     : U_FOLD_CASE_DEFAULT;
}

// Composes and folds a stretch of text that holds non-ASCII characters.
void appendFoldedSegment(const UChar* text, int32_t length, SearchFolding::CaseRules rules,
                         std::string& out)
{
    Buffers& scratch = buffers();
    UErrorCode status = U_ZERO_ERROR;
    const UNormalizer2* nfc = unorm2_getNFCInstance(&status);
    if (U_FAILURE(status))
        return;

    const UChar* composed = text;
    int32_t composedLength = length;
    if (unorm2_spanQuickCheckYes(nfc, text, length, &status) < length && U_SUCCESS(status)) {
        // Composition never grows a text by more than a factor of three (NFC's bound).
        scratch.normalized.resize(static_cast<std::size_t>(length) * 3 + 1);
        composedLength = unorm2_normalize(nfc, text, length, scratch.normalized.data(),
                                          static_cast<int32_t>(scratch.normalized.size()), &status);
        if (U_FAILURE(status))
            return;
        composed = scratch.normalized.data();
    }
    status = U_ZERO_ERROR;

    const uint32_t options = foldOptions(rules);
    scratch.folded.resize(static_cast<std::size_t>(composedLength) + 16);
    int32_t foldedLength =
        u_strFoldCase(scratch.folded.data(), static_cast<int32_t>(scratch.folded.size()), composed,
                      composedLength, options, &status);
    if (status == U_BUFFER_OVERFLOW_ERROR) {
        status = U_ZERO_ERROR;
        scratch.folded.resize(static_cast<std::size_t>(foldedLength) + 1);
        foldedLength =
            u_strFoldCase(scratch.folded.data(), static_cast<int32_t>(scratch.folded.size()),
                          composed, composedLength, options, &status);
    }
    if (U_FAILURE(status))
        return;

    // Every UTF-16 unit takes at most three bytes in UTF-8 (a surrogate pair takes four).
    const std::size_t start = out.size();
    out.resize(start + static_cast<std::size_t>(foldedLength) * 3);
    int32_t written = 0;
    status = U_ZERO_ERROR;
    u_strToUTF8WithSub(out.data() + start, static_cast<int32_t>(out.size() - start), &written,
                       scratch.folded.data(), foldedLength, replacementCharacter, nullptr, &status);
    out.resize(U_SUCCESS(status) ? start + static_cast<std::size_t>(written) : start);
}

// The same for UTF-8, without a detour through UTF-16.
void appendFoldedSegment(const char* text, std::size_t length, SearchFolding::CaseRules rules,
                         std::string& out)
{
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2* nfc = icu::Normalizer2::getNFCInstance(status);
    if (U_FAILURE(status))
        return;
    icu::StringPiece composed(text, static_cast<int32_t>(length));
    if (!nfc->isNormalizedUTF8(composed, status) || U_FAILURE(status)) {
        std::string& normalized = buffers().normalizedUtf8;
        normalized.clear();
        icu::StringByteSink<std::string> sink(&normalized);
        status = U_ZERO_ERROR;
        nfc->normalizeUTF8(0, composed, sink, nullptr, status);
        if (U_FAILURE(status))
            return;
        composed = icu::StringPiece(normalized);
    }

    static const icu::LocalUCaseMapPointer defaultCaseMap = [] {
        UErrorCode error = U_ZERO_ERROR;
        return icu::LocalUCaseMapPointer(ucasemap_open("", U_FOLD_CASE_DEFAULT, &error));
    }();
    static const icu::LocalUCaseMapPointer turkicCaseMap = [] {
        UErrorCode error = U_ZERO_ERROR;
        return icu::LocalUCaseMapPointer(ucasemap_open("", U_FOLD_CASE_EXCLUDE_SPECIAL_I, &error));
    }();
    const UCaseMap* caseMap = rules == SearchFolding::CaseRules::Turkic ? turkicCaseMap.getAlias()
                                                                        : defaultCaseMap.getAlias();
    if (!caseMap)
        return;
    const std::size_t start = out.size();
    // Folding rarely grows a text; by more than a factor of three, never.
    out.resize(start + static_cast<std::size_t>(composed.size()) * 3 + 4);
    status = U_ZERO_ERROR;
    const int32_t written =
        ucasemap_utf8FoldCase(caseMap, out.data() + start, static_cast<int32_t>(out.size() - start),
                              composed.data(), composed.size(), &status);
    out.resize(U_SUCCESS(status) ? start + static_cast<std::size_t>(written) : start);
}

// Folds ASCII stretches directly and hands the rest to ICU. A stretch boundary before an
// ASCII character is safe: ASCII never composes with what precedes it, but an ASCII letter
// may compose with the marks after it, so it goes with the stretch that follows.
template <typename Unit>
void appendFoldedBySegments(const Unit* text, std::size_t length, SearchFolding::CaseRules rules,
                            std::string& out)
{
    const auto isAsciiAt = [text](std::size_t i) {
        return static_cast<std::make_unsigned_t<Unit>>(text[i]) < 0x80;
    };
    std::size_t done = 0;
    while (done < length) {
        const std::size_t nonAscii = done + asciiPrefix(text + done, length - done);
        if (nonAscii == length) {
            appendFoldedAscii(text + done, length - done, rules, out);
            return;
        }
        const std::size_t segment = nonAscii > done ? nonAscii - 1 : nonAscii;
        appendFoldedAscii(text + done, segment - done, rules, out);
        std::size_t end = nonAscii;
        while (end < length && !isAsciiAt(end))
            ++end;
        if constexpr (std::is_same_v<Unit, char>)
            appendFoldedSegment(text + segment, end - segment, rules, out);
        else
            appendFoldedSegment(reinterpret_cast<const UChar*>(text + segment),
                                static_cast<int32_t>(end - segment), rules, out);
        done = end;
    }
}

} // namespace

SearchFolding::SearchFolding(const QLocale& locale)
    : m_rules(locale.language() == QLocale::Turkish || locale.language() == QLocale::Azerbaijani
                  ? CaseRules::Turkic
                  : CaseRules::Default)
{
}

void SearchFolding::appendFolded(QStringView text, std::string& out) const
{
    appendFoldedBySegments(text.utf16(), static_cast<std::size_t>(text.size()), m_rules, out);
}

void SearchFolding::appendFoldedUtf8(std::string_view utf8, std::string& out) const
{
    appendFoldedBySegments(utf8.data(), utf8.size(), m_rules, out);
}

std::string SearchFolding::folded(QStringView text) const
{
    std::string out;
    appendFolded(text, out);
    return out;
}

std::string SearchFolding::foldedQuery(QStringView query) const
{
    return folded(query.trimmed());
}

bool SearchFolding::endsOnCharacterBoundary(const char* matchEnd, const char* textEnd)
{
    // Combining marks start at U+0300, whose UTF-8 lead byte is 0xCC: anything below is a
    // letter, digit or punctuation of its own.
    if (matchEnd == textEnd || static_cast<unsigned char>(*matchEnd) < 0xCC)
        return true;
    const auto* bytes = reinterpret_cast<const uint8_t*>(matchEnd);
    const auto available = static_cast<int32_t>(std::min<std::ptrdiff_t>(textEnd - matchEnd, 4));
    int32_t offset = 0;
    UChar32 next = 0;
    U8_NEXT_OR_FFFD(bytes, offset, available, next);
    const bool isMark = (U_GET_GC_MASK(next) & U_GC_M_MASK) != 0;
    return !isMark || u_hasBinaryProperty(next, UCHAR_VARIATION_SELECTOR);
}

} // namespace nabrix
