// Load and save of a 1,000-macro library file, and the heap cost of an empty and of that full library.
#include "macros/MacroLibraryFile.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <memory>

namespace {
// Heap bytes in use (small blocks of the main arena plus mmapped blocks).
size_t heapInUse() {
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

void addMacro(MacroLibrary& lib, const MacroItemLocation& parent, const QString& name) {
    MacroItemLocation sel = parent;
    if (lib.createMacro(name, sel) != MacroLibrary::CreateResult::Created)
        std::abort();
    MacroKey& m = *lib.usedEntry(sel)->macro;
    for (uint8_t k = 0; k < 10; ++k) {
        m.insert(m.actionCount, MacroAction::key(uint8_t(0x41 + k), false));
        m.insert(m.actionCount, MacroAction::delay(20u + k));
        m.insert(m.actionCount, MacroAction::key(uint8_t(0x41 + k), true));
    }
    m.MacroCommandActionNum = 20;
}

// 10 folders of 50 macros, and 10 folders of 5 sub-folders of 10 macros: 1,000 macros.
void fill(MacroLibrary& lib) {
    for (int f = 0; f < 20; ++f) {
        MacroItemLocation folder = MacroItemLocation::none();
        lib.createFolder(QStringLiteral("Folder %1").arg(f), folder);
        for (int s = 0; s < (f < 10 ? 0 : 5); ++s) {
            MacroItemLocation sub = folder;
            lib.createFolder(QStringLiteral("Sub %1").arg(s), sub);
            for (int m = 0; m < 10; ++m)
                addMacro(lib, sub, QStringLiteral("Macro %1").arg(m));
        }
        for (int m = 0; m < (f < 10 ? 50 : 0); ++m)
            addMacro(lib, folder, QStringLiteral("Macro %1").arg(m));
    }
}

struct Fixture {
    QTemporaryDir dir;
    QString file = dir.filePath(QStringLiteral("MacroLibraryFile.mlf"));
    MacroLibrary library;
    Fixture() {
        fill(library);
        MacroLibraryFile::saveLibrary(file, library, MacroLibraryFile::libraryFileLocation());
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

void BM_SaveLibrary1000(benchmark::State& state) {
    Fixture& f = fixture();
    for (auto _ : state)
        benchmark::DoNotOptimize(
            MacroLibraryFile::saveLibrary(f.file, f.library, MacroLibraryFile::libraryFileLocation()));
    state.counters["file_bytes"] = double(QFileInfo(f.file).size());
}
BENCHMARK(BM_SaveLibrary1000)->Unit(benchmark::kMillisecond);

void BM_LoadLibrary1000(benchmark::State& state) {
    Fixture& f = fixture();
    MacroLibrary lib;
    for (auto _ : state)
        if (MacroLibraryFile::loadLibrary(f.file, lib) != MacroLibraryFile::LoadStatus::Complete)
            state.SkipWithError("library did not load");
    state.counters["file_bytes"] = double(QFileInfo(f.file).size());
}
BENCHMARK(BM_LoadLibrary1000)->Unit(benchmark::kMillisecond);

void BM_LibraryMemory(benchmark::State& state) {
    Fixture& f = fixture();
    size_t empty = 0;
    size_t built = 0;
    size_t loaded = 0;
    for (auto _ : state) {
        size_t before = heapInUse();
        auto lib = std::make_unique<MacroLibrary>();
        empty = heapInUse() - before;
        fill(*lib);
        built = heapInUse() - before;
        lib.reset();

        before = heapInUse();
        lib = std::make_unique<MacroLibrary>();
        MacroLibraryFile::loadLibrary(f.file, *lib);
        loaded = heapInUse() - before;
    }
    state.counters["empty_library_bytes"] = double(empty);
    state.counters["full_library_bytes"] = double(built);
    state.counters["loaded_library_bytes"] = double(loaded);
}
BENCHMARK(BM_LibraryMemory)->Iterations(1)->Unit(benchmark::kMillisecond);
} // namespace

BENCHMARK_MAIN();
