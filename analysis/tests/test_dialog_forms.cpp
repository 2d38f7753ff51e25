// The rules of the common small dialogs, the print information dialog and
// the unit-system dialog, run over controls held in memory.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <limits>
#include <map>
#include <string>

#include "analysis/model/Globals.h"
#include "analysis/views/CPrintInfoForm.h"
#include "analysis/views/CUnitsForm.h"
#include "analysis/views/CommonDialogForms.h"
#include "platform/core/Hooks.h"
#include "platform/core/Settings.h"
#include "platform/tests/TempConfigHome.h"

namespace {

template <class Form>
BOOL exchange(CDialogControls& controls, Form& form, BOOL save) {
  return RunDataExchange(controls, save, [&](CDataExchange* pDX) { form.DoDataExchange(pDX); });
}

class DialogForms : public ::testing::Test {
 protected:
  void SetUp() override {
    Hooks::reset();
    saved_ = gUnitSystem;
  }
  void TearDown() override {
    Hooks::reset();
    gUnitSystem = saved_;
  }
  EUnitSystem saved_ = SI;
};

// The values of the profile section "Print Information", read from the store file.
std::map<std::wstring, std::wstring> printInformationKeys() {
  std::ifstream in(Settings::StoreFile().ToUtf8());
  std::map<std::wstring, std::wstring> keys;
  bool inside = false;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line[0] == '[') {
      const std::string tail = "\\Print Information]";  // the key path's last name
      inside = line.size() > tail.size() && line.compare(line.size() - tail.size(), tail.size(), tail) == 0;
      continue;
    }
    const auto eq = line.find('=');
    if (inside && eq != std::string::npos)
      keys[CString(line.substr(0, eq)).str()] = CString(line.substr(eq + 1)).str();
  }
  return keys;
}

}  // namespace

TEST_F(DialogForms, PointsAtAnglesRangesAndOrder) {
  CPtsAtAnglesForm form;
  CMemoryControls c;
  for (int id : {885, 886, 887, 888}) c.Add(id);
  ASSERT_TRUE(exchange(c, form, FALSE));
  EXPECT_EQ(c.GetText(885), CString(L"10"));
  EXPECT_EQ(c.GetText(886), CString(L"8"));
  EXPECT_EQ(c.GetText(887), CString(L"0"));
  EXPECT_EQ(c.GetText(888), CString(L"360"));

  const wchar_t* radiusRange = L"Please enter a number between 0.001 and 10000.";
  const wchar_t* pointsRange = L"Please enter a number between 1 and 200.";
  const wchar_t* angleRange = L"Please enter a number between 0 and 360.";
  const struct {
    const wchar_t *radius, *points, *start, *end;
    const wchar_t* prompt;  // null: read
    int focus;
    bool inOrder;
  } cases[] = {
      {L"10", L"8", L"90", L"90", nullptr, 0, true},
      {L"0.001", L"200", L"0", L"360", nullptr, 0, true},
      {L"10", L"8", L"100", L"90", nullptr, 0, false},
      {L"0", L"8", L"0", L"360", radiusRange, 885, true},
      {L"10000.5", L"8", L"0", L"360", radiusRange, 885, true},
      {L"10", L"0", L"0", L"360", pointsRange, 886, true},
      {L"10", L"201", L"0", L"360", pointsRange, 886, true},
      {L"10", L"8", L"-1", L"360", angleRange, 887, true},
      {L"10", L"8", L"0", L"360.5", angleRange, 888, true},
      {L"10", L"eight", L"0", L"360", L"Please enter a number.", 886, true},
  };
  for (const auto& t : cases) {
    Hooks::reset();
    CPtsAtAnglesForm read;
    c.SetText(885, t.radius), c.SetText(886, t.points), c.SetText(887, t.start), c.SetText(888, t.end);
    const std::string label = CString(t.radius).ToUtf8() + " " + CString(t.points).ToUtf8() + " " +
                              CString(t.start).ToUtf8() + " " + CString(t.end).ToUtf8();
    const BOOL ok = exchange(c, read, TRUE);
    EXPECT_EQ(ok, t.prompt == nullptr) << label;
    if (!ok) {
      ASSERT_EQ(Hooks::messageBoxes().size(), 1u) << label;
      EXPECT_EQ(Hooks::messageBoxes()[0].text.str(), t.prompt) << label;
      EXPECT_EQ(c.Focused(), t.focus) << label;
      continue;
    }
    EXPECT_EQ(read.AnglesInOrder(), t.inOrder) << label;
    if (t.inOrder) {
      EXPECT_TRUE(Hooks::messageBoxes().empty()) << label;
      continue;
    }
    ASSERT_EQ(Hooks::messageBoxes().size(), 1u) << label;
    const MessageBoxCall& box = Hooks::messageBoxes()[0];
    EXPECT_EQ(box.text, CString(L"End angle must be greater than start angle"));
    EXPECT_EQ(box.caption, CString(L"Points At Radius"));
    EXPECT_EQ(box.type & MB_ICONMASK, MB_ICONSTOP);
  }
}

