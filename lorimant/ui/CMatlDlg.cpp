// The material definition dialog's window.
#include "lorimant/ui/CMatlDlg.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/colordlg.h>
#include <wx/dcclient.h>
#include <wx/settings.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <utility>

#include "lorimant/ui/Calculator.h"
#include "platform/ui/CColorStatic.h"

namespace {

using Dlg = CMatlDlgLogic;

CMatlDlg::ColourRunner& colourRunner()
{
    static CMatlDlg::ColourRunner runner;
    return runner;
}

COLORREF toColorref(const wxColour& c)
{
    return RGB(c.Red(), c.Green(), c.Blue());
}

wxColour toWx(COLORREF c)
{
    return wxColour(GetRValue(c), GetGValue(c), GetBValue(c));
}

// The width of a number box: a grouped modulus of ten digits fits.
constexpr int kNumberWidth = 96;
// The width of the boxes that show converted numbers with their decimals
// (density and the bearing allowables): fifteen digits fit.
constexpr int kWideNumberWidth = 136;

// One row of labelled value boxes: the label text and the box ids.
struct ValueRow {
    const char* label;
    int ids[4];
};

// The allowables, yield rows first: L and LT, the unit word of the group
// on the group's first row (0: none).
struct AllowableRow {
    const char* label;
    int l, lt, unitWord;
};
constexpr AllowableRow kAllowables[] = {
    {"Tension yield (Fty)", Dlg::IDC_FTY_L, Dlg::IDC_FTY_LT, Dlg::IDC_YIELD_UNITS},
    {"Compression yield (Fcy)", Dlg::IDC_FCY_L, Dlg::IDC_FCY_LT, 0},
    {"Tension ultimate (Ftu)", Dlg::IDC_FTU_L, Dlg::IDC_FTU_LT, Dlg::IDC_ULTIMATE_UNITS},
    {"Compression ultimate (Fcu)", Dlg::IDC_FCU_L, Dlg::IDC_FCU_LT, 0},
    {"Shear ultimate (Fsu)", Dlg::IDC_FSU_L, Dlg::IDC_FSU_LT, 0},
};

constexpr ValueRow kRambergOsgood[] = {
    {"n, initial to yield",
     {Dlg::IDC_N_YIELD_TL, Dlg::IDC_N_YIELD_TLT, Dlg::IDC_N_YIELD_CL, Dlg::IDC_N_YIELD_CLT}},
    {"alpha", {Dlg::IDC_ALPHA_TL, Dlg::IDC_ALPHA_TLT, Dlg::IDC_ALPHA_CL, Dlg::IDC_ALPHA_CLT}},
    {"n, yield to ultimate",
     {Dlg::IDC_N_ULTIMATE_TL, Dlg::IDC_N_ULTIMATE_TLT, Dlg::IDC_N_ULTIMATE_CL, Dlg::IDC_N_ULTIMATE_CLT}},
};

// The boxes whose F1 shows the short text of their help id.
constexpr int kHelpBoxes[] = {Dlg::IDC_E, Dlg::IDC_DENSITY, Dlg::IDC_NU, Dlg::IDC_G};

constexpr int kGap = 4;

} // namespace

CMatlDlg::CMatlDlg(wxWindow* parent)
    : CModalBase(IDD, parent, "Material Specification"), CMatlDlgLogic(static_cast<CDialogControls&>(*this))
{
}

CMatlDlg::~CMatlDlg() = default;

void CMatlDlg::SetColourRunner(ColourRunner runner)
{
    colourRunner() = std::move(runner);
}

// --- Building -------------------------------------------------------------------------

void CMatlDlg::CreateControls()
{
    auto* left = new wxBoxSizer(wxVERTICAL);
    left->Add(makeDescription(), 0, wxEXPAND | wxBOTTOM, 6);
    left->Add(makeElastic(), 0, wxEXPAND | wxBOTTOM, 6);
    left->Add(makeStrains(), 0, wxEXPAND);
    auto* right = new wxBoxSizer(wxVERTICAL);
    right->Add(makeAllowables(), 0, wxEXPAND | wxBOTTOM, 6);
    right->Add(makeBearing(), 0, wxEXPAND | wxBOTTOM, 6);
    right->Add(makeRambergOsgood(), 0, wxEXPAND);
    auto* columns = new wxBoxSizer(wxHORIZONTAL);
    columns->Add(left, 0, wxEXPAND | wxRIGHT, 8);
    columns->Add(right, 1, wxEXPAND);
    auto* top = new wxBoxSizer(wxVERTICAL);
    top->Add(columns, 1, wxEXPAND | wxALL, 10);
    top->Add(makeBottom(), 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 10);
    SetSizer(top);
    bindEvents();
}

