// SPDX-License-Identifier: GPL-3.0-or-later
// The tray icon with its menu, and the popover or panel that shows the history.
#pragma once

#include "app/status_item_controller.h"

#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>

class QMenu;
class QSystemTrayIcon;

namespace nabrix {

class AppModel;
class HistoryWindow;
class WindowActivator;

class TrayStatusItemController final : public QObject, public StatusItemController {
    Q_OBJECT
public:
    using ContentFactory = std::function<QWidget*()>;

    // `makeContent` builds the history view the first time it is needed.
    TrayStatusItemController(AppModel& model, ContentFactory makeContent,
                             WindowActivator& activator, QObject* parent = nullptr);
    ~TrayStatusItemController() override;

    void installStatusItem() override;
    void removeStatusItem() override;
    void showHistory() override;
    void close() override;
    QWindow* presentedWindow() const override;

    bool hasStatusItem() const { return m_statusItem != nullptr; }
    QSystemTrayIcon* statusItem() const { return m_statusItem.get(); }
    HistoryWindow* historyWindow() const { return m_window.get(); }
    bool isPopoverShown() const;

    // Builds the history window, hidden, so that showing it later costs only the showing.
    void prepareWindow();

    // A left click on the tray icon.
    void statusItemClicked();

Q_SIGNALS:
    void quitRequested();

private:
    HistoryWindow& window();
    void showPopover(const QRect& iconGeometry);
    void showFloatingPanel();
    void present();
    void windowClosed();

    QPointer<AppModel> m_model;
    ContentFactory m_makeContent;
    WindowActivator& m_activator;
    std::unique_ptr<QSystemTrayIcon> m_statusItem;
    std::unique_ptr<QMenu> m_menu;
    std::unique_ptr<HistoryWindow> m_window;
    bool m_shownAsPopover = false;
};

} // namespace nabrix
