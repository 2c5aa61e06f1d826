// SPDX-License-Identifier: GPL-3.0-or-later
// A borderless button showing one symbol, its whole square reacting to the pointer.
#pragma once

#include <QAbstractButton>
#include <QColor>

namespace nabrix {

class SymbolButton : public QAbstractButton {
    Q_OBJECT
public:
    // `side` is the square hit area, `pointSize` the symbol's size; the tooltip doubles as
    // the accessible name.
    SymbolButton(const QString& symbol, const QString& toolTip, int side = 22, qreal pointSize = 12,
                 QWidget* parent = nullptr);

    QString symbol() const { return m_symbol; }
    void setSymbol(const QString& symbol);
    void setSymbolColor(const QColor& color);
    // A rounded square behind the symbol at all times (none by default).
    void setBackgroundColor(const QColor& color);
    void setDescription(const QString& toolTip);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    QString m_symbol;
    QColor m_color;
    QColor m_background;
    int m_side;
    qreal m_pointSize;
    bool m_hovered = false;
};

} // namespace nabrix
