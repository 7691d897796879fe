#include "ui/shell/ButtonSection.h"

#include "base/LangText.h"
#include "macros/MacroLibrary.h"
#include "macros/MacroLibraryFile.h"
#include "session/StartupLoader.h"
#include "toolkit/CComboButton.h"
#include "toolkit/Skin.h"
#include "toolkit/SkinNames.h"
#include "toolkit/UiScale.h"
#include "ui/buttons/CComboPopup.h"
#include "ui/buttons/CFireKeyDlg.h"
#include "ui/buttons/CFunctionSubPopup.h"
#include "ui/buttons/CShortcutDlg.h"
#include "ui/macros/CMacroManagerDlg.h"
#include "ui/macros/CMacroSelectDlg.h"
#include "ui/shell/MainControls.h"
#include "ui/shell/MainLayout.h"

#include <QApplication>
#include <QCursor>
#include <QPainter>
#include <QScreen>
#include <array>

using namespace MainControl;
using Catalogue = FunctionCatalogue;

namespace {
// Identifiers from ButtonFunction on mark the mouse picture; only markers 1 … 9 have a place.
constexpr uint32_t MarkedIds = 14;

// The menu moves up when this much below its top would pass the bottom of the screen.
constexpr int MenuRoomDesignHeight = 314;
constexpr int MenuDesignOffsetX = 161;
constexpr int MenuDesignOverlapY = 20;

bool leftClickAt(const ProfileRecord& p, int slot) {
    const KeyValue& v = p.Keys[size_t(slot)].Value;
    return v.type == KeyValue::LeftButton.type && v.param1 == KeyValue::LeftButton.param1;
}

// Where each button marker goes over the mouse picture, markers 1..9.
constexpr std::array<QPoint, 9> MarkerPositions = {{{495, 231},
                                                    {608, 231},
                                                    {553, 251},
                                                    {467, 311},
                                                    {471, 360},
                                                    {553, 333},
                                                    {616, 346},
                                                    {487, 284},
                                                    {487, 284}}};
} // namespace

void ButtonSection::addMessages(MessageTable& messages) {
    messages.add(ButtonFunctionNotice, [this](uintptr_t id, intptr_t code) -> intptr_t {
        onFunctionCombo(id, code);
        return 0;
    });
    messages.add(MacroButton, onClick([this] { OpenMacroManager(); }));

    messages.add(CComboPopup::SelectionMessage, [this](uintptr_t id, intptr_t row) -> intptr_t {
        if (const Catalogue::Item* item = Catalogue::item(Catalogue::Menu::Main, int(row)))
            StoreButtonFunction(uint32_t(id), Catalogue::function(Catalogue::Menu::Main, *item));
        return 0;
    });
    messages.add(CComboPopup::CloseMessage, [this](uintptr_t id, intptr_t) -> intptr_t {
        // A window system that activates the opened submenu takes the activation from the menu.
        if (submenu() && QApplication::activeWindow() == submenu())
            return 0;
        closeMenus();
        clearMarkIfClosed(uint32_t(id));
        return 0;
    });
    messages.add(CComboPopup::PlainRowMessage, [this](uintptr_t, intptr_t) -> intptr_t {
        // Leaving the menu for the submenu keeps it.
        if (CFunctionSubPopup* sub = submenu(); sub && !sub->geometry().contains(QCursor::pos()))
            closeSubmenu();
        return 0;
    });
    for (const CComboPopup::Submenu& s : CComboPopup::submenus()) {
        const Catalogue::Menu menu = s.menu;
        messages.add(s.openMessage, [this, menu](uintptr_t, intptr_t) -> intptr_t {
            openSubmenu(menu);
            return 0;
        });
        messages.add(s.selectionMessage, [this, menu](uintptr_t id, intptr_t row) -> intptr_t {
            if (const Catalogue::Item* item = Catalogue::item(menu, int(row)))
                StoreButtonFunction(uint32_t(id), Catalogue::function(menu, *item));
            return 0;
        });
        messages.add(s.leaveMessage, [this](uintptr_t id, intptr_t) -> intptr_t {
            CComboPopup* main = functionMenu();
            const QWidget* active = QApplication::activeWindow();
            if (main && active != main && active != submenu())
                closeMenus(); // the activation went elsewhere
            else if (!main || !main->geometry().contains(QCursor::pos()))
                closeSubmenu();
            clearMarkIfClosed(uint32_t(id));
            return 0;
        });
    }

    messages.add(CComboPopup::FireKeyRequest, [this](uintptr_t id, intptr_t) -> intptr_t {
        dialogButton = uint32_t(id);
        window.postMessage(CComboPopup::FireKeyOpen);
        return 0;
    });
    messages.add(CComboPopup::FireKeyOpen, [this](uintptr_t, intptr_t) -> intptr_t {
        openFireKeyDialog();
        return 0;
    });
    messages.add(CComboPopup::CaptureRequest, [this](uintptr_t id, intptr_t) -> intptr_t {
        dialogButton = uint32_t(id);
        window.postMessage(CComboPopup::CaptureOpen);
        return 0;
    });
    messages.add(CComboPopup::CaptureOpen, [this](uintptr_t, intptr_t) -> intptr_t {
        openShortcutDialog();
        return 0;
    });
    for (uint32_t result : {CComboPopup::FireKeyResult, CComboPopup::CaptureResult})
        messages.add(result, [this](uintptr_t, intptr_t function) -> intptr_t {
            // The result lives in the dialog; it is copied here before the dialog goes.
            if (function && dialogButton)
                StoreButtonFunction(dialogButton, *reinterpret_cast<const ::ButtonFunction*>(function));
            return 0;
        });
    messages.add(CComboPopup::MacroRequest, [this](uintptr_t id, intptr_t) -> intptr_t {
        macroButton = uint32_t(id);
        window.postMessage(CComboPopup::MacroOpen);
        return 0;
    });
    messages.add(CComboPopup::MacroOpen, [this](uintptr_t, intptr_t) -> intptr_t {
        openMacroDialog();
        return 0;
    });
    messages.add(CComboPopup::MacroResult, [this](uintptr_t, intptr_t chosen) -> intptr_t {
        if (chosen)
            storeSelectedMacro(*reinterpret_cast<const MacroItemLocation*>(chosen));
        return 0;
    });
}

