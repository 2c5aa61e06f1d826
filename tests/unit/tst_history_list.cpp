// SPDX-License-Identifier: GPL-3.0-or-later
// The history list: loading, following the store's changes, the search and the hand-over.
#include "history/history_list_model.h"
#include "history/history_roles.h"
#include "model_fixture.h"
#include "row_texts.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>
#include <QThreadPool>
#include <SQLiteCpp/SQLiteCpp.h>

using namespace nabrix;
using namespace nabrix::testing;

namespace {

QList<QUuid> rowIds(const HistoryListModel& list)
{
    QList<QUuid> ids;
    for (int row = 0; row < list.rowCount(); ++row)
        ids.append(list.data(list.index(row), ClipItemRole).value<ClipItem>().id);
    return ids;
}

// What a row shows of an entry, to compare whole.
auto fields(const ClipItem& item)
{
    return std::tuple(item.id, item.timestamp, item.type, item.searchString, item.sourceAppBundleID,
                      item.imageSize, item.isSensitive);
}

QList<QUuid> idsOf(const QList<ClipItem>& items)
{
    QList<QUuid> ids;
    for (const ClipItem& item : items)
        ids.append(item.id);
    return ids;
}

// The rows as a view knows them: only through the model's row signals.
class RowMirror : public QObject {
public:
    explicit RowMirror(const HistoryListModel& list)
        : m_list(list)
        , m_ids(rowIds(list))
    {
        connect(&list, &QAbstractItemModel::rowsInserted, this,
                [this](const QModelIndex&, int first, int last) {
                    for (int row = first; row <= last; ++row)
                        m_ids.insert(row, m_list.item(row).id);
                });
        connect(&list, &QAbstractItemModel::rowsRemoved, this,
                [this](const QModelIndex&, int first, int last) {
                    m_ids.remove(first, last - first + 1);
                });
        connect(&list, &QAbstractItemModel::modelReset, this, [this] { m_ids = rowIds(m_list); });
    }
    const QList<QUuid>& ids() const { return m_ids; }

private:
    const HistoryListModel& m_list;
    QList<QUuid> m_ids;
};

// A list model of its own over the fixture's store, read when first asked for and following
// the model's search text; checked by Qt's model tester all along.
struct ListFixture : ModelFixture {
    explicit ListFixture(const QStringList& texts = {})
    {
        for (const QString& text : texts)
            add(text);
    }
    HistoryListModel&
    list(const QLocale& locale = QLocale(QLocale::English),
         HistoryListModel::Loading loading = HistoryListModel::Loading::Immediately)
    {
        if (!m_list) {
            m_list = std::make_unique<HistoryListModel>(model.storage(), locale, loading);
            m_list->setSearchText(model.searchText());
            QObject::connect(&model, &AppModel::searchTextChanged, m_list.get(),
                             [this] { m_list->setSearchText(model.searchText()); });
            m_tester = std::make_unique<QAbstractItemModelTester>(
                m_list.get(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        }
        return *m_list;
    }
    QList<ClipItem> stored(const QStringList& texts) const
    {
        QList<ClipItem> items = model.storage().allItems();
        items.removeIf(
            [&texts](const ClipItem& item) { return !texts.contains(item.searchString); });
        return items;
    }
    // Writes `count` entries straight into the file, behind the store's back so that only a
    // re-read can see them, in one transaction: pairs of equal
    // times (one of them on the split between the halves read by two threads), sources the
    // two halves meet first in a different order, every thousandth entry sensitive.
    void addManyBehindTheStoresBack(int count)
    {
        SQLite::Database db(home.historyPath().toStdString(), SQLite::OPEN_READWRITE);
        SQLite::Transaction transaction(db);
        SQLite::Statement insert(db, "INSERT INTO clip_items (id, timestamp, type, "
                                     "search_string, source_app_bundle_id, is_sensitive) "
                                     "VALUES (?, ?, 'text', ?, ?, ?)");
        const qint64 start = clock.now().toMSecsSinceEpoch() - 100000000;
        for (int i = 0; i < count; ++i) {
            insert.bind(1, idText(QUuid::createUuid()).toStdString());
            insert.bind(2, static_cast<int64_t>(start + qint64(i / 2) * 1000));
            insert.bind(3, QStringLiteral("entry %1").arg(i).toStdString());
            const QString source = QStringLiteral("app.%1").arg(i < count / 2 ? i % 7 : 6 - i % 5);
            insert.bind(4, source.toStdString());
            insert.bind(5, i % 1000 == 0 ? 1 : 0);
            insert.exec();
            insert.reset();
        }
        transaction.commit();
    }

private:
    std::unique_ptr<HistoryListModel> m_list;
    std::unique_ptr<QAbstractItemModelTester> m_tester;
};

} // namespace

class TestHistoryList : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void listsEveryEntryNewestFirstWithTextsReadOffTheMainThread()
    {
        ListFixture f({"first", "second", "third"});
        HistoryListModel& list = f.list();
        QSignalSpy announced(&list, &QAbstractItemModel::dataChanged);
        // Drawing a row never waits for the store: the text comes later, its row named.
        QCOMPARE(list.item(1).searchString, QString());
        QVERIFY(announced.wait());
        QCOMPARE(announced.first().at(0).toModelIndex().row(), 1);
        QCOMPARE(announced.first().at(1).toModelIndex().row(), 1);
        QCOMPARE(list.item(1).searchString, QStringLiteral("second"));

