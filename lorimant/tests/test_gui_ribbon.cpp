// The main frame's ribbon, looks and caption bar as real windows: every
// element of the ribbon table on its page and panel, clicks and lists
// reaching the frame as menu commands, the looks kept in the profile (with
// a picture of the frame in each), the caption bar shown and hidden, the
// Options button, the windows dialog and the About box.
#include <wx/defs.h>
// after wx/defs.h: they need wx's configuration to declare anything
#include <wx/aui/auibook.h>
#include <wx/choice.h>
#include <wx/listbox.h>
#include <wx/menu.h>
#include <wx/ribbon/art.h>
#include <wx/ribbon/buttonbar.h>
#include <wx/ribbon/page.h>
#include <wx/ribbon/panel.h>
#include <wx/ribbon/toolbar.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>

#include <memory>
#include <vector>

#include "lorimant/app/CaptionBar.h"
#include "lorimant/app/MainRibbon.h"
#include "lorimant/app/RibbonTable.h"
#include "lorimant/document/ApplicationLook.h"
#include "lorimant/document/CWindowsForm.h"
#include "lorimant/document/MainFrameCommands.h"
#include "lorimant/tests/test_gui_support.h"
#include "lorimant/ui/CAboutDlg.h"
#include "lorimant/ui/CommandIds.h"
#include "platform/core/Settings.h"
#include "platform/tests/DialogTestSupport.h"
#include "platform/ui/ACMfcMdiAppGlue.h"

namespace {

using namespace gui_lorimant_test;
using dialog_test::Click;
using dialog_test::ModalScript;

// Notes the menu commands that reach the frame, before anything handles them.
class CommandSpy : public wxEvtHandler {
 public:
  struct Command {
    int id;
    int value;
  };
  explicit CommandSpy(wxWindow& window) : m_window(window) {
    Bind(wxEVT_MENU, [this](wxCommandEvent& event) {
      // An event the active document window passes back up comes by again.
      if (&event != m_last) seen.push_back({event.GetId(), event.GetInt()});
      m_last = &event;
      event.Skip();
    });
    m_window.PushEventHandler(this);
  }
  ~CommandSpy() override { m_window.PopEventHandler(); }
  std::vector<Command> seen;

