// The windows of the basic-shape dialog ("Basic Shapes", with the picture
// of its kind drawn in its paint area) and of the polygon point-set dialog
// ("POLYGON SHAPE"), each the controls of its template over the rules in
// lorimant/shapes. RegisterShapeDialogs gives them to the section views.
#pragma once

#include <wx/panel.h>

#include "lorimant/shapes/CPointSet.h"
#include "lorimant/shapes/CSector.h"
#include "lorimant/ui/CQHTDialogEx.h"

class wxListCtrl;
class wxListEvent;
class wxStaticText;

// The picture of a basic kind: its outline and numbered points, scaled to the panel.
class BasicShapePicturePanel : public wxPanel {
 public:
  BasicShapePicturePanel(wxWindow* parent, int id);
  // Draws kind from now on.
  void setKind(int kind);
  int kind() const { return m_kind; }

 private:
  void onPaint(wxPaintEvent& event);
  int m_kind = -1;
};

class CSectorWindow : public CQHTDialogEx, public DialogLayoutWindow {
 public:
  CSectorWindow(CSector& logic, wxWindow* parent);
  // Shows, hides, enables and refills the controls as the rules' layout says.
  void layoutChanged() override;
  BasicShapePicturePanel* picture() const { return m_picture; }

 protected:
  void CreateControls() override;
  // The layout first, so that the lists hold their points when the values are shown.
  BOOL OnInitDialog() override;

 private:
  CSector* sector() const { return dynamic_cast<CSector*>(logic()); }
  // Tells the rules when a cell takes or loses the focus.
  void bindFocus(int id);
  wxSizer* makePosition();
  wxSizer* makeValues(const char* title, int first, int count, int groupId);

  BasicShapePicturePanel* m_picture = nullptr;
  wxStaticText* m_degrees = nullptr;
  wxSizer* m_angles = nullptr;
};

class CPointSetWindow : public CQHTDialogEx, public DialogLayoutWindow {
 public:
  CPointSetWindow(CPointSet& logic, wxWindow* parent);
  // Shows the rows, the selection and the button states of the rules.
  void layoutChanged() override;
  wxListCtrl* list() const { return m_list; }

 protected:
  void CreateControls() override;
  BOOL OnInitDialog() override;

 private:
  CPointSet* pointSet() const { return dynamic_cast<CPointSet*>(logic()); }
  // A click in the list: the rules learn the selection.
  void onSelection(wxListEvent& event);

  wxListCtrl* m_list = nullptr;
  bool m_syncing = false;
};

// Gives the dialogs their windows (over the view's top-level window).
void GiveWindow(CSector& dialog);
void GiveWindow(CPointSet& dialog);
