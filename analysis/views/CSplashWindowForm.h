// The rules of the splash window, without a window: its process-wide
// settings (texts, fonts, colours, bands), the version texts read from the
// program's version information, the choice of the largest font that fits a
// band, and what one painting draws where. The window that shows them is in
// lorimant/ui (CSplashWindow, which derives from this class); measuring a
// text is handed in, so the rules run headless.
#pragma once

#include <functional>
#include <vector>

#include "platform/core/CArray.h"
#include "platform/core/CRect.h"
#include "platform/core/CString.h"
#include "platform/core/Types.h"

class CSplashWindowForm {
 public:
  // The extent of line in face at points (width and height in pixels).
  using Measure = std::function<CSize(const CString& face, int points, const CString& line)>;

  // One text of a painting: drawn centred on one line in rect, in colour,
  // with face at points.
  struct TextBand {
    CString text;
    CRect rect;
    COLORREF colour;
    CString face;
    int points;
  };

  // ---- process-wide settings ----
  static int m_millisecondsToDisplay;  // display time; 0 means no timer
  static CString m_productNameString;
  static CString m_companyNameString;
  static CString m_copyrightString;
  static CString m_commentsString;
  static CString m_versionString;
  static CString m_statusMessage;
  static const CString m_productNameFontName;
  static const CString m_bodyFontName;
  static const CString m_statusMessageFontName;
  // Fitted point size (cx) and line height (cy); (-1, -1) until fitted.
  static CSize m_productNamePointSize;
  static CSize m_bodyPointSize;
  static CSize m_statusMessagePointSize;
  // Colours; (COLORREF)-1 for the body or status means the product name's.
  static COLORREF m_productNameTextColor;
  static COLORREF m_bodyTextColor;
  static COLORREF m_statusMessageTextColor;
  // The three bands: margins from the left and right edges, top and height.
  static const int m_productNameLeftMargin, m_productNameRightMargin;
  static const int m_productNameVerticalOffset, m_productNameVerticalHeight;
  static const int m_bodyLeftMargin, m_bodyRightMargin, m_bodyVerticalOffset, m_bodyVerticalHeight;
  static const int m_statusLeftMargin, m_statusRightMargin, m_statusVerticalOffset, m_statusVerticalHeight;
  // What the body shows: version, copyright and comments, never the company.
  static const int m_displayVersion, m_displayCopyright, m_displayComments, m_displayCompanyName;

  // The largest point size at which every line fits box: its width within
  // box.cx and its height within box.cy divided among the lines. Sizes are
  // tried from 8 up by 2 until the widest line no longer fits, 400 at most;
  // the result is (the last size that fitted, or 6 when 8 does not, the
  // line height of the widest line at the last size measured).
  static CSize FindFontPointSize(const Measure& measure, const CString& face, const CStringArray& lines, CSize box);
  // Reads the product name, company name, copyright, comments and version
  // ("Version " and the product version) from the version information of
  // the program file fileName; values it lacks keep their texts, and a file
  // with no version information changes nothing.
  static void ReadVersionStrings(const CString& fileName);
  // The texts one painting of a bitmap bitmapWidth wide draws, in order:
  // the product name, the body lines shown and, when the status text is not
  // empty, the status line. Each band's size is fitted on its first
  // painting and kept.
  static std::vector<TextBand> PaintPlan(int bitmapWidth, const Measure& measure);
  // The resolved colour of a text: the product name's colour for -1.
  static COLORREF TextColour(COLORREF colour);
  // Forgets the fitted sizes (they are fitted again at the next painting).
  static void ResetFittedSizes();

  // The largest point size FindFontPointSize tries.
  static constexpr int kLargestPointSize = 400;
};
