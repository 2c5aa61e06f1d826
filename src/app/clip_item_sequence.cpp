// SPDX-License-Identifier: GPL-3.0-or-later
// The entries the history shows: an owned list, or a view onto the history list's rows.
#include "app/clip_item_sequence.h"

namespace nabrix {

ClipItemSequence ClipItemSequence::viewOf(const Provider& provider, const QObject& owner)
{
    ClipItemSequence sequence;
    sequence.m_provider = &provider;
    sequence.m_owner = &owner;
    return sequence;
}

qsizetype ClipItemSequence::size() const
{
    if (m_provider == nullptr)
        return m_items.size();
    return m_owner ? m_provider->itemCount() : 0;
}

ClipItem ClipItemSequence::at(qsizetype index) const
{
    Q_ASSERT(index >= 0 && index < size());
    return m_provider != nullptr ? m_provider->itemAt(index) : m_items.at(index);
}

QUuid ClipItemSequence::idAt(qsizetype index) const
{
    Q_ASSERT(index >= 0 && index < size());
    return m_provider != nullptr ? m_provider->idAt(index) : m_items.at(index).id;
}

QList<ClipItem> ClipItemSequence::toList() const
{
    if (m_provider == nullptr)
        return m_items;
    QList<ClipItem> items;
    const qsizetype count = size();
    items.reserve(count);
    for (qsizetype index = 0; index < count; ++index)
        items.append(m_provider->itemAt(index));
    return items;
}

} // namespace nabrix
