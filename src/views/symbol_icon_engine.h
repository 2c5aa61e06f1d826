// SPDX-License-Identifier: GPL-3.0-or-later
// Draws one of our SVG symbols in a single colour at whatever size Qt asks for.
#pragma once

#include <QColor>
#include <QIconEngine>
#include <QString>

namespace nabrix {

class SymbolIconEngine final : public QIconEngine {
public:
    SymbolIconEngine(QString resourcePath, QColor color);

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override;
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override;
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override;
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override;
    QIconEngine* clone() const override;
    QString key() const override;
    bool isNull() override;

private:
    QString m_resourcePath;
    QColor m_color;
};

} // namespace nabrix
