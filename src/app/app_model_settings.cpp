// SPDX-License-Identifier: GPL-3.0-or-later
// AppModel: the user's settings and what the desktop says about applications.
#include "app/app_model.h"

#include "hotkey/shortcut_text.h"
#include "platform/platform_services.h"
#include "storage/app_settings.h"

namespace nabrix {

void AppModel::forwardSettingsChanges()
{
    const AppSettings* settings = m_settings.get();
    connect(settings, &AppSettings::retentionDaysChanged, this, &AppModel::retentionDaysChanged);
    connect(settings, &AppSettings::sensitiveDetectionEnabledChanged, this,
            &AppModel::sensitiveDetectionEnabledChanged);
    connect(settings, &AppSettings::hideSensitiveContentChanged, this,
            &AppModel::hideSensitiveContentChanged);
    connect(settings, &AppSettings::blacklistedBundleIDsChanged, this,
            &AppModel::ignoredApplicationsChanged);
    connect(settings, &AppSettings::pasteOnSelectChanged, this, &AppModel::pasteOnSelectChanged);
    connect(settings, &AppSettings::hideMenuBarIconChanged, this, &AppModel::hideTrayIconChanged);
    connect(settings, &AppSettings::hotkeyChanged, this, &AppModel::shortcutChanged);
}

int AppModel::retentionDays() const
{
    return m_settings->retentionDays();
}

void AppModel::setRetentionDays(int days)
{
    m_settings->setRetentionDays(days);
}

bool AppModel::sensitiveDetectionEnabled() const
{
    return m_settings->sensitiveDetectionEnabled();
}

void AppModel::setSensitiveDetectionEnabled(bool enabled)
{
    m_settings->setSensitiveDetectionEnabled(enabled);
}

bool AppModel::hideSensitiveContent() const
{
    return m_settings->hideSensitiveContent();
}

void AppModel::setHideSensitiveContent(bool hide)
{
    m_settings->setHideSensitiveContent(hide);
}

QStringList AppModel::ignoredApplications() const
{
    return m_settings->blacklistedBundleIDs();
}

void AppModel::setIgnoredApplications(const QStringList& ids)
{
    m_settings->setBlacklistedBundleIDs(ids);
}

QStringList AppModel::defaultIgnoredApplications()
{
    return AppSettings::defaultBlacklist();
}

bool AppModel::pasteOnSelect() const
{
    return m_settings->pasteOnSelect();
}

void AppModel::setPasteOnSelect(bool paste)
{
    m_settings->setPasteOnSelect(paste);
}

bool AppModel::hideTrayIcon() const
{
    return m_settings->hideMenuBarIcon();
}

void AppModel::setHideTrayIcon(bool hide)
{
    m_settings->setHideMenuBarIcon(hide);
}

std::optional<QString> AppModel::applicationName(const QString& id) const
{
    const Workspace* workspace = m_services.workspace.get();
    if (workspace == nullptr || !workspace->isInstalled(id))
        return std::nullopt;
    return workspace->applicationName(id);
}

std::optional<QIcon> AppModel::applicationIcon(const QString& id) const
{
    // The workspace keeps its look-ups and forgets them when applications are installed,
    // changed or removed, so asking on every paint is cheap and never shows a stale icon.
    const Workspace* workspace = m_services.workspace.get();
    if (workspace == nullptr || !workspace->isInstalled(id))
        return std::nullopt;
    QIcon icon = workspace->applicationIcon(id);
    if (icon.isNull())
        return std::nullopt;
    return icon;
}

QString AppModel::shortcutText(Shortcut shortcut) const
{
    return shortcutDisplayString(shortcut.keyCode, shortcut.modifiers, *m_services.keyboardLayout);
}

} // namespace nabrix
