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

QByteArray encodedImage(const char* format, QColor colour = Qt::red)
{
    QImage image(4, 3, QImage::Format_RGB32);
    image.fill(colour);
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

// One event in a clipboard scenario.
struct Step {
    enum Kind {
        Start,
        Stop,
        Copy,
        CopyFromSlowOwner, // its owner answers a read only after 200 ms
        OwnWrite,          // written by us and recorded as seen, as the model does
        AwaitRead,         // until a read is in flight
        Settle,            // until nothing is pending
    };
    Kind kind;
    QString text;
};
using Steps = QList<Step>;

// An observer whose poll timer never fires (changes are read by hand or as announced),
// keeping what it delivers.
struct Polling {
    Polling()
        : observer(*platform.pasteboard, *platform.workspace)
    {
        observer.setOnChange([this](const PasteboardContent& content) { seen.append(content); });
    }
    void start() { observer.start(std::chrono::hours(1)); }
    void run(const Step& step)
    {
        FakePasteboard& pasteboard = *platform.pasteboard;
        switch (step.kind) {
        case Step::Start:
            start();
            break;
        case Step::Stop:
            observer.stop();
            break;
        case Step::Copy:
            pasteboard.copyText(step.text);
            break;
        case Step::CopyFromSlowOwner:
            pasteboard.setContent(Content{.string = step.text, .workerReadDelayMs = 200});
            break;
        case Step::OwnWrite:
            pasteboard.writeString(step.text);
            observer.setLastChangeCount(pasteboard.changeCount());
            break;
        case Step::AwaitRead:
            QVERIFY(QTest::qWaitFor([this] { return observer.isReading(); }, 5000));
            break;
        case Step::Settle:
            QVERIFY(observerSettles(observer));
            break;
        }
    }
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

} // namespace

class TestCapture : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void firstCharactersCountsGraphemeClusters_data()
    {
        QTest::addColumn<QString>("unit");
        QTest::addColumn<int>("unitLength");
        QTest::newRow("ascii") << QStringLiteral("a") << 1;
        QTest::newRow("combining mark") << QStringLiteral("e\u0301") << 2;
        QTest::newRow("zwj family")
            << QStringLiteral("\U0001F468\u200D\U0001F469\u200D\U0001F467") << 8;
    }
    void firstCharactersCountsGraphemeClusters()
    {
        QFETCH(QString, unit);
        QFETCH(int, unitLength);
        QCOMPARE(unit.size(), unitLength);
        QString text;
        for (int i = 0; i < 10001; ++i)
            text += unit;
        const QString capped = firstCharacters(text);
        QCOMPARE(capped.size(), qsizetype(10000) * unitLength);
        QVERIFY(text.startsWith(capped));
        QCOMPARE(firstCharacters(text.left(unitLength * 3), 10000), text.left(unitLength * 3));
    }

    void textKeepsAllBytesButCapsTheSearchString()
    {
        const QString text = QString(9999, QLatin1Char('x')) + QStringLiteral("é") +
                             QString(10000, QLatin1Char('y'));
        Content content;
        content.string = text;
        const auto snapshot = captured(content);
        QVERIFY(snapshot);
        QCOMPARE(snapshot->type, ClipType::Text);
        QCOMPARE(snapshot->contentData, text.toUtf8());
        QCOMPARE(snapshot->searchString, text.left(10000));
    }

    void emptyTextIsStillASnapshot()
    {
        const auto snapshot = captured(Content{.string = QString()});
        QVERIFY(snapshot);
        QCOMPARE(snapshot->type, ClipType::Text);
        QVERIFY(snapshot->contentData.isEmpty());
    }

    void fileListIsStoredAsEscapedJsonOfEncodedUrls()
    {
        Content content;
        content.fileUrls = QList<QUrl>{QUrl::fromLocalFile(QStringLiteral("/home/ana/a.txt")),
                                       QUrl::fromLocalFile(QStringLiteral("/home/ana/b c.png")),
                                       QUrl::fromLocalFile(QStringLiteral("/tmp/ñ.pdf"))};
        content.string = QStringLiteral("ignored");
        const auto snapshot = captured(content);
        QVERIFY(snapshot);
        QCOMPARE(snapshot->type, ClipType::File);
        QCOMPARE(snapshot->contentData,
                 QByteArray(R"(["file:\/\/\/home\/ana\/a.txt","file:\/\/\/home\/ana\/b%20c.png",)"
                            R"("file:\/\/\/tmp\/%C3%B1.pdf"])"));
        QCOMPARE(snapshot->searchString, QStringLiteral("a.txt · b c.png · ñ.pdf"));
        QCOMPARE(decodeFileList(snapshot->contentData), content.fileUrls);
    }

    void fileEntryNamesEachFileAndFolder_data()
    {
        QTest::addColumn<QList<QUrl>>("urls");
        QTest::addColumn<QString>("searchString");
        QTest::newRow("folder with a trailing slash")
            << QList<QUrl>{QUrl(QStringLiteral("file:///x/dir/"))} << QStringLiteral("dir");
        QTest::newRow("folder with encoded name and two slashes")
            << QList<QUrl>{QUrl(QStringLiteral("file:///home/ana/Mis%20fotos//"))}
            << QStringLiteral("Mis fotos");
        QTest::newRow("root folder")
            << QList<QUrl>{QUrl(QStringLiteral("file:///"))} << QStringLiteral("/");
    }
    void fileEntryNamesEachFileAndFolder()
    {
        QFETCH(QList<QUrl>, urls);
        QFETCH(QString, searchString);
        const auto snapshot = captured(Content{.fileUrls = urls});
        QVERIFY(snapshot);
        QCOMPARE(snapshot->type, ClipType::File);
        QCOMPARE(snapshot->searchString, searchString);
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

    void representationOrder_data()
    {
        QTest::addColumn<Content>("content");
        QTest::addColumn<ClipType>("expected");
        QTest::addColumn<QByteArray>("expectedData");

        const QByteArray png = encodedImage("PNG");
        const QString pngType = QStringLiteral("image/png");
        const QString rtfType = QStringLiteral("text/rtf");
        const QUrl fileA = QUrl::fromLocalFile(QStringLiteral("/a"));
        QTest::newRow("files win over images")
            << Content{.data = {{pngType, png}}, .fileUrls = QList<QUrl>{fileA}} << ClipType::File
            << QByteArray(R"(["file:\/\/\/a"])");
        QTest::newRow("empty url list falls through")
            << Content{.string = "fallback", .fileUrls = QList<QUrl>{}} << ClipType::Text
            << QByteArray("fallback");
        const QUrl web(QStringLiteral("https://example.org/x"));
        QTest::newRow("web links are text")
            << Content{.string = web.toString(), .fileUrls = QList<QUrl>{web}} << ClipType::Text
            << QByteArray("https://example.org/x");
        const QUrl unparsable(QStringLiteral("file://(tmp/b.pdf"));
        QTest::newRow("a file url that does not parse is text")
            << Content{.string = "/a", .fileUrls = QList<QUrl>{fileA, unparsable}} << ClipType::Text
            << QByteArray("/a");
        QTest::newRow("undecodable tiff falls to png")
            << Content{.data = {{QStringLiteral("image/tiff"), "not a tiff"}, {pngType, png}}}
            << ClipType::Image << png;
        QTest::newRow("rtf wins over text")
            << Content{.data = {{rtfType, simpleRtf}}, .string = "Hello"} << ClipType::Rtf
            << simpleRtf;
        QTest::newRow("application/rtf is rtf")
            << Content{.data = {{QStringLiteral("application/rtf"), simpleRtf}}} << ClipType::Rtf
            << simpleRtf;
        QTest::newRow("unreadable rtf is still rtf")
            << Content{.data = {{rtfType, "plain words"}}, .string = "plain words"} << ClipType::Rtf
            << QByteArray("plain words");
        QTest::newRow("rtf without data falls to text")
            << Content{.string = "text", .declaredOnly = {rtfType}} << ClipType::Text
            << QByteArray("text");
    }
    void representationOrder()
    {
        QFETCH(Content, content);
        QFETCH(ClipType, expected);
        QFETCH(QByteArray, expectedData);
        const auto snapshot = captured(content);
        QVERIFY(snapshot);
        QCOMPARE(snapshot->type, expected);
        QCOMPARE(snapshot->contentData, expectedData);
    }

    void unreadableRtfHasAnEmptySearchString()
    {
        const Content unreadable{.data = {{QStringLiteral("text/rtf"), "plain words"}}};
        QCOMPARE(captured(unreadable)->searchString, QString());
    }

    void tiffIsConvertedToPng()
    {
        const auto snapshot = captured(
            Content{.data = {{QStringLiteral("image/tiff"), encodedImage("TIFF", Qt::blue)},
                             {QStringLiteral("image/png"), encodedImage("PNG", Qt::green)}}});
        QVERIFY(snapshot);
        QCOMPARE(snapshot->type, ClipType::Image);
        const QImage image = QImage::fromData(snapshot->contentData, "PNG");
        QCOMPARE(image.pixelColor(0, 0), QColor(Qt::blue));
        QCOMPARE(snapshot->imageSize, std::optional<QSize>(QSize(4, 3)));
    }

    void tiffConversionKeepsEveryPixel()
    {
        // The faster compression level must stay lossless.
        QImage original(64, 48, QImage::Format_RGB32);
        for (int y = 0; y < original.height(); ++y) {
            for (int x = 0; x < original.width(); ++x)
                original.setPixel(x, y, qRgb((x * 37 + y) % 256, (y * 91) % 256, (x * y) % 256));
        }
        QByteArray tiff;
        QBuffer buffer(&tiff);
        buffer.open(QIODevice::WriteOnly);
        QVERIFY(original.save(&buffer, "TIFF"));
        const auto png = ClipboardObserver::pngData(tiff);
        QVERIFY(png);
        QCOMPARE(QImage::fromData(*png, "PNG").convertToFormat(QImage::Format_RGB32), original);
    }

    void otherRepresentationsAreNotCaptured()
    {
        QVERIFY(!captured(Content{.data = {{QStringLiteral("text/html"), "<b>x</b>"},
                                           {QStringLiteral("application/pdf"), "%PDF"}}}));
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

    void uncapturableChangeIsNotRetried()
    {
        Polling f;
        f.start();
        f.platform.pasteboard->setContent(
            Content{.data = {{QStringLiteral("text/html"), "<i>x</i>"}}});
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
        QTest::addColumn<Steps>("steps");
        QTest::addColumn<bool>("workerReads");
        QTest::addColumn<QList<QByteArray>>("expected");
        const Step start{Step::Start, {}};
        const Step settle{Step::Settle, {}};
        const auto copy = [](const char* text) {
            return Step{Step::Copy, QString::fromUtf8(text)};
        };
        QTest::newRow("each copy once")
            << Steps{start, copy("a"), settle, copy("b")} << true << QList<QByteArray>{"a", "b"};
        // No event is processed between the copies: all three fall within one window.
        const Steps burst{start, copy("a"), copy("b"), copy("c")};
        QTest::newRow("burst read on a worker: the last")
            << burst << true << QList<QByteArray>{"c"};
        QTest::newRow("burst read in place: the last") << burst << false << QList<QByteArray>{"c"};
        QTest::newRow("a change during a read is read after it")
            << Steps{start,
                     {Step::CopyFromSlowOwner, QStringLiteral("replaced")},
                     {Step::AwaitRead, {}},
                     copy("next")}
            << true << QList<QByteArray>{"next"};
        QTest::newRow("content present at start")
            << Steps{copy("before start"), start} << true << QList<QByteArray>{};
        QTest::newRow("own write") << Steps{start, {Step::OwnWrite, QStringLiteral("ours")}} << true
                                   << QList<QByteArray>{};
        QTest::newRow("after stop")
            << Steps{start, {Step::Stop, {}}, copy("late")} << true << QList<QByteArray>{};
    }
    void announcedChangesAreReadOnce()
    {
        QFETCH(Steps, steps);
        QFETCH(bool, workerReads);
        QFETCH(QList<QByteArray>, expected);
        Polling f;
        f.platform.pasteboard->notifies = true;
        f.platform.pasteboard->workerReads = workerReads;
        for (const Step& step : steps) {
            f.run(step);
            if (QTest::currentTestFailed())
                return;
        }
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

    void clipboardReadableOnlyOnTheMainThreadIsReadAtTheTick()
    {
        Polling f;
        f.platform.pasteboard->workerReads = false;
        f.start();
        f.platform.pasteboard->copyText(QStringLiteral("read in place"));
        f.observer.poll();
        QVERIFY(!f.observer.isReading());
        QCOMPARE(f.seenData(), QList<QByteArray>{"read in place"});
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
        observer.stop();
        observer.stop();
        QVERIFY(!observer.isRunning());
    }

    void noHandlerDiscardsSnapshots()
    {
        FakePlatform platform;
        ClipboardObserver observer(*platform.pasteboard, *platform.workspace);
        observer.start(std::chrono::hours(1));
        platform.pasteboard->copyText(QStringLiteral("x"));
        observer.poll();
        QCOMPARE(observer.lastChangeCount(), platform.pasteboard->changeCount());
        QVERIFY(readSettles(observer));
    }
};

QTEST_MAIN(TestCapture)
#include "tst_capture.moc"
