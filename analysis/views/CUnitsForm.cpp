// The rules of the unit-system dialog.
#include "analysis/views/CUnitsForm.h"

void CUnitsForm::DoDataExchange(CDataExchange* pDX)
{
    DDX_Radio(pDX, IDC_SI, m_selection);
}
