// The splash window.
#include "lorimant/ui/CSplashWindow.h"

#include <wx/app.h>
#include <wx/dcclient.h>
#include <wx/dcmemory.h>
#include <wx/font.h>

#include <algorithm>
#include <iterator>

#include "lorimant/resources/LorimantImages.h"

CSplashWindow* CSplashWindow::m_pSplashWindow = nullptr;

namespace {

// The splash window's timer.
constexpr int kSplashTimerId = 1;

// The events that end the splash: key and mouse-button presses.
const wxEventType kClosingEvents[] = {wxEVT_KEY_DOWN, wxEVT_LEFT_DOWN, wxEVT_RIGHT_DOWN, wxEVT_MIDDLE_DOWN};

wxColour toWx(COLORREF c) { return wxColour(GetRValue(c), GetGValue(c), GetBValue(c)); }

wxFont pointFont(const CString& face, int points) {
  return wxFont(wxFontInfo(std::max(points, 1)).FaceName(wxString(face.GetString())));
}

// Measures texts with dc's fonts.
CSplashWindowForm::Measure measureOn(wxDC& dc) {
  return [&dc](const CString& face, int points, const CString& line) {
    dc.SetFont(pointFont(face, points));
    wxCoord w = 0, h = 0;
    dc.GetTextExtent(wxString(line.GetString()), &w, &h);
    return CSize(w, h);
  };
}

}  // namespace

void CSplashWindow::ShowSplashScreen(wxWindow* parent, const wchar_t* status, int milliseconds) {
  if (status != nullptr) m_statusMessage = status;
  m_millisecondsToDisplay = milliseconds;
  if (m_pSplashWindow == nullptr) {
    GetVersionStrings();
    auto* splash = new CSplashWindow;
    if (!splash->Create(parent)) {
      delete splash;
      return;
    }
    m_pSplashWindow = splash;
  }
  CSplashWindow& splash = *m_pSplashWindow;
  if (milliseconds != 0) splash.m_timer.Start(milliseconds, wxTIMER_ONE_SHOT);
  splash.Show();
  // Above the other windows (raised only once shown: raising maps it).
  if (splash.GetParent() == nullptr) splash.Raise();
  splash.Update();
  splash.Refresh();
  // What waits for the window (its painting) is handled now, without waiting.
  if (wxTheApp != nullptr) wxTheApp->Yield(true);
}

void CSplashWindow::HideSplashScreen() {
  CSplashWindow* splash = m_pSplashWindow;
  if (splash == nullptr) return;
  // Gone at once for every caller; wx deletes the window when idle.
  m_pSplashWindow = nullptr;
  splash->m_timer.Stop();
  splash->Destroy();
  wxWindow* main = wxTheApp != nullptr ? wxTheApp->GetTopWindow() : nullptr;
  if (main != nullptr && main != splash && !main->IsBeingDeleted()) main->Update();
}

BOOL CSplashWindow::PreTranslateAppMessage(const wxEvent& event) {
  if (m_pSplashWindow == nullptr) return FALSE;
  const bool closes = std::find(std::begin(kClosingEvents), std::end(kClosingEvents), event.GetEventType()) !=
                      std::end(kClosingEvents);
  if (!closes) return FALSE;
  HideSplashScreen();
  return TRUE;
}

void CSplashWindow::GetVersionStrings() {
  // The program's file is named after the application ("%s.EXE" there).
  const wxString name = wxTheApp != nullptr ? wxTheApp->GetAppName() : wxString("lorimant");
  CString file;
  file.Format(L"%s.EXE", name.wc_str());
  ReadVersionStrings(file);
}

CSplashWindow::~CSplashWindow() {
  if (m_pSplashWindow == this) m_pSplashWindow = nullptr;
}

bool CSplashWindow::Create(wxWindow* parent) {
  m_bitmap = LoadSplashBitmap();
  if (!m_bitmap.IsOk()) return false;
  // No border and no caption. GTK gives a window that cannot be resized the
  // size its contents ask for (none here): the window may be resized, and
  // its size hints then hold it at the picture's size.
  const long style = wxBORDER_NONE | wxRESIZE_BORDER | wxSTAY_ON_TOP | wxFRAME_NO_TASKBAR |
                     (parent != nullptr ? wxFRAME_FLOAT_ON_PARENT : 0);
  if (!wxFrame::Create(parent, wxID_ANY, wxString(m_productNameString.GetString()), wxDefaultPosition,
                       m_bitmap.GetSize(), style))
    return false;
  SetClientSize(m_bitmap.GetSize());
  SetSizeHints(GetSize(), GetSize());
  SetBackgroundStyle(wxBG_STYLE_PAINT);
  m_timer.SetOwner(this, kSplashTimerId);
  Bind(wxEVT_PAINT, &CSplashWindow::OnPaint, this);
  Bind(wxEVT_TIMER, &CSplashWindow::OnTimer, this, kSplashTimerId);
  if (parent != nullptr)
    CentreOnParent();
  else
    CentreOnScreen();
  return true;
}

std::vector<CSplashWindowForm::TextBand> CSplashWindow::CurrentBands() {
  wxClientDC dc(this);
  return PaintPlan(m_bitmap.GetWidth(), measureOn(dc));
}

void CSplashWindow::OnPaint(wxPaintEvent&) {
  wxPaintDC dc(this);
  dc.DrawBitmap(m_bitmap, 0, 0);
  dc.SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
  for (const TextBand& band : PaintPlan(m_bitmap.GetWidth(), measureOn(dc))) {
    const wxRect rect(band.rect.left, band.rect.top, band.rect.Width(), band.rect.Height());
    dc.SetFont(pointFont(band.face, band.points));
    dc.SetTextForeground(toWx(band.colour));
    // One line, centred both ways, cut at the band's edges.
    wxDCClipper clip(dc, rect);
    dc.DrawLabel(wxString(band.text.GetString()), rect, wxALIGN_CENTRE);
  }
}

void CSplashWindow::OnTimer(wxTimerEvent&) { HideSplashScreen(); }
