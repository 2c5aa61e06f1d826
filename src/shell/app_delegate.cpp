// SPDX-License-Identifier: GPL-3.0-or-later
// Owns the application's one model and its windows; starts and stops them with the process.
#include "shell/app_delegate.h"

#include "app/app_model.h"
#include "history/history_list_model.h"
#include "platform/platform_services.h"
#include "shell/tray_status_item_controller.h"
#include "storage/app_settings.h"
#include "storage/storage_manager.h"
#include "views/history_view.h"
#include "views/settings_window.h"

#include <QApplication>
#include <QLoggingCategory>
#include <QPalette>
#include <QStyleFactory>
#include <QTimer>

namespace nabrix {

// Start-up milestones, for measuring: QT_LOGGING_RULES="nabrix.startup.info=true".
Q_LOGGING_CATEGORY(lcStartup, "nabrix.startup", QtWarningMsg)

void applyDarkAppearance()
{
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QPalette palette;
    const QColor window(0x1e, 0x1e, 0x20);
    const QColor base(0x26, 0x26, 0x29);
    const QColor text(0xec, 0xec, 0xee);
    const QColor disabledText(0x80, 0x80, 0x86);
    const QColor accent(0x3d, 0x8b, 0xfd);
    palette.setColor(QPalette::Window, window);
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Base, base);
    palette.setColor(QPalette::AlternateBase, window.lighter(115));
    palette.setColor(QPalette::ToolTipBase, base);
    palette.setColor(QPalette::ToolTipText, text);
    palette.setColor(QPalette::PlaceholderText, disabledText);
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::Button, QColor(0x33, 0x33, 0x37));
    palette.setColor(QPalette::ButtonText, text);
    palette.setColor(QPalette::BrightText, Qt::white);
    palette.setColor(QPalette::Highlight, accent);
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::Link, accent.lighter(120));
    palette.setColor(QPalette::Mid, QColor(0x44, 0x44, 0x48));
    palette.setColor(QPalette::Dark, QColor(0x14, 0x14, 0x16));
    palette.setColor(QPalette::Disabled, QPalette::Text, disabledText);
    palette.setColor(QPalette::Disabled, QPalette::WindowText, disabledText);
    palette.setColor(QPalette::Disabled, QPalette::ButtonText, disabledText);
    QApplication::setPalette(palette);
}

AppDelegate::AppDelegate(std::unique_ptr<StorageManager> storage,
                         std::unique_ptr<AppSettings> settings, PlatformServices& services,
                         QObject* parent)
    : QObject(parent)
    , m_windowActivator(*services.windowActivator)
    , m_model(std::make_unique<AppModel>(std::move(storage), std::move(settings), services,
                                         systemClock(), HistoryListModel::Loading::InBackground))
{
    connect(&m_model->history(), &HistoryListModel::loaded, this, [this] {
        qCInfo(lcStartup, "history loaded: %lld entries",
               static_cast<long long>(m_model->history().totalCount()));
    });
    m_controller = std::make_unique<TrayStatusItemController>(
        *m_model, [this] { return makeHistoryView(); }, *services.windowActivator);
    m_model->setStatusItemController(m_controller.get());
    connect(m_controller.get(), &TrayStatusItemController::quitRequested, this,
            &AppDelegate::quitRequested);
    connect(m_model.get(), &AppModel::settingsWindowRequested, this,
            &AppDelegate::showSettingsWindow);
}

AppDelegate::~AppDelegate()
{
    // The windows report to the model: they go first.
    m_settingsWindow.reset();
    m_model->setStatusItemController(nullptr);
    m_controller.reset();
}

QWidget* AppDelegate::makeHistoryView()
{
    return new HistoryView(*m_model, m_model->history());
}

void AppDelegate::showSettingsWindow()
{
    if (!m_settingsWindow)
        m_settingsWindow = std::make_unique<SettingsWindow>(*m_model);
    m_settingsWindow->show();
    m_settingsWindow->raise();
    m_windowActivator.activate(*m_settingsWindow);
}

void AppDelegate::applicationDidFinishLaunching()
{
    applyDarkAppearance();
    m_model->start();
    // Once the tray icon is up, build the window (the model reads the history on a worker
    // meanwhile), so that the first opening only has to show it.
    QTimer::singleShot(0, this, [this] {
        qCInfo(lcStartup, "tray icon %s", m_controller->hasStatusItem() ? "shown" : "hidden");
        m_controller->prepareWindow();
        qCInfo(lcStartup, "history window built");
    });
}

void AppDelegate::applicationWillTerminate()
{
    m_model->stop();
}

} // namespace nabrix
