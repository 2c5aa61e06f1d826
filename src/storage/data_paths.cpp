// SPDX-License-Identifier: GPL-3.0-or-later
// Where the history and the settings live (XDG base directories).
#include "storage/data_paths.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

namespace nabrix {

QString dataDirectory()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/nabrix");
}

QString historyFilePath()
{
    return dataDirectory() + QStringLiteral("/history.sqlite3");
}

QString settingsFilePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/nabrix/nabrix.conf");
}

bool ensurePrivateDirectory(const QString& path)
{
    if (!QDir().mkpath(path))
        return false;
    return QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

} // namespace nabrix
