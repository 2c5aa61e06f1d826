// SPDX-License-Identifier: GPL-3.0-or-later
// The detail page's content, metadata line and buttons.
#include "views/clip_detail_view.h"

#include "app/app_model.h"
#include "capture/rtf_reader.h"
#include "i18n/text_catalogue.h"
#include "storage/json_string_array.h"
#include "views/divider.h"
#include "views/elided_label.h"
#include "views/entry_date_formatter.h"
#include "views/fitted_image_view.h"
#include "views/middle_elided_label.h"
#include "views/styled_text.h"
#include "views/theme.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScrollArea>
#include <QStackedWidget>
#include <QTextBrowser>
#include <QTextDocument>
#include <QVBoxLayout>

namespace nabrix {

namespace {

constexpr int contentPadding = 10;

const QString contentFrameStyle =
    QStringLiteral("QFrame#contentFrame { background-color: rgba(255, 255, 255, 13);"
                   " border: 1px solid rgba(255, 255, 255, 20); border-radius: 8px; }");

QFrame* makeContentFrame(QWidget* inner, QWidget* parent)
{
    auto* frame = new QFrame(parent);
    frame->setObjectName(QStringLiteral("contentFrame"));
    frame->setStyleSheet(contentFrameStyle);
    auto* layout = new QVBoxLayout(frame);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->addWidget(inner);
    return frame;
}

QScrollArea* makeScrollArea(QWidget* parent)
{
    auto* area = new QScrollArea(parent);
    area->setFrameShape(QFrame::NoFrame);
    area->setWidgetResizable(true);
    area->viewport()->setAutoFillBackground(false);
    area->setStyleSheet(QStringLiteral("QScrollArea { background: transparent; }") +
                        Theme::scrollBarStyleSheet());
    return area;
}

QLabel* symbolLabel(const QString& symbol, qreal pointSize, const QColor& color, QWidget* parent)
{
    auto* label = new QLabel(parent);
    const int side = Theme::symbolBox(pointSize);
    label->setPixmap(
        Theme::symbol(symbol, color).pixmap(QSize(side, side), label->devicePixelRatioF()));
    label->setFixedSize(side, side);
    return label;
}

} // namespace

ClipDetailView::ClipDetailView(AppModel& model, QWidget* parent)
    : QWidget(parent)
    , m_model(model)
    , m_pages(new QStackedWidget(this))
    , m_maskedPage(makeMaskedPage())
    , m_text(new QTextBrowser)
    , m_imagePage(nullptr)
    , m_image(new FittedImageView)
    , m_filePage(nullptr)
    , m_fileList(new QWidget)
    , m_fileLayout(new QVBoxLayout(m_fileList))
    , m_source(nullptr)
    , m_type(nullptr)
    , m_date(nullptr)
    , m_copy(new QPushButton(this))
    , m_paste(new QPushButton(this))
{
    setObjectName(QStringLiteral("clipDetail"));

    m_text->setObjectName(QStringLiteral("detailText"));
    m_text->setFrameShape(QFrame::NoFrame);
    m_text->setReadOnly(true);
    m_text->setOpenLinks(false);
    m_text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_text->viewport()->setAutoFillBackground(false);
    m_text->setFont(Theme::font(13));
    m_text->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_text->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_text->setStyleSheet(QStringLiteral("QTextBrowser { background: transparent; }") +
                          Theme::scrollBarStyleSheet());

    m_imagePage = makeContentFrame(m_image, this);
    m_image->setObjectName(QStringLiteral("detailImage"));

    m_fileLayout->setContentsMargins(contentPadding, contentPadding, contentPadding,
                                     contentPadding);
    m_fileLayout->setSpacing(8);
    m_fileList->setAutoFillBackground(false);
    QScrollArea* fileScroll = makeScrollArea(this);
    fileScroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    fileScroll->setWidget(m_fileList);
    m_filePage = makeContentFrame(fileScroll, this);

    m_pages->addWidget(m_maskedPage);
    m_pages->addWidget(makeContentFrame(m_text, this));
    m_pages->addWidget(m_imagePage);
    m_pages->addWidget(m_filePage);

    m_copy->setObjectName(QStringLiteral("detailCopy"));
    //% "Copy"
    m_copy->setToolTip(catalogue::text("history.copy"));
    m_copy->setMinimumHeight(32);
    m_copy->setFont(Theme::font(13, QFont::Medium));
    m_copy->setFocusPolicy(Qt::NoFocus);
    m_copy->setStyleSheet(QStringLiteral(
        "QPushButton { background-color: #0a84ff; color: white; border: none; border-radius: 7px;"
        " padding: 0 12px; }"
        "QPushButton:hover { background-color: #2b95ff; }"
        "QPushButton:pressed { background-color: #0070e0; }"));
    m_paste->setObjectName(QStringLiteral("detailPaste"));
    //% "Paste"
    m_paste->setText(catalogue::text("history.paste"));
    //% "Paste"
    m_paste->setToolTip(catalogue::text("history.paste"));
    m_paste->setIcon(Theme::symbol(QStringLiteral("arrow.down.doc"), Theme::primaryText()));
    m_paste->setMinimumHeight(32);
    m_paste->setFont(Theme::font(13, QFont::Medium));
    m_paste->setFocusPolicy(Qt::NoFocus);
    m_paste->setStyleSheet(QStringLiteral(
        "QPushButton { background-color: rgba(255, 255, 255, 26); color: rgba(255, 255, 255, 225);"
        " border: 1px solid rgba(255, 255, 255, 30); border-radius: 7px; padding: 0 12px; }"
        "QPushButton:hover { background-color: rgba(255, 255, 255, 38); }"
        "QPushButton:pressed { background-color: rgba(255, 255, 255, 18); }"));
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(8);
    buttons->addWidget(m_copy, 1);
    buttons->addWidget(m_paste, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->setSpacing(12);
    layout->addWidget(m_pages, 1);
    layout->addWidget(new Divider(this));
    layout->addWidget(makeMetadataLine());
    layout->addWidget(new Divider(this));
    layout->addLayout(buttons);

    connect(m_copy, &QPushButton::clicked, this, [this] {
        if (m_item)
            m_model.select(*m_item);
    });
    connect(m_paste, &QPushButton::clicked, this, [this] {
        if (m_item)
            m_model.paste(*m_item);
    });
    connect(m_reveal, &QPushButton::clicked, this, [this] {
        if (m_item)
            m_model.toggleReveal(*m_item);
    });
    connect(&model, &AppModel::revealedIDsChanged, this, &ClipDetailView::updateMasking);
    connect(&model, &AppModel::flashCopyIDChanged, this, &ClipDetailView::updateCopyButton);
    updateCopyButton();
}

ClipDetailView::~ClipDetailView() = default;

QWidget* ClipDetailView::makeMaskedPage()
{
    auto* page = new QWidget(this);
    page->setObjectName(QStringLiteral("maskedContent"));
    //% "Sensitive"
    auto* label = new QLabel(catalogue::text("history.sensitive"), page);
    label->setFont(Theme::font(12, QFont::Medium));
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Theme::orange());
    label->setPalette(palette);
    //% "Reveal"
    m_reveal = new QPushButton(catalogue::text("history.reveal"), page);
    m_reveal->setObjectName(QStringLiteral("detailReveal"));
    m_reveal->setFont(Theme::font(11));
    m_reveal->setFocusPolicy(Qt::NoFocus);

    auto* column = new QVBoxLayout(page);
    column->setSpacing(10);
    column->addStretch(1);
    column->addWidget(symbolLabel(QStringLiteral("eye.slash"), 26, Theme::orange(), page), 0,
                      Qt::AlignHCenter);
    column->addWidget(label, 0, Qt::AlignHCenter);
    column->addWidget(m_reveal, 0, Qt::AlignHCenter);
    column->addStretch(1);
    return page;
}

QWidget* ClipDetailView::makeMetadataLine()
{
    auto* line = new QWidget(this);
    line->setObjectName(QStringLiteral("detailMetadata"));
    auto* layout = new QHBoxLayout(line);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(14);
    auto addLabel = [&](const QString& symbol, int stretch) {
        auto* pair = new QHBoxLayout;
        pair->setSpacing(4);
        pair->addWidget(symbolLabel(symbol, 11, Theme::secondaryText(), line));
        auto* label = new ElidedLabel(line);
        label->setFont(Theme::font(11));
        label->setColor(Theme::secondaryText());
        pair->addWidget(label, 1);
        layout->addLayout(pair, stretch);
        return label;
    };
    // The source name gives way first: type and date are short.
    m_source = addLabel(QStringLiteral("app.badge"), 1);
    m_type = addLabel(QStringLiteral("tag"), 0);
    m_date = addLabel(QStringLiteral("clock"), 0);
    return line;
}

QString ClipDetailView::sourceName(const ClipItem& item) const
{
    if (!item.sourceAppBundleID)
        //% "Unknown source"
        return catalogue::text("history.detail.unknown");
    return m_model.applicationName(*item.sourceAppBundleID).value_or(*item.sourceAppBundleID);
}

QString ClipDetailView::typeName(ClipType type)
{
    switch (type) {
    case ClipType::Text:
        //% "Text"
        return catalogue::text("history.type.text");
    case ClipType::Rtf:
        //% "Rich text"
        return catalogue::text("history.type.rtf");
    case ClipType::Image:
        //% "Image"
        return catalogue::text("history.type.image");
    case ClipType::File:
        //% "File"
        return catalogue::text("history.type.file");
    }
    return {};
}

void ClipDetailView::setItem(const ClipItem& item)
{
    m_item = item;
    m_source->setText(sourceName(item));
    m_type->setText(typeName(item.type));
    m_date->setText(EntryDateFormatter::text(item.timestamp));
    loadContent();
    updateMasking();
    updateCopyButton();
}

void ClipDetailView::loadContent()
{
    m_fileLines.clear();
    m_image->setLoading();
    switch (m_item->type) {
    case ClipType::Text:
    case ClipType::Rtf:
        showText(*m_item);
        break;
    case ClipType::Image:
        showImage(*m_item);
        break;
    case ClipType::File:
        showFiles(*m_item);
        break;
    }
}

void ClipDetailView::showText(const ClipItem& item)
{
    if (item.type == ClipType::Rtf) {
        const std::optional<QByteArray> bytes = m_model.contentOf(item.id);
        std::unique_ptr<QTextDocument> document = bytes ? rtfStyledDocument(*bytes) : nullptr;
        if (document && !document->isEmpty()) {
            adaptForDarkBackground(*document);
            usePointsAsPixels(*document);
            document->setDefaultFont(Theme::font(13));
            document->setDocumentMargin(contentPadding);
            replaceDocument(document.release());
            return;
        }
    }
    // The stored search text: a text entry's first 10 000 characters.
    QString text = item.searchString;
    if (const std::optional<ClipItem> stored = m_model.storedItem(item.id))
        text = stored->searchString;
    auto* document = new QTextDocument;
    document->setDefaultFont(Theme::font(13));
    document->setDocumentMargin(contentPadding);
    document->setPlainText(text);
    replaceDocument(document);
}

void ClipDetailView::replaceDocument(QTextDocument* document)
{
    // A document that is the editor's child is deleted by the editor when replaced.
    document->setParent(m_text);
    m_text->setDocument(document);
}

void ClipDetailView::showImage(const ClipItem& item)
{
    const std::optional<QByteArray> bytes = m_model.contentOf(item.id);
    if (bytes)
        m_image->setImageData(*bytes);
    else
        m_image->setUnreadable();
}

void ClipDetailView::showFiles(const ClipItem& item)
{
    while (QLayoutItem* child = m_fileLayout->takeAt(0)) {
        delete child->widget();
        delete child->layout();
        delete child;
    }
    const std::optional<QByteArray> bytes = m_model.contentOf(item.id);
    const std::optional<QStringList> files = bytes ? decodeJsonStringArray(*bytes) : std::nullopt;
    m_fileLines = files.value_or(QStringList());
    const QFont font = Theme::monospaceFont(12);
    for (const QString& file : std::as_const(m_fileLines)) {
        auto* row = new QHBoxLayout;
        row->setSpacing(6);
        QLabel* symbol = symbolLabel(QStringLiteral("doc"), 11, Theme::secondaryText(), m_fileList);
        row->addWidget(symbol, 0, Qt::AlignTop);
        auto* label = new MiddleElidedLabel(file, m_fileList);
        label->setFont(font);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        row->addWidget(label, 1);
        m_fileLayout->addLayout(row);
    }
    m_fileLayout->addStretch(1);
}

bool ClipDetailView::isMasked() const
{
    return m_item && m_item->isSensitive && !m_model.isRevealed(m_item->id);
}

void ClipDetailView::updateMasking()
{
    if (!m_item)
        return;
    if (isMasked()) {
        m_pages->setCurrentWidget(m_maskedPage);
        return;
    }
    switch (m_item->type) {
    case ClipType::Text:
    case ClipType::Rtf:
        m_pages->setCurrentIndex(1);
        break;
    case ClipType::Image:
        m_pages->setCurrentWidget(m_imagePage);
        break;
    case ClipType::File:
        m_pages->setCurrentWidget(m_filePage);
        break;
    }
}

void ClipDetailView::updateCopyButton()
{
    const bool copied = m_item && m_model.flashCopyID() == m_item->id;
    //% "Copied"
    m_copy->setText(copied ? catalogue::text("history.copied")
                           //% "Copy"
                           : catalogue::text("history.copy"));
    m_copy->setIcon(Theme::symbol(
        copied ? QStringLiteral("checkmark") : QStringLiteral("doc.on.doc"), Qt::white));
}

QString ClipDetailView::displayedText() const
{
    if (!m_item)
        return {};
    if (m_item->type == ClipType::File)
        return m_fileLines.join(QLatin1Char('\n'));
    if (m_item->type == ClipType::Image)
        return {};
    return m_text->document()->toPlainText();
}

QString ClipDetailView::sourceText() const
{
    return m_source->text();
}

QString ClipDetailView::typeText() const
{
    return m_type->text();
}

QString ClipDetailView::dateText() const
{
    return m_date->text();
}

} // namespace nabrix
