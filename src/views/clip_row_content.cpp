// SPDX-License-Identifier: GPL-3.0-or-later
// A row's texts, symbols and buttons from its entry and the model's view state.
#include "views/clip_row_content.h"

#include "app/app_model.h"
#include "i18n/text_catalogue.h"
#include "platform/platform_services.h"
#include "views/relative_age_formatter.h"

namespace nabrix {

ClipRowContentBuilder::ClipRowContentBuilder(const AppModel& model)
    : m_model(model)
{
}

QString ClipRowContentBuilder::maskText()
{
    return QString(16, QChar(0x2022));
}

QList<ClipRowContent::Button> ClipRowContentBuilder::buttons(const ClipItem& item,
                                                             RowButtonState state)
{
    using Button = ClipRowContent::Button;
    if (state.selecting)
        return {};
    QList<Button> shown{Button::Copy, Button::Detail};
    if (state.hovering && item.isSensitive && !state.revealed)
        shown.append(Button::Reveal);
    if (state.hovering && !item.isSensitive)
        shown.append(Button::Delete);
    return shown;
}

ClipRowContent ClipRowContentBuilder::build(const ClipItem& item, RowPlace place,
                                            const QDateTime& now) const
{
    ClipRowContent c;
    const bool revealed = m_model.isRevealed(item.id);
    c.masked = item.isSensitive && !revealed;
    c.checkbox = m_model.isSelecting();
    c.checked = c.checkbox && m_model.selectedItemIDs().contains(item.id);
    c.selected = m_model.selectedIndex() == place.row;
    c.hovering = place.hoveredRow == place.row;
    c.flashing = m_model.flashCopyID() == item.id;
    c.age = RelativeAgeFormatter::text(item.timestamp, now);
    c.buttons =
        buttons(item, {.selecting = c.checkbox, .hovering = c.hovering, .revealed = revealed});

    switch (item.type) {
    case ClipType::Text:
    case ClipType::Rtf:
        c.iconSymbol = QStringLiteral("doc.text");
        if (item.sourceAppBundleID) {
            c.applicationIcon = m_model.applicationIcon(*item.sourceAppBundleID);
            if (c.applicationIcon)
                c.iconSymbol.clear();
        }
        c.text = c.masked ? maskText() : item.searchString;
        c.styled = !c.masked && item.type == ClipType::Rtf;
        break;
    case ClipType::Image:
        c.iconSymbol = QStringLiteral("photo");
        c.media = c.masked ? ClipRowContent::Media::MaskedImage : ClipRowContent::Media::Thumbnail;
        break;
    case ClipType::File:
        c.iconSymbol = QStringLiteral("doc.on.doc.fill");
        c.text = item.searchString;
        c.fileCount = fileCountText(item.id);
        break;
    }
    return c;
}

QString ClipRowContentBuilder::fileCountText(const QUuid& id) const
{
    const RowContentCache::Files files = m_model.listedFiles(id);
    // Not a list of strings: no count at all, rather than a wrong one; none either until
    // the list is read.
    if (files.state != RowContentCache::State::Ready)
        return {};
    //% "%1 files"
    return catalogue::text("history.fileCount", files.names.size());
}

} // namespace nabrix
