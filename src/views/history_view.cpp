// SPDX-License-Identifier: GPL-3.0-or-later
// The history window's content: pages, list wiring, overlays and the age clock.
#include "views/history_view.h"

#include "app/app_model.h"
#include "history/history_list_model.h"
#include "i18n/text_catalogue.h"
#include "views/clip_row_view.h"
#include "views/confirmation_card.h"
#include "views/custom_range_sheet.h"
#include "views/divider.h"
#include "views/history_detail_page.h"
#include "views/history_footer.h"
#include "views/overlay_layer.h"
#include "views/row_description_model.h"
#include "views/search_bar.h"
#include "views/theme.h"
#include "views/time_range_menu.h"

#include <QAbstractItemModel>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPainter>
#include <QPainterPath>
#include <QPropertyAnimation>
#include <QScrollBar>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace nabrix {

namespace {

// Past this many rows every row gets the same height, so that a change of the list never
// asks each of its rows for its height (and so for its text).
constexpr int uniformHeightRows = 1000;
constexpr std::chrono::milliseconds scrollDuration{150};
constexpr int outlineWidth = 1;

} // namespace

HistoryView::HistoryView(AppModel& model, QAbstractItemModel& list, QWidget* parent)
    : QWidget(parent)
    , m_model(model)
    , m_list(list)
    , m_historyList(qobject_cast<HistoryListModel*>(&list))
    , m_now(m_clock())
    , m_pages(new QStackedWidget(this))
    , m_search(nullptr)
    , m_listStack(nullptr)
    , m_emptyState(nullptr)
    , m_listView(nullptr)
    , m_rows(nullptr)
    , m_footer(new HistoryFooter(model, this))
    , m_detailPage(new HistoryDetailPage(model, this))
    , m_overlays(nullptr)
    , m_scrollAnimation(nullptr)
{
    setObjectName(QStringLiteral("historyView"));
    // Short screens get a shorter window (HistoryWindow::sizeFor): the list gives way.
    setFixedWidth(contentSize.width());
    setMaximumHeight(contentSize.height());
    // Dark whatever the desktop's theme.
    setPalette(Theme::darkPalette());
    setAutoFillBackground(true);

    m_pages->addWidget(makeListPage());
    m_pages->addWidget(m_detailPage);
    auto* layout = new QVBoxLayout(this);
    // Room for the outline (paintEvent).
    layout->setContentsMargins(outlineWidth, outlineWidth, outlineWidth, outlineWidth);
    layout->setSpacing(0);
    layout->addWidget(m_pages);

    m_overlays = new OverlayLayer(this);
    m_scrollAnimation = new QPropertyAnimation(m_listView->verticalScrollBar(), "value", this);
    m_scrollAnimation->setDuration(static_cast<int>(scrollDuration.count()));
    m_scrollAnimation->setEasingCurve(QEasingCurve::OutCubic);

    m_clockTimer.setInterval(clockInterval);
    connect(&m_clockTimer, &QTimer::timeout, this, &HistoryView::refreshNow);
    m_rows->setNow(m_now);

    connectRows();
    connectList();
    connectFooter();
    connect(m_search, &SearchBar::textEdited, &m_model, &AppModel::setSearchText);
    connect(&m_model, &AppModel::searchTextChanged, this,
            [this] { m_search->setText(m_model.searchText()); });
    connect(&m_model, &AppModel::detailItemChanged, this, &HistoryView::updateDetailPage);
    connect(&m_model, &AppModel::selectedIndexChanged, this, &HistoryView::scrollToSelection);
    connect(m_overlays, &OverlayLayer::presentingChanged, this, [this](bool presenting) {
        m_model.setModalPresented(presenting);
        if (!presenting && isVisible() && !showsDetailPage())
            m_search->field()->setFocus(Qt::OtherFocusReason);
    });

    m_search->setText(m_model.searchText());
    updateEmptyState();
    updateTotalCount();
    updateLayoutMode();
    updateDetailPage();
}

