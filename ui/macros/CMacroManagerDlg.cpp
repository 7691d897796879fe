#include "ui/macros/CMacroManagerDlg.h"

#include "base/LangText.h"
#include "macros/MacroActionEdits.h"
#include "macros/MacroLibrary.h"
#include "macros/MacroLibraryFile.h"
#include "toolkit/CAttentionDlg.h"
#include "toolkit/CCheckButton.h"
#include "toolkit/CComboButton.h"
#include "toolkit/CImageButton.h"
#include "toolkit/CRadioButton.h"
#include "toolkit/CStaticText.h"
#include "toolkit/CVScrollBar.h"
#include "toolkit/CWndPopup.h"
#include "toolkit/DialogAccess.h"
#include "toolkit/SkinNames.h"
#include "toolkit/UiScale.h"
#include "ui/macros/CActionKeyModifyDlg.h"
#include "ui/macros/CActionTimeModifyDlg.h"
#include "ui/macros/CComboActionInsertPopup.h"
#include "ui/macros/CEditShowList.h"
#include "ui/macros/CImageShowList.h"
#include "ui/macros/CMacroListPopup.h"
#include "ui/macros/MacroTreeCommands.h"
#include "ui/macros/RowListScroll.h"

#include <QDir>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QSignalBlocker>
#include <QWheelEvent>

namespace {
constexpr ColorRef CaptionColor = 0xB4B4B4;
constexpr ColorRef FrameColor = 0x949494;
constexpr int OutOfSight = 1000;
constexpr int MaxLoopCount = 255;
// The menus' widths in design units: the insert menu is as wide as its button.
constexpr int ContextMenuDesignWidth = 130;
// Ends a recording from the keyboard, where every other key is recorded; never recorded itself.
constexpr uint8_t StopRecordingKey = 0x13; // Pause

bool isEnterOrEscape(const QKeyEvent* key) {
    return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter || key->key() == Qt::Key_Escape;
}

// Leading decimal digits, saturating; no number reads 0.
int leadingNumber(const QString& text) {
    long long value = 0;
    for (QChar c : text) {
        if (c.unicode() < u'0' || c.unicode() > u'9')
            break;
        value = std::min(value * 10 + (c.unicode() - u'0'), 1'000'000LL);
    }
    return int(value);
}

} // namespace

CMacroManagerDlg::CMacroManagerDlg(MacroLibrary& library, const ProfileRecord& profile,
                                   const QString& libraryPath, QWidget* parent, Options options)
    : CDlgBase(SmallDialogTemplate, parent), lib(library), currentProfile(profile), libraryFile(libraryPath),
      opts(std::move(options)), commands(std::make_unique<MacroTreeCommands>(*this)) {
    SetDesignSize(DesignWidth, DesignHeight);
    SetFrameFile(QLatin1String(SkinName::MacroManagerFrame));
    addMessages();
}

CMacroManagerDlg::~CMacroManagerDlg() {
    keyboardHook.StopHook();
}

// ---- Controls -----------------------------------------------------------------------------------

