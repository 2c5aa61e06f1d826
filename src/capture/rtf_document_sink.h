// SPDX-License-Identifier: GPL-3.0-or-later
// Builds a QTextDocument from an RTF document's styled runs and paragraphs.
#pragma once

#include "capture/rtf_sink.h"

#include <QTextCursor>
#include <memory>

class QTextDocument;

namespace nabrix {

// Each paragraph (and table row) is a block; \line is a line separator inside it. Runs
// carry bold, italic, underline, strike-through, colour and size; what the document
// leaves unsaid (automatic colour, no \fs) stays unset so the view's own palette and font
// apply.
class RtfDocumentSink final : public RtfSink {
public:
    RtfDocumentSink();
    ~RtfDocumentSink() override;

    void text(QStringView text, const RtfCharacterStyle& style) override;
    void paragraphBreak() override;
    void lineBreak() override;
    void optionalHyphen(const RtfCharacterStyle& style) override;

    // The finished document; the sink is spent afterwards.
    std::unique_ptr<QTextDocument> takeDocument();

private:
    std::unique_ptr<QTextDocument> m_document;
    QTextCursor m_cursor;
};

} // namespace nabrix
