// SPDX-License-Identifier: GPL-3.0-or-later
// Installed applications' names and icons, from their desktop entries (through GIO).
#pragma once

#include <QHash>
#include <QIcon>
#include <QString>
#include <optional>

struct _GAppInfoMonitor; // NOLINT(bugprone-reserved-identifier): GLib names its types so

namespace nabrix {

// Finds the desktop entry of an application identifier: the entry `<id>.desktop`, the
// lower-case `<id>.desktop`, then an entry whose StartupWMClass or executable names the
// id (a WM_CLASS class such as "XTerm" or "KeePass2"). Main thread only.
class DesktopEntryCatalog {
public:
    DesktopEntryCatalog();
    ~DesktopEntryCatalog();
    DesktopEntryCatalog(const DesktopEntryCatalog&) = delete;
    DesktopEntryCatalog& operator=(const DesktopEntryCatalog&) = delete;

    bool contains(const QString& id) const;
    // The entry's localised Name.
    std::optional<QString> name(const QString& id) const;
    // The entry's Icon from the icon theme or a file; null when there is none.
    QIcon icon(const QString& id) const;

    // Forgets every look-up (done by itself when applications are installed or removed).
    void clear();

private:
    struct Entry {
        QString name;
        QString iconName;
    };

    const std::optional<Entry>& entry(const QString& id) const;

    // Misses are cached too, so an unknown identifier in every history row costs one
    // search; GIO tells us when the set of applications changes.
    mutable QHash<QString, std::optional<Entry>> m_entries;
    mutable QHash<QString, QIcon> m_icons;
    _GAppInfoMonitor* m_monitor = nullptr;
    unsigned long m_changedHandler = 0;
};

} // namespace nabrix
