// SPDX-License-Identifier: GPL-3.0-or-later
// Reading clipboard changes into snapshots: when, which representation, encodings and caps.
#include "capture/clipboard_observer.h"
#include "capture/file_list.h"
#include "capture/text_limits.h"
#include "fake_platform.h"
#include "storage/json_string_array.h"

#include <QBuffer>
#include <QImage>
#include <QTest>

using namespace nabrix;
using namespace nabrix::testing;
using Content = FakePasteboard::Content;

namespace {

QByteArray encoded(const QImage& image, const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

const QByteArray simpleRtf =
    QByteArrayLiteral("{\\rtf1\\ansi{\\fonttbl\\f0 Helvetica;}\\f0 Hello}");

std::optional<PasteboardContent> captured(const Content& content)
{
    FakePasteboard pasteboard;
    pasteboard.setContent(content);
    return ClipboardObserver::capture(pasteboard);
}

// The read on the worker has ended and its result, if any, has been delivered.
bool readSettles(const ClipboardObserver& observer)
{
    return QTest::qWaitFor([&observer] { return !observer.isReading(); }, 5000);
}

// Nothing waits for its window or is being read any more.
bool observerSettles(const ClipboardObserver& observer)
{
    return QTest::qWaitFor([&observer] { return !observer.hasPendingChange(); }, 5000);
}

// An observer whose poll timer never fires (changes are read by hand or as announced),
// keeping what it delivers.
struct Polling {
    Polling()
        : observer(*platform.pasteboard, *platform.workspace)
    {
        observer.setOnChange([this](const PasteboardContent& content) { seen.append(content); });
    }
    void start() { observer.start(std::chrono::hours(1)); }
    void copy(const char* text) { platform.pasteboard->copyText(QString::fromUtf8(text)); }
    QList<QByteArray> seenData() const
    {
        QList<QByteArray> data;
        for (const PasteboardContent& content : seen)
            data.append(content.contentData);
        return data;
    }

    FakePlatform platform;
    ClipboardObserver observer;
    QList<PasteboardContent> seen;
};
using Scenario = std::function<void(Polling&)>;

} // namespace

class TestCapture : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void firstCharactersCountsGraphemeClusters_data()
    {
        QTest::addColumn<QString>("unit");
        QTest::addColumn<int>("unitLength");
        QTest::newRow("combining mark") << QStringLiteral("e\u0301") << 2;
        QTest::newRow("zwj family")
            << QStringLiteral("\U0001F468\u200D\U0001F469\u200D\U0001F467") << 8;
    }
    void firstCharactersCountsGraphemeClusters()
    {
        QFETCH(QString, unit);
        QFETCH(int, unitLength);
        QString text;
        for (int i = 0; i < 10001; ++i)
            text += unit;
        const QString capped = firstCharacters(text);
        QCOMPARE(capped.size(), qsizetype(10000) * unitLength);
        QVERIFY(text.startsWith(capped));
        QCOMPARE(firstCharacters(text.left(unitLength * 3), 10000), text.left(unitLength * 3));
    }

    void jsonEncodingEscapesLikeTheReferenceEncoder()
    {
        QCOMPARE(encodeJsonStringArray({}), QByteArray("[]"));
        QCOMPARE(encodeJsonStringArray({QStringLiteral("a\"b\\c/d\n\t\x01"), QStringLiteral("€")}),
                 QByteArray("[\"a\\\"b\\\\c\\/d\\n\\t\\u0001\",\"\xe2\x82\xac\"]"));
        QCOMPARE(decodeJsonStringArray("[\"a\\/b\"]"),
                 std::optional<QStringList>(QStringList{"a/b"}));
        QVERIFY(!decodeJsonStringArray("[\"a\", 1]"));
        QVERIFY(!decodeJsonStringArray("{\"a\": \"b\"}"));
    }

