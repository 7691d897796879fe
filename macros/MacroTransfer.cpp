#include "macros/MacroTransfer.h"

#include "macros/MacroLibraryFile.h"

#include <vector>

namespace {
using Block = MacroLibrary::Block;

const MacroItem* usedItem(const MacroLibrary& library, const MacroItemLocation& location) {
    const MacroItem* item = library.entry(location);
    return item && !item->isFree() ? item : nullptr;
}

bool isFolderAt(const MacroLibrary& library, const MacroItemLocation& location) {
    const MacroItem* item = usedItem(library, location);
    return item && item->isFolder;
}

// A proposed file name; "/" would turn the name into a folder path.
QString fileName(QString name, const char* extension) {
    name.replace(u'/', u'_');
    return name + QString::fromLatin1(extension);
}

// Copies what an imported macro brings; the target keeps its own MacroKeyIndex. A folder brings
// only its name.
void fill(MacroLibrary& working, const MacroItemLocation& target, const MacroItem& source) {
    MacroItem* item = working.usedEntry(target);
    if (!item || !item->macro)
        return;
    MacroKey& macro = *item->macro;
    macro.name = source.name;
    if (!source.macro)
        return;
    const MacroKey& from = *source.macro;
    macro.MacroKeyLoopType = from.MacroKeyLoopType;
    macro.MacroKeyLoopNum = from.MacroKeyLoopNum;
    macro.MacroCommandActionNum = from.MacroCommandActionNum;
    macro.actionCount = from.actionCount;
    macro.actions = from.actions;
}

// Block of the children of a folder at stage 0 or 1 of the import library.
Block childBlock(const MacroItemLocation& folder) {
    return folder.stage == 0 ? Block{1, folder.stage0Index, 0}
                             : Block{2, folder.stage0Index, folder.stage1Index};
}

// Runs one import of source items into the working library and counts what happened.
class Importer {
public:
    Importer(MacroLibrary& working, const MacroLibrary& import, MacroItemLocation& selected)
        : working(working), import(import), selected(selected) {}

    // Creates a macro or folder of this name in the target container of `parent` and fills a
    // macro from the source; on success `selected` is the new item.
    bool create(const MacroItemLocation& parent, const MacroItem& source) {
        selected = parent;
        const bool folder = source.isFolder;
        const auto result =
            folder ? working.createFolder(source.name, selected) : working.createMacro(source.name, selected);
        if (result != MacroLibrary::CreateResult::Created) {
            skipped = true;
            return false;
        }
        if (!folder)
            fill(working, selected, source);
        return true;
    }

    // Creates the used children of a source folder inside `folder`: macros always, sub-folders (with
    // their macro children) only when allowed.
    void createChildren(const MacroItemLocation& folder, const MacroItemLocation& sourceFolder,
                        bool subFolders) {
        const MacroLibrary::Items* children = import.blockItems(childBlock(sourceFolder));
        if (!children)
            return;
        for (int k = 0; k < MacroLibrary::BlockSize; ++k) {
            const MacroItem& child = (*children)[size_t(k)];
            if (child.isFree() || (child.isFolder && !subFolders))
                continue;
            if (create(folder, child) && child.isFolder && sourceFolder.stage == 0)
                createChildren(selected, MacroLibrary::locationIn(childBlock(sourceFolder), k), false);
        }
    }

    MacroLibrary& working;
    const MacroLibrary& import;
    MacroItemLocation& selected;
    bool skipped = false;
};
} // namespace

std::optional<Text> MacroTransfer::noticeText(Result result) {
    if (result == Result::NameClash)
        return NameClashText;
    return std::nullopt;
}

QString MacroTransfer::exportMacroFileName(const MacroLibrary& working, const MacroItemLocation& selected) {
    const MacroItem* item = usedItem(working, selected);
    return item && item->isMacro() ? fileName(item->name, ".mkf") : QString();
}

QString MacroTransfer::exportAllFileName(const MacroLibrary& working, const MacroItemLocation& selected) {
    const MacroItem* item = usedItem(working, selected);
    return item ? fileName(item->name, ".mbf") : QStringLiteral("AllMacroKey.mbf");
}

MacroTransfer::Result MacroTransfer::exportMacro(const QString& path, const MacroLibrary& working,
                                                 const MacroItemLocation& selected) {
    const MacroItem* item = usedItem(working, selected);
    if (!item || !item->isMacro())
        return Result::NothingToExport;
    return MacroLibraryFile::saveLibrary(path, working, selected) ? Result::Done : Result::WriteFailed;
}

