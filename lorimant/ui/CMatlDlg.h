// The material definition dialog's window ("Material Specification"):
// the controls of CMatlDlgLogic by their ids, its events sent to the
// logic, and what the logic decides (enabled and shown controls, label
// colours, the swatch, closing) applied to the controls.
//
// The opener sets the mode, the database path, the journal, the material
// name (modes 1 to 3) and optionally the OK-disabled flag, then runs
// DoModal; IDOK means the dialog closed through OK.
#pragma once

#include <functional>

#include "lorimant/analyses/CMatlDlgLogic.h"
#include "lorimant/ui/CModalBase.h"

class wxColour;

class CMatlDlg : public CModalBase, public CMatlDlgLogic {
public:
    // Stands in for the colour chooser's modal loop (tests): given the
    // swatch colour, true with the chosen one in colour, false for Cancel.
    using ColourRunner = std::function<bool(wxColour& colour)>;

    // Parent may be null.
    explicit CMatlDlg(wxWindow* parent = nullptr);
    ~CMatlDlg() override;

    // Sets (null: clears) the runner that stands in for the colour chooser.
    static void SetColourRunner(ColourRunner runner);

    // A window that Cancel destroys; null unless the opener sets it.
    wxWindow* m_pOwnedWindow = nullptr;

protected:
    void CreateControls() override;
    // The logic's start; then the window fits its controls.
    BOOL OnInitDialog() override;
    // Enter: the logic's OnOK, which never closes.
    void OnOK() override;
    // Destroys the owned window and closes with IDCANCEL.
    void OnCancel() override;
    void DoDataExchange(CDataExchange* pDX) override { CMatlDlgLogic::DoDataExchange(pDX); }

    void ApplyControlState(int id) override;
    void RedrawSwatch() override;
    void CloseDialog(int code) override;
    bool ChooseColour(COLORREF initial, COLORREF& chosen) override;

private:
    wxSizer* makeDescription();
    wxSizer* makeElastic();
    wxSizer* makeAllowables();
    wxSizer* makeBearing();
    wxSizer* makeRambergOsgood();
    wxSizer* makeStrains();
    wxSizer* makeBottom();
    wxWindow* makeLabel(int id, const wxString& text, wxWindow* parent);
    wxWindow* makeNumber(int id, wxWindow* parent, bool wide = false);
    wxWindow* makeUnitWord(int id, wxWindow* parent);
    void bindEvents();
    void onSwatchPaint(wxPaintEvent& event);

    wxWindow* m_swatch = nullptr;
};
