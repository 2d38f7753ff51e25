// "Apply Local Control" (template 116): the element size and the radius of
// a local mesh size control. The window (lorimant/ui) runs it modally; the
// command reads the members after OK.
#pragma once

#include "platform/core/DataExchange.h"

class CLocalControlDlg {
 public:
  enum { IDD = 116, IDC_SIZE = 1147, IDC_RADIUS = 1398 };

  // Both values 0.001 to 1000 (refused outside with the range prompt):
  // the radius starts at 0, so it must be entered before OK is accepted.
  void DoDataExchange(CDataExchange* pDX);

  double m_size = 0.2;
  double m_radius = 0.0;
};
