#include "ui/macros/CEditShowList.h"

#include "macros/MacroLibrary.h"
#include "toolkit/Skin.h"
#include "toolkit/SkinText.h"
#include "toolkit/UiScale.h"

#include <QPainter>
#include <algorithm>

CEditShowList::CEditShowList(MessageWindow* parent, const Rect& rect, MacroLibrary* library,
                             MacroItemLocation& selection, const QString& text, bool visible, bool shown,
                             bool disabled)
    : CRowList(parent, ListId, rect, text, visible, shown, disabled), library(library), selection(selection) {
}

void CEditShowList::SetIcons(const QString& openFolder, const QString& closedFolder) {
    Skin::LoadSkinImage(openFolder, openImage, iconWidth, iconHeight);
    Skin::LoadSkinImage(closedFolder, closedImage, iconWidth, iconHeight);
}

int CEditShowList::rowCount() const {
    return library ? library->visibleRowCount() : 0;
}

void CEditShowList::Draw(QPainter& painter, const Rect&) {
    painter.fillRect(rect.toQRect(), toQColor(0x4B4B4B));
    if (!library)
        return;
    painter.save();
    painter.setClipRect(rect.toQRect(), Qt::IntersectClip);
    const int height = rowHeight();
    const int count = rowCount();
    const int step = scaled(iconWidth + 3);
    const int iconW = scaled(iconWidth);
    const int iconH = scaled(iconHeight);
    for (int r = 0; r < visibleRows && firstVisibleRow + r < count; ++r) {
        const int row = firstVisibleRow + r;
        const MacroItemLocation location = library->rowToLocation(row);
        const MacroItem* item = library->entry(location);
        if (!item)
            continue;
        const Rect line{rect.left, rect.top + r * height, rect.right, rect.top + (r + 1) * height};
        if (row == selectedRow)
            painter.fillRect(line.toQRect(), toQColor(0xDEA035));
        const int x = rect.left + step * std::max(0, location.stage);
        if (item->isFolder) {
            const int y = line.top + (height - iconH) / 2;
            Skin::DrawSkinImage(painter, item->folderIsOpen ? openImage : closedImage,
                                {x, y, x + iconW, y + iconH}, 0, iconWidth, iconHeight);
        }
        SkinText::draw(painter, {x + step, line.top, line.right, line.bottom}, item->name,
                       SkinText::ControlFormat, font, 0xFFFFFF);
    }
    painter.restore();
}

int CEditShowList::selectAt(const QPoint& point) {
    const int row = rowAt(point);
    setCurrentRow(row);
    return row;
}

void CEditShowList::setCurrentRow(int row) {
    selectedRow = row;
    selection = row >= 0 && library ? library->rowToLocation(row) : MacroItemLocation::none();
}

QString CEditShowList::rowText(int row) const {
    const MacroItem* item = library ? library->entry(library->rowToLocation(row)) : nullptr;
    return item ? item->name : QString();
}

std::optional<bool> CEditShowList::rowOpen(int row) const {
    const MacroItem* item = library ? library->entry(library->rowToLocation(row)) : nullptr;
    return item && item->isFolder ? std::optional<bool>(item->folderIsOpen) : std::nullopt;
}

void CEditShowList::activateRow(int row) {
    toggleFolder(row);
    notify(id, 0, CodeDoubleClick);
}

bool CEditShowList::OnKey(int key) {
    if (!disabled && (key == Qt::Key_Right || key == Qt::Key_Left)) {
        // Right opens a closed folder, Left closes an open one; elsewhere they do nothing.
        const std::optional<bool> open = selectedRow >= 0 ? rowOpen(selectedRow) : std::nullopt;
        if (open && *open == (key == Qt::Key_Left))
            activateRow(selectedRow);
        return true;
    }
    return CRowList::OnKey(key);
}

void CEditShowList::toggleFolder(int row) {
    if (!library || row < 0)
        return;
    MacroItem* item = library->usedEntry(library->rowToLocation(row));
    if (item && item->isFolder)
        item->folderIsOpen = !item->folderIsOpen;
}

bool CEditShowList::OnLButtonDown(uint32_t, const QPoint& point) {
    if (disabled || !rect.contains(point))
        return false;
    state = Pressed;
    const int row = selectAt(point);
    if (row >= 0) {
        const MacroItemLocation location = library->rowToLocation(row);
        const MacroItem* item = library->entry(location);
        const int depth = std::max(0, location.stage);
        if (item && item->isFolder && point.x() - rect.left < scaled(iconWidth) * (depth + 1))
            toggleFolder(row);
    }
    notify(id, 0, CodePress);
    return true;
}

bool CEditShowList::OnLButtonDblClk(uint32_t, const QPoint& point) {
    if (disabled)
        return false;
    const int row = rowAt(point);
    if (row < 0)
        return false;
    toggleFolder(row);
    notify(id, 0, CodeDoubleClick);
    return true;
}

bool CEditShowList::OnRButtonUp(uint32_t, const QPoint& point) {
    if (disabled || !rect.contains(point))
        return false;
    selectAt(point);
    QPoint where = point;
    notify(id, reinterpret_cast<uintptr_t>(&where), CodeRightClick);
    return true;
}

void CEditShowList::ReleaseImages() {
    openImage = closedImage = QImage();
}
