// SPDX-License-Identifier: GPL-3.0-or-later
// One history entry as one row of the history list: icon, preview, age and actions.
#pragma once

#include "storage/clip_item.h"
#include "views/clip_row_content.h"
#include "views/clip_row_painter.h"

#include <QDateTime>
#include <QPersistentModelIndex>
#include <QPoint>
#include <QStyledItemDelegate>
#include <optional>

class QListView;
class QMenu;

namespace nabrix {

class AppModel;
class ClipRowActions;
class PreviewCache;

// Shows the rows of `view` (only the rows on screen are painted) and turns gestures on
// them into requests: a click selects, a double click copies, the buttons and the context
// menu ask for their actions. What a request does is the history view's business.
class ClipRowView : public QStyledItemDelegate {
    Q_OBJECT
public:
    static constexpr int buttonSide = ClipRowPainter::buttonSide;
    static constexpr qreal buttonPointSize = ClipRowPainter::buttonPointSize;
    static constexpr int trailingSpacing = ClipRowPainter::trailingSpacing;

    using Button = ClipRowContent::Button;
    using Media = ClipRowContent::Media;
    // What a row shows, worked out from the entry and the model's state.
    using Content = ClipRowContent;

    ClipRowView(AppModel& model, QListView& view, QObject* parent = nullptr);
    ~ClipRowView() override;

    // The reference time of every row's age text.
    void setNow(const QDateTime& now);
    QDateTime now() const { return m_now; }
    // Gives every row the height of a two-line text row, so that a long list is laid out
    // without asking every row for its height.
    void setUniformHeights(bool uniform);
    bool uniformHeights() const { return m_painter.uniformHeights(); }

    Content content(const QModelIndex& index) const;
    // What a screen reader says for the row: its text (or that it is hidden), type and age.
    QString accessibleName(const QModelIndex& index) const;
    static QString maskText();
    // Up to `maxLines` lines of `text` wrapped at `width`, the last one ending in an
    // ellipsis when text is left over.
    static QStringList wrappedLines(const QString& text, const QFont& font, int width,
                                    int maxLines);

    // The row under the pointer, if any.
    QModelIndex hoveredIndex() const { return m_hovered; }
    ClipRowActions* actions() const { return m_actions; }
    // The row's context menu; the caller owns it.
    QMenu* createContextMenu(const QModelIndex& index, QWidget* parent);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

Q_SIGNALS:
    void selectRequested(const nabrix::ClipItem& item, int row);
    void copyRequested(const nabrix::ClipItem& item);
    void pasteRequested(const nabrix::ClipItem& item);
    void revealRequested(const nabrix::ClipItem& item);
    void deleteRequested(const nabrix::ClipItem& item);
    void detailRequested(const nabrix::ClipItem& item);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    ClipItem itemAt(const QModelIndex& index) const;
    Content content(const ClipItem& item, int row) const;
    void updateHover();
    void updateAllRows();

    AppModel& m_model;
    QListView& m_view;
    PreviewCache* m_previews;
    ClipRowContentBuilder m_content;
    ClipRowPainter m_painter;
    ClipRowActions* m_actions;
    QDateTime m_now;
    QPersistentModelIndex m_hovered;
    std::optional<QPoint> m_pointer;
};

} // namespace nabrix
