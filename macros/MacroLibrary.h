#pragma once

#include "macros/MacroItem.h"
#include "macros/MacroItemLocation.h"

#include <QString>
#include <array>
#include <cstdint>
#include <memory>

// The macro tree: 60 top-level entries, 60 children per top-level folder, 60 children per
// second-level folder; folders exist only at the first two levels. Within a block the used entries
// are kept contiguous from index 0. Child blocks are allocated when first written, so an empty
// library costs a few kilobytes instead of the full 219,660 entries.
class MacroLibrary {
public:
    static constexpr int BlockSize = 60;
    using Items = std::array<MacroItem, BlockSize>;

    // The 60 siblings that share a parent: the top level (stage 0), the children of top-level
    // folder stage0Index (stage 1), or the children of folder (stage0Index, stage1Index) (stage 2).
    struct Block {
        int32_t stage = 0;
        int32_t stage0Index = 0;
        int32_t stage1Index = 0;

        bool operator==(const Block&) const = default;
    };
    static constexpr Block topLevel() { return {}; }

    enum class CreateResult {
        Created,
        NameExists, // the name is taken in the target block; nothing created
        NoRoom,     // the target block is full; nothing created
        Refused,    // an empty name, or a folder below a second-level folder; nothing created
    };

    MacroLibrary() = default;
    MacroLibrary(MacroLibrary&&) noexcept = default;
    MacroLibrary& operator=(MacroLibrary&&) noexcept = default;
    MacroLibrary(const MacroLibrary&) = delete;
    MacroLibrary& operator=(const MacroLibrary&) = delete;

    // True when the stage is 0, 1 or 2 and the indices that stage uses lie in 0..59.
    static bool isValid(const MacroItemLocation& location);
    // The same location with the indices its stage does not use set to 0; nothing stays none().
    static MacroItemLocation normalized(const MacroItemLocation& location);

    // The entry at a location, free or used; null when the location names no entry.
    const MacroItem* entry(const MacroItemLocation& location) const;
    // The entry for changing in place; null unless the location names a used entry.
    MacroItem* usedEntry(const MacroItemLocation& location);
    // The 60 entries of a block; null when nothing was ever stored there or the block is invalid.
    const Items* blockItems(const Block& block) const;

    // The block new items go to: the children of the entry at the location when it is a folder at
    // the first or second level, else the top level.
    Block targetContainer(const MacroItemLocation& location) const;
    // The block that holds the entry at a location (the top level for nothing selected).
    static Block siblingBlock(const MacroItemLocation& location);
    static MacroItemLocation locationIn(const Block& block, int index);

    // Case-sensitive; free entries never match.
    bool nameExists(const QString& name, const Block& block) const;

    // Creates a macro (with the next MacroKeyIndex) or a folder in the target container of
    // `selected`, and on success points `selected` at it. `selected` is unchanged otherwise.
    CreateResult createMacro(const QString& name, MacroItemLocation& selected);
    CreateResult createFolder(const QString& name, MacroItemLocation& selected);

    // Removes the item with its whole subtree and closes the gap; later siblings move up with
    // their subtrees. A free or invalid location changes nothing.
    void deleteItem(const MacroItemLocation& location);
    // Removes every item; nextMacroKeyIndex is kept so indices are never handed out twice.
    void clear();
    void closeAllFolders();

    // The rows of the tree as shown: every used top-level entry, followed by the used children
    // of an open folder, and those by the children of an open second-level folder.
    int visibleRowCount() const;
    MacroItemLocation rowToLocation(int row) const;             // none() when there is no such row
    int locationToRow(const MacroItemLocation& location) const; // -1 when not shown

    // Rename check: the block holding the location's item, the item itself included.
    bool siblingNameClash(const QString& name, const MacroItemLocation& location) const;
    // Import check: the target container of the location.
    bool importNameClash(const QString& name, const MacroItemLocation& location) const;
    // The item is this macro, or a folder whose subtree holds it.
    bool containsMacro(uint32_t macroKeyIndex, const MacroItemLocation& location) const;

    // Puts an item at exactly this location, replacing what was there (the loader's rule: a later
    // item at the same location wins). Refused for an invalid location, a free item, a macro
    // item without its macro, and a folder at the third level.
    bool place(const MacroItemLocation& location, MacroItem&& item);

    // The MacroKeyIndex the next new macro receives.
    int32_t nextMacroKeyIndex = 1;
    // Set when the library came from a file that could not be read to its end, or not at all: a
    // macro a button holds may then be missing here without having been deleted.
    bool incomplete = false;

private:
    struct Subtree {
        Items children;
        std::array<std::unique_ptr<Items>, BlockSize> grandchildren;
    };

    static bool isValid(const Block& block);
    Items* writableBlock(const Block& block); // allocates on first use; block must be valid
    int firstFree(const Block& block) const;
    CreateResult createIn(const Block& target, const QString& name, bool folder, MacroItemLocation& selected);
    template <class Visit> void walkRows(Visit visit) const;

    Items top;
    std::array<std::unique_ptr<Subtree>, BlockSize> subtrees;
};
