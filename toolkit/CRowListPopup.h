#pragma once

#include "toolkit/CWndPopup.h"
#include "toolkit/SkinNames.h"

#include <QImage>
#include <QString>
#include <optional>
#include <vector>

// A popup menu of equal rows filling its window from top to bottom, drawn with two row skins.
// The row under the mouse is drawn with the hover skin; a marked row (the current choice) has the
// checked text colour; inert rows take no clicks. A click on a selectable row sends the selection
// message with wParam = owner id and lParam = the row's choice; a right click sends its right
// choice when it has one. What tells one menu from another is its Setup and its rows.
class CRowListPopup : public CWndPopup {
    Q_OBJECT

public:
    struct Row {
        QString text;
        bool selectable = true;
        bool marked = false;
        intptr_t choice = 0;
        std::optional<intptr_t> rightChoice;

        // A row a click chooses; a marked row is the current choice.
        static Row choosing(const QString& text, intptr_t choice, bool marked = false,
                            std::optional<intptr_t> rightChoice = std::nullopt) {
            return {text, true, marked, choice, rightChoice};
        }
        // A heading or a blank row: drawn, never chosen.
        static Row inert(const QString& text = QString()) { return {text, false, false, 0, std::nullopt}; }
    };

    // One kind of row-list menu and the message it closes with (0: none).
    struct Setup {
        int kind = 0;
        uint32_t closeMessage = 0;
        int rowDesignHeight = 20;
        const char* normalSkin = SkinName::MenuRow;
        const char* overSkin = SkinName::MenuRowOver;
    };

    CRowListPopup(const Setup& setup, std::vector<Row> rows);

    // The row at a point of the popup, -1 outside every row.
    int rowAt(const QPoint& point) const;
    // A row's rectangle in the popup's own coordinates, and on the screen.
    Rect rowRect(int row) const;
    QRect rowScreenRect(int row) const;

    void InitItems() override;
    void DrawContent(QPainter& painter, const Rect& client) override;
    bool OnPopupMouseMove(const QPoint& point) override;
    bool OnPopupLButtonUp(const QPoint& point) override;
    bool OnPopupRButtonUp(const QPoint& point) override;

    int itemCount() const override { return int(rows.size()); }
    QString itemText(int item) const override { return rows[size_t(item)].text; }
    Rect itemRect(int item) const override { return rowRect(item); }
    bool itemSelectable(int item) const override { return rows[size_t(item)].selectable; }
    bool itemMarked(int item) const override { return rows[size_t(item)].marked; }
    int currentItem() const override { return hotRow; }

    const Setup setup;
    std::vector<Row> rows;
    int hotRow = -1;
    QImage normalImage, overImage;
    int imageWidth = 0, imageHeight = 0;

protected:
    // A click (or right click) on a selectable row; the standard ones send the row's choices.
    virtual void OnRowClicked(int row);
    virtual void OnRowRightClicked(int row);
};
