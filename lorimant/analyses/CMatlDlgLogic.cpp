// The material definition dialog's state: its controls and their exchange,
// the start, the unit systems and their conversion, the isotropic and
// locked states, the colour, the help texts and the copy to and from a metal.
#include "lorimant/analyses/CMatlDlgLogic.h"

#include <cmath>
#include <initializer_list>
#include <iterator>

#include "analysis/model/CMetal.h"
#include "analysis/model/LightProperties.h"
#include "lorimant/automation/MaterialRecord.h"
#include "platform/core/Hooks.h"
#include "platform/sqldb/CSQLDatabase.h"

namespace {

using Dlg = CMatlDlgLogic;

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlack = RGB(0, 0, 0);

const wchar_t* const kSIcm = L"SIcm";
const wchar_t* const kUSCSin = L"USCSin";

// The boxes whose numbers show digit grouping (an empty box keeps the value).
constexpr int kGroupedIds[] = {Dlg::IDC_E,      Dlg::IDC_EC,     Dlg::IDC_G,      Dlg::IDC_FTU_L, Dlg::IDC_FTU_LT,
                               Dlg::IDC_FTY_L,  Dlg::IDC_FTY_LT, Dlg::IDC_FCY_L,  Dlg::IDC_FCY_LT,
                               Dlg::IDC_FCU_L,  Dlg::IDC_FCU_LT, Dlg::IDC_FSU_L,  Dlg::IDC_FSU_LT};

// The boxes that show nothing for an undefined number (empty reads as undefined).
constexpr int kBlankIds[] = {
    Dlg::IDC_NU,           Dlg::IDC_DENSITY,
    Dlg::IDC_N_YIELD_TL,   Dlg::IDC_N_YIELD_TLT,   Dlg::IDC_N_YIELD_CL,   Dlg::IDC_N_YIELD_CLT,
    Dlg::IDC_ALPHA_TL,     Dlg::IDC_ALPHA_TLT,     Dlg::IDC_ALPHA_CL,     Dlg::IDC_ALPHA_CLT,
    Dlg::IDC_N_ULTIMATE_TL, Dlg::IDC_N_ULTIMATE_TLT, Dlg::IDC_N_ULTIMATE_CL, Dlg::IDC_N_ULTIMATE_CLT,
    Dlg::IDC_FBRU15,       Dlg::IDC_FBRU20,        Dlg::IDC_FBRY15,       Dlg::IDC_FBRY20,
    Dlg::IDC_MAX_TENSILE_STRAIN, Dlg::IDC_MAX_COMPRESSION_STRAIN};

// The text boxes and the longest text each takes.
struct TextBox {
    int id;
    CString Dlg::*text;
    int limit;
};
constexpr TextBox kTextBoxes[] = {{Dlg::IDC_NAME, &Dlg::m_name, 120},
                                  {Dlg::IDC_FAMILY, &Dlg::m_family, 50},
                                  {Dlg::IDC_SPEC, &Dlg::m_spec, 120},
                                  {Dlg::IDC_UNS, &Dlg::m_uns, 50}};

// Texts without a box of their own, checked when the boxes are read.
struct HiddenText {
    CString Dlg::*text;
    int limit;
};
constexpr HiddenText kHiddenTexts[] = {{&Dlg::m_temper, 20}, {&Dlg::m_size, 50}, {&Dlg::m_units, 10}};

struct UnitWord {
    int id;
    CString Dlg::*word;
    bool density;
};
constexpr UnitWord kUnitWords[] = {
    {Dlg::IDC_E_UNITS, &Dlg::m_unitsE, false},         {Dlg::IDC_EC_UNITS, &Dlg::m_unitsEc, false},
    {Dlg::IDC_G_UNITS, &Dlg::m_unitsG, false},         {Dlg::IDC_YIELD_UNITS, &Dlg::m_unitsYield, false},
    {Dlg::IDC_ULTIMATE_UNITS, &Dlg::m_unitsUltimate, false}, {Dlg::IDC_BEARING_UNITS, &Dlg::m_unitsBearing, false},
    {Dlg::IDC_DENSITY_UNITS, &Dlg::m_unitsDensity, true}};

// The LT boxes: the isotropic box disables the first four and empties all five.
constexpr int kLtIds[] = {Dlg::IDC_FCY_LT, Dlg::IDC_FTU_LT, Dlg::IDC_FTY_LT, Dlg::IDC_FCU_LT, Dlg::IDC_FSU_LT};
constexpr double Dlg::*kLtValues[] = {&Dlg::m_Fcy_lt, &Dlg::m_Ftu_lt, &Dlg::m_Fty_lt, &Dlg::m_Fcu_lt, &Dlg::m_Fsu_lt};

// What a locked material or view mode disables besides every number box.
constexpr int kLockedIds[] = {Dlg::IDC_NAME,       Dlg::IDC_FAMILY,      Dlg::IDC_SPEC,        Dlg::IDC_UNS,
                              Dlg::IDC_E_UNITS,    Dlg::IDC_EC_UNITS,    Dlg::IDC_G_UNITS,     Dlg::IDC_DENSITY_UNITS,
                              Dlg::IDC_YIELD_UNITS, Dlg::IDC_ULTIMATE_UNITS, Dlg::IDC_ISOTROPIC, Dlg::IDC_LOCK,
                              Dlg::IDC_UNITS,      Dlg::IDC_SWATCH,      Dlg::IDC_NAME_LABEL,  Dlg::IDC_USCS_TO_SI};

// Factors of the two conversions, SIcm to USCSin and back.
struct Factor {
    double toUSCS;
    double toSI;
};
constexpr Factor kStressFactor{0.14503773773, 6.894757293178};
constexpr Factor kDensityFactor{0.03612729, 27.6801};
constexpr Factor kLengthFactor{1.0 / 2.54, 2.54};

// The short texts of the help ids, in the order of kHelpIds.
const wchar_t* const kHelpTexts[] = {
    L"Young's modulus (E): the slope of the tension stress-strain curve in its elastic range, in the stress "
    L"units shown beside it.",
    L"Density: the mass per unit volume of the metal, in g/cm^3 for SIcm or lbf/in^3 for USCSin.",
    L"Poisson's ratio: the lateral contraction over the axial extension under a uniaxial stress, between 0 and "
    L"1. Leave it empty to have it computed from E and G as E / (2 G) - 1.",
    L"Shear modulus (G): the shear stress over the shear strain in the elastic range. Leave it empty to have it "
    L"computed from E and Poisson's ratio as E / (2 (1 + nu)).",
};

// A number shown empty when undefined, read as undefined when empty.
void DDX_Blank(CDataExchange* pDX, int id, double& value)
{
    pDX->PrepareEditCtrl(id);
    if (!pDX->m_bSaveAndValidate) {
        if (!Dlg::IsDefined(value))
            pDX->m_pControls->SetText(id, CString());
        else
            DDX_FMTDBL(pDX, id, value, L"%.15g", false);
        return;
    }
    CString text = pDX->m_pControls->GetText(id);
    if (text.Trim().IsEmpty())
        value = Dlg::kUndefined;
    else
        DDX_FMTDBL(pDX, id, value, L"%.15g", true);
}

// A length limit of a text that has no box: checked when reading.
void checkLength(CDataExchange* pDX, const CString& text, int limit)
{
    if (pDX->m_bSaveAndValidate)
        DDV_MaxChars(pDX, text, limit);
}

} // namespace

