#pragma once

#include "macros/MacroKey.h"

#include <QString>
#include <memory>

// One library entry: a macro, a folder, or free when the name is empty.
struct MacroItem {
    QString name;
    std::unique_ptr<MacroKey> macro; // present for a macro only
    bool isFolder = false;
    bool folderIsOpen = false;

    bool isFree() const { return name.isEmpty(); }
    bool isMacro() const { return !isFree() && !isFolder && macro; }
    void clear() { *this = MacroItem{}; }
};
