// SPDX-License-Identifier: GPL-3.0-or-later
// Character-format rewrites over a whole QTextDocument.
#include "views/styled_text.h"

#include <QFontMetricsF>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextLayout>
#include <algorithm>
#include <functional>
#include <vector>

namespace nabrix {

namespace {

bool isTooDark(const QColor& color)
{
    const double luminance = 0.299 * color.redF() + 0.587 * color.greenF() + 0.114 * color.blueF();
    return luminance < 0.35;
}

// Rewrites each fragment's format; fragments are collected first because rewriting one
// may merge it with its neighbours.
void rewriteFormats(QTextDocument& document, const std::function<bool(QTextCharFormat&)>& rewrite)
{
    struct Change {
        int position;
        int length;
        QTextCharFormat format;
    };
    std::vector<Change> changes;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            QTextCharFormat format = fragment.charFormat();
            if (rewrite(format))
                changes.push_back({fragment.position(), fragment.length(), format});
        }
    }
    QTextCursor cursor(&document);
    for (const Change& change : changes) {
        cursor.setPosition(change.position);
        cursor.setPosition(change.position + change.length, QTextCursor::KeepAnchor);
        cursor.setCharFormat(change.format);
    }
}

} // namespace

void adaptForDarkBackground(QTextDocument& document)
{
    rewriteFormats(document, [](QTextCharFormat& format) {
        if (!format.hasProperty(QTextFormat::ForegroundBrush))
            return false;
        if (!isTooDark(format.foreground().color()))
            return false;
        format.clearForeground();
        return true;
    });
}

void usePointsAsPixels(QTextDocument& document)
{
    rewriteFormats(document, [](QTextCharFormat& format) {
        if (!format.hasProperty(QTextFormat::FontPointSize))
            return false;
        const qreal points = format.fontPointSize();
        format.clearProperty(QTextFormat::FontPointSize);
        format.setProperty(QTextFormat::FontPixelSize, std::max(1, qRound(points)));
        return true;
    });
}

void dropFontSizes(QTextDocument& document)
{
    rewriteFormats(document, [](QTextCharFormat& format) {
        if (!format.hasProperty(QTextFormat::FontPointSize) &&
            !format.hasProperty(QTextFormat::FontPixelSize))
            return false;
        format.clearProperty(QTextFormat::FontPointSize);
        format.clearProperty(QTextFormat::FontPixelSize);
        return true;
    });
}

void elideToLines(QTextDocument& document, int maxLines)
{
    // Lays the document out, so that its blocks know their lines.
    document.size();
    int linesBefore = 0;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const QTextLayout* layout = block.layout();
        const int lines = layout->lineCount();
        if (linesBefore + lines < maxLines) {
            linesBefore += lines;
            continue;
        }
        if (linesBefore + lines == maxLines && !block.next().isValid())
            return;
        const QTextLine last = layout->lineAt(maxLines - linesBefore - 1);
        const QString ellipsis(QChar(0x2026));
        QTextCursor cursor(&document);
        const int lineStart = block.position() + last.textStart();
        const int lineEnd = lineStart + last.textLength();
        cursor.setPosition(lineEnd);
        const QFont font = cursor.charFormat().font().resolve(document.defaultFont());
        const qreal room = document.textWidth() - QFontMetricsF(font).horizontalAdvance(ellipsis);
        int cut = block.position() + last.xToCursor(room, QTextLine::CursorBetweenCharacters);
        cut = std::clamp(cut, lineStart, lineEnd);
        // The nearest position may lie just past the room.
        while (cut > lineStart && last.cursorToX(cut - block.position()) > room)
            --cut;
        while (cut > lineStart && document.characterAt(cut - 1).isSpace())
            --cut;
        cursor.setPosition(cut);
        const QTextCharFormat format = cursor.charFormat();
        cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
        cursor.insertText(ellipsis, format);
        return;
    }
}

} // namespace nabrix
