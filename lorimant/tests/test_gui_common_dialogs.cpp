// The common small dialogs, the print information dialog and the unit
// dialog as real windows: each is built, shown (and photographed), filled
// and closed with OK and with Cancel; refused values keep it open. The
// test process runs under a German locale, so numbers are seen to stay in
// the C locale and grouped numbers to read back with the German separator.
#include <gtest/gtest.h>

#include <wx/sizer.h>
#include <wx/textctrl.h>

#include <algorithm>
#include <limits>
#include <string>

#include "analysis/model/Globals.h"
#include "lorimant/tests/test_gui_support.h"
#include "lorimant/ui/C2dPoint.h"
#include "lorimant/ui/CAskValueDlg.h"
#include "lorimant/ui/CGetReal.h"
#include "lorimant/ui/CGetStringDlg.h"
#include "lorimant/ui/CModalBase.h"
#include "lorimant/ui/CPrintInfoDialog.h"
#include "lorimant/ui/CPtsAtAnglesDlg.h"
#include "lorimant/ui/CUnits.h"
#include "platform/tests/DialogTestSupport.h"

using dialog_test::Click;
using dialog_test::FocusedId;
using dialog_test::ModalScript;
using dialog_test::Press;
using dialog_test::Type;

namespace {

class GuiCommonDialogs : public gui_lorimant_test::GuiLorimantTest {
 protected:
  static std::vector<std::wstring> prompts() {
    std::vector<std::wstring> out;
    for (const MessageBoxCall& call : Hooks::messageBoxes()) out.push_back(call.text.str());
    return out;
  }
};

// A dialog on the modal base with a formatted and a grouped number.
class GroupedDialog : public CModalBase {
 public:
  enum { IDD = 7100, IDC_FORMATTED = 101, IDC_GROUPED = 102 };
  GroupedDialog() : CModalBase(IDD, nullptr, "Grouped") {}
  double m_formatted = 1.23456;
  double m_grouped = 2.6;

 protected:
  void CreateControls() override {
    auto* grid = new wxFlexGridSizer(2, wxSize(0, 0));
    AddLabelledEdit(grid, IDC_FORMATTED, "Formatted");
    AddLabelledEdit(grid, IDC_GROUPED, "Grouped");
    auto* top = new wxBoxSizer(wxVERTICAL);
    top->Add(grid, 1, wxEXPAND | wxALL, 5);
    top->Add(MakeOkCancelRow(), 0, wxEXPAND | wxALL, 5);
    SetSizer(top);
  }
  void DoDataExchange(CDataExchange* pDX) override {
    DDX_FMTDBL(pDX, IDC_FORMATTED, m_formatted, L"%.3f", false);
    DDX_FMTCOMMA(pDX, IDC_GROUPED, m_grouped, false);
  }
};

}  // namespace

