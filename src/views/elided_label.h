// SPDX-License-Identifier: GPL-3.0-or-later
// A one-line label that shortens its text with an ellipsis to fit its width.
#pragma once

#include <QWidget>

namespace nabrix {

class ElidedLabel : public QWidget {
    Q_OBJECT
public:
    explicit ElidedLabel(QWidget* parent = nullptr);

    QString text() const { return m_text; }
    void setText(const QString& text);
    void setColor(const QColor& color);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_text;
};

} // namespace nabrix
