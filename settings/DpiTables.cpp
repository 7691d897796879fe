#include "settings/DpiTables.h"

#include <initializer_list>

namespace {
struct Run {
    int from, step, to;
};

struct SensorType {
    uint16_t id;
    std::initializer_list<Run> runs;
    int codeOffset;
    bool extended;
    std::array<uint16_t, 8> defaults;
};

const SensorType kSensors[] = {
    {0x3104, {{2, 2, 80}, {90, 6, 96}, {110, 10, 160}}, 0, false, {4, 15, 23, 31, 39, 41, 58, 50}},
    {0x3325,
     {{4, 2, 100}, {110, 10, 120}, {128, 1, 128}, {140, 10, 200}},
     1,
     false,
     {6, 14, 22, 30, 51, 58, 58, 50}},
    {0x3327, {{4, 2, 124}, {130, 10, 240}, {248, 1, 248}}, 1, false, {2, 6, 14, 30, 48, 58, 58, 58}},
    {0x3212, {{4, 2, 48}, {60, 2, 96}}, 1, false, {6, 10, 14, 22, 33, 12, 12, 12}},
    {0x3311, {{2, 2, 240}}, 1, false, {7, 15, 23, 31, 63, 99, 99, 59}},
    {0x3335, {{2, 2, 320}}, 0, true, {11, 23, 31, 63, 99, 159, 59, 59}},
    {0x3360, {{2, 2, 240}, {480, 1, 480}}, 0, true, {3, 7, 15, 31, 49, 59, 59, 59}},
    {0x3370, {{1, 1, 200}, {202, 2, 380}}, 0, true, {7, 15, 31, 63, 99, 119, 119, 119}},
    {0x3389, {{2, 2, 320}}, 0, true, {3, 7, 15, 31, 49, 59, 59, 59}},
    {0x3395, {{1, 1, 520}}, 0, true, {7, 15, 23, 31, 47, 63, 99, 99}},
    {0x3399, {{1, 1, 400}}, 0, true, {7, 15, 23, 31, 47, 63, 99, 99}},
};

const SensorType* findSensor(uint16_t id) {
    for (const SensorType& s : kSensors)
        if (s.id == id)
            return &s;
    return nullptr;
}
} // namespace

bool DpiTables::build(uint16_t sensorId) {
    const SensorType* sensor = findSensor(sensorId);
    if (!sensor)
        return false;
    stepList.clear();
    for (const Run& run : sensor->runs)
        for (int v = run.from; v <= run.to; v += run.step)
            stepList.push_back(uint16_t(v));
    codeOffset = sensor->codeOffset;
    extendedFlag = sensor->extended;
    return true;
}

bool DpiTables::isKnownSensor(uint16_t sensorId) {
    return findSensor(sensorId) != nullptr;
}

std::optional<std::array<uint16_t, 8>> DpiTables::defaultLevels(uint16_t sensorId) {
    if (const SensorType* sensor = findSensor(sensorId))
        return sensor->defaults;
    return std::nullopt;
}

int DpiTables::resolution(int index) const {
    if (stepList.empty())
        return 0;
    if (index < 0)
        index = 0;
    if (index >= count())
        index = count() - 1;
    return stepList[size_t(index)] * UnitDpi;
}

int DpiTables::indexForResolution(long long dpi) const {
    for (int i = 0; i < count(); ++i)
        if (stepList[size_t(i)] * static_cast<long long>(UnitDpi) >= dpi)
            return i;
    return count() > 0 ? count() - 1 : 0;
}
