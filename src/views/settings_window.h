// SPDX-License-Identifier: GPL-3.0-or-later
// The settings window: a normal top-level window that scrolls the settings form.
#pragma once

#include <QWidget>

namespace nabrix {

class AppModel;
class SettingsView;

class SettingsWindow : public QWidget {
    Q_OBJECT
public:
    explicit SettingsWindow(AppModel& model, QWidget* parent = nullptr);

    SettingsView& view() const { return *m_view; }
    QSize sizeHint() const override;

private:
    SettingsView* m_view;
};

} // namespace nabrix
