// SPDX-License-Identifier: GPL-3.0-or-later
// The settings row's shortcut control: shows the stored pair and hands recorded ones on.
#pragma once

#include "views/hot_key_capture_view.h"

#include <QWidget>
#include <cstdint>
#include <functional>

namespace nabrix {

class HotKeyRecorder : public QWidget {
    Q_OBJECT
public:
    using ChangeHandler = HotKeyCaptureView::KeyHandler;
    // How a pair is written for the user (key names follow the current layout).
    using Naming = std::function<QString(std::uint32_t keyCode, std::uint32_t modifiers)>;

    HotKeyRecorder(Naming naming, std::uint32_t keyCode, std::uint32_t modifiers,
                   QWidget* parent = nullptr);

    std::uint32_t keyCode() const { return m_keyCode; }
    std::uint32_t modifiers() const { return m_modifiers; }
    // The stored pair changed: the box shows it (key names follow the current layout).
    void setShortcut(std::uint32_t keyCode, std::uint32_t modifiers);
    // Receives each recorded combination; storing it is the owner's business.
    void setOnChange(ChangeHandler onChange);

    HotKeyCaptureView& captureView() const { return *m_captureView; }

private:
    Naming m_naming;
    HotKeyCaptureView* m_captureView;
    std::uint32_t m_keyCode;
    std::uint32_t m_modifiers;
};

} // namespace nabrix