        QCOMPARE(rowTexts(list), QStringList({"third", "second", "first"}));
        QCOMPARE(rowIds(list), idsOf(f.model.storage().allItems()));
        QCOMPARE(list.totalCount(), 3);
        QCOMPARE(list.rowOf(f.model.storage().allItems().at(2).id), std::optional<int>(2));
        QCOMPARE(list.rowOf(QUuid::createUuid()), std::optional<int>());
    }

    void entryFieldsSurviveTheLoad()
    {
        ListFixture f;
        f.clock.advance(1);
        ClipItem image =
            makeClipItem(f.clock.now(), QStringLiteral("Image 640x480"), ClipType::Image);
        image.sourceAppBundleID = QStringLiteral("org.gimp.GIMP");
        image.imageSize = QSize(640, 480);
        f.model.storage().insert(image, QByteArray("png"));
        f.model.storage().markSensitive(image.id);
        const ClipItem stored = f.model.storage().allItems().first();

        QVERIFY(stored.isSensitive);
        QVERIFY(fields(itemWithText(f.list(), 0)) == fields(stored));
    }

    void aLargeHistoryReadInTwoHalvesIsWholeAndInOrder()
    {
        ListFixture f;
        f.addManyBehindTheStoresBack(30000);
        QHash<QUuid, ClipItem> stored;
        for (const ClipItem& item : f.model.storage().allItems())
            stored.insert(item.id, item);
        HistoryListModel& list = f.list();
        QCOMPARE(list.rowCount(), 30000);
        // Every entry once, newest first (the order within a pair of equal times is open).
        QSet<QUuid> seen;
        for (int row = 0; row < list.rowCount(); ++row) {
            const ClipItem item = list.item(row);
            QVERIFY(stored.contains(item.id));
            QVERIFY(!seen.contains(item.id));
            seen.insert(item.id);
            const ClipItem& original = stored[item.id];
            QCOMPARE(item.timestamp, original.timestamp);
            QCOMPARE(item.sourceAppBundleID, original.sourceAppBundleID);
            QCOMPARE(item.isSensitive, original.isSensitive);
            if (row > 0)
                QVERIFY(item.timestamp <= list.item(row - 1).timestamp);
        }
        f.model.setSearchText(QStringLiteral("entry 2999"));
        QStringList found = rowTexts(list);
        found.sort();
        QCOMPARE(found, QStringList({"entry 2999", "entry 29990", "entry 29991", "entry 29992",
                                     "entry 29993", "entry 29994", "entry 29995", "entry 29996",
                                     "entry 29997", "entry 29998", "entry 29999"}));
    }

    void followsTheStoreWithoutReadingItAgain()
    {
        ListFixture f({"old", "middle"});
        HistoryListModel& list = f.list();
        QSignalSpy resets(&list, &QAbstractItemModel::modelReset);
        QSignalSpy changed(&list, &QAbstractItemModel::dataChanged);
        const RowMirror view(list);

        f.addManyBehindTheStoresBack(1);
        const ClipItem newest = f.add(QStringLiteral("newest"));
        QCOMPARE(list.rowCount(), 3); // a re-read would have found four

        // A flag set after the load reaches the row and the model's entry.
        f.model.storage().markSensitive(newest.id);
        QCOMPARE(changed.size(), 1);
        QCOMPARE(changed.at(0).at(0).toModelIndex().row(), 0);
        QVERIFY(list.item(0).isSensitive);
        QVERIFY(f.model.visibleItems().at(0).isSensitive);

        f.model.storage().deleteItem(list.item(1).id);
        QCOMPARE(rowTexts(list), QStringList({"newest", "old"}));
        QCOMPARE(view.ids(), rowIds(list));

        f.model.storage().deleteAll();
        QCOMPARE(view.ids(), rowIds(list));
        QCOMPARE(list.rowCount(), 0);
        QCOMPARE(list.totalCount(), 0);

        f.add(QStringLiteral("after clearing"));
        QCOMPARE(rowTexts(list), QStringList({"after clearing"}));
        QCOMPARE(view.ids(), rowIds(list));
        QCOMPARE(resets.size(), 0);
    }

