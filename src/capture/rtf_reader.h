// SPDX-License-Identifier: GPL-3.0-or-later
// Our own reader for RTF documents: plain text for search, styled text for display.
#pragma once

#include <QByteArray>
#include <QString>
#include <memory>

class QTextDocument;

namespace nabrix {

// The document's plain text: paragraphs, line breaks and table rows end in "\n" (each
// \par yields one, a final one included), table cells are separated by tabs. Empty when
// the bytes are not a readable RTF document.
QString rtfPlainText(const QByteArray& rtf);

// The document with its character styles (bold, italic, underline, strike-through,
// colour, font size), one block per paragraph; null when the bytes are not a readable RTF
// document. A readable document without text gives an empty document.
std::unique_ptr<QTextDocument> rtfStyledDocument(const QByteArray& rtf);

} // namespace nabrix
