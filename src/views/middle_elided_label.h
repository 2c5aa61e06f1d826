// SPDX-License-Identifier: GPL-3.0-or-later
// Selectable text in at most two lines, shortened in the middle when it is longer.
#pragma once

#include <QLabel>

namespace nabrix {

class MiddleElidedLabel : public QLabel {
    Q_OBJECT
public:
    explicit MiddleElidedLabel(const QString& text, QWidget* parent = nullptr);

    QString fullText() const { return m_fullText; }
    // `text` in at most two lines of `width`, broken anywhere (a URL has no spaces),
    // shortened in the middle when it does not fit.
    static QString twoLines(const QString& text, const QFont& font, int width);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QString m_fullText;
};

} // namespace nabrix
