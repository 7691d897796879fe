#pragma once

#include "base/LangText.h"
#include "settings/AppSettings.h"
#include "settings/SettingsStore.h"

#include <QString>
#include <optional>
#include <vector>

// The visible profile list and what the profile commands do to it. `ShowOrder` holds the five
// slots: the first ProfileShowCount are the visible profiles in display order, the rest the free
// slots in the order an add takes them. The current profile is always a visible one.
//
// Operations that change the list, a name or a profile save config.ini and all five profile files;
// selecting only changes memory. The results name the notice the window shows when an operation
// is refused.
class ProfileSlots {
public:
    enum class Result {
        Ok,
        ListFull,        // five profiles visible: notice 150 / 145
        EmptyName,       // notice "警告!" / 147; the name dialog stays open
        DeletingCurrent, // notice 150 / 152
        NotVisible,      // the slot is not in the visible list
        BadSlot,         // not a slot 0..4
        FileError,       // import or export failed (not reported to the user)
    };

    explicit ProfileSlots(SettingsStore& store, const LangText& texts = LangText::instance());

    AppSettings::ShowOrder ShowOrder() const;
    int visibleCount() const;
    std::vector<int> visibleSlots() const;
    bool isVisible(int slot) const;
    int currentSlot() const;
    // The slot the next add takes, or -1 when the list is full.
    int freeSlot() const;
    QString profileName(int slot) const;

    // Makes a visible slot current (memory only; the window refreshes and uploads).
    Result SelectProfile(int slot);
    // ListFull when no slot is free; the window checks this before it opens the add dialog.
    Result CanAddProfile() const;
    // The free slot gets factory values and the name, and joins the visible list at its end.
    Result AddProfile(const QString& name);
    Result EditProfile(int slot, const QString& name);
    // The slot leaves the visible list and goes to the end of the free slots, so the slots that
    // were free already are taken first. Its record and file stay as they are.
    Result DeleteProfile(int slot);
    Result ExportProfile(int slot, const QString& path);
    // Loads a profile file into the slot; a file that does not load changes nothing, and
    // *problem (when given) says why.
    Result ImportProfile(int slot, const QString& path, QString* problem = nullptr);

    // A typed name as stored: line breaks become spaces (a profile file holds one setting a line).
    // Empty when nothing but blanks was typed.
    static QString cleanName(const QString& typed);
    // The notice for a refused operation: title and message texts (none for some results). The
    // empty-name notice has a fixed title, given by attentionTitle.
    static std::optional<Text> attentionText(Result result);
    static QString attentionTitle(Result result, const LangText& texts = LangText::instance());

private:
    void saveAll();

    SettingsStore& store;
    const LangText& texts;
};
