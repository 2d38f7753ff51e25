// The window of a section view.
#include "lorimant/ui/SectionCanvas.h"

#include "lorimant/ui/Calculator.h"

#include <wx/colordlg.h>
#include <wx/dcclient.h>
#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/image.h>
#include <wx/log.h>
#include <wx/menu.h>
#include <wx/toplevel.h>
#include <wx/utils.h>

#include <cstdint>

#include "lorimant/ui/C2dPoint.h"
#include "lorimant/ui/CAskValueDlg.h"
#include "lorimant/ui/CGetStringDlg.h"
#include "lorimant/ui/CMatlMgmtDlg.h"
#include "lorimant/ui/MeshDialogWindows.h"
#include "lorimant/ui/CPtsAtAnglesDlg.h"
#include "lorimant/ui/CommandIds.h"
#include "lorimant/ui/ExceptionReport.h"
#include "lorimant/ui/FileQuestions.h"
#include "lorimant/ui/CPlasticBendingAboutNADlg.h"
#include "lorimant/ui/CUnrestrainedBendingDlg.h"
#include "lorimant/ui/ShapeDialogWindows.h"
#include "lorimant/view/CThickSectionView.h"
#include "lorimant/view/SectionDialogs.h"
#include "platform/core/Hooks.h"
#include "platform/gl/COffscreenContext.h"

namespace {

// The wx ids of the commands that the view's table may hold.
constexpr int kFirstCommand = WxCommandId(kFirstShiftedCommand);
constexpr int kLastCommand = WxCommandId(kLastShiftedCommand);

// wx timer ids: the hover timer, and the view's timers from a base.
constexpr int kHoverTimerId = 1;
constexpr int kViewTimerBase = 100;

// The wx key codes the view uses, and its own codes for them.
struct KeyCode {
  int wx;
  int view;
};

constexpr KeyCode kKeyCodes[] = {
    {WXK_ESCAPE, ViewKeyCode::Escape},       {WXK_BACK, ViewKeyCode::Back},
    {WXK_DELETE, ViewKeyCode::Delete},       {WXK_NUMPAD_DELETE, ViewKeyCode::Delete},
    {WXK_LEFT, ViewKeyCode::Left},           {WXK_NUMPAD_LEFT, ViewKeyCode::Left},
    {WXK_UP, ViewKeyCode::Up},               {WXK_NUMPAD_UP, ViewKeyCode::Up},
    {WXK_RIGHT, ViewKeyCode::Right},         {WXK_NUMPAD_RIGHT, ViewKeyCode::Right},
    {WXK_DOWN, ViewKeyCode::Down},           {WXK_NUMPAD_DOWN, ViewKeyCode::Down},
};

// The view's code of a wx key code; 0 for a key the view never uses.
int viewKeyCode(int wxCode) {
  if (wxCode >= 'A' && wxCode <= 'Z') return wxCode;
  for (const KeyCode& k : kKeyCodes)
    if (k.wx == wxCode) return k.view;
  return 0;
}

wxStockCursor stockCursor(ViewCursor cursor) {
  switch (cursor) {
    case ViewCursor::Cross: return wxCURSOR_CROSS;
    case ViewCursor::Wait: return wxCURSOR_WAIT;
    case ViewCursor::Arrow: break;
  }
  return wxCURSOR_ARROW;
}

}  // namespace

SectionCanvas::SectionCanvas(wxWindow* parent, CThickSectionView& view)
    : wxWindow(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxWANTS_CHARS | wxBORDER_NONE),
      m_view(&view),
      m_input(std::make_unique<SectionViewInput>(view, *this)),
      m_cursor(wxCURSOR_ARROW),
      m_hoverTimer(this, kHoverTimerId) {
  // The whole client area is the view's picture: nothing to erase.
  SetBackgroundStyle(wxBG_STYLE_PAINT);
  EnableTouchEvents(wxTOUCH_ALL_GESTURES);
  bindEvents();
  if (parent != nullptr) bindCommands(*parent);
  view.attachWindow(this);
  RegisterShapeDialogs(SectionDialogFactory::standard());
  RegisterAnalysisDialogs(SectionDialogFactory::standard());
  RegisterPlasticBendingDialog(SectionDialogFactory::standard());
  view.setDialogFactory(&SectionDialogFactory::standard());
  const wxSize size = GetClientSize();
  if (size.x > 0 && size.y > 0) RunGuarded([&] { view.OnSize(0, size.x, size.y); });
}

