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

Q_DECLARE_METATYPE(RelativeAgeFormatter::Unit)

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
                   std::optional<QByteArray> bytes = std::nullopt,
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

QStringList menuTexts(QMenu* menu)
{
    QStringList texts;
    for (QAction* action : menu->actions())
        texts.append(action->isSeparator() ? QStringLiteral("-") : action->text());
    return texts;
}

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

    void sensitiveTextShowsBulletsUntilRevealed()
    {
        RowFixture r;
        const ClipItem card = r.store(QStringLiteral("4111 1111 1111 1111"), ClipType::Text, true);
        ClipRowView::Content shown = r.content(card);
        QVERIFY(shown.masked);
        QCOMPARE(shown.text, QString(16, QChar(0x2022)));
        QVERIFY(!shown.text.contains(QLatin1String("4111")));

        r.f.model.toggleReveal(card);
        shown = r.content(card);
        QVERIFY(!shown.masked);
        QCOMPARE(shown.text, QStringLiteral("4111 1111 1111 1111"));
    }

    void sensitiveImageShowsThePlaceholder()
    {
        RowFixture r;
        const ClipItem image = r.store(QString(), ClipType::Image, true, pngBytes(QSize(40, 30)));
        QCOMPARE(r.content(image).media, ClipRowView::Media::MaskedImage);
        r.f.model.toggleReveal(image);
        QCOMPARE(r.content(image).media, ClipRowView::Media::Thumbnail);
    }

    void screenReadersHearWhatARowHolds_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<ClipType>("type");
        QTest::addColumn<bool>("sensitive");
        QTest::addColumn<bool>("revealed");
        QTest::addColumn<QString>("name");
        const auto row = [](const char* name, const QString& text, ClipType type, bool sensitive,
                            bool revealed, const QString& spoken) {
            QTest::newRow(name) << text << type << sensitive << revealed << spoken;
        };
        row("text", "two\nlines", ClipType::Text, false, false, "two lines, Text, 0 sec. ago");
        row("masked", "4111 1111 1111 1111", ClipType::Text, true, false,
            "Hidden sensitive content, Text, 0 sec. ago");
        row("revealed", "4111 1111 1111 1111", ClipType::Text, true, true,
            "4111 1111 1111 1111, Text, 0 sec. ago");
        row("image", "", ClipType::Image, false, false, "Image, 0 sec. ago");
    }
    void screenReadersHearWhatARowHolds()
    {
        QFETCH(QString, text);
        QFETCH(ClipType, type);
        QFETCH(bool, sensitive);
        QFETCH(bool, revealed);
        QFETCH(QString, name);
        RowFixture r;
        r.view.setClock(r.f.clock.clock());
        const ClipItem item = r.store(text, type, sensitive);
        if (revealed)
            r.f.model.toggleReveal(item);
        r.view.refreshNow();
        QAccessibleInterface* list = QAccessible::queryAccessibleInterface(r.view.listView());
        QVERIFY(list);
        QCOMPARE(list->childCount(), 1);
        QAccessibleInterface* row = list->child(0);
        QVERIFY(row);
        QCOMPARE(row->role(), QAccessible::ListItem);
        QCOMPARE(row->text(QAccessible::Name), name);
    }

    void hoveredRowGetsNamedButtonsThatAct()
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
        QCOMPARE(actions->deleteButton()->accessibleName(), catalogue::text("history.delete"));

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
        QTest::mouseClick(actions->deleteButton(), Qt::LeftButton);
        QCOMPARE(r.f.storedTexts(), QStringList{QStringLiteral("4111 1111 1111 1111")});
    }

    void hoverButtonsOpenTheDetailAndCopy()
    {
        RowFixture r;
        const ClipItem item = r.store(QStringLiteral("copy me"));
        r.hover(item);
        ClipRowActions* actions = r.view.rowView()->actions();
        QTest::mouseClick(actions->detailButton(), Qt::LeftButton);
        QVERIFY(r.f.model.detailItem());
        QCOMPARE(r.f.model.detailItem()->id, item.id);
        r.f.model.setDetailItem(std::nullopt);
        r.hover(item);
        QTest::mouseClick(actions->copyButton(), Qt::LeftButton);
        QCOMPARE(r.f.platform.pasteboard->content().string,
                 std::optional<QString>(QStringLiteral("copy me")));
        // The copied row flashes: its copy button turns into a check mark.
        QVERIFY(r.content(item).flashing);
        QCOMPARE(actions->copyButton()->symbol(), QStringLiteral("checkmark"));
    }

    void selectionModeShowsCheckboxesAndNoButtons()
    {
        RowFixture r;
        const ClipItem item = r.store(QStringLiteral("pick me"));
        r.f.model.toggleSelectionMode();
        ClipRowView::Content shown = r.content(item);
        QVERIFY(shown.checkbox);
        QVERIFY(!shown.checked);
        QVERIFY(shown.buttons.isEmpty());
        QVERIFY(!shown.age.isEmpty());
        r.hover(item);
        QVERIFY(!r.view.rowView()->actions()->isVisible());
        QTest::mouseClick(r.view.listView()->viewport(), Qt::LeftButton, {}, r.centreOf(item));
        QVERIFY(r.content(item).checked);
    }

    void contextMenuOffersRevealOrHideForSensitiveEntriesOnly()
    {
        RowFixture r;
        const ClipItem plain = r.store(QStringLiteral("plain"));
        const ClipItem card = r.store(QStringLiteral("4111 1111 1111 1111"), ClipType::Text, true);
        ClipRowView* rows = r.view.rowView();
        const QString copy = catalogue::text("history.copy");
        const QString paste = catalogue::text("history.paste");
        const QString detail = catalogue::text("history.detail");
        const QString remove = catalogue::text("history.delete");

        std::unique_ptr<QMenu> menu(rows->createContextMenu(r.indexOf(plain), nullptr));
        QCOMPARE(menuTexts(menu.get()), (QStringList{copy, paste, detail, "-", remove}));
        menu.reset(rows->createContextMenu(r.indexOf(card), nullptr));
        QCOMPARE(
            menuTexts(menu.get()),
            (QStringList{copy, paste, detail, catalogue::text("history.reveal"), "-", remove}));
        r.f.model.toggleReveal(card);
        menu.reset(rows->createContextMenu(r.indexOf(card), nullptr));
        QCOMPARE(menuTexts(menu.get()),
                 (QStringList{copy, paste, detail, catalogue::text("history.hide"), "-", remove}));
    }

    void contextMenuEntriesAct()
    {
        RowFixture r;
        const ClipItem card = r.store(QStringLiteral("4111 1111 1111 1111"), ClipType::Text, true);
        std::unique_ptr<QMenu> menu(r.view.rowView()->createContextMenu(r.indexOf(card), nullptr));
        QSignalSpy pasted(r.view.rowView(), &ClipRowView::pasteRequested);
        menu->actions().at(1)->trigger();
        QCOMPARE(pasted.size(), 1);
        QCOMPARE(pasted.at(0).at(0).value<ClipItem>().id, card.id);
        menu->actions().at(3)->trigger();
        QVERIFY(r.f.model.isRevealed(card.id));
        // A sensitive entry has no hover delete button, but the menu still deletes it.
        menu->actions().last()->trigger();
        QVERIFY(r.f.storedTexts().isEmpty());
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

    void ageUsesTheLargestWholeUnit_data()
    {
        QTest::addColumn<qint64>("offset");
        QTest::addColumn<qint64>("count");
        QTest::addColumn<RelativeAgeFormatter::Unit>("unit");
        using U = RelativeAgeFormatter::Unit;
        QTest::newRow("59 seconds") << qint64(-59) << qint64(-59) << U::Second;
        QTest::newRow("a minute") << qint64(-60) << qint64(-1) << U::Minute;
        QTest::newRow("an hour") << qint64(-3600) << qint64(-1) << U::Hour;
        QTest::newRow("a week") << qint64(-7 * 86400) << qint64(-1) << U::Week;
        QTest::newRow("a month") << qint64(-31 * 86400) << qint64(-1) << U::Month;
        QTest::newRow("a year") << qint64(-366 * 86400) << qint64(-1) << U::Year;
        QTest::newRow("in the future") << qint64(120) << qint64(2) << U::Minute;
    }
    void ageUsesTheLargestWholeUnit()
    {
        QFETCH(qint64, offset);
        QFETCH(qint64, count);
        QFETCH(RelativeAgeFormatter::Unit, unit);
        const QDateTime now(QDate(2026, 3, 15), QTime(12, 0));
        const RelativeAgeFormatter::Age age = RelativeAgeFormatter::age(now.addSecs(offset), now);
        QCOMPARE(age.count, count);
        QCOMPARE(age.unit, unit);
    }

    void ageTextFollowsTheLocale_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<qint64>("offsetMs");
        QTest::addColumn<QString>("text");
        const QLocale english(QLocale::English);
        const QLocale spanish(QLocale::Spanish);
        QTest::newRow("an hour ago") << english << qint64(-3600000) << "1 hr. ago";
        QTest::newRow("an hour ago, Spanish") << spanish << qint64(-3600000) << "hace 1 h";
        // ICU writes a plain zero as the future.
        QTest::newRow("same instant") << english << qint64(0) << "0 sec. ago";
        QTest::newRow("under a second ahead") << english << qint64(400) << "0 sec. ago";
        QTest::newRow("ahead") << english << qint64(120000) << "in 2 min.";
    }
    void ageTextFollowsTheLocale()
    {
        QFETCH(QLocale, locale);
        QFETCH(qint64, offsetMs);
        QFETCH(QString, text);
        const QDateTime now(QDate(2026, 3, 15), QTime(12, 0));
        QCOMPARE(RelativeAgeFormatter::text(now.addMSecs(offsetMs), now, locale), text);
    }

    void previewTextKeepsTwoLines_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("lines");
        const QString ellipsis(QChar(0x2026));
        QTest::newRow("two lines") << "one\ntwo" << QStringList{"one", "two"};
        QTest::newRow("three lines") << "one\ntwo\nthree" << QStringList{"one", "two" + ellipsis};
        QTest::newRow("windows line ends") << "one\r\ntwo" << QStringList{"one", "two"};
        QTest::newRow("empty") << "" << QStringList{""};
    }
    void previewTextKeepsTwoLines()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, lines);
        QCOMPARE(ClipRowView::wrappedLines(text, QFont(), 300, 2), lines);
    }

    void longPreviewTextEndsInAnEllipsis()
    {
        const QString text = QStringLiteral("word ").repeated(400);
        const QStringList lines = ClipRowView::wrappedLines(text, QFont(), 200, 2);
        QCOMPARE(lines.size(), 2);
        QVERIFY(lines.last().endsWith(QChar(0x2026)));
        QVERIFY(QFontMetrics(QFont()).horizontalAdvance(lines.last()) <= 200);
    }

    // Styled previews are cut like plain ones: two lines, an ellipsis when text is left.
    void styledPreviewKeepsTwoLines_data()
    {
        QTest::addColumn<QString>("html");
        QTest::addColumn<QString>("shown");
        const QString ellipsis(QChar(0x2026));
        QTest::newRow("two paragraphs") << "<p>one</p><p>two</p>"
                                        << "one\ntwo";
        QTest::newRow("three paragraphs") << "<p>one</p><p>two</p><p>three</p>"
                                          << "one\ntwo" + ellipsis;
        QTest::newRow("long paragraph")
            << "<b>Release</b> " + QStringLiteral("word ").repeated(60) << "";
    }
    void styledPreviewKeepsTwoLines()
    {
        QFETCH(QString, html);
        QFETCH(QString, shown);
        QTextDocument document;
        document.setHtml(html);
        document.setDocumentMargin(0);
        document.setTextWidth(200);
        elideToLines(document, 2);
        int lines = 0;
        for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
            lines += block.layout()->lineCount();
        QVERIFY(lines <= 2);
        if (!shown.isEmpty()) {
            QCOMPARE(document.toPlainText(), shown);
            return;
        }
        QCOMPARE(lines, 2);
        QVERIFY(document.toPlainText().endsWith(QChar(0x2026)));
        QVERIFY(document.toPlainText().startsWith(QLatin1String("Release word")));
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

    void clickMovesTheHighlightAndDoubleClickCopies()
    {
        RowFixture r;
        const ClipItem older = r.store(QStringLiteral("older"));
        r.store(QStringLiteral("newer"));
        r.view.listView()->doItemsLayout();
        QTest::mouseClick(r.view.listView()->viewport(), Qt::LeftButton, {}, r.centreOf(older));
        QCOMPARE(r.f.model.selectedIndex(), std::optional<qsizetype>(1));
        QCOMPARE(r.f.platform.pasteboard->content().string, std::nullopt);
        QTest::mouseDClick(r.view.listView()->viewport(), Qt::LeftButton, {}, r.centreOf(older));
        QCOMPARE(r.f.platform.pasteboard->content().string,
                 std::optional<QString>(QStringLiteral("older")));
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

    void unreadablePreviewsFallBack()
    {
        PreviewCache cache(
            [](const QUuid&) { return [] { return std::optional<QByteArray>("garbage"); }; });
        QSignalSpy ready(&cache, &PreviewCache::previewReady);
        const QUuid image = QUuid::createUuid();
        const QUuid rtf = QUuid::createUuid();
        cache.thumbnail(image, QSize(100, 100));
        cache.rtfPreview(rtf);
        QTRY_COMPARE(ready.size(), 2);
        QCOMPARE(cache.thumbnail(image, QSize(100, 100)).state, PreviewCache::State::Unreadable);
        QCOMPARE(cache.rtfPreview(rtf).state, PreviewCache::State::Unreadable);

        PreviewCache missing(
            [](const QUuid&) { return [] { return std::optional<QByteArray>(); }; });
        QTRY_COMPARE(missing.rtfPreview(rtf).state, PreviewCache::State::Unreadable);
    }

    void rtfPreviewsKeepTheTextAndDropSizes()
    {
        const QByteArray rtf(
            "{\\rtf1\\ansi{\\fonttbl{\\f0 Helvetica;}}\\f0\\fs48 {\\b Big} words\\par}");
        PreviewCache cache(
            [&rtf](const QUuid&) { return [&rtf] { return std::optional<QByteArray>(rtf); }; });
        QSignalSpy ready(&cache, &PreviewCache::previewReady);
        const QUuid id = QUuid::createUuid();
        cache.rtfPreview(id);
        QTRY_VERIFY(!ready.isEmpty());
        const PreviewCache::RtfPreview preview = cache.rtfPreview(id);
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
