#include "settings/CAddProfileDlg.h"

#include "settings/LangText.h"

CAddProfileDlg::CAddProfileDlg(int slot, QWidget* parent)
    : CProfileNameDlg(LangText::instance().text(200), QString(), parent), slot(slot) {}