SectionCanvas::~SectionCanvas() {
  m_hoverTimer.Stop();
  m_timers.clear();
  if (m_commandSource != nullptr) {
    m_commandSource->Unbind(wxEVT_MENU, &SectionCanvas::onCommand, this, kFirstCommand, kLastCommand);
    m_commandSource->Unbind(wxEVT_UPDATE_UI, &SectionCanvas::onUpdateCommand, this, kFirstCommand, kLastCommand);
  }
  if (HasCapture()) ReleaseMouse();
  if (m_view != nullptr && m_view->host() == static_cast<CViewHost*>(this)) m_view->attachWindow(nullptr);
}

void SectionCanvas::bindCommands(wxEvtHandler& source) {
  m_commandSource = &source;
  source.Bind(wxEVT_MENU, &SectionCanvas::onCommand, this, kFirstCommand, kLastCommand);
  source.Bind(wxEVT_UPDATE_UI, &SectionCanvas::onUpdateCommand, this, kFirstCommand, kLastCommand);
}

void SectionCanvas::bindEvents() {
  Bind(wxEVT_PAINT, &SectionCanvas::onPaint, this);
  Bind(wxEVT_SIZE, &SectionCanvas::onSize, this);
  for (const wxEventTypeTag<wxMouseEvent>& type : {wxEVT_LEFT_DOWN, wxEVT_LEFT_UP, wxEVT_LEFT_DCLICK, wxEVT_MIDDLE_DOWN, wxEVT_MIDDLE_UP,
                                 wxEVT_RIGHT_DOWN, wxEVT_RIGHT_UP, wxEVT_MOTION, wxEVT_MOUSEWHEEL, wxEVT_LEAVE_WINDOW})
    Bind(type, &SectionCanvas::onMouse, this);
  Bind(wxEVT_MOUSE_CAPTURE_LOST, [this](wxMouseCaptureLostEvent&) {
    if (SectionViewInput* in = input()) RunGuarded([&] { in->captureLost(); });
  });
  Bind(wxEVT_SET_CURSOR, [this](wxSetCursorEvent& event) { event.SetCursor(m_cursor); });
  Bind(wxEVT_KEY_DOWN, &SectionCanvas::onKeyDown, this);
  Bind(wxEVT_CONTEXT_MENU, &SectionCanvas::onContextMenu, this);
  Bind(wxEVT_TIMER, &SectionCanvas::onTimer, this);
  // A chosen entry of the pop-up menu.
  Bind(wxEVT_MENU, &SectionCanvas::onCommand, this, kFirstCommand, kLastCommand);
  // Touch gestures.
  Bind(wxEVT_GESTURE_PAN, [this](wxPanGestureEvent& e) {
    if (SectionViewInput* in = input())
      RunGuarded([&] { in->panGesture(CPoint(0, 0), CPoint(e.GetDelta().x, e.GetDelta().y)); });
  });
  Bind(wxEVT_GESTURE_ZOOM, [this](wxZoomGestureEvent& e) {
    if (SectionViewInput* in = input())
      RunGuarded([&] { in->zoomGesture(CPoint(e.GetPosition().x, e.GetPosition().y), e.GetZoomFactor(), e.IsGestureStart()); });
  });
  Bind(wxEVT_GESTURE_ROTATE, [this](wxRotateGestureEvent& e) {
    if (SectionViewInput* in = input())
      RunGuarded([&] { in->rotateGesture(CPoint(e.GetPosition().x, e.GetPosition().y), e.IsGestureStart()); });
  });
  Bind(wxEVT_TWO_FINGER_TAP, [this](wxTwoFingerTapEvent& e) {
    if (SectionViewInput* in = input())
      RunGuarded([&] { in->twoFingerTap(CPoint(e.GetPosition().x, e.GetPosition().y)); });
  });
  Bind(wxEVT_PRESS_AND_TAP, [this](wxPressAndTapEvent& e) {
    if (SectionViewInput* in = input())
      RunGuarded([&] { in->pressAndTap(CPoint(e.GetPosition().x, e.GetPosition().y)); });
  });
}

