// Save and load of one profile file whose five buttons all carry full macros (the largest file),
// on disk in a temporary folder and, for comparison, in memory only.
#include "base/TextFile.h"
#include "settings/ProfileFile.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {
ProfileRecord profileWithMacros() {
    LangText texts;
    texts.set(85, "Bench");
    ProfileRecord record;
    record.ResetProfile(0, texts, 0x3395);
    for (int k = 0; k < ProfileRecord::KeyCount; ++k) {
        MacroKey macro(QStringLiteral("Macro %1").arg(k));
        macro.MacroKeyIndex = uint32_t(k + 1);
        for (uint32_t i = 0; i < MacroKey::Capacity; ++i)
            macro.insert(i, i % 2 ? MacroAction::delay(i * 7)
                                  : MacroAction::key(uint8_t(0x41 + i % 26), i % 4 == 2));
        record.AssignKey(k, macro.name, {0x90, 0, 0}, &macro);
    }
    return record;
}

void BM_SaveProfileFile(benchmark::State& state) {
    const ProfileRecord record = profileWithMacros();
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/config/default0.psf");
    for (auto _ : state)
        benchmark::DoNotOptimize(ProfileFile::SaveProfileFile(record, path));
}
BENCHMARK(BM_SaveProfileFile)->Unit(benchmark::kMicrosecond);

void BM_LoadProfileFile(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/config/default0.psf");
    if (!ProfileFile::SaveProfileFile(profileWithMacros(), path)) {
        state.SkipWithError("cannot write the profile file");
        return;
    }
    ProfileRecord record;
    for (auto _ : state)
        benchmark::DoNotOptimize(ProfileFile::LoadProfileFile(path, record));
}
BENCHMARK(BM_LoadProfileFile)->Unit(benchmark::kMicrosecond);

void BM_FormatAndEncode(benchmark::State& state) {
    const ProfileRecord record = profileWithMacros();
    for (auto _ : state)
        benchmark::DoNotOptimize(TextFile::encodeLines(ProfileFile::format(record)));
}
BENCHMARK(BM_FormatAndEncode)->Unit(benchmark::kMicrosecond);

void BM_DecodeAndParse(benchmark::State& state) {
    const QByteArray bytes = TextFile::encodeLines(ProfileFile::format(profileWithMacros()));
    ProfileRecord record;
    for (auto _ : state)
        benchmark::DoNotOptimize(ProfileFile::parseBytes(bytes, record));
}
BENCHMARK(BM_DecodeAndParse)->Unit(benchmark::kMicrosecond);
} // namespace

BENCHMARK_MAIN();
