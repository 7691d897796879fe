#pragma once

#include "toolkit/CControlBase.h"

#include <optional>

// What the two lists of the macro dialogs share: rows of one height, a window of visible rows,
// the rule that keeps a chosen row in view, and the keys: Up, Down, Page Up, Page Down, Home and End
// choose a row as a press on it would and bring it into view; Space and Enter do to the chosen
// row what a double click does.
class CRowList : public CControlBase {
public:
    AccessRole accessRole() const override { return AccessRole::List; }
    static constexpr int RowHeight = 20; // design pixels

    CRowList(MessageWindow* parent, uint32_t id, const Rect& rect, const QString& text, bool visible,
             bool shown, bool disabled);

    virtual int rowCount() const = 0;
    // The chosen row (the selection), -1 for none.
    virtual int currentRow() const = 0;
    // What a row reads as to a screen reader.
    virtual QString rowText(int row) const = 0;
    // For a row that opens and closes (a folder): whether it is open.
    virtual std::optional<bool> rowOpen(int) const { return std::nullopt; }
    // A row's rectangle while it is in view; empty otherwise.
    Rect rowRect(int row) const;
    // Chooses a row as a click on it would, brings it into view and tells the window (code 1, then
    // code 2); false for a row that is not there.
    bool pickRow(int row);
    bool OnKey(int key) override;
    // The row under a point, or -1 below the last row or outside the list.
    int rowAt(const QPoint& point) const;
    void SetBounds(int left, int top, int right, int bottom) override;
    bool OnMouseMove(uint32_t keyFlags, const QPoint& point) override;
    // A release inside is a click, wherever the press was.
    bool OnLButtonUp(uint32_t keyFlags, const QPoint& point) override;

    int visibleRows = 0;
    int firstVisibleRow = 0;

protected:
    // Makes `row` the chosen one, without telling the window.
    virtual void setCurrentRow(int row) = 0;
    // What a double click on the row does; nothing by default.
    virtual void activateRow(int) {}
    int rowHeight() const;
    // Scrolls so `row` can be seen; never scrolls up to a row above the view.
    void keepRowVisible(int row);
    void layoutRows();
};
