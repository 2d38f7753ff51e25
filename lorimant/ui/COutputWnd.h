// The result pane "Section Properties": a tab control (id 1401) with the
// lists "Elastic Properties" and "Plastic Properties" of the sub-section
// the section view last computed. The main frame hosts it and forwards the
// document's result-pane requests to it.
#pragma once

#include <wx/panel.h>

#include <vector>

#include "lorimant/analyses/SectionPropertyLists.h"
#include "platform/ui/CColoredListCtrl.h"

class CQHTabCtrl;
class CSubSection;

// The modulus-weighted properties of a sub-section, one row each.
class CScnPropListCtrl : public CColoredListCtrl {
 public:
  explicit CScnPropListCtrl(wxWindow* parent);
  // Adds the five columns on the first call; without a sub-section stops
  // there (the rows stay). Otherwise shows ElasticPropertyRows(*sub) (none
  // while its properties are out of date) and sizes the columns.
  void FillProperties(CSubSection* sub);
  // The rows shown (the list's own copies of the values).
  const std::vector<PropertyListRow>& rows() const { return m_rows; }

 private:
  std::vector<PropertyListRow> m_rows;
};

// The plastic properties of a sub-section, one row each.
class CPlasticScnPropListCtrl : public CColoredListCtrl {
 public:
  explicit CPlasticScnPropListCtrl(wxWindow* parent);
  // As the elastic list with PlasticPropertyRows(*sub): emptied for a
  // section without plastic properties.
  void FillProperties(CSubSection* sub);
};

class COutputWnd : public wxPanel {
 public:
  // The control id of the tab control.
  static constexpr int kTabControlId = 1401;

  // The pane (window id id) in parent, with both lists empty and their columns.
  COutputWnd(wxWindow* parent, int id);

  // Empties both lists (the columns stay) and forgets a sub-section given
  // for a fill that did not come.
  void ClearPropertyLists();
  // Keeps sub for the next fill.
  void SetResultSubSection(CSubSection* sub);
  // RefreshPlasticProperties on the sub-section kept by SetResultSubSection;
  // the lists stay as they are when none was given since the last fill (the
  // model it belonged to may be gone).
  void FillPropertyLists();
  // Fills the elastic list, then the plastic one, from sub.
  void RefreshPlasticProperties(CSubSection* sub);

  CQHTabCtrl& tabs() const { return *m_tabs; }
  CScnPropListCtrl& elasticList() const { return *m_elastic; }
  CPlasticScnPropListCtrl& plasticList() const { return *m_plastic; }

 private:
  CQHTabCtrl* m_tabs = nullptr;
  CScnPropListCtrl* m_elastic = nullptr;
  CPlasticScnPropListCtrl* m_plastic = nullptr;
  CSubSection* m_pending = nullptr;
};
