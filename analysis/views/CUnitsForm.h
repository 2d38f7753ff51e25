// The rules of the unit-system dialog: one radio group, "SI (cm,KPa)"
// (index 0) and "USCS (in,lbf)" (index 1). The dialog only returns the
// choice: whoever opened it decides what the choice changes.
#pragma once

#include "analysis/model/Units.h"
#include "platform/core/DataExchange.h"

class CUnitsForm {
public:
    // Its template is named ("Units"), not numbered: IDD is 0.
  enum { IDD = 0, IDC_SI = 397, IDC_USCS = 398 };

    // The radio group that starts at IDC_SI.
    void DoDataExchange(CDataExchange* pDX);
    // The OK rule after reading: unitsDialogOK of the selection.
    bool SelectionMade() const { return unitsDialogOK(m_selection); }

    // 0 SI, 1 USCS, -1 none; the opener may preset it.
    int m_selection = kUnitsDialogInitial;
};
