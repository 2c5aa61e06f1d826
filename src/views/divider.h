// SPDX-License-Identifier: GPL-3.0-or-later
// A one-pixel line between the parts of the history window.
#pragma once

#include <QWidget>

namespace nabrix {

class Divider : public QWidget {
    Q_OBJECT
public:
    explicit Divider(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace nabrix
