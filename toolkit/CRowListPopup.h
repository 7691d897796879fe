#pragma once

#include "toolkit/CWndPopup.h"

#include <QImage>
#include <QString>
#include <vector>

// A popup menu of equal rows filling its window from top to bottom, drawn with the menu row skins.
// The row under the mouse is drawn with the hover skin; a marked row (the current choice) has the
// checked text colour; inert rows take no clicks. Derived popups fill `rows` in their constructor
// and act in OnRowClicked / OnRowRightClicked.
class CRowListPopup : public CWndPopup {
    Q_OBJECT

public:
    struct Row {
        QString text;
        bool selectable = true;
        bool marked = false;
    };

    CRowListPopup(int kind, const QString& normalSkin, const QString& overSkin);

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

    std::vector<Row> rows;
    int hotRow = -1;
    QString normalSkin, overSkin;
    QImage normalImage, overImage;
    int imageWidth = 0, imageHeight = 0;

protected:
    // A click on a selectable row; what the derived popup tells its parent.
    virtual void OnRowClicked(int row) = 0;
    virtual void OnRowRightClicked(int row);
};
