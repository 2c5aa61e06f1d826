// SPDX-License-Identifier: GPL-3.0-or-later
// The four kinds of history entry and their stored names.
#include "storage/clip_type.h"

namespace nabrix {

QString clipTypeRawValue(ClipType type)
{
    switch (type) {
    case ClipType::Text:
        return QStringLiteral("text");
    case ClipType::Rtf:
        return QStringLiteral("rtf");
    case ClipType::Image:
        return QStringLiteral("image");
    case ClipType::File:
        return QStringLiteral("file");
    }
    Q_UNREACHABLE();
}

std::optional<ClipType> clipTypeFromRawValue(QAnyStringView raw)
{
    for (ClipType type : allClipTypes) {
        if (raw == clipTypeRawValue(type))
            return type;
    }
    return std::nullopt;
}

} // namespace nabrix