CComboPopup* ButtonSection::functionMenu() const {
    return dynamic_cast<CComboPopup*>(window.popup(CVireoDlg::FunctionPopupSlot));
}

CFunctionSubPopup* ButtonSection::submenu() const {
    return dynamic_cast<CFunctionSubPopup*>(window.popup(CVireoDlg::SubmenuPopupSlot));
}

void ButtonSection::OpenFunctionMenu(uint32_t buttonId) {
    auto* button = control<CComboButton>(buttonId);
    if (!button)
        return;
    closeMenus();
    button->SetPopupOpen(true);
    const Rect r = button->rect;
    const int left = r.left + scaled(MenuDesignOffsetX);
    int top = r.bottom - scaled(MenuDesignOverlapY);
    if (const QScreen* screen = window.screen()) {
        const int screenBottom = screen->geometry().bottom() + 1;
        const int globalTop = window.mapToGlobal(QPoint(0, top)).y();
        if (globalTop + scaled(MenuRoomDesignHeight) > screenBottom)
            top -= globalTop + scaled(MenuRoomDesignHeight) - screenBottom;
    }
    window.openPopup(
        CVireoDlg::FunctionPopupSlot, std::make_unique<CComboPopup>(),
        {left, top, left + scaled(CComboPopup::DesignWidth), top + scaled(CComboPopup::DesignHeight)},
        CComboPopup::SelectionMessage, buttonId);
}

void ButtonSection::openSubmenu(Catalogue::Menu menu) {
    CComboPopup* main = functionMenu();
    const CComboPopup::Submenu* entry = CComboPopup::submenuOf(menu);
    if (!main || !entry)
        return;
    if (CFunctionSubPopup* open = submenu(); open && open->submenu.menu == menu)
        return;
    closeSubmenu();
    const QRect row = main->rowScreenRect(CComboPopup::rowOfSubmenu(menu));
    const QPoint topLeft = window.mapFromGlobal(QPoint(main->geometry().right() + 1, row.top()));
    const int rows = int(Catalogue::items(menu).size());
    window.openPopup(CVireoDlg::SubmenuPopupSlot, std::make_unique<CFunctionSubPopup>(*entry),
                     {topLeft.x(), topLeft.y(), topLeft.x() + main->width(),
                      topLeft.y() + scaled(rows * CFunctionSubPopup::RowDesignHeight)},
                     entry->selectionMessage, main->ownerId);
}

void ButtonSection::closeSubmenu() {
    if (submenu())
        window.ClosePopupSlot(CVireoDlg::SubmenuPopupSlot);
}

void ButtonSection::closeMenus() {
    closeSubmenu();
    if (CComboPopup* main = functionMenu())
        window.closePopup(CVireoDlg::FunctionPopupSlot, main->ownerId);
}

void ButtonSection::clearMarkIfClosed(uint32_t buttonId) {
    if (functionMenu() || submenu())
        return;
    if (auto* button = control<CComboButton>(buttonId); button && button->isPopupOpen()) {
        button->SetPopupOpen(false);
        window.invalidate(button->rect);
    }
}

void ButtonSection::StoreButtonFunction(uint32_t buttonId, const ::ButtonFunction& function,
                                        const MacroKey* macro) {
    if (buttonId < MainControl::ButtonFunction || buttonId >= MainControl::ButtonFunction + AssignableButtons)
        return;
    const int slot = int(buttonId - MainControl::ButtonFunction);
    auto* button = control<CComboButton>(buttonId);
    auto caption = [&](const QString& name) {
        if (button) {
            button->SetDisplayText(name);
            window.invalidate(button->rect);
        }
    };
    ProfileRecord& p = window.profile();
    caption(function.name);
    p.AssignKey(slot, function.name, function.value, macro);
    closeMenus();
    if (button && button->isPopupOpen()) {
        button->SetPopupOpen(false);
        window.invalidate(button->rect);
    }

    int leftClicks = 0;
    for (int k = 0; k < AssignableButtons; ++k)
        leftClicks += leftClickAt(p, k) ? 1 : 0;
    if (leftClicks > 0) {
        window.settingsChanged(DeviceLink::KeysDirty);
        return;
    }
    const ::ButtonFunction left = Catalogue::leftClick();
    p.AssignKey(slot, left.name, left.value);
    caption(left.name);
    window.messages().setTimer(CVireoDlg::KeyWarningTimer, CVireoDlg::KeyWarningMs,
                               MessageTable::Repeat::SingleShot);
}

