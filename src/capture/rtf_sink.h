// SPDX-License-Identifier: GPL-3.0-or-later
// What the RTF parser hands on: styled runs of text and the breaks between them.
#pragma once

#include <QRgb>
#include <QStringView>
#include <optional>

namespace nabrix {

// The character formatting of one run, as far as the reader keeps it.
struct RtfCharacterStyle {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    std::optional<QRgb> color;     // none: the document's automatic colour
    std::optional<int> halfPoints; // none: the document does not say

    bool operator==(const RtfCharacterStyle&) const = default;
};

class RtfSink {
public:
    virtual ~RtfSink() = default;

    // A run of text; consecutive runs may share a style.
    virtual void text(QStringView text, const RtfCharacterStyle& style) = 0;
    // End of a paragraph (\par, \sect, \page) or of a table row.
    virtual void paragraphBreak() = 0;
    // A line break inside a paragraph (\line).
    virtual void lineBreak() = 0;
    // An optional hyphen (\-): a place where the word may break, invisible otherwise.
    virtual void optionalHyphen(const RtfCharacterStyle& style) = 0;
};

} // namespace nabrix
