// SPDX-License-Identifier: GPL-3.0-or-later
// Footer buttons, counts and menus of the list page.
#include "views/history_footer.h"

#include "app/app_model.h"
#include "i18n/text_catalogue.h"
#include "views/symbol_button.h"
#include "views/theme.h"
#include "views/time_range_menu.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QStackedWidget>

namespace nabrix {

namespace {

QLabel* makeCountLabel(QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setFont(Theme::font(11));
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Theme::tertiaryText());
    label->setPalette(palette);
    return label;
}

QHBoxLayout* barLayout(QWidget* bar)
{
    auto* layout = new QHBoxLayout(bar);
    layout->setContentsMargins(10, 5, 10, 5);
    layout->setSpacing(8);
    return layout;
}

} // namespace

HistoryFooter::HistoryFooter(AppModel& model, QWidget* parent)
    : QWidget(parent)
    , m_model(model)
    , m_pages(new QStackedWidget(this))
{
    setObjectName(QStringLiteral("historyFooter"));
    m_pages->addWidget(makeFooter());
    m_pages->addWidget(makeSelectionToolbar());
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_pages);

    connect(&model, &AppModel::isSelectingChanged, this, [this] {
        m_pages->setCurrentIndex(m_model.isSelecting() ? 1 : 0);
        updateSelectionToolbar();
    });
    connect(&model, &AppModel::selectedItemIDsChanged, this,
            &HistoryFooter::updateSelectionToolbar);
    connect(&model, &AppModel::visibleItemsChanged, this, &HistoryFooter::updateSelectionToolbar);
    m_pages->setCurrentIndex(m_model.isSelecting() ? 1 : 0);
    updateFooter();
    updateSelectionToolbar();
}

QWidget* HistoryFooter::makeFooter()
{
    auto* bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("footer"));
    QHBoxLayout* layout = barLayout(bar);

    //% "Settings…"
    m_settings = new SymbolButton(QStringLiteral("gearshape"), catalogue::text("history.settings"),
                                  22, 13, bar);
    m_settings->setObjectName(QStringLiteral("settingsMenuButton"));
    m_settingsMenu = new QMenu(this);
    m_settingsMenu->setObjectName(QStringLiteral("settingsMenu"));
    //% "Settings…"
    m_settingsMenu->addAction(Theme::symbol(QStringLiteral("gearshape"), Theme::primaryText()),
                              catalogue::text("history.settings"), &m_model,
                              &AppModel::openSettings);
    m_settingsMenu->addSeparator();
    //% "Quit Nabrix"
    m_settingsMenu->addAction(catalogue::text("history.quit"), qApp, &QCoreApplication::quit);
    connect(m_settings, &SymbolButton::clicked, this,
            [this] { showMenu(m_settingsMenu, m_settings); });

    m_count = makeCountLabel(bar);
    m_count->setObjectName(QStringLiteral("itemsCount"));

    //% "Select items"
    m_select = new SymbolButton(QStringLiteral("checkmark.circle"),
                                catalogue::text("history.select"), 22, 12, bar);
    m_select->setObjectName(QStringLiteral("selectButton"));
    connect(m_select, &SymbolButton::clicked, &m_model, &AppModel::toggleSelectionMode);

    //% "Delete older items"
    m_age = new SymbolButton(QStringLiteral("clock.arrow.circlepath"),
                             catalogue::text("history.deleteOlderThan.title"), 22, 12, bar);
    m_age->setObjectName(QStringLiteral("ageButton"));
    m_ageMenu = new TimeRangeMenu(this);
    connect(m_age, &SymbolButton::clicked, this, [this] {
        Q_EMIT ageMenuShown();
        showMenu(m_ageMenu, m_age);
    });

    //% "Clear history"
    m_clearAll = new SymbolButton(QStringLiteral("trash"),
                                  catalogue::text("history.clearAll.title"), 22, 12, bar);
    m_clearAll->setObjectName(QStringLiteral("clearAllButton"));
    m_clearAll->setSymbolColor(Theme::destructive());
    connect(m_clearAll, &SymbolButton::clicked, this, &HistoryFooter::clearAllRequested);

    layout->addWidget(m_settings);
    layout->addStretch(1);
    layout->addWidget(m_count);
    layout->addWidget(m_select);
    layout->addWidget(m_age);
    layout->addWidget(m_clearAll);
    return bar;
}

