// SPDX-License-Identifier: GPL-3.0-or-later
// The history list's rows: gestures, the hovered row's buttons and the context menu.
#include "views/clip_row_view.h"

#include "app/app_model.h"
#include "history/history_roles.h"
#include "i18n/text_catalogue.h"
#include "views/clip_detail_view.h"
#include "views/clip_row_actions.h"
#include "views/clip_row_menu.h"
#include "views/preview_cache.h"

#include <QContextMenuEvent>
#include <QListView>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>

namespace nabrix {

ClipRowView::ClipRowView(AppModel& model, QListView& view, QObject* parent)
    : QStyledItemDelegate(parent)
    , m_model(model)
    , m_view(view)
    , m_previews(
          new PreviewCache([&model](const QUuid& id) { return model.contentLoad(id); }, this))
    , m_content(model)
    , m_painter(model, *m_previews)
    , m_actions(new ClipRowActions(view.viewport()))
    , m_now(QDateTime::currentDateTime())
{
    m_actions->hide();
    view.setMouseTracking(true);
    view.viewport()->setAttribute(Qt::WA_Hover);
    view.viewport()->installEventFilter(this);

    connect(m_previews, &PreviewCache::previewReady, this, [this] { m_view.viewport()->update(); });
    connect(&model, &AppModel::rowContentReady, this, [this] { m_view.viewport()->update(); });
    connect(&view, &QListView::clicked, this, [this](const QModelIndex& index) {
        Q_EMIT selectRequested(itemAt(index), index.row());
    });
    connect(&view, &QListView::doubleClicked, this,
            [this](const QModelIndex& index) { Q_EMIT copyRequested(itemAt(index)); });
    connect(m_actions, &ClipRowActions::copyClicked, this, &ClipRowView::copyRequested);
    connect(m_actions, &ClipRowActions::detailClicked, this, &ClipRowView::detailRequested);
    connect(m_actions, &ClipRowActions::revealClicked, this, &ClipRowView::revealRequested);
    connect(m_actions, &ClipRowActions::deleteClicked, this, &ClipRowView::deleteRequested);
    connect(view.verticalScrollBar(), &QScrollBar::valueChanged, this, &ClipRowView::updateHover);

    // Every row shows some of this state.
    for (auto signal : {&AppModel::selectedIndexChanged, &AppModel::revealedIDsChanged,
                        &AppModel::isSelectingChanged, &AppModel::selectedItemIDsChanged,
                        &AppModel::flashCopyIDChanged})
        connect(&model, signal, this, &ClipRowView::updateAllRows);
    // Revealing and selection mode change what the rows hold, hence their heights.
    connect(&model, &AppModel::revealedIDsChanged, &view, &QListView::doItemsLayout);
    connect(&model, &AppModel::isSelectingChanged, &view, &QListView::doItemsLayout);
}

ClipRowView::~ClipRowView() = default;

void ClipRowView::setNow(const QDateTime& now)
{
    if (now == m_now)
        return;
    m_now = now;
    m_view.viewport()->update();
}

void ClipRowView::setUniformHeights(bool uniform)
{
    m_painter.setUniformHeights(uniform);
}

ClipItem ClipRowView::itemAt(const QModelIndex& index) const
{
    return index.data(ClipItemRole).value<ClipItem>();
}

QString ClipRowView::maskText()
{
    return ClipRowContentBuilder::maskText();
}

QStringList ClipRowView::wrappedLines(const QString& text, const QFont& font, int width,
                                      int maxLines)
{
    return ClipRowPainter::wrappedLines(text, font, width, maxLines);
}

ClipRowView::Content ClipRowView::content(const QModelIndex& index) const
{
    return content(itemAt(index), index.row());
}

ClipRowView::Content ClipRowView::content(const ClipItem& item, int row) const
{
    const std::optional<int> hoveredRow =
        m_hovered.isValid() ? std::optional<int>(m_hovered.row()) : std::nullopt;
    return m_content.build(item, {.row = row, .hoveredRow = hoveredRow}, m_now);
}

QString ClipRowView::accessibleName(const QModelIndex& index) const
{
    // Spoken names stay short: a long entry is read out from the detail page.
    constexpr qsizetype spokenCharacters = 200;
    const ClipItem item = itemAt(index);
    const Content c = content(item, index.row());
    QStringList parts;
    if (c.masked)
        //% "Hidden sensitive content"
        parts.append(catalogue::text("history.masked"));
    else if (const QString text = c.text.left(spokenCharacters).simplified(); !text.isEmpty())
        parts.append(text);
    parts.append(ClipDetailView::typeName(item.type));
    parts.append(c.age);
    return parts.join(QStringLiteral(", "));
}

QMenu* ClipRowView::createContextMenu(const QModelIndex& index, QWidget* parent)
{
    return ClipRowMenu::create(m_model, *this, itemAt(index), parent);
}

void ClipRowView::paint(QPainter* painter, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const
{
    const ClipItem item = itemAt(index);
    m_painter.paint(painter, option.rect, item, content(item, index.row()));
}

QSize ClipRowView::sizeHint(const QStyleOptionViewItem&, const QModelIndex& index) const
{
    return m_painter.sizeHint(itemAt(index), m_view.viewport()->width(), m_now);
}

bool ClipRowView::eventFilter(QObject* watched, QEvent* event)
{
    // The viewport outlives the rest of the view by a moment: while the list view is being
    // destroyed its viewport still gets events (a synthetic Leave), and by then the view is
    // only a QWidget, so it is asked for nothing until it is known to be whole.
    if (qobject_cast<const QListView*>(watched->parent()) != &m_view ||
        watched != m_view.viewport())
        return QStyledItemDelegate::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseMove:
        m_pointer = static_cast<QMouseEvent*>(event)->position().toPoint();
        updateHover();
        break;
    case QEvent::Leave:
        m_pointer.reset();
        updateHover();
        break;
    case QEvent::ContextMenu: {
        auto* contextEvent = static_cast<QContextMenuEvent*>(event);
        const QModelIndex index = m_view.indexAt(contextEvent->pos());
        if (!index.isValid())
            break;
        QMenu* menu = createContextMenu(index, &m_view);
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(contextEvent->globalPos());
        return true;
    }
    default:
        break;
    }
    return QStyledItemDelegate::eventFilter(watched, event);
}

void ClipRowView::updateHover()
{
    const QModelIndex index = m_pointer ? m_view.indexAt(*m_pointer) : QModelIndex();
    if (QPersistentModelIndex(index) != m_hovered) {
        const QModelIndex previous = m_hovered;
        m_hovered = index;
        // Hovering shows more buttons, so the age and preview move.
        if (previous.isValid())
            m_view.update(previous);
        if (index.isValid())
            m_view.update(index);
    }
    if (!index.isValid() || m_model.isSelecting()) {
        m_actions->hide();
        return;
    }
    const ClipItem item = itemAt(index);
    const Content c = content(item, index.row());
    const ClipRowPainter::Geometry g = m_painter.geometry(m_view.visualRect(index), c);
    m_actions->setItem(item, c);
    QRect area;
    for (const auto& entry : g.buttons)
        area |= entry.second;
    m_actions->setGeometry(
        QRect(QPoint(area.right() + 1 - m_actions->sizeHint().width(), area.top()),
              m_actions->sizeHint()));
    m_actions->show();
    m_actions->raise();
}

void ClipRowView::updateAllRows()
{
    updateHover();
    m_view.viewport()->update();
}

} // namespace nabrix
