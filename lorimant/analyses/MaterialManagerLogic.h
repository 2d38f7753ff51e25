// The rules of the material database manager ("Metals Material Database"):
// the metals of the document's material database listed by name and unit
// system, filtered by one of their columns, added, viewed, edited, deleted
// and copied through the material definition dialog, and one of them chosen
// to be applied to the model.
//
// The class has no window. What opens another window or asks the user goes
// through a MaterialManagerHost; messages through the message-box hooks.
// Every operation opens its own connection to the database and closes it
// before it returns, so nothing holds the file between operations. The wx
// dialog (lorimant/ui/CMatlMgmtDlg.h) derives from it, shows its rows and
// button states and sends it the user's actions.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "analysis/model/EUnitSystem.h"
#include "platform/core/CString.h"
#include "platform/core/Types.h"

class CMetal;
class CSQLDatabase;
class CXSectionAnalysis;
class CXSectionAnalysisDoc;

// What the manager asks of the windows around it.
class MaterialManagerHost {
public:
    virtual ~MaterialManagerHost() = default;
    // The unit system of a new material; none when the user cancelled.
    virtual std::optional<EUnitSystem> askUnits() = 0;
    // Runs the material definition dialog modally in mode (0 add, 1 edit,
    // 2 view) on the metal name (empty for add), with unitsText ("USCSin"
    // or "SIcm") and the database file; IDOK or IDCANCEL.
    virtual int runMaterialDialog(int mode, const CString& name, const CString& unitsText,
                                  const CString& databasePath) = 0;
    // A text answered to prompt; none when the user cancelled.
    virtual std::optional<CString> askText(const CString& prompt) = 0;
};

// One row of the list: a metal's name and the text of its unit system
// (empty for the rows of a filter).
struct MaterialRow {
    CString name;
    CString units;
};

class MaterialManagerLogic {
public:
    enum {
        IDD = 1246,
        IDC_MATERIALS = 1249,
        IDC_ADD = 1250,
        IDC_EDIT = 1251,
        IDC_DELETE = 1252,
        IDC_VIEW = 1253,
        IDC_CREATE_SIMILAR = 1254,
        IDC_APPLY_MATERIAL = 1255,
        IDC_UNSELECT = 1256,
        IDC_CLOSE = 1257,
        IDC_FILTER_COLUMN = 1258,
        IDC_FILTER_TEXT = 1259,
        IDC_APPLY_FILTER = 1260,
        // The "CANCEL" button is IDCANCEL.
    };

    // The dialog's caption.
    static const wchar_t* const kCaption;
    // The columns a filter may search, in the order of the combo's items.
    static const wchar_t* const kFilterColumns[4];
    // How many characters of the filter text are read.
    static constexpr int kFilterTextLimit = 100;

    // Works on the document's model, its journal and its active view, and
    // asks host for windows; both must outlive the object. Throws
    // std::logic_error when the document has no model.
    MaterialManagerLogic(CXSectionAnalysisDoc& doc, MaterialManagerHost& host);
    virtual ~MaterialManagerLogic();
    MaterialManagerLogic(const MaterialManagerLogic&) = delete;
    MaterialManagerLogic& operator=(const MaterialManagerLogic&) = delete;

    // Start: lists every metal, nothing selected, the button states set.
    void OnInitDialog();
    // Replaces the rows by every metal's name and unit system, each name
    // once, and clears the selection. A database failure is shown ("SQL
    // ERROR") and the rows stay as they were.
    void fillList();
    // Replaces the rows by the names whose filter column (m_filterColumn,
    // an index of kFilterColumns) contains the first kFilterTextLimit
    // characters of m_filterText; clears the selection. A failure is shown
    // ("SQL Database Error") and the rows stay.
    void OnApplyFilter();
    // The user selected row (-1: none): the button states follow.
    void OnSelectionChanged(int row);

    // Deletes the selected metal after the lock test and the question, then
    // journals "xscn.DeleteMaterial" with its name, refills the list, marks
    // the document modified and redraws the active view. Nothing without a
    // selection; a failure journals nothing and changes nothing.
    void OnDelete();
    // Opens the selected metal in the material dialog for editing after the
    // lock test and the question, then refills the list.
    void OnEdit();
    // Asks for the unit system, then opens the material dialog for a new
    // metal; refills the list when it ends with OK.
    void OnAdd();
    // Opens the material dialog on the selected metal to look at; refills
    // on OK; the selection is cleared either way.
    void OnView();
    // Asks for a name and stores a copy of the selected metal under it,
    // journals the copy as "xscn.AddMaterialDef" of its values, then
    // refills; a failure is shown ("Similar Material") and journals nothing.
    void OnCreateSimilar();
    // The selected metal becomes the chosen one: the model's metal of that
    // name, or a new one not yet in the model, with the values and colour
    // the database holds; the dialog then ends with OK. Without a selection
    // it says that one is needed.
    void OnApplyMaterial();
    // Clears the selection.
    void OnUnselect();
    // Ends the dialog with IDCANCEL (the "CANCEL" and "Close" buttons).
    void OnClose();
    // F1 on DELETE, ADD or EDIT: a short text about that command; false for
    // any other control.
    bool OnHelpInfo(int controlId);

    // What the window shows.
    const std::vector<MaterialRow>& rows() const { return m_rows; }
    // The selected row, -1 when none is.
    int selection() const { return m_selected; }
    // Whether the button id is enabled now (true for ids without a rule).
    bool IsButtonEnabled(int id) const;
    // The metal chosen by Apply Material; null before.
    const std::shared_ptr<CMetal>& chosenMetal() const { return m_chosen; }
    // The code the dialog ended with (IDCANCEL before any), and whether it did.
    int EndCode() const { return m_endCode; }
    bool Ended() const { return m_ended; }
    CXSectionAnalysisDoc& document() const { return m_doc; }

    // The filter as the window's controls give it.
    int m_filterColumn = 0;
    CString m_filterText;

protected:
    // The window shows the rows anew.
    virtual void ShowRows() {}
    // The window shows the selection (selection()).
    virtual void ShowSelection() {}
    // The window applies the button states (IsButtonEnabled).
    virtual void ShowButtonStates() {}
    // The window closes with code; the logic has recorded it already.
    virtual void CloseDialog(int /*code*/) {}

private:
    CXSectionAnalysis& model() const;
    std::unique_ptr<CSQLDatabase> connect() const;
    const CString* selectedName() const;
    bool isEditable(const CString& name);
    void replaceRows(std::vector<MaterialRow> rows);
    void setSelection(int row);
    void updateButtons();
    bool deleteConfirmed(const CString& name);
    void endWith(int code);

    CXSectionAnalysisDoc& m_doc;
    MaterialManagerHost& m_host;
    std::vector<MaterialRow> m_rows;
    int m_selected = -1;
    std::map<int, bool> m_enabled;
    std::shared_ptr<CMetal> m_chosen;
    int m_endCode = 2; // IDCANCEL
    bool m_ended = false;
};
