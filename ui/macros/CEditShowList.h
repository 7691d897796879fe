#pragma once

#include "macros/MacroItemLocation.h"
#include "toolkit/CRowList.h"

#include <QImage>

class MacroLibrary;

// The macro library tree of the macro dialogs (always id 2015): one row per shown library item,
// indented by depth, folders with an open or closed folder icon. A press selects a row and puts
// its item into `selection` (nothing, below the last row), which the dialog owns and which outlives
// the list; a press on a folder's icon
// opens or closes it. A double click opens or closes a folder and sends code 10; a right click
// selects and sends code 11 with a pointer to the click point in wParam. From the keyboard, Space
// and Enter act as a double click, Right opens a closed folder and Left closes an open one.
class CEditShowList : public CRowList {
public:
    static constexpr uint32_t ListId = 2015;

    CEditShowList(MessageWindow* parent, const Rect& rect, MacroLibrary* library,
                  MacroItemLocation& selection, const QString& text = QString(), bool visible = true,
                  bool shown = true, bool disabled = false);

    void SetIcons(const QString& openFolder, const QString& closedFolder);
    int rowCount() const override;
    int currentRow() const override { return selectedRow; }
    QString rowText(int row) const override;
    std::optional<bool> rowOpen(int row) const override;
    bool OnKey(int key) override;
    // Scrolls so the selected row can be seen; never scrolls up to a selection above the view.
    void KeepSelectionVisible() { keepRowVisible(selectedRow); }

    void Draw(QPainter& painter, const Rect& clip) override;
    bool OnLButtonDown(uint32_t keyFlags, const QPoint& point) override;
    bool OnLButtonDblClk(uint32_t keyFlags, const QPoint& point) override;
    bool OnRButtonUp(uint32_t keyFlags, const QPoint& point) override;
    void ReleaseImages() override;

    QImage openImage, closedImage;
    int iconWidth = 0, iconHeight = 0;
    MacroLibrary* library;
    int selectedRow = -1;

protected:
    void setCurrentRow(int row) override;
    void activateRow(int row) override;

private:
    MacroItemLocation& selection;

    // Selects the row under the point (or nothing); returns the row.
    int selectAt(const QPoint& point);
    void toggleFolder(int row);
};
