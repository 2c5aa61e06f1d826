// SPDX-License-Identifier: GPL-3.0-or-later
// Screenshot-sized test images whose PNG files are as large as real ones.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>

namespace nabrix::bench {

class SampleImage {
public:
    static constexpr QSize screenSize{1920, 1080};

    enum class Texture {
        // Low-amplitude pixel noise over the gradient: a PNG of a few megabytes, like a
        // photo-rich screenshot (pure noise would give far more).
        Noisy,
        // The gradient alone: compresses to almost nothing, like a flat user interface.
        Smooth,
    };

    // A diagonal colour gradient; the same seed gives the same pixels.
    static QImage make(QSize size, quint64 seed, Texture texture = Texture::Noisy);
    static QByteArray png(const QImage& image);
    static QByteArray tiff(const QImage& image);
};

} // namespace nabrix::bench
