// SPDX-License-Identifier: GPL-3.0-or-later
// Whether an X server answers: at a display name, asked before Qt would abort without one, and
// on the application's own connection, asked when Qt is about to end the program without it.
#include "platform/x11/x11_display_probe.h"

#include <QGuiApplication>
#include <xcb/xcb.h>

namespace nabrix {

bool x11DisplayAnswers(const QByteArray& displayName)
{
    xcb_connection_t* connection = xcb_connect(displayName.constData(), nullptr);
    const bool answers = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    return answers;
}

bool x11ApplicationConnectionBroken()
{
    auto* x11 =
        qApp != nullptr ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 != nullptr && x11->connection() != nullptr &&
           xcb_connection_has_error(x11->connection()) != 0;
}

} // namespace nabrix
