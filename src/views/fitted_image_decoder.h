// SPDX-License-Identifier: GPL-3.0-or-later
// Decodes a stored image at the size it is shown, never at full size only to shrink it.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>

namespace nabrix {

class FittedImageDecoder {
public:
    // The image scaled to fit `pixelBox` (aspect ratio kept, never enlarged). A null image
    // when the bytes are no image or when reading it would cost more than the bounds in
    // capture/content_limits.h allow; the entry itself stays as it was stored either way.
    static QImage decode(const QByteArray& bytes, const QSize& pixelBox);
};

} // namespace nabrix
