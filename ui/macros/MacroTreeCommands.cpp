#include "ui/macros/MacroTreeCommands.h"

#include "base/LangText.h"
#include "device/MacroSlots.h"
#include "macros/MacroLibrary.h"
#include "macros/MacroTransfer.h"
#include "settings/ProfileRecord.h"
#include "settings/ProfileRecords.h"
#include "ui/macros/CEditShowList.h"
#include "ui/macros/CMacroKeyOrFolderNameDlg.h"
#include "ui/macros/CMacroKeyRenameDlg.h"
#include "ui/macros/CMacroManagerDlg.h"

#include <QDir>

MacroTreeCommands::MacroTreeCommands(CMacroManagerDlg& owner) : dialog(owner) {}

MacroLibrary& MacroTreeCommands::library() {
    return dialog.library();
}

void MacroTreeCommands::run(int command) {
    switch (command) {
    case Command::NewMacro:
        return create(false);
    case Command::NewFolder:
        return create(true);
    case Command::ExportMacro:
        return exportMacro();
    case Command::ImportMacro:
        return importMacro();
    case Command::Rename:
        return rename();
    case Command::Delete:
        return deleteItem();
    case Command::ImportAll:
        return importAll();
    case Command::ExportAll:
        return exportAll();
    default:
        return;
    }
}

void MacroTreeCommands::selectCurrent() {
    dialog.SelectRow(library().locationToRow(dialog.selectedLocation()));
}

void MacroTreeCommands::showCreated(const MacroItemLocation& previous) {
    if (MacroItem* folder = library().usedEntry(previous); folder && folder->isFolder)
        folder->folderIsOpen = true;
    selectCurrent();
}

void MacroTreeCommands::create(bool folder) {
    using Mode = CMacroKeyOrFolderNameDlg::Mode;
    CMacroKeyOrFolderNameDlg ask(folder ? Mode::FolderMode : Mode::MacroMode, &dialog);
    if (dialog.RunModal(ask) != CDlgBase::IDOK)
        return;
    const QString name = CMacroKeyOrFolderNameDlg::result();
    if (name.isEmpty())
        return dialog.ShowNotice(EmptyNameText);
    const MacroItemLocation previous = dialog.selectedLocation();
    const MacroLibrary::CreateResult created = folder
                                                   ? library().createFolder(name, dialog.selectedLocation())
                                                   : library().createMacro(name, dialog.selectedLocation());
    switch (created) {
    case MacroLibrary::CreateResult::NameExists:
        return dialog.ShowNotice(NameExistsText);
    case MacroLibrary::CreateResult::Created:
        return showCreated(previous);
    default:
        return;
    }
}

void MacroTreeCommands::rename() {
    MacroItem* item = library().usedEntry(dialog.selectedLocation());
    if (!item)
        return;
    CMacroKeyRenameDlg ask(item->name, &dialog);
    if (dialog.RunModal(ask) != CDlgBase::IDOK)
        return;
    const QString name = CMacroKeyRenameDlg::result();
    if (name.isEmpty())
        return dialog.ShowNotice(EmptyNameText);
    if (library().siblingNameClash(name, dialog.selectedLocation()))
        return dialog.ShowNotice(NameExistsText);
    item->name = name;
    if (item->macro)
        item->macro->name = name;
    dialog.invalidateAll();
}

void MacroTreeCommands::deleteItem() {
    const MacroItemLocation selected = dialog.selectedLocation();
    if (!library().usedEntry(selected))
        return dialog.ShowNotice(NothingSelectedText);
    if (!dialog.Confirm(ConfirmDeleteText))
        return;
    // The buttons of the profile in use hold on to their macro; those of other profiles lose it
    // now, and the user is told which profiles they are in.
    for (const KeySlot& key : dialog.profile().Keys)
        if (key.Value.type == KeyValue::Macro &&
            library().containsMacro(uint32_t(key.MacroKeyIndex), selected))
            return dialog.ShowNotice(InUseText);
    std::vector<int> changed;
    if (ProfileRecords* profiles = dialog.profiles())
        changed = MacroSlots::unbind(
            *profiles, [&](uint32_t index) { return library().containsMacro(index, selected); },
            LangText::instance());
    library().deleteItem(selected);
    dialog.selectedLocation() = MacroItemLocation::none();
    dialog.SelectRow(-1);
    if (changed.empty())
        return;
    dialog.noteButtonsUnbound();
    QStringList names;
    for (int slot : changed)
        names << QStringLiteral("\u201C%1\u201D").arg((*dialog.profiles())[slot].GetProfileName());
    dialog.ShowNotice(UnboundText, names.join(QStringLiteral(", ")));
}

namespace {
CMacroManagerDlg::FileRequest request(bool save, Text title, const QString& filter, const QString& name,
                                      const char* suffix) {
    CMacroManagerDlg::FileRequest r;
    r.save = save;
    r.title = LangText::instance().text(title);
    r.filter = filter;
    r.defaultName = name;
    r.defaultSuffix = QLatin1String(suffix);
    r.directory = QDir::currentPath();
    return r;
}
} // namespace

void MacroTreeCommands::exportMacro() {
    const QString name = MacroTransfer::exportMacroFileName(library(), dialog.selectedLocation());
    if (name.isEmpty())
        return;
    const QString path = dialog.ChooseFile(
        request(true, MacroTransfer::ExportMacroTitle, MacroTransfer::macroFileFilter(), name, "mkf"));
    if (!path.isEmpty())
        MacroTransfer::exportMacro(path, library(), dialog.selectedLocation());
}

void MacroTreeCommands::exportAll() {
    const QString path = dialog.ChooseFile(
        request(true, MacroTransfer::ExportAllTitle, MacroTransfer::libraryFileFilter(),
                MacroTransfer::exportAllFileName(library(), dialog.selectedLocation()), "mbf"));
    if (!path.isEmpty())
        MacroTransfer::exportAll(path, library(), dialog.selectedLocation());
}

void MacroTreeCommands::importMacro() {
    const QString path =
        dialog.ChooseFile(request(false, MacroTransfer::ImportMacroTitle, MacroTransfer::macroFileFilter(),
                                  MacroTransfer::importMacroFileName(), "mkf"));
    if (path.isEmpty())
        return;
    MacroLibrary fromFile; // read whole, then merged
    const MacroTransfer::Result result =
        MacroTransfer::importMacro(path, library(), fromFile, dialog.selectedLocation());
    if (const std::optional<Text> text = MacroTransfer::noticeText(result))
        return dialog.ShowNotice(*text);
    selectCurrent();
}

void MacroTreeCommands::importAll() {
    const QString path =
        dialog.ChooseFile(request(false, MacroTransfer::ImportAllTitle, MacroTransfer::libraryFileFilter(),
                                  MacroTransfer::importAllFileName(), "mbf"));
    if (path.isEmpty())
        return;
    MacroLibrary fromFile; // read whole, then merged
    const MacroTransfer::Result result =
        MacroTransfer::importAll(path, library(), fromFile, dialog.selectedLocation());
    if (const std::optional<Text> text = MacroTransfer::noticeText(result))
        return dialog.ShowNotice(*text);
    selectCurrent();
}
