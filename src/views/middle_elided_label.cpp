// SPDX-License-Identifier: GPL-3.0-or-later
// Two-line middle elision for the detail page's file lines.
#include "views/middle_elided_label.h"

#include <QTextLayout>

namespace nabrix {

namespace {

QStringList wrapAnywhere(const QString& text, const QFont& font, int width)
{
    QTextLayout layout(text, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAnywhere);
    layout.setTextOption(option);
    QStringList lines;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        lines.append(text.mid(line.textStart(), line.textLength()));
    }
    layout.endLayout();
    return lines;
}

} // namespace

MiddleElidedLabel::MiddleElidedLabel(const QString& text, QWidget* parent)
    : QLabel(parent)
    , m_fullText(text)
{
    setTextFormat(Qt::PlainText);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    setToolTip(text);
    setAccessibleName(text);
    setText(text);
}

QString MiddleElidedLabel::twoLines(const QString& text, const QFont& font, int width)
{
    if (width <= 0)
        return text;
    const QStringList lines = wrapAnywhere(text, font, width);
    if (lines.size() <= 2)
        return lines.join(QLatin1Char('\n'));
    const QFontMetrics metrics(font);
    // Two lines' room, less a character for the break not falling on the last pixel.
    const QString shortened =
        metrics.elidedText(text, Qt::ElideMiddle, 2 * width - 2 * metrics.maxWidth());
    return wrapAnywhere(shortened, font, width).mid(0, 2).join(QLatin1Char('\n'));
}

void MiddleElidedLabel::resizeEvent(QResizeEvent* event)
{
    QLabel::resizeEvent(event);
    const QString shown = twoLines(m_fullText, font(), contentsRect().width());
    if (shown != text())
        setText(shown);
}

} // namespace nabrix
