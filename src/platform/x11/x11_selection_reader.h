// SPDX-License-Identifier: GPL-3.0-or-later
// The CLIPBOARD selection as MIME types, read over a private X connection so that it can
// run on a worker thread: a silent or slow owner stalls the worker, never the UI.
#pragma once

#include "platform/target_reader.h"

#include <QByteArray>
#include <memory>

namespace nabrix {

class X11SelectionConnection;

class X11SelectionReader final : public TargetReader {
public:
    // Connects on first use, from the thread that reads.
    X11SelectionReader(QByteArray displayName, ClipboardReadBounds bounds);
    ~X11SelectionReader() override;

    // Makes readers for the display with this name.
    static ClipboardReaderFactory factory(QByteArray displayName);

private:
    QList<QByteArray> offeredTargets() const override { return targets(); }
    std::optional<QByteArray> readTarget(const QByteArray& target) const override
    {
        return convert(target);
    }
    const QList<QByteArray>& targets() const;
    std::optional<QByteArray> convert(const QByteArray& target) const;

    QByteArray m_displayName;
    ClipboardReadBounds m_bounds;
    mutable std::unique_ptr<X11SelectionConnection> m_connection;
    mutable std::optional<QList<QByteArray>> m_targets;
};

} // namespace nabrix
