#pragma once

#include "toolkit/CRowList.h"

#include <QStringList>

// A list of text rows, one of which may be selected, for the links dialog. A press selects the row
// under it (or nothing below the last row) and sends CodePress to the window.
class CLinkList : public CRowList {
public:
    CLinkList(MessageWindow* parent, uint32_t id, const Rect& rect);

    // New rows; nothing is selected and the list shows its top.
    void SetRows(const QStringList& newRows);
    const QStringList& rows() const { return lines; }
    int rowCount() const override { return int(lines.size()); }
    int currentRow() const override { return selectedRow; }
    QString rowText(int row) const override { return row >= 0 && row < rowCount() ? lines[row] : QString(); }
    void Select(int row);

    void Draw(QPainter& painter, const Rect& clip) override;
    bool OnLButtonDown(uint32_t keyFlags, const QPoint& point) override;

    int selectedRow = -1;

protected:
    void setCurrentRow(int row) override { selectedRow = row; }

private:
    QStringList lines;
};
