// SPDX-License-Identifier: GPL-3.0-or-later
// Builds a QTextDocument from an RTF document's styled runs and paragraphs.
#include "capture/rtf_document_sink.h"

#include <QColor>
#include <QFont>
#include <QTextCharFormat>
#include <QTextDocument>

namespace nabrix {

namespace {

QTextCharFormat charFormat(const RtfCharacterStyle& style)
{
    QTextCharFormat format;
    if (style.bold)
        format.setFontWeight(QFont::Bold);
    if (style.italic)
        format.setFontItalic(true);
    if (style.underline)
        format.setFontUnderline(true);
    if (style.strikeOut)
        format.setFontStrikeOut(true);
    if (style.color)
        format.setForeground(QColor::fromRgb(*style.color));
    if (style.halfPoints)
        format.setFontPointSize(*style.halfPoints / 2.0);
    return format;
}

} // namespace

RtfDocumentSink::RtfDocumentSink()
    : m_document(std::make_unique<QTextDocument>())
{
    // Built once and only displayed: no undo history, one layout pass at the end.
    m_document->setUndoRedoEnabled(false);
    m_cursor = QTextCursor(m_document.get());
    m_cursor.beginEditBlock();
}

RtfDocumentSink::~RtfDocumentSink()
{
    if (m_document)
        m_cursor.endEditBlock();
}

void RtfDocumentSink::text(QStringView text, const RtfCharacterStyle& style)
{
    m_cursor.insertText(text.toString(), charFormat(style));
}

void RtfDocumentSink::paragraphBreak()
{
    m_cursor.insertBlock();
}

void RtfDocumentSink::lineBreak()
{
    m_cursor.insertText(QString(QChar::LineSeparator));
}

void RtfDocumentSink::optionalHyphen(const RtfCharacterStyle& style)
{
    m_cursor.insertText(QString(QChar::SoftHyphen), charFormat(style));
}

std::unique_ptr<QTextDocument> RtfDocumentSink::takeDocument()
{
    m_cursor.endEditBlock();
    m_cursor = QTextCursor();
    return std::move(m_document);
}

} // namespace nabrix
