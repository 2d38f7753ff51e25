// The ribbon of the main frame as one table: every element with its page,
// panel, command id, label, help text, kind and image. The wx ribbon is
// built from it (MainRibbon); the table itself needs no window.
#pragma once

#include <span>
#include <vector>

#include "platform/core/CString.h"

// What an element of the ribbon is.
enum class RibbonKind {
  Button,       // a push button that sends its command
  Toggle,       // a button with a check state (a check box of the command table)
  Choice,       // a drop-down list in the panel; a choice sends the command with the item's index
  SplitButton,  // a button that sends its command, with a drop-down part (Open: the recent files)
  MenuButton,   // a button that only drops down a menu (Style: the looks)
};

// The drop-down menu of a split or menu button.
enum class RibbonMenu { None, RecentFiles, Looks };

struct RibbonElement {
  const wchar_t* page;
  const wchar_t* panel;
  int id;  // the command; 0 for a menu button, whose items carry the commands
  const wchar_t* label;
  const wchar_t* help;  // the tooltip; null: the label
  RibbonKind kind;
  const char* image;  // the name of the element's picture (lorimant/resources)
  RibbonMenu menu = RibbonMenu::None;
};

// The pages in order: "File", "Construction", "Materials", "Computations", "Settings".
std::span<const wchar_t* const> RibbonPages();
// The panels of page in order (none for an unknown page).
std::vector<const wchar_t*> RibbonPanels(const CString& page);
// Every element, page by page and panel by panel in ribbon order.
std::span<const RibbonElement> RibbonElements();
// The element of command id; null when no element sends it.
const RibbonElement* FindRibbonElement(int id);
// The fixed items of a drop-down list (the Grid list: "Behind", "In
// Front", " No Show"); empty for a list filled while the program runs
// (Load Condition) or an id that is no list.
std::vector<CString> RibbonChoiceItems(int id);
// The tooltip of an element: its help text, else its label.
CString RibbonTooltip(const RibbonElement& element);
