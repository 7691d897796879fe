#pragma once

#include "settings/ProfileSlots.h"
#include "ui/shell/MainSection.h"

#include <QString>

// The profiles: the list that opens from the bottom row's button, its context menu and the
// actions they lead to (import, export, rename, delete, add), and the hidden profile controls
// that still follow the current profile and the profile list.
class ProfileSection : public MainSection {
public:
    using MainSection::MainSection;

    // The actions of the profile menus, run by the window's profile action timer.
    enum Action {
        ImportAction,
        ExportAction,
        EditAction,
        DeleteAction,
        AddAction,
        ListFullAction,
        LinksAction
    };

    void addMessages(MessageTable& messages);
    // Which profiles are shown, and their names.
    void refresh();
    void selectProfile(int slot);
    // Runs the action from the timer, once the menu that chose it has gone.
    void queueAction(int action, int slot);

    // The pending action (-1 for none) and its slot.
    int action = -1;
    int actionSlot = 0;

    // The bottom row's line that tells which profile is on the mouse and why.
    void showProfileOnMouse();
    // After a profile was replaced, renamed or deleted or its links changed.
    void profilesChanged();

private:
    void runAction();
    // True for Ok; anything else shows its notice, when it has one.
    bool succeeded(ProfileSlots::Result result);
    QString pickFile(bool save);
    bool editName(int slot);
    bool addProfile();
    void editLinks(int slot);
    void onList();
    void onPicked(intptr_t pick);
};
