// The print information dialog: edits the print settings that the reports
// read (the title-block cells, company, preparer, title, where the title
// block goes and the two checks) and stores the cells in the profile.
#pragma once

#include "analysis/views/CPrintInfoForm.h"
#include "platform/ui/CDialog.h"

class CPrintInfoDialog : public CDialog, public CPrintInfoForm {
 public:
  // Edits info (which must outlive the dialog); parent may be null.
  explicit CPrintInfoDialog(CPrintInfoDlg& info, wxWindow* parent = nullptr);

 protected:
  void CreateControls() override;
  // The title location becomes Top, then the settings are shown.
  BOOL OnInitDialog() override;
  // Enter does nothing: only the OK button (IDC_OK) ends the dialog.
  void OnOK() override {}
  void DoDataExchange(CDataExchange* pDX) override { CPrintInfoForm::DoDataExchange(pDX); }

 private:
  // Reads the controls, writes the profile and closes with IDOK.
  void OnClickedOk();
};
