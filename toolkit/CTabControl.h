#pragma once

#include "toolkit/CButtonBase.h"

#include "toolkit/SkinImage.h"

#include <QImage>

// The profile slot selected through the tabs 2049 … 2053 (0 … 4).
int& selectedProfileTab();

// A profile slot tab. A click selects its slot and sends code 2; a right click sends its id in
// wParam with code 11. The selected tab shows its second look (brighter under the mouse).
class CTabControl : public CButtonBase {
public:
    static constexpr uint32_t FirstId = 2049;

    CTabControl(MessageWindow* parent, uint32_t id, const Rect& rect, const QString& caption,
                uint32_t alignment, const QString& text = QString(), bool visible = true, bool shown = true,
                bool disabled = false);

    void SetImages(const QString& normal, const QString& over, const QString& selectedName,
                   const QString& selectedOver);
    // The slot of this tab, or -1 for an id outside 2049 … 2053.
    int index() const;
    // 0 normal, 1 over, 2 selected, 3 selected and over.
    int look() const;

    void Draw(QPainter& painter, const Rect& clip) override;
    bool OnLButtonUp(uint32_t keyFlags, const QPoint& point) override;
    bool OnRButtonUp(uint32_t keyFlags, const QPoint& point) override;
    void ReleaseImages() override;

    QString caption;
    SkinImage looks[4];
    int imageWidth = 0, imageHeight = 0;
    uint32_t alignment;
    int leftInset = 0;
    int rightInset = 0;
};
