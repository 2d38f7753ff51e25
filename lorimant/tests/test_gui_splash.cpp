// The splash window as a real window: shown by the start-up with its two
// lines, hidden by a key or mouse press (which goes no further) or by its
// timer, a second showing that only changes the status and the timer, and
// its picture with the texts in their bands.
#include <wx/display.h>
#include <wx/utils.h>

#include <chrono>

#include "lorimant/document/MainFrameCommands.h"
#include "lorimant/tests/test_gui_support.h"
#include "lorimant/ui/CSplashWindow.h"

namespace {

using namespace gui_lorimant_test;

class GuiSplash : public GuiLorimantTest {
 protected:
  void TearDown() override {
    CSplashWindow::HideSplashScreen();
    gui_test::Flush();
    CSplashWindow::m_statusMessage = L"";
    CSplashWindow::m_millisecondsToDisplay = 0;
    GuiLorimantTest::TearDown();
  }
  static CSplashWindow* splash() { return CSplashWindow::m_pSplashWindow; }
  // Runs the program's events until the splash window is gone (5 s at
  // most); how long that took.
  static std::chrono::steady_clock::duration waitUntilHidden() {
    const auto begin = std::chrono::steady_clock::now();
    while (splash() != nullptr && std::chrono::steady_clock::now() - begin < std::chrono::seconds(5)) {
      gui_test::Flush();
      wxMilliSleep(20);
    }
    return std::chrono::steady_clock::now() - begin;
  }
  static bool hasStatusBand(CSplashWindow& window) {
    for (const auto& band : window.CurrentBands())
      if (band.rect.top == 390) return true;
    return false;
  }
};

TEST_F(GuiSplash, TheStartShowsBothLinesAndTheTimerEndsIt) {
  // The start as the program runs it (start() would hide the splash).
  app_->SetStartFile(wxString());
  ASSERT_TRUE(app_->OnInit());
  ASSERT_NE(splash(), nullptr);
  EXPECT_EQ(CSplashWindow::m_statusMessage, CString(kSplashVideosText));
  EXPECT_TRUE(splash()->IsTimerRunning());
  EXPECT_EQ(splash()->TimerInterval(), 1000);
  EXPECT_EQ(CSplashWindow::m_productNameString, CString(L"Lorimant"));
  EXPECT_EQ(CSplashWindow::m_versionString, CString(L"Version 2.0.4"));

  // Timer 1 hides it.
  EXPECT_LT(waitUntilHidden(), std::chrono::seconds(5));
}

TEST_F(GuiSplash, KeyAndButtonPressesHideItAndGoNoFurther) {
  ASSERT_TRUE(start());
  wxKeyEvent key(wxEVT_KEY_DOWN);
  EXPECT_FALSE(CSplashWindow::PreTranslateAppMessage(key));
  EXPECT_EQ(app_->FilterEvent(key), -1);  // goes on as usual

  const wxEventType presses[] = {wxEVT_KEY_DOWN, wxEVT_LEFT_DOWN, wxEVT_RIGHT_DOWN, wxEVT_MIDDLE_DOWN};
  for (wxEventType type : presses) {
    CSplashWindow::ShowSplashScreen(nullptr, kSplashStartingText, 0);
    ASSERT_NE(splash(), nullptr);
    wxMouseEvent move(wxEVT_MOTION);
    EXPECT_FALSE(CSplashWindow::PreTranslateAppMessage(move));
    EXPECT_NE(splash(), nullptr);
    wxEvent* press = type == wxEVT_KEY_DOWN ? static_cast<wxEvent*>(new wxKeyEvent(type)) : new wxMouseEvent(type);
    // Through the application's filter, as every event passes it.
    EXPECT_EQ(app_->FilterEvent(*press), 1);
    delete press;
    EXPECT_EQ(splash(), nullptr);
    gui_test::Flush();
  }
}

TEST_F(GuiSplash, ASecondShowingChangesOnlyStatusAndTimer) {
  ASSERT_TRUE(start());
  CSplashWindow::ShowSplashScreen(nullptr, L"first", 0);
  CSplashWindow* first = splash();
  // Time 0 sets no timer: it stays.
  gui_test::Flush();
  wxMilliSleep(50);
  gui_test::Flush();
  ASSERT_NE(first, nullptr);
  EXPECT_FALSE(first->IsTimerRunning());
  const wxPoint at = first->GetScreenPosition();

  CSplashWindow::ShowSplashScreen(nullptr, L"second", 1000);
  EXPECT_EQ(splash(), first);
  EXPECT_EQ(CSplashWindow::m_statusMessage, CString(L"second"));
  EXPECT_TRUE(first->IsTimerRunning());
  EXPECT_EQ(first->TimerInterval(), 1000);
  EXPECT_EQ(first->GetScreenPosition(), at);

  // No status text: the status keeps its text.
  CSplashWindow::ShowSplashScreen(nullptr, nullptr, 0);
  EXPECT_EQ(CSplashWindow::m_statusMessage, CString(L"second"));
  EXPECT_EQ(splash(), first);

  // The timer set by the second showing hides it after its second.
  const auto waited = waitUntilHidden();
  EXPECT_EQ(splash(), nullptr);
  EXPECT_GE(waited, std::chrono::milliseconds(900));
}

TEST_F(GuiSplash, PictureAndBands) {
  ASSERT_TRUE(start());
  CSplashWindow::ShowSplashScreen(nullptr, kSplashVideosText, 0);
  ASSERT_NE(splash(), nullptr);
  CSplashWindow& window = *splash();
  EXPECT_GE(window.GetClientSize().y, 405);
  EXPECT_TRUE(window.HasFlag(wxSTAY_ON_TOP));
  EXPECT_FALSE(window.HasFlag(wxCAPTION));
  // Without a parent: the middle of the screen.
  const wxRect screen = wxDisplay(0u).GetGeometry();
  const wxPoint middle = window.GetScreenPosition() + window.GetSize() / 2;
  EXPECT_NEAR(middle.x, screen.x + screen.width / 2, 2);
  EXPECT_NEAR(middle.y, screen.y + screen.height / 2, 2);

  const std::vector<CSplashWindowForm::TextBand> bands = window.CurrentBands();
  ASSERT_EQ(bands.size(), 3u);
  EXPECT_EQ(bands[0].text, CString(L"Lorimant"));
  EXPECT_EQ(bands[0].rect, CRect(20, 140, window.GetClientSize().x - 20, 210));
  EXPECT_GT(bands[0].points, 8);
  EXPECT_EQ(bands[1].text, CString(L"Version 2.0.4"));
  EXPECT_EQ(bands[2].text, CString(kSplashVideosText));
  EXPECT_EQ(bands[2].colour, 0xFF0000u);
  EXPECT_FALSE(gui_test::SaveWindowPng(window, "gui_splash").empty());

  // An empty status draws no status line.
  CSplashWindow::ShowSplashScreen(nullptr, L"", 0);
  EXPECT_FALSE(hasStatusBand(window));
  CSplashWindow::HideSplashScreen();
  gui_test::Flush();

  // With a parent: the middle of the parent.
  frame().Show();
  CSplashWindow::ShowSplashScreen(&frame(), L"over the frame", 0);
  ASSERT_NE(splash(), nullptr);
  const wxPoint centre = splash()->GetScreenPosition() + splash()->GetSize() / 2;
  const wxPoint parentCentre = frame().GetScreenPosition() + frame().GetSize() / 2;
  EXPECT_NEAR(centre.x, parentCentre.x, 2);
  EXPECT_NEAR(centre.y, parentCentre.y, 2);
}

}  // namespace