CMatlDlgLogic::CMatlDlgLogic(CDialogControls& controls) : m_controls(controls) {}

CMatlDlgLogic::~CMatlDlgLogic() = default;

bool CMatlDlgLogic::IsDefined(double value)
{
    return !(value > -100000.0 && value <= -99999.0);
}

std::vector<int> CMatlDlgLogic::ControlIds()
{
    std::vector<int> ids(std::begin(kGroupedIds), std::end(kGroupedIds));
    ids.insert(ids.end(), std::begin(kBlankIds), std::end(kBlankIds));
    for (const TextBox& box : kTextBoxes)
        ids.push_back(box.id);
    for (const UnitWord& word : kUnitWords)
        ids.push_back(word.id);
    for (int id : std::initializer_list<int>{IDC_OK, IDCANCEL, IDC_CALCULATOR, IDC_SWATCH, IDC_COLOUR, IDC_ISOTROPIC, IDC_LOCK, IDC_UNITS,
                   IDC_USCS_TO_SI, IDC_SI_TO_USCS, IDC_NAME_LABEL, IDC_E_LABEL, IDC_NU_LABEL})
        ids.push_back(id);
    return ids;
}

void CMatlDlgLogic::AddControls(CMemoryControls& controls)
{
    for (int id : ControlIds())
        if (id != IDC_UNITS)
            controls.Add(id);
    controls.AddCombo(IDC_UNITS, {kSIcm, kUSCSin}, false);
}

