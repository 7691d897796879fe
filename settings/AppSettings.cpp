#include "settings/AppSettings.h"

#include "base/NumberText.h"
#include "base/TextFile.h"

#include <algorithm>

namespace {
const QString kHeader = QStringLiteral("[Setting]");

const SettingPair kFactory[AppSettings::Count] = {
    {QStringLiteral("NeedPassword"), QStringLiteral("1")},
    {QStringLiteral("Sensor"), QStringLiteral("0x3395")},
    {QStringLiteral("PreST"), QStringLiteral("0xCC6A")},
    {QStringLiteral("Mac_ID"), QStringLiteral("0xFFFFFFFF")},
    {QStringLiteral("DataChange"), QStringLiteral("0x1234")},
    {QStringLiteral("CurrentProfile"), QStringLiteral("0")},
    {QStringLiteral("ProfileShowCount"), QStringLiteral("3")},
    {QStringLiteral("ProfileShowList0"), QStringLiteral("0")},
    {QStringLiteral("ProfileShowList1"), QStringLiteral("1")},
    {QStringLiteral("ProfileShowList2"), QStringLiteral("2")},
    {QStringLiteral("ProfileShowList3"), QStringLiteral("3")},
    {QStringLiteral("ProfileShowList4"), QStringLiteral("4")},
    {QStringLiteral("ProfileSlot0URL"), QStringLiteral("config\\default0.psf")},
    {QStringLiteral("ProfileSlot1URL"), QStringLiteral("config\\default1.psf")},
    {QStringLiteral("ProfileSlot2URL"), QStringLiteral("config\\default2.psf")},
    {QStringLiteral("ProfileSlot3URL"), QStringLiteral("config\\default3.psf")},
    {QStringLiteral("ProfileSlot4URL"), QStringLiteral("config\\default4.psf")},
};

bool isIndex(int index) {
    return index >= 0 && index < AppSettings::Count;
}
bool isSlot(int slot) {
    return slot >= 0 && slot < AppSettings::SlotCount;
}

int decimal(const QString& text) {
    return NumberText::toInt32(text, 10);
}

bool isOrderOfSlots(const AppSettings::ShowOrder& order) {
    std::array<bool, AppSettings::SlotCount> seen{};
    for (int slot : order) {
        if (!isSlot(slot) || seen[size_t(slot)])
            return false;
        seen[size_t(slot)] = true;
    }
    return true;
}
} // namespace

QString AppSettings::factoryName(int index) {
    return isIndex(index) ? kFactory[index].name : QString();
}
QString AppSettings::factoryValue(int index) {
    return isIndex(index) ? kFactory[index].value : QString();
}

void AppSettings::SetAppDefaults() {
    for (int i = 0; i < Count; ++i)
        pairs[size_t(i)] = kFactory[i];
}

bool AppSettings::SaveAppSettings(const QString& path) const {
    return TextFile::writeLines(path, lines());
}

QStringList AppSettings::lines() const {
    QStringList out;
    out.reserve(Count + 1);
    out << kHeader;
    for (int i = 0; i < Count; ++i) {
        const QString& name = pairs[size_t(i)].name;
        QString value = valueToWrite(i);
        value.replace(u'\n', u' '); // a line feed would split the entry and spoil the file
        out << (name.isEmpty() ? kFactory[i].name : name) + u'=' + value;
    }
    return out;
}

QString AppSettings::valueToWrite(int index) const {
    const QString& stored = pairs[size_t(index)].value;
    if (index >= ProfileShowList0 && index < ProfileShowList0 + SlotCount) {
        ShowOrder order;
        if (stored.isEmpty() || !storedShowOrder(order))
            return QString::number(showOrder()[size_t(index - ProfileShowList0)]);
    }
    if (!stored.isEmpty())
        return stored;
    switch (index) {
    case NeedPassword:
        return QString::number(needPassword());
    case Sensor:
        return NumberText::hexBlank4(sensor());
    case PreST:
        return NumberText::hexBlank4(preST());
    case CurrentProfile:
        return QString::number(currentProfile());
    case ProfileShowCount:
        return QString::number(profileShowCount());
    default:
        if (index >= ProfileSlot0URL)
            return profileSlotUrl(index - ProfileSlot0URL);
        return kFactory[index].value;
    }
}

