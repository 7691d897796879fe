#include "toolkit/StoredPng.h"

#include "toolkit/ImageArena.h"
#include "toolkit/PlainBmp.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QtEndian>
#include <array>
#include <cstring>
#include <vector>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define VIREO_ROW_SHUFFLE 1
#endif

namespace {
constexpr char Signature[] = "\x89PNG\r\n\x1a\n";
constexpr int SignatureSize = 8;
constexpr int MaxStoredBlock = 65535;
constexpr int MaxSide = 16384;

uint32_t crc32(const char* data, qsizetype size, uint32_t crc = 0) {
    static const std::array<uint32_t, 256> table = [] {
        std::array<uint32_t, 256> t{};
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    crc = ~crc;
    for (qsizetype i = 0; i < size; ++i)
        crc = table[(crc ^ uint8_t(data[i])) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

uint32_t adler32(const QByteArray& data) {
    uint32_t a = 1, b = 0;
    for (const char c : data) {
        a = (a + uint8_t(c)) % 65521;
        b = (b + a) % 65521;
    }
    return (b << 16) | a;
}

void putBig32(QByteArray& out, uint32_t v) {
    out.append(char(v >> 24)).append(char(v >> 16)).append(char(v >> 8)).append(char(v));
}

void putChunk(QByteArray& out, const char* type, const QByteArray& body) {
    putBig32(out, uint32_t(body.size()));
    const qsizetype start = out.size();
    out.append(type, 4).append(body);
    putBig32(out, crc32(out.constData() + start, out.size() - start));
}

uint32_t big32(const uchar* p) {
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}
} // namespace

QByteArray StoredPng::encode(const QImage& image) {
    if (image.isNull())
        return {};
    const bool alpha = image.hasAlphaChannel();
    const QImage pixels = image.convertToFormat(alpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888);
    const int rowBytes = pixels.width() * (alpha ? 4 : 3);

    QByteArray header;
    putBig32(header, uint32_t(pixels.width()));
    putBig32(header, uint32_t(pixels.height()));
    header.append(char(8)).append(char(alpha ? 6 : 2)).append(char(0)).append(char(0)).append(char(0));

    QByteArray rows; // filter type 0 before every row
    rows.reserve(qsizetype(pixels.height()) * (rowBytes + 1));
    for (int y = 0; y < pixels.height(); ++y)
        rows.append(char(0)).append(reinterpret_cast<const char*>(pixels.constScanLine(y)), rowBytes);

    QByteArray stream;
    stream.append(char(0x78)).append(char(0x01));
    qsizetype at = 0;
    do {
        const int length = int(std::min<qsizetype>(MaxStoredBlock, rows.size() - at));
        const bool last = at + length == rows.size();
        stream.append(char(last ? 1 : 0));
        stream.append(char(length & 0xFF)).append(char(length >> 8));
        stream.append(char(~length & 0xFF)).append(char((~length >> 8) & 0xFF));
        stream.append(rows.constData() + at, length);
        at += length;
    } while (at < rows.size());
    putBig32(stream, adler32(rows));

    QByteArray out(Signature, SignatureSize);
    putChunk(out, "IHDR", header);
    putChunk(out, "IDAT", stream);
    putChunk(out, "IEND", {});
    return out;
}

namespace {
// Bytes the row buffer has past the row: the pixel loops load whole 4- and 16-byte words.
constexpr int RowSlack = 16;

uint32_t loadLe32(const uchar* at) {
    uint32_t v;
    std::memcpy(&v, at, 4);
    return qFromLittleEndian(v); // R | G << 8 | B << 16 | A << 24
}

// From `x` to `width`, one pixel at a time.
// `step`: bytes from one pixel read to the next (twice the pixel's size for a half-size row).
void rgbRow(const uchar* p, QRgb* out, int x, int width, int step = 3) {
    for (p += step * x; x < width; ++x, p += step) {
        const uint32_t v = loadLe32(p);
        out[x] = 0xFF000000u | (v & 0xFF00u) | (v & 0xFFu) << 16 | (v >> 16 & 0xFFu);
    }
}

void rgbaRow(const uchar* p, QRgb* out, int x, int width, int step = 4) {
    for (p += step * x; x < width; ++x, p += step) {
        const uint32_t v = loadLe32(p);
        const QRgb pixel = (v & 0xFF00FF00u) | (v & 0xFFu) << 16 | (v >> 16 & 0xFFu);
        out[x] = pixel >= 0xFF000000u ? pixel : qPremultiply(pixel);
    }
}

#ifdef VIREO_ROW_SHUFFLE
// Four pixels per byte shuffle; returns how many pixels it converted.
__attribute__((target("ssse3"))) int rgbRowShuffled(const uchar* p, QRgb* out, int width) {
    const __m128i order = _mm_setr_epi8(2, 1, 0, -1, 5, 4, 3, -1, 8, 7, 6, -1, 11, 10, 9, -1);
    const __m128i opaque = _mm_set1_epi32(int(0xFF000000u));
    int x = 0;
    for (; x + 4 <= width; x += 4, p += 12) { // a 16-byte load of 12 bytes: the slack covers it
        const __m128i in = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x),
                         _mm_or_si128(_mm_shuffle_epi8(in, order), opaque));
    }
    return x;
}

// Runs of opaque pixels only; the first group with any translucency is left to the caller.
__attribute__((target("ssse3"))) int rgbaRowShuffled(const uchar* p, QRgb* out, int width) {
    const __m128i order = _mm_setr_epi8(2, 1, 0, 3, 6, 5, 4, 7, 10, 9, 8, 11, 14, 13, 12, 15);
    const __m128i alpha = _mm_set1_epi32(int(0xFF000000u));
    int x = 0;
    for (; x + 4 <= width; x += 4, p += 16) {
        const __m128i in = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(in, alpha), alpha)) != 0xFFFF) {
            rgbaRow(p - 4 * x, out, x, x + 4);
            continue;
        }
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), _mm_shuffle_epi8(in, order));
    }
    return x;
}