void CMacroManagerDlg::CreateControls(const Rect&) {
    const LangText& texts = LangText::instance();
    auto text = [&](uint32_t id, const Rect& design, Text number,
                    uint32_t format = TextLeft | TextSingleLine | TextVCenter) {
        AddControl(0, std::make_unique<CStaticText>(this, id, scaledRect(design), CaptionColor, format,
                                                    texts.text(number)));
    };
    text(TreeCaption, {24, 35, 124, 52}, Text::MacroList);
    text(ActionCaption, {189, 35, 289, 52}, Text::Actions);
    text(DelaysLabel, {390, 84, 508, 102}, Text::RecordDelays);
    // The repeat choices wrap onto a second line where the panel is too narrow for them.
    const int radioTops[3] = {110, 150, 190};
    text(LoopLabels, {390, radioTops[0] - 1, 508, radioTops[0] + 37}, Text::RepeatWhileHeld,
         TextLeft | TextWordBreak);
    text(LoopLabels + 1, {390, radioTops[1] - 1, 508, radioTops[1] + 37}, Text::RepeatUntilPressedAgain,
         TextLeft | TextWordBreak);
    text(LoopLabels + 2, {390, radioTops[2], 508, radioTops[2] + 17}, Text::RepeatCount);
    text(ToolTitle, {370, 231, 470, 248}, Text::InsertAction);

    AddCloseButton(505);
    recordCheck = AddControl(0, std::make_unique<CCheckButton>(this, Record, scaledRect(370, 53, 460, 71),
                                                               TextCenter, texts.text(Text::Record)));
    recordCheck->SetImages(QLatin1String(SkinName::Record), QLatin1String(SkinName::Record),
                           QLatin1String(SkinName::Recording));
    recordCheck->SetCheckTexts(texts.text(Text::Record), texts.text(Text::StopRecording));
    delaysCheck = AddControl(0, std::make_unique<CCheckButton>(
                                    this, RecordDelays, scaledRect(370, 86, 381, 97), TextCenter, QString()));
    delaysCheck->SetImages(QLatin1String(SkinName::Check), QLatin1String(SkinName::CheckOver),
                           QLatin1String(SkinName::CheckDown));
    delaysCheck->SetChecked(true);
    for (int k = 0; k < 3; ++k) {
        auto* radio =
            AddControl(0, std::make_unique<CRadioButton>(
                              this, LoopOnce + uint32_t(k),
                              scaledRect(368, radioTops[k], 383, radioTops[k] + 15), loopRadios, k));
        radio->SetImages(QLatin1String(SkinName::Radio), QLatin1String(SkinName::RadioOver),
                         QLatin1String(SkinName::RadioDown));
    }
    AddTextButton(NewItem, {24, 333, 89, 356}, texts.text(Text::New));
    AddTextButton(DeleteItem, {104, 333, 169, 356}, texts.text(Text::Delete));
    AddTextButton(EditAction, {189, 333, 254, 356}, texts.text(Text::Edit));
    AddTextButton(DeleteAction, {269, 333, 334, 356}, texts.text(Text::Delete));
    AddTextButton(InertLeft, {367, 333, 432, 356}, texts.text(Text::MacroOk));
    AddTextButton(InertRight, {444, 333, 509, 356}, texts.text(Text::MacroCancel));

    treeList = AddControl(
        0, std::make_unique<CEditShowList>(this, scaledRect(25, 54, 168, 323), &lib, selectedItem));
    treeList->SetIcons(QLatin1String(SkinName::FolderOpen), QLatin1String(SkinName::FolderClosed));
    treeList->accessName = texts.text(Text::MacroList);
    treeBar = AddControl(0, std::make_unique<CVScrollBar>(this, TreeScroll, scaledRect(169, 53, 187, 324)));
    actions = AddControl(0, std::make_unique<CImageShowList>(this, scaledRect(190, 54, 333, 323), nullptr));
    actions->accessName = texts.text(Text::Actions);
    actionBar =
        AddControl(0, std::make_unique<CVScrollBar>(this, ActionScroll, scaledRect(334, 53, 352, 324)));
    for (CVScrollBar* bar : {treeBar, actionBar})
        bar->SetArrowResources(SkinResource::ScrollUpStrip, SkinResource::ScrollDownStrip);
    treeScroll = std::make_unique<RowListScroll>(*this, treeList, treeBar);
    actionScroll = std::make_unique<RowListScroll>(*this, actions, actionBar);
    insertButton =
        AddControl(0, std::make_unique<CComboButton>(this, InsertCombo, scaledRect(370, 250, 487, 264),
                                                     InsertComboNotice, QString(), TextCenter));
    insertButton->SetImages(QLatin1String(SkinName::Combo), QLatin1String(SkinName::ComboOver));
    insertButton->accessName = texts.text(Text::InsertAction);

    loopEditPlace = scaledRect(392, 209, 470, 229);
    loopCountEdit = AddLineEdit({392, 209, 470, 229}, 6);
    loopCountEdit->setObjectName(QStringLiteral("loopEdit"));
    loopCountEdit->setAccessibleName(texts.text(Text::RepeatCount));
    loopCountEdit->setAlignment(Qt::AlignCenter);
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSizeF(10.0 * uiScale() / std::max(0.1, double(dpiScale())));
    loopCountEdit->setFont(font);
    loopCountEdit->setStyleSheet(
        QStringLiteral("QLineEdit { background: #141414; color: #b4b4b4; border: 0; }"));
    connect(loopCountEdit, &QLineEdit::textChanged, this, [this] { onLoopTextChanged(); });
}