bool AppSettings::parse(const QStringList& lines) {
    if (lines.isEmpty() || lines[0] != kHeader)
        return false;
    if (lines.size() - 1 > Count)
        return false;
    AppSettings loaded;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QString& line = lines[i];
        const qsizetype eq = line.indexOf(u'=');
        if (eq <= 0 || eq == line.size() - 1)
            return false;
        loaded.pairs[size_t(i - 1)] = {line.left(eq), line.mid(eq + 1)};
    }

    // Values that are used as slot numbers and counts must be in range when present.
    const int present = int(lines.size() - 1);
    if (present > CurrentProfile && !isSlot(decimal(loaded.pairs[CurrentProfile].value)))
        return false;
    if (present > ProfileShowCount) {
        const int count = decimal(loaded.pairs[ProfileShowCount].value);
        if (count < 1 || count > SlotCount)
            return false;
    }
    std::array<bool, SlotCount> seen{};
    for (int i = ProfileShowList0; i < std::min(present, ProfileShowList0 + SlotCount); ++i) {
        const int slot = decimal(loaded.pairs[size_t(i)].value);
        if (!isSlot(slot) || seen[size_t(slot)])
            return false;
        seen[size_t(slot)] = true;
    }

    *this = loaded;
    return true;
}

bool AppSettings::parseBytes(const QByteArray& bytes) {
    return parse(TextFile::decodeLines(bytes));
}

void AppSettings::salvage(const QStringList& lines) {
    SetAppDefaults();
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QString& line = lines[i];
        const qsizetype eq = line.indexOf(u'=');
        if (eq <= 0 || eq == line.size() - 1)
            continue;
        const QStringView name = QStringView(line).left(eq);
        const QString value = line.mid(eq + 1);
        for (int index = 0; index < Count; ++index) {
            if (name != kFactory[index].name)
                continue;
            if (index == CurrentProfile && !isSlot(decimal(value)))
                break;
            if (index == ProfileShowCount && (decimal(value) < 1 || decimal(value) > SlotCount))
                break;
            pairs[size_t(index)].value = value;
            break;
        }
    }
    ShowOrder order;
    if (!storedShowOrder(order))
        for (int i = 0; i < SlotCount; ++i)
            pairs[size_t(ProfileShowList0 + i)] = kFactory[ProfileShowList0 + i];
}

QString AppSettings::name(int index) const {
    return isIndex(index) ? pairs[size_t(index)].name : QString();
}
QString AppSettings::value(int index) const {
    return isIndex(index) ? pairs[size_t(index)].value : QString();
}

int AppSettings::needPassword() const {
    return decimal(pairs[NeedPassword].value);
}

uint16_t AppSettings::sensor() const {
    return uint16_t(NumberText::toInt32(pairs[Sensor].value, 16));
}

uint16_t AppSettings::preST() const {
    return uint16_t(NumberText::toInt32(pairs[PreST].value, 16));
}

int AppSettings::currentProfile() const {
    return std::clamp(decimal(pairs[CurrentProfile].value), 0, SlotCount - 1);
}

int AppSettings::profileShowCount() const {
    return std::clamp(decimal(pairs[ProfileShowCount].value), 1, SlotCount);
}

bool AppSettings::storedShowOrder(ShowOrder& order) const {
    for (int i = 0; i < SlotCount; ++i)
        order[size_t(i)] = decimal(pairs[size_t(ProfileShowList0 + i)].value);
    return isOrderOfSlots(order);
}

AppSettings::ShowOrder AppSettings::showOrder() const {
    ShowOrder order;
    if (!storedShowOrder(order))
        order = {0, 1, 2, 3, 4};
    return order;
}

QString AppSettings::profileSlotUrl(int slot) const {
    if (!isSlot(slot))
        return QString();
    const QString& stored = pairs[size_t(ProfileSlot0URL + slot)].value;
    return stored.isEmpty() ? kFactory[ProfileSlot0URL + slot].value : stored;
}

void AppSettings::setValue(int index, const QString& value) {
    if (isIndex(index))
        pairs[size_t(index)].value = value;
}

void AppSettings::setSensor(uint16_t sensorId) {
    setValue(Sensor, NumberText::hexBlank4(sensorId));
}
void AppSettings::setPreST(uint16_t value) {
    setValue(PreST, NumberText::hexBlank4(value));
}
void AppSettings::setMacId(uint32_t value) {
    setValue(Mac_ID, NumberText::hexBlank4(value));
}

void AppSettings::setCurrentProfile(int slot) {
    setValue(CurrentProfile, QString::number(std::clamp(slot, 0, SlotCount - 1)));
}

void AppSettings::setProfileShowCount(int count) {
    setValue(ProfileShowCount, QString::number(std::clamp(count, 1, SlotCount)));
}

bool AppSettings::setShowOrder(const ShowOrder& order) {
    if (!isOrderOfSlots(order))
        return false;
    for (int i = 0; i < SlotCount; ++i)
        setValue(ProfileShowList0 + i, QString::number(order[size_t(i)]));
    return true;
}

void AppSettings::setProfileSlotUrl(int slot, const QString& path) {
    if (isSlot(slot))
        setValue(ProfileSlot0URL + slot, path);
}
