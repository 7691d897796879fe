#include "ui/features/CColorPaletteDlg.h"

#include "features/LightingRules.h"
#include "toolkit/CStaticText.h"
#include "toolkit/Skin.h"
#include "toolkit/SkinNames.h"
#include "toolkit/SkinText.h"
#include "toolkit/UiScale.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace {
constexpr int kPaletteResource = SkinResource::Palette;
// The two colour areas, in design units.
constexpr Rect kAreas[] = {{18, 26, 222, 270}, {244, 26, 473, 190}};
} // namespace

CColorPaletteDlg::CColorPaletteDlg(ProfileRecord& record, int kind, int index, int slot, QWidget* parent)
    : CDlgBase(SmallDialogTemplate, parent), record(record), kind(kind), index(index), slot(slot),
      current(LightingRules::paletteColor(record, kind, index, slot) & 0xFFFFFF) {
    SetDesignSize(DesignWidth, DesignHeight);
    backgroundColor = Background;
    Skin::LoadBitmapResource(kPaletteResource, palette, paletteSize);
}

void CColorPaletteDlg::CreateControls(const Rect&) {
    AddCloseButton(480);
    const uint32_t ids[] = {RedTextId, GreenTextId, BlueTextId};
    for (int i = 0; i < 3; ++i)
        AddControl(
            0, std::make_unique<CStaticText>(this, ids[i], scaledRect(310 + 50 * i, 210, 355 + 50 * i, 230),
                                             0xB4B4B4, TextLeft | TextSingleLine | TextVCenter, QString()));
    AddOkButton({400, 255, 469, 277});
    showNumbers();
}

Rect CColorPaletteDlg::previewRect() const {
    return scaledRect(250, 205, 290, 245);
}

bool CColorPaletteDlg::inPaletteArea(const QPoint& point) {
    for (const Rect& area : kAreas)
        if (scaledRect(area).contains(point))
            return true;
    return false;
}

bool CColorPaletteDlg::PickAt(const QPoint& point) {
    if (!inPaletteArea(point) || palette.isNull() || width() <= 0 || height() <= 0)
        return false;
    // The picture is stretched over the window: find the pixel drawn at the point.
    const int x = std::clamp(point.x() * paletteSize.width() / scaled(DesignWidth), 0, palette.width() - 1);
    const int y =
        std::clamp(point.y() * paletteSize.height() / scaled(DesignHeight), 0, palette.height() - 1);
    const QColor pixel = palette.pixelColor(x, y);
    const ColorRef picked = rgb(pixel.red(), pixel.green(), pixel.blue());
    if (picked == Background)
        return false;
    SetColor(picked);
    return true;
}

void CColorPaletteDlg::SetColor(uint32_t color) {
    current = color & 0xFFFFFF;
    showNumbers();
    invalidate(previewRect());
}

void CColorPaletteDlg::showNumbers() {
    const int values[] = {ProfileRecord::red(current), ProfileRecord::green(current),
                          ProfileRecord::blue(current)};
    const uint32_t ids[] = {RedTextId, GreenTextId, BlueTextId};
    for (int i = 0; i < 3; ++i) {
        if (CControlBase* text = FindControl(ids[i])) {
            text->SetText(QString::number(values[i]));
            invalidate(text->rect);
        }
    }
}

void CColorPaletteDlg::OnOK() {
    LightingRules::storePaletteColor(record, kind, index, slot, current);
    Finish(IDOK);
}

void CColorPaletteDlg::DrawBackground(QPainter& painter, const Rect& client) {
    painter.fillRect(client.toQRect(), toQColor(backgroundColor));
    Skin::DrawSkinImage(painter, palette, {0, 0, scaled(DesignWidth), scaled(DesignHeight)}, 0,
                        paletteSize.width(), paletteSize.height());
    const Rect preview = previewRect();
    painter.fillRect(preview.toQRect(), toQColor(current));
    painter.setPen(QColor(180, 180, 180));
    painter.drawRect(preview.toQRect().adjusted(0, 0, -1, -1));
    DrawControls(painter, client);
}

void CColorPaletteDlg::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        OnOK();
        event->accept();
        return;
    case Qt::Key_Escape:
        event->accept();
        return;
    default:
        CDlgBase::keyPressEvent(event);
    }
}

void CColorPaletteDlg::mousePressEvent(QMouseEvent* event) {
    // A press on the colours picks; it must not start moving the window as an empty area would.
    if (event->button() == Qt::LeftButton && inPaletteArea(event->position().toPoint())) {
        PickAt(event->position().toPoint());
        return;
    }
    CDlgBase::mousePressEvent(event);
}
