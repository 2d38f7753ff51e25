// The windows of the section view's modeless shape dialogs: mirror,
// rotation, translation, relative point and critical point, each the
// controls of its template over the rules in lorimant/shapes; and the
// makers that give the section views these dialogs.
#pragma once

#include "lorimant/shapes/CAddCriticalPoint.h"
#include "lorimant/shapes/CMirrorDlg.h"
#include "lorimant/shapes/CRelativePoint.h"
#include "lorimant/shapes/CRotateDlg.h"
#include "lorimant/shapes/CTransDlg.h"
#include "lorimant/ui/CQHTDialogEx.h"

class SectionDialogFactory;

class CMirrorDlgWindow : public CQHTDialogEx {
 public:
  CMirrorDlgWindow(CMirrorDlg& logic, wxWindow* parent) : CQHTDialogEx(logic, parent) {}

 protected:
  void CreateControls() override;
  // The focus goes to the point, the direction only shows.
  BOOL OnInitDialog() override;
};

class CRotateDlgWindow : public CQHTDialogEx {
 public:
  CRotateDlgWindow(CRotateDlg& logic, wxWindow* parent) : CQHTDialogEx(logic, parent) {}

 protected:
  void CreateControls() override;
};

class CTransDlgWindow : public CQHTDialogEx {
 public:
  CTransDlgWindow(CTransDlg& logic, wxWindow* parent) : CQHTDialogEx(logic, parent) {}

 protected:
  void CreateControls() override;
};

class CRelativePointWindow : public CQHTDialogEx {
 public:
  CRelativePointWindow(CRelativePoint& logic, wxWindow* parent) : CQHTDialogEx(logic, parent) {}

 protected:
  void CreateControls() override;
};

class CAddCriticalPointWindow : public CQHTDialogEx {
 public:
  CAddCriticalPointWindow(CAddCriticalPoint& logic, wxWindow* parent) : CQHTDialogEx(logic, parent) {}

 protected:
  void CreateControls() override;
};

// Gives each of the dialogs its window (over the view's top-level window).
void GiveWindow(CMirrorDlg& dialog);
void GiveWindow(CRotateDlg& dialog);
void GiveWindow(CTransDlg& dialog);
void GiveWindow(CRelativePoint& dialog);
void GiveWindow(CAddCriticalPoint& dialog);

// Registers the makers of the mirror, rotation, translation,
// relative-point, basic-shape and point-set dialogs, with their windows,
// in factory.
void RegisterShapeDialogs(SectionDialogFactory& factory);
