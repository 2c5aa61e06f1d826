// SPDX-License-Identifier: GPL-3.0-or-later
// On a real X server: the global shortcut grab, its presses, lock keys and refusals.
#include "platform/hotkey_service.h"
#include "platform/x11/x11_hot_key_service.h"
#include "x11_harness.h"

#include <QGuiApplication>
#include <QSignalSpy>
#include <QTest>
#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <cstdlib>
#include <memory>
#include <xcb/xcb.h>

using namespace nabrix;
using namespace nabrix::testing;

namespace {

constexpr std::uint32_t control = HotKeyModifier::control;
constexpr std::uint32_t option = HotKeyModifier::option;
constexpr std::uint32_t shift = HotKeyModifier::shift;
constexpr std::uint32_t command = HotKeyModifier::command;

QNativeInterface::QX11Application& x11Application()
{
    return *qApp->nativeInterface<QNativeInterface::QX11Application>();
}

Display* display()
{
    return x11Application().display();
}

std::uint32_t keycode(KeySym keysym)
{
    return XKeysymToKeycode(display(), keysym);
}

// The pointer query reports the modifier state, lock modifiers included.
unsigned int modifierState()
{
    Window root = 0;
    Window child = 0;
    int rootX = 0;
    int rootY = 0;
    int x = 0;
    int y = 0;
    unsigned int mask = 0;
    XQueryPointer(display(), XDefaultRootWindow(display()), &root, &child, &rootX, &rootY, &x, &y,
                  &mask);
    return mask;
}

// Another X client, with its own connection to the server.
class OtherClient {
public:
    OtherClient()
        : m_connection(xcb_connect(nullptr, &m_screen))
    {
        xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(m_connection));
        for (int skip = m_screen; skip > 0 && screens.rem > 0; --skip)
            xcb_screen_next(&screens);
        m_root = screens.data->root;
    }
    ~OtherClient() { xcb_disconnect(m_connection); }
    OtherClient(const OtherClient&) = delete;
    OtherClient& operator=(const OtherClient&) = delete;

    bool isConnected() const { return xcb_connection_has_error(m_connection) == 0; }
    xcb_connection_t* connection() const { return m_connection; }
    std::uint32_t root() const { return m_root; }

    // True when the server lets this client grab the key with exactly `mask`.
    bool grab(std::uint32_t keycode, std::uint16_t mask)
    {
        const auto cookie =
            xcb_grab_key_checked(m_connection, 0, m_root, mask, std::uint8_t(keycode),
                                 XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
        xcb_generic_error_t* error = xcb_request_check(m_connection, cookie);
        std::free(error);
        return error == nullptr;
    }

private:
    int m_screen = 0;
    xcb_connection_t* m_connection;
    std::uint32_t m_root = 0;
};

constexpr std::uint16_t controlAlt = XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1;

} // namespace

class TestHotKeyX11 : public QObject {
    Q_OBJECT

    std::unique_ptr<X11HotKeyService> m_service;
    // A second grab (Ctrl+Alt+B): once its press arrives, every earlier key event has.
    std::unique_ptr<X11HotKeyService> m_marker;

    void waitForEarlierKeyEvents()
    {
        QSignalSpy markerPresses(m_marker.get(), &HotKeyService::pressed);
        QVERIFY(x11::pressKeys(QStringLiteral("ctrl+alt+b")));
        QTRY_COMPARE(markerPresses.count(), 1);
    }

    void setLock(const char* key, unsigned int bit, bool on)
    {
        if (bool(modifierState() & bit) != on)
            QVERIFY(x11::pressKeys(QString::fromLatin1(key)));
        QTRY_COMPARE(bool(modifierState() & bit), on);
    }

private Q_SLOTS:
    void init()
    {
        NABRIX_REQUIRE_X11();
        m_service = X11HotKeyService::create();
        QVERIFY(m_service);
        m_marker = X11HotKeyService::create();
        QVERIFY(m_marker->registerHotKey(keycode(XK_b), control | option));
    }

    void cleanup()
    {
        m_service.reset();
        m_marker.reset();
        setLock("Num_Lock", Mod2Mask, false);
        setLock("Caps_Lock", LockMask, false);
    }

    void grabbedShortcutFires_data()
    {
        QTest::addColumn<std::uint32_t>("modifiers");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<bool>("numLock");
        QTest::addColumn<bool>("capsLock");
        const auto ctrlAlt = [](const char* name, bool numLock, bool capsLock) {
            QTest::newRow(name) << (control | option) << QStringLiteral("ctrl+alt+v") << numLock
                                << capsLock;
        };
        ctrlAlt("ctrl+alt", false, false);
        ctrlAlt("ctrl+alt, NumLock on", true, false);
        ctrlAlt("ctrl+alt, CapsLock on", false, true);
        ctrlAlt("ctrl+alt, both locks", true, true);
        QTest::newRow("all four") << (control | option | shift | command)
                                  << QStringLiteral("ctrl+alt+shift+super+v") << false << false;
    }

