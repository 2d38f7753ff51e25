// The rules of the small dialogs that ask for a point, a value, a text or
// evenly spaced points: their members (set by the opener before the dialog
// runs, read after it ends with IDOK), their control ids, what the
// controls show and what OK accepts. The windows that bind these controls
// are in lorimant/ui; these classes have no window and run headless.
#pragma once

#include "platform/core/CString.h"
#include "platform/core/DataExchange.h"

// A point: x and y as floats (named so as not to meet a window's own m_x, m_y).
class C2dPointForm {
public:
    enum { IDD = 895, IDC_X = 893, IDC_Y = 894 };

    // x and y as floats ("%.6g").
    void DoDataExchange(CDataExchange* pDX);

    float m_xValue = 0.0f;
    float m_yValue = 0.0f;
};

// One double with a question above it.
class CAskValueForm {
public:
    enum { IDD = 891, IDC_PROMPT = 889, IDC_VALUE = 896 };

    // Shows the prompt (never read back); the value as a double ("%.15g").
    void DoDataExchange(CDataExchange* pDX);

    CString m_prompt;
    double m_value = 0.0;
};

// One double shown with the bounds it belongs in (bounds read-only).
class CGetRealForm {
public:
    enum { IDD = 400, IDC_VALUE = 394, IDC_LOWER = 395, IDC_UPPER = 396 };

    // The value as a double; the two bounds are shown only.
    void DoDataExchange(CDataExchange* pDX);

    double m_value = 0.0;
    double m_lower = 0.0;
    double m_upper = 0.0;
};

// One text with a question above it.
class CGetStringForm {
public:
    enum { IDD = 402, IDC_PROMPT = 401, IDC_ANSWER = 467 };

    // Shows the prompt (never read back); the answer as text.
    void DoDataExchange(CDataExchange* pDX);

    CString m_prompt;
    CString m_answer;
};

// Evenly distributed points on a circle: radius, number of points and the
// start and end angles (degrees), each range-checked on reading.
class CPtsAtAnglesForm {
public:
    enum { IDD = 890, IDC_RADIUS = 885, IDC_POINTS = 886, IDC_START = 887, IDC_END = 888 };

    // Radius 0.001 to 10000, points 1 to 200, angles 0 to 360 (refused
    // outside with the range prompt).
    void DoDataExchange(CDataExchange* pDX);
    // The OK rule after a successful read: false, with "End angle must be
    // greater than start angle" ("Points At Radius", stop icon) shown,
    // when the start angle is greater than the end angle.
    bool AnglesInOrder() const;

    double m_radius = 10.0;
    double m_points = 8.0;
    double m_start = 0.0;
    double m_end = 360.0;
};
