// The main frame's ribbon.
#include "lorimant/app/MainRibbon.h"

#include <wx/choice.h>
#include <wx/menu.h>
#include <wx/ribbon/art.h>
#include <wx/ribbon/buttonbar.h>
#include <wx/ribbon/page.h>
#include <wx/ribbon/panel.h>
#include <wx/ribbon/toolbar.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

#include <algorithm>
#include <utility>

#include "lorimant/app/RibbonTable.h"
#include "lorimant/document/ApplicationLook.h"
#include "lorimant/resources/LorimantImages.h"
#include "lorimant/ui/CommandIds.h"

namespace {

// Large and small sizes of the button images.
constexpr int kLargeImage = 32;
constexpr int kSmallImage = 16;
// The width of a drop-down list in a panel.
constexpr int kChoiceWidth = 110;
// The widest a panel of labelled buttons may be (at its narrowest layout);
// a wider one is a tool bar, so that every page fits a window 1100 pixels
// wide. A tool bar has at most kMostToolRows rows and is at least as wide
// as the panel's name (a tool is about kToolWidth wide).
constexpr int kWidestLabelledPanel = 340;
constexpr size_t kMostToolRows = 3;
constexpr int kToolWidth = 22;
// The page shown at the start.
constexpr const wchar_t* kStartPage = L"Construction";

wxString toWx(const wchar_t* text) { return wxString(text); }
wxColour toWx(COLORREF c) { return wxColour(GetRValue(c), GetGValue(c), GetBValue(c)); }

const struct {
  RibbonKind kind;
  wxRibbonButtonKind wx;
} kButtonKinds[] = {
    {RibbonKind::Button, wxRIBBON_BUTTON_NORMAL},
    {RibbonKind::Toggle, wxRIBBON_BUTTON_TOGGLE},
    {RibbonKind::SplitButton, wxRIBBON_BUTTON_HYBRID},
    {RibbonKind::MenuButton, wxRIBBON_BUTTON_DROPDOWN},
};

wxRibbonButtonKind buttonKind(RibbonKind kind) {
  for (const auto& k : kButtonKinds)
    if (k.kind == kind) return k.wx;
  return wxRIBBON_BUTTON_NORMAL;
}

std::vector<const RibbonElement*> elementsOf(const wchar_t* page, const wchar_t* panel) {
  std::vector<const RibbonElement*> found;
  for (const RibbonElement& e : RibbonElements())
    if (CString(e.page) == page && CString(e.panel) == panel) found.push_back(&e);
  return found;
}

}  // namespace

MainRibbon::MainRibbon(wxWindow* parent, Wiring wiring)
    : wxRibbonBar(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                  wxRIBBON_BAR_FLOW_HORIZONTAL | wxRIBBON_BAR_SHOW_PAGE_LABELS),
      m_wiring(std::move(wiring)),
      m_looksMenu(std::make_unique<wxMenu>()) {
  for (const ApplicationLook& look : ApplicationLooks()) {
    m_looksMenu->AppendRadioItem(WxCommandId(look.id), look.label);
    // Sent on to the frame also when the menu was not popped up by a button.
    m_looksMenu->Bind(wxEVT_MENU, [this](wxCommandEvent& event) { send(event.GetId(), 0); }, WxCommandId(look.id));
  }
  build();
  Bind(wxEVT_RIBBONBUTTONBAR_CLICKED, &MainRibbon::onClicked, this);
  Bind(wxEVT_RIBBONBUTTONBAR_DROPDOWN_CLICKED, &MainRibbon::onDropdown, this);
  Bind(wxEVT_RIBBONTOOLBAR_CLICKED, &MainRibbon::onTool, this);
}

MainRibbon::~MainRibbon() = default;

void MainRibbon::build() {
  for (const wchar_t* name : RibbonPages()) {
    auto* page = new wxRibbonPage(this, wxID_ANY, toWx(name));
    for (const wchar_t* panel : RibbonPanels(name)) buildPanel(page, panel);
  }
  Realize();
  // The drawing commands are what a user starts with.
  SetActivePage(FindPage(kStartPage));
}