wxWindow* CMatlDlg::makeLabel(int id, const wxString& text, wxWindow* parent)
{
    if (id == 0)
        return AddLabel(wxID_STATIC, text, parent);
    // The coloured labels: red until their value is defined.
    auto* label = new CColorStatic(parent, id, text);
    label->SetBkColor(toColorref(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE)));
    label->SetTextColor(LabelTextColour(id));
    return label;
}

wxWindow* CMatlDlg::makeNumber(int id, wxWindow* parent, bool wide)
{
    wxTextCtrl* box = AddEdit(id, wxTE_RIGHT, parent);
    box->SetMinSize(wxSize(wide ? kWideNumberWidth : kNumberWidth, -1));
    return box;
}

wxWindow* CMatlDlg::makeUnitWord(int id, wxWindow* parent)
{
    wxTextCtrl* box = AddEdit(id, wxTE_READONLY, parent);
    box->SetMinSize(wxSize(72, -1));
    return box;
}

wxSizer* CMatlDlg::makeDescription()
{
    auto* group = new wxStaticBoxSizer(wxVERTICAL, this, "Material");
    wxWindow* box = group->GetStaticBox();
    auto* grid = new wxFlexGridSizer(2, wxSize(kGap, kGap));
    grid->AddGrowableCol(1);
    const std::pair<int, const char*> rows[] = {{IDC_NAME, "Name "}, {IDC_FAMILY, "Family"},
                                                {IDC_SPEC, "Specification"}, {IDC_UNS, "UNS"}};
    for (const auto& [id, text] : rows) {
        grid->Add(makeLabel(id == IDC_NAME ? IDC_NAME_LABEL : 0, text, box), 0, wxALIGN_CENTER_VERTICAL);
        wxTextCtrl* edit = AddEdit(id, 0, box);
        edit->SetMinSize(wxSize(240, -1));
        grid->Add(edit, 1, wxEXPAND);
    }
    group->Add(grid, 1, wxEXPAND | wxALL, kGap);
    return group;
}

wxSizer* CMatlDlg::makeElastic()
{
    auto* group = new wxStaticBoxSizer(wxVERTICAL, this, "Elastic Properties");
    wxWindow* box = group->GetStaticBox();
    auto* grid = new wxFlexGridSizer(3, wxSize(kGap, kGap));
    struct Row {
        int label;
        const char* text;
        int value;
        int unitWord;
    };
    const Row rows[] = {{IDC_E_LABEL, "Tension  (E)", IDC_E, IDC_E_UNITS},
                        {0, "Compression (Ec)", IDC_EC, IDC_EC_UNITS},
                        {0, "Shear Modulus (G)", IDC_G, IDC_G_UNITS},
                        {IDC_NU_LABEL, "Poisson's Ratio", IDC_NU, 0},
                        {0, "Density", IDC_DENSITY, IDC_DENSITY_UNITS}};
    for (const Row& row : rows) {
        grid->Add(makeLabel(row.label, row.text, box), 0, wxALIGN_CENTER_VERTICAL);
        grid->Add(makeNumber(row.value, box, row.value == IDC_DENSITY), 0, wxEXPAND);
        if (row.unitWord != 0)
            grid->Add(makeUnitWord(row.unitWord, box), 0);
        else
            grid->AddSpacer(0);
    }
    group->Add(grid, 0, wxALL, kGap);
    return group;
}

wxSizer* CMatlDlg::makeStrains()
{
    auto* group = new wxStaticBoxSizer(wxVERTICAL, this, "Strain Limits");
    wxWindow* box = group->GetStaticBox();
    auto* grid = new wxFlexGridSizer(2, wxSize(kGap, kGap));
    grid->Add(makeLabel(0, "Maximum tensile strain", box), 0, wxALIGN_CENTER_VERTICAL);
    grid->Add(makeNumber(IDC_MAX_TENSILE_STRAIN, box), 0);
    grid->Add(makeLabel(0, "Maximum compression strain", box), 0, wxALIGN_CENTER_VERTICAL);
    grid->Add(makeNumber(IDC_MAX_COMPRESSION_STRAIN, box), 0);
    group->Add(grid, 0, wxALL, kGap);
    return group;
}

