// SPDX-License-Identifier: GPL-3.0-or-later
// One history entry as one row of the history list: icon, preview, age and actions.
#pragma once

#include "storage/clip_item.h"

#include <QCache>
#include <QDateTime>
#include <QIcon>
#include <QList>
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

// Paints the rows of `view` (only the rows on screen are painted) and turns gestures on
// them into requests: a click selects, a double click copies, the buttons and the context
// menu ask for their actions. What a request does is the history view's business.
class ClipRowView : public QStyledItemDelegate {
    Q_OBJECT
public:
    static constexpr int buttonSide = 20;
    static constexpr qreal buttonPointSize = 10.5;
    static constexpr int trailingSpacing = 2;

    enum class Button { Copy, Detail, Reveal, Delete };
    enum class Media {
        None,
        // The image itself, scaled to fit.
        Thumbnail,
        // The placeholder of a masked image.
        MaskedImage,
    };

    // What a row shows, worked out from the entry and the model's state.
    struct Content {
        bool masked = false;
        bool checkbox = false;
        bool checked = false;
        bool selected = false;
        bool hovering = false;
        bool flashing = false;
        // The application's icon; otherwise the symbol `iconSymbol`.
        std::optional<QIcon> applicationIcon;
        QString iconSymbol;
        // The plain text lines shown (at most two; masked: the bullets). Rich text is drawn
        // styled once its preview is built, over the same space.
        QString text;
        bool styled = false;
        Media media = Media::None;
        // The file count line of a file entry.
        std::optional<QString> fileCount;
        QString age;
        QList<Button> buttons;
    };

    ClipRowView(AppModel& model, QListView& view, QObject* parent = nullptr);
    ~ClipRowView() override;

    // The reference time of every row's age text.
    void setNow(const QDateTime& now);
    QDateTime now() const { return m_now; }
    // Gives every row the height of a two-line text row, so that a long list is laid out
    // without asking every row for its height.
    void setUniformHeights(bool uniform);
    bool uniformHeights() const { return m_uniformHeights; }

    Content content(const QModelIndex& index) const;
    // What a screen reader says for the row: its text (or that it is hidden), type and age.
    QString accessibleName(const QModelIndex& index) const;
    static QList<Button> buttons(const ClipItem& item, bool selecting, bool hovering,
                                 bool revealed);
    static QString maskText();
    // Up to `maxLines` lines of `text` wrapped at `width`, the last one ending in an
    // ellipsis when text is left over.
    static QStringList wrappedLines(const QString& text, const QFont& font, int width,
                                    int maxLines);

    // The row under the pointer, if any.
    QModelIndex hoveredIndex() const { return m_hovered; }
    ClipRowActions* actions() const { return m_actions; }
    // The row's context menu; the caller owns it.
    QMenu* createContextMenu(const QModelIndex& index, QWidget* parent) const;

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
    struct Geometry;

    ClipItem itemAt(const QModelIndex& index) const;
    Content content(const ClipItem& item, int row) const;
    Geometry geometry(const QRect& rowRect, const Content& content) const;
    int previewHeight(const ClipItem& item, const Content& content, int previewWidth) const;
    QSize thumbnailSize(const ClipItem& item, int previewWidth) const;
    int previewWidthFor(const ClipItem& item, int rowWidth) const;
    void paintPreview(QPainter* painter, const QRect& area, const ClipItem& item,
                      const Content& content) const;
    void paintSensitiveLabel(QPainter* painter, const QPoint& topLeft) const;
    void paintThumbnail(QPainter* painter, const QRect& area, const ClipItem& item) const;
    void paintText(QPainter* painter, const QRect& area, const QStringList& lines,
                   const QFont& font, const QColor& color) const;
    QString fileCountText(const QUuid& id) const;
    void updateHover();
    void updateAllRows();

    AppModel& m_model;
    QListView& m_view;
    PreviewCache* m_previews;
    ClipRowActions* m_actions;
    QDateTime m_now;
    bool m_uniformHeights = false;
    QPersistentModelIndex m_hovered;
    std::optional<QPoint> m_pointer;
    // Counts of file entries on screen: reading the list means reading the entry's bytes.
    mutable QCache<QUuid, QString> m_fileCounts{256};
};

} // namespace nabrix
