// SPDX-License-Identifier: GPL-3.0-or-later
// Where the history and the settings live (XDG base directories).
#pragma once

#include <QString>

namespace nabrix {

// $XDG_DATA_HOME/nabrix (default ~/.local/share/nabrix).
QString dataDirectory();
QString historyFilePath();
// $XDG_CONFIG_HOME/nabrix/nabrix.conf (default ~/.config/nabrix/nabrix.conf).
QString settingsFilePath();

// Creates `path` and its missing parents, and leaves `path` itself readable by the user only.
bool ensurePrivateDirectory(const QString& path);

} // namespace nabrix
