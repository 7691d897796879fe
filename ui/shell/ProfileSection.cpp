#include "ui/shell/ProfileSection.h"

#include "base/LangText.h"
#include "toolkit/CComboButton.h"
#include "toolkit/CStaticText.h"
#include "toolkit/CTabControl.h"
#include "toolkit/UiScale.h"
#include "ui/profiles/CAddProfileDlg.h"
#include "ui/profiles/CComboProfilePopup.h"
#include "ui/profiles/CEditProfileDlg.h"
#include "ui/profiles/CProfileRKeyPopup.h"
#include "ui/profiles/CProgramLinksDlg.h"
#include "ui/shell/MainControls.h"

#include <QDir>
#include <QFileDialog>
#include <algorithm>

using namespace MainControl;

static_assert(int(ProfileSection::LinksAction) == int(CProfileRKeyPopup::Links));

namespace {
const QString& text(Text id) {
    return LangText::instance().text(id);
}
} // namespace

void ProfileSection::addMessages(MessageTable& messages) {
    messages.add(ProfileListButton, onClick([this] { onList(); }));
    messages.add(ProfileComboNotice, onClick([this] { onList(); }));
    messages.add(CComboProfilePopup::SelectionMessage, [this](uintptr_t, intptr_t pick) -> intptr_t {
        onPicked(pick);
        return 0;
    });
    messages.add(CComboProfilePopup::CloseMessage, [this](uintptr_t, intptr_t) -> intptr_t {
        // The context menu takes the focus from the list it was opened from; the list stays.
        if (!window.popup(CVireoDlg::ContextPopupSlot))
            window.ClosePopupSlot(CVireoDlg::ProfilePopupSlot);
        return 0;
    });
    messages.add(CProfileRKeyPopup::SelectionMessage, [this](uintptr_t, intptr_t choice) -> intptr_t {
        window.ClosePopupSlot(CVireoDlg::ContextPopupSlot);
        window.ClosePopupSlot(CVireoDlg::ProfilePopupSlot);
        queueAction(CProfileRKeyPopup::actionOf(choice), CProfileRKeyPopup::slotOf(choice));
        return 0;
    });
    messages.add(CProfileRKeyPopup::CloseMessage, [this](uintptr_t, intptr_t) -> intptr_t {
        window.ClosePopupSlot(CVireoDlg::ContextPopupSlot);
        window.ClosePopupSlot(CVireoDlg::ProfilePopupSlot);
        return 0;
    });
    messages.addTimer(CVireoDlg::ProfileActionTimer, [this] { runAction(); });
}

void ProfileSection::refresh() {
    SettingsStore& store = window.store();
    const AppSettings& app = store.settings();
    const ProfileRecord& p = window.profile();

    const int count = app.profileShowCount();
    const AppSettings::ShowOrder order = app.showOrder();
    for (int i = 0; i < AppSettings::SlotCount; ++i)
        if (CControlBase* tab = window.FindControl(ProfileTab + uint32_t(order[size_t(i)])))
            tab->SetVisible(i < count);

    const int current = window.link().currentSlot(); // the profile on the mouse, which the window edits
    if (auto* combo = control<CComboButton>(ProfileCombo))
        combo->SetDisplayText(p.GetProfileName());
    for (int slot = 0; slot < AppSettings::SlotCount; ++slot)
        if (auto* tab = control<CTabControl>(ProfileTab + uint32_t(slot)))
            tab->SetCaption(store.records()[slot].GetProfileName());
    window.radios().profileTabs.check(current);
    showProfileOnMouse();
}

void ProfileSection::showProfileOnMouse() {
    if (auto* line = control<CStaticText>(ProfileOnMouseText))
        line->SetText(window.profileOnMouseLine());
}

void ProfileSection::selectProfile(int slot) {
    ProfileSlots profileSlots(window.store());
    if (profileSlots.SelectProfile(slot) != ProfileSlots::Result::Ok)
        return;
    window.link().setSlotOnMouse(std::nullopt); // the user's choice ends a program's profile
    window.RefreshAll();
    window.settingsChanged(DeviceLink::KeysDirty | DeviceLink::SettingsDirty);
}

void ProfileSection::queueAction(int newAction, int slot) {
    action = newAction;
    actionSlot = slot;
    window.messages().setTimer(CVireoDlg::ProfileActionTimer, 100, MessageTable::Repeat::SingleShot);
}

bool ProfileSection::succeeded(ProfileSlots::Result result) {
    if (result == ProfileSlots::Result::Ok)
        return true;
    if (const std::optional<Text> message = ProfileSlots::attentionText(result))
        window.showAttention(text(*message), ProfileSlots::attentionTitle(result));
    return false;
}

