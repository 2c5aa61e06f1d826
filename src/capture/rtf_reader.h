// Our own reader for RTF documents: plain text for search, styled text for display.
#pragma once

#include <QByteArray>
#include <QString>
#include <memory>

class QTextDocument;

namespace nabrix {

// The document's plain text; empty when the bytes are not a readable RTF document.
QString rtfPlainText(const QByteArray& rtf);

// The document with its character styles (bold, italic, underline, strike-through,
// colour, font size); null when the bytes are not a readable RTF document.
std::unique_ptr<QTextDocument> rtfStyledDocument(const QByteArray& rtf);

} // namespace nabrix
