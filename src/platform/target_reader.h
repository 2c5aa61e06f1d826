// SPDX-License-Identifier: GPL-3.0-or-later
// A clipboard read target by target (X11 selection targets, Wayland MIME types).
#pragma once

#include "platform/clipboard_source.h"

namespace nabrix {

// What the capture code asks of a clipboard, answered from the names the owner offers and
// the bytes read under one name at a time.
class TargetReader : public ClipboardSource {
public:
    QStringList types() const final;
    std::optional<QByteArray> dataForType(const QString& type) const final;
    std::optional<QString> stringForType(const QString& type) const final;
    std::optional<QList<QUrl>> readFileUrls() const final;

protected:
    virtual QList<QByteArray> offeredTargets() const = 0;
    virtual std::optional<QByteArray> readTarget(const QByteArray& target) const = 0;
};

} // namespace nabrix
