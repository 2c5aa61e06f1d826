// SPDX-License-Identifier: GPL-3.0-or-later
// The Wayland selection through data-control, with a change counter.
#include "platform/wayland/wayland_pasteboard.h"

#include "platform/clipboard_text_targets.h"
#include "platform/wayland/wayland_data_control.h"
#include "platform/wayland/wayland_offer_reader.h"

#include <QMimeData>

namespace nabrix {

namespace {

// Text under every name readers ask for, each in the encoding that name promises.
void addText(MimeRepresentations& representations, const QString& text)
{
    for (const TextTarget& target : textTargets) {
        const QByteArray bytes =
            target.encoding == TextEncoding::Latin1 ? text.toLatin1() : text.toUtf8();
        representations.append(
            {QByteArray(target.name.data(), static_cast<qsizetype>(target.name.size())), bytes});
    }
}

} // namespace

WaylandPasteboard::WaylandPasteboard(std::shared_ptr<WaylandDataControl> control, QObject* parent)
    : Pasteboard(parent)
    , m_control(std::move(control))
{
    connect(m_control.get(), &WaylandDataControl::connectionLost, this,
            &Pasteboard::connectionLost);
    connect(m_control.get(), &WaylandDataControl::selectionChanged, this,
            &WaylandPasteboard::changed);
}

void WaylandPasteboard::changed()
{
    ++m_changeCount;
    Q_EMIT changeNotified();
}

std::unique_ptr<ClipboardSource>
WaylandPasteboard::readerForWorker(ClipboardReadBounds bounds) const
{
    return std::make_unique<WaylandOfferReader>(m_control->selection(), std::move(bounds));
}

// Our own writes move the counter at once, as on every other platform, and the compositor
// never announces them back as changes: the capture code skips them by that count.

void WaylandPasteboard::clearContents()
{
    m_control->clearSelection();
    changed();
}

void WaylandPasteboard::writeString(const QString& text)
{
    MimeRepresentations representations;
    addText(representations, text);
    m_control->setSelection(representations);
    changed();
}

void WaylandPasteboard::writeData(const QString& type, const QByteArray& data,
                                  const std::optional<QString>& text)
{
    MimeRepresentations representations{{type.toUtf8(), data}};
    if (text)
        addText(representations, *text);
    m_control->setSelection(representations);
    changed();
}

void WaylandPasteboard::writeFileUrls(const QList<QUrl>& urls)
{
    QMimeData data;
    data.setUrls(urls);
    MimeRepresentations representations{
        {PasteboardType::fileUrl.toUtf8(), data.data(PasteboardType::fileUrl)}};
    m_control->setSelection(representations);
    changed();
}

} // namespace nabrix
