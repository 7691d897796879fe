#include "toolkit/CTabControl.h"

#include "toolkit/Skin.h"
#include "toolkit/SkinText.h"

int& selectedProfileTab() {
    static int index = 0;
    return index;
}

CTabControl::CTabControl(MessageWindow* parent, uint32_t id, const Rect& rect, const QString& caption,
                         uint32_t alignment, const QString& text, bool visible, bool shown, bool disabled)
    : CButtonBase(parent, id, rect, text, visible, shown, disabled), caption(caption), alignment(alignment) {}

void CTabControl::SetImages(const QString& normal, const QString& over, const QString& selectedName,
                            const QString& selectedOver) {
    const QString* names[4] = {&normal, &over, &selectedName, &selectedOver};
    for (int i = 0; i < 4; ++i)
        Skin::LoadSkinImage(*names[i], looks[i], imageWidth, imageHeight);
}

int CTabControl::index() const {
    return id >= FirstId && id < FirstId + 5 ? int(id - FirstId) : -1;
}

int CTabControl::look() const {
    if (index() >= 0 && index() == selectedProfileTab())
        return state != Normal ? 3 : 2;
    return state;
}

void CTabControl::Draw(QPainter& painter, const Rect&) {
    Skin::DrawSkinImage(painter, looks[look()], rect, 0, imageWidth, imageHeight);
    SkinText::drawControlText(painter, rect, leftInset, rightInset, caption, alignment, font,
                              SkinText::NormalColor);
}

bool CTabControl::OnLButtonUp(uint32_t, const QPoint& point) {
    if (disabled)
        return false;
    const int old = state;
    if (releaseAt(point)) {
        if (index() >= 0)
            selectedProfileTab() = index();
        notify(id, 0, CodeClick);
        return true; // the selected look moves to this tab
    }
    return state != old;
}

bool CTabControl::OnRButtonUp(uint32_t, const QPoint& point) {
    if (!disabled && rect.contains(point))
        notify(id, id, CodeRightClick);
    return false;
}

void CTabControl::ReleaseImages() {
    for (SkinImage& image : looks)
        image = QImage();
}
