// SPDX-License-Identifier: GPL-3.0-or-later
// Single-colour PNG files of any size, for tests of huge images.
#pragma once

#include <QByteArray>
#include <QSize>

namespace nabrix::testing {

// QImage would hold every pixel before saving (a gigabyte at 16000 x 16000); these files are
// written a row at a time through zlib, so a huge image costs about a second and no memory.
class FlatPng {
public:
    enum class Layout {
        // 8-bit RGB, rows in order: the kind Qt can read scaled.
        Colour,
        // 8-bit grey.
        Grey,
        // 8-bit RGB in Adam7 order.
        InterlacedColour,
    };

    static QByteArray make(QSize size, Layout layout);
};

} // namespace nabrix::testing
