// SPDX-License-Identifier: GPL-3.0-or-later
// One history row: masking, texts, icons, buttons, context menu, gestures and previews.
#include "app/row_content_cache.h"
#include "capture/file_list.h"
#include "flat_png.h"
#include "history/history_list_model.h"
#include "i18n/text_catalogue.h"
#include "model_fixture.h"
#include "views/clip_row_actions.h"
#include "views/clip_row_view.h"
#include "views/history_view.h"
#include "views/preview_cache.h"
#include "views/relative_age_formatter.h"
#include "views/styled_text.h"
#include "views/symbol_button.h"

#include <QAccessible>
#include <QImageReader>
#include <QListView>
#include <QMenu>
#include <QMutex>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

using namespace nabrix;
using namespace nabrix::testing;

Q_DECLARE_METATYPE(RelativeAgeFormatter::Age)

namespace {

QByteArray pngBytes(QSize size)
{
    return FlatPng::make(size, FlatPng::Layout::Colour);
}

// The history view over a fixture, shown, with entries stored newest last.
struct RowFixture {
    RowFixture()
        : list(f.model.history())
        , view(f.model, list)
    {
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
    }

    ClipItem store(const QString& text, ClipType type = ClipType::Text, bool sensitive = false,
                   const std::optional<QByteArray>& bytes = std::nullopt,
                   std::optional<QString> source = std::nullopt)
    {
        f.clock.advance(1);
        ClipItem item = makeClipItem(f.clock.now(), text, type);
        item.isSensitive = sensitive;
        item.sourceAppBundleID = std::move(source);
        if (type == ClipType::Image)
            item.imageSize = QSize(400, 300);
        f.model.storage().insert(item, bytes.value_or(text.toUtf8()));
        return item;
    }
    QModelIndex indexOf(const ClipItem& item) const
    {
        const std::optional<int> row = list.rowOf(item.id);
        return row ? view.listView()->model()->index(*row, 0) : QModelIndex();
    }
    ClipRowView::Content content(const ClipItem& item) const
    {
        return view.rowView()->content(indexOf(item));
    }
    QPoint centreOf(const ClipItem& item) const
    {
        return view.listView()->visualRect(indexOf(item)).center();
    }
    void hover(const ClipItem& item)
    {
        QListView* listView = view.listView();
        listView->doItemsLayout();
        // A move to where the pointer already is would not be delivered.
        m_nudge = (m_nudge + 1) % 2;
        QTest::mouseMove(listView->viewport(), centreOf(item) - QPoint(60 + m_nudge, 0));
    }

    ModelFixture f;
    HistoryListModel& list;
    HistoryView view;
    int m_nudge = 0;
};

} // namespace

