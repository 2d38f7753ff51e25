// Dialog data exchange over CDialogControls, and controls held in memory.
#include "platform/core/DataExchange.h"

#include "platform/core/DigitGrouping.h"
#include "platform/core/Hooks.h"

#include <cfloat>
#include <climits>
#include <cmath>
#include <stdexcept>
#include <string>

namespace {

// The standard prompts of a refused value.
constexpr const wchar_t* kNotInteger = L"Please enter an integer.";
constexpr const wchar_t* kNotNumber = L"Please enter a number.";
constexpr const wchar_t* kTooLong = L"Enter no more than %d characters.";
constexpr const wchar_t* kIntegerRange = L"Please enter an integer between %d and %d.";
constexpr const wchar_t* kNumberRange = L"Please enter a number between %g and %g.";

[[noreturn]] void refuse(CDataExchange* pDX, const CString& prompt)
{
    AfxMessageBox(prompt.GetString(), MB_ICONEXCLAMATION);
    pDX->Fail();
}

// Parses a whole text (blanks around it allowed) as an int.
bool parseInt(const CString& text, int& value)
{
    CString t(text);
    t.Trim();
    const std::wstring& s = t.str();
    std::size_t i = (!s.empty() && (s[0] == L'-' || s[0] == L'+')) ? 1 : 0;
    if (i == s.size())
        return false;
    long long v = 0;
    for (; i < s.size(); ++i) {
        if (s[i] < L'0' || s[i] > L'9')
            return false;
        v = v * 10 + (s[i] - L'0');
        if (v > static_cast<long long>(INT_MAX) + 1)
            return false;
    }
    if (s[0] == L'-')
        v = -v;
    if (v < INT_MIN || v > INT_MAX)
        return false;
    value = static_cast<int>(v);
    return true;
}

bool isBlank(const CString& text)
{
    CString t(text);
    return t.Trim().IsEmpty();
}

// Reads a double from the prepared box, or refuses it.
void readDouble(CDataExchange* pDX, const CString& text, double& value)
{
    double parsed = 0.0;
    if (!ParseCDouble(text, parsed))
        refuse(pDX, kNotNumber);
    value = parsed;
}

template <class T>
CString formatted(const wchar_t* format, T value)
{
    CString s;
    s.Format(format, value);
    return s;
}

} // namespace

CDataExchange::CDataExchange(CDialogControls& controls, BOOL saveAndValidate)
    : m_bSaveAndValidate(saveAndValidate), m_pControls(&controls)
{
}

void CDataExchange::PrepareCtrl(int id)
{
    m_idLastControl = id;
    m_bEditLastControl = false;
}

void CDataExchange::PrepareEditCtrl(int id)
{
    m_idLastControl = id;
    m_bEditLastControl = true;
}

void CDataExchange::Fail()
{
    if (m_bSaveAndValidate && m_idLastControl != 0)
        m_pControls->FocusControl(m_idLastControl, m_bEditLastControl);
    CDataExchangeFailure failure;
    failure.m_controlId = m_idLastControl;
    throw failure;
}

BOOL RunDataExchange(CDialogControls& controls, BOOL saveAndValidate,
                     const std::function<void(CDataExchange*)>& exchange)
{
    CDataExchange dx(controls, saveAndValidate);
    try {
        exchange(&dx);
    } catch (const CDataExchangeFailure&) {
        return FALSE;
    }
    return TRUE;
}

void DDX_Text(CDataExchange* pDX, int id, CString& value)
{
    pDX->PrepareEditCtrl(id);
    if (pDX->m_bSaveAndValidate)
        value = pDX->m_pControls->GetText(id);
    else
        pDX->m_pControls->SetText(id, value);
}

void DDX_Text(CDataExchange* pDX, int id, int& value)
{
    pDX->PrepareEditCtrl(id);
    if (!pDX->m_bSaveAndValidate) {
        pDX->m_pControls->SetText(id, formatted(L"%d", value));
        return;
    }
    int parsed = 0;
    if (!parseInt(pDX->m_pControls->GetText(id), parsed))
        refuse(pDX, kNotInteger);
    value = parsed;
}

