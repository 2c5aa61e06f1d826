// SPDX-License-Identifier: GPL-3.0-or-later
// The frontmost application on wlroots compositors (the activated foreign toplevel).
#pragma once

#include "platform/desktop_entry_catalog.h"
#include "platform/workspace.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <unordered_map>

struct zwlr_foreign_toplevel_handle_v1;
struct zwlr_foreign_toplevel_manager_v1;

namespace nabrix {

class WaylandConnection;

// Follows every toplevel the compositor lists, on the connection the clipboard uses: the
// window activated before a copy is known when that copy is announced.
class WaylandWorkspace final : public Workspace {
public:
    // None when the compositor does not list its toplevels.
    static std::unique_ptr<WaylandWorkspace> create(std::shared_ptr<WaylandConnection> connection);
    ~WaylandWorkspace() override;
    WaylandWorkspace(const WaylandWorkspace&) = delete;
    WaylandWorkspace& operator=(const WaylandWorkspace&) = delete;

    // The activated toplevel's app_id (for an XWayland window, what the compositor makes of
    // it: sway gives its WM_CLASS class). Never this program: while one of its own windows
    // is activated, what was in front before it, or none.
    std::optional<QString> frontmostApplicationId() const override;
    std::optional<QString> applicationName(const QString& id) const override;
    QIcon applicationIcon(const QString& id) const override;
    bool isInstalled(const QString& id) const override;

    // Called by the protocol listeners.
    void toplevelAnnounced(zwlr_foreign_toplevel_handle_v1* handle);
    void appIdChanged(zwlr_foreign_toplevel_handle_v1* handle, const char* appId);
    void activationChanged(zwlr_foreign_toplevel_handle_v1* handle, bool activated);
    void toplevelDone(zwlr_foreign_toplevel_handle_v1* handle);
    void toplevelClosed(zwlr_foreign_toplevel_handle_v1* handle);
    void managerFinished();

private:
    // A toplevel's state arrives in pieces; it holds once `done` comes.
    struct Toplevel {
        QString appId;
        bool activated = false;
        QString pendingAppId;
        bool pendingActivated = false;
    };

    WaylandWorkspace(std::shared_ptr<WaylandConnection> connection,
                     zwlr_foreign_toplevel_manager_v1* manager);
    bool isOwn(const QString& appId) const;

    std::shared_ptr<WaylandConnection> m_connection;
    zwlr_foreign_toplevel_manager_v1* m_manager;
    std::unordered_map<zwlr_foreign_toplevel_handle_v1*, Toplevel> m_toplevels;
    // The toplevel activated last, while it stays so.
    zwlr_foreign_toplevel_handle_v1* m_active = nullptr;
    // What our own windows are called: the desktop entry's name and Qt's window class.
    QStringList m_ownIds;
    // What the last look found in front when it was not ours.
    mutable std::optional<QString> m_lastOtherApplication;
    DesktopEntryCatalog m_entries;
};

} // namespace nabrix
