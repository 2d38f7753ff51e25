// The rules of the splash window.
#include "analysis/views/CSplashWindowForm.h"

#include <algorithm>

#include "analysis/model/CVersionInfo.h"

int CSplashWindowForm::m_millisecondsToDisplay = 0;
CString CSplashWindowForm::m_productNameString = L"Tessaline";
CString CSplashWindowForm::m_companyNameString = L"Quenholt";
CString CSplashWindowForm::m_copyrightString;
CString CSplashWindowForm::m_commentsString;
CString CSplashWindowForm::m_versionString;
CString CSplashWindowForm::m_statusMessage;
const CString CSplashWindowForm::m_productNameFontName = L"Arial";
const CString CSplashWindowForm::m_bodyFontName = L"Arial";
const CString CSplashWindowForm::m_statusMessageFontName = L"Arial";
CSize CSplashWindowForm::m_productNamePointSize{-1, -1};
CSize CSplashWindowForm::m_bodyPointSize{-1, -1};
CSize CSplashWindowForm::m_statusMessagePointSize{-1, -1};
COLORREF CSplashWindowForm::m_productNameTextColor = 0x545C18;
COLORREF CSplashWindowForm::m_bodyTextColor = 0;
COLORREF CSplashWindowForm::m_statusMessageTextColor = 0xFF0000;
const int CSplashWindowForm::m_productNameLeftMargin = 20;
const int CSplashWindowForm::m_productNameRightMargin = 20;
const int CSplashWindowForm::m_productNameVerticalOffset = 140;
const int CSplashWindowForm::m_productNameVerticalHeight = 70;
const int CSplashWindowForm::m_bodyLeftMargin = 20;
const int CSplashWindowForm::m_bodyRightMargin = 20;
const int CSplashWindowForm::m_bodyVerticalOffset = 230;
const int CSplashWindowForm::m_bodyVerticalHeight = 60;
const int CSplashWindowForm::m_statusLeftMargin = 10;
const int CSplashWindowForm::m_statusRightMargin = 10;
const int CSplashWindowForm::m_statusVerticalOffset = 390;
const int CSplashWindowForm::m_statusVerticalHeight = 15;
const int CSplashWindowForm::m_displayVersion = 1;
const int CSplashWindowForm::m_displayCopyright = 1;
const int CSplashWindowForm::m_displayComments = 1;
const int CSplashWindowForm::m_displayCompanyName = 0;

namespace {

// The longest text a version value may give.
constexpr int kVersionTextLimit = 1024;

const CSize kNotFitted{-1, -1};

// The value of the version information under name, cut to the limit;
// empty when it has none.
CString versionValue(const CVersionInfo& info, const wchar_t* name) {
  return info.GetValue(name).Left(kVersionTextLimit);
}

void replaceWhenGiven(CString& text, const CString& value) {
  if (!value.IsEmpty()) text = value;
}

CStringArray oneLine(const CString& text) {
  CStringArray lines;
  lines.Add(text);
  return lines;
}

}  // namespace

CSize CSplashWindowForm::FindFontPointSize(const Measure& measure, const CString& face, const CStringArray& lines,
                                           CSize box) {
  const LONG count = static_cast<LONG>(lines.GetSize());
  const LONG lineHeight = count > 0 ? box.cy / count : box.cy;
  int points = 8;
  CSize widest;
  for (;; points += 2) {
    widest = CSize();
    for (INT_PTR i = 0; i < lines.GetSize(); ++i) {
      const CSize size = measure(face, points, lines[i]);
      if (size.cx > widest.cx || i == 0) widest = size;
    }
    if (widest.cx > box.cx || widest.cy > lineHeight) break;
    // Lines that never grow (all empty) fit at every size: stop at the cap.
    if (points >= kLargestPointSize) return CSize(points, widest.cy);
  }
  return CSize(points - 2, widest.cy);
}

void CSplashWindowForm::ReadVersionStrings(const CString& fileName) {
  CVersionInfo info;
  if (info.Load(fileName) == 0) return;
  // The program's own string table, US English in Unicode ("040904b0").
  replaceWhenGiven(m_productNameString, versionValue(info, L"ProductName"));
  replaceWhenGiven(m_companyNameString, versionValue(info, L"CompanyName"));
  replaceWhenGiven(m_copyrightString, versionValue(info, L"LegalCopyright"));
  replaceWhenGiven(m_commentsString, versionValue(info, L"Comments"));
  const CString version = versionValue(info, L"ProductVersion");
  if (!version.IsEmpty()) m_versionString = CString(L"Version ") + version;
}

COLORREF CSplashWindowForm::TextColour(COLORREF colour) {
  return colour == static_cast<COLORREF>(-1) ? m_productNameTextColor : colour;
}

void CSplashWindowForm::ResetFittedSizes() {
  m_productNamePointSize = kNotFitted;
  m_bodyPointSize = kNotFitted;
  m_statusMessagePointSize = kNotFitted;
}

std::vector<CSplashWindowForm::TextBand> CSplashWindowForm::PaintPlan(int bitmapWidth, const Measure& measure) {
  const LONG w = bitmapWidth;
  std::vector<TextBand> plan;

  // 1. The product name.
  if (m_productNamePointSize == kNotFitted)
    m_productNamePointSize =
        FindFontPointSize(measure, m_productNameFontName, oneLine(m_productNameString),
                          CSize(w - m_productNameLeftMargin - m_productNameRightMargin, m_productNameVerticalHeight));
  plan.push_back({m_productNameString,
                  CRect(m_productNameLeftMargin, m_productNameVerticalOffset, w - m_productNameRightMargin,
                        m_productNameVerticalOffset + m_productNameVerticalHeight),
                  m_productNameTextColor, m_productNameFontName, m_productNamePointSize.cx});

  // 2. The body: version, copyright and comments, one line each.
  CStringArray body;
  if (m_displayVersion) body.Add(m_versionString);
  if (m_displayCopyright) body.Add(m_copyrightString);
  if (m_displayComments) body.Add(m_commentsString);
  if (m_bodyPointSize == kNotFitted)
    m_bodyPointSize = FindFontPointSize(measure, m_bodyFontName, body,
                                        CSize(w - m_bodyLeftMargin - m_bodyRightMargin, m_bodyVerticalHeight));
  const LONG h = m_bodyPointSize.cy;
  for (INT_PTR i = 0; i < body.GetSize(); ++i) {
    const LONG top = m_bodyVerticalOffset + static_cast<LONG>(i) * h;
    if (!body[i].IsEmpty())
      plan.push_back({body[i], CRect(m_bodyLeftMargin, top, w - m_bodyRightMargin, top + h),
                      TextColour(m_bodyTextColor), m_bodyFontName, m_bodyPointSize.cx});
  }

  // 3. The status line, only when there is a status text.
  if (!m_statusMessage.IsEmpty()) {
    if (m_statusMessagePointSize == kNotFitted)
      m_statusMessagePointSize =
          FindFontPointSize(measure, m_statusMessageFontName, oneLine(m_statusMessage),
                            CSize(w - m_statusLeftMargin - m_statusRightMargin, m_statusVerticalHeight));
    plan.push_back({m_statusMessage,
                    CRect(m_statusLeftMargin, m_statusVerticalOffset, w - m_statusRightMargin,
                          m_statusVerticalOffset + m_statusVerticalHeight),
                    TextColour(m_statusMessageTextColor), m_statusMessageFontName, m_statusMessagePointSize.cx});
  }
  return plan;
}
