#include "ui/buttons/CComboPopup.h"

#include "toolkit/Skin.h"
#include "toolkit/SkinNames.h"
#include "toolkit/SkinText.h"
#include "toolkit/UiScale.h"

#include <QPainter>
#include <array>

using Catalogue = FunctionCatalogue;

namespace {
constexpr std::array<CComboPopup::Submenu, 5> Submenus = {{
    {Catalogue::Menu::Dpi, 2, WM_USER + 18, WM_USER + 16, WM_USER + 17},
    {Catalogue::Menu::Multimedia, 3, WM_USER + 21, WM_USER + 19, WM_USER + 20},
    {Catalogue::Menu::Office, 12, WM_USER + 138, WM_USER + 136, WM_USER + 137},
    {Catalogue::Menu::Window, 11, WM_USER + 135, WM_USER + 133, WM_USER + 134},
    {Catalogue::Menu::DpiLock, 10, WM_USER + 132, WM_USER + 130, WM_USER + 131},
}};
} // namespace

std::span<const CComboPopup::Submenu> CComboPopup::submenus() {
    return Submenus;
}

const CComboPopup::Submenu* CComboPopup::submenuOf(Catalogue::Menu menu) {
    for (const Submenu& s : Submenus)
        if (s.menu == menu)
            return &s;
    return nullptr;
}

CComboPopup::CComboPopup() : CRowListPopup(Menu, rowsOf(Catalogue::Menu::Main)) {}

std::vector<CRowListPopup::Row> CComboPopup::rowsOf(Catalogue::Menu menu) {
    std::vector<Row> rows;
    intptr_t index = 0;
    for (const Catalogue::Item& item : Catalogue::items(menu))
        rows.push_back(Row::choosing(Catalogue::label(item), index++));
    return rows;
}

int CComboPopup::rowOfSubmenu(Catalogue::Menu menu) {
    int row = 0;
    for (const Catalogue::Item& item : Catalogue::items(Catalogue::Menu::Main)) {
        if (item.action == Catalogue::Action::OpenSubmenu && item.submenu == menu)
            return row;
        ++row;
    }
    return -1;
}

void CComboPopup::InitItems() {
    CRowListPopup::InitItems();
    int w = 0, h = 0;
    Skin::LoadSkinImage(QLatin1String(SkinName::SubmenuRow), subNormalImage, w, h);
    Skin::LoadSkinImage(QLatin1String(SkinName::SubmenuRowOver), subOverImage, w, h);
}

void CComboPopup::DrawContent(QPainter& painter, const Rect& client) {
    CRowListPopup::DrawContent(painter, client);
    // Submenu rows: the marker skins over the plain row, the text again on top.
    const auto items = Catalogue::items(Catalogue::Menu::Main);
    for (int row = 0; row < int(rows.size()) && row < int(items.size()); ++row) {
        if (items[size_t(row)].action != Catalogue::Action::OpenSubmenu)
            continue;
        const QImage& image = row == hotRow ? subOverImage : subNormalImage;
        if (image.isNull())
            continue;
        const Rect r = rowRect(row);
        Skin::DrawSkinImage(painter, image, r, 0, image.width(), image.height());
        SkinText::drawControlText(painter, r, scaled(8), scaled(8), rows[size_t(row)].text, TextCenter, font,
                                  row == hotRow ? SkinText::OverColor : SkinText::NormalColor);
    }
}

bool CComboPopup::OnPopupMouseMove(const QPoint& point) {
    const bool redraw = CRowListPopup::OnPopupMouseMove(point);
    const int row = rowAt(point);
    if (row == pointerRow)
        return redraw;
    pointerRow = row;
    const Catalogue::Item* item = Catalogue::item(Catalogue::Menu::Main, row);
    const Submenu* sub =
        item && item->action == Catalogue::Action::OpenSubmenu ? submenuOf(item->submenu) : nullptr;
    NotifyParent(sub ? sub->openMessage : PlainRowMessage, ownerId, row);
    return redraw;
}

void CComboPopup::OnRowClicked(int row) {
    const Catalogue::Item* item = Catalogue::item(Catalogue::Menu::Main, row);
    if (!item)
        return;
    switch (item->action) {
    case Catalogue::Action::Assign:
        NotifyParent(SelectionMessage, ownerId, row);
        break;
    case Catalogue::Action::OpenSubmenu:
        break;
    case Catalogue::Action::FireKeyDialog:
        NotifyParent(FireKeyRequest, ownerId, row);
        break;
    case Catalogue::Action::ShortcutDialog:
        NotifyParent(CaptureRequest, ownerId, row);
        break;
    case Catalogue::Action::MacroDialog:
        NotifyParent(MacroRequest, ownerId, row);
        break;
    }
}
