#pragma once

#include "toolkit/CRowList.h"

#include <QHash>
#include <QImage>

class MacroKey;

// The action list of one macro (always id 2020): one row per action with its icon and text. A
// press selects a row (nothing, below the last one); a double click on a row sends code 10, and so
// do Space and Enter on the selected row.
class CImageShowList : public CRowList {
public:
    static constexpr uint32_t ListId = 2020;
    static constexpr int TextIndent = 17;
    static constexpr int IconOffset = 15; // icon left of the text
    static constexpr int IconTop = 3;

    CImageShowList(MessageWindow* parent, const Rect& rect, const MacroKey* macro,
                   const QString& text = QString(), bool visible = true, bool shown = true,
                   bool disabled = false);

    int rowCount() const override;
    int currentRow() const override { return pressedRow < rowCount() ? pressedRow : -1; }
    QString rowText(int row) const override;
    // Scrolls so the pressed row can be seen (the same rule as the library tree).
    void KeepSelectionVisible() { keepRowVisible(pressedRow); }

    void Draw(QPainter& painter, const Rect& clip) override;
    bool OnLButtonDown(uint32_t keyFlags, const QPoint& point) override;
    bool OnLButtonDblClk(uint32_t keyFlags, const QPoint& point) override;
    void ReleaseImages() override;

    QHash<QString, QImage> icons; // by skin name, loaded when first drawn until released
    bool imagesReleased = false;
    int iconWidth = 0, iconHeight = 0;
    const MacroKey* macro;
    int pressedRow = -1;

protected:
    void setCurrentRow(int row) override { pressedRow = row; }
    void activateRow(int) override { notify(id, 0, CodeDoubleClick); }

private:
    const QImage& icon(const QString& name);
};
