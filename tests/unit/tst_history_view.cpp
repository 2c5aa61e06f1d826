// SPDX-License-Identifier: GPL-3.0-or-later
// The history window's content: pages, counts, the selection toolbar, overlays and deletions.
#include "flat_png.h"
#include "history/history_list_model.h"
#include "i18n/text_catalogue.h"
#include "model_fixture.h"
#include "platform/pasteboard.h"
#include "views/clip_detail_view.h"
#include "views/clip_row_view.h"
#include "views/confirmation_card.h"
#include "views/custom_range_sheet.h"
#include "views/fitted_image_view.h"
#include "views/history_detail_page.h"
#include "views/history_footer.h"
#include "views/history_view.h"
#include "views/overlay_layer.h"
#include "views/search_bar.h"
#include "views/symbol_button.h"
#include "views/time_range_menu.h"

#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

using namespace nabrix;
using namespace nabrix::testing;

namespace {

struct ViewFixture {
    ViewFixture()
        : list(f.model.history())
        , view(f.model, list)
    {
        view.setClock(f.clock.clock());
    }
    void show()
    {
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
    }
    ClipItem add(const QString& text) { return f.add(text); }
    HistoryFooter* footer() const { return view.footer(); }
    ConfirmationCard* confirmation() const
    {
        return qobject_cast<ConfirmationCard*>(view.overlays()->card());
    }
    CustomRangeSheet* sheet() const
    {
        return qobject_cast<CustomRangeSheet*>(view.overlays()->card());
    }
    QAction* ageMenuEntry(const QString& data) const
    {
        for (QAction* action : footer()->timeRangeMenu()->actions()) {
            if (action->data().toString() == data)
                return action;
        }
        return nullptr;
    }

    ModelFixture f;
    HistoryListModel& list;
    HistoryView view;
};

} // namespace

