// Dialog data exchange without a window system: members move to a
// dialog's controls and back, addressed by control id, with the standard
// validation prompts. The wx dialogs (platform/ui/CDialog.h) give their
// windows to it through CDialogControls; CMemoryControls holds controls in
// memory so that a dialog's rules run and are tested without a display.
//
// Numbers are shown and read in the C locale whatever the user's locale:
// floats as "%.6g", doubles as "%.15g", ints as "%d". A failed read or
// range check shows its prompt through the message-box hook, gives the
// control the focus and abandons the exchange (UpdateData returns FALSE
// and the dialog stays open).
#pragma once

#include "platform/core/CString.h"
#include "platform/core/Types.h"

#include <functional>
#include <map>
#include <vector>

// States of a check box.
constexpr int BST_UNCHECKED = 0;
constexpr int BST_CHECKED = 1;
constexpr int BST_INDETERMINATE = 2;

// The controls of a dialog as the data exchange sees them. Using an id
// that the dialog does not have throws std::logic_error (a programming
// error, never the user's).
class CDialogControls {
public:
    virtual ~CDialogControls() = default;
    // The text of an edit box, label, button or combo box.
    virtual CString GetText(int id) const = 0;
    // Replaces the text of an edit box, label, button or combo box (a combo
    // box without a text of its own selects the item of that text).
    virtual void SetText(int id, const CString& text) = 0;
    // Limits what the user can type into an edit box (0: no limit).
    virtual void LimitText(int id, int chars) = 0;
    // The state of a check box (BST_*).
    virtual int GetCheck(int id) const = 0;
    // Sets the state of a check box.
    virtual void SetCheck(int id, int state) = 0;
    // Index of the checked button of the radio group that firstId starts; -1 when none is.
    virtual int GetRadio(int firstId) const = 0;
    // Checks the index-th button of the group (-1 or out of range: none).
    virtual void SetRadio(int firstId, int index) = 0;
    // Index of the selected item of a combo box or list box; -1 when none.
    virtual int GetCurSel(int id) const = 0;
    // Selects an item of a combo box or list box (-1 or out of range: none).
    virtual void SetCurSel(int id, int index) = 0;
    // Gives the control the input focus, its whole text selected when selectAll.
    virtual void FocusControl(int id, bool selectAll) = 0;
};

// Thrown by CDataExchange::Fail and caught by RunDataExchange: the user has
// been told what is wrong and the exchange stops.
class CDataExchangeFailure {
public:
    int m_controlId = 0;
};

// One exchange in one direction over a dialog's controls.
class CDataExchange {
public:
    // saveAndValidate: TRUE reads the controls into members, FALSE shows members.
    CDataExchange(CDialogControls& controls, BOOL saveAndValidate);

    // Notes the control being exchanged, so a failure gives it the focus.
    void PrepareCtrl(int id);
    // Same for an edit box: a failure also selects its text.
    void PrepareEditCtrl(int id);
    // Gives the last prepared control the focus and abandons the exchange.
    [[noreturn]] void Fail();

    BOOL m_bSaveAndValidate;
    CDialogControls* m_pControls;
    int m_idLastControl = 0;
    bool m_bEditLastControl = false;
};

// Runs exchange over controls in one direction; FALSE when a control was
// refused (its prompt shown, its focus given).
BOOL RunDataExchange(CDialogControls& controls, BOOL saveAndValidate,
                     const std::function<void(CDataExchange*)>& exchange);

// Text of an edit box or label.
void DDX_Text(CDataExchange* pDX, int id, CString& value);
// Integer: shown "%d"; refused with "Please enter an integer.".
void DDX_Text(CDataExchange* pDX, int id, int& value);
// Float: shown "%.6g"; refused with "Please enter a number.".
void DDX_Text(CDataExchange* pDX, int id, float& value);
// Double: shown "%.15g"; refused with "Please enter a number.".
void DDX_Text(CDataExchange* pDX, int id, double& value);
// After DDX_Text of a string: limits the box when showing; refuses a
// longer text with "Enter no more than %d characters." when reading.
void DDV_MaxChars(CDataExchange* pDX, const CString& value, int maxChars);
// After DDX_Text of an int: refuses a value outside [min, max] with
// "Please enter an integer between %d and %d.".
void DDV_MinMaxInt(CDataExchange* pDX, int value, int minValue, int maxValue);
// After DDX_Text of a float: refuses a value outside [min, max] with
// "Please enter a number between %g and %g.".
void DDV_MinMaxFloat(CDataExchange* pDX, float value, float minValue, float maxValue);
// After DDX_Text of a double: refuses a value outside [min, max] with
// "Please enter a number between %g and %g.".
void DDV_MinMaxDouble(CDataExchange* pDX, double value, double minValue, double maxValue);
// Radio group that starts at firstId: the index of its checked button, -1 none.
void DDX_Radio(CDataExchange* pDX, int firstId, int& index);
// Check box state (BST_*).
void DDX_Check(CDataExchange* pDX, int id, int& state);
// Selected item index of a combo box (-1 none).
void DDX_CBIndex(CDataExchange* pDX, int id, int& index);
// Text of a combo box (its edit text, or the selected item's text).
void DDX_CBString(CDataExchange* pDX, int id, CString& value);
// Selected item index of a list box (-1 none).
void DDX_LBIndex(CDataExchange* pDX, int id, int& index);

// A double shown through a printf format (C locale). Reading: a box that
// is not blank, or any box when force is set, is read as DDX_Text reads a
// double (so a forced blank box is refused); a blank box otherwise leaves
// the value unchanged.
void DDX_FMTDBL(CDataExchange* pDX, int id, double& value, const CString& format, bool force);
// A double shown as commatize of its nearest integer (digit grouping of the
// user's locale). Reading (ReadGroupedNumber): the locale's group
// separators are removed and the cleaned text is put back into the box
// when it is not blank or force is set; a blank box leaves the value
// unchanged, forced or not; anything else that is no number is refused
// with "Please enter a number.".
void DDX_FMTCOMMA(CDataExchange* pDX, int id, double& value, bool force);

// Controls held in memory: what a dialog's rules exchange with when no
// window exists (headless runs and tests). Controls must be added first.
class CMemoryControls : public CDialogControls {
public:
    // Adds an edit box, label, button or check box with its text.
    void Add(int id, const CString& text = CString());
    // Adds a radio group: its buttons in order; the first id names the group.
    void AddRadioGroup(const std::vector<int>& ids);
    // Adds a combo box with its items; editable: it has a text of its own.
    void AddCombo(int id, const std::vector<CString>& items, bool editable);

    // The control that last took the focus (0: none yet).
    int Focused() const { return m_focused; }
    // The text limit of an edit box (0: none).
    int TextLimit(int id) const;

    CString GetText(int id) const override;
    void SetText(int id, const CString& text) override;
    void LimitText(int id, int chars) override;
    int GetCheck(int id) const override;
    void SetCheck(int id, int state) override;
    int GetRadio(int firstId) const override;
    void SetRadio(int firstId, int index) override;
    int GetCurSel(int id) const override;
    void SetCurSel(int id, int index) override;
    void FocusControl(int id, bool selectAll) override;

private:
    struct Control {
        CString text;
        int check = BST_UNCHECKED;
        int limit = 0;
        int selection = -1;
        bool combo = false;
        bool editable = false;
        std::vector<CString> items;
    };
    Control& find(int id);
    const Control& find(int id) const;
    const std::vector<int>& group(int firstId) const;

    std::map<int, Control> m_controls;
    std::map<int, std::vector<int>> m_groups;
    int m_focused = 0;
};
