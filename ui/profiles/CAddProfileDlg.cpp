#include "ui/profiles/CAddProfileDlg.h"

#include "base/LangText.h"

CAddProfileDlg::CAddProfileDlg(int slot, QWidget* parent)
    : CProfileNameDlg(LangText::instance().text(200), QString(), parent), slot(slot) {}