class TestClipRow : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(installTranslations(*qApp, QLocale(QLocale::English)));
        // Qt's default: a whole decode above 32 megapixels fails here, so a huge image that
        // still shows was read scaled.
        QImageReader::setAllocationLimit(128);
    }

    void sensitiveRowsAreMaskedUntilRevealed()
    {
        RowFixture r;
        const ClipItem card = r.store(QStringLiteral("4111 1111 1111 1111"), ClipType::Text, true);
        const ClipItem image = r.store(QString(), ClipType::Image, true, pngBytes(QSize(40, 30)));
        ClipRowView::Content shown = r.content(card);
        QVERIFY(shown.masked);
        QCOMPARE(shown.text, QString(16, QChar(0x2022)));
        QCOMPARE(r.content(image).media, ClipRowView::Media::MaskedImage);

        r.f.model.toggleReveal(card);
        r.f.model.toggleReveal(image);
        shown = r.content(card);
        QVERIFY(!shown.masked);
        QCOMPARE(shown.text, QStringLiteral("4111 1111 1111 1111"));
        QCOMPARE(r.content(image).media, ClipRowView::Media::Thumbnail);
    }

    void screenReadersHearWhatARowHolds()
    {
        RowFixture r;
        r.view.setClock(r.f.clock.clock());
        r.store(QStringLiteral("two\nlines"));
        r.store(QStringLiteral("4111 1111 1111 1111"), ClipType::Text, true);
        r.store(QString(), ClipType::Image);
        // Each entry is stored a second after the one before; the clock stops at the last.
        r.view.refreshNow();
        QAccessibleInterface* list = QAccessible::queryAccessibleInterface(r.view.listView());
        QVERIFY(list);
        QStringList spoken;
        for (int row = 0; row < list->childCount(); ++row)
            spoken.append(list->child(row)->text(QAccessible::Name));
        QCOMPARE(spoken,
                 QStringList({"Image, 0 sec. ago", "Hidden sensitive content, Text, 1 sec. ago",
                              "two lines, Text, 2 sec. ago"}));
    }

    void hoveredRowGetsButtonsThatAct()
    {
        RowFixture r;
        const ClipItem plain = r.store(QStringLiteral("plain"));
        const ClipItem card = r.store(QStringLiteral("4111 1111 1111 1111"), ClipType::Text, true);
        ClipRowActions* actions = r.view.rowView()->actions();

        r.hover(plain);
        QVERIFY(actions->isVisible());
        QCOMPARE(actions->item().id, plain.id);
        QVERIFY(actions->deleteButton()->isVisibleTo(actions));
        QVERIFY(!actions->revealButton()->isVisibleTo(actions));

        r.hover(card);
        QCOMPARE(actions->item().id, card.id);
        QVERIFY(!actions->deleteButton()->isVisibleTo(actions));
        QVERIFY(actions->revealButton()->isVisibleTo(actions));
        QTest::mouseClick(actions->revealButton(), Qt::LeftButton);
        QVERIFY(r.f.model.isRevealed(card.id));
        // Revealed: the reveal button goes and no delete button comes.
        QVERIFY(!actions->revealButton()->isVisibleTo(actions));
        QVERIFY(!actions->deleteButton()->isVisibleTo(actions));

        r.hover(plain);
        QTest::mouseClick(actions->detailButton(), Qt::LeftButton);
        QVERIFY(r.f.model.detailItem());
        QCOMPARE(r.f.model.detailItem()->id, plain.id);
        r.f.model.setDetailItem(std::nullopt);
        r.hover(plain);
        QTest::mouseClick(actions->copyButton(), Qt::LeftButton);
        QCOMPARE(r.f.platform.pasteboard->content().string,
                 std::optional<QString>(QStringLiteral("plain")));
        QVERIFY(r.content(plain).flashing);

        QTest::mouseClick(actions->deleteButton(), Qt::LeftButton);
        QCOMPARE(r.f.storedTexts(), QStringList{QStringLiteral("4111 1111 1111 1111")});

        // Selection mode shows checkboxes instead of buttons; what a click checks is the
        // history view test's.
        r.f.model.toggleSelectionMode();
        const ClipRowView::Content shown = r.content(card);
        QVERIFY(shown.checkbox);
        QVERIFY(shown.buttons.isEmpty());
        r.hover(card);
        QVERIFY(!actions->isVisible());
    }

    void contextMenuRevealsOnlySensitiveEntriesAndActs()
    {
        RowFixture r;
        const ClipItem plain = r.store(QStringLiteral("plain"));
        const ClipItem card = r.store(QStringLiteral("4111 1111 1111 1111"), ClipType::Text, true);
        ClipRowView* rows = r.view.rowView();
        const auto menuFor = [&](const ClipItem& item) {
            return std::unique_ptr<QMenu>(rows->createContextMenu(r.indexOf(item), nullptr));
        };
        // Copy, paste, detail, a separator and delete; a sensitive entry's reveal before the
        // separator.
        QCOMPARE(menuFor(plain)->actions().size(), 5);
        const std::unique_ptr<QMenu> menu = menuFor(card);
        QCOMPARE(menu->actions().size(), 6);
        QCOMPARE(menu->actions().at(3)->text(), catalogue::text("history.reveal"));

        QSignalSpy pasted(rows, &ClipRowView::pasteRequested);
        menu->actions().at(1)->trigger();
        QCOMPARE(pasted.size(), 1);
        QCOMPARE(pasted.at(0).at(0).value<ClipItem>().id, card.id);
        menu->actions().at(3)->trigger();
        QVERIFY(r.f.model.isRevealed(card.id));
        QCOMPARE(menuFor(card)->actions().at(3)->text(), catalogue::text("history.hide"));
        // A sensitive entry has no hover delete button, but the menu still deletes it.
        menu->actions().last()->trigger();
        QCOMPARE(r.f.storedTexts(), QStringList{QStringLiteral("plain")});
    }

    void fileRowsCountTheirFiles()
    {
        RowFixture r;
        const QList<QUrl> urls{QUrl::fromLocalFile(QStringLiteral("/tmp/a.txt")),
                               QUrl::fromLocalFile(QStringLiteral("/tmp/b c.png")),
                               QUrl::fromLocalFile(QStringLiteral("/tmp/d"))};
        const ClipItem files =
            r.store(fileListSearchString(urls), ClipType::File, false, encodeFileList(urls));
        const ClipItem broken = r.store(QStringLiteral("x.txt"), ClipType::File, false,
                                        QByteArrayLiteral("{\"not\": \"a list\"}"));
        // Painting never waits for the store: the count line stays blank until it is read.
        ClipRowView::Content shown = r.content(files);
        QCOMPARE(shown.fileCount, std::optional<QString>(QString()));
        QVERIFY(shown.text.contains(QLatin1String("b c.png")));
        QSignalSpy read(&r.f.model, &AppModel::rowContentReady);
        QTRY_COMPARE(r.content(files).fileCount,
                     std::optional<QString>(catalogue::text("history.fileCount", 3)));
        shown = r.content(broken);
        QTRY_COMPARE(read.size(), 2);
        QCOMPARE(r.content(broken).fileCount, std::optional<QString>(QString()));
        QCOMPARE(shown.text, QStringLiteral("x.txt"));
    }

    void rowContentIsReadOffTheMainThreadAndBounded()
    {
        QMutex mutex;
        QSet<QThread*> readers;
        int loads = 0;
        RowContentCache cache(
            [&](const QUuid&) {
                ++loads;
                return [&]() -> std::optional<QByteArray> {
                    const QMutexLocker lock(&mutex);
                    readers.insert(QThread::currentThread());
                    return QByteArray(R"(["/a", "/b"])");
                };
            },
            2);
        QSignalSpy ready(&cache, &RowContentCache::ready);
        const QList<QUuid> ids{QUuid::createUuid(), QUuid::createUuid(), QUuid::createUuid()};
        for (const QUuid& id : ids)
            QCOMPARE(cache.files(id).state, RowContentCache::State::Pending);
        QTRY_COMPARE(ready.size(), 3);
        QVERIFY(!readers.contains(QThread::currentThread()));
        QCOMPARE(cache.files(ids[2]).names,
                 QStringList({QStringLiteral("/a"), QStringLiteral("/b")}));
        QCOMPARE(loads, 3);
        // Two entries fit: the first one asked went, so it is read again.
        QCOMPARE(cache.files(ids[0]).state, RowContentCache::State::Pending);
        QCOMPARE(loads, 4);
    }

    void installedApplicationsShowTheirIcon()
    {
        RowFixture r;
        r.f.platform.workspace->names.insert(QStringLiteral("org.example.Editor"),
                                             QStringLiteral("Editor"));
        const ClipItem item = r.store(QStringLiteral("typed"), ClipType::Rtf, false, std::nullopt,
                                      QStringLiteral("org.example.Editor"));
        const ClipItem orphan = r.store(QStringLiteral("from a removed app"), ClipType::Text, false,
                                        std::nullopt, QStringLiteral("org.gone.App"));
        QVERIFY(r.content(item).applicationIcon);
        QVERIFY(!r.content(orphan).applicationIcon);
        // Installing or removing an application shows at the next paint.
        r.f.platform.workspace->names.remove(QStringLiteral("org.example.Editor"));
        r.f.platform.workspace->names.insert(QStringLiteral("org.gone.App"), QStringLiteral("App"));
        QVERIFY(!r.content(item).applicationIcon);
        QVERIFY(r.content(orphan).applicationIcon);
    }

    // A zero age reads as just past: the history view test shows it against the view's clock.
    // The text column, where set, checks the locale and the direction.
    void ageUsesTheLargestWholeUnit_data()
    {
        QTest::addColumn<qint64>("offset");
        QTest::addColumn<RelativeAgeFormatter::Age>("age");
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("text");
        using U = RelativeAgeFormatter::Unit;
        const auto row = [](const char* name, qint64 offset, RelativeAgeFormatter::Age age,
                            QLocale::Language language = QLocale::English,
                            const QString& text = QString()) {
            QTest::newRow(name) << offset << age << QLocale(language) << text;
        };
        row("59 seconds", -59, {-59, U::Second});
        row("a minute", -60, {-1, U::Minute});
        row("an hour, in Spanish", -3600, {-1, U::Hour}, QLocale::Spanish, "hace 1 h");
        row("a week", -7 * 86400, {-1, U::Week});
        row("a month", -31 * 86400, {-1, U::Month});
        row("a year", -366 * 86400, {-1, U::Year});
        row("in the future", 120, {2, U::Minute}, QLocale::English, "in 2 min.");
    }
    void ageUsesTheLargestWholeUnit()
    {
        QFETCH(qint64, offset);
        QFETCH(RelativeAgeFormatter::Age, age);
        QFETCH(QLocale, locale);
        QFETCH(QString, text);
        const QDateTime now(QDate(2026, 3, 15), QTime(12, 0));
        QCOMPARE(RelativeAgeFormatter::age(now.addSecs(offset), now), age);
        if (!text.isEmpty())
            QCOMPARE(RelativeAgeFormatter::text(now.addSecs(offset), now, locale), text);
    }

    void previewTextKeepsTwoLines()
    {
        const QString ellipsis(QChar(0x2026));
        const auto wrapped = [](const QString& text, int width) {
            return ClipRowView::wrappedLines(text, QFont(), width, 2);
        };
        QCOMPARE(wrapped(QStringLiteral("one\ntwo\nthree"), 300),
                 (QStringList{QStringLiteral("one"), QStringLiteral("two") + ellipsis}));
        QCOMPARE(wrapped(QStringLiteral("one\r\ntwo"), 300),
                 (QStringList{QStringLiteral("one"), QStringLiteral("two")}));
        QCOMPARE(wrapped(QString(), 300), QStringList{QString()});
        const QStringList lines = wrapped(QStringLiteral("word ").repeated(400), 200);
        QCOMPARE(lines.size(), 2);
        QVERIFY(lines.last().endsWith(ellipsis));
        QVERIFY(QFontMetrics(QFont()).horizontalAdvance(lines.last()) <= 200);
    }

    // Styled previews are cut like plain ones: two lines, an ellipsis when text is left.
    void styledPreviewKeepsTwoLines()
    {
        const QString ellipsis(QChar(0x2026));
        QTextDocument document;
        document.setDocumentMargin(0);
        document.setTextWidth(200);
        int lines = 0;
        const auto elide = [&](const QString& html) {
            document.setHtml(html);
            elideToLines(document, 2);
            lines = 0;
            for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
                lines += block.layout()->lineCount();
            return document.toPlainText();
        };
        QCOMPARE(elide(QStringLiteral("<p>one</p><p>two</p>")), QStringLiteral("one\ntwo"));
        QCOMPARE(elide(QStringLiteral("<p>one</p><p>two</p><p>three</p>")),
                 QStringLiteral("one\ntwo") + ellipsis);
        const QString paragraph = elide("<b>Release</b> " + QStringLiteral("word ").repeated(60));
        QCOMPARE(lines, 2);
        QVERIFY(paragraph.endsWith(ellipsis));
        QVERIFY(paragraph.startsWith(QLatin1String("Release word")));
    }

    void rowHeightsComeFromMetadata()
    {
        RowFixture r;
        const ClipItem oneLine = r.store(QStringLiteral("short"));
        const ClipItem twoLines = r.store(QStringLiteral("first\nsecond"));
        const ClipItem image =
            r.store(QString(), ClipType::Image, false, QByteArrayLiteral("not png"));
        ClipRowView* rows = r.view.rowView();
        const QStyleOptionViewItem option;
        const int shortRow = rows->sizeHint(option, r.indexOf(oneLine)).height();
        const int tallRow = rows->sizeHint(option, r.indexOf(twoLines)).height();
        // The image row is sized from the stored dimensions even though they do not decode.
        const int imageRow = rows->sizeHint(option, r.indexOf(image)).height();
        QVERIFY(shortRow < tallRow);
        QVERIFY(tallRow < imageRow);

        rows->setUniformHeights(true);
        QCOMPARE(rows->sizeHint(option, r.indexOf(oneLine)).height(),
                 rows->sizeHint(option, r.indexOf(image)).height());
    }

    void imageFlaggedLaterIsMaskedAtItsNewHeight()
    {
        RowFixture r;
        const ClipItem image =
            r.store(QString(), ClipType::Image, false, pngBytes(QSize(400, 300)));
        QListView* list = r.view.listView();
        list->doItemsLayout();
        const int shown = list->visualRect(r.indexOf(image)).height();
        r.f.model.storage().markSensitive(image.id);
        QVERIFY(r.content(image).masked);
        QTRY_VERIFY(list->visualRect(r.indexOf(image)).height() < shown);
    }

    // In selection mode a click checks the row instead and leaves the highlight.
    void clickMovesTheHighlightAndDoubleClickCopies()
    {
        RowFixture r;
        const ClipItem older = r.store(QStringLiteral("older"));
        const ClipItem newer = r.store(QStringLiteral("newer"));
        QWidget* rows = r.view.listView()->viewport();
        r.view.listView()->doItemsLayout();
        QTest::mouseClick(rows, Qt::LeftButton, {}, r.centreOf(older));
        QCOMPARE(r.f.model.selectedIndex(), std::optional<qsizetype>(1));
        QCOMPARE(r.f.platform.pasteboard->content().string, std::nullopt);
        QTest::mouseDClick(rows, Qt::LeftButton, {}, r.centreOf(older));
        QCOMPARE(r.f.platform.pasteboard->content().string,
                 std::optional<QString>(QStringLiteral("older")));

        r.f.model.toggleSelectionMode();
        QTest::mouseClick(rows, Qt::LeftButton, {}, r.centreOf(newer));
        QCOMPARE(r.f.model.selectedItemIDs(), QSet<QUuid>{newer.id});
        QCOMPARE(r.f.model.selectedIndex(), std::optional<qsizetype>(1));
        QTest::mouseClick(rows, Qt::LeftButton, {}, r.centreOf(newer));
        QVERIFY(r.f.model.selectedItemIDs().isEmpty());
    }

    void thumbnailsAreDecodedNoLargerThanShown_data()
    {
        using Layout = FlatPng::Layout;
        QTest::addColumn<QByteArray>("png");
        // Empty: the placeholder.
        QTest::addColumn<QSize>("shown");
        QTest::newRow("ordinary image") << pngBytes(QSize(800, 400)) << QSize(240, 120);
        QTest::newRow("16000 x 16000, read scaled")
            << FlatPng::make(QSize(16000, 16000), Layout::Colour) << QSize(140, 140);
        QTest::newRow("grey, too large to decode whole")
            << FlatPng::make(QSize(5000, 4000), Layout::Grey) << QSize();
        QTest::newRow("interlaced, too large to decode whole")
            << FlatPng::make(QSize(5000, 4000), Layout::InterlacedColour) << QSize();
        QTest::newRow("too large even to read scaled")
            << FlatPng::make(QSize(16400, 16400), Layout::Colour) << QSize();
        QTest::newRow("not an image") << QByteArray("garbage") << QSize();
    }

    void thumbnailsAreDecodedNoLargerThanShown()
    {
        QFETCH(QByteArray, png);
        QFETCH(QSize, shown);
        QThread* reader = nullptr;
        PreviewCache cache([&](const QUuid&) {
            return [&] {
                reader = QThread::currentThread();
                return std::optional<QByteArray>(png);
            };
        });
        QSignalSpy ready(&cache, &PreviewCache::previewReady);
        const QUuid id = QUuid::createUuid();
        const QSize box(240, 140);
        cache.thumbnail(id, box);
        // Read and decoded on a worker; it may even finish before the request returns.
        QTRY_VERIFY_WITH_TIMEOUT(!ready.isEmpty(), 60000);
        QVERIFY(reader != nullptr && reader != QThread::currentThread());
        const PreviewCache::Thumbnail thumbnail = cache.thumbnail(id, box);
        if (shown.isEmpty()) {
            QCOMPARE(thumbnail.state, PreviewCache::State::Unreadable);
            return;
        }
        QCOMPARE(thumbnail.state, PreviewCache::State::Ready);
        QCOMPARE(thumbnail.image.size(), shown);
    }

    // Unreadable or missing bytes fall back; readable ones keep the text and drop sizes.
    void rtfPreviewsKeepTheTextAndDropSizes()
    {
        std::optional<QByteArray> rtf;
        PreviewCache cache([&rtf](const QUuid&) { return [&rtf] { return rtf; }; });
        const auto previewOf = [&](const std::optional<QByteArray>& bytes) {
            rtf = bytes;
            const QUuid id = QUuid::createUuid();
            const bool read = QTest::qWaitFor(
                [&] { return cache.rtfPreview(id).state != PreviewCache::State::Pending; });
            return read ? cache.rtfPreview(id) : PreviewCache::RtfPreview();
        };
        QCOMPARE(previewOf(QByteArray("garbage")).state, PreviewCache::State::Unreadable);
        QCOMPARE(previewOf(std::nullopt).state, PreviewCache::State::Unreadable);
        const PreviewCache::RtfPreview preview = previewOf(QByteArray(
            "{\\rtf1\\ansi{\\fonttbl{\\f0 Helvetica;}}\\f0\\fs48 {\\b Big} words\\par}"));
        QCOMPARE(preview.state, PreviewCache::State::Ready);
        QCOMPARE(preview.document->toPlainText().trimmed(), QStringLiteral("Big words"));
        QCOMPARE(preview.document->thread(), QThread::currentThread());
        QVERIFY(!preview.document->begin().begin().fragment().charFormat().hasProperty(
            QTextFormat::FontPointSize));
        QVERIFY(preview.document->begin().begin().fragment().charFormat().font().bold());
    }
};

QTEST_MAIN(TestClipRow)
#include "tst_clip_row.moc"
