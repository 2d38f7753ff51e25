// The main frame: the ribbon and the caption bar at the top, the documents
// as tabs in the centre, the docked panes "Section Tree" (left) and
// "Section Properties" (made on first use), a status bar with a message
// field and the release version, and the title "<document> - Lorimant -
// Release Version ...". It is the SectionFrame the section documents report
// to. Its own commands: the looks, the caption bar, Units, Windows...,
// About and Print Setup.
#pragma once

#include <wx/docview.h>
// after wx/docview.h: they need wx's configuration to declare anything
#include <wx/aui/framemanager.h>
#include <wx/aui/tabmdi.h>

#include "lorimant/document/SectionFrame.h"

class COutputWnd;
class CSectionTreeView;
class CaptionBar;
class MainRibbon;
class wxChoice;
class wxDropFilesEvent;
class wxRibbonPage;
class wxRibbonPanel;
class wxUpdateUIEvent;

class CMainFrame : public wxDocParentFrameAny<wxAuiMDIParentFrame>, public SectionFrame {
 public:
  // Creates the frame for the documents of manager (not shown), sets the
  // program's folder and shape-database paths, and becomes the instance.
  explicit CMainFrame(wxDocManager* manager);
  ~CMainFrame() override;
  CMainFrame(const CMainFrame&) = delete;
  CMainFrame& operator=(const CMainFrame&) = delete;

  // The one main frame; null before it is made and after it is destroyed.
  static CMainFrame* instance();

  // Shows the result pane, making it (docked right, 600 x 400) on first use.
  void ShowResultPane();
  // The result pane; null until it is first shown.
  COutputWnd* resultPane() const { return m_resultPane; }
  // The title after the active child's document name, or without one.
  void UpdateTitle();
  // The title after doc's name (doc is being activated).
  void ShowTitleFor(const wxDocument& doc);
  // Shows text in the status bar's message field.
  void ShowStatusText(const wxString& text);
  // The pane manager (the tabs are its centre pane).
  wxAuiManager& panes() { return m_panes; }

  // Stops asking the document manager, which is about to go while this
  // frame may still receive events until wx deletes it.
  void ForgetDocManager() { m_docManager = nullptr; }

  // A view and frame for a document that has none (automation opened it).
  void OpenDocumentWindow(CXSectionAnalysisDoc& doc) override;
  // The document's unit question: the unit dialog preset to selection;
  // true on OK with the choice in selection.
  bool AskUnits(int& selection) override;

  // ---- ribbon ----
  // The ribbon page labelled name; null when none is.
  wxRibbonPage* FindRibbonCategory(const wxString& name) const;
  // The panel labelled name on page; null when none is (or page is null).
  wxRibbonPanel* FindRibbonPanel(wxRibbonPage* page, const wxString& name) const;
  // The ribbon's list of command id (40093 Grid, 33331 Load Condition); null for others.
  wxChoice* FindRibbonChoice(int id) const;
  // The ribbon.
  MainRibbon& ribbon() const { return *m_ribbon; }

  // ---- looks and caption bar ----
  // The current look's command (33302 to 33306).
  int applicationLook() const { return m_look; }
  // Draws the frame in look id (a look command), keeps it in the profile
  // and redraws the frame with its children.
  void SetApplicationLook(int id);
  // The caption bar under the ribbon.
  CaptionBar& captionBar() const { return *m_captionBar; }
  // Whether the caption bar shows.
  bool IsCaptionBarShown();

  // The "Section Tree" pane.
  CSectionTreeView& sectionTree() const { return *m_sectionTree; }
  // Rebuilds the section tree from the active document; 1 when built.
  int RefreshSectionTree() override;
  // Deletes every item of the section tree.
  void DeleteSectionTree() override;

  // ---- result pane ----
  // Empties both property lists (nothing before the pane is made).
  void ClearPropertyLists() override;
  // Shows the result pane and gives it the sub-section of the next fill.
  void SetResultSubSection(CSubSection* sub) override;
  // Fills the result pane's lists from that sub-section.
  void FillPropertyLists() override;

 private:
  void createPanes();
  void createStatusBar();
  void createRibbonPanes();
  void bindFrameCommands();
  void applyLook();
  void OnDropFiles(wxDropFilesEvent& event);
  void OnUnits();
  void OnWindows();
  void OnPrintSetup();
  void OnToggleCaptionBar();
  void OnUpdateLook(wxUpdateUIEvent& event);

  wxAuiManager m_panes;
  COutputWnd* m_resultPane = nullptr;
  MainRibbon* m_ribbon = nullptr;
  CaptionBar* m_captionBar = nullptr;
  int m_look = 0;
  CSectionTreeView* m_sectionTree = nullptr;
};
