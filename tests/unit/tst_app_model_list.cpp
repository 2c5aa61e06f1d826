// SPDX-License-Identifier: GPL-3.0-or-later
// The history list's state and keys: highlight, selection mode, and the whole key table.
#include "model_fixture.h"

#include <QLineEdit>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>

using namespace nabrix;
using namespace nabrix::testing;

class TestAppModelList : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void highlightFollowsTheList()
    {
        ModelFixture f;
        for (const char* text : {"one", "two", "three", "four"})
            f.add(QString::fromLatin1(text));
        f.showAll();
        QCOMPARE(f.model.selectedIndex(), std::optional<qsizetype>(0));
        f.model.setSelectedIndex(3);
        // A narrower list moves a highlight past its end to the first row...
        f.model.setSearchText(QStringLiteral("t")); // three, two
        QCOMPARE(f.model.selectedIndex(), std::optional<qsizetype>(0));
        // ...and keeps one still in range on its index.
        f.model.setSearchText(QString());
        f.model.setSelectedIndex(1);
        f.model.setSearchText(QStringLiteral("o")); // four, two, one
        QCOMPARE(f.model.selectedIndex(), std::optional<qsizetype>(1));
        f.model.setSearchText(QStringLiteral("x"));
        QCOMPARE(f.model.selectedIndex(), std::optional<qsizetype>());
    }

    void arrowsMoveTheHighlightWithoutWrapping()
    {
        ModelFixture f;
        QVERIFY(f.press(Qt::Key_Down)); // consumed on an empty list, nothing happens
        QCOMPARE(f.model.selectedIndex(), std::optional<qsizetype>());
        for (const char* text : {"a", "b", "c"})
            f.add(QString::fromLatin1(text));
        f.showAll();
        f.model.setSelectedIndex(std::nullopt);
        QVERIFY(f.press(Qt::Key_Up));
        QCOMPARE(f.model.selectedIndex(), std::optional<qsizetype>(2));
        QVERIFY(f.press(Qt::Key_Down));
        QCOMPARE(f.model.selectedIndex(), std::optional<qsizetype>(2));
        f.model.setSelectedIndex(std::nullopt);
        QVERIFY(f.press(Qt::Key_Down));
        QCOMPARE(f.model.selectedIndex(), std::optional<qsizetype>(0));
        QVERIFY(f.press(Qt::Key_Up));
        QCOMPARE(f.model.selectedIndex(), std::optional<qsizetype>(0));
    }

    void keysPassOrActByState_data()
    {
        QTest::addColumn<QString>("state");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<bool>("consumed");
        const int none = Qt::NoModifier;
        const int ctrl = Qt::ControlModifier;
        QTest::newRow("typing reaches the search field")
            << "list" << int(Qt::Key_X) << none << false;
        QTest::newRow("space outside selection mode")
            << "list" << int(Qt::Key_Space) << none << false;
        QTest::newRow("ctrl+a outside selection mode") << "list" << int(Qt::Key_A) << ctrl << false;
        QTest::newRow("delete while searching")
            << "searching" << int(Qt::Key_Backspace) << none << false;
        QTest::newRow("delete with a search of spaces")
            << "spaces" << int(Qt::Key_Delete) << none << false;
        QTest::newRow("arrows in the detail page")
            << "detail" << int(Qt::Key_Down) << none << false;
        QTest::newRow("delete in the detail page")
            << "detail" << int(Qt::Key_Delete) << none << false;
        QTest::newRow("ctrl+a in the detail page")
            << "detail+selecting" << int(Qt::Key_A) << ctrl << false;
        QTest::newRow("space in selection mode")
            << "selecting" << int(Qt::Key_Space) << none << true;
        QTest::newRow("ctrl+a in selection mode") << "selecting" << int(Qt::Key_A) << ctrl << true;
        QTest::newRow("plain a in selection mode")
            << "selecting" << int(Qt::Key_A) << none << false;
        QTest::newRow("return under a sheet") << "modal" << int(Qt::Key_Return) << none << false;
        QTest::newRow("escape under a sheet") << "modal" << int(Qt::Key_Escape) << none << false;
        QTest::newRow("arrows under a sheet") << "modal" << int(Qt::Key_Down) << none << false;
        QTest::newRow("delete with nothing checked")
            << "selecting" << int(Qt::Key_Delete) << none << true;
        QTest::newRow("shifted arrow acts like an arrow")
            << "list" << int(Qt::Key_Down) << int(Qt::ShiftModifier) << true;
    }
    void keysPassOrActByState()
    {
        QFETCH(QString, state);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(bool, consumed);
        ModelFixture f;
        f.add(QStringLiteral("one"));
        f.add(QStringLiteral("two"));
        f.showAll();
        if (state == QLatin1String("searching"))
            f.model.setSearchText(QStringLiteral("on"));
        if (state == QLatin1String("spaces"))
            f.model.setSearchText(QStringLiteral("  "));
        if (state.startsWith(QLatin1String("detail")))
            f.model.setDetailItem(f.model.visibleItems().first());
        if (state.endsWith(QLatin1String("selecting")))
            f.model.toggleSelectionMode();
        if (state == QLatin1String("modal"))
            f.model.setModalPresented(true);
        QCOMPARE(f.press(Qt::Key(key), Qt::KeyboardModifiers(modifiers)), consumed);
        QCOMPARE(f.storedTexts().size(), 2); // none of these deletes anything
    }

    void returnCopiesTheHighlightedOrTheDetailEntry_data()
    {
        QTest::addColumn<QString>("state");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("copied");
        const int none = Qt::NoModifier;
        const int keypad = Qt::KeypadModifier;
        QTest::newRow("return on the highlight")
            << "second row" << int(Qt::Key_Return) << none << "one";
        QTest::newRow("keypad enter on the highlight")
            << "second row" << int(Qt::Key_Enter) << keypad << "one";
        QTest::newRow("return without a highlight")
            << "no highlight" << int(Qt::Key_Return) << none << "two";
        QTest::newRow("return on an empty list") << "empty" << int(Qt::Key_Return) << none << "";
        QTest::newRow("return in the detail page")
            << "detail" << int(Qt::Key_Return) << none << "two";
    }
    void returnCopiesTheHighlightedOrTheDetailEntry()
    {
        QFETCH(QString, state);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, copied);
        ModelFixture f;
        f.add(QStringLiteral("one"));
        const ClipItem two = f.add(QStringLiteral("two"));
        f.showAll();
        f.model.setSelectedIndex(1);
        if (state == QLatin1String("no highlight"))
            f.model.setSelectedIndex(std::nullopt);
        if (state == QLatin1String("empty"))
            f.model.setSearchText(QStringLiteral("x"));
        if (state == QLatin1String("detail"))
            f.model.setDetailItem(two); // while "one" is highlighted
        QVERIFY(f.press(Qt::Key(key), Qt::KeyboardModifiers(modifiers)));
        QCOMPARE(f.platform.pasteboard->content().string.value_or(QString()), copied);
    }

    void escapeLeavesDetailThenSelectionThenCloses()
    {
        ModelFixture f;
        f.add(QStringLiteral("one"));
        f.showAll();
        f.controller.showHistory();
        f.model.toggleSelectionMode();
        f.model.setDetailItem(f.model.visibleItems().first());
        QVERIFY(f.press(Qt::Key_Escape));
        QVERIFY(!f.model.detailItem());
        QVERIFY(f.model.isSelecting());
        QVERIFY(f.press(Qt::Key_Escape));
        QVERIFY(!f.model.isSelecting());
        QVERIFY(f.controller.isShown());
        QVERIFY(f.press(Qt::Key_Escape));
        QVERIFY(!f.controller.isShown());
        QVERIFY(!f.model.isPopoverOpen());
    }

    void deleteRemovesTheHighlightedEntryAndTheHighlightWraps()
    {
        ModelFixture f;
        f.add(QStringLiteral("old"));
        f.add(QStringLiteral("new"));
        f.showAll();
        f.model.setSelectedIndex(1);
        QVERIFY(f.press(Qt::Key_Backspace));
        QCOMPARE(f.storedTexts(), QStringList({"new"}));
        f.showAll();
        // The deleted entry was the last row: the highlight moves to the first.
        QCOMPARE(f.model.selectedIndex(), std::optional<qsizetype>(0));
    }

    void deleteInSelectionModeRemovesCheckedVisibleEntriesAtOnce()
    {
        ModelFixture f;
        const ClipItem hidden = f.add(QStringLiteral("apple"));
        const ClipItem shown = f.add(QStringLiteral("banana"));
        f.add(QStringLiteral("cabbage"));
        f.showAll();
        f.model.toggleSelectionMode();
        f.model.toggleChecked(hidden);
        f.model.toggleChecked(shown);
        // A search hides "apple": only the visible checked entry goes.
        f.model.setSearchText(QStringLiteral("b"));
        QCOMPARE(f.model.checkedVisibleItems().size(), 1);
        // Deleting in selection mode is not editing the search.
        QVERIFY(f.press(Qt::Key_Delete));
        QCOMPARE(f.storedTexts(), QStringList({"cabbage", "apple"}));
        QVERIFY(f.model.selectedItemIDs().isEmpty());
        // The shorter list starts its highlight over.
        QCOMPARE(f.model.selectedIndex(), std::optional<qsizetype>(0));
        QVERIFY(f.model.isSelecting());
    }

    void spaceChecksTheHighlightedRow()
    {
        ModelFixture f;
        f.add(QStringLiteral("a"));
        f.add(QStringLiteral("b"));
        f.showAll();
        f.model.toggleSelectionMode();
        f.model.setSelectedIndex(1);
        QVERIFY(f.press(Qt::Key_Space));
        QVERIFY(f.model.isChecked(f.model.visibleItems().at(1)));
        QVERIFY(f.press(Qt::Key_Space));
        QVERIFY(f.model.selectedItemIDs().isEmpty());
    }

    void allCheckedMeansEveryVisibleEntry()
    {
        ModelFixture f;
        const ClipItem a = f.add(QStringLiteral("a"));
        const ClipItem b = f.add(QStringLiteral("b"));
        f.showAll();
        QVERIFY(!f.model.allChecked());
        f.model.toggleSelectionMode();
        QVERIFY(f.press(Qt::Key_A, Qt::ControlModifier));
        QVERIFY(f.model.allChecked());
        // Search down to "a": still all checked; checks of hidden entries do not count.
        f.model.setSearchText(QStringLiteral("a"));
        QVERIFY(f.model.allChecked());
        f.model.toggleChecked(a);
        QCOMPARE(f.model.selectedItemIDs().size(), 1); // only b, hidden, stays checked
        QVERIFY(!f.model.allChecked());
        // Toggling all checks the visible ones and drops the hidden check.
        f.model.toggleAllChecked();
        QCOMPARE(f.model.selectedItemIDs(), QSet<QUuid>({a.id}));
        f.model.toggleAllChecked();
        QVERIFY(f.model.selectedItemIDs().isEmpty());
        f.model.setSearchText(QStringLiteral("x"));
        QVERIFY(!f.model.allChecked());
        Q_UNUSED(b);
    }

    void leavingSelectionModeClearsChecks()
    {
        ModelFixture f;
        const ClipItem a = f.add(QStringLiteral("a"));
        f.showAll();
        f.model.toggleSelectionMode();
        f.model.toggleChecked(a);
        f.model.setDetailItem(a);
        f.model.setSelectedIndex(0);
        f.model.toggleSelectionMode();
        QVERIFY(f.model.selectedItemIDs().isEmpty());
        QVERIFY(f.model.detailItem()); // untouched
        QCOMPARE(f.model.selectedIndex(), std::optional<qsizetype>(0));
    }

    void stateSignalsFireOnlyOnRealChanges()
    {
        ModelFixture f;
        const ClipItem a = f.add(QStringLiteral("a"));
        QSignalSpy search(&f.model, &AppModel::searchTextChanged);
        QSignalSpy index(&f.model, &AppModel::selectedIndexChanged);
        QSignalSpy list(&f.model, &AppModel::visibleItemsChanged);
        QSignalSpy detail(&f.model, &AppModel::detailItemChanged);
        f.model.setSearchText(QStringLiteral("a"));
        f.model.setSearchText(QStringLiteral("a"));
        f.add(QStringLiteral("ab"));
        f.showAll();
        f.showAll();
        f.model.setSelectedIndex(1);
        f.model.setSelectedIndex(1);
        f.model.setDetailItem(a);
        f.model.setDetailItem(a);
        QCOMPARE(search.size(), 1);
        QCOMPARE(list.size(), 1);
        QCOMPARE(index.size(), 1);
        QCOMPARE(detail.size(), 1);
    }

    void keyMonitorSeesKeysBeforeTheFocusedWidget()
    {
        ModelFixture f;
        f.add(QStringLiteral("a"));
        f.add(QStringLiteral("b"));
        f.showAll();
        QWidget window;
        auto* layout = new QVBoxLayout(&window);
        auto* field = new QLineEdit(&window);
        layout->addWidget(field);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        field->setFocus();
        f.controller.window = window.windowHandle();

        f.controller.showHistory();
        f.model.installKeyMonitor(); // a second install changes nothing
        QTest::keyClick(window.windowHandle(), Qt::Key_Down);
        QCOMPARE(f.model.selectedIndex(), std::optional<qsizetype>(1));
        QTest::keyClick(window.windowHandle(), 'b');
        QTest::keyClick(window.windowHandle(), ' ');
        QCOMPARE(field->text(), QStringLiteral("b "));

        f.model.removeKeyMonitor();
        QTest::keyClick(window.windowHandle(), Qt::Key_Up);
        QCOMPARE(f.model.selectedIndex(), std::optional<qsizetype>(1));
    }

    // Menus handle their own keys, and other windows of the program are not the history.
    void keyMonitorLeavesMenusAndOtherWindowsAlone_data()
    {
        QTest::addColumn<bool>("inMenu");
        QTest::addColumn<int>("key");
        QTest::newRow("down in a menu") << true << int(Qt::Key_Down);
        QTest::newRow("return in a menu") << true << int(Qt::Key_Return);
        QTest::newRow("escape in a menu") << true << int(Qt::Key_Escape);
        QTest::newRow("down in a dialog") << false << int(Qt::Key_Down);
        QTest::newRow("return in a dialog") << false << int(Qt::Key_Return);
        QTest::newRow("escape in a dialog") << false << int(Qt::Key_Escape);
    }
    void keyMonitorLeavesMenusAndOtherWindowsAlone()
    {
        QFETCH(bool, inMenu);
        QFETCH(int, key);
        ModelFixture f;
        f.add(QStringLiteral("a"));
        f.add(QStringLiteral("b"));
        f.showAll();
        QWidget history;
        history.show();
        QVERIFY(QTest::qWaitForWindowExposed(&history));
        f.controller.window = history.windowHandle();
        f.controller.showHistory();

        QMenu menu(&history);
        QAction* first = menu.addAction(QStringLiteral("first"));
        QSignalSpy chosen(first, &QAction::triggered);
        // A dialog of the history's own: the history stays open under it.
        QWidget other(&history, Qt::Dialog);
        QWindow* target = history.windowHandle();
        if (inMenu) {
            menu.popup(history.mapToGlobal(QPoint(10, 10)));
            QVERIFY(QTest::qWaitForWindowExposed(&menu));
            // The menu's first entry is current, as after the user's first Down.
            menu.setActiveAction(first);
        } else {
            other.show();
            QVERIFY(QTest::qWaitForWindowExposed(&other));
            target = other.windowHandle();
        }

        QTest::keyClick(target, Qt::Key(key));
        QCOMPARE(f.model.selectedIndex(), std::optional<qsizetype>(0));
        QCOMPARE(f.platform.pasteboard->content().string, std::nullopt);
        QVERIFY(f.controller.isShown());
        if (inMenu && key == Qt::Key_Return)
            QCOMPARE(chosen.size(), 1);
        if (inMenu && key == Qt::Key_Escape)
            QVERIFY(!menu.isVisible());
    }
};

QTEST_MAIN(TestAppModelList)
#include "tst_app_model_list.moc"
