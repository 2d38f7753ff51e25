// The wx dialog base on a real window: building, the modal run and its
// test stand-in, refused values that keep the dialog open, the keys and
// the close box, radio groups with no button checked, modeless showing;
// and the folder chooser.
#include <gtest/gtest.h>

#include <array>

#include <wx/choice.h>
#include <wx/radiobut.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/statbox.h>
#include <wx/textctrl.h>
#include <wx/timer.h>

#include "platform/core/Hooks.h"
#include "platform/tests/DialogTestSupport.h"
#include "platform/tests/GuiTestSupport.h"

using dialog_test::Click;
using dialog_test::ModalScript;
using dialog_test::Press;
using dialog_test::Type;

namespace {

enum { IDD_SAMPLE = 7000, IDC_VALUE = 101, IDC_NAME = 102, IDC_FIRST = 103, IDC_SECOND = 104, IDC_NOTES = 105, IDC_LIST = 106, IDC_COMBO = 107 };

// A dialog with a number, a short name, a radio group and a box of lines.
class SampleDialog : public CDialog {
public:
    SampleDialog() : CDialog(IDD_SAMPLE, nullptr, "Sample") {}

    double m_value = 1.5;
    CString m_name = L"abc";
    int m_choice = -1;
    CString m_notes;
    int m_listIndex = 1;
    CString m_comboText = L"Steel";
    int m_cancels = 0;
    bool m_refuseCancel = false;

protected:
    void CreateControls() override
    {
        auto* grid = new wxFlexGridSizer(2, wxSize(0, 0));
        grid->AddGrowableCol(1);
        AddLabelledEdit(grid, IDC_VALUE, "Value");
        AddLabelledEdit(grid, IDC_NAME, "Name");
        AddLabelledEdit(grid, IDC_NOTES, "Notes", wxTE_MULTILINE);
        grid->Add(AddLabel(wxID_STATIC, "List"), 0, wxALL, 5);
        grid->Add(AddCombo(IDC_LIST, wxArrayString(2, std::array<const char*, 2>{"Alpha", "Beta"}.data()), false), 0,
                  wxEXPAND | wxALL, 5);
        grid->Add(AddLabel(wxID_STATIC, "Material"), 0, wxALL, 5);
        grid->Add(AddCombo(IDC_COMBO, wxArrayString(2, std::array<const char*, 2>{"Aluminium", "Titanium"}.data()),
                           true),
                  0, wxEXPAND | wxALL, 5);
        auto* group = new wxStaticBoxSizer(wxHORIZONTAL, this, "Choice");
        group->Add(AddRadio(IDC_FIRST, "First", true, group->GetStaticBox()), 0, wxALL, 5);
        group->Add(AddRadio(IDC_SECOND, "Second", false, group->GetStaticBox()), 0, wxALL, 5);
        auto* top = new wxBoxSizer(wxVERTICAL);
        top->Add(grid, 1, wxEXPAND | wxALL, 5);
        top->Add(group, 0, wxEXPAND | wxALL, 5);
        top->Add(MakeOkCancelRow(), 0, wxEXPAND | wxALL, 5);
        SetSizer(top);
    }
    void DoDataExchange(CDataExchange* pDX) override
    {
        DDX_Text(pDX, IDC_VALUE, m_value);
        DDX_Text(pDX, IDC_NAME, m_name);
        DDV_MaxChars(pDX, m_name, 8);
        DDX_Radio(pDX, IDC_FIRST, m_choice);
        DDX_Text(pDX, IDC_NOTES, m_notes);
        DDX_CBIndex(pDX, IDC_LIST, m_listIndex);
        DDX_CBString(pDX, IDC_COMBO, m_comboText);
    }
    void OnCancel() override
    {
        ++m_cancels;
        if (!m_refuseCancel)
            CDialog::OnCancel();
    }
};

class GuiDialog : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(gui_test::StartWx()) << "wx could not start: the GUI tests need a display (xvfb-run)";
        Hooks::reset();
    }
    void TearDown() override
    {
        Hooks::reset();
        gui_test::Flush();
    }
    static std::vector<std::wstring> prompts()
    {
        std::vector<std::wstring> out;
        for (const MessageBoxCall& call : Hooks::messageBoxes())
            out.push_back(call.text.str());
        return out;
    }
};

} // namespace

