// The rules of the mesh parameter and local size control dialogs.
#include "lorimant/shapes/CLocalControlDlg.h"
#include "lorimant/shapes/CShapeAnalysisMeshDlg.h"

#include "platform/core/Hooks.h"

const wchar_t* const CShapeAnalysisMeshDlg::kElementTypes[1] = {L"3 Point Triangle"};

void CShapeAnalysisMeshDlg::DoDataExchange(CDataExchange* pDX) {
  DDX_Text(pDX, IDC_NODES, m_nodes);
  DDV_MinMaxInt(pDX, m_nodes, 4, 100000);
  DDX_Text(pDX, IDC_THICKNESS, m_thickness);
  DDV_MinMaxDouble(pDX, m_thickness, 0.0, 10000.0);
  DDX_Text(pDX, IDC_TOLERANCE, m_tolerance);
  DDV_MinMaxDouble(pDX, m_tolerance, 0.0001, 100.0);
  DDX_Text(pDX, IDC_LAST_VALUE, m_lastValue);
  DDX_CBIndex(pDX, IDC_ELEMENT_TYPE, m_elementType);
}

bool CShapeAnalysisMeshDlg::AcceptNodeCount() const {
  if (m_nodes <= kMaxNodes) return true;
  Hooks::messageBox(CString(L"Number of nodes may not exceed 4000"), CString(L"Mesh Creation"), MB_OK | MB_ICONSTOP);
  return false;
}

void CLocalControlDlg::DoDataExchange(CDataExchange* pDX) {
  DDX_Text(pDX, IDC_SIZE, m_size);
  DDV_MinMaxDouble(pDX, m_size, 0.001, 1000.0);
  DDX_Text(pDX, IDC_RADIUS, m_radius);
  DDV_MinMaxDouble(pDX, m_radius, 0.001, 1000.0);
}
