// SPDX-License-Identifier: GPL-3.0-or-later
// Row painting, row heights from metadata, hover buttons and the row's context menu.
#include "views/clip_row_view.h"

#include "app/app_model.h"
#include "history/history_roles.h"
#include "i18n/text_catalogue.h"
#include "platform/platform_services.h"
#include "platform/workspace.h"
#include "storage/json_string_array.h"
#include "views/clip_detail_view.h"
#include "views/clip_row_actions.h"
#include "views/preview_cache.h"
#include "views/relative_age_formatter.h"
#include "views/styled_text.h"
#include "views/theme.h"

#include <QAbstractTextDocumentLayout>
#include <QContextMenuEvent>
#include <QListView>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>
#include <QTextDocument>
#include <QTextLayout>
#include <cmath>

namespace nabrix {

namespace {

// Layout of a row, in logical pixels.
constexpr int rowInsetX = 6; // the list's padding left and right of each row
constexpr int rowInsetY = 1; // half the spacing between rows
constexpr int paddingX = 8;
constexpr int paddingY = 7;
constexpr int itemSpacing = 10;
constexpr int checkboxWidth = 18;
constexpr int iconBoxSide = 22;
constexpr int applicationIconSide = 15;
constexpr int lineSpacing = 3; // between the lines of a column-shaped preview
constexpr int maxThumbnailWidth = 240;
constexpr int maxThumbnailHeight = 140;
constexpr QSize maskedImageSize{120, 60};
// Preview text is cut before wrapping: two lines never need more.
constexpr qsizetype previewCharacters = 600;

QFont textFont()
{
    return Theme::font(13);
}

QFont smallFont()
{
    return Theme::font(11);
}

QFont labelFont()
{
    return Theme::font(11, QFont::Medium);
}

QFont bulletFont()
{
    return Theme::monospaceFont(12);
}

// The workspace keeps its look-ups and forgets them when applications are installed,
// changed or removed, so asking on every paint is cheap and never shows a stale icon.
std::optional<QIcon> installedApplicationIcon(const Workspace& workspace, const QString& id)
{
    if (!workspace.isInstalled(id))
        return std::nullopt;
    QIcon icon = workspace.applicationIcon(id);
    if (icon.isNull())
        return std::nullopt;
    return icon;
}

QRect centredIn(const QRect& outer, const QSize& size)
{
    return QRect(outer.left() + (outer.width() - size.width()) / 2,
                 outer.top() + (outer.height() - size.height()) / 2, size.width(), size.height());
}

void paintSymbol(QPainter* painter, const QRect& box, const QString& symbol, qreal pointSize,
                 const QColor& color)
{
    const int side = Theme::symbolBox(pointSize);
    Theme::symbol(symbol, color).paint(painter, centredIn(box, QSize(side, side)));
}

} // namespace

struct ClipRowView::Geometry {
    QRect frame;
    QRect content;
    QRect checkbox;
    QRect iconBox;
    QRect preview;
    QRect age;
    QList<std::pair<Button, QRect>> buttons;
};

ClipRowView::ClipRowView(AppModel& model, QListView& view, QObject* parent)
    : QStyledItemDelegate(parent)
    , m_model(model)
    , m_view(view)
    , m_previews(new PreviewCache([&model](const QUuid& id) { return model.contentOf(id); }, this))
    , m_actions(new ClipRowActions(view.viewport()))
    , m_now(QDateTime::currentDateTime())
{
    m_actions->hide();
    view.setMouseTracking(true);
    view.viewport()->setAttribute(Qt::WA_Hover);
    view.viewport()->installEventFilter(this);

    connect(m_previews, &PreviewCache::previewReady, this, [this] { m_view.viewport()->update(); });
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
    m_uniformHeights = uniform;
}

ClipItem ClipRowView::itemAt(const QModelIndex& index) const
{
    return index.data(ClipItemRole).value<ClipItem>();
}

QString ClipRowView::maskText()
{
    return QString(16, QChar(0x2022));
}

QList<ClipRowView::Button> ClipRowView::buttons(const ClipItem& item, bool selecting, bool hovering,
                                                bool revealed)
{
    if (selecting)
        return {};
    QList<Button> shown{Button::Copy, Button::Detail};
    if (hovering && item.isSensitive && !revealed)
        shown.append(Button::Reveal);
    if (hovering && !item.isSensitive)
        shown.append(Button::Delete);
    return shown;
}

ClipRowView::Content ClipRowView::content(const QModelIndex& index) const
{
    return content(itemAt(index), index.row());
}

ClipRowView::Content ClipRowView::content(const ClipItem& item, int row) const
{
    Content c;
    const bool revealed = m_model.isRevealed(item.id);
    c.masked = item.isSensitive && !revealed;
    c.checkbox = m_model.isSelecting();
    c.checked = c.checkbox && m_model.selectedItemIDs().contains(item.id);
    c.selected = m_model.selectedIndex() == row;
    c.hovering = m_hovered.isValid() && m_hovered.row() == row;
    c.flashing = m_model.flashCopyID() == item.id;
    c.age = RelativeAgeFormatter::text(item.timestamp, m_now);
    c.buttons = buttons(item, c.checkbox, c.hovering, revealed);

    switch (item.type) {
    case ClipType::Text:
    case ClipType::Rtf:
        c.iconSymbol = QStringLiteral("doc.text");
        if (item.sourceAppBundleID && m_model.services().workspace) {
            c.applicationIcon =
                installedApplicationIcon(*m_model.services().workspace, *item.sourceAppBundleID);
            if (c.applicationIcon)
                c.iconSymbol.clear();
        }
        c.text = c.masked ? maskText() : item.searchString;
        c.styled = !c.masked && item.type == ClipType::Rtf;
        break;
    case ClipType::Image:
        c.iconSymbol = QStringLiteral("photo");
        c.media = c.masked ? Media::MaskedImage : Media::Thumbnail;
        break;
    case ClipType::File: {
        c.iconSymbol = QStringLiteral("doc.on.doc.fill");
        c.text = item.searchString;
        c.fileCount = fileCountText(item.id);
        break;
    }
    }
    return c;
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

QString ClipRowView::fileCountText(const QUuid& id) const
{
    if (const QString* cached = m_fileCounts.object(id))
        return *cached;
    const std::optional<QByteArray> bytes = m_model.contentOf(id);
    const std::optional<QStringList> files = bytes ? decodeJsonStringArray(*bytes) : std::nullopt;
    // Not a list of strings: no count at all, rather than a wrong one.
    //% "%1 files"
    QString text = files ? catalogue::text("history.fileCount", files->size()) : QString();
    m_fileCounts.insert(id, new QString(text));
    return text;
}

QStringList ClipRowView::wrappedLines(const QString& text, const QFont& font, int width,
                                      int maxLines)
{
    const bool cut = text.size() > previewCharacters;
    QString shown = text.left(previewCharacters);
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    shown.replace(QLatin1Char('\n'), QChar::LineSeparator);

    QTextLayout layout(shown, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    QList<std::pair<int, int>> spans;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(std::max(width, 1));
        spans.append({line.textStart(), line.textLength()});
        if (spans.size() > maxLines)
            break;
    }
    layout.endLayout();

    QStringList lines;
    const QFontMetrics metrics(font);
    for (int i = 0; i < std::min<qsizetype>(spans.size(), maxLines); ++i) {
        QString line = shown.mid(spans[i].first, spans[i].second);
        while (line.endsWith(QChar::LineSeparator) || line.endsWith(QLatin1Char(' ')))
            line.chop(1);
        const bool last = i == maxLines - 1;
        if (last && (spans.size() > maxLines || cut))
            line = metrics.elidedText(line + QChar(0x2026), Qt::ElideRight, width);
        lines.append(line);
    }
    if (lines.isEmpty())
        lines.append(QString());
    return lines;
}

int ClipRowView::previewWidthFor(const ClipItem& item, int rowWidth) const
{
    // The width the row has for its preview when not hovered; the age text is known from
    // the metadata, so this needs no content.
    int width = rowWidth - 2 * rowInsetX - 2 * paddingX - iconBoxSide - itemSpacing;
    if (m_model.isSelecting())
        width -= checkboxWidth + itemSpacing;
    const QString age = RelativeAgeFormatter::text(item.timestamp, m_now);
    width -= QFontMetrics(smallFont()).horizontalAdvance(age) + itemSpacing;
    if (!m_model.isSelecting())
        width -= 2 * (buttonSide + trailingSpacing);
    return std::max(width, 40);
}

QSize ClipRowView::thumbnailSize(const ClipItem& item, int previewWidth) const
{
    const int maxHeight =
        m_uniformHeights ? 2 * QFontMetrics(textFont()).height() : maxThumbnailHeight;
    const QSize box(std::min(maxThumbnailWidth, previewWidth), maxHeight);
    // Unknown dimensions (an entry stored without them) get a landscape frame.
    const QSize source = item.imageSize.value_or(QSize(4, 3));
    if (source.isEmpty())
        return QSize(box.height() * 4 / 3, box.height()).boundedTo(box);
    return source.scaled(box, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
}

int ClipRowView::previewHeight(const ClipItem& item, const Content& content, int previewWidth) const
{
    const int textLine = QFontMetrics(textFont()).height();
    const int labelLine = std::max(QFontMetrics(labelFont()).height(), Theme::symbolBox(10));
    const int maxLines = m_uniformHeights && item.type == ClipType::File ? 1 : 2;
    if (content.masked && item.type != ClipType::Image)
        return labelLine + lineSpacing + QFontMetrics(bulletFont()).height();
    switch (item.type) {
    case ClipType::Text:
    case ClipType::Rtf:
        return static_cast<int>(
                   wrappedLines(item.searchString, textFont(), previewWidth, maxLines).size()) *
               textLine;
    case ClipType::Image:
        if (content.masked) {
            const int placeholder = m_uniformHeights ? 2 * textLine - labelLine - lineSpacing
                                                     : maskedImageSize.height();
            return labelLine + lineSpacing + placeholder;
        }
        return thumbnailSize(item, previewWidth).height();
    case ClipType::File:
        return static_cast<int>(
                   wrappedLines(item.searchString, textFont(), previewWidth, maxLines).size()) *
                   textLine +
               lineSpacing + QFontMetrics(smallFont()).height();
    }
    return textLine;
}

QSize ClipRowView::sizeHint(const QStyleOptionViewItem&, const QModelIndex& index) const
{
    const int width = m_view.viewport()->width();
    const int textLine = QFontMetrics(textFont()).height();
    if (m_uniformHeights)
        return {width, 2 * textLine + 2 * paddingY + 2 * rowInsetY};
    const ClipItem item = itemAt(index);
    Content c;
    c.masked = item.isSensitive && !m_model.isRevealed(item.id);
    const int preview = previewHeight(item, c, previewWidthFor(item, width));
    return {width, std::max(preview, iconBoxSide) + 2 * paddingY + 2 * rowInsetY};
}

ClipRowView::Geometry ClipRowView::geometry(const QRect& rowRect, const Content& content) const
{
    Geometry g;
    g.frame = rowRect.adjusted(rowInsetX, rowInsetY, -rowInsetX, -rowInsetY);
    g.content = g.frame.adjusted(paddingX, paddingY, -paddingX, -paddingY);
    const int centreY = g.content.center().y();
    int left = g.content.left();
    if (content.checkbox) {
        g.checkbox = QRect(left, centreY - checkboxWidth / 2, checkboxWidth, checkboxWidth);
        left += checkboxWidth + itemSpacing;
    }
    g.iconBox = QRect(left, centreY - iconBoxSide / 2 + 1, iconBoxSide, iconBoxSide);
    left += iconBoxSide + itemSpacing;

    int right = g.content.right() + 1;
    for (auto it = content.buttons.crbegin(); it != content.buttons.crend(); ++it) {
        g.buttons.prepend(
            {*it, QRect(right - buttonSide, centreY - buttonSide / 2 + 1, buttonSide, buttonSide)});
        right -= buttonSide + trailingSpacing;
    }
    const QFontMetrics small(smallFont());
    const int ageWidth = small.horizontalAdvance(content.age);
    g.age = QRect(right - ageWidth, centreY - small.height() / 2, ageWidth, small.height());
    right -= ageWidth + itemSpacing;
    g.preview = QRect(left, g.content.top(), std::max(right - left, 10), g.content.height());
    return g;
}

void ClipRowView::paint(QPainter* painter, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const
{
    const ClipItem item = itemAt(index);
    const Content c = content(item, index.row());
    const Geometry g = geometry(option.rect, c);

    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    QPainterPath frame;
    frame.addRoundedRect(QRectF(g.frame).adjusted(0.5, 0.5, -0.5, -0.5), 8, 8);
    if (c.selected) {
        QColor fill = Theme::accent();
        fill.setAlphaF(0.22f);
        painter->fillPath(frame, fill);
        QColor border = Theme::accent();
        border.setAlphaF(0.45f);
        painter->setPen(QPen(border, 1));
        painter->drawPath(frame);
    } else if (c.hovering) {
        painter->fillPath(frame, Theme::white(0.06));
    }
    if (c.flashing) {
        QColor flash = Theme::green();
        flash.setAlphaF(0.16f);
        painter->fillPath(frame, flash);
    }

    if (c.checkbox) {
        paintSymbol(painter, g.checkbox,
                    c.checked ? QStringLiteral("checkmark.circle.fill") : QStringLiteral("circle"),
                    14, c.checked ? Theme::accent() : Theme::secondaryText());
    }

    QPainterPath iconBox;
    iconBox.addRoundedRect(QRectF(g.iconBox), 6, 6);
    painter->fillPath(iconBox, Theme::white(0.07));
    if (c.applicationIcon) {
        const QRect target = centredIn(g.iconBox, QSize(applicationIconSide, applicationIconSide));
        c.applicationIcon->paint(painter, target);
    } else {
        paintSymbol(painter, g.iconBox, c.iconSymbol, 11, Theme::secondaryText());
    }

    paintPreview(painter, g.preview, item, c);

    painter->setFont(smallFont());
    painter->setPen(Theme::secondaryText());
    painter->drawText(g.age, Qt::AlignRight | Qt::AlignVCenter, c.age);

    // The hovered row's buttons are real widgets on top (ClipRowActions).
    if (!c.hovering) {
        for (const auto& [button, rect] : g.buttons) {
            if (button == Button::Copy) {
                paintSymbol(painter, rect,
                            c.flashing ? QStringLiteral("checkmark") : QStringLiteral("doc.on.doc"),
                            buttonPointSize, c.flashing ? Theme::green() : Theme::secondaryText());
            } else if (button == Button::Detail) {
                paintSymbol(painter, rect, QStringLiteral("info.circle"), buttonPointSize,
                            Theme::secondaryText());
            }
        }
    }
    painter->restore();
}

void ClipRowView::paintPreview(QPainter* painter, const QRect& area, const ClipItem& item,
                               const Content& c) const
{
    const int height = previewHeight(item, c, area.width());
    const QRect block(area.left(), area.top() + (area.height() - height) / 2, area.width(),
                      std::min(height, area.height()));
    const int labelLine = std::max(QFontMetrics(labelFont()).height(), Theme::symbolBox(10));

    if (c.masked) {
        paintSensitiveLabel(painter, block.topLeft());
        const QRect below = block.adjusted(0, labelLine + lineSpacing, 0, 0);
        if (c.media == Media::MaskedImage) {
            const QRect placeholder(
                below.topLeft(),
                QSize(maskedImageSize.width(), std::min(maskedImageSize.height(), below.height())));
            QPainterPath shape;
            shape.addRoundedRect(QRectF(placeholder), 6, 6);
            painter->fillPath(shape, Theme::white(0.06));
            paintSymbol(painter, placeholder, QStringLiteral("photo"), 16, Theme::secondaryText());
        } else {
            paintText(painter, below, {c.text}, bulletFont(), Theme::secondaryText());
        }
        return;
    }

    const int textLine = QFontMetrics(textFont()).height();
    switch (item.type) {
    case ClipType::Text:
        paintText(painter, block, wrappedLines(c.text, textFont(), block.width(), 2), textFont(),
                  Theme::primaryText());
        return;
    case ClipType::Rtf: {
        const PreviewCache::RtfPreview preview = m_previews->rtfPreview(item.id);
        if (preview.state != PreviewCache::State::Ready) {
            paintText(painter, block, wrappedLines(c.text, textFont(), block.width(), 2),
                      textFont(), Theme::primaryText());
            return;
        }
        // The document's first two lines at the row's width; its own sizes are gone.
        std::unique_ptr<QTextDocument> document(preview.document->clone());
        document->setDefaultFont(textFont());
        document->setDocumentMargin(0);
        QTextOption wrapping = document->defaultTextOption();
        wrapping.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        document->setDefaultTextOption(wrapping);
        document->setTextWidth(block.width());
        elideToLines(*document, 2);
        // Styled lines can be a little taller than the row's font says (bold, other
        // families, the document's leading): centre them in the preview's whole height,
        // which the row's padding surrounds, rather than cutting their descenders.
        const int height = static_cast<int>(std::ceil(document->size().height()));
        const QRect shown(area.left(), area.top() + (area.height() - height) / 2, area.width(),
                          height);
        const QRect clip = shown.intersected(area.adjusted(0, -paddingY, 0, paddingY));
        QAbstractTextDocumentLayout::PaintContext context;
        context.palette.setColor(QPalette::Text, Theme::primaryText());
        painter->save();
        painter->setClipRect(clip);
        painter->translate(shown.topLeft());
        context.clip = QRectF(clip.translated(-shown.topLeft()));
        document->documentLayout()->draw(painter, context);
        painter->restore();
        return;
    }
    case ClipType::Image:
        paintThumbnail(painter, block, item);
        return;
    case ClipType::File: {
        const QStringList names =
            wrappedLines(c.text, textFont(), block.width(), m_uniformHeights ? 1 : 2);
        paintText(painter, block, names, textFont(), Theme::primaryText());
        const QRect countLine =
            block.adjusted(0, static_cast<int>(names.size()) * textLine + lineSpacing, 0, 0);
        paintText(painter, countLine, {c.fileCount.value_or(QString())}, smallFont(),
                  Theme::secondaryText());
        return;
    }
    }
}

void ClipRowView::paintSensitiveLabel(QPainter* painter, const QPoint& topLeft) const
{
    const int symbolSide = Theme::symbolBox(10);
    const QFontMetrics metrics(labelFont());
    const int lineHeight = std::max(metrics.height(), symbolSide);
    Theme::symbol(QStringLiteral("eye.slash"), Theme::orange())
        .paint(painter, QRect(topLeft.x(), topLeft.y() + (lineHeight - symbolSide) / 2, symbolSide,
                              symbolSide));
    painter->setFont(labelFont());
    painter->setPen(Theme::orange());
    //% "Sensitive"
    painter->drawText(QRect(topLeft.x() + symbolSide + 4, topLeft.y(), 400, lineHeight),
                      Qt::AlignLeft | Qt::AlignVCenter, catalogue::text("history.sensitive"));
}

void ClipRowView::paintThumbnail(QPainter* painter, const QRect& area, const ClipItem& item) const
{
    const QSize logical = thumbnailSize(item, area.width());
    const QRect frame(area.topLeft(), logical);
    const qreal scale = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
    const QSize pixels(static_cast<int>(std::ceil(logical.width() * scale)),
                       static_cast<int>(std::ceil(logical.height() * scale)));
    const PreviewCache::Thumbnail thumbnail = m_previews->thumbnail(item.id, pixels);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(frame), 6, 6);
    switch (thumbnail.state) {
    case PreviewCache::State::Pending:
        painter->fillPath(shape, Theme::white(0.06));
        return;
    case PreviewCache::State::Unreadable:
        paintSymbol(painter, QRect(frame.topLeft(), QSize(iconBoxSide, iconBoxSide)),
                    QStringLiteral("photo"), 16, Theme::secondaryText());
        return;
    case PreviewCache::State::Ready: {
        painter->save();
        painter->setClipPath(shape);
        painter->setRenderHint(QPainter::SmoothPixmapTransform);
        painter->drawImage(QRectF(frame), thumbnail.image);
        painter->restore();
        QPainterPath border;
        border.addRoundedRect(QRectF(frame).adjusted(0.5, 0.5, -0.5, -0.5), 6, 6);
        painter->setPen(QPen(Theme::white(0.12), 1));
        painter->setBrush(Qt::NoBrush);
        painter->drawPath(border);
        return;
    }
    }
}

void ClipRowView::paintText(QPainter* painter, const QRect& area, const QStringList& lines,
                            const QFont& font, const QColor& color) const
{
    painter->setFont(font);
    painter->setPen(color);
    const QFontMetrics metrics(font);
    int y = area.top();
    for (const QString& line : lines) {
        painter->drawText(QRect(area.left(), y, area.width(), metrics.height()),
                          Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                          metrics.elidedText(line, Qt::ElideRight, area.width()));
        y += metrics.height();
    }
}

QMenu* ClipRowView::createContextMenu(const QModelIndex& index, QWidget* parent) const
{
    const ClipItem item = itemAt(index);
    auto* menu = new QMenu(parent);
    menu->setObjectName(QStringLiteral("rowMenu"));
    auto* self = const_cast<ClipRowView*>(this);
    //% "Copy"
    menu->addAction(catalogue::text("history.copy"), self,
                    [self, item] { Q_EMIT self->copyRequested(item); });
    //% "Paste"
    menu->addAction(catalogue::text("history.paste"), self,
                    [self, item] { Q_EMIT self->pasteRequested(item); });
    //% "Show details"
    menu->addAction(catalogue::text("history.detail"), self,
                    [self, item] { Q_EMIT self->detailRequested(item); });
    if (item.isSensitive) {
        //% "Hide"
        const QString title = m_model.isRevealed(item.id) ? catalogue::text("history.hide")
                                                          //% "Reveal"
                                                          : catalogue::text("history.reveal");
        menu->addAction(title, self, [self, item] { Q_EMIT self->revealRequested(item); });
    }
    menu->addSeparator();
    //% "Delete"
    menu->addAction(catalogue::text("history.delete"), self,
                    [self, item] { Q_EMIT self->deleteRequested(item); });
    return menu;
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
    const Geometry g = geometry(m_view.visualRect(index), c);
    m_actions->setItem(item, m_model.isRevealed(item.id), c.flashing);
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