    // Which representation is kept, its bytes and the text searched.
    void representationOrder_data()
    {
        QTest::addColumn<Content>("content");
        QTest::addColumn<ClipType>("expected");
        QTest::addColumn<QByteArray>("expectedData");
        QTest::addColumn<QString>("searchString");

        QImage red(4, 3, QImage::Format_RGB32);
        red.fill(Qt::red);
        const QByteArray png = encoded(red, "PNG");
        const QString pngType = QStringLiteral("image/png");
        const QString rtfType = QStringLiteral("text/rtf");
        const QUrl fileA = QUrl::fromLocalFile(QStringLiteral("/a"));
        const QString text = QString(9999, QLatin1Char('x')) + QStringLiteral("é") +
                             QString(10000, QLatin1Char('y'));
        QTest::newRow("text keeps all bytes but caps the search string")
            << Content{.string = text} << ClipType::Text << text.toUtf8() << text.left(10000);
        QTest::newRow("files as escaped JSON of encoded urls")
            << Content{.string = "ignored",
                       .fileUrls = QList<QUrl>{QUrl::fromLocalFile("/home/ana/a.txt"),
                                               QUrl::fromLocalFile("/home/ana/b c.png"),
                                               QUrl::fromLocalFile("/tmp/ñ.pdf")}}
            << ClipType::File
            << QByteArray(R"(["file:\/\/\/home\/ana\/a.txt","file:\/\/\/home\/ana\/b%20c.png",)"
                          R"("file:\/\/\/tmp\/%C3%B1.pdf"])")
            << QStringLiteral("a.txt · b c.png · ñ.pdf");
        QTest::newRow("folder with encoded name and two slashes")
            << Content{.fileUrls = QList<QUrl>{QUrl("file:///home/ana/Mis%20fotos//")}}
            << ClipType::File << QByteArray(R"(["file:\/\/\/home\/ana\/Mis%20fotos\/\/"])")
            << QStringLiteral("Mis fotos");
        QTest::newRow("root folder")
            << Content{.fileUrls = QList<QUrl>{QUrl("file:///")}} << ClipType::File
            << QByteArray(R"(["file:\/\/\/"])") << QStringLiteral("/");
        QTest::newRow("files win over images")
            << Content{.data = {{pngType, png}}, .fileUrls = QList<QUrl>{fileA}} << ClipType::File
            << QByteArray(R"(["file:\/\/\/a"])") << QStringLiteral("a");
        QTest::newRow("empty text is still text")
            << Content{.string = QString()} << ClipType::Text << QByteArray() << QString();
        QTest::newRow("empty url list falls through")
            << Content{.string = "fallback", .fileUrls = QList<QUrl>{}} << ClipType::Text
            << QByteArray("fallback") << QStringLiteral("fallback");
        const QUrl web(QStringLiteral("https://example.org/x"));
        QTest::newRow("web links are text")
            << Content{.string = web.toString(), .fileUrls = QList<QUrl>{web}} << ClipType::Text
            << QByteArray("https://example.org/x") << web.toString();
        const QUrl unparsable(QStringLiteral("file://(tmp/b.pdf"));
        QTest::newRow("a file url that does not parse is text")
            << Content{.string = "/a", .fileUrls = QList<QUrl>{fileA, unparsable}} << ClipType::Text
            << QByteArray("/a") << QStringLiteral("/a");
        QTest::newRow("undecodable tiff falls to png")
            << Content{.data = {{QStringLiteral("image/tiff"), "not a tiff"}, {pngType, png}}}
            << ClipType::Image << png << QString();
        QTest::newRow("application/rtf wins over text")
            << Content{.data = {{QStringLiteral("application/rtf"), simpleRtf}}, .string = "Hello"}
            << ClipType::Rtf << simpleRtf << QStringLiteral("Hello");
        QTest::newRow("unreadable rtf is still rtf, with nothing to search")
            << Content{.data = {{rtfType, "plain words"}}, .string = "plain words"} << ClipType::Rtf
            << QByteArray("plain words") << QString();
        QTest::newRow("rtf without data falls to text")
            << Content{.string = "text", .declaredOnly = {rtfType}} << ClipType::Text
            << QByteArray("text") << QStringLiteral("text");
    }
    void representationOrder()
    {
        QFETCH(Content, content);
        QFETCH(ClipType, expected);
        QFETCH(QByteArray, expectedData);
        QFETCH(QString, searchString);
        const auto snapshot = captured(content);
        QVERIFY(snapshot);
        QCOMPARE(snapshot->type, expected);
        QCOMPARE(snapshot->contentData, expectedData);
        QCOMPARE(snapshot->searchString, searchString);
        if (expected == ClipType::File)
            QCOMPARE(decodeFileList(snapshot->contentData), content.fileUrls.value());
    }

