// SPDX-License-Identifier: GPL-3.0-or-later
// The command line's channel and listing: refused requests leave the instance answering,
// lines and JSON show entries as their rows do, and search finds what the window finds.
#include "app/command_handler.h"
#include "app/command_protocol.h"
#include "model_fixture.h"
#include "shell/entry_listing.h"
#include "shell/single_instance.h"
#include "views/clip_row_view.h"
#include "views/relative_age_formatter.h"

#include <QCborArray>
#include <QCborMap>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocalSocket>
#include <QTemporaryDir>
#include <QTest>

using namespace nabrix;
using nabrix::testing::ModelFixture;

namespace {

QByteArray requestBody(const QString& command, const QStringList& ids)
{
    QCborMap map;
    map.insert(QStringLiteral("command"), command);
    map.insert(QStringLiteral("ids"), QCborArray::fromStringList(ids));
    return map.toCborValue().toCbor();
}

QByteArray requestFrame(const QString& command, const QStringList& ids = {})
{
    return protocol::frame(protocol::requestKind, requestBody(command, ids));
}

// Sends `bytes` to the instance at `path` and waits for its reply, with the event loop
// running so that the instance, in this thread, can answer.
std::optional<RemoteReply> exchange(const QString& path, const QByteArray& bytes)
{
    QLocalSocket socket;
    socket.connectToServer(path);
    if (!socket.waitForConnected(3000))
        return std::nullopt;
    socket.write(bytes);
    QByteArray received;
    protocol::Frame frame;
    const bool ended = QTest::qWaitFor([&] {
        received += socket.readAll();
        frame = protocol::readFrame(received, protocol::replyKind, protocol::maxReplySize);
        return frame.state != protocol::Frame::State::Incomplete;
    });
    if (!ended || frame.state != protocol::Frame::State::Complete)
        return std::nullopt;
    return protocol::decodeReply(frame.body);
}

ClipItem entry(ClipType type, const QString& text, bool sensitive = false)
{
    ClipItem item;
    item.id = QUuid::createUuid();
    item.timestamp = QDateTime(QDate(2024, 3, 5), QTime(6, 7, 8, 9), Qt::UTC);
    item.type = type;
    item.searchString = text;
    item.isSensitive = sensitive;
    return item;
}

} // namespace

