// SPDX-License-Identifier: GPL-3.0-or-later
// Header first, then a decode no larger than the box, within the program's bounds.
#include "views/fitted_image_decoder.h"

#include "capture/content_limits.h"

#include <QBuffer>
#include <QImageReader>

namespace nabrix {

namespace {

// Qt's PNG reader shrinks while it reads only the images it turns into 32-bit pixels (8-bit
// colour, with or without alpha) whose rows come in order; anything else it decodes whole
// and shrinks afterwards.
bool readsScaled(QImageReader& reader, const QByteArray& bytes)
{
    if (reader.format() != "png")
        return false;
    const QImage::Format format = reader.imageFormat();
    if (format != QImage::Format_RGB32 && format != QImage::Format_ARGB32)
        return false;
    // The interlace method is the last byte of the header chunk, which always comes first.
    constexpr qsizetype interlaceOffset = 28;
    return bytes.size() > interlaceOffset && bytes.at(interlaceOffset) == 0;
}

} // namespace

QImage FittedImageDecoder::decode(const QByteArray& bytes, const QSize& pixelBox)
{
    if (pixelBox.isEmpty())
        return {};
    QBuffer buffer;
    buffer.setData(bytes);
    QImageReader reader(&buffer);
    const QSize full = reader.size();
    if (full.isEmpty())
        return {};
    const bool fits = full.width() <= pixelBox.width() && full.height() <= pixelBox.height();
    const QSize shown =
        fits ? full : full.scaled(pixelBox, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
    const bool scaledRead = shown != full && readsScaled(reader, bytes);
    const qint64 pixels = qint64(full.width()) * full.height();
    if (pixels > (scaledRead ? maxScaledReadPixels : maxWholeDecodedPixels))
        return {};
    if (shown != full)
        reader.setScaledSize(shown);
    return reader.read();
}

} // namespace nabrix