void ProfileSection::runAction() {
    window.messages().killTimer(CVireoDlg::ProfileActionTimer);
    const int pending = action;
    const int slot = actionSlot;
    action = -1;
    ProfileSlots profileSlots(window.store());
    switch (pending) {
    case ImportAction: {
        const QString path = pickFile(false);
        if (path.isEmpty())
            break;
        QString problem;
        const ProfileSlots::Result result = profileSlots.ImportProfile(slot, path, &problem);
        if (result == ProfileSlots::Result::FileError)
            // A file that does not load must not fail in silence: the user learns which and where.
            window.showAttention(text(Text::ProfileNotImported).arg(QDir::toNativeSeparators(path), problem));
        else if (succeeded(result))
            profilesChanged();
        break;
    }
    case ExportAction: {
        const QString path = pickFile(true);
        if (!path.isEmpty())
            profileSlots.ExportProfile(slot, path);
        break;
    }
    case EditAction:
        if (editName(slot))
            profilesChanged();
        break;
    case DeleteAction:
        if (succeeded(profileSlots.DeleteProfile(slot)))
            profilesChanged();
        break;
    case AddAction:
        if (profileSlots.CanAddProfile() == ProfileSlots::Result::Ok && addProfile())
            window.RefreshAll();
        break;
    case ListFullAction:
        succeeded(ProfileSlots::Result::ListFull);
        break;
    case LinksAction:
        editLinks(slot);
        break;
    default:
        break;
    }
}

void ProfileSection::profilesChanged() {
    // A program's profile on the mouse that was deleted or lost its links gives way first, so the
    // window shows the profile that is on the mouse.
    window.automatic().profilesChanged();
    window.RefreshAll();
}

QString ProfileSection::pickFile(bool save) {
    if (window.options().pickFile)
        return window.options().pickFile(save);
    const QString filter = QStringLiteral("psf file(*.psf)");
    if (save) {
        QFileDialog dialog(&window, text(Text::ExportProfileTitle), QDir::currentPath(), filter);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(QStringLiteral("psf"));
        dialog.selectFile(QStringLiteral(".psf"));
        return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()
                   ? dialog.selectedFiles().first()
                   : QString();
    }
    return QFileDialog::getOpenFileName(&window, text(Text::ImportProfileTitle), QDir::currentPath(), filter);
}

bool ProfileSection::editName(int slot) {
    ProfileSlots profileSlots(window.store());
    CEditProfileDlg dialog(slot, profileSlots.profileName(slot), &window);
    dialog.showAttention = [this](const QString& heading, const QString& message) {
        window.showAttention(message, heading);
    };
    if (window.runModal(dialog) != CDlgBase::IDOK)
        return false;
    return succeeded(profileSlots.EditProfile(slot, dialog.name()));
}

bool ProfileSection::addProfile() {
    ProfileSlots profileSlots(window.store());
    if (!succeeded(profileSlots.CanAddProfile()))
        return false;
    CAddProfileDlg dialog(profileSlots.freeSlot(), &window);
    dialog.showAttention = [this](const QString& heading, const QString& message) {
        window.showAttention(message, heading);
    };
    if (window.runModal(dialog) != CDlgBase::IDOK)
        return false;
    return succeeded(profileSlots.AddProfile(dialog.name()));
}

void ProfileSection::editLinks(int slot) {
    const std::vector<int> visible = ProfileSlots(window.store()).visibleSlots();
    const auto at = std::find(visible.begin(), visible.end(), slot);
    if (at == visible.end())
        return;
    CProgramLinksDlg dialog(window.store(), int(at - visible.begin()) + 1, window.focusSource(), &window);
    dialog.changed = [this] { profilesChanged(); };
    dialog.showNotice = [this](const QString& message) { window.showAttention(message); };
    window.runModal(dialog);
}

void ProfileSection::onList() {
    CControlBase* button = window.FindControl(ProfileListButton);
    if (!button)
        return;
    const int height = scaled(CComboProfilePopup::TotalRows * CComboProfilePopup::RowDesignHeight);
    const Rect r = button->rect;
    window.openPopup(
        CVireoDlg::ProfilePopupSlot,
        std::make_unique<CComboProfilePopup>(window.store().settings(), window.store().records()),
        {r.left, r.top - height, r.left + scaled(160), r.top}, CComboProfilePopup::SelectionMessage,
        ProfileListButton);
}

void ProfileSection::onPicked(intptr_t pick) {
    const int slot = CComboProfilePopup::slotOf(pick);
    switch (CComboProfilePopup::pickOf(pick)) {
    case CComboProfilePopup::PickSelect:
        window.ClosePopupSlot(CVireoDlg::ProfilePopupSlot);
        selectProfile(slot);
        break;
    case CComboProfilePopup::PickContextMenu: {
        auto* list = dynamic_cast<CComboProfilePopup*>(window.popup(CVireoDlg::ProfilePopupSlot));
        const QSize size(scaled(120),
                         scaled(CProfileRKeyPopup::ActionRows * CProfileRKeyPopup::RowDesignHeight));
        const QRect screen = list ? list->contextMenuRect(slot, size) : QRect();
        if (screen.isEmpty())
            break;
        const QPoint client = window.mapFromGlobal(screen.topLeft());
        window.openPopup(CVireoDlg::ContextPopupSlot, CProfileRKeyPopup::create(slot),
                         {client.x(), client.y(), client.x() + size.width(), client.y() + size.height()},
                         CProfileRKeyPopup::SelectionMessage, ProfileListButton);
        break;
    }
    case CComboProfilePopup::PickAdd:
        window.ClosePopupSlot(CVireoDlg::ProfilePopupSlot);
        queueAction(AddAction, slot);
        break;
    case CComboProfilePopup::PickListFull:
        window.ClosePopupSlot(CVireoDlg::ProfilePopupSlot);
        queueAction(ListFullAction, 0);
        break;
    }
}
