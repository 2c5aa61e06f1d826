// SPDX-License-Identifier: GPL-3.0-or-later
// The tray icon with its menu, and the popover or panel that shows the history.
#include "shell/tray_status_item_controller.h"

#include "app/app_model.h"
#include "i18n/text_catalogue.h"
#include "platform/window_activator.h"
#include "shell/history_window.h"

#include <QCursor>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <QSystemTrayIcon>

namespace nabrix {

namespace {

QIcon trayIcon()
{
    QIcon icon(QStringLiteral(":/icons/doc.on.clipboard.svg"));
    if (icon.isNull())
        icon = QIcon::fromTheme(QStringLiteral("edit-paste"));
    return icon;
}

QRect availableGeometryAt(const QPoint& point)
{
    QScreen* screen = QGuiApplication::screenAt(point);
    if (screen == nullptr)
        screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->availableGeometry() : QRect(QPoint(0, 0), QSize(1920, 1080));
}

} // namespace

TrayStatusItemController::TrayStatusItemController(AppModel& model, ContentFactory makeContent,
                                                   WindowActivator& activator, QObject* parent)
    : QObject(parent)
    , m_model(&model)
    , m_makeContent(std::move(makeContent))
    , m_activator(activator)
{
}

TrayStatusItemController::~TrayStatusItemController() = default;

void TrayStatusItemController::installStatusItem()
{
    if (m_statusItem)
        return;
    m_statusItem = std::make_unique<QSystemTrayIcon>(trayIcon());
    m_statusItem->setToolTip(QStringLiteral("Nabrix"));
    m_menu = std::make_unique<QMenu>();
    //% "Settings…"
    QAction* settings = m_menu->addAction(catalogue::text("history.settings"));
    settings->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Comma));
    connect(settings, &QAction::triggered, this, [this] {
        if (m_model)
            m_model->openSettings();
    });
    m_menu->addSeparator();
    //% "Quit Nabrix"
    QAction* quit = m_menu->addAction(catalogue::text("history.quit"));
    quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    connect(quit, &QAction::triggered, this, &TrayStatusItemController::quitRequested);
    // Qt shows the menu itself on a right click (the Context activation).
    m_statusItem->setContextMenu(m_menu.get());
    connect(m_statusItem.get(), &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                // A double click arrives as Trigger then DoubleClick: act on the first only.
                if (reason == QSystemTrayIcon::Trigger)
                    statusItemClicked();
            });
    m_statusItem->show();
}

void TrayStatusItemController::removeStatusItem()
{
    m_statusItem.reset();
    m_menu.reset();
}

bool TrayStatusItemController::isPopoverShown() const
{
    return m_window && m_window->isVisible() && m_shownAsPopover;
}

void TrayStatusItemController::statusItemClicked()
{
    if (isPopoverShown()) {
        close();
        return;
    }
    if (m_model)
        showHistory();
}

HistoryWindow& TrayStatusItemController::window()
{
    if (!m_window) {
        m_window = std::make_unique<HistoryWindow>();
        m_window->setContent(m_makeContent());
        connect(m_window.get(), &HistoryWindow::closed, this,
                &TrayStatusItemController::windowClosed);
    }
    return *m_window;
}

void TrayStatusItemController::prepareWindow()
{
    HistoryWindow& history = window();
    history.ensurePolished();
    // Creates the native window now rather than on the first click.
    history.winId();
}

void TrayStatusItemController::showHistory()
{
    if (!m_model)
        return;
    // Without a tray (or before it embeds the icon) there is no icon to hang from.
    const bool trayUsable = m_statusItem && QSystemTrayIcon::isSystemTrayAvailable();
    if (trayUsable)
        showPopover(m_statusItem->geometry());
    else
        showFloatingPanel();
}

void TrayStatusItemController::showPopover(const QRect& iconGeometry)
{
    HistoryWindow& history = window();
    history.setBehavior(HistoryWindow::Behavior::Transient);
    m_shownAsPopover = true;
    // Some trays (StatusNotifierItem hosts) report no geometry: open at the pointer then.
    if (iconGeometry.isValid() && !iconGeometry.isEmpty()) {
        const QRect available = availableGeometryAt(iconGeometry.center());
        history.setFixedSize(HistoryWindow::sizeFor(available));
        history.move(HistoryWindow::popoverPosition(iconGeometry, available));
    } else {
        const QPoint pointer = QCursor::pos();
        const QRect available = availableGeometryAt(pointer);
        history.setFixedSize(HistoryWindow::sizeFor(available));
        history.move(HistoryWindow::panelPosition(pointer, available));
    }
    present();
}

void TrayStatusItemController::showFloatingPanel()
{
    HistoryWindow& history = window();
    history.setBehavior(HistoryWindow::Behavior::Persistent);
    m_shownAsPopover = false;
    const QPoint pointer = QCursor::pos();
    const QRect available = availableGeometryAt(pointer);
    history.setFixedSize(HistoryWindow::sizeFor(available));
    history.move(HistoryWindow::panelPosition(pointer, available));
    present();
}

void TrayStatusItemController::present()
{
    HistoryWindow& history = *m_window;
    history.show();
    m_activator.activate(history);
    if (m_model) {
        m_model->setPopoverOpen(true);
        m_model->installKeyMonitor();
    }
}

void TrayStatusItemController::close()
{
    const bool wasShown = m_window && m_window->isVisible();
    if (wasShown)
        m_window->hide(); // reports through windowClosed()
}

void TrayStatusItemController::windowClosed()
{
    m_shownAsPopover = false;
    if (m_model)
        m_model->handlePopoverClosed();
}

QWindow* TrayStatusItemController::presentedWindow() const
{
    if (m_window && m_window->isVisible())
        return m_window->windowHandle();
    return nullptr;
}

} // namespace nabrix
