// The splash window's rules without a window: the largest font that fits
// a band, the texts from the program's version information, and what one
// painting draws where.
#include <gtest/gtest.h>

#include <string>

#include "analysis/views/CSplashWindowForm.h"

namespace {

using Form = CSplashWindowForm;

CStringArray lines(std::initializer_list<const wchar_t*> texts) {
  CStringArray out;
  for (const wchar_t* t : texts) out.Add(t);
  return out;
}

// Width 5 pixels per character and point, height equal to the points; the
// sizes tried are recorded.
struct LinearMeasure {
  std::vector<int> tried;
  Form::Measure measure() {
    return [this](const CString&, int points, const CString& line) {
      tried.push_back(points);
      return CSize(5 * points * line.GetLength(), points);
    };
  }
};

TEST(SplashFontFitting, StopsAtTheFirstSizeThatNoLongerFits) {
  LinearMeasure m;
  // 10 characters: 400 wide at 8 points (fits), 500 at 10 (too wide).
  EXPECT_EQ(Form::FindFontPointSize(m.measure(), L"Arial", lines({L"0123456789"}), CSize(400, 70)), CSize(8, 10));
  EXPECT_EQ(m.tried, (std::vector<int>{8, 10}));

  // Too wide already at 8 points: the size below the first try.
  const Form::Measure wide = [](const CString&, int points, const CString&) { return CSize(1000 + points, 10); };
  EXPECT_EQ(Form::FindFontPointSize(wide, L"Arial", lines({L"Tessaline"}), CSize(400, 70)).cx, 6);
}

TEST(SplashFontFitting, TheWidestLineAndTheHeightShareOfEachLine) {
  LinearMeasure m;
  // Three lines in 60 pixels: 20 each; heights 8..20 fit, 22 does not.
  // The widest line (6 characters) is 5 * 6 * 22 = 660 wide there, within 1000.
  EXPECT_EQ(Form::FindFontPointSize(m.measure(), L"Arial", lines({L"ab", L"abcdef", L""}), CSize(1000, 60)),
            CSize(20, 22));
  // The same lines in a narrow box: at 12 points the widest is 360 > 300.
  EXPECT_EQ(Form::FindFontPointSize(LinearMeasure().measure(), L"Arial", lines({L"ab", L"abcdef", L""}),
                                    CSize(300, 60)),
            CSize(10, 12));
}

TEST(SplashFontFitting, LinesThatNeverGrowEndTheSearchAt400Points) {
  int calls = 0;
  const Form::Measure empty = [&calls](const CString&, int, const CString&) {
    ++calls;
    return CSize(0, 0);
  };
  EXPECT_EQ(Form::FindFontPointSize(empty, L"Arial", lines({L"", L""}), CSize(400, 70)), CSize(400, 0));
  // Sizes 8, 10, ..., 400 for each of the two lines.
  EXPECT_EQ(calls, 2 * ((400 - 8) / 2 + 1));
  // No lines at all end the same way.
  EXPECT_EQ(Form::FindFontPointSize(empty, L"Arial", CStringArray(), CSize(400, 70)).cx, 400);
}

TEST(SplashSettings, LoadValues) {
  EXPECT_EQ(Form::m_productNameString, CString(L"Tessaline"));
  EXPECT_EQ(Form::m_companyNameString, CString(L"Quenholt"));
  EXPECT_EQ(Form::m_productNameFontName, CString(L"Arial"));
  EXPECT_EQ(Form::m_bodyFontName, CString(L"Arial"));
  EXPECT_EQ(Form::m_statusMessageFontName, CString(L"Arial"));
  EXPECT_EQ(Form::m_productNameTextColor, 0x545C18u);
  EXPECT_EQ(Form::m_bodyTextColor, 0u);
  EXPECT_EQ(Form::m_statusMessageTextColor, 0xFF0000u);
  EXPECT_EQ(Form::m_millisecondsToDisplay, 0);
  EXPECT_EQ(Form::m_displayCompanyName, 0);
}

// Restores the process-wide texts a test changes.
class SplashPainting : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = {Form::m_productNameString, Form::m_versionString, Form::m_copyrightString, Form::m_commentsString,
              Form::m_statusMessage};
    savedBody_ = Form::m_bodyTextColor;
    Form::ResetFittedSizes();
  }
  void TearDown() override {
    Form::m_productNameString = saved_[0];
    Form::m_versionString = saved_[1];
    Form::m_copyrightString = saved_[2];
    Form::m_commentsString = saved_[3];
    Form::m_statusMessage = saved_[4];
    Form::m_bodyTextColor = savedBody_;
    Form::ResetFittedSizes();
  }
  std::vector<CString> saved_;
  COLORREF savedBody_ = 0;
};

