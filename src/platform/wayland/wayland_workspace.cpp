// SPDX-License-Identifier: GPL-3.0-or-later
// The frontmost application on wlroots compositors (the activated foreign toplevel).
#include "platform/wayland/wayland_workspace.h"

#include "platform/wayland/wayland_connection.h"

#include <QGuiApplication>
#include <wayland-client.h>
#include <wlr-foreign-toplevel-management-unstable-v1-client.h>

namespace nabrix {

namespace {

WaylandWorkspace* self(void* data)
{
    return static_cast<WaylandWorkspace*>(data);
}

void handleTitle(void* /*data*/, zwlr_foreign_toplevel_handle_v1* /*handle*/, const char* /*title*/)
{
}

void handleAppId(void* data, zwlr_foreign_toplevel_handle_v1* handle, const char* appId)
{
    self(data)->appIdChanged(handle, appId);
}

void handleOutput(void* /*data*/, zwlr_foreign_toplevel_handle_v1* /*handle*/,
                  wl_output* /*output*/)
{
}

void handleState(void* data, zwlr_foreign_toplevel_handle_v1* handle, wl_array* states)
{
    bool activated = false;
    const auto* state = static_cast<const uint32_t*>(states->data);
    for (size_t i = 0; i < states->size / sizeof(uint32_t); ++i)
        activated = activated || state[i] == ZWLR_FOREIGN_TOPLEVEL_HANDLE_V1_STATE_ACTIVATED;
    self(data)->activationChanged(handle, activated);
}

void handleDone(void* data, zwlr_foreign_toplevel_handle_v1* handle)
{
    self(data)->toplevelDone(handle);
}

void handleClosed(void* data, zwlr_foreign_toplevel_handle_v1* handle)
{
    self(data)->toplevelClosed(handle);
}

const zwlr_foreign_toplevel_handle_v1_listener handleListener{
    handleTitle, handleAppId, handleOutput, handleOutput, handleState, handleDone, handleClosed};

void managerToplevel(void* data, zwlr_foreign_toplevel_manager_v1* /*manager*/,
                     zwlr_foreign_toplevel_handle_v1* handle)
{
    self(data)->toplevelAnnounced(handle);
}

void managerFinished(void* data, zwlr_foreign_toplevel_manager_v1* /*manager*/)
{
    self(data)->managerFinished();
}

const zwlr_foreign_toplevel_manager_v1_listener managerListener{managerToplevel, managerFinished};

std::optional<QString> nonEmpty(const QString& text)
{
    const QString trimmed = text.trimmed();
    return trimmed.isEmpty() ? std::nullopt : std::optional<QString>(trimmed);
}

} // namespace

std::unique_ptr<WaylandWorkspace>
WaylandWorkspace::create(std::shared_ptr<WaylandConnection> connection)
{
    auto* manager = static_cast<zwlr_foreign_toplevel_manager_v1*>(
        connection->bind(zwlr_foreign_toplevel_manager_v1_interface, 1));
    if (manager == nullptr)
        return nullptr;
    std::unique_ptr<WaylandWorkspace> workspace(
        new WaylandWorkspace(std::move(connection), manager));
    // The toplevels already open, and their state, arrive with this round trip.
    if (!workspace->m_connection->roundTrip())
        return nullptr;
    return workspace;
}

WaylandWorkspace::WaylandWorkspace(std::shared_ptr<WaylandConnection> connection,
                                   zwlr_foreign_toplevel_manager_v1* manager)
    : m_connection(std::move(connection))
    , m_manager(manager)
{
    // Qt's XWayland windows carry its window class, the application name with a capital
    // (which sway reports as their app_id); on Wayland they carry the desktop entry's name.
    const QString name = QCoreApplication::applicationName();
    for (const QString& id : {QGuiApplication::desktopFileName(), name}) {
        if (!id.isEmpty())
            m_ownIds.append(id);
    }
    zwlr_foreign_toplevel_manager_v1_add_listener(m_manager, &managerListener, this);
}

WaylandWorkspace::~WaylandWorkspace()
{
    for (const auto& toplevel : m_toplevels)
        zwlr_foreign_toplevel_handle_v1_destroy(toplevel.first);
    if (m_manager != nullptr)
        zwlr_foreign_toplevel_manager_v1_destroy(m_manager);
    m_connection->flush();
}

void WaylandWorkspace::toplevelAnnounced(zwlr_foreign_toplevel_handle_v1* handle)
{
    m_toplevels[handle] = Toplevel{};
    zwlr_foreign_toplevel_handle_v1_add_listener(handle, &handleListener, this);
}

void WaylandWorkspace::appIdChanged(zwlr_foreign_toplevel_handle_v1* handle, const char* appId)
{
    m_toplevels[handle].pendingAppId = QString::fromUtf8(appId);
}

void WaylandWorkspace::activationChanged(zwlr_foreign_toplevel_handle_v1* handle, bool activated)
{
    m_toplevels[handle].pendingActivated = activated;
}

void WaylandWorkspace::toplevelDone(zwlr_foreign_toplevel_handle_v1* handle)
{
    Toplevel& toplevel = m_toplevels[handle];
    toplevel.appId = toplevel.pendingAppId;
    toplevel.activated = toplevel.pendingActivated;
    if (toplevel.activated)
        m_active = handle;
    else if (m_active == handle)
        m_active = nullptr;
}

void WaylandWorkspace::toplevelClosed(zwlr_foreign_toplevel_handle_v1* handle)
{
    if (m_active == handle)
        m_active = nullptr;
    m_toplevels.erase(handle);
    zwlr_foreign_toplevel_handle_v1_destroy(handle);
}

void WaylandWorkspace::managerFinished()
{
    // The list stops here: what is known stays, and nothing more will come.
    zwlr_foreign_toplevel_manager_v1_destroy(m_manager);
    m_manager = nullptr;
}

bool WaylandWorkspace::isOwn(const QString& appId) const
{
    return std::any_of(m_ownIds.cbegin(), m_ownIds.cend(), [&](const QString& id) {
        return appId.compare(id, Qt::CaseInsensitive) == 0;
    });
}

std::optional<QString> WaylandWorkspace::frontmostApplicationId() const
{
    const auto found = m_active != nullptr ? m_toplevels.find(m_active) : m_toplevels.end();
    if (found == m_toplevels.end()) {
        m_lastOtherApplication.reset();
        return std::nullopt;
    }
    if (isOwn(found->second.appId))
        return m_lastOtherApplication;
    m_lastOtherApplication = nonEmpty(found->second.appId);
    return m_lastOtherApplication;
}

std::optional<QString> WaylandWorkspace::applicationName(const QString& id) const
{
    return m_entries.name(id);
}

QIcon WaylandWorkspace::applicationIcon(const QString& id) const
{
    return m_entries.icon(id);
}

bool WaylandWorkspace::isInstalled(const QString& id) const
{
    return m_entries.contains(id);
}

} // namespace nabrix
