// SPDX-License-Identifier: GPL-3.0-or-later
// AppModel's capture handling: blacklist, sensitivity, de-duplication, purge and polling.
#include "capture/clipboard_observer.h"
#include "capture/content_limits.h"
#include "model_fixture.h"
#include "platform/pasteboard.h"

#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

using namespace nabrix;
using namespace nabrix::testing;

namespace {

PasteboardContent textContent(const QString& text, std::optional<QString> source = std::nullopt)
{
    PasteboardContent content;
    content.contentData = text.toUtf8();
    content.searchString = text;
    content.sourceAppBundleID = std::move(source);
    return content;
}

PasteboardContent imageContent()
{
    PasteboardContent content;
    content.type = ClipType::Image;
    content.contentData = "png-bytes";
    return content;
}

} // namespace

class TestAppModelCapture : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void duplicatesOfTheNewestEntryAreDropped_data()
    {
        QTest::addColumn<QStringList>("copies");
        QTest::addColumn<QStringList>("stored");
        QTest::newRow("A A") << QStringList({"A", "A"}) << QStringList({"A"});
        QTest::newRow("A B A") << QStringList({"A", "B", "A"}) << QStringList({"A", "B", "A"});
        QTest::newRow("empty texts") << QStringList({"", ""}) << QStringList({""});
    }
    void duplicatesOfTheNewestEntryAreDropped()
    {
        QFETCH(QStringList, copies);
        QFETCH(QStringList, stored);
        ModelFixture f;
        for (const QString& copy : copies) {
            f.clock.advance(1);
            f.model.handleCapture(textContent(copy));
        }
        std::reverse(stored.begin(), stored.end());
        QCOMPARE(f.storedTexts(), stored);
    }

    void duplicateKeepsItsTimeButTheSameBytesUnderAnotherTypeAreNew()
    {
        ModelFixture f;
        PasteboardContent copy = textContent(QStringLiteral("{\\rtf1 x}"));
        f.model.handleCapture(copy);
        const QDateTime first = f.model.storage().latestItem()->timestamp;
        f.clock.advance(100);
        f.model.handleCapture(copy);
        QCOMPARE(f.model.storage().latestItem()->timestamp, first);
        copy.type = ClipType::Rtf;
        f.model.handleCapture(copy);
        QCOMPARE(f.model.storage().allItems().size(), 2);
    }

    void copiesLargerThanTheStoreKeepsAreNotRecorded()
    {
        ModelFixture f;
        PasteboardContent huge = textContent(QStringLiteral("huge"));
        // Never written to: the pages are not touched, so the test stays small.
        huge.contentData = QByteArray(maxStoredContentBytes + 1, Qt::Uninitialized);
        QTest::ignoreMessage(QtWarningMsg,
                             QRegularExpression(QStringLiteral("larger than the history keeps")));
        f.model.handleCapture(huge);
        QVERIFY(f.model.storage().allItems().isEmpty());
        f.model.handleCapture(textContent(QStringLiteral("small")));
        QCOMPARE(f.storedTexts(), QStringList({"small"}));
    }

    void blacklistedSourcesAreNeverRecorded_data()
    {
        QTest::addColumn<std::optional<QString>>("source");
        QTest::addColumn<bool>("stored");
        QTest::newRow("blacklisted") << std::optional<QString>("com.bitwarden.desktop") << false;
        QTest::newRow("other letter case")
            << std::optional<QString>("COM.BITWARDEN.DESKTOP") << true;
    }
    void blacklistedSourcesAreNeverRecorded()
    {
        QFETCH(std::optional<QString>, source);
        QFETCH(bool, stored);
        ModelFixture f;
        f.model.settings().setSensitiveDetectionEnabled(false); // the blacklist applies regardless
        f.model.handleCapture(textContent(QStringLiteral("secret"), source));
        QCOMPARE(f.model.storage().allItems().size(), stored ? 1 : 0);
    }

    // Other content outliving its owner is the X11 and Wayland capture tests'.
    void aPasswordDoesNotOutliveItsOwner_data()
    {
        QTest::addColumn<bool>("asksToSave");
        QTest::newRow("owner exits") << false;
        QTest::newRow("owner quits asking to save") << true;
    }
    void aPasswordDoesNotOutliveItsOwner()
    {
        QFETCH(bool, asksToSave);
        ModelFixture f;
        FakePasteboard& pasteboard = *f.platform.pasteboard;
        FakeClipboardKeeper& keeper = *f.platform.clipboardKeeper;
        pasteboard.notifies = true;
        f.model.start();
        QVERIFY(keeper.claimed);
        // An older entry that must not come back in place of the one not recorded.
        pasteboard.copyText(QStringLiteral("earlier copy"));
        QTRY_COMPARE_WITH_TIMEOUT(f.storedTexts(), QStringList{"earlier copy"}, 3000);
        FakeClipboardContent copy;
        copy.string = QStringLiteral("copied, then the program closed");
        copy.data.insert(PasteboardType::passwordManagerHint, "secret");
        pasteboard.setContent(copy);
        if (asksToSave) {
            // Asked while the change still waits to be read: the answer waits for the read.
            keeper.requestSave();
            QVERIFY(keeper.saveIsWaiting());
            QTRY_COMPARE_WITH_TIMEOUT(keeper.saveAnswers, QList<bool>{false}, 3000);
        }
        QTRY_VERIFY_WITH_TIMEOUT(!f.model.observer().hasPendingChange(), 3000);

        keeper.vanish();
        QTRY_VERIFY_WITH_TIMEOUT(!f.model.observer().hasPendingChange(), 3000);
        QCOMPARE(pasteboard.content().string, std::nullopt);
        QCOMPARE(f.storedTexts(), QStringList{"earlier copy"});

        f.model.stop();
        QVERIFY(!keeper.claimed);
    }

    void cardNumbersAreFlaggedOnlyWithDetectionOn_data()
    {
        QTest::addColumn<bool>("detection");
        QTest::addColumn<ClipType>("type");
        QTest::addColumn<bool>("flagged");
        QTest::newRow("text, on") << true << ClipType::Text << true;
        QTest::newRow("rtf, on") << true << ClipType::Rtf << true;
        QTest::newRow("file, on") << true << ClipType::File << false;
        QTest::newRow("text, off") << false << ClipType::Text << false;
    }
    void cardNumbersAreFlaggedOnlyWithDetectionOn()
    {
        QFETCH(bool, detection);
        QFETCH(ClipType, type);
        QFETCH(bool, flagged);
        ModelFixture f;
        f.model.settings().setSensitiveDetectionEnabled(detection);
        PasteboardContent content = textContent(QStringLiteral("pay with 4111 1111 1111 1111"));
        content.type = type;
        f.model.handleCapture(content);
        QCOMPARE(f.model.storage().latestItem()->isSensitive, flagged);
    }

    void cardNumberBeyondTheSearchTextIsNotDetected()
    {
        ModelFixture f;
        PasteboardContent content = textContent(QString(10000, QLatin1Char('a')));
        content.contentData += " 4111111111111111";
        f.model.handleCapture(content);
        QVERIFY(!f.model.storage().latestItem()->isSensitive);
    }

    void imagesAreFlaggedLaterWhenTheAnalyserSaysSo_data()
    {
        QTest::addColumn<bool>("detection");
        QTest::addColumn<SensitivityAnalyzer::Verdict>("verdict");
        QTest::addColumn<bool>("flagged");
        QTest::newRow("flagged") << true << SensitivityAnalyzer::Verdict(true) << true;
        QTest::newRow("judged safe") << true << SensitivityAnalyzer::Verdict(false) << false;
        QTest::newRow("no verdict") << true << SensitivityAnalyzer::Verdict() << false;
        QTest::newRow("detection off") << false << SensitivityAnalyzer::Verdict(true) << false;
    }
    void imagesAreFlaggedLaterWhenTheAnalyserSaysSo()
    {
        QFETCH(bool, detection);
        QFETCH(SensitivityAnalyzer::Verdict, verdict);
        QFETCH(bool, flagged);
        ModelFixture f;
        f.model.settings().setSensitiveDetectionEnabled(detection);
        f.platform.sensitivityAnalyzer->verdict = verdict;
        f.model.handleCapture(imageContent());
        QVERIFY(!f.model.storage().latestItem()->isSensitive); // stored first, judged later
        QTest::qWait(20);
        QCOMPARE(f.model.storage().latestItem()->isSensitive, flagged);
        QCOMPARE(f.platform.sensitivityAnalyzer->analyses, detection ? 1 : 0);
    }

    void lateVerdictForADeletedImageChangesNothing()
    {
        ModelFixture f;
        f.platform.sensitivityAnalyzer->verdict = true;
        QSignalSpy marked(&f.model.storage(), &StorageManager::itemMarkedSensitive);
        f.model.handleCapture(imageContent());
        f.model.storage().deleteAll();
        QTest::qWait(20);
        QCOMPARE(marked.size(), 0);
        QVERIFY(f.model.storage().allItems().isEmpty());
    }

    void startPurgesAndCapturesOnlyLaterChanges()
    {
        ManualClock clock(QDateTime::currentDateTime());
        TestHome home;
        FakePlatform platform;
        {
            auto storage = home.openStorage(clock.clock());
            storage->insert(makeClipItem(clock.now().addDays(-31), QStringLiteral("expired")),
                            "expired");
        }
        platform.pasteboard->copyText(QStringLiteral("on the clipboard at launch"));
        AppModel model(home.openStorage(clock.clock()), home.loadSettings(), platform.services,
                       clock.clock());
        model.start();
        QVERIFY(model.storage().allItems().isEmpty());

        platform.pasteboard->copyText(QStringLiteral("copied later"));
        QTRY_COMPARE_WITH_TIMEOUT(model.storage().allItems().size(), 1, 3000);
        QCOMPARE(model.storage().latestItem()->searchString, QStringLiteral("copied later"));
    }

    void unlimitedRetentionKeepsEverything()
    {
        ModelFixture f;
        f.model.settings().setRetentionDays(0);
        f.model.handleCapture(textContent(QStringLiteral("old")));
        f.clock.advance(3600LL * 24 * 400);
        f.model.runRetentionCleanup();
        QCOMPARE(f.model.storage().allItems().size(), 1);
        f.model.settings().setRetentionDays(7);
        f.model.runRetentionCleanup();
        QVERIFY(f.model.storage().allItems().isEmpty());
    }
};

QTEST_MAIN(TestAppModelCapture)
#include "tst_app_model_capture.moc"
