// The main frame's ribbon: a wxRibbonBar built from the ribbon table. A
// panel of a few commands shows them as labelled buttons; a long one as a
// tool bar of pictures alone (wx's buttons cannot drop their labels), their
// labels as tooltips. A click on a button or tool reaches the frame as the
// menu command of its id, under its wx id (WxCommandId; the
// active view's command table answers the section view's commands); a
// toggle's command carries its new state. The buttons take wx's update-UI
// events for their enabled and checked states. The Grid list sends its
// command with the chosen item's index; the Load Condition list sends
// nothing and is read where results are drawn.
#pragma once

#include <wx/ribbon/bar.h>

#include <functional>
#include <map>
#include <memory>
#include <vector>

class wxChoice;
class wxMenu;
class wxRibbonButtonBar;
class wxRibbonButtonBarEvent;
class wxRibbonControl;
class wxRibbonToolBar;
class wxRibbonToolBarEvent;
class wxRibbonPage;
class wxRibbonPanel;
class wxSizer;
class wxStaticText;
struct ApplicationLook;
struct RibbonElement;

class MainRibbon : public wxRibbonBar {
 public:
  // Where the ribbon's commands go and what the Open button's list shows.
  struct Wiring {
    wxWindow* target;                                 // receives the commands
    std::function<std::vector<wxString>()> recentFiles;  // newest first
  };

  // Builds every page, panel, button and list of the table in parent.
  MainRibbon(wxWindow* parent, Wiring wiring);
  ~MainRibbon() override;

  // The page labelled name; null when none is.
  wxRibbonPage* FindPage(const wxString& name);
  // The panel labelled name on page; null when none is (or page is null).
  static wxRibbonPanel* FindPanel(wxRibbonPage* page, const wxString& name);
  // The list of command id (40093 Grid, 33331 Load Condition); null for any other id.
  wxChoice* FindChoice(int id) const;
  // The button bar or tool bar that holds command id; null when no button
  // or tool sends it.
  wxRibbonControl* FindCommandBar(int id) const;

  // Draws the ribbon in look: its art (the default one or the Windows 7 one) and colours.
  void ApplyLook(const ApplicationLook& look);
  // The Style menu: one radio item per look (its command's wx id), the
  // current one checked; choosing one sends the look's command.
  wxMenu& LooksMenu() { return *m_looksMenu; }
  // Puts the Style menu's radio mark on look command id.
  void MarkLook(int id);
  // Whether the Style menu's radio mark is on look command id.
  bool IsLookMarked(int id) const;
  // The menu the Open button's arrow shows (the recent files, built afresh).
  std::unique_ptr<wxMenu> RecentFilesMenu() const;

 private:
  void build();
  wxRibbonPanel* buildPanel(wxRibbonPage* page, const wchar_t* panel);
  void addButton(wxRibbonButtonBar& bar, const RibbonElement& element);
  void addTools(wxRibbonToolBar& bar, const std::vector<const RibbonElement*>& elements, int nameWidth);
  void addChoice(wxRibbonPanel& panel, wxSizer& sizer, const RibbonElement& element);
  void onClicked(wxRibbonButtonBarEvent& event);
  void onDropdown(wxRibbonButtonBarEvent& event);
  void onTool(wxRibbonToolBarEvent& event);
  // Sends the menu command of wx id wxId with value to the frame.
  void send(int wxId, int value);

  Wiring m_wiring;
  std::map<int, wxRibbonControl*> m_bars;       // command -> its button or tool bar
  std::map<int, wxChoice*> m_choices;           // command -> its list
  std::vector<wxStaticText*> m_choiceLabels;    // the lists' names
  std::map<int, int> m_menuButtons;             // button's wx id -> the menu it drops down (RibbonMenu)
  std::unique_ptr<wxMenu> m_looksMenu;
};
