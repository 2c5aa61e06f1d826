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

} // namespace nabrix
