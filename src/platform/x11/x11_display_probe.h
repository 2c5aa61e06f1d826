// SPDX-License-Identifier: GPL-3.0-or-later
// Whether an X server answers: at a display name, asked before Qt would abort without one, and
// on the application's own connection, asked when Qt is about to end the program without it.
#pragma once

#include <QByteArray>

namespace nabrix {

bool x11DisplayAnswers(const QByteArray& displayName);
// True once Qt's xcb connection has broken (its server went away); false without one.
bool x11ApplicationConnectionBroken();

} // namespace nabrix