bool canShuffle() {
    static const bool supported = __builtin_cpu_supports("ssse3");
    return supported;
}
#endif

// Every second pixel of a row, from the first: the row of a half-size image.
void convertHalfRow(const uchar* p, QRgb* out, int width, int channels) {
    if (channels == 3)
        rgbRow(p, out, 0, width, 6);
    else
        rgbaRow(p, out, 0, width, 8);
}

void convertRow(const uchar* p, QRgb* out, int width, int channels) {
    int done = 0;
#ifdef VIREO_ROW_SHUFFLE
    if (canShuffle())
        done = channels == 3 ? rgbRowShuffled(p, out, width) : rgbaRowShuffled(p, out, width);
#endif
    if (channels == 3)
        rgbRow(p, out, done, width);
    else
        rgbaRow(p, out, done, width);
}

// Reads a stored PNG from a device straight into the final image, a row at a time: neither the
// file nor a second copy of the image is held (the background alone is 2.5 MB).
class StoredReader {
public:
    StoredReader(QIODevice& device, bool halfSize) : in(device), half(halfSize) {}

    QImage read() {
        char signature[SignatureSize];
        if (in.read(signature, SignatureSize) != SignatureSize ||
            std::memcmp(signature, Signature, SignatureSize) != 0)
            return {};
        while (!ended) {
            uchar head[8];
            if (in.read(reinterpret_cast<char*>(head), 8) != 8)
                return {};
            const uint32_t length = big32(head);
            if (length > 0x7FFFFFFFu)
                return {};
            const char* type = reinterpret_cast<const char*>(head + 4);
            if (std::memcmp(type, "IHDR", 4) == 0) {
                if (!header(length))
                    return {};
            } else if (std::memcmp(type, "IDAT", 4) == 0) {
                if (image.isNull() || !data(length))
                    return {};
            } else if (std::memcmp(type, "IEND", 4) == 0) {
                ended = true;
            } else if (!(type[0] & 0x20) || !in.skip(length)) {
                return {}; // a critical chunk this reader does not know (a palette, say)
            }
            if (!in.skip(4)) // the CRC; a damaged file shows wrong pixels at worst
                return {};
        }
        if (image.isNull() || row != rows || stage != Stage::Checksum)
            return {};
        return std::move(image);
    }

private:
    enum class Stage { StreamHeader, BlockHeader, BlockData, Checksum };

