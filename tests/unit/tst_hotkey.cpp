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

    std::unique_ptr<FakeHotKeyService> service;
    std::unique_ptr<GlobalHotKeyManager> manager;
    int calls = 0;

    bool registerCounting(std::uint32_t keyCode = 55, std::uint32_t modifiers = command)
    {
        return manager->registerHotKey(keyCode, modifiers, [this] { ++calls; });
    }

private Q_SLOTS:
    void init()
    {
        service = std::make_unique<FakeHotKeyService>();
        manager = std::make_unique<GlobalHotKeyManager>(*service);
        calls = 0;
    }
    void cleanup()
    {
        manager.reset();
        service.reset();
    }

    void pressRunsHandlerOnALaterTurnOfTheEventLoop()
    {
        QVERIFY(registerCounting());
        service->press();
        QCOMPARE(calls, 0);
        runQueuedCalls();
        QCOMPARE(calls, 1);
        service->press();
        service->press();
        runQueuedCalls();
        QCOMPARE(calls, 3);
    }

    void registeringAgainReplacesRegistrationAndHandler()
    {
        int first = 0;
        QVERIFY(manager->registerHotKey(55, command, [&first] { ++first; }));
        QVERIFY(registerCounting(39, shift | control));
        QCOMPARE(service->unregistrations, 1);
        QCOMPARE(service->registered, std::make_optional(std::make_pair(39u, shift | control)));
        service->press();
        runQueuedCalls();
        QCOMPARE(first, 0);
        QCOMPARE(calls, 1);
    }

    void refusedRegistrationDropsHandlerAndEarlierRegistration()
    {
        int first = 0;
        QVERIFY(manager->registerHotKey(55, command, [&first] { ++first; }));
        service->refuse = true;
        QVERIFY(!registerCounting(39));
        QVERIFY(!manager->isRegistered());
        QCOMPARE(service->unregistrations, 1);
        QVERIFY(!service->registered);
        Q_EMIT service->pressed(); // a stray press still reaching the manager
        runQueuedCalls();
        QCOMPARE(first, 0);
        QCOMPARE(calls, 0);
    }

    // A press queued before the unregister, and a stray one after it, both come to nothing.
    void unregisterIsIdempotentAndDropsPresses()
    {
        manager->unregister();
        QCOMPARE(service->unregistrations, 0);
        QVERIFY(registerCounting());
        service->press();
        manager->unregister();
        manager->unregister();
        QCOMPARE(service->unregistrations, 1);
        QVERIFY(!service->registered);
        Q_EMIT service->pressed();
        runQueuedCalls();
        QCOMPARE(calls, 0);
    }

    void destructionReleasesRegistration()
    {
        QVERIFY(registerCounting());
        service->press(); // queued, then the manager goes away
        manager.reset();
        QCOMPARE(service->unregistrations, 1);
        QVERIFY(!service->registered);
        runQueuedCalls();
        QCOMPARE(calls, 0);
    }

    void managerRegisteredAgainAfterUnregisterHearsPresses()
    {
        QVERIFY(manager->registerHotKey(55, command, [] {}));
        manager->unregister();
        QVERIFY(registerCounting());
        service->press();
        runQueuedCalls();
        QCOMPARE(calls, 1);
    }

    void handlerMayUnregisterItsOwnManager()
    {
        const auto marker = std::make_shared<int>(7);
        QVERIFY(manager->registerHotKey(55, command, [this, marker] {
            manager->unregister();
            calls += *marker; // captured state must outlive the unregister above
        }));
        service->press();
        runQueuedCalls();
        QCOMPARE(calls, 7);
        QVERIFY(!manager->isRegistered());
    }

    // Each flag's own bit, and the keypad flag's drop, are the recorder test's rows.
    void carbonModifiers_data()
    {
        QTest::addColumn<Qt::KeyboardModifiers>("flags");
        QTest::addColumn<std::uint32_t>("mask");
        QTest::newRow("none") << Qt::KeyboardModifiers() << 0u;
        QTest::newRow("all four") << (Qt::MetaModifier | Qt::ShiftModifier | Qt::AltModifier |
                                      Qt::ControlModifier)
                                  << (command | shift | option | control);
        QTest::newRow("group switch ignored")
            << (Qt::GroupSwitchModifier | Qt::MetaModifier) << command;
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
        row("all four in fixed order", en, 39u, (command | shift | option | control),
            QStringLiteral("Ctrl+Alt+Shift+Super+S"));
        row("no modifiers", en, 55u, 0u, QStringLiteral("V"));
        row("other mask bits", en, 55u, (control | 1u | 128u), QStringLiteral("Ctrl+V"));
        row("key code 0", en, 0u, (control | option), QString());
        row("unnamed key", en, 122u, command, QStringLiteral("Super+0x7A"));
        row("spanish words", QStringLiteral("es"), 65u, (command | shift),
            QStringLiteral("Mayús+Súper+Espacio"));
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
