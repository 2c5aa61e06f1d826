// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop's applications: which one is in front, and what it is called.
#pragma once

#include <QIcon>
#include <QString>
#include <optional>

namespace nabrix {

class Workspace {
public:
    virtual ~Workspace() = default;

    // Identifier of the application owning the active window (desktop-entry id, or the
    // WM_CLASS class), none when there is no active window or it cannot be named.
    virtual std::optional<QString> frontmostApplicationId() const = 0;
    virtual std::optional<QString> applicationName(const QString& id) const = 0;
    virtual QIcon applicationIcon(const QString& id) const = 0;
    virtual bool isInstalled(const QString& id) const = 0;
};

} // namespace nabrix
