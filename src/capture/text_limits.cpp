// SPDX-License-Identifier: GPL-3.0-or-later
// Bounds on the plain text kept for search and the sensitivity check.
#include "capture/text_limits.h"

#include <QTextBoundaryFinder>

namespace nabrix {

QString firstCharacters(const QString& text, qsizetype count)
{
    // No text of at most `count` code units can have more than `count` clusters.
    if (text.size() <= count)
        return text;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qsizetype clusters = 0;
    while (clusters < count) {
        if (finder.toNextBoundary() < 0)
            return text;
        ++clusters;
    }
    return text.left(finder.position());
}

} // namespace nabrix
