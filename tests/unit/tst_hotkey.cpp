// SPDX-License-Identifier: GPL-3.0-or-later
// The global shortcut: registration lifecycle, press delivery, modifier masks and shortcut text.
#include "fake_platform.h"
#include "hotkey/global_hot_key_manager.h"
#include "hotkey/shortcut_text.h"
#include "i18n/text_catalogue.h"

#include <QCoreApplication>
#include <QTest>
#include <memory>

using namespace nabrix;
using namespace nabrix::testing;

namespace {

constexpr std::uint32_t command = HotKeyModifier::command;
constexpr std::uint32_t shift = HotKeyModifier::shift;
constexpr std::uint32_t option = HotKeyModifier::option;
constexpr std::uint32_t control = HotKeyModifier::control;

// Delivers every queued call, as the next turn of the event loop would.
void runQueuedCalls()
{
    QCoreApplication::sendPostedEvents();
}

} // namespace

class TestHotKey : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void pressRunsHandlerOnALaterTurnOfTheEventLoop()
    {
        FakeHotKeyService service;
        GlobalHotKeyManager manager(service);
        int calls = 0;
        QVERIFY(manager.registerHotKey(55, command, [&calls] { ++calls; }));
        service.press();
        QCOMPARE(calls, 0);
        runQueuedCalls();
        QCOMPARE(calls, 1);
        service.press();
        service.press();
        runQueuedCalls();
        QCOMPARE(calls, 3);
    }

    void registeringAgainReplacesRegistrationAndHandler()
    {
        FakeHotKeyService service;
        GlobalHotKeyManager manager(service);
        int first = 0;
        int second = 0;
        QVERIFY(manager.registerHotKey(55, command, [&first] { ++first; }));
        QVERIFY(manager.registerHotKey(39, shift | control, [&second] { ++second; }));
        QCOMPARE(service.unregistrations, 1);
        QCOMPARE(service.registered, std::make_optional(std::make_pair(39u, shift | control)));
        service.press();
        runQueuedCalls();
        QCOMPARE(first, 0);
        QCOMPARE(second, 1);
    }

    void refusedRegistrationDropsHandlerAndEarlierRegistration()
    {
        FakeHotKeyService service;
        GlobalHotKeyManager manager(service);
        int first = 0;
        int second = 0;
        QVERIFY(manager.registerHotKey(55, command, [&first] { ++first; }));
        service.refuse = true;
        QVERIFY(!manager.registerHotKey(39, command, [&second] { ++second; }));
        QVERIFY(!manager.isRegistered());
        QCOMPARE(service.unregistrations, 1);
        QVERIFY(!service.registered);
        Q_EMIT service.pressed(); // a stray press still reaching the manager
        runQueuedCalls();
        QCOMPARE(first, 0);
        QCOMPARE(second, 0);
    }

    void unregisterIsIdempotent()
    {
        FakeHotKeyService service;
        GlobalHotKeyManager manager(service);
        manager.unregister();
        QCOMPARE(service.unregistrations, 0);
        int calls = 0;
        QVERIFY(manager.registerHotKey(55, command, [&calls] { ++calls; }));
        manager.unregister();
        manager.unregister();
        QCOMPARE(service.unregistrations, 1);
        QVERIFY(!service.registered);
        Q_EMIT service.pressed();
        runQueuedCalls();
        QCOMPARE(calls, 0);
    }

    void pressQueuedBeforeUnregisterDoesNothing()
    {
        FakeHotKeyService service;
        GlobalHotKeyManager manager(service);
        int calls = 0;
        QVERIFY(manager.registerHotKey(55, command, [&calls] { ++calls; }));
        service.press();
        manager.unregister();
        runQueuedCalls();
        QCOMPARE(calls, 0);
    }

    void destructionReleasesRegistration()
    {
        FakeHotKeyService service;
        int calls = 0;
        {
            GlobalHotKeyManager manager(service);
            QVERIFY(manager.registerHotKey(55, command, [&calls] { ++calls; }));
            service.press(); // queued, then the manager goes away
        }
        QCOMPARE(service.unregistrations, 1);
        QVERIFY(!service.registered);
        runQueuedCalls();
        QCOMPARE(calls, 0);
    }

    void managerRegisteredAgainAfterUnregisterHearsPresses()
    {
        FakeHotKeyService service;
        GlobalHotKeyManager manager(service);
        int calls = 0;
        QVERIFY(manager.registerHotKey(55, command, [] {}));
        manager.unregister();
        QVERIFY(manager.registerHotKey(55, command, [&calls] { ++calls; }));
        service.press();
        runQueuedCalls();
        QCOMPARE(calls, 1);
    }

    void handlerMayUnregisterItsOwnManager()
    {
        FakeHotKeyService service;
        GlobalHotKeyManager manager(service);
        int calls = 0;
        const auto marker = std::make_shared<int>(7);
        QVERIFY(manager.registerHotKey(55, command, [&, marker] {
            manager.unregister();
            calls += *marker; // captured state must outlive the unregister above
        }));
        service.press();
        runQueuedCalls();
        QCOMPARE(calls, 7);
        QVERIFY(!manager.isRegistered());
    }

    void carbonModifiers_data()
    {
        QTest::addColumn<Qt::KeyboardModifiers>("flags");
        QTest::addColumn<std::uint32_t>("mask");
        QTest::newRow("none") << Qt::KeyboardModifiers() << 0u;
        QTest::newRow("all four") << (Qt::MetaModifier | Qt::ShiftModifier | Qt::AltModifier |
                                      Qt::ControlModifier)
                                  << 6912u;
        QTest::newRow("keypad ignored") << (Qt::KeypadModifier | Qt::ControlModifier) << 4096u;
        QTest::newRow("group switch ignored")
            << (Qt::GroupSwitchModifier | Qt::MetaModifier) << 256u;
    }

    void carbonModifiers()
    {
        QFETCH(Qt::KeyboardModifiers, flags);
        QFETCH(std::uint32_t, mask);
        QCOMPARE(GlobalHotKeyManager::carbonModifiers(flags), mask);
    }

    void shortcutDisplayString_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<std::uint32_t>("keyCode");
        QTest::addColumn<std::uint32_t>("modifiers");
        QTest::addColumn<QString>("text");
        const auto row = [](const char* name, const QString& language, std::uint32_t keyCode,
                            std::uint32_t modifiers, const QString& text) {
            QTest::newRow(name) << language << keyCode << modifiers << text;
        };
        const QString en = QStringLiteral("en");
        row("ctrl+alt", en, 55u, (control | option), QStringLiteral("Ctrl+Alt+V"));
        row("all four in fixed order", en, 39u, (command | shift | option | control),
            QStringLiteral("Ctrl+Alt+Shift+Super+S"));
        row("no modifiers", en, 55u, 0u, QStringLiteral("V"));
        row("other mask bits", en, 55u, (control | 1u | 128u), QStringLiteral("Ctrl+V"));
        row("key code 0", en, 0u, (control | option), QString());
        row("unnamed key", en, 122u, command, QStringLiteral("Super+0x7A"));
        const QString es = QStringLiteral("es");
        row("spanish words", es, 55u, (control | option | shift),
            QStringLiteral("Ctrl+Alt+Mayús+V"));
        row("spanish key name", es, 65u, command, QStringLiteral("Súper+Espacio"));
    }

    void shortcutDisplayString()
    {
        QFETCH(QString, language);
        QFETCH(std::uint32_t, keyCode);
        QFETCH(std::uint32_t, modifiers);
        QFETCH(QString, text);
        FakeKeyboardLayout layout;
        layout.names = {{39, QStringLiteral("S")}, {55, QStringLiteral("V")}};
        layout.namedKeys = {{65, NamedKey{NamedKey::Kind::Space}}};
        QVERIFY(installTranslations(*qApp, QLocale(language)));
        const QString shown = nabrix::shortcutDisplayString(keyCode, modifiers, layout);
        QVERIFY(installTranslations(*qApp, QLocale(QLocale::English)));
        QCOMPARE(shown, text);
    }
};

QTEST_MAIN(TestHotKey)
#include "tst_hotkey.moc"
