// SPDX-License-Identifier: GPL-3.0-or-later
// Bounds on what capture stores and on the images the program decodes.
#pragma once

#include <QtGlobal>

namespace nabrix {

// The largest snapshot kept. The store's own limit on one value is 10^9 bytes; a larger one
// would fail to save and stay pending (and in memory) for good. A copy of 500 MB fits.
inline constexpr qsizetype maxStoredContentBytes = qsizetype(768) * 1024 * 1024;

// Qt refuses to decode an image above 128 MB of pixels unless told otherwise; a 100-megapixel
// screenshot needs 400 MB. Up to 1 GiB (about 268 megapixels at 32 bits) is decoded.
inline constexpr int maxDecodedImageMegabytes = 1024;

// Views never decode an image at full size only to shrink it; these bound what they read.
// Qt reads a non-interlaced 8-bit colour PNG scaled, a few rows at a time, so its cost is
// time on a worker (about two seconds at 16000 x 16000): it shows up to the size capture
// could have decoded whole (the 1 GiB above, at 4 bytes a pixel).
inline constexpr qint64 maxScaledReadPixels = qint64(maxDecodedImageMegabytes) * 1024 * 1024 / 4;
// Any other image (palette, grey, 16-bit, interlaced) is decoded whole before it shrinks, at
// up to 8 bytes a pixel, and each worker thread may hold one. 4096 x 4096 keeps even a
// 16-bit one within Qt's own default limit of 128 MiB per image, and still covers a
// screenshot across two 4K screens (7680 x 2160).
inline constexpr qint64 maxWholeDecodedPixels = qint64(4096) * 4096;

} // namespace nabrix
