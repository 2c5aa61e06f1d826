// SPDX-License-Identifier: GPL-3.0-or-later
// The detail page of the history window: a header with the back button above the entry.
#pragma once

#include "storage/clip_item.h"

#include <QWidget>

class QLabel;

namespace nabrix {

class AppModel;
class ClipDetailView;
class SymbolButton;

class HistoryDetailPage : public QWidget {
    Q_OBJECT
public:
    explicit HistoryDetailPage(AppModel& model, QWidget* parent = nullptr);

    void setItem(const ClipItem& item);
    static QString typeSymbol(ClipType type);

    ClipDetailView* detailView() const { return m_detail; }
    SymbolButton* backButton() const { return m_back; }
    QWidget* sensitiveBadge() const { return m_badge; }

private:
    AppModel& m_model;
    SymbolButton* m_back;
    QLabel* m_typeIcon;
    QWidget* m_badge;
    ClipDetailView* m_detail;
};

} // namespace nabrix
