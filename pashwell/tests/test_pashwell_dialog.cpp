// The main dialog on a real display (run under xvfb-run): it opens, converts
// on OK and closes; a failure keeps it open with a message.
#include "pashwell/tests/PashwellTestFiles.h"
#include "pashwell/ui/CPashwellDlg.h"

#include <gtest/gtest.h>

#include <wx/app.h>
#include <wx/button.h>
#include <wx/init.h>
#include <wx/textctrl.h>
#include <wx/timer.h>

#include <functional>
#include <vector>

using namespace pashwell_test;
namespace fs = std::filesystem;


namespace {

// The dialog with its failure message captured instead of shown.
class RecordingDlg : public CPashwellDlg {
public:
    using CPashwellDlg::CPashwellDlg;
    std::vector<wxString> failures;

protected:
    void ReportFailure(const wxString& text) override { failures.push_back(text); }
};

class GuiPashwellDialog : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        static int argc = 1;
        static char name[] = "pashwell_tests";
        static char* argv[] = {name, nullptr};
        wxApp::SetInstance(new wxApp);
        started_ = wxEntryStart(argc, argv);
    }
    static void TearDownTestSuite()
    {
        if (started_)
            wxEntryCleanup();
        started_ = false;
    }
    void SetUp() override
    {
        ASSERT_TRUE(started_) << "wx could not start: the GUI tests need a display (xvfb-run)";
    }

    static void fill(wxDialog& dialog, int id, const fs::path& text)
    {
        auto* edit = dynamic_cast<wxTextCtrl*>(dialog.FindWindow(id));
        ASSERT_NE(edit, nullptr) << "edit " << id;
        edit->SetValue(wxString::FromUTF8(text.string()));
    }

    // Shows `dialog` modally, presses the button `buttonId` once it is on
    // screen, and gives up after ten seconds. Returns ShowModal's result and
    // whether the dialog was shown when the button was pressed.
    static int pressWhenShown(wxDialog& dialog, int buttonId, bool& wasShown,
                              std::function<void()> afterPress = {})
    {
        wasShown = false;
        wxTimer guard;
        guard.Bind(wxEVT_TIMER, [&](wxTimerEvent&) { dialog.EndModal(wxID_ABORT); });
        dialog.CallAfter([&, buttonId, afterPress] {
            wasShown = dialog.IsShown();
            auto* button = dynamic_cast<wxButton*>(dialog.FindWindow(buttonId));
            if (button != nullptr) {
                wxCommandEvent click(wxEVT_BUTTON, buttonId);
                click.SetEventObject(button);
                button->GetEventHandler()->ProcessEvent(click);
            }
            if (afterPress)
                afterPress();
        });
        guard.StartOnce(10000);
        const int result = dialog.ShowModal();
        guard.Stop();
        return result;
    }

    static inline bool started_ = false;
};

TEST_F(GuiPashwellDialog, OkConvertsTheJournalAndCloses)
{
    ScratchFolder dir;
    // Longer than the 119 characters an edit once held.
    const std::string name = "replay_" + std::string(120, 'x') + ".m";
    RecordingDlg dialog(nullptr);
    EXPECT_EQ(dialog.GetTitle(), "Convert Log File to MATLAB input");
    fill(dialog, CPashwellDlg::IDC_LOGFILE, dataPath("quenholt_journal.log"));
    fill(dialog, CPashwellDlg::IDC_FOLDER, dir.path());
    fill(dialog, CPashwellDlg::IDC_FILENAME, name);
    for (int id : {CPashwellDlg::IDC_BROWSE_LOGFILE, CPashwellDlg::IDC_BROWSE_FOLDER})
        EXPECT_NE(dynamic_cast<wxButton*>(dialog.FindWindow(id)), nullptr) << "button " << id;

    bool wasShown = false;
    EXPECT_EQ(pressWhenShown(dialog, wxID_OK, wasShown), wxID_OK);
    EXPECT_TRUE(wasShown);
    EXPECT_FALSE(dialog.IsShown());
    EXPECT_TRUE(dialog.failures.empty());
    EXPECT_EQ(readBytes(dir.path() / name), readBytes(dataPath("quenholt_journal.m")));
}

TEST_F(GuiPashwellDialog, MissingJournalShowsMessageAndKeepsDialogOpen)
{
    ScratchFolder dir;
    RecordingDlg dialog(nullptr);
    fill(dialog, CPashwellDlg::IDC_LOGFILE, dir / "missing.log");
    fill(dialog, CPashwellDlg::IDC_FOLDER, dir.path());
    fill(dialog, CPashwellDlg::IDC_FILENAME, "replay.m");

    bool wasShown = false;
    bool openAfterOk = false;
    const int result = pressWhenShown(dialog, wxID_OK, wasShown, [&] {
        openAfterOk = dialog.IsModal();
        dialog.EndModal(wxID_CANCEL);
    });
    EXPECT_EQ(result, wxID_CANCEL);
    EXPECT_TRUE(openAfterOk);
    ASSERT_EQ(dialog.failures.size(), 1u);
    EXPECT_TRUE(dialog.failures[0].Contains("missing.log")) << dialog.failures[0];
    EXPECT_FALSE(fs::exists(dir / "replay.m"));
}

TEST_F(GuiPashwellDialog, CancelClosesWithoutConverting)
{
    ScratchFolder dir;
    RecordingDlg dialog(nullptr);
    fill(dialog, CPashwellDlg::IDC_LOGFILE, dataPath("quenholt_journal.log"));
    fill(dialog, CPashwellDlg::IDC_FOLDER, dir.path());
    fill(dialog, CPashwellDlg::IDC_FILENAME, "replay.m");

    bool wasShown = false;
    EXPECT_EQ(pressWhenShown(dialog, wxID_CANCEL, wasShown), wxID_CANCEL);
    EXPECT_TRUE(wasShown);
    EXPECT_TRUE(fs::is_empty(dir.path()));
}

} // namespace
