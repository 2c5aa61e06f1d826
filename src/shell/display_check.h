// SPDX-License-Identifier: GPL-3.0-or-later
// Whether the program can reach a display server, decided before Qt would abort without one.
#pragma once

#include <QString>
#include <optional>

namespace nabrix {

// Why the Qt platform chosen by `-platform` or QT_QPA_PLATFORM (xcb when neither names
// one) finds no display server, or none when it does or needs none (offscreen, vnc).
std::optional<QString> missingDisplay(int argc, const char* const* argv);

} // namespace nabrix