    void grabbedShortcutFires()
    {
        QFETCH(std::uint32_t, modifiers);
        QFETCH(QString, keys);
        QFETCH(bool, numLock);
        QFETCH(bool, capsLock);
        setLock("Num_Lock", Mod2Mask, numLock);
        setLock("Caps_Lock", LockMask, capsLock);

        QSignalSpy presses(m_service.get(), &HotKeyService::pressed);
        QVERIFY(m_service->registerHotKey(keycode(XK_v), modifiers));
        QVERIFY(!m_service->lastPressTimestamp());
        QVERIFY(x11::pressKeys(keys));
        QTRY_COMPARE(presses.count(), 1);
        const auto first = m_service->lastPressTimestamp();
        QVERIFY(first);
        QVERIFY(x11::pressKeys(keys));
        QTRY_COMPARE(presses.count(), 2);
        QVERIFY(*m_service->lastPressTimestamp() >= *first);
    }

    void otherCombinationsDoNotFire()
    {
        QSignalSpy presses(m_service.get(), &HotKeyService::pressed);
        QVERIFY(m_service->registerHotKey(keycode(XK_v), control | option));
        QVERIFY(x11::pressKeys(QStringLiteral("ctrl+v alt+v ctrl+alt+shift+v ctrl+alt+c")));
        waitForEarlierKeyEvents();
        QCOMPARE(presses.count(), 0);
    }

    void unregisteredShortcutNoLongerFires()
    {
        QSignalSpy presses(m_service.get(), &HotKeyService::pressed);
        QVERIFY(m_service->registerHotKey(keycode(XK_v), control | option));
        m_service->unregisterHotKey();
        m_service->unregisterHotKey();
        QVERIFY(x11::pressKeys(QStringLiteral("ctrl+alt+v")));
        waitForEarlierKeyEvents();
        QCOMPARE(presses.count(), 0);

        // The grab itself is gone, in every lock variant.
        OtherClient other;
        QVERIFY(other.isConnected());
        for (const std::uint16_t extra :
             {0, int(LockMask), int(Mod2Mask), int(LockMask | Mod2Mask)})
            QVERIFY(other.grab(keycode(XK_v), std::uint16_t(controlAlt | extra)));
    }

    void registeringAgainMovesTheGrab()
    {
        QSignalSpy presses(m_service.get(), &HotKeyService::pressed);
        QVERIFY(m_service->registerHotKey(keycode(XK_v), control | option));
        QVERIFY(m_service->registerHotKey(keycode(XK_c), control | option));
        OtherClient other;
        QVERIFY(other.isConnected());
        QVERIFY(other.grab(keycode(XK_v), controlAlt));
        QVERIFY(!other.grab(keycode(XK_c), controlAlt));
        QVERIFY(x11::pressKeys(QStringLiteral("ctrl+alt+c")));
        QTRY_COMPARE(presses.count(), 1);
    }

    void partlyTakenCombinationLeavesNoGrabBehind()
    {
        OtherClient holder;
        QVERIFY(holder.isConnected());
        QVERIFY(holder.grab(keycode(XK_v), controlAlt | LockMask | Mod2Mask));
        QVERIFY(!m_service->registerHotKey(keycode(XK_v), control | option));

        OtherClient other;
        QVERIFY(other.isConnected());
        QVERIFY(other.grab(keycode(XK_v), controlAlt));
        QVERIFY(other.grab(keycode(XK_v), controlAlt | LockMask));
        QVERIFY(other.grab(keycode(XK_v), controlAlt | Mod2Mask));
    }

    void secondServiceOnAnotherConnectionIsRefused()
    {
        OtherClient other;
        QVERIFY(other.isConnected());
        X11HotKeyService competitor(other.connection(), other.root());
        QVERIFY(competitor.registerHotKey(keycode(XK_v), control | option));
        QVERIFY(!m_service->registerHotKey(keycode(XK_v), control | option));
        competitor.unregisterHotKey();
        // A round trip: the server has handled the release before our grab comes.
        std::free(xcb_get_input_focus_reply(other.connection(),
                                            xcb_get_input_focus(other.connection()), nullptr));
        QVERIFY(m_service->registerHotKey(keycode(XK_v), control | option));
    }

    void keyCodesOutsideTheX11RangeAreRefused()
    {
        QVERIFY(!m_service->registerHotKey(7, control | option));
        // Not cut down to the byte of a real key.
        QVERIFY(!m_service->registerHotKey(256 + keycode(XK_v), control | option));
    }

    void heldShortcutFiresOnce()
    {
        QSignalSpy presses(m_service.get(), &HotKeyService::pressed);
        QVERIFY(m_service->registerHotKey(keycode(XK_v), control | option));
        QVERIFY(x11::xdotool({"keydown", "ctrl+alt+v"}));
        // Long enough for the server's auto-repeat to start (its delay is 660 ms).
        QTest::qWait(1500);
        QVERIFY(x11::xdotool({"keyup", "v+alt+ctrl"}));
        waitForEarlierKeyEvents();
        QCOMPARE(presses.count(), 1);
    }
};

QTEST_MAIN(TestHotKeyX11)
#include "tst_hotkey_x11.moc"
