// SPDX-License-Identifier: GPL-3.0-or-later
// The CLIPBOARD selection as MIME types, read over a private X connection.
#include "platform/x11/x11_selection_reader.h"

#include "platform/clipboard_text_targets.h"
#include "platform/pasteboard.h"
#include "platform/x11/x11_selection_connection.h"

#include <QMimeData>

namespace nabrix {

X11SelectionReader::X11SelectionReader(QByteArray displayName, ClipboardReadBounds bounds)
    : m_displayName(std::move(displayName))
    , m_bounds(std::move(bounds))
{
}

X11SelectionReader::~X11SelectionReader() = default;

ClipboardReaderFactory X11SelectionReader::factory(QByteArray displayName)
{
    return [name = std::move(displayName)](ClipboardReadBounds bounds) {
        return std::unique_ptr<ClipboardSource>(
            std::make_unique<X11SelectionReader>(name, std::move(bounds)));
    };
}

const QList<QByteArray>& X11SelectionReader::targets() const
{
    if (!m_targets) {
        m_connection = X11SelectionConnection::open(m_displayName, m_bounds);
        m_targets = m_connection ? m_connection->targets().value_or(QList<QByteArray>())
                                 : QList<QByteArray>();
    }
    return *m_targets;
}

std::optional<QByteArray> X11SelectionReader::convert(const QByteArray& target) const
{
    if (!targets().contains(target) || !m_connection)
        return std::nullopt;
    return m_connection->convert(target);
}

QStringList X11SelectionReader::types() const
{
    return clipboardTypes(targets());
}

std::optional<QByteArray> X11SelectionReader::dataForType(const QString& type) const
{
    return convert(type.toLatin1());
}

std::optional<QString> X11SelectionReader::stringForType(const QString& type) const
{
    if (type != PasteboardType::string)
        return std::nullopt;
    return readText([this](const QByteArray& target) { return convert(target); });
}

std::optional<QList<QUrl>> X11SelectionReader::readFileUrls() const
{
    const auto bytes = convert(PasteboardType::fileUrl.toLatin1());
    if (!bytes)
        return std::nullopt;
    // Parsed by QMimeData, as for every other clipboard Qt reads.
    QMimeData data;
    data.setData(PasteboardType::fileUrl, *bytes);
    return data.urls();
}

} // namespace nabrix
