// SPDX-License-Identifier: GPL-3.0-or-later
// A typed snapshot of the clipboard, already in the stored encoding.
#pragma once

#include "storage/clip_type.h"

#include <QByteArray>
#include <QSize>
#include <QString>
#include <optional>

namespace nabrix {

struct PasteboardContent {
    ClipType type = ClipType::Text;
    QByteArray contentData;
    QString searchString;
    std::optional<QString> sourceAppBundleID;
    // The owner flagged the copy as a secret (freedesktop password-manager hint).
    bool markedSecret = false;
    // Pixel size of an image snapshot.
    std::optional<QSize> imageSize;
};

} // namespace nabrix
