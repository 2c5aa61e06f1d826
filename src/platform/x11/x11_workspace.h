// SPDX-License-Identifier: GPL-3.0-or-later
// The frontmost application on X11 (the EWMH active window) and its desktop entry.
#pragma once

#include "platform/desktop_entry_catalog.h"
#include "platform/workspace.h"

#include <QtGlobal>
#include <memory>

struct xcb_connection_t;

namespace nabrix {

class X11Workspace final : public Workspace {
public:
    // Over the application's own X11 connection; none without one, or when the server
    // does not answer.
    static std::unique_ptr<X11Workspace> create();

    // The window's _GTK_APPLICATION_ID, else _KDE_NET_WM_DESKTOP_FILE, else its WM_CLASS
    // class; for a dialog or helper window without them, those of the window it is
    // transient for or of its client leader. Never this program: while one of its own
    // windows is named active (or still named after it hid), what the last look found in
    // front before it, or none.
    std::optional<QString> frontmostApplicationId() const override;
    std::optional<QString> applicationName(const QString& id) const override;
    QIcon applicationIcon(const QString& id) const override;
    bool isInstalled(const QString& id) const override;

private:
    struct Atoms {
        quint32 activeWindow = 0;
        quint32 gtkApplicationId = 0;
        quint32 kdeDesktopFile = 0;
        quint32 clientLeader = 0;
    };

    X11Workspace(xcb_connection_t* connection, quint32 rootWindow, const Atoms& atoms);
    std::optional<quint32> activeWindow() const;
    bool isOwnWindow(quint32 window) const;
    std::optional<QString> applicationOfWindow(quint32 window) const;

    xcb_connection_t* m_connection;
    quint32 m_rootWindow;
    Atoms m_atoms;
    // The server gives every client a range of resource ids: ours are the windows in it.
    quint32 m_ownIdBase;
    quint32 m_ownIdMask;
    // What the last look at the active window found when that window was not ours.
    mutable std::optional<QString> m_lastOtherApplication;
    DesktopEntryCatalog m_entries;
};

} // namespace nabrix
