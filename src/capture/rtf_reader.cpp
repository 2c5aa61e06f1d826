// SPDX-License-Identifier: GPL-3.0-or-later
// Our own reader for RTF documents: plain text for search, styled text for display.
#include "capture/rtf_reader.h"

#include "capture/rtf_document_sink.h"
#include "capture/rtf_parser.h"
#include "capture/rtf_plain_text_sink.h"

#include <QTextDocument>

namespace nabrix {

QString rtfPlainText(const QByteArray& rtf)
{
    RtfPlainTextSink sink;
    if (!RtfParser(sink).parse(rtf))
        return {};
    return sink.plainText();
}

std::unique_ptr<QTextDocument> rtfStyledDocument(const QByteArray& rtf)
{
    RtfDocumentSink sink;
    if (!RtfParser(sink).parse(rtf))
        return nullptr;
    return sink.takeDocument();
}

} // namespace nabrix