    void olderThanRemovesTheBottomRows()
    {
        ListFixture f({"one", "two", "three", "four"});
        HistoryListModel& list = f.list();
        const RowMirror view(list);
        // "one" and "two" are the two oldest, a second apart.
        f.model.storage().deleteItemsBefore(f.model.storage().allItems().at(1).timestamp);
        QCOMPARE(rowTexts(list), QStringList({"four", "three"}));
        QCOMPARE(view.ids(), rowIds(list));
        QCOMPARE(list.totalCount(), 2);
    }

    void aBackdatedEntryTakesItsPlaceByTime()
    {
        ListFixture f({"one", "two", "three"});
        HistoryListModel& list = f.list();
        f.clock.advance(-2); // the clock was set back: between "one" and "two"
        const ClipItem item =
            makeClipItem(f.clock.now().addMSecs(500), QStringLiteral("backdated"));
        const RowMirror view(list);
        f.model.storage().insert(item, QByteArray("backdated"));
        QCOMPARE(rowTexts(list), QStringList({"three", "two", "backdated", "one"}));
        QCOMPARE(view.ids(), rowIds(list));
    }

    void searchFiltersTheRowsTheModelReads()
    {
        ListFixture f({"Apple pie", "banana", "apple juice", "cherry", "APPLE"});
        HistoryListModel& list = f.list();
        QCOMPARE(idsOf(f.model.visibleItems()), rowIds(list));
        QSignalSpy visible(&f.model, &AppModel::visibleItemsChanged);

        f.model.setSearchText(QStringLiteral("  apple\n"));
        QCOMPARE(rowTexts(list), QStringList({"APPLE", "apple juice", "Apple pie"}));
        QCOMPARE(idsOf(f.model.visibleItems()), rowIds(list));
        QCOMPARE(list.totalCount(), 5);

        // More letters that still match the same entries change nothing.
        visible.clear();
        f.model.setSearchText(QStringLiteral("appl"));
        QCOMPARE(visible.size(), 0);

        f.model.setSearchText(QStringLiteral("durian"));
        QCOMPARE(list.rowCount(), 0);
        QVERIFY(f.model.visibleItems().isEmpty());

        f.model.setSearchText(QStringLiteral(" \t"));
        QCOMPARE(list.rowCount(), 5);
        QCOMPARE(idsOf(f.model.visibleItems()), idsOf(f.model.storage().allItems()));
    }

    void searchUsesTheGivenLocale()
    {
        ListFixture turkish({"İZMİR", "IZMIR"});
        turkish.model.setSearchText(QStringLiteral("izmir"));
        QCOMPARE(rowTexts(turkish.list(QLocale(QLocale::Turkish, QLocale::Turkey))),
                 QStringList({"İZMİR"}));
        ListFixture english({"İZMİR", "IZMIR"});
        english.model.setSearchText(QStringLiteral("izmir"));
        QCOMPARE(rowTexts(english.list(QLocale(QLocale::English))), QStringList({"IZMIR"}));
    }

    void changesUnderASearchShowOnlyMatchingRows()
    {
        ListFixture f({"red one", "blue one", "red two", "green"});
        HistoryListModel& list = f.list();
        f.model.setSearchText(QStringLiteral("red"));
        QSignalSpy visible(&f.model, &AppModel::visibleItemsChanged);
        const RowMirror view(list);

        f.add(QStringLiteral("blue two"));
        QCOMPARE(visible.size(), 0);
        QCOMPARE(list.totalCount(), 5);

        f.add(QStringLiteral("RED three"));
        QCOMPARE(rowTexts(list), QStringList({"RED three", "red two", "red one"}));
        QCOMPARE(idsOf(f.model.visibleItems()), rowIds(list));

        // Deleting hidden entries leaves the rows and the model's list alone.
        visible.clear();
        f.model.storage().deleteItems(f.stored({"blue one", "blue two"}));
        QCOMPARE(visible.size(), 0);
        QCOMPARE(rowTexts(list), QStringList({"RED three", "red two", "red one"}));
        QCOMPARE(list.totalCount(), 4);

        // Hidden and shown together: only the shown ones are rows.
        f.model.storage().deleteItems(f.stored({"green", "red two"}));
        QCOMPARE(rowTexts(list), QStringList({"RED three", "red one"}));
        QCOMPARE(idsOf(f.model.visibleItems()), rowIds(list));
        QCOMPARE(view.ids(), rowIds(list));

        f.model.setSearchText(QString());
        QCOMPARE(rowTexts(list), QStringList({"RED three", "red one"}));
    }

