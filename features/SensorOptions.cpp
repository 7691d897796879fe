#include "features/SensorOptions.h"

#include <algorithm>

namespace {
bool isRate(int index) {
    return index >= 0 && index < SensorOptions::RateCount;
}
} // namespace

int SensorOptions::rateHz(int index) {
    return isRate(index) ? RatesHz[size_t(index)] : 0;
}

int SensorOptions::rateIndexOfHz(int hz) {
    const auto* at = std::find(RatesHz.begin(), RatesHz.end(), hz);
    return at == RatesHz.end() ? -1 : int(at - RatesHz.begin());
}

QString SensorOptions::rateChoices() {
    QString list;
    for (int i = 0; i < RateCount; ++i)
        list += (i == 0               ? QString()
                 : i + 1 == RateCount ? QStringLiteral(" or ")
                                      : QStringLiteral(", ")) +
                QString::number(RatesHz[size_t(i)]);
    return list;
}

QString SensorOptions::rateName(int index) {
    return isRate(index) ? QStringLiteral("%1HZ").arg(rateHz(index)) : QString();
}

QString SensorOptions::reportedRateName(int index) {
    return isRate(index) ? QStringLiteral("%1Hz").arg(rateHz(index)) : QString();
}

int SensorOptions::rateIndex(const ProfileRecord& record) {
    const int index = record.PollingRateValue[0];
    return isRate(index) ? index : RateCount - 1;
}

bool SensorOptions::setRate(ProfileRecord& record, int index) {
    if (!isRate(index))
        return false;
    record.PollingRateValue = {uint8_t(index), 0, 0};
    record.PollingRateName = rateName(index);
    return true;
}

bool SensorOptions::setReportedRate(ProfileRecord& record, int index) {
    if (!isRate(index))
        return false;
    record.PollingRateValue = {uint8_t(index), 0, 0};
    record.PollingRateName = reportedRateName(index);
    return true;
}

int SensorOptions::liftOff(const ProfileRecord& record) {
    return record.namedInt(ProfileRecord::LiftDetectionHeight) == 1 ? 1 : 2;
}

void SensorOptions::setLiftOff(ProfileRecord& record, int height) {
    record.setNamedInt(ProfileRecord::LiftDetectionHeight, height == 1 ? 1 : 2);
}

int SensorOptions::debouncePosition(const ProfileRecord& record) {
    return std::clamp(record.namedInt(ProfileRecord::KeyDebounce) / 2, 0, DebounceStops - 1);
}

void SensorOptions::collectDebounce(ProfileRecord& record, int position) {
    position = std::clamp(position, 0, DebounceStops - 1);
    if (position == debouncePosition(record)) {
        const int stored = std::max(record.namedInt(ProfileRecord::KeyDebounce), 0);
        record.setNamedInt(ProfileRecord::KeyDebounce, stored / 2 * 2);
    } else {
        record.setNamedInt(ProfileRecord::KeyDebounce, position * 2);
    }
}

QString SensorOptions::debounceText(int position) {
    return QStringLiteral("%1ms").arg(std::clamp(position, 0, DebounceStops - 1) * 2);
}

int SensorOptions::powerDownTime(const ProfileRecord& record) {
    return std::clamp(record.namedInt(ProfileRecord::PowerDownTime), MinPowerDown, MaxPowerDown);
}

bool SensorOptions::setPowerDownTime(ProfileRecord& record, int minutes) {
    if (minutes < MinPowerDown || minutes > MaxPowerDown)
        return false;
    record.setNamedInt(ProfileRecord::PowerDownTime, minutes);
    return true;
}

bool SensorOptions::moveLighting(const ProfileRecord& record) {
    return record.namedInt(ProfileRecord::MoveLightingOnOffMode) == 1;
}

void SensorOptions::setMoveLighting(ProfileRecord& record, bool on) {
    record.setNamedCheck(ProfileRecord::MoveLightingOnOffMode, on ? 1 : 0);
}

bool SensorOptions::motionWakeup(const ProfileRecord& record) {
    return record.namedInt(ProfileRecord::MotionWakeup) == 1;
}

void SensorOptions::setMotionWakeup(ProfileRecord& record, bool on) {
    record.setNamedCheck(ProfileRecord::MotionWakeup, on ? 1 : 0);
}
