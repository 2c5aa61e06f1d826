// Character-format rewrites over a whole QTextDocument.
#include "views/styled_text.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
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

} // namespace nabrix
