#include "macros/MacroLibrary.h"

#include <algorithm>

namespace {
bool inRange(int32_t index) {
    return index >= 0 && index < MacroLibrary::BlockSize;
}

const MacroItem& freeItem() {
    static const MacroItem item;
    return item;
}
} // namespace

bool MacroLibrary::isValid(const MacroItemLocation& l) {
    switch (l.stage) {
    case 0:
        return inRange(l.stage0Index);
    case 1:
        return inRange(l.stage0Index) && inRange(l.stage1Index);
    case 2:
        return inRange(l.stage0Index) && inRange(l.stage1Index) && inRange(l.stage2Index);
    default:
        return false;
    }
}

bool MacroLibrary::isValid(const Block& b) {
    switch (b.stage) {
    case 0:
        return true;
    case 1:
        return inRange(b.stage0Index);
    case 2:
        return inRange(b.stage0Index) && inRange(b.stage1Index);
    default:
        return false;
    }
}

MacroItemLocation MacroLibrary::normalized(const MacroItemLocation& l) {
    switch (l.stage) {
    case 0:
        return MacroItemLocation::top(l.stage0Index);
    case 1:
        return MacroItemLocation::child(l.stage0Index, l.stage1Index);
    case 2:
        return l;
    default:
        return MacroItemLocation::none();
    }
}

MacroLibrary::Block MacroLibrary::siblingBlock(const MacroItemLocation& l) {
    if (l.stage == 1 && inRange(l.stage0Index))
        return {1, l.stage0Index, 0};
    if (l.stage == 2 && inRange(l.stage0Index) && inRange(l.stage1Index))
        return {2, l.stage0Index, l.stage1Index};
    return topLevel();
}

MacroItemLocation MacroLibrary::locationIn(const Block& b, int index) {
    switch (b.stage) {
    case 1:
        return MacroItemLocation::child(b.stage0Index, index);
    case 2:
        return MacroItemLocation::grandchild(b.stage0Index, b.stage1Index, index);
    default:
        return MacroItemLocation::top(index);
    }
}

const MacroLibrary::Items* MacroLibrary::blockItems(const Block& b) const {
    if (!isValid(b))
        return nullptr;
    if (b.stage == 0)
        return &top;
    const Subtree* subtree = subtrees[size_t(b.stage0Index)].get();
    if (!subtree)
        return nullptr;
    if (b.stage == 1)
        return &subtree->children;
    return subtree->grandchildren[size_t(b.stage1Index)].get();
}

MacroLibrary::Items* MacroLibrary::writableBlock(const Block& b) {
    if (b.stage == 0)
        return &top;
    std::unique_ptr<Subtree>& subtree = subtrees[size_t(b.stage0Index)];
    if (!subtree)
        subtree = std::make_unique<Subtree>();
    if (b.stage == 1)
        return &subtree->children;
    std::unique_ptr<Items>& items = subtree->grandchildren[size_t(b.stage1Index)];
    if (!items)
        items = std::make_unique<Items>();
    return items.get();
}

const MacroItem* MacroLibrary::entry(const MacroItemLocation& l) const {
    if (!isValid(l))
        return nullptr;
    const Items* items = blockItems(siblingBlock(l));
    if (!items)
        return &freeItem();
    const int32_t index = l.stage == 0 ? l.stage0Index : l.stage == 1 ? l.stage1Index : l.stage2Index;
    return &(*items)[size_t(index)];
}

MacroItem* MacroLibrary::usedEntry(const MacroItemLocation& l) {
    const MacroItem* item = entry(l);
    return item && !item->isFree() ? const_cast<MacroItem*>(item) : nullptr;
}

MacroLibrary::Block MacroLibrary::targetContainer(const MacroItemLocation& l) const {
    const MacroItem* item = entry(l);
    if (item && !item->isFree() && item->isFolder) {
        if (l.stage == 0)
            return {1, l.stage0Index, 0};
        if (l.stage == 1)
            return {2, l.stage0Index, l.stage1Index};
    }
    return topLevel();
}

bool MacroLibrary::nameExists(const QString& name, const Block& b) const {
    const Items* items = blockItems(b);
    if (!items || name.isEmpty())
        return false;
    return std::any_of(items->begin(), items->end(),
                       [&](const MacroItem& item) { return item.name == name; });
}

int MacroLibrary::firstFree(const Block& b) const {
    const Items* items = blockItems(b);
    if (!items)
        return 0;
    for (int k = 0; k < BlockSize; ++k)
        if ((*items)[size_t(k)].isFree())
            return k;
    return -1;
}

MacroLibrary::CreateResult MacroLibrary::createIn(const Block& target, const QString& name, bool folder,
                                                  MacroItemLocation& selected) {
    if (name.isEmpty())
        return CreateResult::Refused;
    if (nameExists(name, target))
        return CreateResult::NameExists;
    const int k = firstFree(target);
    if (k < 0)
        return CreateResult::NoRoom;
    MacroItem& item = (*writableBlock(target))[size_t(k)];
    item.clear();
    item.name = name;
    item.isFolder = folder;
    if (!folder) {
        item.macro = std::make_unique<MacroKey>(name);
        item.macro->MacroKeyIndex = uint32_t(nextMacroKeyIndex);
        nextMacroKeyIndex = int32_t(uint32_t(nextMacroKeyIndex) + 1u); // wraps instead of overflowing
    }
    selected = locationIn(target, k);
    return CreateResult::Created;
}

MacroLibrary::CreateResult MacroLibrary::createMacro(const QString& name, MacroItemLocation& selected) {
    return createIn(targetContainer(selected), name, false, selected);
}

