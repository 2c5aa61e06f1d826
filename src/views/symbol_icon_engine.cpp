// SPDX-License-Identifier: GPL-3.0-or-later
// Renders a symbol's SVG, then paints its shape in the wanted colour.
#include "views/symbol_icon_engine.h"

#include <QFile>
#include <QPainter>
#include <QPixmapCache>
#include <QSvgRenderer>
#include <cmath>

namespace nabrix {

namespace {

constexpr qreal disabledOpacity = 0.3;

} // namespace

SymbolIconEngine::SymbolIconEngine(QString resourcePath, QColor color)
    : m_resourcePath(std::move(resourcePath))
    , m_color(color)
{
}

void SymbolIconEngine::paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
                             QIcon::State state)
{
    const qreal scale = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
    painter->drawPixmap(rect, scaledPixmap(rect.size(), mode, state, scale));
}

QPixmap SymbolIconEngine::pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state)
{
    return scaledPixmap(size, mode, state, 1.0);
}

QPixmap SymbolIconEngine::scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State,
                                       qreal scale)
{
    const QSize pixels(qRound(size.width() * scale), qRound(size.height() * scale));
    if (pixels.isEmpty())
        return {};
    const bool disabled = mode == QIcon::Disabled;
    const QString cacheKey = QStringLiteral("nabrix-symbol:%1:%2:%3x%4:%5")
                                 .arg(m_resourcePath, m_color.name(QColor::HexArgb))
                                 .arg(pixels.width())
                                 .arg(pixels.height())
                                 .arg(disabled ? 1 : 0);
    QPixmap cached;
    if (QPixmapCache::find(cacheKey, &cached))
        return cached;

    QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QSvgRenderer renderer(m_resourcePath);
    if (renderer.isValid()) {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        // Keep the square drawing square inside a non-square request.
        const int side = std::min(pixels.width(), pixels.height());
        const QRect target((pixels.width() - side) / 2, (pixels.height() - side) / 2, side, side);
        renderer.render(&painter, target);
        // The drawing's own colour does not matter: only where it covers counts.
        painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
        QColor color = m_color;
        if (disabled)
            color.setAlphaF(color.alphaF() * disabledOpacity);
        painter.fillRect(image.rect(), color);
    }
    QPixmap result = QPixmap::fromImage(std::move(image));
    result.setDevicePixelRatio(scale);
    QPixmapCache::insert(cacheKey, result);
    return result;
}

QSize SymbolIconEngine::actualSize(const QSize& size, QIcon::Mode, QIcon::State)
{
    return size;
}

QIconEngine* SymbolIconEngine::clone() const
{
    return new SymbolIconEngine(m_resourcePath, m_color);
}

QString SymbolIconEngine::key() const
{
    return QStringLiteral("nabrix-symbol");
}

bool SymbolIconEngine::isNull()
{
    return !QFile::exists(m_resourcePath);
}

} // namespace nabrix
