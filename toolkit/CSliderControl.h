#pragma once

#include "toolkit/CControlBase.h"

#include "toolkit/SkinImage.h"

#include <QImage>
#include <vector>

// A horizontal slider with a fixed number of stops. Stop 0 lies `firstMargin` right of the left
// edge, the last stop `secondMargin` left of the right edge, the others evenly between them. A
// press on the knob starts a drag; a release anywhere on the track jumps to the nearest stop.
// Only the knob is drawn; the bar under it is a separate image control.
class CSliderControl : public CControlBase {
public:
    AccessRole accessRole() const override { return AccessRole::Slider; }
    QString accessValue() const override { return QString::number(position); }
    bool accessRange(int& minimum, int& maximum, int& current) const override;
    // Arrows step, Page Up/Down a tenth of the stops, Home/End the ends: each as a release on
    // that stop (code 2).
    bool OnKey(int key) override;
    // Margins in pixels (already scaled). A stop count below 1 counts as 1.
    CSliderControl(MessageWindow* parent, uint32_t id, const Rect& rect, int stopCount, int firstMargin,
                   int secondMargin, const QString& text = QString(), bool visible = true, bool shown = true,
                   bool disabled = false);

    bool SetKnobImage(const QString& name);
    // Moves to stop `index`, kept within the stops; no notification, no repaint.
    void SetPosition(int index);
    // The drag step: while a drag runs, follows x (kept on the track), snaps the position, repaints
    // and sends code 3 with the position when it changed. Returns whether a drag runs. The owner
    // calls it from its own mouse moves while the button is held, so the knob follows outside the
    // control too.
    bool DragTo(int x);

    int stop(int index) const;
    // The stop nearest to x (left of the first midpoint → 0, and so on).
    int snap(int x) const;
    Rect knobRectAt(int index) const;

    void SetBounds(int left, int top, int right, int bottom) override;
    void Draw(QPainter& painter, const Rect& clip) override;
    bool OnMouseMove(uint32_t keyFlags, const QPoint& point) override;
    bool OnLButtonDown(uint32_t keyFlags, const QPoint& point) override;
    bool OnLButtonUp(uint32_t keyFlags, const QPoint& point) override;
    void ReleaseImages() override;
    void ForgetDecodedImages() override;

    SkinImage knobImage;
    int knobWidth = 0, knobHeight = 0;
    int knobX = 0;
    int firstMargin, secondMargin;
    int position = 0;
    int lastSentPosition = -1;
    bool dragging = false;
    int stopCount;
    std::vector<int> stops;
    Rect knobRect;

private:
    void layoutStops();
};
