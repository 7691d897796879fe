#include "ui/profiles/CAddProfileDlg.h"

#include "base/LangText.h"

CAddProfileDlg::CAddProfileDlg(int slot, QWidget* parent)
    : CProfileNameDlg(LangText::instance().text(Text::New), QString(), parent), slot(slot) {}