class TestCommandLine : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void refusedRequestsLeaveTheInstanceAnswering_data()
    {
        QTest::addColumn<QByteArray>("request");
        QTest::newRow("negative length") << QByteArray("request -1\n");
        // A request the instance would carry out, were it not too long.
        QCborMap padded;
        padded.insert(QStringLiteral("command"), QStringLiteral("list"));
        padded.insert(QStringLiteral("ids"), QCborArray());
        padded.insert(QStringLiteral("padding"), QByteArray(protocol::maxRequestSize, 'x'));
        QTest::newRow("longer than the bound")
            << protocol::frame(protocol::requestKind, padded.toCborValue().toCbor());
        QTest::newRow("header that never ends") << QByteArray(100, '7');
        QTest::newRow("body that is not CBOR")
            << protocol::frame(protocol::requestKind, QByteArray("\xff\x01garbage"));
        QTest::newRow("body that is not a map")
            << protocol::frame(protocol::requestKind, QCborValue(42).toCbor());
        QTest::newRow("unknown command") << requestFrame(QStringLiteral("quit"));
        QTest::newRow("copy without an entry") << requestFrame(QStringLiteral("copy"));
        QTest::newRow("list with an entry")
            << requestFrame(QStringLiteral("list"), {QUuid::createUuid().toString()});
        QTest::newRow("entry that is no id")
            << requestFrame(QStringLiteral("delete"), {QStringLiteral("first")});
        QTest::newRow("reply sent as a request")
            << protocol::frame(protocol::replyKind, requestBody(QStringLiteral("list"), {}));
    }
    void refusedRequestsLeaveTheInstanceAnswering()
    {
        QFETCH(QByteArray, request);
        ModelFixture f;
        const ClipItem kept = f.add(QStringLiteral("kept"));
        const qint64 clipboardChanges = f.platform.pasteboard->changeCount();
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("instance"));
        SingleInstance instance(path);
        CommandHandler handler(f.model);
        instance.setRequestHandler(
            [&handler](QByteArrayView body) { return handler.handle(body); });
        QCOMPARE(instance.claim(), SingleInstance::ClaimResult::Listening);

        const std::optional<RemoteReply> refusal = exchange(path, request);
        QVERIFY2(refusal, "no reply to a refused request");
        QCOMPARE(refusal->status, RemoteStatus::Malformed);
        QCOMPARE(f.storedTexts(), QStringList{QStringLiteral("kept")});
        QCOMPARE(f.platform.pasteboard->changeCount(), clipboardChanges);

        // The next client is served as if nothing had happened.
        const auto copied = exchange(path, requestFrame(QStringLiteral("copy"), {idText(kept.id)}));
        QVERIFY(copied);
        QCOMPARE(copied->status, RemoteStatus::Ok);
        QCOMPARE(f.platform.pasteboard->content().string,
                 std::optional<QString>(QStringLiteral("kept")));
    }

    void linesShowEntriesAsTheirRowsDo_data()
    {
        const QString bullets = ClipRowView::maskText();
        QTest::addColumn<ClipItem>("item");
        QTest::addColumn<EntryListing::Sensitive>("sensitive");
        QTest::addColumn<QString>("preview");
        const auto row = [](const char* name, const ClipItem& item, const QString& preview,
                            EntryListing::Sensitive sensitive = EntryListing::Sensitive::Masked) {
            QTest::newRow(name) << item << sensitive << preview;
        };
        row("tab and line breaks", entry(ClipType::Text, "a\tb\r\nc"), "a\u2409b\u240d\u240ac");
        row("terminal escape", entry(ClipType::Text, "\x1b[31mred\x7f"), "\u241b[31mred\u2421");
        row("eight-bit control and line separator", entry(ClipType::Text, "\u009b2J\u2028next"),
            "\ufffd2J\u2424next");
        row("sensitive text", entry(ClipType::Text, "4111", true), bullets);
        row("sensitive text revealed", entry(ClipType::Text, "4111", true), "4111",
            EntryListing::Sensitive::Revealed);
        ClipItem image = entry(ClipType::Image, QString());
        image.imageSize = QSize(640, 480);
        row("image", image, "640\u00d7480");
        image.isSensitive = true;
        row("sensitive image", image, bullets);
        row("sensitive file names stay shown", entry(ClipType::File, "a.txt \u00b7 b.txt", true),
            "a.txt \u00b7 b.txt");
        row("long text", entry(ClipType::Text, QString(1000, u'x')),
            QString(300, u'x') + QChar(0x2026));
        row("long text not cut inside a pair",
            entry(ClipType::Text, QString(299, u'x') + QStringLiteral("\U0001F600 tail")),
            QString(299, u'x') + QChar(0x2026));
    }
    void linesShowEntriesAsTheirRowsDo()
    {
        QFETCH(ClipItem, item);
        QFETCH(EntryListing::Sensitive, sensitive);
        QFETCH(QString, preview);
        const QDateTime now = item.timestamp.addSecs(300);
        const QString line = idText(item.id) + u'\t' +
                             RelativeAgeFormatter::text(item.timestamp, now) + u'\t' +
                             clipTypeRawValue(item.type) + u'\t' + preview + u'\n';
        QCOMPARE(QString::fromUtf8(EntryListing::lines({item}, now, sensitive, std::nullopt)),
                 line);

        const QJsonObject object{{"id", idText(item.id)},
                                 {"timestamp", "2024-03-05T06:07:08.009Z"},
                                 {"type", clipTypeRawValue(item.type)},
                                 {"source", QJsonValue::Null},
                                 {"sensitive", item.isSensitive},
                                 {"preview", preview}};
        QCOMPARE(QJsonDocument::fromJson(EntryListing::json({item, item}, sensitive)).array(),
                 QJsonArray({object, object}));
    }

    void linesAreCutToTheTerminal_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("columns");
        QTest::addColumn<QString>("shown");
        QTest::newRow("fits exactly") << QStringLiteral("abc") << 3 << QStringLiteral("abc");
        QTest::newRow("too long") << QStringLiteral("abcdef") << 4 << QStringLiteral("abc\u2026");
        QTest::newRow("tab stops every eight")
            << QStringLiteral("a\tbcdefg") << 10 << QStringLiteral("a\tb\u2026");
        QTest::newRow("wide characters") << QStringLiteral("\u65e5\u672c\u8a9e\u30c6\u30ad") << 7
                                         << QStringLiteral("\u65e5\u672c\u8a9e\u2026");
        QTest::newRow("combining marks take no column")
            << QStringLiteral("e\u0301e\u0301e\u0301x") << 3
            << QStringLiteral("e\u0301e\u0301\u2026");
    }
    void linesAreCutToTheTerminal()
    {
        QFETCH(QString, line);
        QFETCH(int, columns);
        QFETCH(QString, shown);
        QCOMPARE(EntryListing::cutToColumns(line, columns), shown);
    }

    // Listing everything, or the newest few, is the X11 command-line test's.
    void searchSelectsWhatTheWindowFinds_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QStringList>("found");
        QTest::newRow("full case folding") << QString() << QStringList{"Straße", "STRASSE plan"};
        QTest::newRow("type") << QStringLiteral("rtf") << QStringList{"STRASSE plan"};
    }
    void searchSelectsWhatTheWindowFinds()
    {
        QFETCH(QString, type);
        QFETCH(QStringList, found);
        const QList<ClipItem> newestFirst{
            entry(ClipType::Text, QStringLiteral("Straße")),
            entry(ClipType::Rtf, QStringLiteral("STRASSE plan")),
            entry(ClipType::Text, QStringLiteral("note")),
        };
        EntryListing::Filter filter;
        filter.query = QStringLiteral(" strasse ");
        if (!type.isEmpty())
            filter.type = clipTypeFromRawValue(type);
        QStringList texts;
        for (const ClipItem& item : EntryListing::select(
                 newestFirst, filter, SearchFolding(SearchFolding::CaseRules::Default)))
            texts.append(item.searchString);
        QCOMPARE(texts, found);
    }
};

QTEST_MAIN(TestCommandLine)
#include "tst_command_line.moc"