// --- Exchange ------------------------------------------------------------------

BOOL CMatlDlgLogic::Exchange(BOOL saveAndValidate)
{
    return RunDataExchange(m_controls, saveAndValidate, [this](CDataExchange* pDX) { DoDataExchange(pDX); });
}

std::array<double*, 37> CMatlDlgLogic::recordValues()
{
    return {&m_E,         &m_Ec,        &m_density,   &m_thickness, &m_Ftu_l,     &m_Ftu_lt,
            &m_Fty_l,     &m_Fty_lt,    &m_Fcy_l,     &m_Fcy_lt,    &m_Fcu_l,     &m_Fcu_lt,
            &m_Fsu_lt,    &m_Fsu_l,     &m_nu,        &m_G,         &m_Fbru15,    &m_Fbru20,
            &m_Fbry15,    &m_Fbry20,    &m_red,       &m_green,     &m_blue,
            &m_alpha[0],  &m_alpha[1],  &m_alpha[2],  &m_alpha[3],
            &m_nYield[0], &m_nYield[1], &m_nYield[2], &m_nYield[3],
            &m_nUltimate[0], &m_nUltimate[1], &m_nUltimate[2], &m_nUltimate[3],
            &m_maxTensileStrain, &m_maxCompressionStrain};
}

std::array<double*, 13> CMatlDlgLogic::groupedValues()
{
    static_assert(std::size(kGroupedIds) == 13);
    return {&m_E,      &m_Ec,     &m_G,     &m_Ftu_l,  &m_Ftu_lt, &m_Fty_l, &m_Fty_lt,
            &m_Fcy_l,  &m_Fcy_lt, &m_Fcu_l, &m_Fcu_lt, &m_Fsu_l,  &m_Fsu_lt};
}

void CMatlDlgLogic::DoDataExchange(CDataExchange* pDX)
{
    for (const TextBox& box : kTextBoxes) {
        DDX_Text(pDX, box.id, this->*box.text);
        DDV_MaxChars(pDX, this->*box.text, box.limit);
    }
    for (const HiddenText& hidden : kHiddenTexts)
        checkLength(pDX, this->*hidden.text, hidden.limit);
    const auto grouped = groupedValues();
    for (std::size_t i = 0; i < grouped.size(); ++i) {
        DDX_FMTCOMMA(pDX, kGroupedIds[i], *grouped[i], false);
        if (!pDX->m_bSaveAndValidate)
            m_shownGrouped[kGroupedIds[i]] = m_controls.GetText(kGroupedIds[i]);
    }
    double* const blank[] = {&m_nu,           &m_density,      &m_nYield[0],    &m_nYield[1],    &m_nYield[2],
                             &m_nYield[3],    &m_alpha[0],     &m_alpha[1],     &m_alpha[2],     &m_alpha[3],
                             &m_nUltimate[0], &m_nUltimate[1], &m_nUltimate[2], &m_nUltimate[3], &m_Fbru15,
                             &m_Fbru20,       &m_Fbry15,       &m_Fbry20,       &m_maxTensileStrain,
                             &m_maxCompressionStrain};
    static_assert(std::size(blank) == std::size(kBlankIds));
    for (std::size_t i = 0; i < std::size(kBlankIds); ++i)
        DDX_Blank(pDX, kBlankIds[i], *blank[i]);
    for (const UnitWord& word : kUnitWords)
        DDX_Text(pDX, word.id, this->*word.word);
}