MacroLibrary::CreateResult MacroLibrary::createFolder(const QString& name, MacroItemLocation& selected) {
    const Block target = targetContainer(selected);
    if (target.stage == 2)
        return CreateResult::Refused; // folders do not nest below the second level
    return createIn(target, name, true, selected);
}

void MacroLibrary::deleteItem(const MacroItemLocation& l) {
    const MacroItem* item = entry(l);
    if (!item || item->isFree())
        return;
    const size_t i = size_t(l.stage0Index);
    if (l.stage == 0) {
        std::rotate(top.begin() + i, top.begin() + i + 1, top.end());
        std::rotate(subtrees.begin() + i, subtrees.begin() + i + 1, subtrees.end());
        top.back().clear();
        subtrees.back().reset();
        return;
    }
    Subtree& subtree = *subtrees[i];
    const size_t j = size_t(l.stage1Index);
    if (l.stage == 1) {
        std::rotate(subtree.children.begin() + j, subtree.children.begin() + j + 1, subtree.children.end());
        std::rotate(subtree.grandchildren.begin() + j, subtree.grandchildren.begin() + j + 1,
                    subtree.grandchildren.end());
        subtree.children.back().clear();
        subtree.grandchildren.back().reset();
        return;
    }
    Items& items = *subtree.grandchildren[j];
    const size_t k = size_t(l.stage2Index);
    std::rotate(items.begin() + k, items.begin() + k + 1, items.end());
    items.back().clear();
}

void MacroLibrary::clear() {
    for (MacroItem& item : top)
        item.clear();
    for (std::unique_ptr<Subtree>& subtree : subtrees)
        subtree.reset();
}

void MacroLibrary::closeAllFolders() {
    for (size_t i = 0; i < size_t(BlockSize); ++i) {
        top[i].folderIsOpen = false;
        if (subtrees[i])
            for (MacroItem& child : subtrees[i]->children)
                child.folderIsOpen = false;
    }
}

// Calls visit(location) for every shown row in order until it returns false.
template <class Visit> void MacroLibrary::walkRows(Visit visit) const {
    for (int i = 0; i < BlockSize; ++i) {
        const MacroItem& item = top[size_t(i)];
        if (item.isFree())
            continue;
        if (!visit(MacroItemLocation::top(i)))
            return;
        const Subtree* subtree = subtrees[size_t(i)].get();
        if (!item.isFolder || !item.folderIsOpen || !subtree)
            continue;
        for (int j = 0; j < BlockSize; ++j) {
            const MacroItem& child = subtree->children[size_t(j)];
            if (child.isFree())
                continue;
            if (!visit(MacroItemLocation::child(i, j)))
                return;
            const Items* grandchildren = subtree->grandchildren[size_t(j)].get();
            if (!child.isFolder || !child.folderIsOpen || !grandchildren)
                continue;
            for (int k = 0; k < BlockSize; ++k)
                if (!(*grandchildren)[size_t(k)].isFree() && !visit(MacroItemLocation::grandchild(i, j, k)))
                    return;
        }
    }
}

int MacroLibrary::visibleRowCount() const {
    int count = 0;
    walkRows([&](const MacroItemLocation&) {
        ++count;
        return true;
    });
    return count;
}

MacroItemLocation MacroLibrary::rowToLocation(int row) const {
    MacroItemLocation found = MacroItemLocation::none();
    if (row < 0)
        return found;
    walkRows([&](const MacroItemLocation& l) {
        if (row-- > 0)
            return true;
        found = l;
        return false;
    });
    return found;
}

int MacroLibrary::locationToRow(const MacroItemLocation& location) const {
    if (!isValid(location))
        return -1;
    const MacroItemLocation wanted = normalized(location);
    int row = 0;
    int found = -1;
    walkRows([&](const MacroItemLocation& l) {
        if (l == wanted) {
            found = row;
            return false;
        }
        ++row;
        return true;
    });
    return found;
}

bool MacroLibrary::siblingNameClash(const QString& name, const MacroItemLocation& location) const {
    return nameExists(name, siblingBlock(location));
}

bool MacroLibrary::importNameClash(const QString& name, const MacroItemLocation& location) const {
    return nameExists(name, targetContainer(location));
}

bool MacroLibrary::containsMacro(uint32_t macroKeyIndex, const MacroItemLocation& l) const {
    const MacroItem* item = entry(l);
    if (!item || item->isFree())
        return false;
    if (!item->isFolder)
        return item->macro && item->macro->MacroKeyIndex == macroKeyIndex;
    auto holds = [macroKeyIndex](const Items* items) {
        return items && std::any_of(items->begin(), items->end(), [&](const MacroItem& m) {
                   return m.isMacro() && m.macro->MacroKeyIndex == macroKeyIndex;
               });
    };
    if (l.stage == 1)
        return holds(blockItems({2, l.stage0Index, l.stage1Index}));
    if (l.stage != 0)
        return false;
    if (holds(blockItems({1, l.stage0Index, 0})))
        return true;
    for (int j = 0; j < BlockSize; ++j)
        if (holds(blockItems({2, l.stage0Index, j})))
            return true;
    return false;
}

bool MacroLibrary::place(const MacroItemLocation& location, MacroItem&& item) {
    if (!isValid(location) || item.isFree())
        return false;
    if (item.isFolder) {
        if (location.stage == 2)
            return false;
        item.macro.reset();
    } else {
        if (!item.macro)
            return false;
        item.folderIsOpen = false;
    }
    const MacroItemLocation l = normalized(location);
    const int32_t index = l.stage == 0 ? l.stage0Index : l.stage == 1 ? l.stage1Index : l.stage2Index;
    (*writableBlock(siblingBlock(l)))[size_t(index)] = std::move(item);
    return true;
}
