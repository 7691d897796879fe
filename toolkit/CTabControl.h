#pragma once

#include "toolkit/CButtonBase.h"

#include "toolkit/SkinImage.h"

#include <QImage>

class RadioGroup;

// A tab, the one of `index` in `tabs` (owned by its window, which outlives it). A click selects it
// in its group and sends code 2; a right click sends its id in wParam with code 11. The selected
// tab shows its second look (brighter under the mouse).
class CTabControl : public CButtonBase {
public:
    AccessRole accessRole() const override { return AccessRole::PageTab; }
    bool accessChecked() const override;
    QString accessText() const override { return shownCaption.isEmpty() ? text : shownCaption; }
    const RadioGroup* radioGroup() const override { return &tabs; }
    int radioIndex() const override { return ownIndex; }
    CTabControl(MessageWindow* parent, uint32_t id, const Rect& rect, RadioGroup& tabs, int index,
                const QString& caption, uint32_t alignment, const QString& text = QString(),
                bool visible = true, bool shown = true, bool disabled = false);

    void SetImages(const QString& normal, const QString& over, const QString& selectedName,
                   const QString& selectedOver);
    int index() const { return ownIndex; }
    const QString& caption() const { return shownCaption; }
    // Repaints when the caption changes.
    void SetCaption(const QString& newCaption);
    // 0 normal, 1 over, 2 selected, 3 selected and over.
    int look() const;

    void Draw(QPainter& painter, const Rect& clip) override;
    bool OnLButtonUp(uint32_t keyFlags, const QPoint& point) override;
    bool OnRButtonUp(uint32_t keyFlags, const QPoint& point) override;
    void ReleaseImages() override;
    void ForgetDecodedImages() override;

    SkinImage looks[4];
    int imageWidth = 0, imageHeight = 0;
    uint32_t alignment;
    int leftInset = 0;
    int rightInset = 0;

private:
    QString shownCaption;
    RadioGroup& tabs;
    int ownIndex;
};
