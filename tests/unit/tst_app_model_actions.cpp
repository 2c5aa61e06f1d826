// SPDX-License-Identifier: GPL-3.0-or-later
// Copying entries back, the copy flash, pasting, revealing and the four deletions.
#include "capture/clipboard_observer.h"
#include "capture/file_list.h"
#include "history/history_list_model.h"
#include "model_fixture.h"

#include <QSignalSpy>
#include <QTest>

using namespace nabrix;
using namespace nabrix::testing;
using namespace std::chrono_literals;

namespace {

// Long enough for the flash (0.9 s) and the delayed paste (0.15 s) to have run.
constexpr int afterFlashAndPaste = 1300;

} // namespace

class TestAppModelActions : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void entriesAreWrittenBackInTheirOwnRepresentation()
    {
        ModelFixture f;
        const ClipItem text = f.add(QStringLiteral("héllo"));
        const ClipItem rtf = f.add(QStringLiteral("Bold"), ClipType::Rtf, "{\\rtf1 {\\b Bold}}");
        const ClipItem emptyRtf = f.add(QString(), ClipType::Rtf, "{\\rtf1 }");
        const ClipItem image = f.add(QString(), ClipType::Image, "\x89PNG...");
        const QList<QUrl> urls{QUrl::fromLocalFile(QStringLiteral("/a b.txt")),
                               QUrl::fromLocalFile(QStringLiteral("/c.txt"))};
        // Of a file list only the addresses that parse are written back.
        QByteArray list = encodeFileList(urls);
        list.insert(1, "\"http://[bad\",");
        const ClipItem files = f.add(QStringLiteral("a b.txt · c.txt"), ClipType::File, list);
        FakePasteboard& pasteboard = *f.platform.pasteboard;

        f.model.select(text);
        QCOMPARE(pasteboard.content().string, std::optional<QString>("héllo"));
        f.model.select(rtf);
        QCOMPARE(pasteboard.content().data.value(QStringLiteral("text/rtf")),
                 QByteArray("{\\rtf1 {\\b Bold}}"));
        QCOMPARE(pasteboard.content().string, std::optional<QString>("Bold"));
        f.model.select(emptyRtf);
        QVERIFY(!pasteboard.content().string);
        f.model.select(image);
        QCOMPARE(pasteboard.content().data.value(QStringLiteral("image/png")),
                 QByteArray("\x89PNG..."));
        f.model.select(files);
        QCOMPARE(pasteboard.content().fileUrls, std::optional<QList<QUrl>>(urls));
    }

    // Entries that cannot be turned back into content leave the clipboard alone, and
    // nothing pretends a copy happened.
    void undecodableEntriesLeaveTheClipboardAlone_data()
    {
        QTest::addColumn<ClipType>("type");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("text that is not utf-8") << ClipType::Text << QByteArray("\xff\xfe\xc3");
        QTest::newRow("file payload that is not json") << ClipType::File << QByteArray("nope");
        QTest::newRow("no url parses") << ClipType::File << QByteArray("[\"http://[bad\"]");
    }
    void undecodableEntriesLeaveTheClipboardAlone()
    {
        QFETCH(ClipType, type);
        QFETCH(QByteArray, bytes);
        ModelFixture f;
        f.model.settings().setPasteOnSelect(true);
        const ClipItem broken = f.add(QStringLiteral("broken"), type, bytes);
        f.platform.pasteboard->copyText(QStringLiteral("what the user had"));
        f.controller.showHistory();
        const qint64 count = f.platform.pasteboard->changeCount();

        f.model.select(broken);
        f.model.paste(broken);
        QTest::qWait(afterFlashAndPaste);
        QCOMPARE(f.platform.pasteboard->changeCount(), count);
        QCOMPARE(f.platform.pasteboard->content().string,
                 std::optional<QString>("what the user had"));
        QVERIFY(!f.model.flashCopyID());
        QVERIFY(f.controller.isShown());
        QCOMPARE(f.platform.keySynthesizer->pastes, 0);
    }

    void selectFlashesClosesAndNeverCapturesItsOwnWrite()
    {
        ModelFixture f;
        const ClipItem old = f.add(QStringLiteral("old"));
        f.add(QStringLiteral("new"));
        f.model.start();
        f.controller.showHistory();

        f.model.select(old);
        QCOMPARE(f.model.flashCopyID(), std::optional<QUuid>(old.id));
        QVERIFY(f.controller.isShown());
        QTRY_VERIFY_WITH_TIMEOUT(!f.controller.isShown(), 3000);
        QVERIFY(!f.model.flashCopyID());
        QCOMPARE(f.platform.keySynthesizer->pastes, 0); // paste-on-select is off

        // The next polls see no change: no new entry, and "old" does not move to the top.
        QTest::qWait(int(AppModel::pollInterval.count()) * 2);
        QCOMPARE(f.storedTexts(), QStringList({"new", "old"}));
    }

    void twoSelectsWithinTheFlashCloseOnceAndPasteTheSecond()
    {
        ModelFixture f;
        f.model.settings().setPasteOnSelect(true);
        const ClipItem a = f.add(QStringLiteral("a"));
        const ClipItem b = f.add(QStringLiteral("b"));
        f.controller.showHistory();
        f.model.select(a);
        QTest::qWait(400);
        f.model.select(b);
        QCOMPARE(f.model.flashCopyID(), std::optional<QUuid>(b.id));
        QTest::qWait(700); // 1.1 s after the first select, 0.7 s after the second
        QVERIFY(f.controller.isShown());
        QTRY_COMPARE_WITH_TIMEOUT(f.platform.keySynthesizer->pastes, 1, 3000);
        QCOMPARE(f.controller.closes, 1);
        QCOMPARE(f.platform.pasteboard->content().string, std::optional<QString>("b"));
        QTest::qWait(300);
        QCOMPARE(f.platform.keySynthesizer->pastes, 1);
    }

    void closingDuringTheFlashCancelsCloseAndPaste()
    {
        ModelFixture f;
        f.model.settings().setPasteOnSelect(true);
        const ClipItem a = f.add(QStringLiteral("a"));
        f.controller.showHistory();
        f.model.select(a);
        QTest::qWait(200);
        f.controller.close(); // Escape, the shortcut or a click outside
        QVERIFY(!f.model.flashCopyID());
        QTest::qWait(afterFlashAndPaste);
        QCOMPARE(f.controller.closes, 1);
        QCOMPARE(f.platform.keySynthesizer->pastes, 0);
        QCOMPARE(f.platform.pasteboard->content().string, std::optional<QString>("a"));
    }

    void pasteWritesClosesAndTypesCtrlV()
    {
        ModelFixture f;
        const ClipItem a = f.add(QStringLiteral("a"));
        f.controller.showHistory();
        f.model.paste(a);
        QVERIFY(!f.controller.isShown());
        QVERIFY(!f.model.flashCopyID());
        QCOMPARE(f.platform.keySynthesizer->pastes, 0); // not before the window is gone
        QTRY_COMPARE_WITH_TIMEOUT(f.platform.keySynthesizer->pastes, 1, 2000);
        QVERIFY(f.model.accessibilityGranted());
    }

    void pasteWithoutTrustAsksForItAndTypesNothing()
    {
        ModelFixture f;
        f.platform.keySynthesizer->trusted = false;
        const ClipItem a = f.add(QStringLiteral("a"));
        f.model.paste(a);
        QTRY_COMPARE_WITH_TIMEOUT(f.platform.keySynthesizer->trustRequests, 1, 2000);
        QCOMPARE(f.platform.keySynthesizer->pastes, 0);
        QVERIFY(!f.model.accessibilityGranted());
        QCOMPARE(f.platform.pasteboard->content().string, std::optional<QString>("a"));
    }

    void revealTogglesAndSurvivesClosing()
    {
        ModelFixture f;
        const ClipItem card = f.add(QStringLiteral("4111 1111 1111 1111"));
        f.model.toggleReveal(card);
        QVERIFY(f.model.isRevealed(card.id));
        f.controller.showHistory();
        f.controller.close();
        f.model.clearAll();
        QVERIFY(f.model.isRevealed(card.id));
        f.model.toggleReveal(card);
        QVERIFY(!f.model.isRevealed(card.id));
    }

    void clearAllEmptiesTheHistoryAndLeavesSelectionMode()
    {
        ModelFixture f;
        const ClipItem a = f.add(QStringLiteral("a"));
        f.add(QStringLiteral("b"));
        f.showAll();
        f.model.setSearchText(QStringLiteral("a"));
        f.model.toggleSelectionMode();
        f.model.toggleChecked(a);
        f.model.setDetailItem(a);
        f.model.clearAll();
        QVERIFY(f.storedTexts().isEmpty());
        QVERIFY(f.model.visibleItems().isEmpty());
        QCOMPARE(f.model.selectedIndex(), std::optional<qsizetype>());
        QVERIFY(!f.model.detailItem());
        QVERIFY(!f.model.isSelecting());
        QVERIFY(f.model.selectedItemIDs().isEmpty());
        QCOMPARE(f.model.searchText(), QStringLiteral("a"));
    }

    // The history list follows the store by its change signals, which may come after the
    // deletion returns: the reset must not undo the highlight of the shorter list. Checks go
    // either way; an age also leaves the detail page, and keeps the entry at the cut-off.
    void bulkDeletionsHighlightTheFirstRowOfTheShorterList_data()
    {
        QTest::addColumn<bool>("byAge");
        QTest::newRow("checked entries") << false;
        QTest::newRow("older than an age") << true;
    }
    void bulkDeletionsHighlightTheFirstRowOfTheShorterList()
    {
        QFETCH(bool, byAge);
        ModelFixture f;
        const ClipItem oldest = f.add(QStringLiteral("oldest"));
        f.clock.advance(3600);
        const ClipItem middle = f.add(QStringLiteral("middle"));
        f.add(QStringLiteral("newest"));
        f.clock.advance(600);
        f.showAll();
        f.model.toggleSelectionMode();
        f.model.toggleChecked(oldest);
        if (byAge) {
            f.model.toggleChecked(middle);
            f.model.setDetailItem(middle);
        }
        f.model.setSelectedIndex(1);
        if (byAge)
            f.model.deleteOlderThan(double(middle.timestamp.secsTo(f.clock.now())));
        else
            f.model.deleteChecked();
        QTRY_COMPARE(f.model.visibleItems().size(), 2);
        QCOMPARE(f.storedTexts(), QStringList({"newest", "middle"}));
        QVERIFY(f.model.selectedItemIDs().isEmpty());
        if (byAge)
            QVERIFY(!f.model.detailItem());
        QCOMPARE(f.model.selectedIndex(), std::optional<qsizetype>(0));
        QVERIFY(f.press(Qt::Key_Down));
        QCOMPARE(f.model.selectedIndex(), std::optional<qsizetype>(1));
    }

    void unrepresentableAgesDeleteNothing_data()
    {
        QTest::addColumn<double>("seconds");
        QTest::newRow("infinite") << std::numeric_limits<double>::infinity();
        QTest::newRow("before year one") << 7e10;
    }
    void unrepresentableAgesDeleteNothing()
    {
        QFETCH(double, seconds);
        ModelFixture f;
        const ClipItem a = f.add(QStringLiteral("a"));
        f.showAll();
        f.model.setDetailItem(a);
        f.model.deleteOlderThan(seconds);
        QCOMPARE(f.storedTexts(), QStringList({"a"}));
        QVERIFY(f.model.detailItem());
    }
};

QTEST_MAIN(TestAppModelActions)
#include "tst_app_model_actions.moc"
