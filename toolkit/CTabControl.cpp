#include "toolkit/CTabControl.h"

#include "toolkit/RadioGroup.h"
#include "toolkit/Skin.h"
#include "toolkit/SkinText.h"

CTabControl::CTabControl(MessageWindow* parent, uint32_t id, const Rect& rect, RadioGroup& tabs, int index,
                         const QString& caption, uint32_t alignment, const QString& text, bool visible,
                         bool shown, bool disabled)
    : CButtonBase(parent, id, rect, text, visible, shown, disabled), alignment(alignment),
      shownCaption(caption), tabs(tabs), ownIndex(index) {}

void CTabControl::SetImages(const QString& normal, const QString& over, const QString& selectedName,
                            const QString& selectedOver) {
    const QString* names[4] = {&normal, &over, &selectedName, &selectedOver};
    for (int i = 0; i < 4; ++i)
        Skin::LoadSkinImage(*names[i], looks[i], imageWidth, imageHeight);
}

void CTabControl::SetCaption(const QString& newCaption) {
    updateAndRepaint(shownCaption, newCaption);
}

int CTabControl::look() const {
    if (tabs.isChecked(ownIndex))
        return state != Normal ? 3 : 2;
    return state;
}

void CTabControl::Draw(QPainter& painter, const Rect&) {
    Skin::DrawSkinImage(painter, looks[look()], rect, 0, imageWidth, imageHeight);
    SkinText::drawControlText(painter, rect, leftInset, rightInset, shownCaption, alignment, font,
                              SkinText::NormalColor);
}

bool CTabControl::OnLButtonUp(uint32_t, const QPoint& point) {
    if (disabled)
        return false;
    const int old = state;
    if (releaseAt(point)) {
        if (ownIndex >= 0)
            tabs.check(ownIndex);
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

bool CTabControl::accessChecked() const {
    return tabs.isChecked(ownIndex);
}

void CTabControl::ForgetDecodedImages() {
    for (SkinImage& look : looks)
        look.forget();
}
