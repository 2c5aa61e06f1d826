// SPDX-License-Identifier: GPL-3.0-or-later
// The history window's look: the dark palette, its colours, fonts and symbol icons.
#pragma once

#include <QColor>
#include <QFont>
#include <QIcon>
#include <QPixmap>
#include <QString>

class QApplication;
class QPalette;

namespace nabrix {

// Sizes are logical pixels: the window has a fixed logical size, so its text is sized
// the same way rather than in typographic points that grow with the screen's DPI.
class Theme {
public:
    Theme() = delete;

    // Fusion with our dark palette, whatever the desktop's theme.
    static void applyDarkStyle(QApplication& app);
    static QPalette darkPalette();

    static QColor windowBackground();
    static QColor primaryText();
    static QColor secondaryText();
    static QColor tertiaryText();
    static QColor accent();
    static QColor green();
    static QColor orange();
    static QColor destructive();
    // Lines between the parts of the history window, and its outline.
    static QColor separator();
    // Plain white or black at `opacity` (0 to 1), the overlays drawn on the dark window.
    static QColor white(qreal opacity);
    static QColor black(qreal opacity);

    // A thin, arrowless scroll bar that stays out of the content's way.
    static QString scrollBarStyleSheet();

    static QFont font(int pixelSize, QFont::Weight weight = QFont::Normal);
    static QFont monospaceFont(int pixelSize);

    // The symbol `name` (resources/icons/<name>.svg) tinted with `color`, sharp at every
    // size and device pixel ratio; disabled icons are drawn faded. Icons are cached for the
    // life of the process. An unknown name gives an icon that draws nothing.
    static QIcon symbol(const QString& name, const QColor& color = secondaryText());
    static bool hasSymbol(const QString& name);
    // Logical box of a symbol drawn at `pointSize`: the glyphs fill about 5/6 of it.
    static int symbolBox(qreal pointSize);
};

} // namespace nabrix
