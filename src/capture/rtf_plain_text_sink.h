// SPDX-License-Identifier: GPL-3.0-or-later
// Collects an RTF document's plain text, as search and the sensitivity check read it.
#pragma once

#include "capture/rtf_sink.h"

#include <QString>

namespace nabrix {

// Paragraphs and line breaks become "\n" (a final \par included, as the document says),
// table cells are separated by tabs and rows by "\n"; optional hyphens (\- or U+00AD) are
// dropped so that a hyphenation hint never splits a word for search.
class RtfPlainTextSink final : public RtfSink {
public:
    void text(QStringView text, const RtfCharacterStyle& style) override;
    void paragraphBreak() override;
    void lineBreak() override;
    void optionalHyphen(const RtfCharacterStyle& style) override;

    const QString& plainText() const { return m_text; }

private:
    QString m_text;
};

} // namespace nabrix
