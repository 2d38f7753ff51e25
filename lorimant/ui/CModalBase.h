// The base of modal dialogs whose subclass gives the template: a dialog
// that exchanges nothing of its own. Its subclasses show doubles through a
// printf format (DDX_FMTDBL) or grouped as whole numbers (DDX_FMTCOMMA),
// both in platform/core/DataExchange.h.
#pragma once

#include "platform/ui/CDialog.h"

class CModalBase : public CDialog {
 public:
  // The dialog of the subclass's template id and caption; parent may be null.
  CModalBase(UINT templateId, wxWindow* parent, const wxString& caption = wxEmptyString)
      : CDialog(templateId, parent, caption) {}
};
