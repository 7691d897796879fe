#pragma once

#include "macros/MacroItemLocation.h"
#include "macros/MacroKey.h"
#include "macros/MacroRecorder.h"
#include "toolkit/CDlgBase.h"
#include "toolkit/RadioGroup.h"
#include "ui/buttons/CKeyboardHook.h"

#include <bitset>
#include <functional>

class CCheckButton;
class CComboButton;
class CEditShowList;
class CImageShowList;
class CVScrollBar;
class RowListScroll;
class MacroLibrary;
class MacroTreeCommands;
class MacroKey;
class ProfileRecord;
class ProfileRecords;

// The macro manager: the library tree with its context menu, the actions of the selected macro,
// the recorder, the loop setting and the insert menu. It works on the library in place and
// writes the library file when a recording stops and when it closes. Enter and Esc never close
// it. Template 152, 528 × 365 design units.
//
// From the keyboard: the tree takes F2 (rename), Delete and the menu key or Shift+F10 (its
// context menu), the action list Delete. While recording every key goes into the macro, Tab and
// Enter too, except Pause, which ends the recording as the record button does.
class CMacroManagerDlg : public CDlgBase {
    Q_OBJECT

public:
    static constexpr int DesignWidth = 528;
    static constexpr int DesignHeight = 365;

    enum Id : uint32_t {
        TreeCaption = 2025,
        ActionCaption = 2026,
        DelaysLabel = 2027,
        LoopLabels = 2028, // 2028..2030
        ToolTitle = 2026,
        RecordDelays = 2017,
        Record = 2018,
        NewItem = 2012,
        DeleteItem = 2013,
        EditAction = 2023,
        DeleteAction = 2024,
        InertLeft = 2010,
        InertRight = 2011,
        TreeScroll = 2021,
        ActionScroll = 2022,
        LoopOnce = 2031,  // LoopType::Once
        LoopHeld = 2032,  // LoopType::WhileHeld
        LoopCount = 2033, // LoopType::Count
        LoopEdit = 2034,
        InsertCombo = 2035,
    };
    static constexpr uint32_t InsertComboNotice = WM_USER + 142;
    static constexpr uint32_t InsertPick = WM_USER + 143;
    static constexpr uint32_t InsertClosed = WM_USER + 144;
    static constexpr uint32_t MenuPick = WM_USER + 145;
    static constexpr uint32_t MenuClosed = WM_USER + 146;
    // Runs a picked popup command once the popup has gone.
    static constexpr uint32_t RunPending = WM_USER + 147;
    static constexpr int InsertPopupSlot = 0;
    static constexpr int MenuPopupSlot = 1;

    // What a file dialog is asked for; the chooser returns the path, empty for cancel.
    struct FileRequest {
        bool save = false;
        QString title;
        QString filter;
        QString defaultName;
        QString defaultSuffix;
        QString directory;
    };
    struct Options {
        // Runs the small dialogs and notices; null: DoModal.
        std::function<int(CDlgBase&)> runModal;
        // Null: a file dialog of the toolkit.
        std::function<QString(const FileRequest&)> chooseFile;
        // Every profile, whose buttons lose a macro the user deletes; null: none but the current
        // one is looked at.
        std::function<ProfileRecords&()> profiles;
    };

    CMacroManagerDlg(MacroLibrary& library, const ProfileRecord& profile, const QString& libraryPath,
                     QWidget* parent = nullptr, Options options = {});
    ~CMacroManagerDlg() override;

    MacroLibrary& library() { return lib; }
    const ProfileRecord& profile() const { return currentProfile; }
    ProfileRecords* profiles() const { return opts.profiles ? &opts.profiles() : nullptr; }
    // A deletion took macros off buttons of other profiles, which are to be saved.
    bool buttonsUnbound() const { return unbound; }
    void noteButtonsUnbound() { unbound = true; }
    CKeyboardHook& hook() { return keyboardHook; }
    MacroKey* shownMacro() const { return shown; }
    bool isRecording() const { return recording; }
    // The last write of the library file failed: the file does not hold what the manager shows.
    bool saveFailed() const { return lastSaveFailed; }
    CEditShowList* tree() const { return treeList; }
    // The library item selected in the tree; what the tree commands act on.
    MacroItemLocation& selectedLocation() { return selectedItem; }
    CImageShowList* actionList() const { return actions; }
    QLineEdit* loopEdit() const { return loopCountEdit; }
    CCheckButton* recordButton() const { return recordCheck; }
    CCheckButton* delaysBox() const { return delaysCheck; }
    CComboButton* insertCombo() const { return insertButton; }

    void SyncShownMacro();
    // Selects a tree row (-1 for nothing), as a click does, and shows its macro.
    void SelectRow(int row);
    // Keeps the list's selection in view and the scroll bars in step.
    void UpdateScrollBars();
    void SelectAction(int row);
    int selectedAction() const;

    // The modal runner and the notices, also for the tree commands.
    int RunModal(CDlgBase& dialog);
    void ShowNotice(Text text);
    // A language text with its %1 filled in.
    void ShowNotice(Text text, const QString& argument);
    bool Confirm(Text text);
    QString ChooseFile(const FileRequest& request);

    void CreateControls(const Rect& client) override;
    void OnInitDialog() override;
    void done(int result) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void DrawControls(QPainter& painter, const Rect& clip) override;

private:
    void addMessages();
    void onRecordClicked();
    void onHookEvent(uintptr_t code, intptr_t lParam);
    // F2, Delete and the menu key on the focused list; true when one acted.
    bool onListKey(int key, Qt::KeyboardModifiers modifiers);
    void stopRecording(bool atLimit);
    void setRecordingLocks(bool on);
    void editAction();
    void deleteAction();
    void openInsertMenu();
    void openContextMenu(const QPoint& clientPoint);
    void runPending();
    void runInsert(int command);
    bool editDelay(uint32_t index);
    void setLoopType(LoopType type);
    void showLoopEdit(bool on);
    void onLoopTextChanged();
    void openPopupAt(int slot, std::unique_ptr<CWndPopup> popupWindow, const Rect& clientRect, uint32_t pick,
                     uint32_t ownerId);
    void closeSteps();
    bool saveLibrary();

    MacroLibrary& lib;
    const ProfileRecord& currentProfile;
    QString libraryFile;
    Options opts;
    CKeyboardHook keyboardHook;
    MacroRecorder recorder;
    std::unique_ptr<MacroTreeCommands> commands;
    MacroKey* shown = nullptr;
    bool recording = false;
    std::bitset<256> heldKeys; // pressed since the recording began and not yet released
    bool closed = false;
    bool lastSaveFailed = false;
    bool unbound = false;
    bool selectLoopText = true;
    int pendingInsert = -1;
    int pendingMenu = -1;
    CEditShowList* treeList = nullptr;
    CImageShowList* actions = nullptr;
    CVScrollBar* treeBar = nullptr;
    CVScrollBar* actionBar = nullptr;
    std::unique_ptr<RowListScroll> treeScroll, actionScroll;
    CCheckButton* recordCheck = nullptr;
    CCheckButton* delaysCheck = nullptr;
    CComboButton* insertButton = nullptr;
    QLineEdit* loopCountEdit = nullptr;
    Rect loopEditPlace;
    MacroItemLocation selectedItem = MacroItemLocation::none();
    RadioGroup loopRadios;                     // once, while held, a count: LoopOnce + index
    std::vector<CControlBase*> lockedControls; // disabled while recording
};
