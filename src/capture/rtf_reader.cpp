// Our own reader for RTF documents: plain text for search, styled text for display.
#include "capture/rtf_reader.h"

#include <QTextDocument>

namespace nabrix {

// Placeholder until the reader lands: every document counts as unreadable.
QString rtfPlainText(const QByteArray&)
{
    return {};
}

std::unique_ptr<QTextDocument> rtfStyledDocument(const QByteArray&)
{
    return nullptr;
}

} // namespace nabrix
