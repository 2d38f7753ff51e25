// The wx view of a section document: owns the document's section view
// (CThickSectionView) and its child frame, and makes the document current
// when its frame is activated.
#pragma once

#include <wx/docview.h>

#include <memory>

class CThickSectionView;
class CSectionDocument;

class CSectionDocView : public wxView {
 public:
  CSectionDocView();
  ~CSectionDocView() override;
  CSectionDocView(const CSectionDocView&) = delete;
  CSectionDocView& operator=(const CSectionDocView&) = delete;

  // Makes the section view and its child frame in the main frame's tabs.
  // Throws std::logic_error "OpenGL display failure" without an off-screen context.
  bool OnCreate(wxDocument* doc, long flags) override;
  // The document was made or read: the section is rebuilt and fitted.
  void OnUpdate(wxView* sender, wxObject* hint) override;
  // Painting belongs to the section view's own window.
  void OnDraw(wxDC* dc) override;
  // Closing the document's last view closes the document (its questions
  // first); another view of it just goes.
  bool OnClose(bool deleteWindow) override;
  // On activation the document becomes current with this section view as
  // its active view; the section view activates and redraws; the main
  // window's title follows. What it throws is shown.
  void OnActivateView(bool activate, wxView* activeView, wxView* deactiveView) override;

  // The section view (null before OnCreate).
  CThickSectionView* sectionView() const { return m_section.get(); }
  CSectionDocument* sectionDocument() const;

 private:
  std::unique_ptr<CThickSectionView> m_section;

  wxDECLARE_DYNAMIC_CLASS(CSectionDocView);
};