QWidget* HistoryFooter::makeSelectionToolbar()
{
    auto* bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("selectionToolbar"));
    QHBoxLayout* layout = barLayout(bar);

    //% "Select all"
    m_selectAll = new SymbolButton(QStringLiteral("checkmark.circle"),
                                   catalogue::text("history.selectAll"), 22, 12, bar);
    m_selectAll->setObjectName(QStringLiteral("selectAllButton"));
    connect(m_selectAll, &SymbolButton::clicked, &m_model, &AppModel::toggleAllChecked);

    m_selectedCount = makeCountLabel(bar);
    m_selectedCount->setObjectName(QStringLiteral("selectedCount"));

    //% "Done"
    m_done =
        new SymbolButton(QStringLiteral("xmark"), catalogue::text("history.done"), 22, 12, bar);
    m_done->setObjectName(QStringLiteral("doneButton"));
    connect(m_done, &SymbolButton::clicked, &m_model, &AppModel::toggleSelectionMode);

    //% "Delete selected"
    m_deleteSelected = new SymbolButton(QStringLiteral("trash"),
                                        catalogue::text("history.deleteSelected"), 22, 12, bar);
    m_deleteSelected->setObjectName(QStringLiteral("deleteSelectedButton"));
    m_deleteSelected->setSymbolColor(Theme::destructive());
    connect(m_deleteSelected, &SymbolButton::clicked, this,
            &HistoryFooter::deleteSelectedRequested);

    layout->addWidget(m_selectAll);
    layout->addStretch(1);
    layout->addWidget(m_selectedCount);
    layout->addWidget(m_done);
    layout->addWidget(m_deleteSelected);
    return bar;
}

void HistoryFooter::setTotalCount(qsizetype count)
{
    if (count == m_totalCount && !m_count->text().isEmpty())
        return;
    m_totalCount = count;
    updateFooter();
}

void HistoryFooter::updateFooter()
{
    const bool empty = m_totalCount == 0;
    //% "%1 items"
    m_count->setText(catalogue::text("history.itemsCount", m_totalCount));
    m_count->setVisible(!empty);
    m_select->setEnabled(!empty);
    m_age->setEnabled(!empty);
    m_clearAll->setEnabled(!empty);
}

void HistoryFooter::updateSelectionToolbar()
{
    const bool allChecked = m_model.allChecked();
    m_selectAll->setSymbol(allChecked ? QStringLiteral("checkmark.circle.fill")
                                      : QStringLiteral("checkmark.circle"));
    m_selectAll->setSymbolColor(allChecked ? Theme::accent() : Theme::secondaryText());
    //% "Deselect all"
    m_selectAll->setDescription(allChecked ? catalogue::text("history.deselectAll")
                                           //% "Select all"
                                           : catalogue::text("history.selectAll"));
    m_selectAll->setEnabled(m_model.history().rowCount() > 0);
    // Checks of entries the search hides are neither counted nor deleted.
    const qsizetype checked = m_model.checkedVisibleItems().size();
    //% "%1 selected"
    m_selectedCount->setText(catalogue::text("history.selectedCount", checked));
    m_deleteSelected->setEnabled(checked > 0);
}

bool HistoryFooter::showsSelectionToolbar() const
{
    return m_pages->currentIndex() == 1;
}

void HistoryFooter::showMenu(QMenu* menu, QWidget* button)
{
    // Above the button: the footer is the bottom of the window.
    const QSize size = menu->sizeHint();
    menu->popup(button->mapToGlobal(QPoint(0, -size.height())));
}

void HistoryFooter::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Theme::black(0.12));
}

} // namespace nabrix
