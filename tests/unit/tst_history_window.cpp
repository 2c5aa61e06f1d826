// SPDX-License-Identifier: GPL-3.0-or-later
// Where the popover and the floating panel appear, and how the controller reports closing.
#include "model_fixture.h"
#include "platform/qt_window_activator.h"
#include "shell/history_window.h"
#include "shell/tray_status_item_controller.h"

#include <QLabel>
#include <QTest>

using namespace nabrix;
using namespace nabrix::testing;

class TestHistoryWindow : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void panelHangsBelowThePointerInsideTheScreen_data()
    {
        QTest::addColumn<QPoint>("pointer");
        QTest::addColumn<QRect>("screen");
        QTest::addColumn<QPoint>("expected");
        const QRect laptop(0, 0, 1280, 800);
        QTest::newRow("middle") << QPoint(640, 300) << laptop << QPoint(640 - 356, 312);
        QTest::newRow("near the left edge") << QPoint(100, 300) << laptop << QPoint(0, 312);
        QTest::newRow("near the bottom") << QPoint(640, 700) << laptop << QPoint(284, 800 - 480);
        QTest::newRow("near the right edge") << QPoint(1279, 10) << laptop << QPoint(900, 22);
        QTest::newRow("second screen's left edge")
            << QPoint(1300, 100) << QRect(1280, 0, 1920, 1080) << QPoint(1280, 112);
    }
    void panelHangsBelowThePointerInsideTheScreen()
    {
        QFETCH(QPoint, pointer);
        QFETCH(QRect, screen);
        QFETCH(QPoint, expected);
        QCOMPARE(HistoryWindow::panelPosition(pointer, screen), expected);
    }

    void windowTakesTheHeightOfAShortScreen_data()
    {
        QTest::addColumn<QRect>("available");
        QTest::addColumn<QSize>("size");
        QTest::newRow("exactly tall enough") << QRect(0, 0, 640, 480) << QSize(380, 480);
        QTest::newRow("laptop at twice the scale") << QRect(0, 0, 640, 400) << QSize(380, 400);
    }
    void windowTakesTheHeightOfAShortScreen()
    {
        QFETCH(QRect, available);
        QFETCH(QSize, size);
        QCOMPARE(HistoryWindow::sizeFor(available), size);
        // Wherever it opens, all of it is on the screen.
        const QRect icon(available.right() - 24, available.top(), 24, 24);
        const QRect popover(HistoryWindow::popoverPosition(icon, available), size);
        const QRect panel(HistoryWindow::panelPosition(available.center(), available), size);
        QVERIFY(available.contains(popover));
        QVERIFY(available.contains(panel));
    }

    void popoverOpensBelowATopTrayAndAboveABottomOne()
    {
        const QRect screen(0, 0, 1280, 800);
        const QPoint below = HistoryWindow::popoverPosition(QRect(1250, 0, 24, 24), screen);
        QCOMPARE(below, QPoint(1280 - 380, 24 + 4));
        const QPoint above = HistoryWindow::popoverPosition(QRect(600, 776, 24, 24), screen);
        QCOMPARE(above, QPoint(QRect(600, 776, 24, 24).center().x() - 190, 776 - 480 - 4));
    }

    void controllerShowsOneWindowAndReportsItsClose()
    {
        ModelFixture f;
        QtWindowActivator activator;
        int contentBuilt = 0;
        TrayStatusItemController controller(
            f.model,
            [&contentBuilt] {
                ++contentBuilt;
                return new QLabel(QStringLiteral("history"));
            },
            activator);
        f.model.setStatusItemController(&controller);

        controller.showHistory(); // no tray here: the floating panel
        QVERIFY(f.model.isPopoverOpen());
        QVERIFY(f.model.hasKeyMonitor());
        QVERIFY(controller.presentedWindow() != nullptr);
        QVERIFY(!controller.isPopoverShown());

        f.model.toggleFromHotkey();
        QVERIFY(!f.model.isPopoverOpen());
        QVERIFY(!f.model.hasKeyMonitor());
        QVERIFY(controller.presentedWindow() == nullptr);

        f.model.toggleFromHotkey();
        QVERIFY(f.model.isPopoverOpen());
        QCOMPARE(contentBuilt, 1);
        controller.close();
        controller.close();
        QVERIFY(!f.model.isPopoverOpen());
        f.model.setStatusItemController(nullptr);
    }
};

QTEST_MAIN(TestHistoryWindow)
#include "tst_history_window.moc"
