// SPDX-License-Identifier: GPL-3.0-or-later
// The history's bottom bar: the footer, or the selection toolbar in selection mode.
#pragma once

#include <QWidget>

class QLabel;
class QStackedWidget;

namespace nabrix {

class AppModel;
class SymbolButton;
class TimeRangeMenu;

class HistoryFooter : public QWidget {
    Q_OBJECT
public:
    explicit HistoryFooter(AppModel& model, QWidget* parent = nullptr);

    // The number of entries in the whole history, whatever the search shows.
    void setTotalCount(qsizetype count);

    QLabel* countLabel() const { return m_count; }
    QLabel* selectedCountLabel() const { return m_selectedCount; }
    SymbolButton* settingsButton() const { return m_settings; }
    SymbolButton* selectButton() const { return m_select; }
    SymbolButton* ageButton() const { return m_age; }
    SymbolButton* clearAllButton() const { return m_clearAll; }
    SymbolButton* selectAllButton() const { return m_selectAll; }
    SymbolButton* doneButton() const { return m_done; }
    SymbolButton* deleteSelectedButton() const { return m_deleteSelected; }
    TimeRangeMenu* timeRangeMenu() const { return m_ageMenu; }
    bool showsSelectionToolbar() const;

Q_SIGNALS:
    void clearAllRequested();
    void deleteSelectedRequested();
    void ageMenuShown();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QWidget* makeFooter();
    QWidget* makeSelectionToolbar();
    void updateFooter();
    void updateSelectionToolbar();
    void showMenu(QMenu* menu, QWidget* button);

    AppModel& m_model;
    qsizetype m_totalCount = 0;
    QStackedWidget* m_pages;
    QLabel* m_count = nullptr;
    QLabel* m_selectedCount = nullptr;
    SymbolButton* m_settings = nullptr;
    SymbolButton* m_select = nullptr;
    SymbolButton* m_age = nullptr;
    SymbolButton* m_clearAll = nullptr;
    SymbolButton* m_selectAll = nullptr;
    SymbolButton* m_done = nullptr;
    SymbolButton* m_deleteSelected = nullptr;
    QMenu* m_settingsMenu = nullptr;
    TimeRangeMenu* m_ageMenu = nullptr;
};

} // namespace nabrix
