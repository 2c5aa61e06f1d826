// SPDX-License-Identifier: GPL-3.0-or-later
// The dialog that tells a user without a terminal why the program stops.
#pragma once

#include <QString>
#include <memory>

class QMessageBox;

namespace nabrix {

// The fatal message as it went to standard error, and the history file it is about.
std::unique_ptr<QMessageBox> makeFatalStoreErrorDialog(const QString& message,
                                                       const QString& filePath);

// False on Qt's headless platforms (offscreen, minimal), where a dialog would wait for an
// answer nobody can give.
bool windowsCanBeShown();

} // namespace nabrix
