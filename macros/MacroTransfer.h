#pragma once

#include "base/Text.h"
#include "macros/MacroItemLocation.h"
#include "macros/MacroLibrary.h"

#include <QString>
#include <optional>

// Export and import of single macros (.mkf) and of library parts (.mbf). Both file kinds hold a
// whole library; line 3 names the item the file is about and an import takes only that part.
// The caller chooses the path (file dialog) and shows the notice a result calls for.
class MacroTransfer {
public:
    enum class Result {
        Done,
        NothingToExport, // the selection is not something this export writes
        NothingToImport, // unreadable file, or its location names no item
        NameClash,       // a name is taken in the target; nothing was imported
        NoRoom,          // nothing could be created: the target blocks are full or names taken
        WriteFailed,     // the export file could not be written; reported to nobody
    };

    static constexpr Text NameClashText = Text::NameInUse;
    static constexpr Text ExportMacroTitle = Text::ExportMacroTitle;
    static constexpr Text ImportMacroTitle = Text::ImportMacroTitle;
    static constexpr Text ExportAllTitle = Text::ExportAllMacrosTitle;
    static constexpr Text ImportAllTitle = Text::ImportAllMacrosTitle;

    // Language text of the notice a result calls for, if any.
    static std::optional<Text> noticeText(Result result);

    // Dialog filters and proposed file names.
    static QString macroFileFilter() { return QStringLiteral("mkf file(*.mkf)"); }
    static QString libraryFileFilter() { return QStringLiteral("mbf file(*.mbf)"); }
    // "<macro name>.mkf"; empty when the selection is not a macro.
    static QString exportMacroFileName(const MacroLibrary& working, const MacroItemLocation& selected);
    // "<item name>.mbf", or "AllMacroKey.mbf" when nothing is selected.
    static QString exportAllFileName(const MacroLibrary& working, const MacroItemLocation& selected);
    static QString importMacroFileName() { return QStringLiteral(".mkf"); }
    static QString importAllFileName() { return QStringLiteral(".mbf"); }

    // Writes the working library with the selected macro's location in line 3.
    static Result exportMacro(const QString& path, const MacroLibrary& working,
                              const MacroItemLocation& selected);
    // Creates a macro of the file's item in the target container of `selected` and fills it; the
    // new macro keeps its own MacroKeyIndex and becomes the selection.
    static Result importMacro(const QString& path, MacroLibrary& working, MacroLibrary& import,
                              MacroItemLocation& selected);
    // Writes the working library with the selection in line 3 (nothing selected: everything).
    static Result exportAll(const QString& path, const MacroLibrary& working,
                            const MacroItemLocation& selected);
    // Brings in the file's item and the siblings after it, or every top-level item when the file
    // names none, with their subtrees as far as the target allows. Names are checked first, all or
    // nothing. The last item created becomes the selection.
    static Result importAll(const QString& path, MacroLibrary& working, MacroLibrary& import,
                            MacroItemLocation& selected);
};
