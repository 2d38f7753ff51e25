// The window of a section view: it paints the view's off-screen picture,
// hands its mouse, keyboard, timer and touch events to the view's input,
// and takes the menu and update-UI events of the frame that holds it to
// the view's commands and update rules (wx ids as CommandIds.h maps them).
// It is the view's host; message boxes and status texts go through the
// process hooks.
#pragma once

#include <wx/bitmap.h>
#include <wx/timer.h>
#include <wx/window.h>

#include <map>
#include <memory>

#include "lorimant/view/SectionViewHost.h"
#include "lorimant/view/SectionViewInput.h"

class CThickSectionView;
class wxMenu;

class SectionCanvas : public wxWindow, public SectionViewHost {
 public:
  // A canvas in parent showing view; the menu and update-UI events of
  // parent (the frame holding it) reach the view's commands.
  SectionCanvas(wxWindow* parent, CThickSectionView& view);
  // The view goes back to its windowless host.
  ~SectionCanvas() override;
  SectionCanvas(const SectionCanvas&) = delete;
  SectionCanvas& operator=(const SectionCanvas&) = delete;

  // The view shown (null once it was destroyed).
  CThickSectionView* view() const { return m_view; }

  // ---- the view's host ----
  CRect clientRect() const override;
  void invalidate(bool erase) override;
  void updateWindow() override;
  // Copies the view's buffer into the picture the window paints and
  // paints it at once.
  void presentBuffer() override;
  ViewCursor setCursor(ViewCursor cursor) override;
  void captureMouse() override;
  void releaseMouse() override;
  void startTimer(int id, int milliseconds) override;
  void killTimer(int id) override;
  void trackHover(int milliseconds) override;
  void popupMenu(const ViewMenu& menu, CPoint clientPoint) override;
  // Starts the program found on the PATH (or by its path) without waiting;
  // false, and nothing said, when it cannot start.
  bool startProgram(const CString& commandLine) override;
  // The value dialog (CAskValueDlg) under the prompt.
  bool askValue(const CString& prompt, double& value) override;
  // The text dialog (CGetStringDlg) under the prompt.
  bool askText(const CString& prompt, CString& text) override;
  // The point dialog (C2dPoint): its boxes hold single precision.
  bool askPoint(double& x, double& y) override;
  // The points-at-angles dialog (CPtsAtAnglesDlg).
  bool pointsAtAngles(PointsAtAngles& request) override;
  // The colour chooser.
  bool askColour(int rgb[3]) override;
  // The file and folder questions: wx's file dialog, the folder browser
  // (FileQuestions.h).
  bool saveFile(const FileQuestion& question, CString& path) override;
  bool openFile(const FileQuestion& question, CString& path) override;
  int chooseFolder(const CString& title, CString& folder) override;
  // The mesh dialog ("2D Meshing") and the local size control dialog.
  bool meshParameters(MeshParameters& parameters) override;
  bool localControl(double& size, double& radius) override;
  // The material manager, modal, on the document's database.
  std::shared_ptr<CMetal> chooseMaterial(CXSectionAnalysisDoc& doc) override;
  void editMaterials(CXSectionAnalysisDoc& doc) override;
  // The top-level window asks for the user's attention.
  void requestAttention() override;
  void viewDestroyed() override;

 protected:
  // Shows the menu built for popupMenu at a client point; the chosen entry
  // arrives as a menu event of this window.
  virtual void showPopup(wxMenu& menu, const wxPoint& at);

 private:
  void bindEvents();
  void bindCommands(wxEvtHandler& source);
  void onPaint(wxPaintEvent& event);
  void onSize(wxSizeEvent& event);
  void onMouse(wxMouseEvent& event);
  void onKeyDown(wxKeyEvent& event);
  void onContextMenu(wxContextMenuEvent& event);
  void onTimer(wxTimerEvent& event);
  void onCommand(wxCommandEvent& event);
  void onUpdateCommand(wxUpdateUIEvent& event);
  // The view's input, or null once the view is gone.
  SectionViewInput* input() { return m_view != nullptr ? m_input.get() : nullptr; }

  CThickSectionView* m_view;
  std::unique_ptr<SectionViewInput> m_input;
  wxEvtHandler* m_commandSource = nullptr;
  wxBitmap m_picture;
  bool m_pictureStale = true;
  bool m_painting = false;
  wxCursor m_cursor;
  ViewCursor m_viewCursor = ViewCursor::Arrow;
  std::map<int, std::unique_ptr<wxTimer>> m_timers;
  wxTimer m_hoverTimer;
  wxPoint m_lastMouse;
};
