// The material database manager's window ("Metals Material Database"): the
// list of metals, the buttons and the filter group of MaterialManagerLogic,
// its events sent to the logic and its rows and button states shown. It
// asks its questions with the unit-system, text and material definition
// dialogs.
#pragma once

#include <memory>

#include "lorimant/analyses/MaterialManagerLogic.h"
#include "lorimant/ui/CModalBase.h"

class CMetal;
class wxListCtrl;
class wxListEvent;

class CMatlMgmtDlg : public CModalBase, public MaterialManagerHost, public MaterialManagerLogic {
public:
    // On the document's model and material database; parent may be null.
    explicit CMatlMgmtDlg(CXSectionAnalysisDoc& doc, wxWindow* parent = nullptr);
    ~CMatlMgmtDlg() override;

    // The list of metals (null before the window is built).
    wxListCtrl* list() const { return m_list; }

    // MaterialManagerHost: CUnits, the material definition dialog on the
    // document's journal, CGetStringDlg.
    std::optional<EUnitSystem> askUnits() override;
    int runMaterialDialog(int mode, const CString& name, const CString& unitsText,
                          const CString& databasePath) override;
    std::optional<CString> askText(const CString& prompt) override;

protected:
    void CreateControls() override;
    // The logic's start: the list filled, the button states set.
    BOOL OnInitDialog() override;
    // Enter never closes the manager: only its buttons end it.
    void OnOK() override {}
    void OnCancel() override { OnClose(); }

    void ShowRows() override;
    void ShowSelection() override;
    void ShowButtonStates() override;
    void CloseDialog(int code) override;

private:
    wxSizer* makeButtons();
    wxSizer* makeFilter();
    void bindEvents();
    void onSelected(wxListEvent& event);
    void onDeselected(wxListEvent& event);
    void onApplyFilter();

    wxListCtrl* m_list = nullptr;
    // Set while the window changes the list itself, whose events then are
    // not the user's.
    bool m_showing = false;
};

// Runs the material database manager modally on the document; the metal
// that Apply Material chose (the model's own or a new one the caller adds
// to the model), or null when the manager was closed otherwise.
std::shared_ptr<CMetal> RunMaterialManager(CXSectionAnalysisDoc& doc, wxWindow* parent = nullptr);