class TestHistoryView : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QVERIFY(installTranslations(*qApp, QLocale(QLocale::English))); }

    void footerCountsTheWholeHistoryWhateverIsShown()
    {
        ViewFixture v;
        v.show();
        QVERIFY(v.view.showsEmptyState());
        QVERIFY(!v.footer()->countLabel()->isVisible());
        QVERIFY(!v.footer()->selectButton()->isEnabled());
        QVERIFY(!v.footer()->ageButton()->isEnabled());
        QVERIFY(!v.footer()->clearAllButton()->isEnabled());

        for (const char* text : {"apple", "banana", "cherry"})
            v.add(QString::fromLatin1(text));
        QVERIFY(!v.view.showsEmptyState());
        // A search without matches shows the empty state but keeps the whole count.
        QTest::keyClicks(v.view.searchBar()->field(), QStringLiteral("zzz"));
        QVERIFY(v.view.showsEmptyState());
        QVERIFY(v.footer()->countLabel()->isVisible());
        QCOMPARE(v.footer()->countLabel()->text(), catalogue::text("history.itemsCount", 3));
        QVERIFY(v.footer()->selectButton()->isEnabled());
        QVERIFY(v.footer()->clearAllButton()->isEnabled());

        // The clear button empties the search and gives the field the keyboard again.
        QVERIFY(v.view.searchBar()->clearButton()->isVisible());
        QTest::mouseClick(v.view.searchBar()->clearButton(), Qt::LeftButton);
        QCOMPARE(v.f.model.searchText(), QString());
        QVERIFY(!v.view.showsEmptyState());
        QVERIFY(!v.view.searchBar()->clearButton()->isVisible());
    }

    void aHistoryStillBeingReadIsNotShownAsEmpty()
    {
        for (const bool withEntries : {false, true}) {
            ModelFixture f;
            if (withEntries)
                f.add(QStringLiteral("stored"));
            HistoryListModel list(f.model.storage(), QLocale(QLocale::English),
                                  HistoryListModel::Loading::InBackground);
            QSignalSpy loaded(&list, &HistoryListModel::loaded);
            HistoryView view(f.model, list);
            view.show();
            // No event has been processed: the worker's result cannot have arrived.
            QVERIFY(!list.isLoaded());
            QVERIFY(!view.showsEmptyState());
            QVERIFY(loaded.count() == 1 || loaded.wait());
            QCOMPARE(view.showsEmptyState(), !withEntries);
            QCOMPARE(f.model.visibleItems().size(), withEntries ? 1 : 0);
        }
    }

    void selectionCountsAndDeletesOnlyVisibleCheckedEntries()
    {
        ViewFixture v;
        const ClipItem apple = v.add(QStringLiteral("apple"));
        v.add(QStringLiteral("apricot"));
        const ClipItem banana = v.add(QStringLiteral("banana"));
        v.show();
        QTest::mouseClick(v.footer()->selectButton(), Qt::LeftButton);
        QVERIFY(v.f.model.isSelecting());
        QVERIFY(v.footer()->showsSelectionToolbar());
        QVERIFY(!v.footer()->deleteSelectedButton()->isEnabled());
        SymbolButton* selectAll = v.footer()->selectAllButton();
        QTest::mouseClick(selectAll, Qt::LeftButton);
        QVERIFY(v.f.model.allChecked());
        QTest::mouseClick(selectAll, Qt::LeftButton);
        QVERIFY(v.f.model.selectedItemIDs().isEmpty());

        v.f.model.toggleChecked(apple);
        v.f.model.toggleChecked(banana);
        QCOMPARE(v.footer()->selectedCountLabel()->text(),
                 catalogue::text("history.selectedCount", 2));
        QVERIFY(v.footer()->deleteSelectedButton()->isEnabled());

        // The search hides the checked banana: neither counted nor deleted from here.
        v.f.model.setSearchText(QStringLiteral("ap"));
        QCOMPARE(v.footer()->selectedCountLabel()->text(),
                 catalogue::text("history.selectedCount", 1));
        QTest::mouseClick(v.footer()->deleteSelectedButton(), Qt::LeftButton);
        ConfirmationCard* card = v.confirmation();
        QVERIFY(card);
        QCOMPARE(card->message(), catalogue::text("history.deleteSelected.message", 1));
        QTest::mouseClick(card->confirmButton(), Qt::LeftButton);
        QCOMPARE(v.f.storedTexts(), (QStringList{"banana", "apricot"}));
        QVERIFY(!v.f.model.isModalPresented());
        v.f.model.setSearchText(QStringLiteral("nothing like it"));
        QVERIFY(!selectAll->isEnabled());

        QTest::mouseClick(v.footer()->doneButton(), Qt::LeftButton);
        QVERIFY(!v.f.model.isSelecting());
        QVERIFY(!v.footer()->showsSelectionToolbar());
    }

    void detailPageFollowsTheModelAndRevealsTheRowToo()
    {
        ViewFixture v;
        ClipItem card = makeClipItem(v.f.clock.now(), QStringLiteral("4111 1111 1111 1111"));
        card.isSensitive = true;
        v.f.model.storage().insert(card, card.searchString.toUtf8());
        v.show();
        v.f.model.setDetailItem(card);
        QVERIFY(v.view.showsDetailPage());
        ClipDetailView* detail = v.view.detailPage()->detailView();
        QVERIFY(detail->isMasked());
        QVERIFY(v.view.detailPage()->sensitiveBadge()->isVisibleTo(v.view.detailPage()));
        QTest::mouseClick(detail->revealButton(), Qt::LeftButton);
        QVERIFY(!detail->isMasked());
        QCOMPARE(detail->displayedText(), card.searchString);
        const QModelIndex row = v.view.listView()->model()->index(0, 0);
        QVERIFY(!v.view.rowView()->content(row).masked);

        QTest::mouseClick(v.view.detailPage()->backButton(), Qt::LeftButton);
        QVERIFY(!v.f.model.detailItem());
        QVERIFY(!v.view.showsDetailPage());
    }

    void detailImageIsDecodedAtTheSizeShownAndCopiesBackWhole()
    {
        ViewFixture v;
        // 96 MB decoded whole, within Qt's default limit: only the size shows how it was read.
        const QSize full(6000, 4000);
        const QByteArray png = FlatPng::make(full, FlatPng::Layout::Colour);
        ClipItem image = makeClipItem(v.f.clock.now(), QString(), ClipType::Image);
        image.imageSize = full;
        v.f.model.storage().insert(image, png);
        v.show();
        v.f.model.setDetailItem(image);
        ClipDetailView* detail = v.view.detailPage()->detailView();
        FittedImageView* shown = detail->imageView();
        QTRY_COMPARE_WITH_TIMEOUT(shown->state(), FittedImageView::State::Shown, 30000);
        QVERIFY(!shown->size().isEmpty());
        QTRY_COMPARE(shown->image().size(),
                     full.scaled(shown->size() * shown->devicePixelRatioF(), Qt::KeepAspectRatio));

        QTest::mouseClick(detail->copyButton(), Qt::LeftButton);
        QCOMPARE(v.f.platform.pasteboard->content().data.value(PasteboardType::png), png);
    }

    // The confirmation takes Return and Escape before the history's own key handling.
    void clearAllAsksFirst()
    {
        ViewFixture v;
        v.add(QStringLiteral("one"));
        v.add(QStringLiteral("two"));
        v.f.controller.showHistory();
        v.show();
        v.f.controller.window = v.view.windowHandle();
        QVERIFY(v.f.model.hasKeyMonitor());

        QTest::mouseClick(v.footer()->clearAllButton(), Qt::LeftButton);
        QVERIFY(v.confirmation() && v.confirmation()->isVisible());
        QVERIFY(v.f.model.isModalPresented());
        QTest::mouseClick(v.confirmation()->cancelButton(), Qt::LeftButton);
        QVERIFY(!v.f.model.isModalPresented());
        QCOMPARE(v.f.storedTexts().size(), 2);

        QTest::mouseClick(v.footer()->clearAllButton(), Qt::LeftButton);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        // Escape closed the dialog, not the history window.
        QVERIFY(!v.view.overlays()->isPresenting());
        QCOMPARE(v.f.controller.closes, 0);
        QCOMPARE(v.f.storedTexts().size(), 2);

        QTest::mouseClick(v.footer()->clearAllButton(), Qt::LeftButton);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QVERIFY(v.f.storedTexts().isEmpty());
        // Return went to the dialog: nothing was copied back.
        QCOMPARE(v.f.platform.pasteboard->content().string, std::nullopt);
        QVERIFY(!v.f.model.isModalPresented());
        QVERIFY(!v.view.overlays()->isVisible());
        QVERIFY(v.view.showsEmptyState());
    }

    void presetAgeIsConfirmedThenDeletes()
    {
        ViewFixture v;
        const QDateTime now = v.f.clock.now();
        v.f.clock.set(now.addDays(-2));
        v.add(QStringLiteral("two days old"));
        v.f.clock.set(now.addSecs(-600));
        v.add(QStringLiteral("ten minutes old"));
        v.f.clock.set(now);
        v.show();

        v.ageMenuEntry(QStringLiteral("hour"))->trigger();
        const QUuid first = v.view.pendingSelection()->id;
        // A click beside the card dismisses it, like cancel, and forgets the request.
        QTest::mouseClick(v.view.overlays(), Qt::LeftButton, {}, QPoint(5, 5));
        QVERIFY(!v.view.overlays()->isPresenting());
        QVERIFY(!v.view.pendingSelection());
        QCOMPARE(v.f.storedTexts().size(), 2);

        v.ageMenuEntry(QStringLiteral("day"))->trigger();
        QVERIFY(v.view.pendingSelection()->id != first);
        ConfirmationCard* card = v.confirmation();
        QVERIFY(card);
        QVERIFY(card->message().contains(historyTimeRangePhrase(HistoryTimeRange::Day)));
        QTest::mouseClick(card->confirmButton(), Qt::LeftButton);
        QCOMPARE(v.f.storedTexts(), QStringList{QStringLiteral("ten minutes old")});
        QVERIFY(!v.view.pendingSelection());
    }

    void customAgeGoesThroughTheSheetAndTheConfirmation()
    {
        ViewFixture v;
        const QDateTime now = v.f.clock.now();
        v.f.clock.set(now.addSecs(-25LL * 3600));
        v.add(QStringLiteral("a day and an hour old"));
        v.f.clock.set(now.addSecs(-19LL * 3600));
        v.add(QStringLiteral("nineteen hours old"));
        v.f.clock.set(now);
        v.show();
        QSignalSpy modal(&v.f.model, &AppModel::isModalPresentedChanged);

        v.ageMenuEntry(QStringLiteral("custom"))->trigger();
        CustomRangeSheet* sheet = v.sheet();
        QVERIFY(sheet);
        QVERIFY(v.f.model.isModalPresented());
        QCOMPARE(QApplication::focusWidget(), sheet->amountField());
        QTest::keyClicks(sheet->amountField(), QStringLiteral("2e1"));
        QTest::keyClick(sheet->amountField(), Qt::Key_Return);

        // The sheet gave way to the confirmation; nothing is deleted yet.
        ConfirmationCard* card = v.confirmation();
        QVERIFY(card);
        QVERIFY(!v.sheet());
        QVERIFY(v.f.model.isModalPresented());
        QCOMPARE(v.f.storedTexts().size(), 2);
        QVERIFY2(card->message().contains(QLatin1String("20 hours")), qPrintable(card->message()));
        QTest::mouseClick(card->confirmButton(), Qt::LeftButton);
        QCOMPARE(v.f.storedTexts(), QStringList{QStringLiteral("nineteen hours old")});
        // Modal from the sheet to the end of the confirmation, without a gap in between.
        QCOMPARE(modal.size(), 2);
        QVERIFY(!v.f.model.isModalPresented());
    }

    void hidingTheViewDismissesItsOverlaysAndRemovesTheKeyMonitor()
    {
        ViewFixture v;
        v.add(QStringLiteral("something"));
        v.show();
        QVERIFY(v.f.model.hasKeyMonitor());
        QTest::mouseClick(v.footer()->clearAllButton(), Qt::LeftButton);
        QVERIFY(v.f.model.isModalPresented());
        v.view.hide();
        QVERIFY(!v.f.model.isModalPresented());
        QVERIFY(!v.view.overlays()->isPresenting());
        QVERIFY(!v.f.model.hasKeyMonitor());
        QCOMPARE(v.f.storedTexts().size(), 1);
        v.show();
        QVERIFY(v.f.model.hasKeyMonitor());
    }

    // A screen shorter than the window (640 x 400 logical pixels at twice the scale of a
    // small laptop) gets a shorter window: the footer stays on it and the list scrolls.
    void shortWindowKeepsTheFooterAndScrollsTheList()
    {
        ViewFixture v;
        for (int i = 0; i < 20; ++i)
            v.add(QStringLiteral("entry %1").arg(i));
        v.show();
        v.view.resize(380, 400);
        QTRY_COMPARE(v.view.height(), 400);
        const QRect footer(v.footer()->mapTo(&v.view, QPoint(0, 0)), v.footer()->size());
        QVERIFY(v.view.rect().contains(footer));
        QVERIFY(v.view.listView()->verticalScrollBar()->maximum() > 0);
    }

    void highlightedRowIsScrolledIntoTheMiddle()
    {
        ViewFixture v;
        for (int i = 0; i < 60; ++i)
            v.add(QStringLiteral("entry %1").arg(i));
        v.show();
        QListView* list = v.view.listView();
        QCOMPARE(list->verticalScrollBar()->value(), 0);
        v.f.model.setSelectedIndex(40);
        const QModelIndex row = list->model()->index(40, 0);
        const int middle = list->viewport()->height() / 2;
        QTRY_VERIFY(std::abs(list->visualRect(row).center().y() - middle) <= 2);
        // The last rows cannot come to the middle: the list stops at its end.
        v.f.model.setSelectedIndex(59);
        QTRY_COMPARE(list->verticalScrollBar()->value(), list->verticalScrollBar()->maximum());
        QVERIFY(list->viewport()->rect().contains(list->visualRect(list->model()->index(59, 0))));
    }

    void rowsShowTheirAgeAgainstTheViewsClock()
    {
        for (const bool copiedWhileOpen : {false, true}) {
            ViewFixture v;
            if (copiedWhileOpen) {
                v.show();
                v.f.clock.advance(30);
            }
            const ClipItem item = v.add(QStringLiteral("tick"));
            v.show();
            QTRY_COMPARE(v.view.listView()->model()->rowCount(), 1);
            const QModelIndex index = v.view.listView()->model()->index(0, 0);
            QCOMPARE(v.view.rowView()->content(index).age, QStringLiteral("0 sec. ago"));
            v.f.clock.advance(3LL * 60);
            v.view.refreshNow();
            QCOMPARE(v.view.now(), item.timestamp.addSecs(180));
            QCOMPARE(v.view.rowView()->content(index).age, QStringLiteral("3 min. ago"));
        }
    }
};

QTEST_MAIN(TestHistoryView)
#include "tst_history_view.moc"
