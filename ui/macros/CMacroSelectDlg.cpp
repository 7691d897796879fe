#include "ui/macros/CMacroSelectDlg.h"

#include "base/LangText.h"
#include "macros/MacroLibrary.h"
#include "toolkit/CAttentionDlg.h"
#include "toolkit/CStaticText.h"
#include "toolkit/CVScrollBar.h"
#include "toolkit/SkinNames.h"
#include "toolkit/UiScale.h"
#include "ui/macros/CEditShowList.h"
#include "ui/macros/RowListScroll.h"

#include <QKeyEvent>
#include <QWheelEvent>
#include <algorithm>

CMacroSelectDlg::CMacroSelectDlg(MacroLibrary& library, QWidget* parent, std::function<void(Text)> showText)
    : CDlgBase(SmallDialogTemplate, parent), library(library), notice(std::move(showText)) {
    SetDesignSize(DesignWidth, DesignHeight);
    SetFrameFile(QLatin1String(SkinName::ListDialogFrame));
    messageTable.add(CEditShowList::ListId, [this](uintptr_t, intptr_t code) -> intptr_t {
        onTree(code);
        return 0;
    });
    messageTable.add(ScrollBarId, [this](uintptr_t part, intptr_t code) -> intptr_t {
        if (scroll)
            scroll->onBar(part, code);
        return 0;
    });
}

CMacroSelectDlg::~CMacroSelectDlg() = default;

void CMacroSelectDlg::CreateControls(const Rect&) {
    library.closeAllFolders();
    selectedItem = MacroItemLocation::none();
    const LangText& texts = LangText::instance();
    AddControl(0, std::make_unique<CStaticText>(this, CaptionId, scaledRect(24, 35, 124, 52), 0xB4B4B4,
                                                TextLeft | TextSingleLine | TextVCenter,
                                                texts.text(Text::MacroList)));
    AddCloseButton(505);
    treeList = AddControl(
        0, std::make_unique<CEditShowList>(this, scaledRect(25, 54, 488, 323), &library, selectedItem));
    treeList->SetIcons(QLatin1String(SkinName::FolderOpen), QLatin1String(SkinName::FolderClosed));
    treeList->accessName = texts.text(Text::MacroList);
    bar = AddControl(0, std::make_unique<CVScrollBar>(this, ScrollBarId, scaledRect(488, 54, 507, 323)));
    AddOkButton({232, 333, 297, 356});
    scroll = std::make_unique<RowListScroll>(*this, treeList, bar);
    updateScrollBar();
}

void CMacroSelectDlg::OnInitDialog() {
    updateScrollBar();
}

void CMacroSelectDlg::updateScrollBar() {
    if (scroll)
        scroll->update();
}

void CMacroSelectDlg::ScrollRows(int delta) {
    if (scroll)
        scroll->scrollBy(delta);
}

void CMacroSelectDlg::onTree(intptr_t code) {
    if (!treeList)
        return;
    switch (code) {
    case CodeClick:
    case CodeRightClick:
        // A folder whose icon was pressed may have opened; the selection's row stays the same.
        treeList->KeepSelectionVisible();
        updateScrollBar();
        break;
    case CodePress:
    case CodeDoubleClick:
        updateScrollBar();
        break;
    default:
        break;
    }
}

void CMacroSelectDlg::showNotice(Text text) {
    ShowLanguageNotice(text, notice);
}

void CMacroSelectDlg::OnOK() {
    const MacroItem* item = library.entry(selectedItem);
    if (!item || !item->isMacro()) {
        showNotice(Text::SelectMacroFirst);
        return;
    }
    if (auto* target = dynamic_cast<MessageWindow*>(parentWidget()))
        target->sendMessage(ResultMessage, OkButtonId, reinterpret_cast<intptr_t>(&selectedItem));
    Finish(IDOK);
}

void CMacroSelectDlg::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter || event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    CDlgBase::keyPressEvent(event);
}

void CMacroSelectDlg::wheelEvent(QWheelEvent* event) {
    const int steps = event->angleDelta().y() / 120;
    if (steps != 0)
        ScrollRows(-steps * 3);
    event->accept();
}
