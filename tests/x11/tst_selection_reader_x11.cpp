// SPDX-License-Identifier: GPL-3.0-or-later
// Reading the CLIPBOARD over a connection of our own, as the capture worker does: what
// ordinary owners offer, INCR transfers of any length, silent owners, stops and bounds.
#include "platform/pasteboard.h"
#include "platform/x11/x11_selection_reader.h"
#include "x11_harness.h"

#include <QBuffer>
#include <QImage>
#include <QTest>
#include <atomic>
#include <thread>

using namespace nabrix;
using namespace nabrix::testing::x11;

namespace {

constexpr qsizetype generousBound = qsizetype(64) * 1024 * 1024;

std::unique_ptr<ClipboardSource> reader(qsizetype maxBytes = generousBound,
                                        std::stop_token stop = {})
{
    return X11SelectionReader::factory({})({maxBytes, std::move(stop)});
}

} // namespace

class TestSelectionReaderX11 : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { NABRIX_REQUIRE_X11(); }

    // Older X11 programs offer only STRING or TEXT; wlroots bridges a Wayland text/plain
    // offer as TEXT.
    void readsTextUnderEachTextTarget_data()
    {
        QTest::addColumn<QString>("target"); // empty: xclip's UTF8_STRING
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        // The bytes are the text's UTF-8 or Latin-1 encoding.
        const auto row = [](const char* name, const char* target, const QString& text,
                            bool latin1) {
            QTest::newRow(name) << target << (latin1 ? text.toLatin1() : text.toUtf8()) << text;
        };
        row("UTF8_STRING", "", QStringLiteral("grüß dich, € 5"), false);
        row("STRING is Latin-1", "STRING", QStringLiteral("Straße"), true);
        row("TEXT in UTF-8", "TEXT", QStringLiteral("€ 7, grüß"), false);
        row("TEXT in Latin-1", "TEXT", QStringLiteral("café crème"), true);
    }
    void readsTextUnderEachTextTarget()
    {
        QFETCH(QString, target);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QVERIFY(copyWithXclip(bytes, target));
        // xclip takes the selection from a child it forks after it returns.
        QTRY_COMPARE(reader()->stringForType(PasteboardType::string).value_or(QString()), text);
        auto clipboard = reader();
        // The X text targets (and TARGETS) are all the one plain-text type.
        QCOMPARE(clipboard->types(), QStringList{PasteboardType::string});
        QVERIFY(!clipboard->dataForType(PasteboardType::png));
    }

    void readsWhatOrdinaryOwnersOffer()
    {
        QVERIFY(copyWithXclip("file:///tmp/a%20b.txt\r\nfile:///etc/hostname\r\n",
                              PasteboardType::fileUrl));
        QTRY_COMPARE(reader()->types(), QStringList{PasteboardType::fileUrl});
        auto clipboard = reader();
        QCOMPARE(clipboard->readFileUrls(),
                 (QList<QUrl>{QUrl::fromLocalFile(QStringLiteral("/tmp/a b.txt")),
                              QUrl::fromLocalFile(QStringLiteral("/etc/hostname"))}));
        QVERIFY(!clipboard->stringForType(PasteboardType::string));

        QImage image(64, 48, QImage::Format_RGB32);
        image.fill(Qt::darkCyan);
        QByteArray png;
        QBuffer buffer(&png);
        QVERIFY(buffer.open(QIODevice::WriteOnly) && image.save(&buffer, "PNG"));
        QVERIFY(copyWithXclip(png, PasteboardType::png));
        QTRY_COMPARE(reader()->types(), QStringList{PasteboardType::png});
        QCOMPARE(reader()->dataForType(PasteboardType::png), std::optional<QByteArray>(png));
    }

    void slowIncrementalTransferIsReadToTheEnd()
    {
        // 1 MiB in 64 KiB chunks every 400 ms: 6.4 s in all, longer than any single wait.
        constexpr qsizetype size = qsizetype(1024) * 1024;
        HelperProcess owner(QStringLiteral("hostile_owner"),
                            {"--mode", "slow", "--size", QString::number(size), "--chunk", "65536",
                             "--interval", "400"});
        QVERIFY(owner.waitForOutput());
        std::optional<QString> text;
        std::atomic_bool done = false;
        std::thread worker([&] {
            text = reader()->stringForType(PasteboardType::string);
            done = true;
        });
        // The worker's waits do not hold this thread (nor its event loop) up.
        QVERIFY(QTest::qWaitFor([&done] { return done.load(); }, 30000));
        worker.join();
        QVERIFY(text);
        QCOMPARE(text->size(), size);
        QVERIFY(text->startsWith(QStringLiteral("hostile slow text")));
    }

    void silentOwnerGivesNothingAndAStopEndsTheWait()
    {
        HelperProcess owner(QStringLiteral("hostile_owner"), {"--mode", "silent-data"});
        QVERIFY(owner.waitForOutput());
        auto clipboard = reader();
        // The targets come; the text never does, and after one unanswered request the
        // owner is not asked again.
        QVERIFY(clipboard->types().contains(PasteboardType::string));
        QVERIFY(!clipboard->stringForType(PasteboardType::string));
        QVERIFY(!clipboard->stringForType(PasteboardType::string));
        QVERIFY(!clipboard->dataForType(PasteboardType::png));
        QVERIFY(owner.waitForOutput("unanswered"));
        QCOMPARE(owner.output().count("unanswered"), 1);

        // Two readers wait on the silent owner; the stopped one returns while the other
        // is still waiting.
        std::stop_source stop;
        std::atomic_bool stoppedDone = false;
        std::atomic_bool waitingDone = false;
        std::optional<QString> text = QStringLiteral("not read yet");
        std::thread waiting([&] {
            reader()->stringForType(PasteboardType::string);
            waitingDone = true;
        });
        std::thread stopped([&] {
            text = reader(generousBound, stop.get_token())->stringForType(PasteboardType::string);
            stoppedDone = true;
        });
        QTRY_COMPARE(owner.output().count("unanswered"), 3);
        stop.request_stop();
        QVERIFY(QTest::qWaitFor([&stoppedDone] { return stoppedDone.load(); }));
        QVERIFY(!waitingDone);
        stopped.join();
        waiting.join();
        QVERIFY(!text);
    }

    void representationsBeyondTheBoundAreRefused()
    {
        // 3 MiB, sent by INCR in 256 KiB chunks.
        constexpr qsizetype size = qsizetype(3) * 1024 * 1024;
        HelperProcess owner(
            QStringLiteral("hostile_owner"),
            {"--mode", "huge-text", "--size", QString::number(size), "--chunk", "262144"});
        QVERIFY(owner.waitForOutput());
        QVERIFY(!reader(size - 1)->stringForType(PasteboardType::string));
        QCOMPARE(reader(size)->stringForType(PasteboardType::string)->size(), size);

        // Small enough to come in one property, still past a smaller bound.
        QVERIFY(copyWithXclip(QByteArray(100000, 'x')));
        QTRY_COMPARE(reader(100000)->stringForType(PasteboardType::string).value_or(QString()),
                     QString(100000, QLatin1Char('x')));
        QVERIFY(!reader(99999)->stringForType(PasteboardType::string));
    }

    void noDisplayMeansNothingToRead()
    {
        const auto clipboard =
            X11SelectionReader::factory(":999")({generousBound, std::stop_token()});
        QVERIFY(clipboard->types().isEmpty());
        QVERIFY(!clipboard->stringForType(PasteboardType::string));
    }
};

QTEST_MAIN(TestSelectionReaderX11)
#include "tst_selection_reader_x11.moc"