void CMacroManagerDlg::OnInitDialog() {
    lib.closeAllFolders();
    selectedItem = MacroItemLocation::none();
    shown = nullptr;
    SyncShownMacro();
    if (loopCountEdit) {
        loopCountEdit->setFocus();
        loopCountEdit->selectAll();
    }
}

void CMacroManagerDlg::paintEvent(QPaintEvent* event) {
    CDlgBase::paintEvent(event);
    if (selectLoopText && loopCountEdit) {
        selectLoopText = false;
        loopCountEdit->selectAll();
    }
}

void CMacroManagerDlg::DrawControls(QPainter& painter, const Rect& clip) {
    CDlgBase::DrawControls(painter, clip);
    painter.setPen(toQColor(FrameColor));
    for (const Rect& design : {Rect{24, 53, 169, 324}, Rect{189, 53, 334, 324}}) {
        const Rect r = scaledRect(design);
        painter.drawRect(QRect(r.left, r.top, r.width() - 1, r.height() - 1));
    }
}

// ---- Messages -----------------------------------------------------------------------------------

void CMacroManagerDlg::addMessages() {
    auto onClick = [this](uint32_t id, std::function<void()> action) {
        messageTable.add(id, [action = std::move(action)](uintptr_t, intptr_t code) -> intptr_t {
            if (code == CodeClick)
                action();
            return 0;
        });
    };
    onClick(CloseButtonId, [this] { done(IDOK); });
    onClick(NewItem, [this] { commands->create(false); });
    onClick(DeleteItem, [this] { commands->deleteItem(); });
    onClick(Record, [this] { onRecordClicked(); });
    onClick(EditAction, [this] { editAction(); });
    onClick(DeleteAction, [this] { deleteAction(); });
    onClick(LoopOnce, [this] { setLoopType(LoopType::Once); });
    onClick(LoopHeld, [this] { setLoopType(LoopType::WhileHeld); });
    onClick(LoopCount, [this] { setLoopType(LoopType::Count); });
    for (uint32_t inert : {uint32_t(InertLeft), uint32_t(InertRight), uint32_t(RecordDelays)})
        messageTable.add(inert, [](uintptr_t, intptr_t) -> intptr_t { return 0; });

    messageTable.add(CEditShowList::ListId, [this](uintptr_t w, intptr_t code) -> intptr_t {
        if (code == CodeClick) {
            treeList->KeepSelectionVisible();
            SyncShownMacro();
        } else if (code == CodeDoubleClick) {
            treeList->KeepSelectionVisible();
            UpdateScrollBars();
            invalidateAll();
        } else if (code == CodeRightClick) {
            SyncShownMacro();
            const QPoint at = w ? *reinterpret_cast<const QPoint*>(w) : QPoint();
            openContextMenu(at);
        }
        return 0;
    });
    messageTable.add(CImageShowList::ListId, [this](uintptr_t, intptr_t code) -> intptr_t {
        if (code == CodeDoubleClick)
            editAction();
        else if (code == CodeClick || code == CodePress)
            UpdateScrollBars(); // a key may have moved the view
        return 0;
    });
    for (uint32_t bar : {uint32_t(TreeScroll), uint32_t(ActionScroll)})
        messageTable.add(bar, [this, bar](uintptr_t part, intptr_t code) -> intptr_t {
            if (RowListScroll* pair = bar == TreeScroll ? treeScroll.get() : actionScroll.get())
                pair->onBar(part, code);
            return 0;
        });

    messageTable.add(CKeyboardHook::KeyMessage, [this](uintptr_t code, intptr_t lParam) -> intptr_t {
        onHookEvent(code, lParam);
        return 0;
    });
    messageTable.add(InsertComboNotice, [this](uintptr_t, intptr_t code) -> intptr_t {
        if (code == CodeClick)
            openInsertMenu();
        return 0;
    });
    messageTable.add(InsertPick, [this](uintptr_t, intptr_t command) -> intptr_t {
        pendingInsert = int(command);
        ClosePopupSlot(InsertPopupSlot);
        postMessage(RunPending);
        return 0;
    });
    messageTable.add(MenuPick, [this](uintptr_t, intptr_t command) -> intptr_t {
        pendingMenu = int(command);
        ClosePopupSlot(MenuPopupSlot);
        postMessage(RunPending);
        return 0;
    });
    for (uint32_t closed : {InsertClosed, MenuClosed})
        messageTable.add(closed, [this, closed](uintptr_t, intptr_t) -> intptr_t {
            const int slot = closed == InsertClosed ? InsertPopupSlot : MenuPopupSlot;
            if (popup(slot))
                ClosePopupSlot(slot);
            if (insertButton && closed == InsertClosed)
                insertButton->SetPopupOpen(false);
            invalidateAll();
            return 0;
        });
    messageTable.add(RunPending, [this](uintptr_t, intptr_t) -> intptr_t {
        runPending();
        return 0;
    });
}

