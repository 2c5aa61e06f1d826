// SPDX-License-Identifier: GPL-3.0-or-later
// The clipboard-manager role on Wayland: noticing that recorded content lost its source.
#pragma once

#include "platform/clipboard_keeper.h"

#include <memory>
#include <optional>

namespace nabrix {

class Pasteboard;
class WaylandDataControl;

// The compositor empties the selection when its source goes away; there is no role to take
// and nobody asks to save.
class WaylandClipboardKeeper final : public ClipboardKeeper {
    Q_OBJECT
public:
    // Follows `control` after `pasteboard` does, so that the count has moved when it looks.
    WaylandClipboardKeeper(const Pasteboard& pasteboard,
                           std::shared_ptr<WaylandDataControl> control, QObject* parent = nullptr);

    bool claim() override { return true; }
    void release() override {}
    void finishSave(bool /*saved*/) override {}
    void contentRecorded() override;

private:
    void selectionChanged(bool empty);

    const Pasteboard& m_pasteboard;
    std::shared_ptr<WaylandDataControl> m_control;
    std::optional<qint64> m_recordedChange;
};

} // namespace nabrix