 private:
  wxWindow& m_window;
  const wxEvent* m_last = nullptr;
};

class GuiRibbon : public GuiLorimantTest {
 protected:
  // The check mark the frame gives command id.
  bool checked(int id) {
    wxUpdateUIEvent update(WxCommandId(static_cast<UINT>(id)));
    frame().ProcessWindowEvent(update);
    return update.GetSetChecked() && update.GetChecked();
  }
  // A click on the ribbon button of command id, as the button bar reports it.
  void clickRibbon(int id) {
    auto* bar = dynamic_cast<wxRibbonButtonBar*>(frame().ribbon().FindCommandBar(id));
    ASSERT_NE(bar, nullptr) << id;
    const int wxId = WxCommandId(static_cast<UINT>(id));
    wxRibbonButtonBarEvent click(wxEVT_RIBBONBUTTONBAR_CLICKED, wxId, bar, bar->GetItemById(wxId));
    click.SetEventObject(bar);
    bar->ProcessWindowEvent(click);
    gui_test::Flush();
  }
  void showPage(const wchar_t* name) {
    frame().ribbon().SetActivePage(frame().FindRibbonCategory(name));
    gui_test::Flush();
  }
};

TEST_F(GuiRibbon, EveryElementSitsOnItsPageAndPanel) {
  ASSERT_TRUE(start());
  for (const RibbonElement& e : RibbonElements()) {
    SCOPED_TRACE(CString(e.label).ToUtf8());
    wxRibbonPanel* panel = frame().FindRibbonPanel(frame().FindRibbonCategory(e.page), e.panel);
    ASSERT_NE(panel, nullptr);
    if (e.kind == RibbonKind::Choice) {
      wxChoice* list = frame().FindRibbonChoice(e.id);
      ASSERT_NE(list, nullptr);
      EXPECT_EQ(list->GetParent(), panel);
    } else if (e.id != 0) {
      wxRibbonControl* bar = frame().ribbon().FindCommandBar(e.id);
      ASSERT_NE(bar, nullptr);
      EXPECT_EQ(bar->GetParent(), panel);
      if (auto* buttons = dynamic_cast<wxRibbonButtonBar*>(bar)) {
        EXPECT_NE(buttons->GetItemById(WxCommandId(static_cast<UINT>(e.id))), nullptr);
      } else {
        // A long panel's tools: the label is the tooltip.
        auto* tools = dynamic_cast<wxRibbonToolBar*>(bar);
        ASSERT_NE(tools, nullptr);
        const int wxId = WxCommandId(static_cast<UINT>(e.id));
        ASSERT_NE(tools->FindById(wxId), nullptr);
        EXPECT_EQ(tools->GetToolHelpString(wxId), wxString(RibbonTooltip(e).GetString()));
      }
    }
  }
  // The shapes are tools; the view's commands labelled buttons.
  EXPECT_NE(dynamic_cast<wxRibbonToolBar*>(frame().ribbon().FindCommandBar(33159)), nullptr);
  EXPECT_NE(dynamic_cast<wxRibbonButtonBar*>(frame().ribbon().FindCommandBar(32986)), nullptr);
  wxChoice* grid = frame().FindRibbonChoice(40093);
  ASSERT_EQ(grid->GetCount(), 3u);
  EXPECT_EQ(grid->GetString(0), "Behind");
  EXPECT_EQ(grid->GetString(1), "In Front");
  EXPECT_EQ(grid->GetString(2), " No Show");
  EXPECT_EQ(frame().FindRibbonChoice(33331)->GetCount(), 0u);
  EXPECT_EQ(frame().FindRibbonChoice(33159), nullptr);

  wxRibbonPage* construction = frame().FindRibbonCategory("Construction");
  ASSERT_NE(construction, nullptr);
  EXPECT_EQ(frame().ribbon().GetActivePage(), 1);  // Construction shows first
  wxRibbonPanel* view = frame().FindRibbonPanel(construction, "View");
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(view->GetParent(), construction);
  EXPECT_NE(view, frame().FindRibbonPanel(frame().FindRibbonCategory("Computations"), "View"));
  EXPECT_EQ(frame().FindRibbonCategory("Nothing"), nullptr);
  EXPECT_EQ(frame().FindRibbonPanel(construction, "Nothing"), nullptr);
  EXPECT_EQ(frame().FindRibbonPanel(nullptr, "View"), nullptr);
  // The ribbon spans the frame above the caption bar and the panes.
  EXPECT_EQ(frame().panes().GetPane(&frame().ribbon()).dock_direction, wxAUI_DOCK_TOP);
  EXPECT_LT(frame().ribbon().GetScreenPosition().y, frame().captionBar().GetScreenPosition().y);
}

TEST_F(GuiRibbon, ClicksAndListsReachTheFrameAsCommands) {
  ASSERT_TRUE(start());
  CommandSpy spy(frame());
  clickRibbon(33312);
  auto* tools = dynamic_cast<wxRibbonToolBar*>(frame().ribbon().FindCommandBar(33150));
  ASSERT_NE(tools, nullptr);
  wxRibbonToolBarEvent tool(wxEVT_RIBBONTOOLBAR_CLICKED, WxCommandId(33150), tools);
  tool.SetEventObject(tools);
  tools->ProcessWindowEvent(tool);
  wxChoice* grid = frame().FindRibbonChoice(40093);
  grid->SetSelection(2);
  wxCommandEvent choice(wxEVT_CHOICE, grid->GetId());
  choice.SetEventObject(grid);
  choice.SetInt(2);
  grid->HandleWindowEvent(choice);
  const int black = frame().ribbon().LooksMenu().FindItem("Office 2007 (Black Style)");
  ASSERT_NE(black, wxNOT_FOUND);
  frame().ribbon().LooksMenu().SendEvent(black);
  gui_test::Flush();

  // Under their wx ids.
  ASSERT_EQ(spy.seen.size(), 4u);
  EXPECT_EQ(spy.seen[0].id, WxCommandId(33312));
  EXPECT_EQ(spy.seen[1].id, WxCommandId(33150));
  EXPECT_EQ(spy.seen[2].id, WxCommandId(40093));
  EXPECT_EQ(spy.seen[2].value, 2);
  EXPECT_EQ(spy.seen[3].id, WxCommandId(33303));
  // The frame acted on its own two.
  EXPECT_FALSE(frame().IsCaptionBarShown());
  EXPECT_EQ(frame().applicationLook(), 33303);
}

TEST_F(GuiRibbon, TheOpenButtonListsTheRecentFiles) {
  const fs::path a = savedSection("a.qhscn");
  const fs::path b = savedSection("b.qhscn");
  ASSERT_TRUE(start());
  EXPECT_EQ(frame().ribbon().RecentFilesMenu()->GetMenuItemCount(), 0u);
  for (const fs::path& f : {a, b}) ASSERT_NE(manager().CreateDocument(wxString::FromUTF8(f.string()), wxDOC_SILENT), nullptr);
  const std::unique_ptr<wxMenu> recent = frame().ribbon().RecentFilesMenu();
  ASSERT_EQ(recent->GetMenuItemCount(), 2u);
  EXPECT_EQ(recent->FindItemByPosition(0)->GetId(), wxID_FILE1);
  EXPECT_EQ(recent->FindItemByPosition(0)->GetItemLabelText(), "1 " + wxString::FromUTF8(b.string()));
  // Choosing an entry opens that file again (the framework's recent-file command).
  manager().CloseDocuments(false);
  gui_test::Flush();
  wxCommandEvent pick(wxEVT_MENU, wxID_FILE2);
  frame().HandleWindowEvent(pick);
  gui_test::Flush();
  ASSERT_FALSE(documents().empty());
  EXPECT_EQ(documents().back()->GetFilename(), wxString::FromUTF8(a.string()));
}

TEST_F(GuiRibbon, LooksAreKeptInTheProfileWithTheirMark) {
  ASSERT_TRUE(start());
  EXPECT_EQ(frame().applicationLook(), 33304);
  EXPECT_TRUE(frame().ribbon().IsLookMarked(33304));
  EXPECT_TRUE(checked(33304));
  EXPECT_FALSE(checked(33303));

  command(33303);
  EXPECT_EQ(frame().applicationLook(), 33303);
  EXPECT_EQ(Settings::GetProfileInt(L"Workspace", L"ApplicationLook", 0), 33303u);
  EXPECT_TRUE(frame().ribbon().IsLookMarked(33303));
  EXPECT_FALSE(frame().ribbon().IsLookMarked(33304));
  EXPECT_TRUE(checked(33303));
  EXPECT_FALSE(checked(33304));

  stop();
  ASSERT_TRUE(start());
  EXPECT_EQ(frame().applicationLook(), 33303);
  EXPECT_TRUE(frame().ribbon().IsLookMarked(33303));
}

TEST_F(GuiRibbon, EachLookDrawsTheFrame) {
  ASSERT_TRUE(start());
  for (const ApplicationLook& look : ApplicationLooks()) {
    SCOPED_TRACE(look.id);
    command(look.id);
    const wxRibbonArtProvider* art = frame().ribbon().GetArtProvider();
    EXPECT_EQ(dynamic_cast<const wxRibbonAUIArtProvider*>(art) == nullptr, look.windows7Art);
    EXPECT_NE(dynamic_cast<const wxRibbonMSWArtProvider*>(art), nullptr);
    // Docking hints in every look.
    EXPECT_NE(frame().panes().GetFlags() & wxAUI_MGR_TRANSPARENT_HINT, 0u);
    const wxColour background = frame().captionBar().GetBackgroundColour();
    EXPECT_EQ(background, wxColour(GetRValue(look.captionBackground), GetGValue(look.captionBackground),
                                   GetBValue(look.captionBackground)));
    EXPECT_FALSE(gui_test::SaveWindowPng(frame(), "gui_look_" + std::to_string(look.id)).empty());
  }
  showPage(L"Computations");
  EXPECT_FALSE(gui_test::SaveWindowPng(frame(), "gui_ribbon_computations").empty());
  showPage(L"Materials");
  EXPECT_FALSE(gui_test::SaveWindowPng(frame(), "gui_ribbon_materials").empty());
  showPage(L"Settings");
  EXPECT_FALSE(gui_test::SaveWindowPng(frame(), "gui_ribbon_settings").empty());
  showPage(L"File");
  EXPECT_FALSE(gui_test::SaveWindowPng(frame(), "gui_ribbon_file").empty());
}

TEST_F(GuiRibbon, CaptionBarTogglesWithItsMarkAndOptionsSaysWhy) {
  ASSERT_TRUE(start());
  CaptionBar& bar = frame().captionBar();
  EXPECT_EQ(bar.optionsButton().GetLabel(), "Options...");
  EXPECT_EQ(bar.optionsButton().GetToolTipText(), "Click here to see more options");
  EXPECT_EQ(bar.image().GetToolTipText(), "Important\nHere is an informational message for the user.");
  EXPECT_TRUE(bar.welcome().GetLabel().Contains("Quenholt"));
  EXPECT_TRUE(bar.welcome().GetLabel().Contains("Lorimant"));
  EXPECT_TRUE(bar.welcome().GetLabel().Contains("https://"));

  const int tabsTop = frame().GetNotebook()->GetScreenPosition().y;
  ASSERT_TRUE(frame().IsCaptionBarShown());
  EXPECT_TRUE(checked(33312));
  clickRibbon(33312);
  EXPECT_FALSE(frame().IsCaptionBarShown());
  EXPECT_FALSE(bar.IsShown());
  EXPECT_FALSE(checked(33312));
  // The frame was laid out again: the tabs moved up into the bar's place.
  EXPECT_LT(frame().GetNotebook()->GetScreenPosition().y, tabsTop);
  clickRibbon(33312);
  EXPECT_TRUE(frame().IsCaptionBarShown());
  EXPECT_TRUE(bar.IsShown());
  EXPECT_TRUE(checked(33312));
  EXPECT_EQ(frame().GetNotebook()->GetScreenPosition().y, tabsTop);

  Hooks::clearRecords();
  wxCommandEvent press(wxEVT_BUTTON, bar.optionsButton().GetId());
  press.SetEventObject(&bar.optionsButton());
  bar.optionsButton().HandleWindowEvent(press);
  gui_test::Flush();
  ASSERT_EQ(Hooks::messageBoxes().size(), 1u);
  EXPECT_EQ(Hooks::messageBoxes()[0].text, CString(L"Ribbon customisation is not available."));
}

TEST_F(GuiRibbon, WindowsActivatesTheChosenDocument) {
  ASSERT_TRUE(start());
  command(kCommandFileNew);
  ASSERT_EQ(documents().size(), 2u);
  ASSERT_EQ(ACMfcMdiAppGlue::GetActiveDoc(), documents()[1]);
  std::vector<wxString> listed;
  int preset = -1;
  {
    ModalScript script([&](CDialog& dialog) {
      auto* list = dynamic_cast<wxListBox*>(dialog.GetDlgItem(CWindowsForm::IDC_WINDOWS));
      ASSERT_NE(list, nullptr);
      for (unsigned i = 0; i < list->GetCount(); ++i) listed.push_back(list->GetString(i));
      preset = list->GetSelection();
      EXPECT_FALSE(gui_test::SaveWindowPng(dialog, "gui_windows_dialog").empty());
      list->SetSelection(0);
      Click(dialog, IDOK);
    });
    command(kCommandWindows);
  }
  EXPECT_EQ(listed, (std::vector<wxString>{"LorimantAnalysisDoc1", "LorimantAnalysisDoc2"}));
  EXPECT_EQ(preset, 1);
  EXPECT_EQ(ACMfcMdiAppGlue::GetActiveDoc(), documents()[0]);
  EXPECT_EQ(GetActiveSectionDoc(), &documents()[0]->core());

  // Cancel leaves the active window as it is.
  {
    ModalScript script([&](CDialog& dialog) {
      static_cast<wxListBox*>(dialog.GetDlgItem(CWindowsForm::IDC_WINDOWS))->SetSelection(1);
      Click(dialog, IDCANCEL);
    });
    command(kCommandWindows);
  }
  EXPECT_EQ(ACMfcMdiAppGlue::GetActiveDoc(), documents()[0]);
}

TEST_F(GuiRibbon, AboutOpensAndClosesWithOK) {
  ASSERT_TRUE(start());
  int ended = 0;
  bool shown = false;
  wxString program, version, built;
  {
    ModalScript script([&](CDialog& dialog) {
      shown = dialog.IsShown();
      EXPECT_EQ(dialog.GetTemplateId(), 1150u);
      EXPECT_EQ(dialog.GetTitle(), "About Lorimant");
      program = dialog.GetDlgItemText(CAboutDlg::IDC_PROGRAM).GetString();
      version = dialog.GetDlgItemText(CAboutDlg::IDC_VERSION).GetString();
      built = dialog.GetDlgItemText(CAboutDlg::IDC_BUILT_ON).GetString();
      EXPECT_FALSE(gui_test::SaveWindowPng(dialog, "gui_about").empty());
      Click(dialog, IDOK);
      ended = dialog.GetEndCode();
    });
    command(kCommandAbout);
  }
  EXPECT_TRUE(shown);
  EXPECT_EQ(program, "Lorimant");
  EXPECT_EQ(version, "Version 2.0.4");
  EXPECT_EQ(built, "Built On: Oct 8, 2017  1:58 am PST");
  EXPECT_EQ(ended, IDOK);
}

}  // namespace