// ---- Selection and scrolling --------------------------------------------------------------------

void CMacroManagerDlg::SyncShownMacro() {
    MacroItem* item = lib.usedEntry(selectedItem);
    MacroKey* now = item && item->isMacro() ? item->macro.get() : nullptr;
    if (now != shown && actions) {
        actions->pressedRow = -1;
        actions->firstVisibleRow = 0;
    }
    shown = now;
    if (actions)
        actions->macro = shown;
    UpdateScrollBars();
    loopRadios.check(RadioGroup::None);
    if (shown) {
        switch (LoopType(shown->MacroKeyLoopType)) {
        case LoopType::Once:
            loopRadios.check(0);
            break;
        case LoopType::WhileHeld:
            loopRadios.check(1);
            break;
        case LoopType::Count:
            loopRadios.check(2);
            break;
        default:
            break;
        }
    }
    showLoopEdit(shown && shown->MacroKeyLoopType == uint8_t(LoopType::Count));
    invalidateAll();
}

void CMacroManagerDlg::SelectRow(int row) {
    if (!treeList)
        return;
    treeList->selectedRow = row >= 0 && row < treeList->rowCount() ? row : -1;
    selectedItem = treeList->selectedRow >= 0 ? lib.rowToLocation(row) : MacroItemLocation::none();
    treeList->KeepSelectionVisible();
    SyncShownMacro();
}

void CMacroManagerDlg::SelectAction(int row) {
    if (!actions)
        return;
    actions->pressedRow = row;
    actions->KeepSelectionVisible();
    UpdateScrollBars();
    invalidate(actions->rect);
}

int CMacroManagerDlg::selectedAction() const {
    if (!actions || !shown || actions->pressedRow < 0 || uint32_t(actions->pressedRow) >= shown->actionCount)
        return -1;
    return actions->pressedRow;
}

void CMacroManagerDlg::UpdateScrollBars() {
    for (RowListScroll* pair : {treeScroll.get(), actionScroll.get()})
        if (pair)
            pair->update();
}

void CMacroManagerDlg::wheelEvent(QWheelEvent* event) {
    const QPoint at = event->position().toPoint();
    const int delta = event->angleDelta().y();
    if (treeScroll && !treeScroll->wheel(at, delta) && actionScroll)
        actionScroll->wheel(at, delta);
    event->accept();
}

// ---- Recording ----------------------------------------------------------------------------------

void CMacroManagerDlg::onRecordClicked() {
    if (!recordCheck)
        return;
    if (recordCheck->isChecked()) {
        if (!shown) {
            recordCheck->SetChecked(false);
            invalidate(recordCheck->rect);
            ShowNotice(Text::SelectMacroFirst);
            return;
        }
        keyboardHook.StartHook(this);
        recording = true;
        heldKeys.reset();
        DialogAccess::announce(this, LangText::instance().text(Text::AccessRecordingStarted));
        recorder.start(*shown);
        actions->pressedRow = -1;
        actions->firstVisibleRow = 0;
        setRecordingLocks(true);
        UpdateScrollBars();
        invalidateAll();
        return;
    }
    stopRecording(false);
}

void CMacroManagerDlg::stopRecording(bool atLimit) {
    keyboardHook.StopHook();
    recording = false;
    setAccessibleDescription(QString()); // the note on how to stop is done with
    setRecordingLocks(false);
    if (recordCheck && recordCheck->isChecked()) {
        recordCheck->SetChecked(false);
        invalidate(recordCheck->rect);
    }
    if (atLimit)
        ShowNotice(Text::MacroFullRecordingStopped);
    saveLibrary();
}