    bool header(uint32_t length) {
        uchar body[13];
        if (length != 13 || !image.isNull() || in.read(reinterpret_cast<char*>(body), 13) != 13)
            return false;
        if (body[8] != 8 || body[10] != 0 || body[11] != 0 || body[12] != 0 || (body[9] != 2 && body[9] != 6))
            return false;
        const uint32_t w = big32(body), h = big32(body + 4);
        if (w == 0 || h == 0 || w > MaxSide || h > MaxSide)
            return false;
        channels = body[9] == 6 ? 4 : 3;
        if (half && (w % 2 || h % 2))
            return false;
        image =
            ImageArena::allocate(int(half ? w / 2 : w), int(half ? h / 2 : h),
                                 channels == 4 ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
        rows = int(h);
        rowBytes = int(w) * channels;
        line.resize(size_t(rowBytes) + RowSlack);
        return !image.isNull();
    }

    // One IDAT chunk's part of the zlib stream: stored blocks of rows with filter type 0.
    bool data(uint32_t length) {
        qsizetype left = length;
        while (left > 0) {
            switch (stage) {
            case Stage::StreamHeader:
            case Stage::BlockHeader: {
                const int need = stage == Stage::StreamHeader ? 2 : 5;
                const int take = int(std::min<qsizetype>(left, need - pendingCount));
                if (in.read(reinterpret_cast<char*>(pending + pendingCount), take) != take)
                    return false;
                pendingCount += take;
                left -= take;
                if (pendingCount == need && !headerDone())
                    return false;
                break;
            }
            case Stage::BlockData: {
                if (row >= rows)
                    return false;
                if (column < 0) {
                    char filter = 0;
                    if (!in.getChar(&filter) || filter != 0)
                        return false;
                    column = 0;
                    --left;
                    --blockLeft;
                } else {
                    const int take =
                        int(std::min<qsizetype>({left, qsizetype(blockLeft), qsizetype(rowBytes - column)}));
                    if (in.read(reinterpret_cast<char*>(line.data()) + column, take) != take)
                        return false;
                    column += take;
                    left -= take;
                    blockLeft -= take;
                    if (column == rowBytes)
                        finishRow();
                }
                if (blockLeft == 0)
                    stage = lastBlock ? Stage::Checksum : Stage::BlockHeader;
                break;
            }
            case Stage::Checksum:
                // The Adler-32 and anything after it: not needed for the pixels.
                if (!in.skip(left))
                    return false;
                left = 0;
                break;
            }
        }
        return true;
    }

    bool headerDone() {
        pendingCount = 0;
        if (stage == Stage::StreamHeader) {
            if ((pending[0] & 0x0F) != 8 || (pending[1] & 0x20) || ((pending[0] << 8) | pending[1]) % 31 != 0)
                return false;
            stage = Stage::BlockHeader;
            return true;
        }
        if ((pending[0] >> 1) & 3)
            return false; // a compressed block
        lastBlock = pending[0] & 1;
        blockLeft = pending[1] | pending[2] << 8;
        if ((blockLeft ^ (pending[3] | pending[4] << 8)) != 0xFFFF)
            return false;
        stage = blockLeft > 0 ? Stage::BlockData : (lastBlock ? Stage::Checksum : Stage::BlockHeader);
        return true;
    }

    void finishRow() {
        if (!half)
            convertRow(line.data(), reinterpret_cast<QRgb*>(image.scanLine(row)), image.width(), channels);
        else if (row % 2 == 0)
            convertHalfRow(line.data(), reinterpret_cast<QRgb*>(image.scanLine(row / 2)), image.width(),
                           channels);
        column = -1;
        ++row;
    }

    QIODevice& in;
    const bool half;
    QImage image;
    int rows = 0; // in the file
    std::vector<uchar> line;
    int channels = 0, rowBytes = 0;
    int row = 0, column = -1; // column -1: the row's filter byte comes next
    Stage stage = Stage::StreamHeader;
    uchar pending[5] = {};
    int pendingCount = 0;
    int blockLeft = 0;
    bool lastBlock = false;
    bool ended = false;
};
} // namespace

QImage StoredPng::decode(const QByteArray& data) {
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    return StoredReader(buffer, false).read();
}

QSize StoredPng::size(const QString& file) {
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly))
        return {};
    const QByteArray head = in.read(24);
    const auto* bytes = reinterpret_cast<const uchar*>(head.constData());
    if (head.size() == 24 && std::memcmp(bytes, Signature, SignatureSize) == 0 &&
        std::memcmp(bytes + 12, "IHDR", 4) == 0) {
        const uint32_t w = big32(bytes + 16), h = big32(bytes + 20);
        return w > 0 && h > 0 && w <= MaxSide && h <= MaxSide ? QSize(int(w), int(h)) : QSize();
    }
    in.seek(0);
    QImageReader reader(&in);
    reader.setDecideFormatFromContent(true);
    return reader.size();
}

QImage StoredPng::read(const QString& file) {
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly))
        return {};
    QImage image = StoredReader(in, false).read();
    if (!image.isNull())
        return image;
    in.seek(0);
    image = PlainBmp::read(in);
    if (!image.isNull())
        return image;
    in.seek(0);
    QImageReader reader(&in);
    reader.setDecideFormatFromContent(true);
    return reader.read();
}

QImage StoredPng::readHalf(const QString& file) {
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly))
        return {};
    QImage image = StoredReader(in, true).read();
    if (!image.isNull())
        return image;
    in.close();
    // Another format: decoded whole, in the form it is drawn in, then thinned.
    const QImage whole = read(file);
    return half(whole.convertToFormat(whole.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                              : QImage::Format_RGB32));
}

QImage StoredPng::half(const QImage& image) {
    if (image.isNull() || image.width() % 2 || image.height() % 2 || image.depth() != 32)
        return {};
    QImage out(image.width() / 2, image.height() / 2, image.format());
    for (int y = 0; y < out.height(); ++y) {
        const auto* from = reinterpret_cast<const QRgb*>(image.constScanLine(2 * y));
        auto* to = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x)
            to[x] = from[2 * x];
    }
    return out;
}