wxSizer* CMatlDlg::makeAllowables()
{
    auto* group = new wxStaticBoxSizer(wxVERTICAL, this, "Allowables");
    wxWindow* box = group->GetStaticBox();
    auto* grid = new wxFlexGridSizer(4, wxSize(kGap, kGap));
    grid->AddSpacer(0);
    grid->Add(makeLabel(0, "L", box), 0, wxALIGN_CENTER_HORIZONTAL);
    grid->Add(makeLabel(0, "LT", box), 0, wxALIGN_CENTER_HORIZONTAL);
    grid->AddSpacer(0);
    for (const AllowableRow& row : kAllowables) {
        grid->Add(makeLabel(0, row.label, box), 0, wxALIGN_CENTER_VERTICAL);
        grid->Add(makeNumber(row.l, box), 0);
        grid->Add(makeNumber(row.lt, box), 0);
        if (row.unitWord != 0)
            grid->Add(makeUnitWord(row.unitWord, box), 0);
        else
            grid->AddSpacer(0);
    }
    group->Add(grid, 0, wxALL, kGap);
    return group;
}

wxSizer* CMatlDlg::makeBearing()
{
    auto* group = new wxStaticBoxSizer(wxVERTICAL, this, "Bearing Allowables");
    wxWindow* box = group->GetStaticBox();
    auto* grid = new wxFlexGridSizer(4, wxSize(kGap, kGap));
    grid->AddSpacer(0);
    grid->Add(makeLabel(0, "e/D = 1.5", box), 0, wxALIGN_CENTER_HORIZONTAL);
    grid->Add(makeLabel(0, "e/D = 2.0", box), 0, wxALIGN_CENTER_HORIZONTAL);
    grid->AddSpacer(0);
    grid->Add(makeLabel(0, "Ultimate (Fbru)", box), 0, wxALIGN_CENTER_VERTICAL);
    grid->Add(makeNumber(IDC_FBRU15, box, true), 0);
    grid->Add(makeNumber(IDC_FBRU20, box, true), 0);
    grid->Add(makeUnitWord(IDC_BEARING_UNITS, box), 0);
    grid->Add(makeLabel(0, "Yield (Fbry)", box), 0, wxALIGN_CENTER_VERTICAL);
    grid->Add(makeNumber(IDC_FBRY15, box, true), 0);
    grid->Add(makeNumber(IDC_FBRY20, box, true), 0);
    grid->AddSpacer(0);
    group->Add(grid, 0, wxALL, kGap);
    return group;
}

wxSizer* CMatlDlg::makeRambergOsgood()
{
    auto* group = new wxStaticBoxSizer(wxVERTICAL, this, "Ramberg-Osgood");
    wxWindow* box = group->GetStaticBox();
    auto* grid = new wxFlexGridSizer(5, wxSize(3 * kGap, kGap));
    grid->AddSpacer(0);
    for (const char* heading : {"Tension L", "Tension LT", "Compression L", "Compression LT"})
        grid->Add(makeLabel(0, heading, box), 0, wxALIGN_CENTER_HORIZONTAL);
    for (const ValueRow& row : kRambergOsgood) {
        grid->Add(makeLabel(0, row.label, box), 0, wxALIGN_CENTER_VERTICAL);
        for (int id : row.ids)
            grid->Add(makeNumber(id, box), 0);
    }
    group->Add(grid, 0, wxALL, kGap);
    return group;
}

wxSizer* CMatlDlg::makeBottom()
{
    auto* units = new wxBoxSizer(wxHORIZONTAL);
    units->Add(AddLabel(wxID_STATIC, "Units"), 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, kGap);
    wxArrayString systems;
    systems.Add("SIcm");
    systems.Add("USCSin");
    units->Add(AddCombo(IDC_UNITS, systems, false), 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, kGap);
    // The two conversions share one place: the logic shows one of them.
    units->Add(AddButton(IDC_USCS_TO_SI, "Convert USCSin SIcm"), 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, kGap);
    units->Add(AddButton(IDC_SI_TO_USCS, "Convert SIcm to USCSin"), 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, kGap);
    units->Add(AddButton(IDC_CALCULATOR, "Calculator"), 0, wxALIGN_CENTER_VERTICAL);

    auto* colour = new wxBoxSizer(wxHORIZONTAL);
    m_swatch = new wxWindow(this, IDC_SWATCH, wxDefaultPosition, wxSize(44, 24), wxBORDER_SIMPLE);
    m_swatch->SetBackgroundStyle(wxBG_STYLE_PAINT);
    m_swatch->SetToolTip("Click to choose the material's colour");
    colour->Add(m_swatch, 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, kGap);
    colour->Add(AddButton(IDC_COLOUR, "Material Color"), 0, wxALIGN_CENTER_VERTICAL);

    auto* checks = new wxBoxSizer(wxVERTICAL);
    checks->Add(AddCheck(IDC_ISOTROPIC, "Is Isotropic"), 0, wxBOTTOM, kGap);
    checks->Add(AddCheck(IDC_LOCK, "Lock Material (prevent change)"), 0);

    auto* row = new wxBoxSizer(wxHORIZONTAL);
    row->Add(units, 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 16);
    row->Add(colour, 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 16);
    row->Add(checks, 0, wxALIGN_CENTER_VERTICAL);
    row->AddStretchSpacer();
    row->Add(AddButton(IDC_OK, "OK"), 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, kGap);
    row->Add(AddButton(IDCANCEL, "Cancel"), 0, wxALIGN_CENTER_VERTICAL);
    return row;
}

