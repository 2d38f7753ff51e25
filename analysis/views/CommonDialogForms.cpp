// The rules of the small value dialogs.
#include "analysis/views/CommonDialogForms.h"

#include "platform/core/Hooks.h"

void C2dPointForm::DoDataExchange(CDataExchange* pDX)
{
    DDX_Text(pDX, IDC_X, m_xValue);
    DDX_Text(pDX, IDC_Y, m_yValue);
}

void CAskValueForm::DoDataExchange(CDataExchange* pDX)
{
    // The question is the opener's: shown, never read back (the window
    // may have wrapped it).
    if (!pDX->m_bSaveAndValidate)
        DDX_Text(pDX, IDC_PROMPT, m_prompt);
    DDX_Text(pDX, IDC_VALUE, m_value);
}

void CGetRealForm::DoDataExchange(CDataExchange* pDX)
{
    // The bounds only inform the user: read back through their text they
    // could lose digits, or not read at all (the largest double is shown
    // as a text beyond the double range) and so block OK.
    if (!pDX->m_bSaveAndValidate) {
        DDX_Text(pDX, IDC_LOWER, m_lower);
        DDX_Text(pDX, IDC_UPPER, m_upper);
    }
    DDX_Text(pDX, IDC_VALUE, m_value);
}

void CGetStringForm::DoDataExchange(CDataExchange* pDX)
{
    if (!pDX->m_bSaveAndValidate)
        DDX_Text(pDX, IDC_PROMPT, m_prompt);
    DDX_Text(pDX, IDC_ANSWER, m_answer);
}

void CPtsAtAnglesForm::DoDataExchange(CDataExchange* pDX)
{
    DDX_Text(pDX, IDC_RADIUS, m_radius);
    DDV_MinMaxDouble(pDX, m_radius, 0.001, 10000.0);
    DDX_Text(pDX, IDC_POINTS, m_points);
    DDV_MinMaxDouble(pDX, m_points, 1.0, 200.0);
    DDX_Text(pDX, IDC_START, m_start);
    DDV_MinMaxDouble(pDX, m_start, 0.0, 360.0);
    DDX_Text(pDX, IDC_END, m_end);
    DDV_MinMaxDouble(pDX, m_end, 0.0, 360.0);
}

bool CPtsAtAnglesForm::AnglesInOrder() const
{
    if (m_start <= m_end)
        return true;
    AfxMessageBox(L"End angle must be greater than start angle", L"Points At Radius", MB_ICONSTOP);
    return false;
}