TEST_F(SplashPainting, VersionTextsOfTheProgram) {
  Form::m_productNameString = L"Tessaline";
  Form::m_versionString = L"";
  Form::ReadVersionStrings(L"Lorimant.EXE");
  EXPECT_EQ(Form::m_productNameString, CString(L"Lorimant"));
  EXPECT_EQ(Form::m_companyNameString, CString(L"Quenholt"));
  EXPECT_EQ(Form::m_versionString, CString(L"Version 2.0.4"));

  // A file without version information changes nothing.
  Form::m_productNameString = L"Tessaline";
  Form::ReadVersionStrings(L"other.EXE");
  EXPECT_EQ(Form::m_productNameString, CString(L"Tessaline"));
}

TEST_F(SplashPainting, TheBandsOfOnePainting) {
  Form::m_productNameString = L"Lorimant";
  Form::m_versionString = L"Version 2.0.4";
  Form::m_copyrightString = L"Copyright";
  Form::m_commentsString = L"";
  Form::m_statusMessage = L"Starting application...";
  Form::m_bodyTextColor = static_cast<COLORREF>(-1);  // the product name's colour
  const int w = 480;
  const std::vector<Form::TextBand> plan = Form::PaintPlan(w, LinearMeasure().measure());
  // Name, version, copyright (no empty comments line), status.
  ASSERT_EQ(plan.size(), 4u);
  EXPECT_EQ(plan[0].text, CString(L"Lorimant"));
  EXPECT_EQ(plan[0].rect, CRect(20, 140, w - 20, 210));
  EXPECT_EQ(plan[0].colour, 0x545C18u);
  // 8 characters in 440 x 70: 10 points fit (400 wide), 12 do not (480).
  EXPECT_EQ(plan[0].points, 10);
  // Body: 13 characters in 440 x 60 (20 a line): 6 fits (390), 8 does not (520).
  const LONG h = Form::m_bodyPointSize.cy;
  EXPECT_EQ(Form::m_bodyPointSize, CSize(6, 8));
  EXPECT_EQ(plan[1].text, CString(L"Version 2.0.4"));
  EXPECT_EQ(plan[1].rect, CRect(20, 230, w - 20, 230 + h));
  EXPECT_EQ(plan[1].colour, 0x545C18u);
  EXPECT_EQ(plan[2].rect, CRect(20, 230 + h, w - 20, 230 + 2 * h));
  EXPECT_EQ(plan[3].text, CString(L"Starting application..."));
  EXPECT_EQ(plan[3].rect, CRect(10, 390, w - 10, 405));
  EXPECT_EQ(plan[3].colour, 0xFF0000u);

  // An empty status draws no status line.
  Form::m_statusMessage = L"";
  const std::vector<Form::TextBand> quiet = Form::PaintPlan(w, LinearMeasure().measure());
  ASSERT_EQ(quiet.size(), 3u);
  EXPECT_EQ(quiet.back().text, CString(L"Copyright"));
}

TEST_F(SplashPainting, SizesAreFittedOnceAndKept) {
  Form::m_productNameString = L"Lorimant";
  Form::m_statusMessage = L"";
  LinearMeasure first;
  Form::PaintPlan(480, first.measure());
  EXPECT_FALSE(first.tried.empty());
  LinearMeasure second;
  Form::m_productNameString = L"A much longer product name than before";
  const std::vector<Form::TextBand> plan = Form::PaintPlan(480, second.measure());
  EXPECT_TRUE(second.tried.empty());
  EXPECT_EQ(plan[0].points, 10);
}

}  // namespace
