// Library file parser: any bytes must load without a fault, and what a load keeps must survive a
// save and a second load unchanged.
#include "macros/MacroLibraryFile.h"

#include <QByteArray>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    MacroLibrary first;
    MacroItemLocation selection;
    MacroLibraryFile::parseBytes(bytes, first, selection);

    // The tree walk must agree with itself on whatever the file built.
    const int rows = first.visibleRowCount();
    for (int row = 0; row < rows; ++row)
        if (first.locationToRow(first.rowToLocation(row)) != row)
            std::abort();

    const QByteArray saved = MacroLibraryFile::toBytes(first, selection);
    MacroLibrary second;
    MacroItemLocation secondSelection;
    if (MacroLibraryFile::parseBytes(saved, second, secondSelection) !=
        MacroLibraryFile::LoadStatus::Complete) {
        std::fputs("saved library does not load completely\n", stderr);
        std::abort();
    }
    if (!(secondSelection == selection) || MacroLibraryFile::toBytes(second, secondSelection) != saved) {
        std::fputs("library changed on a second round trip\n", stderr);
        std::abort();
    }
    return 0;
}