void CMacroManagerDlg::setRecordingLocks(bool on) {
    if (on) {
        for (auto& list : controls)
            for (auto& control : list)
                if (control.get() != recordCheck && control.get() != insertButton && !control->isDisabled()) {
                    control->SetDisabled(true);
                    lockedControls.push_back(control.get());
                }
    } else {
        for (CControlBase* control : lockedControls)
            control->SetDisabled(false);
        lockedControls.clear();
    }
    if (loopCountEdit) {
        loopCountEdit->setEnabled(!on);
        if (on)
            loopCountEdit->clearFocus();
        else
            loopCountEdit->setFocus();
    }
    invalidateAll();
}

void CMacroManagerDlg::onHookEvent(uintptr_t code, intptr_t lParam) {
    if (!recording)
        return;
    const uint8_t key = uint8_t(code);
    const bool release = CKeyboardHook::IsRelease(lParam);
    if (key == StopRecordingKey) {
        if (!release && recordCheck && recordCheck->isChecked())
            stopRecording(false);
        return;
    }
    // A key already down when the recording began (the Space or Enter that pressed Record) ends
    // outside the macro: a release is kept only after its press.
    if (release && !heldKeys.test(key))
        return;
    heldKeys.set(key, !release);
    const bool delays = delaysCheck && delaysCheck->isChecked();
    switch (recorder.record(shown, uint32_t(code), uint32_t(lParam), delays)) {
    case MacroRecorder::Outcome::Ignored:
        return;
    case MacroRecorder::Outcome::LimitReached:
        if (recordCheck && recordCheck->isChecked())
            stopRecording(true);
        return;
    case MacroRecorder::Outcome::Stored:
        break;
    }
    if (actions) {
        const int last = actions->rowCount() - 1;
        const int oldSelection = actions->pressedRow;
        actions->pressedRow = last;
        actions->KeepSelectionVisible();
        actions->pressedRow = oldSelection;
        UpdateScrollBars();
        invalidate(actions->rect);
    }
}

// ---- Editing ------------------------------------------------------------------------------------

bool CMacroManagerDlg::editDelay(uint32_t index) {
    MacroAction copy = shown->get(index);
    CActionTimeModifyDlg dialog(copy, this, [this](Text text) { ShowNotice(text); });
    if (RunModal(dialog) != IDOK)
        return false;
    shown->set(index, copy);
    return true;
}

void CMacroManagerDlg::editAction() {
    const int i = selectedAction();
    if (i < 0)
        return;
    const MacroAction action = shown->get(uint32_t(i));
    if (action.isDelay()) {
        editDelay(uint32_t(i));
    } else if (action.code() < 0xE0 || action.code() > 0xE7) {
        MacroAction copy = action;
        CActionKeyModifyDlg dialog(copy, this);
        if (RunModal(dialog) == IDOK)
            shown->set(uint32_t(i), copy);
    }
    invalidate(actions->rect);
}

void CMacroManagerDlg::deleteAction() {
    const int i = selectedAction();
    if (i < 0)
        return;
    SelectAction(MacroActionEdits::deleteAction(*shown, i));
    UpdateScrollBars();
}

void CMacroManagerDlg::openInsertMenu() {
    if (!insertButton)
        return;
    auto menu = std::make_unique<CComboActionInsertPopup>(LangText::instance());
    const int height = scaled(menu->setup.rowDesignHeight * int(menu->rows.size()));
    const Rect r = insertButton->rect;
    insertButton->SetPopupOpen(true);
    openPopupAt(InsertPopupSlot, std::move(menu), {r.left, r.bottom, r.right, r.bottom + height}, InsertPick,
                InsertCombo);
}

void CMacroManagerDlg::openContextMenu(const QPoint& clientPoint) {
    const MacroItem* item = lib.usedEntry(selectedItem);
    const CMacroListPopup::Selection selection = !item            ? CMacroListPopup::Selection::Nothing
                                                 : item->isFolder ? CMacroListPopup::Selection::Folder
                                                                  : CMacroListPopup::Selection::Macro;
    auto menu = std::make_unique<CMacroListPopup>(LangText::instance(), selection);
    const int height = scaled(menu->setup.rowDesignHeight * int(menu->rows.size()));
    openPopupAt(MenuPopupSlot, std::move(menu),
                {clientPoint.x(), clientPoint.y(), clientPoint.x() + scaled(ContextMenuDesignWidth),
                 clientPoint.y() + height},
                MenuPick, CEditShowList::ListId);
}

