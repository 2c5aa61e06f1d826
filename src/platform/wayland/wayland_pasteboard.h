// SPDX-License-Identifier: GPL-3.0-or-later
// The Wayland selection through data-control, with a change counter.
#pragma once

#include "platform/pasteboard.h"

#include <memory>

namespace nabrix {

class WaylandDataControl;

// Every read goes through a worker's reader (the main thread never waits on an owner);
// the readers of this thread see an empty clipboard.
class WaylandPasteboard final : public Pasteboard {
    Q_OBJECT
public:
    explicit WaylandPasteboard(std::shared_ptr<WaylandDataControl> control,
                               QObject* parent = nullptr);

    qint64 changeCount() const override { return m_changeCount; }
    // Every selection event of the compositor moves it, whichever window has the focus.
    bool notifiesEveryChange() const override { return true; }
    std::unique_ptr<ClipboardSource> readerForWorker(ClipboardReadBounds bounds) const override;
    QStringList types() const override { return {}; }
    std::optional<QByteArray> dataForType(const QString& /*type*/) const override
    {
        return std::nullopt;
    }
    std::optional<QString> stringForType(const QString& /*type*/) const override
    {
        return std::nullopt;
    }
    std::optional<QList<QUrl>> readFileUrls() const override { return std::nullopt; }

    void clearContents() override;
    void writeString(const QString& text) override;
    void writeData(const QString& type, const QByteArray& data,
                   const std::optional<QString>& text) override;
    void writeFileUrls(const QList<QUrl>& urls) override;

private:
    void changed();

    std::shared_ptr<WaylandDataControl> m_control;
    qint64 m_changeCount = 0;
};

} // namespace nabrix