void CMatlDlg::bindEvents()
{
    const auto button = [this](int id, void (CMatlDlgLogic::*handler)()) {
        Bind(wxEVT_BUTTON, [this, handler](wxCommandEvent&) { (this->*handler)(); }, id);
    };
    button(IDC_OK, &CMatlDlgLogic::OnClickedOK);
    button(IDC_SI_TO_USCS, &CMatlDlgLogic::OnBnClickedSItoUSCS);
    button(IDC_USCS_TO_SI, &CMatlDlgLogic::OnBnClickedUSCStoSI);
    button(IDC_COLOUR, &CMatlDlgLogic::OnMatlClr);
    Bind(wxEVT_BUTTON, [](wxCommandEvent&) { LaunchCalculator(); }, IDC_CALCULATOR);
    Bind(wxEVT_CHECKBOX, [this](wxCommandEvent&) { OnBnClickedIsotropic(); }, IDC_ISOTROPIC);
    Bind(wxEVT_CHOICE, [this](wxCommandEvent&) { OnCbnSelChangeUnits(); }, IDC_UNITS);
    m_swatch->Bind(wxEVT_PAINT, &CMatlDlg::onSwatchPaint, this);
    m_swatch->Bind(wxEVT_LEFT_DOWN, [this](wxMouseEvent&) {
        if (IsControlEnabled(IDC_SWATCH))
            OnMatlClr();
    });
    for (int id : kHelpBoxes)
        GetDlgItem(id)->Bind(wxEVT_KEY_DOWN, [this, id](wxKeyEvent& event) {
            if (event.GetKeyCode() != WXK_F1 || !OnHelpInfo(0x10000u + static_cast<UINT>(id)))
                event.Skip();
        });
    Bind(wxEVT_HELP, [this](wxHelpEvent& event) {
        if (event.GetId() <= 0 || !OnHelpInfo(0x10000u + static_cast<UINT>(event.GetId())))
            event.Skip();
    });
}

// --- Logic to window -----------------------------------------------------------------------

BOOL CMatlDlg::OnInitDialog()
{
    return CMatlDlgLogic::OnInitDialog();
}

void CMatlDlg::OnOK()
{
    CMatlDlgLogic::OnOK();
}

void CMatlDlg::OnCancel()
{
    if (m_pOwnedWindow != nullptr) {
        m_pOwnedWindow->Destroy();
        m_pOwnedWindow = nullptr;
    }
    CMatlDlgLogic::OnCancel();
}

void CMatlDlg::ApplyControlState(int id)
{
    wxWindow* window = FindWindow(id);
    if (window == nullptr || window == this)
        return;
    window->Enable(IsControlEnabled(id));
    if (window->IsShown() != IsControlShown(id)) {
        window->Show(IsControlShown(id));
        Layout();
    }
    if (auto* label = dynamic_cast<CColorStatic*>(window))
        label->SetTextColor(LabelTextColour(id));
}

void CMatlDlg::RedrawSwatch()
{
    if (m_swatch != nullptr)
        m_swatch->Refresh();
}

void CMatlDlg::CloseDialog(int code)
{
    EndDialog(code);
}

bool CMatlDlg::ChooseColour(COLORREF initial, COLORREF& chosen)
{
    wxColour colour = toWx(initial);
    bool ok = false;
    if (colourRunner()) {
        ok = colourRunner()(colour);
    } else {
        wxColourData data;
        data.SetColour(colour);
        wxColourDialog dialog(this, &data);
        ok = dialog.ShowModal() == wxID_OK;
        if (ok)
            colour = dialog.GetColourData().GetColour();
    }
    if (ok)
        chosen = toColorref(colour);
    return ok;
}

void CMatlDlg::onSwatchPaint(wxPaintEvent&)
{
    wxPaintDC dc(m_swatch);
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.SetBrush(wxBrush(toWx(SwatchColour())));
    dc.DrawRectangle(wxRect(m_swatch->GetClientSize()));
}
