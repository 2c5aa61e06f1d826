// SPDX-License-Identifier: GPL-3.0-or-later
// Whether an X server answers at a display name, asked before Qt would abort without one.
#pragma once

#include <QByteArray>

namespace nabrix {

bool x11DisplayAnswers(const QByteArray& displayName);

} // namespace nabrix