// ---- painting and size ----

void SectionCanvas::onPaint(wxPaintEvent& /*event*/) {
  wxPaintDC dc(this);
  if (m_view != nullptr && (m_pictureStale || !m_picture.IsOk() || m_picture.GetSize() != GetClientSize())) {
    m_painting = true;
    try {
      m_view->OnPaint();
    } catch (...) {
      // A box now would paint over the paint; it is shown once the paint is
      // over, and the picture is not tried again until the next change.
      const CString text = CurrentExceptionText();
      CallAfter([text] { Hooks::messageBox(text, CString(), MB_OK | MB_ICONSTOP); });
    }
    m_painting = false;
    m_pictureStale = false;
  }
  if (m_picture.IsOk()) {
    dc.DrawBitmap(m_picture, 0, 0, false);
  } else {
    dc.SetBackground(wxBrush(wxColour(214, 214, 214)));
    dc.Clear();
  }
}

void SectionCanvas::onSize(wxSizeEvent& event) {
  const wxSize size = GetClientSize();
  m_pictureStale = true;
  if (m_view != nullptr && size.x > 0 && size.y > 0) RunGuarded([&] { m_view->OnSize(0, size.x, size.y); });
  Refresh(false);
  event.Skip();
}

void SectionCanvas::presentBuffer() {
  if (m_view == nullptr) return;
  const COffscreenContext* buffer = m_view->buffer();
  if (buffer == nullptr || !buffer->isValid() || buffer->width() <= 0 || buffer->height() <= 0) return;
  const int w = buffer->width();
  const int h = buffer->height();
  wxImage image(w, h, false);
  unsigned char* out = image.GetData();
  const bool bgra = buffer->order() == PixelOrder::BGRA;
  // The buffer's rows run bottom to top, the image's top to bottom.
  for (int y = 0; y < h; ++y) {
    const std::uint8_t* in = buffer->bits() + buffer->rowBytes() * static_cast<std::size_t>(h - 1 - y);
    for (int x = 0; x < w; ++x, in += 4, out += 3) {
      out[0] = bgra ? in[2] : in[0];
      out[1] = in[1];
      out[2] = bgra ? in[0] : in[2];
    }
  }
  m_picture = wxBitmap(image);
  m_pictureStale = false;
  if (!m_painting) {
    Refresh(false);
    Update();
  }
}

CRect SectionCanvas::clientRect() const {
  const wxSize size = GetClientSize();
  return CRect(0, 0, size.x, size.y);
}

void SectionCanvas::invalidate(bool /*erase*/) {
  m_pictureStale = true;
  Refresh(false);
}

void SectionCanvas::updateWindow() { Update(); }

ViewCursor SectionCanvas::setCursor(ViewCursor cursor) {
  const ViewCursor previous = m_viewCursor;
  m_viewCursor = cursor;
  m_cursor = wxCursor(stockCursor(cursor));
  SetCursor(m_cursor);
  return previous;
}

void SectionCanvas::captureMouse() {
  if (!HasCapture()) CaptureMouse();
}

void SectionCanvas::releaseMouse() {
  if (HasCapture()) ReleaseMouse();
}

// ---- input ----

