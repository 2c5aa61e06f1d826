// SPDX-License-Identifier: GPL-3.0-or-later
// Screenshot-sized test images whose PNG files are as large as real ones.
#include "sample_image.h"

#include <QBuffer>
#include <algorithm>
#include <random>

namespace nabrix::bench {

QImage SampleImage::make(QSize size, quint64 seed, Texture texture)
{
    QImage image(size, QImage::Format_RGB32);
    std::mt19937_64 random(seed);
    // The start and end colours depend on the seed so that images of different seeds
    // differ everywhere, not only in their noise.
    const int startRed = static_cast<int>(random() % 256);
    const int startGreen = static_cast<int>(random() % 256);
    const int startBlue = static_cast<int>(random() % 256);
    const int span = std::max(1, size.width() + size.height() - 2);
    for (int y = 0; y < size.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        quint64 bits = 0;
        int bitsLeft = 0;
        for (int x = 0; x < size.width(); ++x) {
            if (bitsLeft < 9) {
                bits = random();
                bitsLeft = 64;
            }
            // About two and a half bits of noise per channel: the PNG of a full-HD image
            // then takes two to three megabytes.
            const int amplitude = texture == Texture::Noisy ? 1 : 0;
            const int noiseRed = amplitude * (static_cast<int>(bits % 7) - 3);
            const int noiseGreen = amplitude * (static_cast<int>((bits >> 3) % 7) - 3);
            const int noiseBlue = amplitude * (static_cast<int>((bits >> 6) % 7) - 3);
            bits >>= 9;
            bitsLeft -= 9;
            const int position = (x + y) * 255 / span;
            line[x] = qRgb(
                std::clamp((startRed + position) % 256 + noiseRed, 0, 255),
                std::clamp((startGreen + 255 - position) % 256 + noiseGreen, 0, 255),
                std::clamp((startBlue + y * 255 / std::max(1, size.height())) % 256 + noiseBlue, 0,
                           255));
        }
    }
    return image;
}

namespace {

QByteArray encoded(const QImage& image, const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, format))
        return {};
    return bytes;
}

} // namespace

QByteArray SampleImage::png(const QImage& image)
{
    return encoded(image, "PNG");
}

QByteArray SampleImage::tiff(const QImage& image)
{
    return encoded(image, "TIFF");
}

} // namespace nabrix::bench
