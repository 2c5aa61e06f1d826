// SPDX-License-Identifier: GPL-3.0-or-later
// The global shortcut as a passive key grab on the X11 root window.
#include "platform/x11/x11_hot_key_service.h"

#include "platform/x11/x11_keyboard_mapping.h"

#include <QGuiApplication>
#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <cstdlib>
#include <vector>
#include <xcb/xcb.h>

namespace nabrix {

namespace {

struct XModifiers {
    std::uint16_t alt = XCB_MOD_MASK_1;
    std::uint16_t super = XCB_MOD_MASK_4;
    std::uint16_t numLock = XCB_MOD_MASK_2;
};

// Alt, Super and NumLock sit on whichever ModN bit the server's modifier mapping gives them.
XModifiers currentXModifiers(xcb_connection_t* connection)
{
    XModifiers modifiers;
    const auto mapping = X11KeyboardMapping::read(connection);
    if (!mapping)
        return modifiers;
    if (const auto alt = mapping->modifierMaskOf({XK_Alt_L, XK_Alt_R}))
        modifiers.alt = alt;
    if (const auto super = mapping->modifierMaskOf({XK_Super_L, XK_Super_R}))
        modifiers.super = super;
    // Without a NumLock key the bit is never set, so there is no variant to grab.
    modifiers.numLock = mapping->modifierMaskOf({XK_Num_Lock});
    return modifiers;
}

std::uint16_t xModifierMask(std::uint32_t modifiers, const XModifiers& x)
{
    std::uint16_t mask = 0;
    if (modifiers & HotKeyModifier::shift)
        mask |= XCB_MOD_MASK_SHIFT;
    if (modifiers & HotKeyModifier::control)
        mask |= XCB_MOD_MASK_CONTROL;
    if (modifiers & HotKeyModifier::option)
        mask |= x.alt;
    if (modifiers & HotKeyModifier::command)
        mask |= x.super;
    return mask;
}

// The combination with every on/off state of CapsLock and NumLock.
std::vector<std::uint16_t> maskVariants(std::uint16_t mask, std::uint16_t numLock)
{
    std::vector<std::uint16_t> variants{mask, std::uint16_t(mask | XCB_MOD_MASK_LOCK)};
    if (numLock != 0) {
        variants.push_back(std::uint16_t(mask | numLock));
        variants.push_back(std::uint16_t(mask | numLock | XCB_MOD_MASK_LOCK));
    }
    return variants;
}

} // namespace

std::unique_ptr<X11HotKeyService> X11HotKeyService::create()
{
    auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr || x11->connection() == nullptr || x11->display() == nullptr)
        return nullptr;
    return std::make_unique<X11HotKeyService>(x11->connection(),
                                              XDefaultRootWindow(x11->display()));
}

X11HotKeyService::X11HotKeyService(xcb_connection_t* connection, std::uint32_t rootWindow,
                                   QObject* parent)
    : HotKeyService(parent)
    , m_connection(connection)
    , m_rootWindow(rootWindow)
{
    QCoreApplication::instance()->installNativeEventFilter(this);
}

X11HotKeyService::~X11HotKeyService()
{
    if (QCoreApplication::instance() != nullptr)
        QCoreApplication::instance()->removeNativeEventFilter(this);
    unregisterHotKey();
}

bool X11HotKeyService::registerHotKey(std::uint32_t keyCode, std::uint32_t modifiers)
{
    unregisterHotKey();
    if (keyCode < 8 || keyCode > 255) // the range of X11 keycodes
        return false;
    const XModifiers x = currentXModifiers(m_connection);
    const Grab grab{std::uint8_t(keyCode), xModifierMask(modifiers, x), x.numLock};

    std::vector<xcb_void_cookie_t> cookies;
    for (const std::uint16_t variant : maskVariants(grab.mask, grab.numLock)) {
        cookies.push_back(xcb_grab_key_checked(m_connection, 0, m_rootWindow, variant, grab.keycode,
                                               XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
    }
    // Another client holding any variant answers BadAccess: the combination is taken.
    bool refused = false;
    for (const xcb_void_cookie_t cookie : cookies) {
        if (xcb_generic_error_t* error = xcb_request_check(m_connection, cookie)) {
            refused = true;
            std::free(error);
        }
    }
    if (refused) {
        ungrab(grab);
        return false;
    }
    m_grab = grab;
    m_keyHeld = false;
    m_lastReleaseTimestamp.reset();
    return true;
}

void X11HotKeyService::unregisterHotKey()
{
    if (!m_grab)
        return;
    ungrab(*m_grab);
    m_grab.reset();
}

void X11HotKeyService::ungrab(const Grab& grab)
{
    // Ungrabbing only ever releases this client's own grabs, so the refused variants are safe.
    for (const std::uint16_t variant : maskVariants(grab.mask, grab.numLock))
        xcb_ungrab_key(m_connection, grab.keycode, m_rootWindow, variant);
    xcb_flush(m_connection);
}

bool X11HotKeyService::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*)
{
    if (!m_grab || eventType != "xcb_generic_event_t")
        return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    const std::uint8_t type = event->response_type & 0x7f;
    if (type != XCB_KEY_PRESS && type != XCB_KEY_RELEASE)
        return false;
    // Press and release share one layout.
    const auto* key = reinterpret_cast<const xcb_key_press_event_t*>(event);
    if (key->event != m_rootWindow || key->detail != m_grab->keycode)
        return false;
    if (type == XCB_KEY_RELEASE) {
        m_keyHeld = false;
        m_lastReleaseTimestamp = key->time;
        return false;
    }
    const auto state = std::uint16_t(key->state & 0xff & ~(XCB_MOD_MASK_LOCK | m_grab->numLock));
    if (state != m_grab->mask)
        return false;
    // Auto-repeat of a held shortcut is not a new press: with detectable auto-repeat it
    // arrives as presses without releases, otherwise as a release and press at one time.
    const bool repeat = m_keyHeld || m_lastReleaseTimestamp == key->time;
    m_keyHeld = true;
    if (repeat)
        return false;
    m_lastPressTimestamp = key->time;
    // Not consumed: Qt takes the event's time as its latest user time and finds no window
    // of its own for the root, so nothing else happens to it.
    Q_EMIT pressed();
    return false;
}

} // namespace nabrix