// --- Start -----------------------------------------------------------------------

BOOL CMatlDlgLogic::OnInitDialog()
{
    m_ended = false;
    m_endCode = IDCANCEL;
    // A dialog run again starts with every control enabled.
    for (auto& [id, disabled] : m_disabled)
        if (disabled) {
            disabled = false;
            ApplyControlState(id);
        }
    for (int id : {IDC_NAME_LABEL, IDC_E_LABEL, IDC_NU_LABEL})
        setLabelColour(id, kRed);
    try {
        m_pDB = std::make_unique<CSQLDatabase>(m_databasePath.ToStdWString());
        if (m_mode == kAdd)
            startEmpty();
        else
            startFromDatabase();
    } catch (const sql_exception& e) {
        AfxMessageBox(CString::FromUtf8(e.what()), L"SQL Database Error", MB_OK | MB_ICONSTOP);
    }
    setUnits(m_units);
    showUnitsChoice(m_units == kUSCSin);
    m_colour = {static_cast<float>(m_red), static_cast<float>(m_green), static_cast<float>(m_blue), 1.0f};
    OnBnClickedIsotropic();
    if (m_okDisabled)
        enable(IDC_OK, false);
    if (m_locked || m_mode == kView)
        disableEdit();
    Exchange(FALSE);
    return TRUE;
}

void CMatlDlgLogic::startFromDatabase()
{
    // The name names the stored metal: it is never changed here, also
    // when the database cannot be read.
    enable(IDC_NAME, false);
    m_pDB->connect();
    MaterialRecord record;
    if (record.read(*m_pDB, m_name)) {
        const std::array<CString*, 8> texts = record.texts();
        CString* const mine[] = {&m_name, &m_family, &m_form, &m_temper, &m_size, &m_spec, &m_units, &m_uns};
        for (std::size_t i = 0; i < texts.size(); ++i)
            *mine[i] = *texts[i];
        const auto values = record.values();
        const auto own = recordValues();
        for (std::size_t i = 0; i < own.size(); ++i)
            *own[i] = *values[i];
        m_isotropic = record.metal.isotropic;
    } else {
        CString message;
        message.Format(L"Material %s does not exist in the database.", static_cast<const wchar_t*>(m_name));
        AfxMessageBox(message, L"SQL Database Error", MB_OK | MB_ICONSTOP);
    }
    m_controls.SetCheck(IDC_ISOTROPIC, m_isotropic ? BST_CHECKED : BST_UNCHECKED);
    m_locked = !m_pDB->IsEditable(m_name.ToStdWString());
    m_controls.SetCheck(IDC_LOCK, m_locked ? BST_CHECKED : BST_UNCHECKED);
    if (!m_name.IsEmpty())
        setLabelColour(IDC_NAME_LABEL, kBlack);
    if (m_E > 0.0)
        setLabelColour(IDC_E_LABEL, kBlack);
    if (m_nu > 0.0)
        setLabelColour(IDC_NU_LABEL, kBlack);
}

void CMatlDlgLogic::startEmpty()
{
    enable(IDC_NAME, true);
    m_name.Empty();
    for (double* value : {&m_thickness, &m_nu, &m_density, &m_Fsu_l, &m_Fcy_l, &m_Fty_l, &m_Ftu_l, &m_E, &m_Fcu_lt,
                          &m_Fsu_lt, &m_Fcu_l, &m_maxTensileStrain, &m_maxCompressionStrain})
        *value = kUndefined;
    m_red = 1.0;
    m_green = 1.0;
    m_blue = 0.0;
    m_controls.SetCheck(IDC_ISOTROPIC, BST_CHECKED);
    m_controls.SetCheck(IDC_LOCK, BST_UNCHECKED);
    m_isotropic = true;
    m_locked = false;
}

// --- Units -------------------------------------------------------------------------

void CMatlDlgLogic::setUnits(const CString& units)
{
    const bool uscs = units == kUSCSin;
    for (const UnitWord& word : kUnitWords) {
        this->*word.word = word.density ? (uscs ? L"lbf/in^3" : L"g/cm^3") : (uscs ? L"psi" : L"KPa");
        m_controls.SetText(word.id, this->*word.word);
    }
}

