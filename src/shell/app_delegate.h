// SPDX-License-Identifier: GPL-3.0-or-later
// Owns the application's one model and its windows; starts and stops them with the process.
#pragma once

#include <QObject>
#include <memory>

class QWidget;

namespace nabrix {

class AppModel;
class AppSettings;
class SettingsWindow;
class StorageManager;
class TrayStatusItemController;
class WindowActivator;
struct PlatformServices;

class AppDelegate : public QObject {
    Q_OBJECT
public:
    AppDelegate(std::unique_ptr<StorageManager> storage, std::unique_ptr<AppSettings> settings,
                PlatformServices& services, QObject* parent = nullptr);
    ~AppDelegate() override;

    AppModel& model() const { return *m_model; }
    TrayStatusItemController& statusItemController() const { return *m_controller; }
    // Shows the settings window, made on first use, in front of every other window.
    void showSettingsWindow();
    SettingsWindow* settingsWindow() const { return m_settingsWindow.get(); }

    // Dark appearance, then the model: polling, tray icon, shortcut, purge.
    void applicationDidFinishLaunching();
    void applicationWillTerminate();

Q_SIGNALS:
    void quitRequested();

private:
    QWidget* makeHistoryView();

    WindowActivator& m_windowActivator;
    std::unique_ptr<AppModel> m_model;
    std::unique_ptr<TrayStatusItemController> m_controller;
    std::unique_ptr<SettingsWindow> m_settingsWindow;
};

// Fusion with a dark palette, whatever the desktop theme.
void applyDarkAppearance();

} // namespace nabrix