void CMacroManagerDlg::openPopupAt(int slot, std::unique_ptr<CWndPopup> created, const Rect& clientRect,
                                   uint32_t pick, uint32_t ownerId) {
    ClosePopupSlot(slot);
    CWndPopup* popupWindow = created.release();
    popupWindow->setAttribute(Qt::WA_DeleteOnClose);
    SetPopup(slot, popupWindow);
    const QPoint topLeft = mapToGlobal(QPoint(clientRect.left, clientRect.top));
    if (!popupWindow->Create(this, QRect(topLeft, QSize(clientRect.width(), clientRect.height())), pick,
                             ownerId)) {
        SetPopup(slot, nullptr);
        delete popupWindow;
    }
}

void CMacroManagerDlg::runPending() {
    const int insert = std::exchange(pendingInsert, -1);
    const int menu = std::exchange(pendingMenu, -1);
    if (insert >= 0)
        runInsert(insert);
    if (menu >= 0)
        commands->run(menu);
}

void CMacroManagerDlg::runInsert(int command) {
    if (!shown) {
        ShowNotice(Text::SelectMacroToInsertInto);
        return;
    }
    const bool hooked = keyboardHook.IsStarted();
    if (hooked)
        keyboardHook.StopHook();
    const uint32_t p = MacroActionEdits::insertPosition(*shown, selectedAction());
    if (command == MacroActionEdits::Delay) {
        bool inserted = false;
        const int target = MacroActionEdits::delayTarget(*shown, p, inserted);
        if (target >= 0) {
            const bool ok = editDelay(uint32_t(target));
            if (inserted && !ok)
                shown->remove(uint32_t(target));
            else if (inserted)
                SelectAction(target);
        }
    } else if (command >= MacroActionEdits::LeftClick && command <= MacroActionEdits::Key) {
        const auto kind = MacroActionEdits::Command(command);
        if (!MacroActionEdits::insertPressRelease(*shown, p, kind)) {
            ShowNotice(Text::MacroHasNoRoom);
        } else if (kind == MacroActionEdits::Key) {
            MacroAction chosen = shown->get(p);
            CActionKeyModifyDlg dialog(chosen, this);
            const bool ok = RunModal(dialog) == IDOK;
            MacroActionEdits::completeKey(*shown, p, ok, chosen);
            if (ok)
                SelectAction(int(p) + 2);
        } else {
            SelectAction(int(p) + 2);
        }
    }
    if (hooked)
        keyboardHook.StartHook(this);
    UpdateScrollBars();
    invalidateAll();
}

// ---- Loop settings ------------------------------------------------------------------------------

void CMacroManagerDlg::setLoopType(LoopType type) {
    if (!shown) {
        loopRadios.check(RadioGroup::None);
        invalidateAll();
        return;
    }
    shown->MacroKeyLoopType = uint8_t(type);
    showLoopEdit(type == LoopType::Count);
    if (type == LoopType::Count && loopCountEdit)
        loopCountEdit->selectAll();
}

void CMacroManagerDlg::showLoopEdit(bool on) {
    if (!loopCountEdit)
        return;
    const QRect place = loopEditPlace.toQRect();
    loopCountEdit->setGeometry(on ? place : place.translated(scaled(OutOfSight), 0));
    const QSignalBlocker quiet(loopCountEdit);
    loopCountEdit->setText(on && shown ? QString::number(shown->MacroKeyLoopNum) : QString());
}

void CMacroManagerDlg::onLoopTextChanged() {
    if (!shown || shown->MacroKeyLoopType != uint8_t(LoopType::Count) || !loopCountEdit)
        return;
    int value = leadingNumber(loopCountEdit->text());
    QString replacement;
    if (value > MaxLoopCount) {
        value = MaxLoopCount;
        replacement = QString::number(MaxLoopCount);
    } else if (value == 0) {
        value = 1;
        replacement = QStringLiteral("1");
    }
    if (!replacement.isEmpty()) {
        const QSignalBlocker quiet(loopCountEdit);
        loopCountEdit->setText(replacement);
        loopCountEdit->setCursorPosition(int(replacement.size()));
    }
    shown->MacroKeyLoopNum = uint8_t(value);
}