HistoryView::~HistoryView()
{
    if (m_overlays->isPresenting())
        m_model.setModalPresented(false);
}

QWidget* HistoryView::makeListPage()
{
    auto* page = new QWidget(this);
    page->setObjectName(QStringLiteral("listPage"));

    m_search = new SearchBar(page);
    auto* searchRow = new QVBoxLayout;
    searchRow->setContentsMargins(10, 10, 10, 10);
    searchRow->addWidget(m_search);

    m_listView = new QListView(page);
    m_listView->setObjectName(QStringLiteral("historyList"));
    m_listView->setFrameShape(QFrame::NoFrame);
    m_listView->setFocusPolicy(Qt::NoFocus);
    m_listView->setSelectionMode(QAbstractItemView::NoSelection);
    m_listView->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_listView->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_listView->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_listView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Row heights depend on the width (text wraps), which the scroll bar changes.
    m_listView->setResizeMode(QListView::Adjust);
    m_listView->viewport()->setAutoFillBackground(false);
    m_listView->setAutoFillBackground(false);
    m_listView->verticalScrollBar()->setStyleSheet(Theme::scrollBarStyleSheet());
    m_rows = new ClipRowView(m_model, *m_listView, this);
    auto* rows = new RowDescriptionModel(*m_rows, this);
    rows->setSourceModel(&m_list);
    m_listView->setModel(rows);
    m_listView->setItemDelegate(m_rows);

    m_emptyState = makeEmptyState();
    m_listStack = new QStackedWidget(page);
    m_listStack->addWidget(m_emptyState);
    m_listStack->addWidget(m_listView);

    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(searchRow);
    layout->addWidget(new Divider(page));
    layout->addWidget(m_listStack, 1);
    layout->addWidget(new Divider(page));
    layout->addWidget(m_footer);
    return page;
}

QWidget* HistoryView::makeEmptyState()
{
    auto* state = new QWidget(this);
    state->setObjectName(QStringLiteral("emptyState"));

    constexpr int circle = 64;
    const qreal scale = devicePixelRatioF();
    QPixmap badge(QSize(circle, circle) * scale);
    badge.setDevicePixelRatio(scale);
    badge.fill(Qt::transparent);
    {
        QPainter painter(&badge);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(Theme::white(0.06));
        painter.drawEllipse(QRectF(0, 0, circle, circle));
        const int side = Theme::symbolBox(26);
        Theme::symbol(QStringLiteral("doc.on.clipboard"))
            .paint(&painter, QRect((circle - side) / 2, (circle - side) / 2, side, side));
    }
    auto* icon = new QLabel(state);
    icon->setPixmap(badge);
    icon->setFixedSize(circle, circle);

    //% "No items"
    auto* text = new QLabel(catalogue::text("history.empty"), state);
    text->setObjectName(QStringLiteral("emptyText"));
    text->setFont(Theme::font(13));
    text->setAlignment(Qt::AlignCenter);
    text->setWordWrap(true);
    QPalette palette = text->palette();
    palette.setColor(QPalette::WindowText, Theme::secondaryText());
    text->setPalette(palette);

    auto* layout = new QVBoxLayout(state);
    layout->setSpacing(12);
    layout->addStretch(1);
    layout->addWidget(icon, 0, Qt::AlignHCenter);
    layout->addWidget(text, 0, Qt::AlignHCenter);
    layout->addStretch(1);
    return state;
}

void HistoryView::connectRows()
{
    connect(m_rows, &ClipRowView::selectRequested, this, [this](const ClipItem& item, int row) {
        if (m_model.isSelecting())
            m_model.toggleChecked(item);
        else
            m_model.setSelectedIndex(row);
    });
    connect(m_rows, &ClipRowView::copyRequested, &m_model, &AppModel::select);
    connect(m_rows, &ClipRowView::pasteRequested, &m_model, &AppModel::paste);
    connect(m_rows, &ClipRowView::revealRequested, &m_model, &AppModel::toggleReveal);
    connect(m_rows, &ClipRowView::detailRequested, this,
            [this](const ClipItem& item) { m_model.setDetailItem(item); });
    // The one store write of the views; the list follows through the store's signals.
    connect(m_rows, &ClipRowView::deleteRequested, this,
            [this](const ClipItem& item) { m_model.deleteEntry(item); });
}

