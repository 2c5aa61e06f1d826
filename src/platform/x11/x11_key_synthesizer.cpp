// SPDX-License-Identifier: GPL-3.0-or-later
// The paste keystroke (Ctrl+V) typed through the XTEST extension.
#include "platform/x11/x11_key_synthesizer.h"

#include "platform/x11/x11_keyboard_mapping.h"

#include <QGuiApplication>
#include <X11/keysym.h>
#include <cstdlib>
#include <memory>
#include <xcb/xcb.h>
#include <xcb/xtest.h>

namespace nabrix {

namespace {

void fakeKey(xcb_connection_t* connection, std::uint8_t type, std::uint8_t keycode)
{
    // Time 0 is CurrentTime: the server processes each event as it arrives.
    xcb_test_fake_input(connection, type, keycode, 0, XCB_NONE, 0, 0, 0);
}

bool isDown(const xcb_query_keymap_reply_t& keymap, std::uint8_t keycode)
{
    return (keymap.keys[keycode / 8] >> (keycode % 8)) & 1;
}

} // namespace

std::unique_ptr<X11KeySynthesizer> X11KeySynthesizer::create()
{
    auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr || x11->connection() == nullptr)
        return nullptr;
    return std::make_unique<X11KeySynthesizer>(x11->connection());
}

X11KeySynthesizer::X11KeySynthesizer(xcb_connection_t* connection)
    : m_connection(connection)
{
    const xcb_query_extension_reply_t* xtest = xcb_get_extension_data(connection, &xcb_test_id);
    m_hasXTest = xtest != nullptr && xtest->present;
}

void X11KeySynthesizer::postPaste()
{
    if (!m_hasXTest)
        return;
    // Read fresh each time: the layout may have changed since the last paste.
    const auto mapping = X11KeyboardMapping::read(m_connection);
    if (!mapping)
        return;
    auto control = mapping->keycodeOf(XK_Control_L);
    if (!control)
        control = mapping->keycodeOf(XK_Control_R);
    const auto v = mapping->keycodeOf(XK_v);
    if (!control || !v)
        return;

    // The user may still hold modifiers of the global shortcut (Alt, Super, Shift): the
    // target would see Ctrl+Alt+V and not paste.
    const auto cookie = xcb_query_keymap(m_connection);
    const std::unique_ptr<xcb_query_keymap_reply_t, decltype(&std::free)> keymap(
        xcb_query_keymap_reply(m_connection, cookie, nullptr), &std::free);
    if (keymap) {
        for (const std::uint8_t keycode : mapping->modifierKeycodes()) {
            if (isDown(*keymap, keycode))
                fakeKey(m_connection, XCB_KEY_RELEASE, keycode);
        }
    }
    fakeKey(m_connection, XCB_KEY_PRESS, *control);
    fakeKey(m_connection, XCB_KEY_PRESS, *v);
    fakeKey(m_connection, XCB_KEY_RELEASE, *v);
    fakeKey(m_connection, XCB_KEY_RELEASE, *control);
    xcb_flush(m_connection);
}

} // namespace nabrix
