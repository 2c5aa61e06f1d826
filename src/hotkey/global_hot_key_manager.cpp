// SPDX-License-Identifier: GPL-3.0-or-later
// Registers the one system-wide shortcut and runs its handler on the main thread.
#include "hotkey/global_hot_key_manager.h"

#include "platform/hotkey_service.h"

namespace nabrix {

GlobalHotKeyManager::GlobalHotKeyManager(HotKeyService& service, QObject* parent)
    : QObject(parent)
    , m_service(service)
{
    listenForPresses();
}

GlobalHotKeyManager::~GlobalHotKeyManager()
{
    unregister();
}

void GlobalHotKeyManager::listenForPresses()
{
    if (m_pressConnection)
        return;
    // Queued: the service emits from inside the native event dispatch, and the handler
    // (which opens windows) must run on a later turn of the event loop.
    m_pressConnection = connect(&m_service, &HotKeyService::pressed, this,
                                &GlobalHotKeyManager::runHandler, Qt::QueuedConnection);
}

bool GlobalHotKeyManager::registerHotKey(std::uint32_t keyCode, std::uint32_t modifiers,
                                         Handler handler)
{
    if (m_registered) {
        m_service.unregisterHotKey();
        m_registered = false;
    }
    m_handler = std::move(handler);
    // A manager registered again after unregister() must hear its presses again.
    listenForPresses();
    if (m_service.registerHotKey(keyCode, modifiers)) {
        m_registered = true;
        return true;
    }
    m_handler = nullptr;
    return false;
}

void GlobalHotKeyManager::unregister()
{
    if (m_registered) {
        m_service.unregisterHotKey();
        m_registered = false;
    }
    if (m_pressConnection) {
        disconnect(m_pressConnection);
        m_pressConnection = {};
    }
    m_handler = nullptr;
}

void GlobalHotKeyManager::runHandler()
{
    // A press queued before unregister() finds no handler and does nothing. The copy keeps
    // the callable alive should it unregister or replace this manager's handler itself.
    if (const Handler handler = m_handler)
        handler();
}

std::uint32_t GlobalHotKeyManager::carbonModifiers(Qt::KeyboardModifiers flags)
{
    std::uint32_t mask = 0;
    if (flags.testFlag(Qt::MetaModifier))
        mask |= HotKeyModifier::command;
    if (flags.testFlag(Qt::ShiftModifier))
        mask |= HotKeyModifier::shift;
    if (flags.testFlag(Qt::AltModifier))
        mask |= HotKeyModifier::option;
    if (flags.testFlag(Qt::ControlModifier))
        mask |= HotKeyModifier::control;
    return mask;
}

} // namespace nabrix