void HistoryView::connectList()
{
    const auto listChanged = [this] {
        updateEmptyState();
        updateTotalCount();
        updateLayoutMode();
    };
    connect(&m_list, &QAbstractItemModel::rowsInserted, this, listChanged);
    connect(&m_list, &QAbstractItemModel::rowsRemoved, this, listChanged);
    connect(&m_list, &QAbstractItemModel::modelReset, this, listChanged);
    connect(&m_list, &QAbstractItemModel::layoutChanged, this, listChanged);
    // An entry copied while the window is open is newer than the minute clock: without a
    // fresh reading it would be dated in the future.
    connect(&m_list, &QAbstractItemModel::rowsInserted, this, [this] {
        if (isVisible())
            refreshNow();
    });
    if (m_historyList) {
        connect(m_historyList, &HistoryListModel::totalCountChanged, this,
                &HistoryView::updateTotalCount);
        connect(m_historyList, &HistoryListModel::loaded, this, listChanged);
    }
}

void HistoryView::connectFooter()
{
    connect(m_footer, &HistoryFooter::clearAllRequested, this, &HistoryView::confirmClearAll);
    connect(m_footer, &HistoryFooter::deleteSelectedRequested, this,
            &HistoryView::confirmDeleteSelected);
    TimeRangeMenu* menu = m_footer->timeRangeMenu();
    connect(menu, &TimeRangeMenu::rangeChosen, this, [this](HistoryTimeRange range) {
        m_pendingSelection = TimeRangeSelection::forRange(range);
        confirmPendingSelection();
    });
    connect(menu, &TimeRangeMenu::customRangeRequested, this,
            &HistoryView::presentCustomRangeSheet);
}

void HistoryView::setClock(Clock clock)
{
    m_clock = std::move(clock);
    refreshNow();
}

void HistoryView::refreshNow()
{
    m_now = m_clock();
    m_rows->setNow(m_now);
}

bool HistoryView::showsEmptyState() const
{
    return m_listStack->currentWidget() == m_emptyState;
}

bool HistoryView::showsDetailPage() const
{
    return m_pages->currentWidget() == m_detailPage;
}

void HistoryView::updateEmptyState()
{
    // While the history is still being read, an empty list is not an empty history.
    const bool loading = m_historyList != nullptr && !m_historyList->isLoaded();
    m_listStack->setCurrentWidget(m_list.rowCount() == 0 && !loading ? m_emptyState : m_listView);
}

void HistoryView::updateTotalCount()
{
    m_footer->setTotalCount(m_historyList ? m_historyList->totalCount() : m_list.rowCount());
}

void HistoryView::updateLayoutMode()
{
    const bool uniform = m_list.rowCount() > uniformHeightRows;
    if (uniform == m_rows->uniformHeights())
        return;
    m_rows->setUniformHeights(uniform);
    m_listView->setUniformItemSizes(uniform);
}

void HistoryView::updateDetailPage()
{
    const std::optional<ClipItem>& item = m_model.detailItem();
    if (item)
        m_detailPage->setItem(*item);
    m_pages->setCurrentWidget(item ? static_cast<QWidget*>(m_detailPage) : m_pages->widget(0));
}

