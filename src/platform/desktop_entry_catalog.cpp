// SPDX-License-Identifier: GPL-3.0-or-later
// Installed applications' names and icons, from their desktop entries (through GIO).
#include "platform/desktop_entry_catalog.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <gio/gdesktopappinfo.h>
#include <gio/gio.h>

#include <memory>

namespace nabrix {

namespace {

struct ObjectUnref {
    void operator()(gpointer object) const { g_object_unref(object); }
};
using DesktopAppInfoPtr = std::unique_ptr<GDesktopAppInfo, ObjectUnref>;

struct GFree {
    void operator()(gpointer memory) const { g_free(memory); }
};
using GCharPtr = std::unique_ptr<char, GFree>;

DesktopAppInfoPtr openEntry(const QString& desktopId)
{
    return DesktopAppInfoPtr(g_desktop_app_info_new(desktopId.toUtf8().constData()));
}

// How well an entry fits a WM_CLASS class: naming it as StartupWMClass beats running an
// executable of that name (KeePass2 runs `keepass2` and declares no StartupWMClass), and
// an entry shown in menus beats a hidden helper entry of the same program.
int windowClassMatch(GDesktopAppInfo* info, const QString& windowClass)
{
    int score = 0;
    const char* wmClass = g_desktop_app_info_get_startup_wm_class(info);
    const char* executable = g_app_info_get_executable(G_APP_INFO(info));
    if (wmClass != nullptr &&
        windowClass.compare(QString::fromUtf8(wmClass), Qt::CaseInsensitive) == 0)
        score = 4;
    else if (executable != nullptr &&
             windowClass.compare(QFileInfo(QString::fromLocal8Bit(executable)).fileName(),
                                 Qt::CaseInsensitive) == 0)
        score = 2;
    if (score > 0 && g_app_info_should_show(G_APP_INFO(info)))
        ++score;
    return score;
}

DesktopAppInfoPtr findByWindowClass(const QString& windowClass)
{
    GList* all = g_app_info_get_all();
    GDesktopAppInfo* best = nullptr;
    int bestScore = 0;
    for (GList* node = all; node != nullptr; node = node->next) {
        if (!G_IS_DESKTOP_APP_INFO(node->data))
            continue;
        auto* info = G_DESKTOP_APP_INFO(node->data);
        const int score = windowClassMatch(info, windowClass);
        if (score > bestScore) {
            best = info;
            bestScore = score;
        }
    }
    DesktopAppInfoPtr result(best != nullptr ? G_DESKTOP_APP_INFO(g_object_ref(best)) : nullptr);
    g_list_free_full(all, g_object_unref);
    return result;
}

DesktopAppInfoPtr lookUp(const QString& id)
{
    if (id.isEmpty())
        return nullptr;
    const QString suffix = QStringLiteral(".desktop");
    if (auto info = openEntry(id + suffix))
        return info;
    if (id != id.toLower()) {
        if (auto info = openEntry(id.toLower() + suffix))
            return info;
    }
    return findByWindowClass(id);
}

// Legacy entries put icons in pixmaps/ (or name a file with its extension).
QIcon pixmapIcon(const QString& name)
{
    static const QStringList extensions{QString(), QStringLiteral(".png"), QStringLiteral(".svg"),
                                        QStringLiteral(".xpm")};
    for (const QString& dataDir :
         QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation)) {
        for (const QString& extension : extensions) {
            const QString path = dataDir + QStringLiteral("/pixmaps/") + name + extension;
            if (QFileInfo(path).isFile())
                return QIcon(path);
        }
    }
    return {};
}

QIcon iconFromName(const QString& name)
{
    if (name.isEmpty())
        return {};
    if (QDir::isAbsolutePath(name))
        return QFileInfo(name).isFile() ? QIcon(name) : QIcon();
    if (QIcon::hasThemeIcon(name))
        return QIcon::fromTheme(name);
    return pixmapIcon(name);
}

void onApplicationsChanged(GAppInfoMonitor*, gpointer catalog)
{
    static_cast<DesktopEntryCatalog*>(catalog)->clear();
}

} // namespace

DesktopEntryCatalog::DesktopEntryCatalog()
    : m_monitor(g_app_info_monitor_get())
{
    m_changedHandler =
        g_signal_connect(m_monitor, "changed", G_CALLBACK(onApplicationsChanged), this);
}

DesktopEntryCatalog::~DesktopEntryCatalog()
{
    g_signal_handler_disconnect(m_monitor, m_changedHandler);
    g_object_unref(m_monitor);
}

void DesktopEntryCatalog::clear()
{
    m_entries.clear();
    m_icons.clear();
}

const std::optional<DesktopEntryCatalog::Entry>& DesktopEntryCatalog::entry(const QString& id) const
{
    auto it = m_entries.find(id);
    if (it != m_entries.end())
        return *it;
    std::optional<Entry> found;
    if (const auto info = lookUp(id)) {
        const GCharPtr icon(g_desktop_app_info_get_string(info.get(), "Icon"));
        found = Entry{QString::fromUtf8(g_app_info_get_name(G_APP_INFO(info.get()))),
                      icon ? QString::fromUtf8(icon.get()) : QString()};
    }
    return *m_entries.insert(id, found);
}

bool DesktopEntryCatalog::contains(const QString& id) const
{
    return entry(id).has_value();
}

std::optional<QString> DesktopEntryCatalog::name(const QString& id) const
{
    const auto& found = entry(id);
    if (!found || found->name.isEmpty())
        return std::nullopt;
    return found->name;
}

QIcon DesktopEntryCatalog::icon(const QString& id) const
{
    const auto cached = m_icons.constFind(id);
    if (cached != m_icons.cend())
        return *cached;
    const auto& found = entry(id);
    QIcon icon = found ? iconFromName(found->iconName) : QIcon();
    m_icons.insert(id, icon);
    return icon;
}

} // namespace nabrix