void SectionCanvas::onMouse(wxMouseEvent& event) {
  const wxEventType type = event.GetEventType();
  if (event.ButtonDown()) {
    SetFocus();
    event.Skip();
  }
  if (type == wxEVT_LEAVE_WINDOW) {
    m_hoverTimer.Stop();
    return;
  }
  SectionViewInput* in = input();
  if (in == nullptr) return;
  const CPoint p(event.GetX(), event.GetY());
  RunGuarded([&] {
    if (type == wxEVT_LEFT_DOWN) in->leftDown(p);
    else if (type == wxEVT_LEFT_UP) in->leftUp(p);
    else if (type == wxEVT_LEFT_DCLICK) in->leftDoubleClick(p);
    else if (type == wxEVT_MIDDLE_DOWN) in->middleDown(p);
    else if (type == wxEVT_MIDDLE_UP) in->middleUp(p);
    else if (type == wxEVT_RIGHT_UP) in->rightUp(p);
    else if (type == wxEVT_MOTION) {
      m_lastMouse = event.GetPosition();
      in->mouseMove(p);
    } else if (type == wxEVT_MOUSEWHEEL && event.GetWheelAxis() == wxMOUSE_WHEEL_VERTICAL) {
      in->wheel(event.GetWheelRotation());
    }
  });
}

void SectionCanvas::onKeyDown(wxKeyEvent& event) {
  SectionViewInput* in = input();
  ViewKey key;
  key.code = viewKeyCode(event.GetKeyCode());
  key.ctrl = event.ControlDown();
  key.shift = event.ShiftDown();
  key.alt = event.AltDown();
  bool used = false;
  if (in != nullptr && key.code != 0) RunGuarded([&] {
      used = true;  // a key whose work failed was still the view's
      used = in->keyDown(key);
    });
  // Keys the view does not use (Shift+F10, Tab, ...) go on.
  if (!used) event.Skip();
}

void SectionCanvas::onContextMenu(wxContextMenuEvent& event) {
  SectionViewInput* in = input();
  if (in == nullptr) return;
  const wxPoint at = event.GetPosition();
  const bool fromKeyboard = at == wxDefaultPosition;
  const wxPoint client = fromKeyboard ? wxPoint() : ScreenToClient(at);
  RunGuarded([&] { in->contextMenu(CPoint(client.x, client.y), fromKeyboard); });
}

void SectionCanvas::onTimer(wxTimerEvent& event) {
  SectionViewInput* in = input();
  if (in == nullptr) return;
  if (event.GetId() == kHoverTimerId) {
    RunGuarded([&] { in->hover(CPoint(m_lastMouse.x, m_lastMouse.y)); });
    return;
  }
  RunGuarded([&] { in->timer(event.GetId() - kViewTimerBase); });
}

void SectionCanvas::startTimer(int id, int milliseconds) {
  std::unique_ptr<wxTimer>& timer = m_timers[id];
  if (!timer) timer = std::make_unique<wxTimer>(this, kViewTimerBase + id);
  timer->StartOnce(milliseconds);
}

void SectionCanvas::killTimer(int id) {
  const auto it = m_timers.find(id);
  if (it != m_timers.end() && it->second) it->second->Stop();
}

void SectionCanvas::trackHover(int milliseconds) { m_hoverTimer.StartOnce(milliseconds); }

// ---- commands ----

void SectionCanvas::onCommand(wxCommandEvent& event) {
  const UINT id = CommandOfWxId(event.GetId());
  if (m_view == nullptr || !isSectionCommand(id)) {
    event.Skip();
    return;
  }
  bool ran = false;
  RunGuarded([&] {
    ran = m_view->OnUpdateCommandUI(id).enabled;
    if (ran) m_view->RunCommand(id, event.GetInt());
  });
  if (!ran) event.Skip();
}

void SectionCanvas::onUpdateCommand(wxUpdateUIEvent& event) {
  const UINT id = CommandOfWxId(event.GetId());
  // New belongs to the application, not to the view.
  if (m_view == nullptr || !isSectionCommand(id) || id == SectionCommand::New) {
    event.Skip();
    return;
  }
  try {
    const CommandUpdate update = m_view->OnUpdateCommandUI(id);
    event.Enable(update.enabled);
    if (update.checked >= 0) event.Check(update.checked == 1);
  } catch (...) {
    // Asked on every idle moment: a box here would come back at once.
    event.Enable(false);
  }
}

