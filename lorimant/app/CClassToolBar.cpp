// The section tree pane's tool bar.
#include "lorimant/app/CClassToolBar.h"

#include <utility>

#include "lorimant/app/SectionTreeImages.h"

CClassToolBar::CClassToolBar(wxWindow* parent, std::function<void(const wxPoint&)> openMenu)
    : wxToolBar(parent, kId, wxDefaultPosition, wxDefaultSize, wxTB_HORIZONTAL | wxTB_FLAT | wxTB_NODIVIDER),
      m_openMenu(std::move(openMenu)) {
  SetToolBitmapSize(wxSize(16, 16));
  AddTool(kMenuButton, wxEmptyString, SectionTreeMenuButtonBitmap(), "Section Tree commands");
  Realize();
  Bind(wxEVT_TOOL, [this](wxCommandEvent&) {
    if (m_openMenu) m_openMenu(wxPoint(0, GetSize().y));
  }, kMenuButton);
}
