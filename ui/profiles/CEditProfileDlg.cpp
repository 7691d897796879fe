#include "ui/profiles/CEditProfileDlg.h"

#include "base/LangText.h"

CEditProfileDlg::CEditProfileDlg(int slot, const QString& currentName, QWidget* parent)
    : CProfileNameDlg(LangText::instance().text(Text::ProfileRename), currentName, parent), slot(slot) {}