wxRibbonPanel* MainRibbon::buildPanel(wxRibbonPage* page, const wchar_t* name) {
  const std::vector<const RibbonElement*> elements = elementsOf(page->GetLabel().wc_str(), name);
  // A panel too narrow to show its buttons shows this one picture instead.
  const wxBitmap icon = RibbonImage(elements.front()->image, kLargeImage);
  auto* panel = new wxRibbonPanel(page, wxID_ANY, toWx(name), icon, wxDefaultPosition, wxDefaultSize,
                                  wxRIBBON_PANEL_NO_AUTO_MINIMISE);
  const bool hasChoice = std::any_of(elements.begin(), elements.end(),
                                     [](const RibbonElement* e) { return e->kind == RibbonKind::Choice; });
  std::vector<const RibbonElement*> commands;
  for (const RibbonElement* e : elements)
    if (e->kind != RibbonKind::Choice) commands.push_back(e);
  wxRibbonControl* bar = nullptr;
  if (!commands.empty()) {
    auto* buttons = new wxRibbonButtonBar(panel);
    for (const RibbonElement* e : commands) addButton(*buttons, *e);
    buttons->Realize();
    bar = buttons;
    if (buttons->GetMinSize().x > kWidestLabelledPanel) {
      buttons->Destroy();
      auto* tools = new wxRibbonToolBar(panel);
      addTools(*tools, commands, panel->GetTextExtent(toWx(name)).x);
      bar = tools;
    }
  }
  if (hasChoice) {
    // Lists beside the buttons: the panel lays its children out with a sizer.
    auto* sizer = new wxBoxSizer(wxHORIZONTAL);
    if (bar != nullptr) sizer->Add(bar, 0, wxEXPAND);
    for (const RibbonElement* e : elements)
      if (e->kind == RibbonKind::Choice) addChoice(*panel, *sizer, *e);
    panel->SetSizer(sizer);
  }
  return panel;
}

void MainRibbon::addButton(wxRibbonButtonBar& bar, const RibbonElement& element) {
  // A menu button sends no command of its own.
  const int id = element.id != 0 ? WxCommandId(static_cast<UINT>(element.id)) : NewControlId();
  bar.AddButton(id, toWx(element.label), RibbonImage(element.image, kLargeImage),
                RibbonImage(element.image, kSmallImage), wxNullBitmap, wxNullBitmap, buttonKind(element.kind),
                wxString(RibbonTooltip(element).GetString()));
  if (element.id != 0) m_bars[element.id] = &bar;
  if (element.menu != RibbonMenu::None) m_menuButtons[id] = static_cast<int>(element.menu);
}

void MainRibbon::addTools(wxRibbonToolBar& bar, const std::vector<const RibbonElement*>& elements, int nameWidth) {
  // One group of tools a row: as many rows as leave each row as wide as the name.
  const size_t columns = static_cast<size_t>((nameWidth + kToolWidth - 1) / kToolWidth);
  size_t rows = kMostToolRows;
  while (rows > 1 && (elements.size() + rows - 1) / rows < columns) --rows;
  const size_t perRow = (elements.size() + rows - 1) / rows;
  for (size_t i = 0; i < elements.size(); ++i) {
    if (i > 0 && i % perRow == 0) bar.AddSeparator();
    const RibbonElement& e = *elements[i];
    bar.AddTool(WxCommandId(static_cast<UINT>(e.id)), RibbonImage(e.image, kSmallImage),
                wxString(RibbonTooltip(e).GetString()), buttonKind(e.kind));
    m_bars[e.id] = &bar;
  }
  bar.SetRows(static_cast<int>(rows), static_cast<int>(rows));
}

