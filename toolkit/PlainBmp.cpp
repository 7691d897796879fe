#include "toolkit/PlainBmp.h"

#include <QIODevice>
#include <QtEndian>
#include <cstring>
#include <vector>

namespace {
constexpr int MaxSide = 16384;
constexpr int FileHeaderSize = 14;
constexpr int InfoHeaderSize = 40;
} // namespace

QImage PlainBmp::read(QIODevice& in) {
    uchar head[FileHeaderSize + InfoHeaderSize];
    if (in.read(reinterpret_cast<char*>(head), sizeof head) != qint64(sizeof head) || head[0] != 'B' ||
        head[1] != 'M')
        return {};
    const uint32_t dataOffset = qFromLittleEndian<uint32_t>(head + 10);
    const uint32_t infoSize = qFromLittleEndian<uint32_t>(head + 14);
    const int32_t width = qFromLittleEndian<int32_t>(head + 18);
    const int32_t height = qFromLittleEndian<int32_t>(head + 22);
    const uint16_t planes = qFromLittleEndian<uint16_t>(head + 26);
    const uint16_t bits = qFromLittleEndian<uint16_t>(head + 28);
    const uint32_t compression = qFromLittleEndian<uint32_t>(head + 30);
    if (infoSize < InfoHeaderSize || planes != 1 || bits != 24 || compression != 0)
        return {};
    if (width <= 0 || width > MaxSide || height == 0 || height < -MaxSide || height > MaxSide)
        return {};
    const int rows = height < 0 ? -height : height;
    const qint64 stride = (qint64(width) * 3 + 3) & ~qint64(3);
    if (dataOffset < FileHeaderSize + infoSize || !in.seek(in.pos() - qint64(sizeof head) + dataOffset))
        return {};

    QImage image(width, rows, QImage::Format_RGB32);
    if (image.isNull())
        return {};
    std::vector<uchar> line(size_t(stride) + 1); // a spare byte for the last pixel's four-byte load
    for (int fileRow = 0; fileRow < rows; ++fileRow) {
        if (in.read(reinterpret_cast<char*>(line.data()), stride) != stride)
            return {};
        // Stored bottom-up unless the height is negative.
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(height > 0 ? rows - 1 - fileRow : fileRow));
        const uchar* p = line.data();
        for (int x = 0; x < width; ++x, p += 3) {
            uint32_t v;
            std::memcpy(&v, p, 4);
            out[x] = 0xFF000000u | (qFromLittleEndian(v) & 0xFFFFFFu); // B, G, R: already QRgb's order
        }
    }
    return image;
}