    void tiffIsConvertedToPngWithEveryPixel()
    {
        // The faster compression level must stay lossless.
        QImage original(64, 48, QImage::Format_RGB32);
        for (int y = 0; y < original.height(); ++y) {
            for (int x = 0; x < original.width(); ++x)
                original.setPixel(x, y, qRgb((x * 37 + y) % 256, (y * 91) % 256, (x * y) % 256));
        }
        const auto snapshot = captured(Content{
            .data = {{QStringLiteral("image/tiff"), encoded(original, "TIFF")},
                     {QStringLiteral("image/png"), encoded(original.scaled(8, 6), "PNG")}}});
        QVERIFY(snapshot);
        QCOMPARE(snapshot->type, ClipType::Image);
        QCOMPARE(
            QImage::fromData(snapshot->contentData, "PNG").convertToFormat(QImage::Format_RGB32),
            original);
        QCOMPARE(snapshot->imageSize, std::optional<QSize>(QSize(64, 48)));
    }

    void contentPresentAtStartIsIgnoredAndLaterChangesCapturedOnce()
    {
        Polling f;
        f.platform.pasteboard->copyText(QStringLiteral("before start"));
        f.start();
        f.observer.poll();
        QVERIFY(!f.observer.isReading());

        f.platform.pasteboard->copyText(QStringLiteral("first"));
        f.platform.pasteboard->copyText(QStringLiteral("second"));
        f.observer.poll();
        f.observer.poll(); // ignored: one read at a time
        QVERIFY(readSettles(f.observer));
        f.observer.poll();
        QVERIFY(readSettles(f.observer));
        QCOMPARE(f.seenData(), QList<QByteArray>{"second"});
    }

    void otherRepresentationsAreNotCapturedNorRetried()
    {
        Polling f;
        f.start();
        f.platform.pasteboard->setContent(
            Content{.data = {{QStringLiteral("text/html"), "<i>x</i>"},
                             {QStringLiteral("application/pdf"), "%PDF"}}});
        f.observer.poll();
        QCOMPARE(f.observer.lastChangeCount(), f.platform.pasteboard->changeCount());
        QVERIFY(readSettles(f.observer));
        f.observer.poll();
        QVERIFY(!f.observer.isReading());
        QVERIFY(f.seen.isEmpty());
    }

    void sourceIsTheApplicationInFrontWhenTheCopyHappened()
    {
        Polling f;
        f.start();
        f.platform.workspace->frontmost = QStringLiteral("org.keepassxc.KeePassXC");
        f.platform.pasteboard->copyText(QStringLiteral("password"));
        f.platform.workspace->frontmost = QStringLiteral("firefox");
        f.observer.poll();
        QVERIFY(readSettles(f.observer));
        QCOMPARE(f.seen.constLast().sourceAppBundleID,
                 std::optional<QString>("org.keepassxc.KeePassXC"));

        f.platform.workspace->frontmost.reset();
        f.platform.pasteboard->copyText(QStringLiteral("no window"));
        f.observer.poll();
        QVERIFY(readSettles(f.observer));
        QCOMPARE(f.seenData(), (QList<QByteArray>{"password", "no window"}));
        QVERIFY(!f.seen.constLast().sourceAppBundleID);
    }

    void anOwnerThatNeverAnswersIsAbandonedForTheNextCopy()
    {
        Polling f;
        f.start();
        f.platform.pasteboard->setContent(
            Content{.string = "never sent", .stallsWorkerReads = true});
        f.observer.poll();
        QVERIFY(f.observer.isReading());
        f.observer.poll(); // still waiting on the silent owner: nothing else starts
        QVERIFY(f.observer.isReading());

        // A new copy stops the stalled read instead of waiting out the owner.
        f.platform.pasteboard->copyText(QStringLiteral("next copy"));
        QVERIFY(readSettles(f.observer));
        f.observer.poll();
        QVERIFY(readSettles(f.observer));
        QCOMPARE(f.seenData(), QList<QByteArray>{"next copy"});
    }