    void scatteredDeletionsUnderASearchRemoveTheRightRows()
    {
        QStringList texts;
        for (int i = 0; i < 240; ++i)
            texts.append(QStringLiteral("%1 %2").arg(i % 2 ? "odd" : "even").arg(i));
        ListFixture f(texts);
        f.model.setSearchText(QStringLiteral("odd"));
        HistoryListModel& list = f.list();
        const RowMirror view(list);
        // Every 25th entry, odd or even: a few runs of shown rows with hidden entries between;
        // then every third: more runs than are announced one by one.
        for (const int stride : {25, 3}) {
            QList<ClipItem> doomed;
            const QList<ClipItem> all = f.model.storage().allItems();
            for (qsizetype i = 0; i < all.size(); i += stride)
                doomed.append(all.at(i));
            f.model.storage().deleteItems(doomed);
            QCOMPARE(view.ids(), rowIds(list));
        }
        QCOMPARE(list.rowCount(), 120 - 5 - 39);
        f.model.setSearchText(QString());
        QCOMPARE(rowIds(list), idsOf(f.model.storage().allItems()));
    }

    void newEntryWhileShownKeepsTheHighlightIndex()
    {
        ListFixture f({"one", "two", "three"});
        f.showAll();
        f.model.setSelectedIndex(2);
        const ClipItem newest = f.add(QStringLiteral("four"));
        QCOMPARE(f.model.visibleItems().size(), 4);
        QCOMPARE(f.model.visibleItems().first().id, newest.id);
        QCOMPARE(f.model.selectedIndex(), std::optional<qsizetype>(2));
    }

    void theModelKnowsTheHistoryBeforeAnyViewShowsIt()
    {
        ListFixture f({"one", "two"});
        QCOMPARE(idsOf(f.model.visibleItems()), rowIds(f.list()));
        f.model.setSelectedIndex(std::nullopt);
        QVERIFY(f.press(Qt::Key_Return));
        QCOMPARE(f.platform.pasteboard->content().string, std::optional<QString>("two"));
    }

    void anEntryTheStoreCouldNotSaveYetIsListed()
    {
        ListFixture f({"saved"});
        {
            // Another writer holds the file: the store keeps the next entry in memory.
            SQLite::Database locker(f.home.historyPath().toStdString(), SQLite::OPEN_READWRITE);
            locker.exec("BEGIN IMMEDIATE");
            f.add(QStringLiteral("pending"));
            QVERIFY(f.model.storage().hasPendingChanges());
            QCOMPARE(rowTexts(f.list()), QStringList({"pending", "saved"}));
            locker.exec("ROLLBACK");
        }
    }

    void backgroundLoadCatchesUpWithChangesMadeMeanwhile()
    {
        ListFixture f({"first", "second", "third"});
        const QList<ClipItem> stored = f.model.storage().allItems();
        f.model.setSearchText(QStringLiteral("i"));
        HistoryListModel& list =
            f.list(QLocale(QLocale::English), HistoryListModel::Loading::InBackground);
        QSignalSpy loaded(&list, &HistoryListModel::loaded);
        const RowMirror view(list);
        QVERIFY(!list.isLoaded());
        QCOMPARE(list.rowCount(), 0);

        // Whether the worker read before or after these, each applies exactly once.
        const ClipItem fourth = f.add(QStringLiteral("fourth"));
        f.add(QStringLiteral("fifth"));
        f.model.storage().deleteItem(stored.at(2).id); // "first"
        f.model.storage().markSensitive(stored.at(1).id);
        QVERIFY(loaded.wait());
        QVERIFY(list.isLoaded());
        QCOMPARE(rowTexts(list), QStringList({"fifth", "third"}));
        QCOMPARE(list.totalCount(), 4);
        QCOMPARE(idsOf(f.model.visibleItems()), rowIds(list));
        QCOMPARE(view.ids(), rowIds(list));

        f.model.setSearchText(QString());
        QCOMPARE(rowTexts(list), QStringList({"fifth", "fourth", "third", "second"}));
        QVERIFY(list.item(3).isSensitive);
        QCOMPARE(list.rowOf(fourth.id), std::optional<int>(1));
    }

    void aListDestroyedDuringItsLoadLeavesNothingRunning()
    {
        ListFixture f;
        // Large enough to be read by two threads, for far longer than the list lives.
        f.addManyBehindTheStoresBack(30000);
        {
            const HistoryListModel list(f.model.storage(), QLocale(QLocale::English),
                                        HistoryListModel::Loading::InBackground);
            QVERIFY(!list.isLoaded());
        }
        QCOMPARE(QThreadPool::globalInstance()->activeThreadCount(), 0);
    }
};

QTEST_MAIN(TestHistoryList)
#include "tst_history_list.moc"
