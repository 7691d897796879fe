#pragma once

#include "base/TextLines.h"
#include "macros/MacroItemLocation.h"
#include "macros/MacroLibrary.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// The macro library text file ("config\MacroLibraryFile.mlf") and the two export files (.mkf,
// .mbf), which share its format: the whole library plus, in line 3, the location the file is about.
// Reading is positional: each line's value is the text after its first "=", and the first line
// that cannot be read ends the load, keeping the items read before it.
class MacroLibraryFile {
public:
    enum class LoadStatus {
        NotOpened,    // the file could not be read; the library is unchanged
        Complete,     // read to the end
        StoppedEarly, // a malformed line ended the load; the items before it were kept
    };

    static constexpr int AllActionLength = 2688; // 336 actions, eight hex digits each

    // The library file in the data folder.
    static QString defaultPath();
    // Every action as eight upper-case hex digits of its four bytes: AllActionLength characters.
    static QString actionsText(const MacroKey& macro);
    // Line 3 of the library file itself: nothing selected, written with zero indices.
    static constexpr MacroItemLocation libraryFileLocation() { return {-1, 0, 0, 0}; }

    // Clears the library, then fills it from decoded lines. outSelection receives the location of
    // line 3, or none() when the load stops before it.
    // Marks the library incomplete unless the load was Complete.
    static LoadStatus parse(const QStringList& lines, MacroLibrary& library, MacroItemLocation& outSelection);
    static LoadStatus parse(TextLines& lines, MacroLibrary& library, MacroItemLocation& outSelection);
    // Bytes exactly as the program writes them; loadLibrary also takes what other editors save.
    static LoadStatus parseBytes(const QByteArray& bytes, MacroLibrary& library,
                                 MacroItemLocation& outSelection);
    static QStringList toLines(const MacroLibrary& library, const MacroItemLocation& location);
    static QByteArray toBytes(const MacroLibrary& library, const MacroItemLocation& location);

    static LoadStatus loadLibrary(const QString& path, MacroLibrary& library,
                                  MacroItemLocation& outSelection);
    // For the library file, whose line 3 is not used.
    static LoadStatus loadLibrary(const QString& path, MacroLibrary& library);
    // Replaces the file as a whole (temporary file and rename); false when it cannot be written.
    static bool saveLibrary(const QString& path, const MacroLibrary& library,
                            const MacroItemLocation& location);
};
