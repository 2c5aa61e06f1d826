// SPDX-License-Identifier: GPL-3.0-or-later
// Sees key presses addressed to the history window before any widget does.
#pragma once

#include <QObject>
#include <functional>

class QKeyEvent;
class QWindow;

namespace nabrix {

class KeyMonitor : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<bool(const QKeyEvent&)>;
    using WindowProvider = std::function<QWindow*()>;

    // `handler` returns true to consume the key. It sees only the presses that the window
    // given by `keyWindow` receives, and none while a menu of the program is open.
    KeyMonitor(WindowProvider keyWindow, Handler handler, QObject* parent = nullptr);
    ~KeyMonitor() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    WindowProvider m_keyWindow;
    Handler m_handler;
};

} // namespace nabrix
