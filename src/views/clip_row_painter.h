// SPDX-License-Identifier: GPL-3.0-or-later
// Draws history rows and measures them from their metadata.
#pragma once

#include "storage/clip_item.h"
#include "views/clip_row_content.h"

#include <QDateTime>
#include <QList>
#include <QRect>
#include <QStringList>
#include <utility>

class QColor;
class QFont;
class QPainter;

namespace nabrix {

class AppModel;
class PreviewCache;

class ClipRowPainter {
public:
    static constexpr int buttonSide = 20;
    static constexpr qreal buttonPointSize = 10.5;
    static constexpr int trailingSpacing = 2;

    // Where a row's parts go within its rectangle.
    struct Geometry {
        QRect frame;
        QRect content;
        QRect checkbox;
        QRect iconBox;
        QRect preview;
        QRect age;
        QList<std::pair<ClipRowContent::Button, QRect>> buttons;
    };

    // The model and the previews outlive the painter.
    ClipRowPainter(const AppModel& model, PreviewCache& previews);

    // Gives every row the height of a two-line text row, so that a long list is laid out
    // without asking every row for its height.
    void setUniformHeights(bool uniform) { m_uniformHeights = uniform; }
    bool uniformHeights() const { return m_uniformHeights; }

    // The row's size at `width`, from the entry's metadata alone.
    QSize sizeHint(const ClipItem& item, int width, const QDateTime& now) const;
    Geometry geometry(const QRect& rowRect, const ClipRowContent& content) const;
    void paint(QPainter* painter, const QRect& rowRect, const ClipItem& item,
               const ClipRowContent& content) const;

    // Up to `maxLines` lines of `text` wrapped at `width`, the last one ending in an
    // ellipsis when text is left over.
    static QStringList wrappedLines(const QString& text, const QFont& font, int width,
                                    int maxLines);

private:
    int previewHeight(const ClipItem& item, const ClipRowContent& content, int previewWidth) const;
    QSize thumbnailSize(const ClipItem& item, int previewWidth) const;
    int previewWidthFor(const ClipItem& item, int rowWidth, const QDateTime& now) const;
    void paintPreview(QPainter* painter, const QRect& area, const ClipItem& item,
                      const ClipRowContent& content) const;
    void paintSensitiveLabel(QPainter* painter, const QPoint& topLeft) const;
    void paintThumbnail(QPainter* painter, const QRect& area, const ClipItem& item) const;
    void paintText(QPainter* painter, const QRect& area, const QStringList& lines,
                   const QFont& font, const QColor& color) const;

    const AppModel& m_model;
    PreviewCache& m_previews;
    bool m_uniformHeights = false;
};

} // namespace nabrix
