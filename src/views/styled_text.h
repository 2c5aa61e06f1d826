// SPDX-License-Identifier: GPL-3.0-or-later
// Adjustments that make a copied rich text readable in the dark history window.
#pragma once

class QTextDocument;

namespace nabrix {

// Text colours too dark to read on the dark background (black text from a light-themed
// editor, most often) give way to the window's own text colour.
void adaptForDarkBackground(QTextDocument& document);
// Sizes written in points are shown as that many logical pixels, the scale the rest of the
// window uses (a 12-point document is as large as the window's 12-pixel text).
void usePointsAsPixels(QTextDocument& document);
// Sizes go, so that a one-line preview uses the row's font whatever the document says.
void dropFontSizes(QTextDocument& document);
// Cuts a document, laid out at its text width, to its first `maxLines` lines; when text is
// cut, the last line ends in an ellipsis in the format of the text before it.
void elideToLines(QTextDocument& document, int maxLines);

} // namespace nabrix
