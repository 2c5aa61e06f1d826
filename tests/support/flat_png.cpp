// SPDX-License-Identifier: GPL-3.0-or-later
// Single-colour PNG files of any size, for tests of huge images.
#include "flat_png.h"

#include <QtEndian>
#include <array>
#include <zlib.h>

namespace nabrix::testing {

namespace {

void appendChunk(QByteArray& file, const char* type, const QByteArray& data)
{
    std::array<char, 4> word{};
    qToBigEndian<quint32>(static_cast<quint32>(data.size()), word.data());
    file.append(word.data(), 4);
    const QByteArray body = QByteArray(type, 4) + data;
    file.append(body);
    const uLong crc =
        crc32(0, reinterpret_cast<const Bytef*>(body.constData()), static_cast<uInt>(body.size()));
    qToBigEndian<quint32>(static_cast<quint32>(crc), word.data());
    file.append(word.data(), 4);
}

class Deflater {
public:
    Deflater() { deflateInit(&m_stream, Z_BEST_SPEED); }
    ~Deflater() { deflateEnd(&m_stream); }
    Deflater(const Deflater&) = delete;
    Deflater& operator=(const Deflater&) = delete;

    void add(const QByteArray& bytes, int flush = Z_NO_FLUSH)
    {
        m_stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.constData()));
        m_stream.avail_in = static_cast<uInt>(bytes.size());
        std::array<char, 1 << 16> out{};
        do {
            m_stream.next_out = reinterpret_cast<Bytef*>(out.data());
            m_stream.avail_out = static_cast<uInt>(out.size());
            deflate(&m_stream, flush);
            m_compressed.append(out.data(), qsizetype(out.size() - m_stream.avail_out));
        } while (m_stream.avail_in > 0 || m_stream.avail_out == 0);
    }
    QByteArray finish()
    {
        add({}, Z_FINISH);
        return m_compressed;
    }

private:
    z_stream m_stream{};
    QByteArray m_compressed;
};

// One row of the given width: filter type 0, then every sample the same mid grey.
QByteArray row(int width, int channels)
{
    QByteArray bytes(1 + qsizetype(width) * channels, char(0x50));
    bytes[0] = 0;
    return bytes;
}

} // namespace

QByteArray FlatPng::make(QSize size, Layout layout)
{
    const bool grey = layout == Layout::Grey;
    const bool interlaced = layout == Layout::InterlacedColour;
    const int channels = grey ? 1 : 3;
    QByteArray header(13, 0);
    qToBigEndian<quint32>(static_cast<quint32>(size.width()), header.data());
    qToBigEndian<quint32>(static_cast<quint32>(size.height()), header.data() + 4);
    header[8] = 8;            // bits per sample
    header[9] = grey ? 0 : 2; // colour type
    header[12] = interlaced ? 1 : 0;

    Deflater deflater;
    if (interlaced) {
        // Adam7: seven reduced images, each given by its first column and row and its steps.
        constexpr std::array<std::array<int, 4>, 7> passes{{
            {0, 0, 8, 8},
            {4, 0, 8, 8},
            {0, 4, 4, 8},
            {2, 0, 4, 4},
            {0, 2, 2, 4},
            {1, 0, 2, 2},
            {0, 1, 1, 2},
        }};
        for (const auto& [x, y, xStep, yStep] : passes) {
            const int width = (size.width() - x + xStep - 1) / xStep;
            const int height = (size.height() - y + yStep - 1) / yStep;
            if (width <= 0 || height <= 0)
                continue;
            const QByteArray line = row(width, channels);
            for (int i = 0; i < height; ++i)
                deflater.add(line);
        }
    } else {
        const QByteArray line = row(size.width(), channels);
        for (int i = 0; i < size.height(); ++i)
            deflater.add(line);
    }

    QByteArray file("\x89PNG\r\n\x1a\n", 8);
    appendChunk(file, "IHDR", header);
    appendChunk(file, "IDAT", deflater.finish());
    appendChunk(file, "IEND", {});
    return file;
}

} // namespace nabrix::testing
