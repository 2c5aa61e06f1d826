// SPDX-License-Identifier: GPL-3.0-or-later
// Only successful look-ups are kept.
#include "views/application_icon_cache.h"

#include "platform/workspace.h"

#include <QHash>

namespace nabrix {

namespace {

QHash<QString, QIcon>& icons()
{
    static QHash<QString, QIcon> cache;
    return cache;
}

} // namespace

std::optional<QIcon> ApplicationIconCache::icon(const Workspace& workspace, const QString& id)
{
    auto found = icons().constFind(id);
    if (found != icons().constEnd())
        return *found;
    if (!workspace.isInstalled(id))
        return std::nullopt;
    QIcon icon = workspace.applicationIcon(id);
    if (icon.isNull())
        return std::nullopt;
    icons().insert(id, icon);
    return icon;
}

void ApplicationIconCache::clear()
{
    icons().clear();
}

} // namespace nabrix