void HistoryView::scrollToSelection()
{
    // Rows have no geometry worth the name before the view is on screen.
    if (!isVisible()) {
        m_scrollWhenShown = true;
        return;
    }
    m_scrollWhenShown = false;
    const std::optional<qsizetype> selected = m_model.selectedIndex();
    if (!selected || *selected >= m_list.rowCount())
        return;
    const QModelIndex index = m_listView->model()->index(static_cast<int>(*selected), 0);
    QScrollBar* bar = m_listView->verticalScrollBar();
    const QRect rect = m_listView->visualRect(index);
    if (!rect.isValid())
        return;
    const int centred = bar->value() + rect.center().y() - m_listView->viewport()->height() / 2;
    const int target = std::clamp(centred, bar->minimum(), bar->maximum());
    m_scrollAnimation->stop();
    if (target == bar->value())
        return;
    m_scrollAnimation->setStartValue(bar->value());
    m_scrollAnimation->setEndValue(target);
    m_scrollAnimation->start();
}

ConfirmationCard* HistoryView::presentConfirmation(const QString& title, const QString& message)
{
    auto* card = new ConfirmationCard(title, message);
    m_overlays->present(card);
    return card;
}

void HistoryView::confirmClearAll()
{
    //% "Clear history"
    ConfirmationCard* card = presentConfirmation(catalogue::text("history.clearAll.title"),
                                                 //% "Every item in the history will be deleted. "
                                                 //% "This can’t be undone."
                                                 catalogue::text("history.clearAll.message"));
    connect(card, &ConfirmationCard::confirmed, &m_model, &AppModel::clearAll);
}

void HistoryView::confirmDeleteSelected()
{
    const qsizetype checked = m_model.checkedVisibleItems().size();
    if (checked == 0)
        return;
    //% "Delete selected items"
    ConfirmationCard* card =
        presentConfirmation(catalogue::text("history.deleteSelected.title"),
                            //% "%1 selected items will be deleted. This can’t be undone."
                            catalogue::text("history.deleteSelected.message", checked));
    connect(card, &ConfirmationCard::confirmed, &m_model, &AppModel::deleteChecked);
}

void HistoryView::confirmPendingSelection()
{
    if (!m_pendingSelection)
        return;
    //% "Delete older items"
    ConfirmationCard* card = presentConfirmation(catalogue::text("history.deleteOlderThan.title"),
                                                 m_pendingSelection->message);
    const QUuid request = m_pendingSelection->id;
    connect(card, &ConfirmationCard::confirmed, this, [this, request] {
        if (m_pendingSelection && m_pendingSelection->id == request)
            m_model.deleteOlderThan(m_pendingSelection->seconds);
    });
    // Confirmed, cancelled or dismissed: the request is over.
    connect(card, &ConfirmationCard::finished, this, [this, request] {
        if (m_pendingSelection && m_pendingSelection->id == request)
            m_pendingSelection.reset();
    });
}

void HistoryView::presentCustomRangeSheet()
{
    auto* sheet = new CustomRangeSheet;
    connect(sheet, &CustomRangeSheet::confirmed, this,
            [this](double seconds, const QString& message) {
                m_pendingSelection = TimeRangeSelection::make(seconds, message);
            });
    // The confirmation comes up once the sheet has gone.
    connect(sheet, &CustomRangeSheet::finished, this, &HistoryView::confirmPendingSelection);
    m_overlays->present(sheet);
}

void HistoryView::paintEvent(QPaintEvent*)
{
    // Without an outline the window's edge vanishes against a dark desktop.
    QPainter painter(this);
    QPainterPath outline;
    outline.addRect(rect());
    outline.addRect(rect().adjusted(outlineWidth, outlineWidth, -outlineWidth, -outlineWidth));
    painter.fillPath(outline, Theme::separator());
}

void HistoryView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    refreshNow();
    m_clockTimer.start();
    m_model.historyShown();
    m_model.installKeyMonitor();
    QTimer::singleShot(0, this, [this] {
        if (m_scrollWhenShown)
            scrollToSelection();
        if (!m_overlays->isPresenting() && !showsDetailPage())
            m_search->field()->setFocus(Qt::OtherFocusReason);
    });
}

void HistoryView::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    m_clockTimer.stop();
    m_scrollAnimation->stop();
    // A dialog does not outlive its window.
    m_overlays->dismiss();
    m_model.removeKeyMonitor();
}

} // namespace nabrix