void CMatlDlgLogic::showUnitsChoice(bool uscs)
{
    m_controls.SetCurSel(IDC_UNITS, uscs ? 1 : 0);
    m_units = uscs ? kUSCSin : kSIcm;
    show(IDC_USCS_TO_SI, uscs);
    show(IDC_SI_TO_USCS, !uscs);
}

void CMatlDlgLogic::OnCbnSelChangeUnits()
{
    m_units = m_controls.GetCurSel(IDC_UNITS) == 1 ? kUSCSin : kSIcm;
    // Only the unit words change: the boxes keep what the user typed.
    setUnits(m_units);
}

void CMatlDlgLogic::OnBnClickedSItoUSCS()
{
    convert(true);
}

void CMatlDlgLogic::OnBnClickedUSCStoSI()
{
    convert(false);
}

void CMatlDlgLogic::convert(bool toUSCS)
{
    // A grouped box shows its value rounded to a whole number. Where the
    // user left it as shown, the value converts unrounded, so that
    // converting there and back gives the value again.
    const auto grouped = groupedValues();
    std::map<double*, double> untouched;
    for (std::size_t i = 0; i < grouped.size(); ++i) {
        const auto shown = m_shownGrouped.find(kGroupedIds[i]);
        if (shown != m_shownGrouped.end() && shown->second == m_controls.GetText(kGroupedIds[i]))
            untouched[grouped[i]] = *grouped[i];
    }
    if (!Exchange(TRUE))
        return;
    for (const auto& [value, exact] : untouched)
        *value = exact;
    // The bearing allowables are stresses as well: their unit word changes
    // with the others, so their numbers must too.
    double* const stresses[] = {&m_E,      &m_Ec,     &m_G,      &m_Fcy_l,  &m_Fty_l,  &m_Fsu_l,  &m_Fcu_l,
                                &m_Ftu_l,  &m_Fcy_lt, &m_Fty_lt, &m_Fsu_lt, &m_Fcu_lt, &m_Ftu_lt, &m_Fbru15,
                                &m_Fbru20, &m_Fbry15, &m_Fbry20};
    const auto scale = [toUSCS](double& value, const Factor& factor) {
        if (IsDefined(value))
            value *= toUSCS ? factor.toUSCS : factor.toSI;
    };
    for (double* value : stresses)
        scale(*value, kStressFactor);
    scale(m_density, kDensityFactor);
    scale(m_thickness, kLengthFactor);
    showUnitsChoice(toUSCS);
    setUnits(m_units);
    Exchange(FALSE);
}

// --- Isotropic and locked ---------------------------------------------------------------

void CMatlDlgLogic::OnBnClickedIsotropic()
{
    m_isotropic = m_controls.GetCheck(IDC_ISOTROPIC) == BST_CHECKED;
    for (int id : kLtIds)
        if (!m_isotropic || id != IDC_FSU_LT)
            enable(id, !m_isotropic);
    if (!m_isotropic)
        return;
    // Only the five boxes change: the others keep what the user typed.
    // Each box now shows its undefined value, so a number typed into it
    // later counts as the user's and is read.
    for (std::size_t i = 0; i < std::size(kLtIds); ++i) {
        this->*kLtValues[i] = kUndefined;
        m_controls.SetText(kLtIds[i], CString());
        m_shownGrouped[kLtIds[i]] = CString();
    }
}

void CMatlDlgLogic::disableEdit()
{
    for (int id : kGroupedIds)
        enable(id, false);
    for (int id : kBlankIds)
        enable(id, false);
    for (int id : kLockedIds)
        enable(id, false);
}

// --- Colour, help, metal ------------------------------------------------------------------

void CMatlDlgLogic::OnMatlClr()
{
    COLORREF chosen = 0;
    if (ChooseColour(SwatchColour(), chosen)) {
        m_colour = {GetRValue(chosen) / 255.0f, GetGValue(chosen) / 255.0f, GetBValue(chosen) / 255.0f, 1.0f};
        RedrawSwatch();
    }
    m_colourChanged = true;
}

