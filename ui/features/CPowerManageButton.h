#pragma once

#include "toolkit/CControlBase.h"

#include <QImage>

// The power-down dial: one picture per value, "skins\power_manage_3min.png" …
// "skins\power_manage_10min.png", and eight click regions side by side, one per minute value
// 3 … 10. A left button going up inside a region sets that value and notifies the parent with
// message = id, wParam = the value, lParam = 2; anywhere else (the gaps between regions
// included) the click is ignored. The regions follow the control's rectangle, which is laid out
// for a 140 × 84 design size.
class CPowerManageButton : public CControlBase {
public:
    AccessRole accessRole() const override { return AccessRole::Slider; }
    QString accessValue() const override { return QString::number(value); }
    bool accessRange(int& minimum, int& maximum, int& current) const override;
    // Steps the minutes as a click on the next region does.
    bool OnKey(int key) override;
    static constexpr int MinValue = 3;
    static constexpr int MaxValue = 10;
    static constexpr int DesignWidth = 140;
    static constexpr int DesignHeight = 84;

    CPowerManageButton(MessageWindow* parent, uint32_t id, const Rect& rect, bool visible = true,
                       bool shown = true);

    // Shows a value, kept within 3 … 10; no notification, no repaint.
    void SetValue(int minutes);
    int GetValue() const { return value; }
    // The value of the region under a client point, 0 outside every region.
    int valueAt(const QPoint& point) const;
    // A value's region in client coordinates.
    Rect regionRect(int minutes) const;

    void Draw(QPainter& painter, const Rect& clip) override;
    bool OnLButtonDown(uint32_t keyFlags, const QPoint& point) override;
    bool OnLButtonUp(uint32_t keyFlags, const QPoint& point) override;
    void ReleaseImages() override;

    int value = 5;
    QImage image;
    int imageValue = 0; // the value `image` shows, 0 when none is loaded
    int imageWidth = 0, imageHeight = 0;
};