void DDX_Text(CDataExchange* pDX, int id, float& value)
{
    pDX->PrepareEditCtrl(id);
    if (!pDX->m_bSaveAndValidate) {
        pDX->m_pControls->SetText(id, formatted(L"%.6g", static_cast<double>(value)));
        return;
    }
    double parsed = 0.0;
    readDouble(pDX, pDX->m_pControls->GetText(id), parsed);
    // A number beyond the float range is no float.
    if (std::fabs(parsed) > FLT_MAX)
        refuse(pDX, kNotNumber);
    value = static_cast<float>(parsed);
}

void DDX_Text(CDataExchange* pDX, int id, double& value)
{
    pDX->PrepareEditCtrl(id);
    if (!pDX->m_bSaveAndValidate) {
        pDX->m_pControls->SetText(id, formatted(L"%.15g", value));
        return;
    }
    readDouble(pDX, pDX->m_pControls->GetText(id), value);
}

void DDV_MaxChars(CDataExchange* pDX, const CString& value, int maxChars)
{
    if (!pDX->m_bSaveAndValidate) {
        pDX->m_pControls->LimitText(pDX->m_idLastControl, maxChars);
        return;
    }
    if (value.GetLength() > maxChars) {
        CString prompt;
        prompt.Format(kTooLong, maxChars);
        refuse(pDX, prompt);
    }
}

void DDV_MinMaxInt(CDataExchange* pDX, int value, int minValue, int maxValue)
{
    if (pDX->m_bSaveAndValidate && (value < minValue || value > maxValue)) {
        CString prompt;
        prompt.Format(kIntegerRange, minValue, maxValue);
        refuse(pDX, prompt);
    }
}

void DDV_MinMaxFloat(CDataExchange* pDX, float value, float minValue, float maxValue)
{
    DDV_MinMaxDouble(pDX, value, minValue, maxValue);
}

void DDV_MinMaxDouble(CDataExchange* pDX, double value, double minValue, double maxValue)
{
    if (pDX->m_bSaveAndValidate && (value < minValue || value > maxValue)) {
        CString prompt;
        prompt.Format(kNumberRange, minValue, maxValue);
        refuse(pDX, prompt);
    }
}

void DDX_Radio(CDataExchange* pDX, int firstId, int& index)
{
    pDX->PrepareCtrl(firstId);
    if (pDX->m_bSaveAndValidate)
        index = pDX->m_pControls->GetRadio(firstId);
    else
        pDX->m_pControls->SetRadio(firstId, index);
}

void DDX_Check(CDataExchange* pDX, int id, int& state)
{
    pDX->PrepareCtrl(id);
    if (pDX->m_bSaveAndValidate)
        state = pDX->m_pControls->GetCheck(id);
    else
        pDX->m_pControls->SetCheck(id, state);
}

void DDX_CBIndex(CDataExchange* pDX, int id, int& index)
{
    pDX->PrepareCtrl(id);
    if (pDX->m_bSaveAndValidate)
        index = pDX->m_pControls->GetCurSel(id);
    else
        pDX->m_pControls->SetCurSel(id, index);
}

void DDX_LBIndex(CDataExchange* pDX, int id, int& index)
{
    // A list box keeps its selection as a combo box does.
    DDX_CBIndex(pDX, id, index);
}

void DDX_CBString(CDataExchange* pDX, int id, CString& value)
{
    pDX->PrepareEditCtrl(id);
    if (pDX->m_bSaveAndValidate)
        value = pDX->m_pControls->GetText(id);
    else
        pDX->m_pControls->SetText(id, value);
}

void DDX_FMTDBL(CDataExchange* pDX, int id, double& value, const CString& format, bool force)
{
    pDX->PrepareEditCtrl(id);
    if (!pDX->m_bSaveAndValidate) {
        pDX->m_pControls->SetText(id, formatted(format.GetString(), value));
        return;
    }
    const CString text = pDX->m_pControls->GetText(id);
    if (!isBlank(text) || force)
        readDouble(pDX, text, value);
}

