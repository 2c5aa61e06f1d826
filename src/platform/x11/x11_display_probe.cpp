// SPDX-License-Identifier: GPL-3.0-or-later
// Whether an X server answers at a display name, asked before Qt would abort without one.
#include "platform/x11/x11_display_probe.h"

#include <xcb/xcb.h>

namespace nabrix {

bool x11DisplayAnswers(const QByteArray& displayName)
{
    xcb_connection_t* connection = xcb_connect(displayName.constData(), nullptr);
    const bool answers = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    return answers;
}

} // namespace nabrix
