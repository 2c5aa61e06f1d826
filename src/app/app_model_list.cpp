// SPDX-License-Identifier: GPL-3.0-or-later
// AppModel: the visible list, the highlight, selection mode and the history's keys.
#include "app/app_model.h"

#include "app/key_monitor.h"
#include "app/status_item_controller.h"

#include <QKeyEvent>
#include <QPointer>
#include <algorithm>

namespace nabrix {

void AppModel::followHistory()
{
    Q_EMIT visibleItemsChanged();
    historyShown();
}

void AppModel::historyShown()
{
    const int rows = m_history->rowCount();
    if (rows == 0)
        setSelectedIndex(std::nullopt);
    else if (!m_selectedIndex || *m_selectedIndex >= rows)
        setSelectedIndex(0);
}

void AppModel::moveSelection(int step)
{
    if (m_history->rowCount() == 0)
        return;
    const qsizetype last = m_history->rowCount() - 1;
    if (m_selectedIndex)
        setSelectedIndex(std::clamp<qsizetype>(*m_selectedIndex + step, 0, last));
    else
        setSelectedIndex(step < 1 ? last : 0);
}

void AppModel::installKeyMonitor()
{
    if (m_keyMonitor)
        return;
    const QPointer<AppModel> model(this);
    m_keyMonitor = std::make_unique<KeyMonitor>(
        [model]() -> QWindow* {
            if (!model || model->m_statusItemController == nullptr)
                return nullptr;
            return model->m_statusItemController->presentedWindow();
        },
        [model](const QKeyEvent& event) { return model && model->handleKeyEvent(event); });
}

void AppModel::removeKeyMonitor()
{
    m_keyMonitor.reset();
}

bool AppModel::handleKeyEvent(const QKeyEvent& event)
{
    if (m_isModalPresented)
        return false;
    const std::optional<ClipItem> detail = m_detailItem;

    // Modifiers matter for A alone: every other key acts the same with or without them.
    if (event.key() == Qt::Key_A && event.modifiers().testFlag(Qt::ControlModifier)) {
        if (m_isSelecting && !detail) {
            toggleAllChecked();
            return true;
        }
        return false;
    }

    switch (event.key()) {
    case Qt::Key_Down:
    case Qt::Key_Up:
        if (detail)
            return false;
        moveSelection(event.key() == Qt::Key_Down ? +1 : -1);
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (detail)
            select(*detail);
        else
            activateHighlighted();
        return true;
    case Qt::Key_Escape:
        if (detail)
            setDetailItem(std::nullopt);
        else if (m_isSelecting)
            toggleSelectionMode();
        else
            closeHistory();
        return true;
    case Qt::Key_Space:
        if (m_isSelecting && !detail && m_selectedIndex &&
            *m_selectedIndex < m_history->rowCount()) {
            toggleChecked(m_history->itemAt(*m_selectedIndex));
            return true;
        }
        return false;
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
        if (detail)
            return false;
        if (!m_isSelecting) {
            // The raw text: a field holding only spaces is still being edited.
            if (!m_searchText.isEmpty())
                return false;
            deleteHighlighted();
            return true;
        }
        if (!m_selectedItemIDs.isEmpty())
            deleteChecked();
        return true;
    default:
        return false;
    }
}

void AppModel::activateHighlighted()
{
    const qsizetype index = m_selectedIndex.value_or(0);
    if (index >= m_history->rowCount())
        return;
    select(m_history->itemAt(index));
}

void AppModel::toggleSelectionMode()
{
    setSelecting(!m_isSelecting);
    if (!m_isSelecting)
        setSelectedItemIDs({});
}

void AppModel::toggleChecked(const ClipItem& item)
{
    QSet<QUuid> ids = m_selectedItemIDs;
    if (!ids.remove(item.id))
        ids.insert(item.id);
    setSelectedItemIDs(ids);
}

bool AppModel::allChecked() const
{
    // Every visible entry, not just as many checks as rows: checks of entries the search
    // hides must not make the visible ones look checked.
    const qsizetype count = m_history->rowCount();
    if (count == 0)
        return false;
    for (qsizetype index = 0; index < count; ++index) {
        if (!m_selectedItemIDs.contains(m_history->idAt(index)))
            return false;
    }
    return true;
}

void AppModel::toggleAllChecked()
{
    if (allChecked()) {
        setSelectedItemIDs({});
        return;
    }
    const qsizetype count = m_history->rowCount();
    QSet<QUuid> ids;
    ids.reserve(count);
    for (qsizetype index = 0; index < count; ++index)
        ids.insert(m_history->idAt(index));
    setSelectedItemIDs(ids);
}

QList<ClipItem> AppModel::checkedVisibleItems() const
{
    QList<ClipItem> checked;
    if (m_selectedItemIDs.isEmpty())
        return checked;
    const qsizetype count = m_history->rowCount();
    for (qsizetype index = 0; index < count; ++index) {
        if (m_selectedItemIDs.contains(m_history->idAt(index)))
            checked.append(m_history->itemAt(index));
    }
    return checked;
}

} // namespace nabrix
