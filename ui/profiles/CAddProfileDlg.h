#pragma once

#include "ui/profiles/CProfileNameDlg.h"

// The name of a new profile, for the free slot the add will take (ProfileSlots::freeSlot). Heading
// "New" (language text 200), empty edit box.
// Use: CAddProfileDlg dlg(slots.freeSlot(), window);
//      if (dlg.DoModal() == CDlgBase::IDOK) slots.AddProfile(dlg.name());
class CAddProfileDlg : public CProfileNameDlg {
    Q_OBJECT

public:
    explicit CAddProfileDlg(int slot, QWidget* parent = nullptr);

    int slot;
};
