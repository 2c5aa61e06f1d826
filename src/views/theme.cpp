// SPDX-License-Identifier: GPL-3.0-or-later
// Colours close to the dark system appearance the history window was designed against.
#include "views/theme.h"

#include "views/symbol_icon_engine.h"

#include <QApplication>
#include <QFile>
#include <QFontDatabase>
#include <QHash>
#include <QPalette>
#include <QStyleFactory>
#include <cmath>

// The icons live in a static library: nothing would pull their resource object into the
// program unless it is referenced.
static void initIconResources()
{
    Q_INIT_RESOURCE(icons);
}

namespace nabrix {

namespace {

QString symbolPath(const QString& name)
{
    static const bool initialised = (initIconResources(), true);
    Q_UNUSED(initialised);
    return QStringLiteral(":/icons/%1.svg").arg(name);
}

QColor withAlpha(QColor color, qreal opacity)
{
    color.setAlphaF(static_cast<float>(opacity));
    return color;
}

} // namespace

void Theme::applyDarkStyle(QApplication& app)
{
    if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion")))
        QApplication::setStyle(fusion);
    app.setPalette(darkPalette());
}

QPalette Theme::darkPalette()
{
    QPalette palette;
    const QColor text = primaryText();
    palette.setColor(QPalette::Window, windowBackground());
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Base, QColor(0x1c, 0x1c, 0x1e));
    palette.setColor(QPalette::AlternateBase, QColor(0x2c, 0x2c, 0x2e));
    palette.setColor(QPalette::ToolTipBase, QColor(0x3a, 0x3a, 0x3c));
    palette.setColor(QPalette::ToolTipText, text);
    palette.setColor(QPalette::PlaceholderText, tertiaryText());
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::Button, QColor(0x3a, 0x3a, 0x3c));
    palette.setColor(QPalette::ButtonText, text);
    palette.setColor(QPalette::BrightText, Qt::white);
    palette.setColor(QPalette::Light, QColor(0x4a, 0x4a, 0x4c));
    palette.setColor(QPalette::Midlight, QColor(0x3a, 0x3a, 0x3c));
    palette.setColor(QPalette::Mid, QColor(0x2a, 0x2a, 0x2c));
    palette.setColor(QPalette::Dark, QColor(0x15, 0x15, 0x16));
    palette.setColor(QPalette::Shadow, Qt::black);
    palette.setColor(QPalette::Highlight, accent());
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::Link, accent());
    palette.setColor(QPalette::LinkVisited, accent().lighter(120));
    const QColor disabled = withAlpha(Qt::white, 0.3);
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(QPalette::Disabled, role, disabled);
    palette.setColor(QPalette::Disabled, QPalette::Button, QColor(0x2c, 0x2c, 0x2e));
    return palette;
}

QColor Theme::windowBackground()
{
    return QColor(0x26, 0x26, 0x28);
}

QColor Theme::primaryText()
{
    return withAlpha(Qt::white, 0.88);
}

QColor Theme::secondaryText()
{
    return withAlpha(Qt::white, 0.55);
}

QColor Theme::tertiaryText()
{
    return withAlpha(Qt::white, 0.3);
}

QColor Theme::accent()
{
    return QColor(0x0a, 0x84, 0xff);
}

QColor Theme::green()
{
    return QColor(0x30, 0xd1, 0x58);
}

QColor Theme::orange()
{
    return QColor(0xff, 0x9f, 0x0a);
}

QColor Theme::destructive()
{
    return QColor(0xff, 0x45, 0x3a);
}

QColor Theme::separator()
{
    return withAlpha(Qt::white, 0.1);
}

QColor Theme::white(qreal opacity)
{
    return withAlpha(Qt::white, opacity);
}

QColor Theme::black(qreal opacity)
{
    return withAlpha(Qt::black, opacity);
}

QString Theme::scrollBarStyleSheet()
{
    return QStringLiteral(
        "QScrollBar:vertical { background: transparent; width: 10px; margin: 0; }"
        "QScrollBar::handle:vertical { background: rgba(255, 255, 255, 70); border-radius: 3px;"
        " min-height: 28px; margin: 2px 2px 2px 2px; }"
        "QScrollBar::handle:vertical:hover { background: rgba(255, 255, 255, 110); }"
        "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0; }"
        "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical { background: none; }"
        "QScrollBar:horizontal { background: transparent; height: 10px; margin: 0; }"
        "QScrollBar::handle:horizontal { background: rgba(255, 255, 255, 70); border-radius: 3px;"
        " min-width: 28px; margin: 2px; }"
        "QScrollBar::add-line:horizontal, QScrollBar::sub-line:horizontal { width: 0; }"
        "QScrollBar::add-page:horizontal, QScrollBar::sub-page:horizontal { background: none; }");
}

QFont Theme::font(int pixelSize, QFont::Weight weight)
{
    QFont font = QApplication::font();
    font.setPixelSize(pixelSize);
    font.setWeight(weight);
    return font;
}

QFont Theme::monospaceFont(int pixelSize)
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPixelSize(pixelSize);
    return font;
}

QIcon Theme::symbol(const QString& name, const QColor& color)
{
    // Icons are made on the GUI thread only, so a plain static map is enough.
    static QHash<QString, QIcon> icons;
    const QString key = name + QLatin1Char('|') + color.name(QColor::HexArgb);
    auto found = icons.constFind(key);
    if (found != icons.constEnd())
        return *found;
    QIcon icon(new SymbolIconEngine(symbolPath(name), color));
    icons.insert(key, icon);
    return icon;
}

bool Theme::hasSymbol(const QString& name)
{
    return QFile::exists(symbolPath(name));
}

int Theme::symbolBox(qreal pointSize)
{
    return static_cast<int>(std::lround(pointSize * 1.2));
}

} // namespace nabrix
