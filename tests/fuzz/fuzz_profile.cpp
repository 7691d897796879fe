// Profile files come from the user's disk and from imports: any bytes must parse or fail cleanly,
// and whatever parses must survive a save and a second parse unchanged.
#include "base/TextFile.h"
#include "settings/ProfileFile.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    ProfileRecord first;
    if (!ProfileFile::parseBytes(bytes, first))
        return 0;
    const QStringList written = ProfileFile::format(first);
    if (written.size() != ProfileFile::LineCount)
        abort();
    ProfileRecord second;
    if (!ProfileFile::parseBytes(TextFile::encodeLines(written), second))
        abort();
    if (!(second == first) || ProfileFile::format(second) != written)
        abort();
    return 0;
}
