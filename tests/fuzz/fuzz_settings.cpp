// config.ini may be damaged or hand-edited: any bytes must parse or fail cleanly, every accessor
// must stay in range, and what is written back must load to the same settings.
#include "base/TextFile.h"
#include "settings/AppSettings.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace {
void checkInRange(const AppSettings& s) {
    if (s.currentProfile() < 0 || s.currentProfile() > 4)
        abort();
    if (s.profileShowCount() < 1 || s.profileShowCount() > 5)
        abort();
    AppSettings::ShowOrder order = s.showOrder();
    std::sort(order.begin(), order.end());
    if (order != AppSettings::ShowOrder{0, 1, 2, 3, 4})
        abort();
    for (int slot = 0; slot < 5; ++slot)
        if (s.profileSlotUrl(slot).isEmpty())
            abort();
}

bool sameReading(const AppSettings& a, const AppSettings& b) {
    bool same = a.needPassword() == b.needPassword() && a.sensor() == b.sensor() && a.preST() == b.preST() &&
                a.currentProfile() == b.currentProfile() && a.profileShowCount() == b.profileShowCount() &&
                a.showOrder() == b.showOrder();
    for (int slot = 0; slot < 5; ++slot)
        same = same && a.profileSlotUrl(slot) == b.profileSlotUrl(slot);
    return same;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    AppSettings first;
    if (!first.parseBytes(bytes))
        return 0;
    checkInRange(first);
    const QStringList written = first.lines();
    AppSettings second;
    if (!second.parseBytes(TextFile::encodeLines(written)))
        abort();
    checkInRange(second);
    if (!sameReading(first, second) || second.lines() != written)
        abort();
    return 0;
}
