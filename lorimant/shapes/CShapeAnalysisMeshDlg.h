// "2D Meshing" (template 1299): the rules of the mesh parameters that the
// Mesh Selected command asks for before it meshes the picked shapes. The
// window (lorimant/ui) runs it modally; the command reads the members
// after OK.
#pragma once

#include "platform/core/CString.h"
#include "platform/core/DataExchange.h"

class CShapeAnalysisMeshDlg {
 public:
  enum {
    IDD = 1299,
    IDC_NODES = 606,
    IDC_THICKNESS = 1203,
    IDC_TOLERANCE = 1144,
    IDC_LAST_VALUE = 1077,
    IDC_ELEMENT_TYPE = 1078
  };
  // The most nodes a mesh may be asked for here.
  static constexpr int kMaxNodes = 4000;

  // The one element type offered: "3 Point Triangle".
  static const wchar_t* const kElementTypes[1];

  // The five values; nodes 4 to 100000, thickness 0 to 10000, tolerance
  // 0.0001 to 100 (refused outside with the range prompt).
  void DoDataExchange(CDataExchange* pDX);
  // The OK rule after a successful read: false, with "Number of nodes may
  // not exceed 4000" ("Mesh Creation", stop icon) shown, above 4000 nodes.
  bool AcceptNodeCount() const;

  int m_nodes = 100;
  double m_thickness = 1.0;
  double m_tolerance = 0.001;
  int m_lastValue = -1;
  int m_elementType = 0;  // 0: three-node triangles
};
