// SPDX-License-Identifier: GPL-3.0-or-later
// The clipboard-manager role on Wayland: noticing that recorded content lost its source.
#include "platform/wayland/wayland_clipboard_keeper.h"

#include "platform/pasteboard.h"
#include "platform/wayland/wayland_data_control.h"

namespace nabrix {

WaylandClipboardKeeper::WaylandClipboardKeeper(const Pasteboard& pasteboard,
                                               std::shared_ptr<WaylandDataControl> control,
                                               QObject* parent)
    : ClipboardKeeper(parent)
    , m_pasteboard(pasteboard)
    , m_control(std::move(control))
{
    connect(m_control.get(), &WaylandDataControl::selectionChanged, this,
            &WaylandClipboardKeeper::selectionChanged);
}

void WaylandClipboardKeeper::contentRecorded()
{
    m_recordedChange = m_pasteboard.changeCount();
}

void WaylandClipboardKeeper::selectionChanged(bool empty)
{
    // Only the change right after the recorded one counts: anything copied since, our own
    // writes included, has moved the count further.
    const bool recordedWasCurrent =
        m_recordedChange && *m_recordedChange == m_pasteboard.changeCount() - 1;
    m_recordedChange.reset();
    if (empty && recordedWasCurrent)
        Q_EMIT recordedOwnerVanished();
}

} // namespace nabrix
