// Turns history texts and search queries into the folded UTF-8 that the search compares.
#include "views/search_folding.h"

#include <unicode/uchar.h>
#include <unicode/unorm2.h>
#include <unicode/ustring.h>
#include <unicode/utf8.h>

#include <algorithm>

namespace nabrix {

namespace {

constexpr UChar32 replacementCharacter = 0xFFFD;
// Folded "ı" (U+0131), what a capital I becomes under the Turkic rules.
constexpr std::string_view dotlessI = "\xC4\xB1";

// Scratch space reused by every call on a thread: loading folds hundreds of thousands of
// texts, and most of them are short.
struct Buffers {
    std::u16string source;
    std::u16string normalized;
    std::u16string folded;
};

Buffers& buffers() {
    thread_local Buffers instance;
    return instance;
}

template <typename Unit> bool isAscii(const Unit* text, std::size_t length) {
    return std::all_of(text, text + length, [](Unit unit) {
        return static_cast<std::make_unsigned_t<Unit>>(unit) < 0x80;
    });
}

// ASCII is already in composed form and folds letter by letter.
template <typename Unit>
void appendFoldedAscii(const Unit* text, std::size_t length, SearchFolding::CaseRules rules,
                       std::string& out) {
    out.reserve(out.size() + length);
    for (std::size_t i = 0; i < length; ++i) {
        const char c = static_cast<char>(text[i]);
        if (c == 'I' && rules == SearchFolding::CaseRules::Turkic)
            out.append(dotlessI);
        else if (c >= 'A' && c <= 'Z')
            out.push_back(static_cast<char>(c - 'A' + 'a'));
        else
            out.push_back(c);
    }
}

void appendFoldedUtf16(const UChar* text, int32_t length, SearchFolding::CaseRules rules,
                       std::string& out) {
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

    const uint32_t options = rules == SearchFolding::CaseRules::Turkic
                                 ? U_FOLD_CASE_EXCLUDE_SPECIAL_I
                                 : U_FOLD_CASE_DEFAULT;
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

} // namespace

SearchFolding::SearchFolding(const QLocale& locale)
    : m_rules(locale.language() == QLocale::Turkish || locale.language() == QLocale::Azerbaijani
                  ? CaseRules::Turkic
                  : CaseRules::Default) {}

void SearchFolding::appendFolded(QStringView text, std::string& out) const {
    const auto length = static_cast<std::size_t>(text.size());
    if (isAscii(text.utf16(), length)) {
        appendFoldedAscii(text.utf16(), length, m_rules, out);
        return;
    }
    appendFoldedUtf16(reinterpret_cast<const UChar*>(text.utf16()), static_cast<int32_t>(length),
                      m_rules, out);
}

void SearchFolding::appendFoldedUtf8(std::string_view utf8, std::string& out) const {
    if (isAscii(utf8.data(), utf8.size())) {
        appendFoldedAscii(utf8.data(), utf8.size(), m_rules, out);
        return;
    }
    std::u16string& source = buffers().source;
    // UTF-16 never needs more units than UTF-8 has bytes.
    source.resize(utf8.size() + 1);
    int32_t length = 0;
    UErrorCode status = U_ZERO_ERROR;
    u_strFromUTF8WithSub(source.data(), static_cast<int32_t>(source.size()), &length, utf8.data(),
                         static_cast<int32_t>(utf8.size()), replacementCharacter, nullptr, &status);
    if (U_FAILURE(status))
        return;
    appendFoldedUtf16(source.data(), length, m_rules, out);
}

std::string SearchFolding::folded(QStringView text) const {
    std::string out;
    appendFolded(text, out);
    return out;
}

std::string SearchFolding::foldedQuery(QStringView query) const {
    return folded(query.trimmed());
}

bool SearchFolding::endsOnCharacterBoundary(const char* matchEnd, const char* textEnd) {
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
