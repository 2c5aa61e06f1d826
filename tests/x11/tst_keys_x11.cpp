// SPDX-License-Identifier: GPL-3.0-or-later
// On a real X server: key names and shortcut texts from the live layout, and the synthesised paste.
#include "hotkey/shortcut_text.h"
#include "i18n/text_catalogue.h"
#include "platform/hotkey_service.h"
#include "platform/x11/x11_key_synthesizer.h"
#include "platform/x11/x11_keyboard_layout.h"
#include "x11_harness.h"

#include <QGuiApplication>
#include <QTest>
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <memory>

using namespace nabrix;
using namespace nabrix::testing;

namespace {

Display* display()
{
    return qApp->nativeInterface<QNativeInterface::QX11Application>()->display();
}

// Keycodes are looked up once, on the US layout the tests start from (Xlib caches the map).
std::uint32_t usKeycode(KeySym keysym)
{
    return XKeysymToKeycode(display(), keysym);
}

// A keycode the server knows but binds to no keysym at all.
std::optional<std::uint32_t> unmappedKeycode()
{
    int minKeycode = 0;
    int maxKeycode = 0;
    XDisplayKeycodes(display(), &minKeycode, &maxKeycode);
    int perKeycode = 0;
    KeySym* keysyms = XGetKeyboardMapping(display(), KeyCode(minKeycode),
                                          maxKeycode - minKeycode + 1, &perKeycode);
    std::optional<std::uint32_t> found;
    for (int keycode = maxKeycode; keycode >= minKeycode && !found; --keycode) {
        const KeySym* row = keysyms + std::ptrdiff_t(keycode - minKeycode) * perKeycode;
        if (std::all_of(row, row + perKeycode, [](KeySym keysym) { return keysym == NoSymbol; }))
            found = std::uint32_t(keycode);
    }
    XFree(keysyms);
    return found;
}

void lockGroup(unsigned int group)
{
    XkbLockGroup(display(), XkbUseCoreKbd, group);
    XFlush(display());
}

} // namespace

class TestKeysX11 : public QObject {
    Q_OBJECT

    std::unique_ptr<X11KeyboardLayout> m_layout;

private Q_SLOTS:
    void initTestCase() { QVERIFY(installTranslations(*qApp, QLocale(QLocale::English))); }

    void init()
    {
        NABRIX_REQUIRE_X11();
        QVERIFY(x11::setKeyboardLayout(QStringLiteral("us")));
        m_layout = X11KeyboardLayout::create();
        QVERIFY(m_layout);
    }

    void cleanup()
    {
        m_layout.reset();
        lockGroup(0);
        QVERIFY(x11::setKeyboardLayout(QStringLiteral("us")));
    }

    void keyNamesOnUsLayout_data()
    {
        QTest::addColumn<KeySym>("keysym");
        QTest::addColumn<QString>("name");
        QTest::newRow("s") << KeySym(XK_s) << QStringLiteral("S");
        QTest::newRow("unshifted punctuation") << KeySym(XK_semicolon) << QStringLiteral(";");
        QTest::newRow("space") << KeySym(XK_space) << QStringLiteral(" ");
    }

    void keyNamesOnUsLayout()
    {
        QFETCH(KeySym, keysym);
        QFETCH(QString, name);
        QCOMPARE(m_layout->keyName(usKeycode(keysym)), name);
    }

    void shortcutTextNamesKeysWithoutVisibleText_data()
    {
        QTest::addColumn<KeySym>("keysym");
        QTest::addColumn<QString>("text");
        QTest::newRow("space") << KeySym(XK_space) << QStringLiteral("Ctrl+Space");
        QTest::newRow("return") << KeySym(XK_Return) << QStringLiteral("Ctrl+Enter");
        QTest::newRow("page up") << KeySym(XK_Prior) << QStringLiteral("Ctrl+Page Up");
    }

    void shortcutTextNamesKeysWithoutVisibleText()
    {
        QFETCH(KeySym, keysym);
        QFETCH(QString, text);
        const std::uint32_t keycode = usKeycode(keysym);
        QVERIFY(keycode != 0);
        QCOMPARE(shortcutDisplayString(keycode, HotKeyModifier::control, *m_layout), text);
    }

    void unmappedOutOfRangeAndTextlessKeycodesShowTheirCode()
    {
        const auto unmapped = unmappedKeycode();
        QVERIFY2(unmapped, "the server's keymap has no free keycode");
        QCOMPARE(m_layout->keyName(*unmapped),
                 QStringLiteral("0x") + QString::number(*unmapped, 16).toUpper());
        // So do keys without text of their own.
        const std::uint32_t f5 = usKeycode(XK_F5);
        QCOMPARE(m_layout->keyName(f5), QStringLiteral("0x") + QString::number(f5, 16).toUpper());
        QCOMPARE(m_layout->keyName(0), QStringLiteral("0x0"));
        QCOMPARE(m_layout->keyName(0x1234), QStringLiteral("0x1234"));
    }

    void namesFollowALayoutSwitch()
    {
        const std::uint32_t y = usKeycode(XK_y);
        const std::uint32_t grave = usKeycode(XK_grave);
        const std::uint32_t semicolon = usKeycode(XK_semicolon);
        QCOMPARE(m_layout->keyName(y), QStringLiteral("Y"));
        QVERIFY(x11::setKeyboardLayout(QStringLiteral("de")));
        QTRY_COMPARE(m_layout->keyName(y), QStringLiteral("Z"));
        QCOMPARE(m_layout->keyName(semicolon), QStringLiteral("Ö"));
        // A dead key names the accent it types.
        QCOMPARE(m_layout->keyName(grave), QStringLiteral("^"));
        QVERIFY(x11::setKeyboardLayout(QStringLiteral("us")));
        QTRY_COMPARE(m_layout->keyName(y), QStringLiteral("Y"));
    }

    void namesFollowTheCurrentGroup()
    {
        const std::uint32_t y = usKeycode(XK_y);
        QVERIFY(x11::setKeyboardLayout(QStringLiteral("us,de")));
        lockGroup(1);
        QTRY_COMPARE(m_layout->keyName(y), QStringLiteral("Z"));
        lockGroup(0);
        QTRY_COMPARE(m_layout->keyName(y), QStringLiteral("Y"));
    }

    void pasteTypesTheClipboardIntoTheFocusedWindow_data()
    {
        QTest::addColumn<QString>("heldModifiers");
        QTest::newRow("nothing held") << QString();
        QTest::newRow("ctrl+alt held") << QStringLiteral("ctrl+alt");
    }

    void pasteTypesTheClipboardIntoTheFocusedWindow()
    {
        QFETCH(QString, heldModifiers);
        const auto synthesizer = X11KeySynthesizer::create();
        QVERIFY(synthesizer);
        QVERIFY(synthesizer->isTrusted());

        const QString text =
            QStringLiteral("pasted %1").arg(QString::fromLatin1(QTest::currentDataTag()));
        QVERIFY(x11::copyWithXclip(text.toUtf8()));
        x11::HelperProcess target(QStringLiteral("paste_target"), {});
        QVERIFY(target.waitForOutput("ready\n", 20000));

        if (!heldModifiers.isEmpty())
            QVERIFY(x11::xdotool({"keydown", heldModifiers}));
        synthesizer->postPaste();
        QVERIFY(target.waitForOutput("text:" + text.toUtf8() + '\n', 20000));
        if (!heldModifiers.isEmpty())
            QVERIFY(x11::xdotool({"keyup", heldModifiers}));
    }
};

QTEST_MAIN(TestKeysX11)
#include "tst_keys_x11.moc"
