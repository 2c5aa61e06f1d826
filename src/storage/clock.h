// SPDX-License-Identifier: GPL-3.0-or-later
// The source of "now", injectable so that date arithmetic can be tested to the second.
#pragma once

#include <QDateTime>
#include <functional>

namespace nabrix {

using Clock = std::function<QDateTime()>;

inline Clock systemClock()
{
    return [] { return QDateTime::currentDateTime(); };
}

} // namespace nabrix