void DDX_FMTCOMMA(CDataExchange* pDX, int id, double& value, bool force)
{
    pDX->PrepareEditCtrl(id);
    if (!pDX->m_bSaveAndValidate) {
        // Beyond the range of a whole number the value is shown as it is.
        const bool whole = std::isfinite(value) && std::fabs(value) < 9.2e18;
        pDX->m_pControls->SetText(id, whole ? commatize(std::llround(value)) : formatted(L"%.15g", value));
        return;
    }
    const CString text = pDX->m_pControls->GetText(id);
    const CString clean = RemoveGroupSeparators(text);
    if (clean.IsEmpty() && !force)
        return;
    pDX->m_pControls->SetText(id, clean);
    if (!ReadGroupedNumber(clean, value))
        refuse(pDX, kNotNumber);
}

// --- Controls held in memory ---------------------------------------------

void CMemoryControls::Add(int id, const CString& text)
{
    m_controls[id].text = text;
}

void CMemoryControls::AddRadioGroup(const std::vector<int>& ids)
{
    if (ids.empty())
        throw std::logic_error("a radio group needs buttons");
    for (int id : ids)
        m_controls[id];
    m_groups[ids.front()] = ids;
}

void CMemoryControls::AddCombo(int id, const std::vector<CString>& items, bool editable)
{
    Control& c = m_controls[id];
    c.combo = true;
    c.editable = editable;
    c.items = items;
}

int CMemoryControls::TextLimit(int id) const
{
    return find(id).limit;
}

CMemoryControls::Control& CMemoryControls::find(int id)
{
    auto it = m_controls.find(id);
    if (it == m_controls.end())
        throw std::logic_error("the dialog has no control " + std::to_string(id));
    return it->second;
}

const CMemoryControls::Control& CMemoryControls::find(int id) const
{
    return const_cast<CMemoryControls*>(this)->find(id);
}

const std::vector<int>& CMemoryControls::group(int firstId) const
{
    auto it = m_groups.find(firstId);
    if (it == m_groups.end())
        throw std::logic_error("the dialog has no radio group " + std::to_string(firstId));
    return it->second;
}

CString CMemoryControls::GetText(int id) const
{
    const Control& c = find(id);
    if (c.combo && !c.editable)
        return c.selection >= 0 ? c.items[static_cast<std::size_t>(c.selection)] : CString();
    return c.text;
}

void CMemoryControls::SetText(int id, const CString& text)
{
    Control& c = find(id);
    if (!c.combo || c.editable) {
        c.text = text;
        return;
    }
    // A list without a text of its own selects the item of that text.
    c.selection = -1;
    for (std::size_t i = 0; i < c.items.size(); ++i)
        if (c.items[i].CompareNoCase(text) == 0) {
            c.selection = static_cast<int>(i);
            break;
        }
}

void CMemoryControls::LimitText(int id, int chars)
{
    find(id).limit = chars;
}

int CMemoryControls::GetCheck(int id) const
{
    return find(id).check;
}

void CMemoryControls::SetCheck(int id, int state)
{
    find(id).check = state;
}

int CMemoryControls::GetRadio(int firstId) const
{
    const std::vector<int>& ids = group(firstId);
    for (std::size_t i = 0; i < ids.size(); ++i)
        if (find(ids[i]).check == BST_CHECKED)
            return static_cast<int>(i);
    return -1;
}

void CMemoryControls::SetRadio(int firstId, int index)
{
    const std::vector<int>& ids = group(firstId);
    for (std::size_t i = 0; i < ids.size(); ++i)
        find(ids[i]).check = static_cast<int>(i) == index ? BST_CHECKED : BST_UNCHECKED;
}

int CMemoryControls::GetCurSel(int id) const
{
    return find(id).selection;
}

void CMemoryControls::SetCurSel(int id, int index)
{
    Control& c = find(id);
    c.selection = (index >= 0 && index < static_cast<int>(c.items.size())) ? index : -1;
    if (c.editable)
        c.text = c.selection >= 0 ? c.items[static_cast<std::size_t>(c.selection)] : CString();
}

void CMemoryControls::FocusControl(int id, bool selectAll)
{
    (void)selectAll;
    find(id);
    m_focused = id;
}
