// The rules of the windows dialog.
#include "lorimant/document/CWindowsForm.h"

void CWindowsForm::DoDataExchange(CDataExchange* pDX) { DDX_LBIndex(pDX, IDC_WINDOWS, m_selection); }

int CWindowsForm::Chosen() const {
  return m_selection >= 0 && m_selection < static_cast<int>(m_windows.size()) ? m_selection : -1;
}
