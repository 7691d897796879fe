// Opening the macro manager (controls, first paint) and closing it (the library file is written)
// with a library of 1,000 macros of 40 actions, against an empty library in the same run.
#include "macros/MacroLibrary.h"
#include "settings/ProfileRecord.h"
#include "ui/macros/CMacroManagerDlg.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {
void fill(MacroLibrary& library, int macros) {
    int made = 0;
    for (int folder = 0; made < macros; ++folder) {
        MacroItemLocation at = MacroItemLocation::none();
        library.createFolder(QStringLiteral("Folder %1").arg(folder), at);
        const MacroItemLocation parent = at;
        for (int i = 0; i < MacroLibrary::BlockSize && made < macros; ++i, ++made) {
            at = parent;
            library.createMacro(QStringLiteral("Macro %1").arg(made), at);
            MacroKey& m = *library.usedEntry(at)->macro;
            for (int a = 0; a < 20; ++a) {
                m.insert(m.actionCount, MacroAction::key(uint8_t(0x41 + a), a % 2 != 0));
                m.insert(m.actionCount, MacroAction::delay(uint32_t(a * 10)));
            }
            m.MacroCommandActionNum = 20;
        }
    }
}

void open(benchmark::State& state, bool close) {
    MacroLibrary library;
    fill(library, int(state.range(0)));
    ProfileRecord profile;
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("library.mlf"));
    for (auto _ : state) {
        CMacroManagerDlg manager(library, profile, file);
        manager.Initialize();
        QPixmap picture = manager.grab();
        benchmark::DoNotOptimize(picture);
        if (close)
            manager.done(CDlgBase::IDOK);
    }
}

void BM_ManagerOpen(benchmark::State& state) {
    open(state, false);
}
void BM_ManagerOpenAndClose(benchmark::State& state) {
    open(state, true);
}
BENCHMARK(BM_ManagerOpen)->Arg(0)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ManagerOpenAndClose)->Arg(0)->Arg(1000)->Unit(benchmark::kMillisecond);
} // namespace