MacroTransfer::Result MacroTransfer::exportAll(const QString& path, const MacroLibrary& working,
                                               const MacroItemLocation& selected) {
    // A selection that names no item (a stale one) would make a file that imports nothing.
    const MacroItemLocation location = usedItem(working, selected) ? selected : MacroItemLocation::none();
    return MacroLibraryFile::saveLibrary(path, working, location) ? Result::Done : Result::WriteFailed;
}

MacroTransfer::Result MacroTransfer::importMacro(const QString& path, MacroLibrary& working,
                                                 MacroLibrary& import, MacroItemLocation& selected) {
    if (&working == &import)
        return Result::NothingToImport;
    MacroItemLocation source;
    const bool read =
        MacroLibraryFile::loadLibrary(path, import, source) != MacroLibraryFile::LoadStatus::NotOpened;
    const Result result = [&] {
        const MacroItem* item = read ? usedItem(import, source) : nullptr;
        if (!item)
            return Result::NothingToImport;
        const MacroItemLocation w = selected;
        switch (working.createMacro(item->name, selected)) {
        case MacroLibrary::CreateResult::Created:
            break;
        case MacroLibrary::CreateResult::NameExists:
            return Result::NameClash;
        default:
            return Result::NoRoom; // nothing was created, so nothing may be overwritten
        }
        if (MacroItem* folder = working.usedEntry(w); folder && folder->isFolder)
            folder->folderIsOpen = true;
        fill(working, selected, *item);
        return Result::Done;
    }();
    import.clear();
    return result;
}

MacroTransfer::Result MacroTransfer::importAll(const QString& path, MacroLibrary& working,
                                               MacroLibrary& import, MacroItemLocation& selected) {
    if (&working == &import)
        return Result::NothingToImport;
    MacroItemLocation s;
    const bool read =
        MacroLibraryFile::loadLibrary(path, import, s) != MacroLibraryFile::LoadStatus::NotOpened;
    const Result result = [&] {
        if (!read)
            return Result::NothingToImport;
        const MacroItemLocation w = selected;
        const bool wIsFolder = isFolderAt(working, w);

        // The source items: a run of siblings up to the first free entry of their block.
        std::vector<MacroItemLocation> sources;
        Block block = MacroLibrary::topLevel();
        int first = 0;
        int last = MacroLibrary::BlockSize - 1;
        const MacroItem* named = nullptr;
        if (s.stage != -1) {
            named = usedItem(import, s);
            if (!named)
                return Result::NothingToImport;
            block = MacroLibrary::siblingBlock(s);
            first = s.stage == 0 ? s.stage0Index : s.stage == 1 ? s.stage1Index : s.stage2Index;
            if (named->isFolder && !wIsFolder)
                last = first;
        }
        const MacroLibrary::Items* items = import.blockItems(block);
        for (int k = first; items && k <= last && !(*items)[size_t(k)].isFree(); ++k)
            sources.push_back(MacroLibrary::locationIn(block, k));
        if (sources.empty())
            return Result::NothingToImport;

        // All or nothing: a named folder is checked alone, anything else item by item.
        if (named && named->isFolder) {
            if (working.importNameClash(named->name, w))
                return Result::NameClash;
        } else {
            for (const MacroItemLocation& l : sources)
                if (working.importNameClash(import.entry(l)->name, w))
                    return Result::NameClash;
        }

        Importer importer(working, import, selected);
        MacroItemLocation lastCreated = w;
        bool created = false;
        if (wIsFolder)
            working.usedEntry(w)->folderIsOpen = true;
        for (const MacroItemLocation& l : sources) {
            const MacroItem& source = *import.entry(l);
            // Inside a second-level folder there is no room for folders.
            if (source.isFolder && wIsFolder && w.stage != 0)
                continue;
            if (!importer.create(w, source))
                continue;
            const MacroItemLocation made = selected;
            if (source.isFolder)
                importer.createChildren(made, l, !wIsFolder);
            lastCreated = made;
            created = true;
        }
        selected = lastCreated;
        if (created)
            return Result::Done;
        return importer.skipped ? Result::NoRoom : Result::NothingToImport;
    }();
    import.clear();
    return result;
}