TEST_F(GuiDialog, RefusedNumberKeepsTheDialogOpenWithTheFocusOnIt)
{
    SampleDialog dialog;
    bool seen = false;
    ModalScript script([&](CDialog& d) {
        seen = true;
        EXPECT_EQ(d.GetTemplateId(), static_cast<UINT>(IDD_SAMPLE));
        EXPECT_EQ(d.GetDlgItemText(IDC_VALUE), CString(L"1.5"));
        EXPECT_EQ(d.GetDlgItemText(IDC_NAME), CString(L"abc"));
        EXPECT_EQ(d.GetRadio(IDC_FIRST), -1); // no button checked
        EXPECT_EQ(d.GetDlgItemText(IDC_LIST), CString(L"Beta"));
        EXPECT_EQ(d.GetDlgItemText(IDC_COMBO), CString(L"Steel")); // a text of its own
        gui_test::SaveWindowPng(d, "dialog_sample");

        Type(d, IDC_VALUE, "abc");
        Click(d, IDOK);
        EXPECT_EQ(prompts(), std::vector<std::wstring>{L"Please enter a number."});
        EXPECT_TRUE(d.IsShown());
        EXPECT_EQ(dialog_test::FocusedId(d), IDC_VALUE);
        EXPECT_EQ(dialog.m_value, 1.5);

        // The box itself takes no more characters than the exchange allows.
        Type(d, IDC_NAME, "a name t");
        static_cast<wxTextCtrl*>(d.GetDlgItem(IDC_NAME))->AppendText("oo long");
        EXPECT_EQ(d.GetDlgItemText(IDC_NAME), CString(L"a name t"));

        Type(d, IDC_VALUE, "2.5e1");
        Type(d, IDC_NAME, "short");
        dialog_test::Tick(d, IDC_SECOND);
        d.SetCurSel(IDC_LIST, 0);
        d.SetCurSel(IDC_COMBO, 1);
        Click(d, IDOK);
        EXPECT_FALSE(d.IsShown());
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_TRUE(seen);
    EXPECT_EQ(dialog.m_value, 25.0);
    EXPECT_EQ(dialog.m_name, CString(L"short"));
    EXPECT_EQ(dialog.m_choice, 1);
    EXPECT_EQ(dialog.m_listIndex, 0);
    EXPECT_EQ(dialog.m_comboText, CString(L"Titanium"));
}

TEST_F(GuiDialog, RadioGroupCanHoldNoCheckedButton)
{
    SampleDialog dialog;
    ModalScript script([&](CDialog& d) {
        for (int index : {1, 0, -1, 5, 1}) {
            d.SetRadio(IDC_FIRST, index);
            EXPECT_EQ(d.GetRadio(IDC_FIRST), index == 5 ? -1 : index);
        }
        EXPECT_EQ(d.GetCheck(IDC_SECOND), BST_CHECKED);
        EXPECT_THROW(d.GetRadio(IDC_SECOND), std::logic_error);
        EXPECT_THROW(d.GetText(4242), std::logic_error);
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL); // left open by the script
}

TEST_F(GuiDialog, KeysAndTheCloseBox)
{
    struct Case {
        const char* what;
        std::function<void(CDialog&)> act;
        int code;
        int cancels; // OnCancel runs
    };
    const Case cases[] = {
        {"Escape", [](CDialog& d) { Press(d, WXK_ESCAPE); }, IDCANCEL, 1},
        {"Enter in a line box", [](CDialog& d) { Press(d, WXK_RETURN, IDC_VALUE); }, IDOK, 0},
        {"Enter with OK disabled: left open",
         [](CDialog& d) {
             d.GetDlgItem(IDOK)->Disable();
             Press(d, WXK_RETURN, IDC_VALUE);
             EXPECT_TRUE(d.IsShown());
         },
         IDCANCEL, 0},
        {"Cancel button", [](CDialog& d) { Click(d, IDCANCEL); }, IDCANCEL, 1},
        {"close box", [](CDialog& d) { d.Close(); }, IDCANCEL, 1},
    };
    for (const Case& c : cases) {
        SampleDialog dialog;
        ModalScript script(c.act);
        EXPECT_EQ(dialog.DoModal(), c.code) << c.what;
        EXPECT_EQ(dialog.m_cancels, c.cancels) << c.what;
    }

    // Enter in a box of lines is a new line, and OnCancel may refuse to close.
    SampleDialog dialog;
    dialog.m_refuseCancel = true;
    ModalScript script([&](CDialog& d) {
        Press(d, WXK_RETURN, IDC_NOTES);
        EXPECT_TRUE(d.IsShown());
        Press(d, WXK_ESCAPE);
        d.Close();
        EXPECT_TRUE(d.IsShown());
        EXPECT_EQ(dialog.m_cancels, 2);
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
}

TEST_F(GuiDialog, RealModalLoopReturnsTheEndCode)
{
    // The window system's own modal loop, ended from inside by a timer (a
    // second timer ends a loop that did not see the first).
    SampleDialog dialog;
    wxTimer first, guard;
    first.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        Type(dialog, IDC_VALUE, "4");
        Click(dialog, IDOK);
    });
    guard.Bind(wxEVT_TIMER, [&](wxTimerEvent&) { dialog.EndDialog(IDABORT); });
    first.StartOnce(50);
    guard.StartOnce(10000);
    EXPECT_EQ(dialog.DoModal(), IDOK);
    guard.Stop();
    EXPECT_EQ(dialog.m_value, 4.0);

    // A second run shows the members again.
    dialog.m_value = 8;
    ModalScript script([](CDialog& d) { EXPECT_EQ(d.GetDlgItemText(IDC_VALUE), CString(L"8")); });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
}

TEST_F(GuiDialog, ModelessDialogHidesOnEnd)
{
    SampleDialog dialog;
    dialog.ShowModeless();
    gui_test::Flush();
    EXPECT_TRUE(dialog.IsShown());
    EXPECT_FALSE(dialog.IsModal());
    Type(dialog, IDC_VALUE, "3");
    Click(dialog, IDOK);
    EXPECT_FALSE(dialog.IsShown());
    EXPECT_EQ(dialog.GetEndCode(), IDOK);
    EXPECT_EQ(dialog.m_value, 3.0);
}

TEST_F(GuiDialog, FolderBrowser)
{
    CXSBrowseFolder browse;
    EXPECT_EQ(browse.GetStyle(), 0u);
    browse.ModifyStyle(0x3, 0);
    EXPECT_EQ(browse.ModifyStyle(0x40, 0x1), 0x42u);
    EXPECT_EQ(browse.GetStyle(), 0x42u);
    browse.SetTitle(L"Pick the export folder");
    browse.SetTitle(nullptr); // ignored
    EXPECT_EQ(browse.GetTitle(), CString(L"Pick the export folder"));

    int shown = 0;
    // 300 characters: longer than the 260 a fixed buffer would hold.
    const std::wstring longFolder = L"/tmp/" + std::wstring(200, L'a') + L"/" + std::wstring(94, L'b');
    ASSERT_EQ(longFolder.size(), 300u);
    dialog_test::FolderScript script([&](wxDirDialog& dialog, wxString& chosen) {
        ++shown;
        EXPECT_EQ(dialog.GetMessage(), wxString("Pick the export folder"));
        chosen = wxString(longFolder);
        return shown == 1 ? wxID_OK : wxID_CANCEL;
    });
    EXPECT_EQ(browse.Show(nullptr, nullptr), CXSBrowseFolder::RET_NOPATH);
    EXPECT_EQ(shown, 0); // nothing shown without a path to fill

    CString path = L"unchanged";
    EXPECT_EQ(browse.Show(nullptr, &path), CXSBrowseFolder::RET_OK);
    EXPECT_EQ(path.str(), longFolder);
    path = L"unchanged";
    EXPECT_EQ(browse.Show(nullptr, &path), CXSBrowseFolder::RET_CANCEL);
    EXPECT_EQ(path, CString(L"unchanged"));

    // A copy carries every member; a title keeps its first 259 characters.
    browse.SetTitle(std::wstring(300, L't').c_str());
    const CXSBrowseFolder copy = browse;
    EXPECT_EQ(copy.GetStyle(), 0x42u);
    EXPECT_EQ(copy.GetTitle().str(), std::wstring(259, L't'));
}

namespace {

// A dialog that ends itself while it initialises, as a dialog with nothing
// to show does.
class SelfEndingDialog : public SampleDialog {
protected:
    BOOL OnInitDialog() override
    {
        SampleDialog::OnInitDialog();
        EndDialog(IDABORT);
        return TRUE;
    }
};

} // namespace

TEST_F(GuiDialog, EndDialogWhileInitialisingEndsTheModalRun)
{
    SelfEndingDialog dialog;
    // Ends a loop that did not end by itself (the fault) instead of hanging.
    wxTimer guard;
    guard.Bind(wxEVT_TIMER, [&](wxTimerEvent&) { dialog.EndDialog(IDRETRY); });
    guard.StartOnce(3000);
    EXPECT_EQ(dialog.DoModal(), IDABORT);
    guard.Stop();
    EXPECT_FALSE(dialog.IsShown());
    // Shown without a loop, it stays hidden; under a test script too.
    dialog.ShowModeless();
    gui_test::Flush();
    EXPECT_FALSE(dialog.IsShown());
    EXPECT_EQ(dialog.GetEndCode(), IDABORT);
    bool scripted = false;
    ModalScript script([&](CDialog&) { scripted = true; });
    EXPECT_EQ(dialog.DoModal(), IDABORT);
    EXPECT_FALSE(scripted);
}

TEST_F(GuiDialog, LimitedBoxShowsALongerMemberWholeAndRefusesIt)
{
    // The limit keeps the user from typing more; it never cuts what the
    // member holds: OK then asks for a shorter text.
    SampleDialog dialog;
    dialog.m_name = L"a name of 14ch";
    ModalScript script([&](CDialog& d) {
        EXPECT_EQ(d.GetDlgItemText(IDC_NAME), CString(L"a name of 14ch"));
        Click(d, IDOK);
        EXPECT_EQ(prompts(), std::vector<std::wstring>{L"Enter no more than 8 characters."});
        EXPECT_TRUE(d.IsShown());
        EXPECT_EQ(dialog_test::FocusedId(d), IDC_NAME);
        Type(d, IDC_NAME, "short");
        Click(d, IDOK);
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.m_name, CString(L"short"));
}
