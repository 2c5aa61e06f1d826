// SPDX-License-Identifier: GPL-3.0-or-later
// Window activation on X11 through the window manager's _NET_ACTIVE_WINDOW request.
#include "platform/x11/x11_window_activator.h"

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

#include <xcb/xcb.h>

namespace nabrix {

void X11WindowActivator::activate(QWidget& window)
{
    QtWindowActivator::activate(window);
    auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* connection = x11 != nullptr ? x11->connection() : nullptr;
    if (connection == nullptr || window.windowHandle() == nullptr)
        return;
    // Qt never sees the grabbed shortcut's key event, so its user time is stale and focus
    // stealing prevention may refuse a normal request; a request marked as coming from a
    // pager (source 2) is honoured by EWMH window managers.
    const char name[] = "_NET_ACTIVE_WINDOW";
    xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, sizeof(name) - 1, name), nullptr);
    if (atom == nullptr)
        return;
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    xcb_client_message_event_t message = {};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = static_cast<xcb_window_t>(window.windowHandle()->winId());
    message.type = atom->atom;
    message.data.data32[0] = 2;
    message.data.data32[1] = XCB_CURRENT_TIME;
    free(atom);
    xcb_send_event(connection, 0, screen->root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&message));
    xcb_flush(connection);
}

} // namespace nabrix
