// SPDX-License-Identifier: GPL-3.0-or-later
// The RTF control words the reader acts on, looked up by name.
#pragma once

#include <cstdint>
#include <string_view>

namespace nabrix {

enum class RtfKeywordKind : std::uint8_t {
    Unknown,
    SkippedDestination, // a destination whose text is not part of the visible document
    ShownDestination,   // a destination whose text is shown, even when marked with \*
    FontTable,
    ColorTable,
    Character, // inserts the code point in `value`
    ParagraphBreak,
    LineBreak,
    CellEnd,
    RowEnd,
    Plain,
    Bold,
    Italic,
    Underline,
    UnderlineNone,
    StrikeOut,
    Hidden,
    ForegroundColor,
    FontSize,
    Font,
    Unicode,
    UnicodeSkipCount,
    Binary,
    CharacterSet, // \ansi, \mac, \pc, \pca: the document's code page in `value`
    AnsiCodePage,
    DefaultFont,
    FontCharset,
    FontCodePage,
    Red,
    Green,
    Blue,
};

struct RtfKeyword {
    RtfKeywordKind kind = RtfKeywordKind::Unknown;
    int value = 0;
};

// The meaning of the control word `name` (case-sensitive, as RTF is); Unknown when the
// reader ignores it.
RtfKeyword rtfKeyword(std::string_view name);

} // namespace nabrix
