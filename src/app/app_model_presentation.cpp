// SPDX-License-Identifier: GPL-3.0-or-later
// AppModel: the tray icon, the global shortcut and showing or closing the history.
#include "app/app_model.h"

#include "app/status_item_controller.h"
#include "hotkey/global_hot_key_manager.h"
#include "platform/platform_services.h"
#include "storage/app_settings.h"

#include <QPointer>
#include <QWindow>

namespace nabrix {

void AppModel::registerHotkey()
{
    if (m_hotkeyManager) {
        m_hotkeyManager->unregister();
        m_hotkeyManager.reset();
    }
    const std::uint32_t keyCode = m_settings->hotkeyKeyCode();
    const std::uint32_t modifiers = m_settings->hotkeyModifiers();
    if (keyCode == 0 || modifiers == 0) {
        setHotkeyActive(false);
        return;
    }
    m_hotkeyManager = std::make_unique<GlobalHotKeyManager>(*m_services.hotKeyService);
    const bool registered =
        m_hotkeyManager->registerHotKey(keyCode, modifiers, [model = QPointer<AppModel>(this)] {
            if (model)
                model->toggleFromHotkey();
        });
    setHotkeyActive(registered);
}

Shortcut AppModel::shortcut() const
{
    return m_settings->hotkey();
}

void AppModel::setShortcut(Shortcut shortcut)
{
    if (shortcut == m_settings->hotkey())
        return;
    m_settings->setHotkey(shortcut);
    if (!m_hotkeySuspended)
        registerHotkey();
}

void AppModel::resumeHotkey()
{
    m_hotkeySuspended = false;
    registerHotkey();
}

void AppModel::suspendHotkey()
{
    m_hotkeySuspended = true;
    if (m_hotkeyManager) {
        m_hotkeyManager->unregister();
        m_hotkeyManager.reset();
    }
}

void AppModel::toggleFromHotkey()
{
    if (m_statusItemController == nullptr)
        return;
    if (m_isPopoverOpen)
        m_statusItemController->close();
    else
        m_statusItemController->showHistory();
}

void AppModel::showHistory()
{
    if (m_statusItemController != nullptr && !m_isPopoverOpen)
        m_statusItemController->showHistory();
}

void AppModel::hideHistory()
{
    if (m_isPopoverOpen)
        closeHistory();
}

void AppModel::applyStatusItemVisibility()
{
    if (m_statusItemController == nullptr)
        return;
    if (m_settings->hideMenuBarIcon()) {
        m_statusItemController->removeStatusItem();
        m_statusItemController->close();
    } else {
        m_statusItemController->installStatusItem();
    }
}

void AppModel::closeHistory()
{
    if (m_statusItemController != nullptr)
        m_statusItemController->close();
}

void AppModel::handleWindowDidBecomeKey(QWindow* window)
{
    if (!m_isPopoverOpen || window == nullptr || m_statusItemController == nullptr)
        return;
    QWindow* presented = m_statusItemController->presentedWindow();
    if (presented == nullptr)
        return;
    // The history's own child windows and dialogs keep it open.
    for (QWindow* w = window; w != nullptr; w = w->transientParent()) {
        if (w == presented)
            return;
    }
    if (window->parent() == presented || window->modality() == Qt::WindowModal)
        return;
    closeHistory();
}

void AppModel::handlePopoverClosed()
{
    setPopoverOpen(false);
    setDetailItem(std::nullopt);
    setSelecting(false);
    setSelectedItemIDs({});
    setModalPresented(false);
    m_flashTimer.stop();
    setFlashCopyID(std::nullopt);
    removeKeyMonitor();
}

void AppModel::openSettings()
{
    closeHistory();
    Q_EMIT settingsWindowRequested();
}

} // namespace nabrix
