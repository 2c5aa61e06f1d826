// SPDX-License-Identifier: GPL-3.0-or-later
// Showing and closing the history: tray icon, shortcut, other windows, the reset on close.
#include "model_fixture.h"

#include <QSignalSpy>
#include <QTest>
#include <QWindow>

using namespace nabrix;
using namespace nabrix::testing;

class TestAppModelPresentation : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Shown by default is the tray tests' first click.
    void hiddenIconStaysAwayAndHidingItClosesTheHistory()
    {
        ModelFixture f;
        f.model.settings().setHideMenuBarIcon(true);
        f.model.start();
        QVERIFY(!f.controller.hasStatusItem);
        f.model.settings().setHideMenuBarIcon(false);
        f.model.applyStatusItemVisibility();
        QVERIFY(f.controller.hasStatusItem);
        f.controller.showHistory();
        f.model.settings().setHideMenuBarIcon(true);
        f.model.applyStatusItemVisibility();
        QVERIFY(!f.controller.hasStatusItem);
        QVERIFY(!f.controller.isShown());
    }

    void shortcutIsRegisteredOnlyWhenComplete_data()
    {
        QTest::addColumn<quint32>("keyCode");
        QTest::addColumn<quint32>("modifiers");
        QTest::addColumn<bool>("refuse");
        QTest::addColumn<bool>("active");
        QTest::addColumn<int>("registrations");
        QTest::newRow("key code 0") << 0u << 4096u << false << false << 0;
        QTest::newRow("no modifiers") << 55u << 0u << false << false << 0;
        QTest::newRow("complete") << 55u << 6144u << false << true << 1;
        QTest::newRow("taken by another client") << 55u << 6144u << true << false << 1;
    }
    void shortcutIsRegisteredOnlyWhenComplete()
    {
        QFETCH(quint32, keyCode);
        QFETCH(quint32, modifiers);
        QFETCH(bool, refuse);
        QFETCH(bool, active);
        QFETCH(int, registrations);
        ModelFixture f;
        f.platform.hotKeyService->refuse = refuse;
        f.model.settings().setHotkeyKeyCode(keyCode);
        f.model.settings().setHotkeyModifiers(modifiers);
        f.model.start();
        QCOMPARE(f.model.hotkeyActive(), active);
        QCOMPARE(f.platform.hotKeyService->registrations, registrations);
    }

    void shortcutTogglesTheHistoryAndReRegistersCleanly()
    {
        ModelFixture f;
        f.model.settings().setHotkeyKeyCode(55);
        f.model.settings().setHotkeyModifiers(4096);
        f.model.start();
        f.platform.hotKeyService->press();
        QTRY_VERIFY(f.controller.isShown());
        f.platform.hotKeyService->press();
        QTRY_VERIFY(!f.controller.isShown());

        f.model.settings().setHotkeyKeyCode(56);
        f.model.registerHotkey();
        QCOMPARE(f.platform.hotKeyService->registered,
                 std::optional(std::make_pair(std::uint32_t(56), std::uint32_t(4096))));
        f.model.settings().setHotkeyKeyCode(0);
        f.model.registerHotkey();
        QVERIFY(!f.platform.hotKeyService->registered);
        QVERIFY(!f.model.hotkeyActive());

        // Stopped: no shortcut, no key monitor, no polling.
        f.model.settings().setHotkeyKeyCode(57);
        f.model.registerHotkey();
        f.model.installKeyMonitor();
        f.model.stop();
        QVERIFY(!f.platform.hotKeyService->registered);
        QVERIFY(!f.model.hasKeyMonitor());
        f.platform.hotKeyService->press();
        f.platform.pasteboard->copyText(QStringLiteral("after stop"));
        QTest::qWait(int(AppModel::pollInterval.count()) + 200);
        QVERIFY(!f.controller.isShown());
        QVERIFY(f.storedTexts().isEmpty());
    }

    void closingResetsTransientStateButKeepsSearchAndHighlight()
    {
        ModelFixture f;
        const ClipItem a = f.add(QStringLiteral("a"));
        f.add(QStringLiteral("b"));
        f.showAll();
        f.controller.showHistory();
        f.model.setSearchText(QStringLiteral("a"));
        f.model.setSelectedIndex(1);
        f.model.toggleSelectionMode();
        f.model.toggleChecked(a);
        f.model.setDetailItem(a);
        f.model.setModalPresented(true);
        f.model.select(a);
        f.controller.close();

        QVERIFY(!f.model.isPopoverOpen());
        QVERIFY(!f.model.detailItem());
        QVERIFY(!f.model.isSelecting());
        QVERIFY(f.model.selectedItemIDs().isEmpty());
        QVERIFY(!f.model.isModalPresented());
        QVERIFY(!f.model.flashCopyID());
        QVERIFY(!f.model.hasKeyMonitor());
        QCOMPARE(f.model.searchText(), QStringLiteral("a"));
        QCOMPARE(f.model.selectedIndex(), std::optional<qsizetype>(1));
        // Harmless twice.
        f.model.handlePopoverClosed();
        QVERIFY(!f.model.isPopoverOpen());
    }

    void anotherWindowBecomingActiveClosesTheHistory()
    {
        ModelFixture f;
        QWindow history;
        QWindow child;
        child.setTransientParent(&history);
        QWindow settings;
        f.controller.window = &history;
        f.controller.showHistory();

        f.model.handleWindowDidBecomeKey(&history);
        f.model.handleWindowDidBecomeKey(&child);
        QVERIFY(f.controller.isShown());
        f.model.handleWindowDidBecomeKey(&settings);
        QVERIFY(!f.controller.isShown());

        // Nothing to do while the history is closed.
        f.model.handleWindowDidBecomeKey(&settings);
        QCOMPARE(f.controller.closes, 1);
    }

    void openingSettingsClosesTheHistoryFirst()
    {
        ModelFixture f;
        f.controller.showHistory();
        QSignalSpy requested(&f.model, &AppModel::settingsWindowRequested);
        bool closedBeforeRequest = false;
        connect(&f.model, &AppModel::settingsWindowRequested, this,
                [&] { closedBeforeRequest = !f.controller.isShown(); });
        f.model.openSettings();
        QCOMPARE(requested.size(), 1);
        QVERIFY(closedBeforeRequest);
    }
};

QTEST_MAIN(TestAppModelPresentation)
#include "tst_app_model_presentation.moc"
