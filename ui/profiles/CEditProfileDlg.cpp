#include "ui/profiles/CEditProfileDlg.h"

#include "base/LangText.h"

CEditProfileDlg::CEditProfileDlg(int slot, const QString& currentName, QWidget* parent)
    : CProfileNameDlg(LangText::instance().text(92), currentName, parent), slot(slot) {}
