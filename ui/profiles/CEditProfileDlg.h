#pragma once

#include "ui/profiles/CProfileNameDlg.h"

// A new name for an existing profile: heading "Rename" (language text 92), the slot's current name
// in the edit box. Only the name changes.
// Use: CEditProfileDlg dlg(slot, slots.profileName(slot), window);
//      if (dlg.DoModal() == CDlgBase::IDOK) slots.EditProfile(slot, dlg.name());
class CEditProfileDlg : public CProfileNameDlg {
    Q_OBJECT

public:
    CEditProfileDlg(int slot, const QString& currentName, QWidget* parent = nullptr);

    int slot;
};
