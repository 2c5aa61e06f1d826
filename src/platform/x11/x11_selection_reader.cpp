// SPDX-License-Identifier: GPL-3.0-or-later
// The CLIPBOARD selection as MIME types, read over a private X connection.
#include "platform/x11/x11_selection_reader.h"

#include "platform/x11/x11_selection_connection.h"

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

} // namespace nabrix