// ---- Keyboard -----------------------------------------------------------------------------------

bool CMacroManagerDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == loopCountEdit && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (isEnterOrEscape(key))
            return true;
        const QString typed = key->text();
        if (shown && shown->MacroKeyLoopType == uint8_t(LoopType::Count) && !typed.isEmpty() &&
            typed[0].isPrint() && !(typed[0].unicode() >= u'0' && typed[0].unicode() <= u'9'))
            ShowNotice(Text::DigitsOnly);
    }
    return CDlgBase::eventFilter(watched, event);
}

void CMacroManagerDlg::keyPressEvent(QKeyEvent* event) {
    if (isEnterOrEscape(event)) {
        event->accept();
        return;
    }
    if (focusMarkShown() && onListKey(event->key(), event->modifiers())) {
        event->accept();
        return;
    }
    CDlgBase::keyPressEvent(event);
}

bool CMacroManagerDlg::onListKey(int key, Qt::KeyboardModifiers modifiers) {
    CControlBase* focused = FocusControl();
    if (!focused || focused->isDisabled() || !focused->isActive())
        return false;
    const bool menuKey = key == Qt::Key_Menu || (key == Qt::Key_F10 && modifiers == Qt::ShiftModifier);
    if (focused == treeList) {
        if (key == Qt::Key_F2 && lib.usedEntry(selectedItem))
            commands->rename();
        else if (key == Qt::Key_Delete)
            commands->deleteItem();
        else if (menuKey)
            // Where a right click on the chosen row would have opened it.
            openContextMenu(treeList->rowRect(treeList->selectedRow).isEmpty()
                                ? QPoint(treeList->rect.left, treeList->rect.top)
                                : treeList->rowRect(treeList->selectedRow).toQRect().bottomLeft());
        else
            return false;
        return true;
    }
    if (focused == actions && key == Qt::Key_Delete) {
        deleteAction();
        return true;
    }
    return false;
}

// ---- Ending, notices, files ---------------------------------------------------------------------

bool CMacroManagerDlg::saveLibrary() {
    lastSaveFailed =
        !MacroLibraryFile::saveLibrary(libraryFile, lib, MacroLibraryFile::libraryFileLocation());
    return !lastSaveFailed;
}

void CMacroManagerDlg::closeSteps() {
    if (closed)
        return;
    closed = true;
    if (recording) {
        keyboardHook.StopHook();
        recording = false;
    }
    for (int slot : {InsertPopupSlot, MenuPopupSlot})
        if (popup(slot))
            ClosePopupSlot(slot);
    selectedItem = MacroItemLocation::none();
    saveLibrary();
}

void CMacroManagerDlg::done(int result) {
    // Every way out saves: the close button, and the window manager's close.
    closeSteps();
    CDlgBase::done(result);
}

int CMacroManagerDlg::RunModal(CDlgBase& dialog) {
    return opts.runModal ? opts.runModal(dialog) : dialog.DoModal();
}

void CMacroManagerDlg::ShowNotice(Text text) {
    const LangText& texts = LangText::instance();
    CAttentionDlg dialog(texts.text(Text::Notice), texts.text(text), this);
    dialog.setProperty("languageText", int(text));
    RunModal(dialog);
}

void CMacroManagerDlg::ShowNotice(Text text, const QString& argument) {
    const LangText& texts = LangText::instance();
    CAttentionDlg dialog(texts.text(Text::Notice), texts.text(text).arg(argument), this);
    dialog.setProperty("languageText", int(text));
    RunModal(dialog);
}

bool CMacroManagerDlg::Confirm(Text text) {
    const LangText& texts = LangText::instance();
    CAttentionDlg dialog(texts.text(Text::Notice), texts.text(text), this);
    dialog.setProperty("languageText", int(text));
    return RunModal(dialog) == IDOK;
}

QString CMacroManagerDlg::ChooseFile(const FileRequest& request) {
    if (opts.chooseFile)
        return opts.chooseFile(request);
    QFileDialog dialog(this, request.title, request.directory, request.filter);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(request.defaultSuffix);
    dialog.selectFile(request.defaultName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().first();
}
