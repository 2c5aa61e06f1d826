// SPDX-License-Identifier: GPL-3.0-or-later
// The whole content of the history window: search, list, footer, detail page and overlays.
#pragma once

#include "storage/clock.h"
#include "views/time_range_selection.h"

#include <QDateTime>
#include <QTimer>
#include <QWidget>
#include <optional>

class QAbstractItemModel;
class QListView;
class QPropertyAnimation;
class QStackedWidget;

namespace nabrix {

class AppModel;
class ClipRowView;
class ConfirmationCard;
class HistoryDetailPage;
class HistoryFooter;
class HistoryListModel;
class OverlayLayer;
class SearchBar;

// Owns no history data: `list` holds the filtered entries (one ClipItemRole per row) and
// the shared view state lives in `model`. Confirmations and the custom-age sheet are drawn
// inside the view; while one is up the model's isModalPresented is true.
class HistoryView : public QWidget {
    Q_OBJECT
public:
    static constexpr QSize contentSize{380, 480};
    static constexpr std::chrono::seconds clockInterval{60};

    // `list` is the filtered history (one ClipItemRole per row); both outlive the view.
    HistoryView(AppModel& model, QAbstractItemModel& list, QWidget* parent = nullptr);
    ~HistoryView() override;

    QSize sizeHint() const override { return contentSize; }

    // Where the rows' "now" comes from; the system clock unless a test sets another.
    void setClock(Clock clock);
    QDateTime now() const { return m_now; }
    // Reads the clock again, as the minute timer does.
    void refreshNow();

    SearchBar* searchBar() const { return m_search; }
    QListView* listView() const { return m_listView; }
    ClipRowView* rowView() const { return m_rows; }
    HistoryFooter* footer() const { return m_footer; }
    HistoryDetailPage* detailPage() const { return m_detailPage; }
    OverlayLayer* overlays() const { return m_overlays; }
    QWidget* emptyState() const { return m_emptyState; }
    bool showsEmptyState() const;
    bool showsDetailPage() const;
    const std::optional<TimeRangeSelection>& pendingSelection() const { return m_pendingSelection; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QWidget* makeListPage();
    QWidget* makeEmptyState();
    void connectRows();
    void connectList();
    void connectFooter();
    void updateEmptyState();
    void updateTotalCount();
    void updateLayoutMode();
    void updateDetailPage();
    void scrollToSelection();
    void confirmClearAll();
    void confirmDeleteSelected();
    void confirmPendingSelection();
    void presentCustomRangeSheet();
    ConfirmationCard* presentConfirmation(const QString& title, const QString& message);

    AppModel& m_model;
    QAbstractItemModel& m_list;
    HistoryListModel* m_historyList;
    Clock m_clock = systemClock();
    QDateTime m_now;
    QTimer m_clockTimer;
    QStackedWidget* m_pages;
    SearchBar* m_search;
    QStackedWidget* m_listStack;
    QWidget* m_emptyState;
    QListView* m_listView;
    ClipRowView* m_rows;
    HistoryFooter* m_footer;
    HistoryDetailPage* m_detailPage;
    OverlayLayer* m_overlays;
    QPropertyAnimation* m_scrollAnimation;
    std::optional<TimeRangeSelection> m_pendingSelection;
    bool m_scrollWhenShown = false;
};

} // namespace nabrix