void ButtonSection::openFireKeyDialog() {
    closeMenus();
    clearMarkIfClosed(dialogButton);
    CFireKeyDlg dialog(&window, [this](Text text) { window.showAttention(LangText::instance().text(text)); });
    window.runModal(dialog);
}

void ButtonSection::openShortcutDialog() {
    closeMenus();
    clearMarkIfClosed(dialogButton);
    CShortcutDlg dialog(&window);
    window.runModal(dialog);
}

void ButtonSection::openMacroDialog() {
    closeMenus();
    clearMarkIfClosed(macroButton);
    CMacroSelectDlg dialog(window.library(), &window,
                           [this](Text text) { window.showAttention(LangText::instance().text(text)); });
    window.runModal(dialog);
}

void ButtonSection::storeSelectedMacro(const MacroItemLocation& chosen) {
    if (!macroButton)
        return;
    const MacroItem* item = window.library().entry(chosen);
    if (item && item->isMacro())
        StoreButtonFunction(macroButton, Catalogue::macro(item->name), item->macro.get());
    else
        StoreButtonFunction(macroButton, Catalogue::macro(std::nullopt));
}

void ButtonSection::refresh() {
    const ProfileRecord& p = window.profile();
    for (int k = 0; k < AssignableButtons; ++k)
        if (auto* combo = control<CComboButton>(MainControl::ButtonFunction + uint32_t(k)))
            combo->SetDisplayText(p.Keys[size_t(k)].Name);
}

void ButtonSection::onFunctionCombo(uintptr_t id, intptr_t code) {
    if (code == CodeHover || code == CodeLeave) {
        if (code == CodeHover)
            markerIndex = id >= MainControl::ButtonFunction && id < MainControl::ButtonFunction + MarkedIds
                              ? int(id - MainControl::ButtonFunction) + 1
                              : 0;
        else
            markerIndex = 0;
        const Rect& picture = MainLayout::MousePicture;
        window.invalidate(scaledRect(picture.left, picture.top, picture.right, picture.bottom));
    }
    if (code == CodeClick && id >= MainControl::ButtonFunction &&
        id < MainControl::ButtonFunction + AssignableButtons)
        OpenFunctionMenu(uint32_t(id));
}

void ButtonSection::drawMarker(QPainter& painter) const {
    if (markerIndex < 1 || markerIndex > 9)
        return;
    QImage marker;
    int w = 0, h = 0;
    if (Skin::LoadSkinImage(QLatin1String(SkinTable::numbered(SkinKind::PictureBadge, markerIndex)), marker,
                            w, h)) {
        const QPoint at = MarkerPositions[size_t(markerIndex - 1)];
        Skin::DrawSkinImage(
            painter, marker,
            {scaled(at.x()), scaled(at.y()), scaled(at.x()) + scaled(w), scaled(at.y()) + scaled(h)});
    }
}

void ButtonSection::OpenMacroManager() {
    closeMenus();
    const QString file = StartupLoader::libraryPath(window.dataFolder());
    window.link().takeMacrosFromLibrary();
    bool saved = true;
    bool unbound = false;
    {
        CMacroManagerDlg::Options options;
        options.runModal = [this](CDlgBase& dialog) { return window.runModal(dialog); };
        options.profiles = [this]() -> ProfileRecords& { return window.store().records(); };
        CMacroManagerDlg manager(window.library(), window.profile(), file, &window, std::move(options));
        window.runModal(manager);
        saved = !manager.saveFailed();
        unbound = manager.buttonsUnbound();
    }
    // Profiles whose buttons lost a deleted macro are kept so at once.
    if (unbound)
        window.link().saveNow();
    // Reading back a file the manager could not write would drop its edits; the library in
    // memory is then the truth until a later save succeeds.
    MacroLibrary& library = window.library();
    if (saved)
        library.incomplete =
            MacroLibraryFile::loadLibrary(file, library) != MacroLibraryFile::LoadStatus::Complete;
    const ProfileRecord& p = window.profile();
    const bool holdsMacro = std::any_of(p.Keys.begin(), p.Keys.end(),
                                        [](const KeySlot& key) { return key.Value.type == KeyValue::Macro; });
    if (holdsMacro) {
        window.link().requestApply(DeviceLink::KeysDirty);
        window.link().timerFired(DeviceLink::ApplyTimer);
    }
    window.RefreshAll();
}
