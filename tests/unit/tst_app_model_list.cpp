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

namespace {

// The model over `texts`, added oldest first, with the history shown.
struct ShownFixture : ModelFixture {
    explicit ShownFixture(std::initializer_list<const char*> texts)
    {
        for (const char* text : texts)
            items.append(add(QString::fromUtf8(text)));
        showAll();
    }
    QList<ClipItem> items;
};

} // namespace

class TestAppModelList : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void highlightFollowsTheList()
    {
        ShownFixture f({"one", "two", "three", "four"});
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
        const auto row = [](const char* name, const char* state, Qt::Key key, bool consumed,
                            Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
            QTest::newRow(name) << QString::fromLatin1(state) << int(key) << int(modifiers)
                                << consumed;
        };
        row("typing reaches the search field", "list", Qt::Key_X, false);
        row("space outside selection mode", "list", Qt::Key_Space, false);
        row("ctrl+a outside selection mode", "list", Qt::Key_A, false, Qt::ControlModifier);
        row("delete while searching", "searching", Qt::Key_Backspace, false);
        row("delete with a search of spaces", "spaces", Qt::Key_Delete, false);
        row("arrows in the detail page", "detail", Qt::Key_Down, false);
        row("delete in the detail page", "detail", Qt::Key_Delete, false);
        row("ctrl+a in the detail page", "detail+selecting", Qt::Key_A, false, Qt::ControlModifier);
        row("space in selection mode", "selecting", Qt::Key_Space, true);
        row("ctrl+a in selection mode", "selecting", Qt::Key_A, true, Qt::ControlModifier);
        row("plain a in selection mode", "selecting", Qt::Key_A, false);
        row("return under a sheet", "modal", Qt::Key_Return, false);
        row("delete with nothing checked", "selecting", Qt::Key_Delete, true);
        row("shifted arrow acts like an arrow", "list", Qt::Key_Down, true, Qt::ShiftModifier);
    }
    void keysPassOrActByState()
    {
        QFETCH(QString, state);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(bool, consumed);
        ShownFixture f({"one", "two"});
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
        const auto row = [](const char* name, const char* state, Qt::Key key, const char* copied,
                            Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
            QTest::newRow(name) << QString::fromLatin1(state) << int(key) << int(modifiers)
                                << QString::fromLatin1(copied);
        };
        row("return on the highlight", "second row", Qt::Key_Return, "one");
        row("keypad enter on the highlight", "second row", Qt::Key_Enter, "one",
            Qt::KeypadModifier);
        row("return without a highlight", "no highlight", Qt::Key_Return, "two");
        row("return on an empty list", "empty", Qt::Key_Return, "");
        row("return in the detail page", "detail", Qt::Key_Return, "two");
    }
    void returnCopiesTheHighlightedOrTheDetailEntry()
    {
        QFETCH(QString, state);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, copied);
        ShownFixture f({"one", "two"});
        f.model.setSelectedIndex(1);
        if (state == QLatin1String("no highlight"))
            f.model.setSelectedIndex(std::nullopt);
        if (state == QLatin1String("empty"))
            f.model.setSearchText(QStringLiteral("x"));
        if (state == QLatin1String("detail"))
            f.model.setDetailItem(f.items.at(1)); // "two", while "one" is highlighted
        QVERIFY(f.press(Qt::Key(key), Qt::KeyboardModifiers(modifiers)));
        QCOMPARE(f.platform.pasteboard->content().string.value_or(QString()), copied);
    }

    void escapeLeavesDetailThenSelectionThenCloses()
    {
        ShownFixture f({"one"});
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
        ShownFixture f({"old", "new"});
        f.model.setSelectedIndex(1);
        QVERIFY(f.press(Qt::Key_Backspace));
        QCOMPARE(f.storedTexts(), QStringList({"new"}));
        f.showAll();
        // The deleted entry was the last row: the highlight moves to the first.
        QCOMPARE(f.model.selectedIndex(), std::optional<qsizetype>(0));
    }

    void deleteInSelectionModeRemovesCheckedVisibleEntriesAtOnce()
    {
        ShownFixture f({"apple", "banana", "cabbage"});
        f.model.toggleSelectionMode();
        f.model.toggleChecked(f.items.at(0));
        f.model.toggleChecked(f.items.at(1));
        // A search hides "apple": only the visible checked entry goes.
        f.model.setSearchText(QStringLiteral("b"));
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
        ShownFixture f({"a", "b"});
        f.model.toggleSelectionMode();
        f.model.setSelectedIndex(1);
        QVERIFY(f.press(Qt::Key_Space));
        QCOMPARE(f.model.selectedItemIDs(), QSet<QUuid>{f.items.at(0).id});
        QVERIFY(f.press(Qt::Key_Space));
        QVERIFY(f.model.selectedItemIDs().isEmpty());

        // Leaving selection mode drops the checks, not the detail page or the highlight.
        QVERIFY(f.press(Qt::Key_Space));
        f.model.setDetailItem(f.items.at(0));
        f.model.toggleSelectionMode();
        QVERIFY(f.model.selectedItemIDs().isEmpty());
        QVERIFY(f.model.detailItem());
        QCOMPARE(f.model.selectedIndex(), std::optional<qsizetype>(1));
    }

    void allCheckedMeansEveryVisibleEntry()
    {
        ShownFixture f({"a", "b"});
        const ClipItem a = f.items.at(0);
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
        ShownFixture f({"a", "b"});
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
        QTest::newRow("escape in a dialog") << false << int(Qt::Key_Escape);
    }
    void keyMonitorLeavesMenusAndOtherWindowsAlone()
    {
        QFETCH(bool, inMenu);
        QFETCH(int, key);
        ShownFixture f({"a", "b"});
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
