// SPDX-License-Identifier: GPL-3.0-or-later
// Registers the one system-wide shortcut and runs its handler on the main thread.
#pragma once

#include <QObject>
#include <cstdint>
#include <functional>

namespace nabrix {

class HotKeyService;

// One manager owns the service's registration at a time: the owner unregisters the old
// manager before a new one registers.
class GlobalHotKeyManager : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<void()>;

    explicit GlobalHotKeyManager(HotKeyService& service, QObject* parent = nullptr);
    ~GlobalHotKeyManager() override;

    // Replaces any earlier registration of this manager. On refusal the handler is dropped.
    bool registerHotKey(std::uint32_t keyCode, std::uint32_t modifiers, Handler handler);
    void unregister();
    bool isRegistered() const { return m_registered; }

    // The stored modifier mask of Qt's modifier flags; keypad and group flags do not count.
    static std::uint32_t carbonModifiers(Qt::KeyboardModifiers flags);

private:
    void listenForPresses();
    void runHandler();

    HotKeyService& m_service;
    QMetaObject::Connection m_pressConnection;
    bool m_registered = false;
    Handler m_handler;
};

} // namespace nabrix