TEST_F(DialogForms, PrintInformationOkWritesTheCellsOnly) {
  test_support::TempConfigHome config;
  CPrintInfoDlg info;
  info.m_titleLocation = CPrintInfoDlg::Bottom;
  info.m_note = L"note";
  CPrintInfoForm form(info);
  CMemoryControls c;
  for (int i = 0; i < 7; ++i) c.Add(CPrintInfoForm::kLabelIds[i]), c.Add(CPrintInfoForm::kValueIds[i]);
  for (int id : {243, 680, 684, 292, 683}) c.Add(id);
  c.AddRadioGroup({186, 864});

  form.OnInit();
  EXPECT_EQ(info.m_titleLocation, 1);  // opening sets Top
  ASSERT_TRUE(exchange(c, form, FALSE));
  EXPECT_EQ(c.GetRadio(186), 1);
  EXPECT_EQ(c.GetCheck(864), BST_CHECKED);

  for (int i = 0; i < 7; ++i) {
    c.SetText(CPrintInfoForm::kLabelIds[i], CString(L"Label ") + CString(std::to_string(i)));
    c.SetText(CPrintInfoForm::kValueIds[i], CString(L"Value ") + CString(std::to_string(i)));
  }
  c.SetText(243, L"Company");
  c.SetText(680, L"Preparer");
  c.SetText(684, L"Line one\nLine two");
  c.SetCheck(292, BST_CHECKED);
  ASSERT_TRUE(exchange(c, form, TRUE));
  form.WriteProfile();

  std::map<std::wstring, std::wstring> expected;
  for (int i = 0; i < 7; ++i) {
    expected[L"label" + std::to_wstring(i)] = L"Label " + std::to_wstring(i);
    expected[L"field" + std::to_wstring(i)] = L"Value " + std::to_wstring(i);
  }
  EXPECT_EQ(printInformationKeys(), expected);
  EXPECT_EQ(Settings::GetProfileString(L"Print Information", L"field6"), CString(L"Value 6"));
  EXPECT_EQ(info.m_company, CString(L"Company"));
  EXPECT_EQ(info.m_preparedBy, CString(L"Preparer"));
  EXPECT_EQ(info.m_title, CString(L"Line one\nLine two"));
  EXPECT_EQ(info.m_constructionInfo, TRUE);
  EXPECT_EQ(info.m_materials, FALSE);
  EXPECT_EQ(info.m_titleLocation, 1);
  EXPECT_EQ(info.m_note, CString(L"note"));  // no control shows it
}

TEST_F(DialogForms, UnitsReturnTheChoiceOnly) {
  CUnitsForm form;
  CMemoryControls c;
  c.AddRadioGroup({397, 398});
  ASSERT_TRUE(exchange(c, form, FALSE));
  EXPECT_EQ(c.GetRadio(397), 1);  // USCS (in,lbf)
  EXPECT_EQ(c.GetCheck(398), BST_CHECKED);

  gUnitSystem = USCS;
  c.SetRadio(397, 0);
  ASSERT_TRUE(exchange(c, form, TRUE));
  EXPECT_TRUE(form.SelectionMade());
  EXPECT_EQ(form.m_selection, 0);
  EXPECT_EQ(gUnitSystem, USCS);

  c.SetRadio(397, -1);
  ASSERT_TRUE(exchange(c, form, TRUE));
  EXPECT_FALSE(form.SelectionMade());
  ASSERT_EQ(Hooks::messageBoxes().size(), 1u);
  EXPECT_EQ(Hooks::messageBoxes()[0].text, CString(L"Selection is required"));
  EXPECT_EQ(Hooks::messageBoxes()[0].caption, CString(L"Units Selection"));
  EXPECT_EQ(Hooks::messageBoxes()[0].type & MB_ICONMASK, MB_ICONINFORMATION);
}

TEST_F(DialogForms, QuestionsAndBoundsAreShownNotRead) {
  // Bounds whose shown text does not give them back (the largest double
  // reads as no number at all), and a question the window may have wrapped.
  CGetRealForm real;
  real.m_lower = 0.1 + 0.2;
  real.m_upper = std::numeric_limits<double>::max();
  CMemoryControls c;
  for (int id : {394, 395, 396}) c.Add(id);
  ASSERT_TRUE(exchange(c, real, FALSE));
  EXPECT_EQ(c.GetText(395), CString(L"0.3"));
  c.SetText(394, L"2");
  ASSERT_TRUE(exchange(c, real, TRUE));
  EXPECT_TRUE(Hooks::messageBoxes().empty());
  EXPECT_EQ(real.m_value, 2.0);
  EXPECT_EQ(real.m_lower, 0.1 + 0.2);
  EXPECT_EQ(real.m_upper, std::numeric_limits<double>::max());

  CAskValueForm ask;
  ask.m_prompt = L"Width of the flange";
  CMemoryControls a;
  a.Add(889), a.Add(896);
  ASSERT_TRUE(exchange(a, ask, FALSE));
  EXPECT_EQ(a.GetText(889), CString(L"Width of the flange"));
  a.SetText(889, L"Width of the\nflange");
  a.SetText(896, L"4");
  ASSERT_TRUE(exchange(a, ask, TRUE));
  EXPECT_EQ(ask.m_prompt, CString(L"Width of the flange"));
  EXPECT_EQ(ask.m_value, 4.0);
}