COLORREF CMatlDlgLogic::SwatchColour() const
{
    const auto byte = [](float part) {
        return static_cast<BYTE>(std::lround(std::fmin(std::fmax(part, 0.0f), 1.0f) * 255.0f));
    };
    return RGB(byte(m_colour[0]), byte(m_colour[1]), byte(m_colour[2]));
}

bool CMatlDlgLogic::OnHelpInfo(UINT contextId)
{
    for (std::size_t i = 0; i < std::size(kHelpIds); ++i)
        if (kHelpIds[i] == contextId) {
            AfxMessageBox(kHelpTexts[i], L"Material Specification", MB_OK | MB_ICONINFORMATION);
            return true;
        }
    return false;
}

void CMatlDlgLogic::setData(const CMetal* metal)
{
    if (metal == nullptr)
        return;
    m_name = metal->name;
    m_E = metal->E();
    m_Ec = metal->Ec;
    m_G = metal->G;
    m_nu = metal->nu();
    m_isotropic = metal->isotropic;
    m_Fsu_l = metal->Fsu_L;
    m_Fcy_l = metal->Fcy_L;
    m_Fty_l = metal->Fty_L;
    m_Ftu_l = metal->Ftu_L;
    m_Fcy_lt = metal->Fcy_LT;
    m_Fty_lt = metal->Fty_LT;
    m_Ftu_lt = metal->Ftu_LT;
    m_density = metal->density();
    if (metal->colour) {
        const RGBAf& c = metal->colour->diffuse;
        m_red = c.red;
        m_green = c.green;
        m_blue = c.blue;
        m_colour = {c.red, c.green, c.blue, 1.0f};
        RedrawSwatch();
    }
    m_controls.SetCheck(IDC_ISOTROPIC, m_isotropic ? BST_CHECKED : BST_UNCHECKED);
    Exchange(FALSE);
}

bool CMatlDlgLogic::getData(CMetal* metal)
{
    if (metal == nullptr || !Exchange(TRUE))
        return false;
    m_isotropic = m_controls.GetCheck(IDC_ISOTROPIC) == BST_CHECKED;
    metal->name = m_name;
    metal->E(m_E);
    metal->G = m_G;
    metal->nu(m_nu);
    metal->isotropic = m_isotropic;
    metal->Fsu_L = m_Fsu_l;
    metal->Fcy_L = m_Fcy_l;
    metal->Fty_L = m_Fty_l;
    metal->Ftu_L = m_Ftu_l;
    metal->Fcy_LT = m_Fcy_lt;
    metal->Fty_LT = m_Fty_lt;
    metal->Ftu_LT = m_Ftu_lt;
    metal->density(m_density);
    metal->setColour(m_colour[0], m_colour[1], m_colour[2]);
    return true;
}

// --- What the window shows ------------------------------------------------------------------

bool CMatlDlgLogic::IsControlEnabled(int id) const
{
    const auto it = m_disabled.find(id);
    return it == m_disabled.end() || !it->second;
}

bool CMatlDlgLogic::IsControlShown(int id) const
{
    const auto it = m_hidden.find(id);
    return it == m_hidden.end() || !it->second;
}

COLORREF CMatlDlgLogic::LabelTextColour(int id) const
{
    const auto it = m_labelColours.find(id);
    return it == m_labelColours.end() ? kBlack : it->second;
}

void CMatlDlgLogic::enable(int id, bool on)
{
    m_disabled[id] = !on;
    ApplyControlState(id);
}

void CMatlDlgLogic::show(int id, bool on)
{
    m_hidden[id] = !on;
    ApplyControlState(id);
}

void CMatlDlgLogic::setLabelColour(int id, COLORREF colour)
{
    m_labelColours[id] = colour;
    ApplyControlState(id);
}

void CMatlDlgLogic::endWith(int code)
{
    m_endCode = code;
    m_ended = true;
    CloseDialog(code);
}

void CMatlDlgLogic::ApplyControlState(int) {}

void CMatlDlgLogic::RedrawSwatch() {}

void CMatlDlgLogic::CloseDialog(int) {}

bool CMatlDlgLogic::ChooseColour(COLORREF, COLORREF&)
{
    return false;
}