TEST_F(GuiCommonDialogs, AskValue) {
  CAskValueDlg dialog;
  dialog.m_prompt = L"Thickness of the web";
  {
    ModalScript script([&](CDialog& d) {
      EXPECT_EQ(d.GetTitle(), wxString("Value"));
      EXPECT_EQ(d.GetDlgItemText(889), CString(L"Thickness of the web"));
      EXPECT_EQ(d.GetDlgItemText(896), CString(L"0"));
      gui_test::SaveWindowPng(d, "dialog_ask_value");
      Type(d, 896, "abc");
      Click(d, IDOK);
      EXPECT_EQ(prompts(), std::vector<std::wstring>{L"Please enter a number."});
      EXPECT_TRUE(d.IsShown());
      EXPECT_EQ(FocusedId(d), 896);
      Type(d, 896, "2.5");
      Click(d, IDOK);
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
  }
  EXPECT_EQ(dialog.m_value, 2.5);

  ModalScript cancel([](CDialog& d) {
    EXPECT_EQ(d.GetDlgItemText(896), CString(L"2.5"));  // C locale, not "2,5"
    Type(d, 896, "7");
    Click(d, IDCANCEL);
  });
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
  EXPECT_EQ(dialog.m_value, 2.5);
}

TEST_F(GuiCommonDialogs, Point) {
  C2dPoint dialog;
  {
    ModalScript script([](CDialog& d) {
      EXPECT_EQ(d.GetTitle(), wxString());
      EXPECT_EQ(d.GetDlgItemText(893), CString(L"0"));
      EXPECT_EQ(d.GetDlgItemText(894), CString(L"0"));
      EXPECT_EQ(FocusedId(d), 893);
      gui_test::SaveWindowPng(d, "dialog_2d_point");
      Type(d, 893, "1.5");
      Type(d, 894, "-2.25");
      Click(d, IDOK);
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
  }
  EXPECT_EQ(dialog.m_xValue, 1.5f);
  EXPECT_EQ(dialog.m_yValue, -2.25f);

  ModalScript cancel([](CDialog& d) {
    Type(d, 893, "9");
    Press(d, WXK_ESCAPE);
  });
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
  EXPECT_EQ(dialog.m_xValue, 1.5f);
}

TEST_F(GuiCommonDialogs, RealWithBounds) {
  CGetReal dialog;
  dialog.m_lower = -1;
  dialog.m_upper = 1;
  {
    ModalScript script([](CDialog& d) {
      EXPECT_EQ(d.GetTitle(), wxString("Floating Point Value"));
      EXPECT_EQ(d.GetDlgItemText(395), CString(L"-1"));
      EXPECT_EQ(d.GetDlgItemText(396), CString(L"1"));
      EXPECT_FALSE(static_cast<wxTextCtrl*>(d.GetDlgItem(395))->IsEditable());
      EXPECT_FALSE(static_cast<wxTextCtrl*>(d.GetDlgItem(396))->IsEditable());
      EXPECT_TRUE(static_cast<wxTextCtrl*>(d.GetDlgItem(394))->IsEditable());
      EXPECT_EQ(FocusedId(d), 394);
      gui_test::SaveWindowPng(d, "dialog_get_real");
      Type(d, 394, "0.75");
      Press(d, WXK_RETURN, 394);  // Enter in the value box is OK
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
  }
  EXPECT_EQ(dialog.m_value, 0.75);

  ModalScript cancel([](CDialog& d) {
    Type(d, 394, "0.5");
    Click(d, IDCANCEL);
  });
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
  EXPECT_EQ(dialog.m_value, 0.75);
}

TEST_F(GuiCommonDialogs, GetString) {
  CGetStringDlg dialog;
  dialog.m_prompt = L"New name of the sub-section";
  {
    ModalScript script([](CDialog& d) {
      EXPECT_EQ(d.GetTitle(), wxString());
      EXPECT_EQ(d.GetDlgItemText(401), CString(L"New name of the sub-section"));
      EXPECT_EQ(d.GetDlgItemText(467), CString());
      gui_test::SaveWindowPng(d, "dialog_get_string");
      Type(d, 467, wxString::FromUTF8("Stütze & Träger"));
      Click(d, IDOK);
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
  }
  EXPECT_EQ(dialog.m_answer, CString::FromUtf8("Stütze & Träger"));

  ModalScript cancel([](CDialog& d) {
    Type(d, 467, "other");
    d.Close();  // the close box
  });
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
  EXPECT_EQ(dialog.m_answer, CString::FromUtf8("Stütze & Träger"));
}

TEST_F(GuiCommonDialogs, PointsAtAngles) {
  CPtsAtAnglesDlg dialog;
  {
    ModalScript script([](CDialog& d) {
      EXPECT_EQ(d.GetTitle(), wxString("Evenly Distributed Points Given Radius and Start Angle End Angle"));
      EXPECT_EQ(d.GetDlgItemText(885), CString(L"10"));
      EXPECT_EQ(d.GetDlgItemText(886), CString(L"8"));
      EXPECT_EQ(d.GetDlgItemText(887), CString(L"0"));
      EXPECT_EQ(d.GetDlgItemText(888), CString(L"360"));
      gui_test::SaveWindowPng(d, "dialog_points_at_angles");

      // Out of range: the range prompt, the box takes the focus.
      const struct {
        int id;
        const char* text;
        const wchar_t* prompt;
      } refused[] = {
          {885, "0", L"Please enter a number between 0.001 and 10000."},
          {885, "10000.5", L"Please enter a number between 0.001 and 10000."},
          {886, "0", L"Please enter a number between 1 and 200."},
          {886, "201", L"Please enter a number between 1 and 200."},
      };
      for (const auto& r : refused) {
        Hooks::reset();
        Type(d, 885, "10");
        Type(d, 886, "8");
        Type(d, r.id, r.text);
        Click(d, IDOK);
        EXPECT_EQ(prompts(), std::vector<std::wstring>{r.prompt}) << r.id << " " << r.text;
        EXPECT_TRUE(d.IsShown());
        EXPECT_EQ(FocusedId(d), r.id);
      }

      Hooks::reset();
      Type(d, 885, "10");
      Type(d, 886, "8");
      Type(d, 887, "100");
      Type(d, 888, "90");
      Click(d, IDOK);
      ASSERT_EQ(Hooks::messageBoxes().size(), 1u);
      EXPECT_EQ(Hooks::messageBoxes()[0].text, CString(L"End angle must be greater than start angle"));
      EXPECT_EQ(Hooks::messageBoxes()[0].caption, CString(L"Points At Radius"));
      EXPECT_EQ(Hooks::messageBoxes()[0].type & MB_ICONMASK, MB_ICONSTOP);
      EXPECT_TRUE(d.IsShown());

      Type(d, 887, "90");
      Click(d, IDOK);
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
  }
  EXPECT_EQ(dialog.m_start, 90.0);
  EXPECT_EQ(dialog.m_end, 90.0);
  EXPECT_EQ(dialog.m_radius, 10.0);

  ModalScript cancel([](CDialog& d) { Click(d, IDCANCEL); });
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
}

TEST_F(GuiCommonDialogs, PrintInformation) {
  CPrintInfoDlg info;
  info.m_titleLocation = CPrintInfoDlg::Bottom;
  info.m_company = L"Old company";
  {
    // Cancel writes nothing.
    CPrintInfoDialog dialog(info);
    ModalScript script([](CDialog& d) {
      Type(d, 359, "Ignored");
      Click(d, IDCANCEL);
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(Settings::GetProfileString(L"Print Information", L"field0", L"absent"), CString(L"absent"));
    EXPECT_EQ(info.m_field[0], CString());
    EXPECT_EQ(info.m_company, CString(L"Old company"));
  }

  CPrintInfoDialog dialog(info);
  ModalScript script([](CDialog& d) {
    EXPECT_EQ(d.GetTitle(), wxString("Print Information"));
    EXPECT_EQ(d.GetRadio(186), 1);  // opening sets Top
    EXPECT_EQ(d.GetDlgItemText(243), CString(L"Old company"));
    const int labels[] = {460, 461, 462, 463, 464, 465, 466};
    const int values[] = {359, 360, 361, 362, 363, 364, 365};
    for (int i = 0; i < 7; ++i) {
      Type(d, labels[i], wxString::Format("Label %d", i));
      Type(d, values[i], wxString::Format("Value %d", i));
    }
    Type(d, 243, "Company");
    Type(d, 680, "Preparer");
    Type(d, 684, "Line one\nLine two");
    dialog_test::Tick(d, 292);
    dialog_test::Tick(d, 683);
    dialog_test::Tick(d, 683, false);  // its click does nothing more
    gui_test::SaveWindowPng(d, "dialog_print_information");

    Press(d, WXK_RETURN, 359);  // Enter does nothing
    EXPECT_TRUE(d.IsShown());
    EXPECT_EQ(Settings::GetProfileString(L"Print Information", L"label0", L"absent"), CString(L"absent"));
    Click(d, 200);
  });
  EXPECT_EQ(dialog.DoModal(), IDOK);
  for (int i = 0; i < 7; ++i) {
    EXPECT_EQ(Settings::GetProfileString(L"Print Information", CString(L"label") + CString(std::to_string(i))),
              CString(L"Label ") + CString(std::to_string(i)));
    EXPECT_EQ(Settings::GetProfileString(L"Print Information", CString(L"field") + CString(std::to_string(i))),
              CString(L"Value ") + CString(std::to_string(i)));
  }
  EXPECT_EQ(Settings::GetProfileString(L"Print Information", L"company", L"absent"), CString(L"absent"));
  EXPECT_EQ(info.m_company, CString(L"Company"));
  EXPECT_EQ(info.m_preparedBy, CString(L"Preparer"));
  EXPECT_EQ(info.m_title, CString(L"Line one\nLine two"));
  EXPECT_EQ(info.m_constructionInfo, TRUE);
  EXPECT_EQ(info.m_materials, FALSE);
  EXPECT_EQ(info.m_titleLocation, 1);
}

TEST_F(GuiCommonDialogs, Units) {
  gUnitSystem = SI;
  CUnits dialog;
  {
    ModalScript script([](CDialog& d) {
      EXPECT_EQ(d.GetTitle(), wxString("Units"));
      EXPECT_EQ(d.GetRadio(397), 1);  // USCS (in,lbf)
      EXPECT_EQ(d.FindWindow(IDCANCEL), nullptr);  // no Cancel button
      gui_test::SaveWindowPng(d, "dialog_units");
      Click(d, IDOK);
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
  }
  EXPECT_EQ(dialog.m_selection, 1);
  EXPECT_EQ(gUnitSystem, SI);  // only the choice is returned

  {
    ModalScript script([](CDialog& d) {
      dialog_test::Tick(d, 397);
      Press(d, WXK_RETURN, 397);
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
  }
  EXPECT_EQ(dialog.m_selection, 0);
  EXPECT_EQ(gUnitSystem, SI);

  dialog.m_selection = -1;
  ModalScript none([](CDialog& d) {
    EXPECT_EQ(d.GetRadio(397), -1);
    Click(d, IDOK);
    ASSERT_EQ(Hooks::messageBoxes().size(), 1u);
    EXPECT_EQ(Hooks::messageBoxes()[0].text, CString(L"Selection is required"));
    EXPECT_EQ(Hooks::messageBoxes()[0].caption, CString(L"Units Selection"));
    EXPECT_TRUE(d.IsShown());
    Press(d, WXK_ESCAPE);
  });
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
  EXPECT_EQ(dialog.m_selection, -1);
}

TEST_F(GuiCommonDialogs, ModalBaseFormatsAndGroups) {
  GroupedDialog dialog;
  {
    ModalScript script([](CDialog& d) {
      EXPECT_EQ(d.GetDlgItemText(GroupedDialog::IDC_FORMATTED), CString(L"1.235"));
      EXPECT_EQ(d.GetDlgItemText(GroupedDialog::IDC_GROUPED), CString(L"3"));
      Type(d, GroupedDialog::IDC_GROUPED, "12.500");  // German grouping
      Type(d, GroupedDialog::IDC_FORMATTED, "");      // an empty box keeps its value
      Click(d, IDOK);
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
  }
  EXPECT_EQ(dialog.m_grouped, 12500.0);
  EXPECT_EQ(dialog.m_formatted, 1.23456);

  ModalScript again([](CDialog& d) {
    EXPECT_EQ(d.GetDlgItemText(GroupedDialog::IDC_GROUPED), CString(L"12.500"));
    gui_test::SaveWindowPng(d, "dialog_modal_base");
    Type(d, GroupedDialog::IDC_GROUPED, "1.234.567");
    Click(d, IDOK);
    EXPECT_EQ(d.GetDlgItemText(GroupedDialog::IDC_GROUPED), CString(L"1234567"));  // cleaned text put back
  });
  EXPECT_EQ(dialog.DoModal(), IDOK);
  EXPECT_EQ(dialog.m_grouped, 1234567.0);
}

TEST_F(GuiCommonDialogs, BoundsAreShownOnlyAndNeverBlockOk) {
  // Bounds that "%.15g" cannot give back exactly: the largest double
  // (shown as a text beyond the double range) and 0.1 + 0.2.
  CGetReal dialog;
  dialog.m_lower = 0.1 + 0.2;
  dialog.m_upper = std::numeric_limits<double>::max();
  ModalScript script([](CDialog& d) {
    EXPECT_EQ(d.GetDlgItemText(396), CString(L"1.79769313486232e+308"));
    Type(d, 394, "5");
    Click(d, IDOK);
    EXPECT_TRUE(Hooks::messageBoxes().empty());
  });
  EXPECT_EQ(dialog.DoModal(), IDOK);
  EXPECT_EQ(dialog.m_value, 5.0);
  EXPECT_EQ(dialog.m_lower, 0.1 + 0.2);
  EXPECT_EQ(dialog.m_upper, std::numeric_limits<double>::max());
}

TEST_F(GuiCommonDialogs, LongPromptsKeepTheDialogOnTheScreen) {
  std::wstring question;
  for (int i = 0; i < 40; ++i) question += L"Thickness of the web & flange of the extruded profile ";
  CAskValueDlg value;
  value.m_prompt = question.c_str();
  CGetStringDlg text;
  text.m_prompt = question.c_str();
  for (CDialog* dialog : {static_cast<CDialog*>(&value), static_cast<CDialog*>(&text)}) {
    ModalScript script([&](CDialog& d) {
      const wxRect screen(wxPoint(0, 0), wxGetDisplaySize());
      EXPECT_TRUE(screen.Contains(d.GetScreenRect())) << d.GetSize().x << " x " << d.GetSize().y;
      // The whole question shows, on lines of its own.
      auto* prompt = d.GetDlgItem(dialog == &value ? 889 : 401);
      EXPECT_GE(prompt->GetSize().x, prompt->GetBestSize().x);
      EXPECT_GE(prompt->GetSize().y, prompt->GetBestSize().y);
      EXPECT_GT(prompt->GetSize().y, 5 * prompt->GetCharHeight());
      EXPECT_TRUE(d.GetClientRect().Contains(prompt->GetRect()));
      std::wstring shown = d.GetDlgItemText(dialog == &value ? 889 : 401).str();
      std::replace(shown.begin(), shown.end(), L'\n', L' ');
      EXPECT_EQ(shown, question);
      gui_test::SaveWindowPng(d, dialog == &value ? "dialog_ask_value_long" : "dialog_get_string_long");
    });
    EXPECT_EQ(dialog->DoModal(), IDCANCEL);
  }
  EXPECT_EQ(value.m_prompt.str(), question);  // the opener's text, unwrapped
  EXPECT_EQ(text.m_prompt.str(), question);
}