void SectionCanvas::popupMenu(const ViewMenu& menu, CPoint clientPoint) {
  wxMenu popup;
  for (const ViewMenuEntry& e : menu.entries) {
    popup.Append(WxCommandId(e.id), wxString(e.label.GetString()));
    popup.Enable(WxCommandId(e.id), e.enabled);
  }
  showPopup(popup, wxPoint(clientPoint.x, clientPoint.y));
}

void SectionCanvas::showPopup(wxMenu& menu, const wxPoint& at) { PopupMenu(&menu, at); }

// ---- questions and programs ----

bool SectionCanvas::startProgram(const CString& program) { return StartProgram(program); }

bool SectionCanvas::askValue(const CString& prompt, double& value) {
  CAskValueDlg dialog(this);
  dialog.m_prompt = prompt;
  dialog.m_value = value;
  if (dialog.DoModal() != IDOK) return false;
  value = dialog.m_value;
  return true;
}

bool SectionCanvas::askText(const CString& prompt, CString& text) {
  CGetStringDlg dialog(this);
  dialog.m_prompt = prompt;
  dialog.m_answer = text;
  if (dialog.DoModal() != IDOK) return false;
  text = dialog.m_answer;
  return true;
}

bool SectionCanvas::askPoint(double& x, double& y) {
  C2dPoint dialog(this);
  dialog.m_xValue = static_cast<float>(x);
  dialog.m_yValue = static_cast<float>(y);
  if (dialog.DoModal() != IDOK) return false;
  x = dialog.m_xValue;
  y = dialog.m_yValue;
  return true;
}

bool SectionCanvas::pointsAtAngles(PointsAtAngles& request) {
  CPtsAtAnglesDlg dialog(this);
  dialog.m_radius = request.radius;
  dialog.m_points = request.points;
  dialog.m_start = request.start;
  dialog.m_end = request.end;
  if (dialog.DoModal() != IDOK) return false;
  request.radius = dialog.m_radius;
  // The dialog accepts whole counts in range only.
  request.points = static_cast<int>(dialog.m_points);
  request.start = dialog.m_start;
  request.end = dialog.m_end;
  return true;
}

bool SectionCanvas::askColour(int rgb[3]) {
  wxColourData data;
  data.SetColour(wxColour(static_cast<unsigned char>(rgb[0]), static_cast<unsigned char>(rgb[1]),
                          static_cast<unsigned char>(rgb[2])));
  wxColourDialog dialog(this, &data);
  if (dialog.ShowModal() != wxID_OK) return false;
  const wxColour chosen = dialog.GetColourData().GetColour();
  rgb[0] = chosen.Red();
  rgb[1] = chosen.Green();
  rgb[2] = chosen.Blue();
  return true;
}

bool SectionCanvas::saveFile(const FileQuestion& question, CString& path) {
  return AskFileWithDialog(this, question, true, path);
}

bool SectionCanvas::openFile(const FileQuestion& question, CString& path) {
  return AskFileWithDialog(this, question, false, path);
}

int SectionCanvas::chooseFolder(const CString& title, CString& folder) {
  return AskFolderWithBrowser(this, title, folder);
}

void SectionCanvas::viewDestroyed() {
  m_view = nullptr;
  m_hoverTimer.Stop();
  for (auto& [id, timer] : m_timers)
    if (timer) timer->Stop();
  if (HasCapture()) ReleaseMouse();
}

bool SectionCanvas::meshParameters(MeshParameters& parameters) { return RunMeshDialog(this, parameters); }

bool SectionCanvas::localControl(double& size, double& radius) { return RunLocalControlDialog(this, size, radius); }

std::shared_ptr<CMetal> SectionCanvas::chooseMaterial(CXSectionAnalysisDoc& doc) {
  return RunMaterialManager(doc, this);
}

void SectionCanvas::editMaterials(CXSectionAnalysisDoc& doc) { RunMaterialManager(doc, this); }

void SectionCanvas::requestAttention() {
  if (auto* top = dynamic_cast<wxTopLevelWindow*>(wxGetTopLevelParent(this))) top->RequestUserAttention();
}
