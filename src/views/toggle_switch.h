// SPDX-License-Identifier: GPL-3.0-or-later
// An on/off switch for the settings form's boolean preferences.
#pragma once

#include <QAbstractButton>

namespace nabrix {

// A checkable button drawn as a sliding switch. Clicking flips it like any checkable
// button; an owner that refuses a change puts the old state back in its clicked() slot.
class ToggleSwitch : public QAbstractButton {
    Q_OBJECT
public:
    explicit ToggleSwitch(const QString& accessibleName, QWidget* parent = nullptr);

    QSize sizeHint() const override { return {34, 20}; }
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }
};

} // namespace nabrix
