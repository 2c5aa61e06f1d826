// SPDX-License-Identifier: GPL-3.0-or-later
// Source-application icons of history rows, looked up once per application.
#pragma once

#include <QIcon>
#include <QString>
#include <optional>

namespace nabrix {

class Workspace;

class ApplicationIconCache {
public:
    // The icon of the application `id`: from the process-wide cache, or from `workspace`
    // when the application is installed and has one (then cached). An application that
    // cannot be found is asked about again next time, as it may be installed meanwhile.
    static std::optional<QIcon> icon(const Workspace& workspace, const QString& id);
    static void clear();
};

} // namespace nabrix