    void announcedChangesAreReadOnce_data()
    {
        QTest::addColumn<Scenario>("scenario");
        QTest::addColumn<bool>("workerReads");
        QTest::addColumn<QList<QByteArray>>("expected");
        const auto row = [](const char* name, const Scenario& scenario,
                            const QList<QByteArray>& expected, bool workerReads = true) {
            QTest::newRow(name) << scenario << workerReads << expected;
        };
        row("each copy once",
            [](Polling& f) {
                f.start();
                f.copy("a");
                QVERIFY(observerSettles(f.observer));
                f.copy("b");
            },
            {"a", "b"});
        // No event is processed between the copies: all three fall within one window.
        const Scenario burst = [](Polling& f) {
            f.start();
            f.copy("a");
            f.copy("b");
            f.copy("c");
        };
        row("burst read on a worker: the last", burst, {"c"});
        row("burst read in place: the last", burst, {"c"}, false);
        row("a change during a read is read after it",
            [](Polling& f) {
                f.start();
                // Its owner answers a read only after 200 ms.
                f.platform.pasteboard->setContent({.string = "replaced", .workerReadDelayMs = 200});
                QVERIFY(QTest::qWaitFor([&f] { return f.observer.isReading(); }, 5000));
                f.copy("next");
            },
            {"next"});
        row("content present at start",
            [](Polling& f) {
                f.copy("before start");
                f.start();
            },
            {});
        row("own write",
            [](Polling& f) {
                f.start();
                // Recorded as seen, as the model does.
                f.platform.pasteboard->writeString(QStringLiteral("ours"));
                f.observer.setLastChangeCount(f.platform.pasteboard->changeCount());
            },
            {});
        row("after stop",
            [](Polling& f) {
                f.start();
                f.observer.stop();
                f.copy("late");
            },
            {});
    }
    void announcedChangesAreReadOnce()
    {
        QFETCH(Scenario, scenario);
        QFETCH(bool, workerReads);
        QFETCH(QList<QByteArray>, expected);
        Polling f;
        f.platform.pasteboard->notifies = true;
        f.platform.pasteboard->workerReads = workerReads;
        scenario(f);
        if (QTest::currentTestFailed())
            return;
        QVERIFY(observerSettles(f.observer));
        QCOMPARE(f.seenData(), expected);
    }

    void nothingReadIsDeliveredAfterStop()
    {
        Polling f;
        f.start();
        f.platform.pasteboard->copyText(QStringLiteral("read when stopped"));
        f.observer.poll();
        QVERIFY(f.observer.isReading());
        f.observer.stop();
        QVERIFY(readSettles(f.observer));
        QVERIFY(f.seen.isEmpty());
    }

    void startAndStopAreIdempotent_data()
    {
        QTest::addColumn<bool>("notifies");
        QTest::newRow("polled") << false;
        QTest::newRow("announced") << true;
    }
    void startAndStopAreIdempotent()
    {
        QFETCH(bool, notifies);
        FakePlatform platform;
        platform.pasteboard->notifies = notifies;
        ClipboardObserver observer(*platform.pasteboard, *platform.workspace);
        observer.start(std::chrono::milliseconds(700));
        QVERIFY(observer.isRunning());
        // Announced changes need no poll.
        QCOMPARE(observer.isPolling(), !notifies);
        platform.pasteboard->copyText(QStringLiteral("while running"));
        const qint64 before = observer.lastChangeCount();
        observer.start(std::chrono::milliseconds(700)); // ignored: keeps the unseen change
        QCOMPARE(observer.lastChangeCount(), before);
        // Without a handler what is read is discarded.
        observer.poll();
        QVERIFY(observerSettles(observer));
        QCOMPARE(observer.lastChangeCount(), platform.pasteboard->changeCount());
        observer.stop();
        observer.stop();
        QVERIFY(!observer.isRunning());
    }
};

QTEST_MAIN(TestCapture)
#include "tst_capture.moc"
