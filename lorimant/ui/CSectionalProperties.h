// The modal property sheet "Section Properties" of a sub-section: the
// geometric page, the elastic page and, when the section has plastic
// properties, the plastic page, each a set of read-only boxes laid out from
// its table in lorimant/analyses/SectionPropertyPages.h. OK and Cancel close
// it; there is no Apply.
#pragma once

#include <wx/panel.h>
#include <wx/propdlg.h>

#include <functional>
#include <span>
#include <vector>

#include "lorimant/analyses/SectionPropertyPages.h"

class CSubSection;
class wxSizer;
class wxStaticText;
class wxTextCtrl;

// A page of read-only boxes: it keeps the sub-section it shows and the
// decimals given when it was made, and writes the values into its boxes
// when its data exchange runs.
class CSectionPropertyPage : public wxPanel {
 public:
  // The page (window id templateId) over boxes, the table it shows.
  CSectionPropertyPage(wxWindow* parent, int templateId, std::span<const PageBox> boxes, int decimals);

  // The sub-section the next data exchange reads (the sheet hands it over).
  void SetSubSection(CSubSection* sub) { m_sub = sub; }
  // Writes every value into its box ("%.*f", noise shown as 0).
  bool TransferDataToWindow() override;

  // The box of the table's row index (null outside).
  wxTextCtrl* box(size_t index) const { return index < m_boxes.size() ? m_boxes[index] : nullptr; }
  // The box of the first row labelled label at or after row from (null when none).
  wxTextCtrl* boxLabelled(const wxString& label, size_t from = 0) const;
  std::span<const PageBox> table() const { return m_table; }
  int decimals() const { return m_decimals; }

 protected:
  // The note above the boxes (the plastic page's), wrapped to the page.
  void AddNote(const wxString& text);

 private:
  wxSizer* makeColumn(int column);
  wxStaticText* addRow(wxWindow* parent, wxSizer* grid, const PageBox& row);

  std::span<const PageBox> m_table;
  int m_decimals;
  CSubSection* m_sub = nullptr;
  std::vector<wxTextCtrl*> m_boxes;
  wxSizer* m_top = nullptr;
};

class CGeometricPropsPage : public CSectionPropertyPage {
 public:
  enum { IDD = 1219 };
  CGeometricPropsPage(wxWindow* parent, int decimals);
};

class CElasticPropPage : public CSectionPropertyPage {
 public:
  enum { IDD = 107 };
  CElasticPropPage(wxWindow* parent, int decimals);
};

// The plastic page: its note at the top and a tooltip on each box its table
// gives one.
class CPlasticPropsDlg : public CSectionPropertyPage {
 public:
  enum { IDD = 113 };
  CPlasticPropsDlg(wxWindow* parent, int decimals);
};

class CSectionalProperties : public wxPropertySheetDialog {
 public:
  // Stands in for the modal loop (tests): gets the shown sheet and may
  // press its buttons; DoModal then returns what the sheet ended with.
  using ModalHook = std::function<void(CSectionalProperties&)>;

  // The sheet over parent with the pages of plan for sub, showing decimals
  // places; the pages read sub at once.
  CSectionalProperties(wxWindow* parent, CSubSection& sub, const SectionSheetPlanResult& plan, int decimals);

  // Runs the sheet modally; IDOK or IDCANCEL.
  int DoModal();
  // Sets (null: clears) the hook that stands in for the modal loop.
  static void SetModalHook(ModalHook hook);

  // The pages in order.
  const std::vector<CSectionPropertyPage*>& pages() const { return m_pages; }

 private:
  void close(int code);

  std::vector<CSectionPropertyPage*> m_pages;
  int m_endCode;
};

// The section tree's Display Section Properties: for sub, whose properties
// the caller computed, says once why there is no plastic page when there
// is none, then runs the sheet with the model's display precision.
int ShowSectionPropertySheet(wxWindow* parent, CSubSection& sub, int decimals);