void MainRibbon::addChoice(wxRibbonPanel& panel, wxSizer& sizer, const RibbonElement& element) {
  wxArrayString items;
  for (const CString& item : RibbonChoiceItems(element.id)) items.Add(wxString(item.GetString()));
  auto* choice = new wxChoice(&panel, wxID_ANY, wxDefaultPosition, wxSize(kChoiceWidth, -1), items);
  choice->SetToolTip(wxString(RibbonTooltip(element).GetString()));
  if (!items.empty()) choice->SetSelection(0);
  const int id = element.id;
  // The Grid list's choice is its command; the Load Condition list is only read.
  if (!items.empty())
    choice->Bind(wxEVT_CHOICE,
                 [this, id](wxCommandEvent& event) { send(WxCommandId(static_cast<UINT>(id)), event.GetSelection()); });
  auto* column = new wxBoxSizer(wxVERTICAL);
  auto* label = new wxStaticText(&panel, wxID_ANY, toWx(element.label));
  m_choiceLabels.push_back(label);
  column->Add(label, 0, wxLEFT | wxRIGHT | wxTOP, 4);
  column->Add(choice, 0, wxALL, 4);
  sizer.Add(column, 0, wxALIGN_CENTER_VERTICAL);
  m_choices[id] = choice;
}

wxRibbonPage* MainRibbon::FindPage(const wxString& name) {
  for (size_t i = 0; i < GetPageCount(); ++i)
    if (GetPage(static_cast<int>(i))->GetLabel() == name) return GetPage(static_cast<int>(i));
  return nullptr;
}

wxRibbonPanel* MainRibbon::FindPanel(wxRibbonPage* page, const wxString& name) {
  if (page == nullptr) return nullptr;
  for (wxWindow* child : page->GetChildren())
    if (auto* panel = dynamic_cast<wxRibbonPanel*>(child); panel != nullptr && panel->GetLabel() == name)
      return panel;
  return nullptr;
}

wxChoice* MainRibbon::FindChoice(int id) const {
  const auto it = m_choices.find(id);
  return it == m_choices.end() ? nullptr : it->second;
}

wxRibbonControl* MainRibbon::FindCommandBar(int id) const {
  const auto it = m_bars.find(id);
  return it == m_bars.end() ? nullptr : it->second;
}

void MainRibbon::ApplyLook(const ApplicationLook& look) {
  wxRibbonArtProvider* art = look.windows7Art ? new wxRibbonMSWArtProvider : new wxRibbonAUIArtProvider;
  art->SetColourScheme(toWx(look.primary), toWx(look.secondary), toWx(look.tertiary));
  SetArtProvider(art);
  // The lists' names in the colour of the buttons' labels.
  for (wxStaticText* label : m_choiceLabels) label->SetForegroundColour(art->GetColour(wxRIBBON_ART_BUTTON_BAR_LABEL_COLOUR));
  MarkLook(look.id);
  Realize();
  Refresh();
}

void MainRibbon::MarkLook(int id) {
  if (FindApplicationLook(id) != nullptr) m_looksMenu->Check(WxCommandId(static_cast<UINT>(id)), true);
}

bool MainRibbon::IsLookMarked(int id) const {
  return FindApplicationLook(id) != nullptr && m_looksMenu->IsChecked(WxCommandId(static_cast<UINT>(id)));
}

std::unique_ptr<wxMenu> MainRibbon::RecentFilesMenu() const {
  auto menu = std::make_unique<wxMenu>();
  const std::vector<wxString> files = m_wiring.recentFiles ? m_wiring.recentFiles() : std::vector<wxString>();
  for (size_t i = 0; i < files.size(); ++i)
    menu->Append(wxID_FILE1 + static_cast<int>(i), wxString::Format("&%d %s", static_cast<int>(i) + 1, files[i]));
  return menu;
}

void MainRibbon::send(int wxId, int value) {
  wxCommandEvent command(wxEVT_MENU, wxId);
  command.SetEventObject(this);
  command.SetInt(value);
  m_wiring.target->HandleWindowEvent(command);
}

void MainRibbon::onClicked(wxRibbonButtonBarEvent& event) { send(event.GetId(), event.GetInt()); }

void MainRibbon::onTool(wxRibbonToolBarEvent& event) { send(event.GetId(), event.GetInt()); }

void MainRibbon::onDropdown(wxRibbonButtonBarEvent& event) {
  const auto it = m_menuButtons.find(event.GetId());
  if (it == m_menuButtons.end()) return;
  if (it->second == static_cast<int>(RibbonMenu::Looks)) {
    event.PopupMenu(m_looksMenu.get());
    return;
  }
  const std::unique_ptr<wxMenu> recent = RecentFilesMenu();
  if (recent->GetMenuItemCount() > 0) event.PopupMenu(recent.get());
}
