// The rules of the material definition dialog ("Material Specification"):
// one metal of the material database shown to be added (mode 0), changed
// (1), only looked at (2) or checked (3). It reads the metal by name over
// its own connection, checks what the user typed, stores the metal with
// the database's add or edit call and records that as a journal line that
// the automation replays. It also converts every value between the two
// unit systems of the database, "SIcm" and "USCSin", and keeps the metal's
// display colour.
//
// The class has no window. It exchanges its members with controls by id
// (CDialogControls) and keeps what a window shows beyond texts: which
// controls are enabled or shown and the text colour of the three coloured
// labels. The wx dialog (lorimant/ui/CMatlDlg.h) derives from it and
// applies that state; a test runs it over controls held in memory.
//
// Every number uses -99999 for "not defined"; a value counts as defined
// when its integer part is not -99999.
#pragma once

#include <array>
#include <map>
#include <memory>
#include <vector>

#include "platform/core/CString.h"
#include "platform/core/DataExchange.h"
#include "platform/core/Types.h"

class CLog;
class CMemoryControls;
class CMetal;
class CSQLDatabase;

class CMatlDlgLogic {
public:
    enum {
        IDD = 1245,
        IDC_OK = 200,
        IDC_CALCULATOR = 201,
        IDC_SWATCH = 555,
        IDC_COLOUR = 556,
        IDC_NAME = 560,
        IDC_FAMILY = 1065,
        IDC_SPEC = 1066,
        IDC_UNS = 1060,
        IDC_E = 319,
        IDC_EC = 321,
        IDC_G = 883,
        IDC_NU = 620,
        IDC_DENSITY = 550,
        IDC_FTU_L = 379,
        IDC_FTU_LT = 386,
        IDC_FTY_L = 381,
        IDC_FTY_LT = 383,
        IDC_FCY_L = 884,
        IDC_FCY_LT = 1069,
        IDC_FCU_L = 1068,
        IDC_FCU_LT = 380,
        IDC_FSU_L = 375,
        IDC_FSU_LT = 382,
        // Ramberg-Osgood values, each row in the case order tension L,
        // tension LT, compression L, compression LT.
        IDC_N_YIELD_TL = 1079,
        IDC_N_YIELD_TLT = 1080,
        IDC_N_YIELD_CL = 1081,
        IDC_N_YIELD_CLT = 1082,
        IDC_ALPHA_TL = 1097,
        IDC_ALPHA_TLT = 1067,
        IDC_ALPHA_CL = 1099,
        IDC_ALPHA_CLT = 1100,
        IDC_N_ULTIMATE_TL = 1085,
        IDC_N_ULTIMATE_TLT = 1063,
        IDC_N_ULTIMATE_CL = 1091,
        IDC_N_ULTIMATE_CLT = 1092,
        IDC_FBRU15 = 1083,
        IDC_FBRU20 = 1087,
        IDC_FBRY15 = 1084,
        IDC_FBRY20 = 1086,
        IDC_MAX_TENSILE_STRAIN = 1114,
        IDC_MAX_COMPRESSION_STRAIN = 1113,
        // Unit words beside the values (read-only boxes).
        IDC_E_UNITS = 341,
        IDC_EC_UNITS = 342,
        IDC_G_UNITS = 393,
        IDC_YIELD_UNITS = 378,
        IDC_ULTIMATE_UNITS = 376,
        IDC_BEARING_UNITS = 385,
        IDC_DENSITY_UNITS = 291,
        IDC_ISOTROPIC = 1064,
        IDC_LOCK = 1071,
        IDC_UNITS = 882,
        IDC_USCS_TO_SI = 1076,
        IDC_SI_TO_USCS = 1133,
        // The coloured labels "Name ", "Tension  (E)" and "Poisson's Ratio".
        IDC_NAME_LABEL = 1246,
        IDC_E_LABEL = 1247,
        IDC_NU_LABEL = 1248,
    };

    // What the dialog is opened for.
    enum Mode { kAdd = 0, kEdit = 1, kView = 2, kCheck = 3 };

    // The value that means "not defined".
    static constexpr double kUndefined = -99999.0;
    // The help context ids of the boxes of E, density, nu and G (0x10000 + control id).
    static constexpr UINT kHelpIds[4] = {65855, 66086, 66156, 66419};

    // Exchanges with controls, which must outlive the object; E and G
    // undefined, nu -1, density 1, alphas 0.002, every other number
    // undefined, texts empty, colour green, mode 0, no connection.
    explicit CMatlDlgLogic(CDialogControls& controls);
    virtual ~CMatlDlgLogic();
    CMatlDlgLogic(const CMatlDlgLogic&) = delete;
    CMatlDlgLogic& operator=(const CMatlDlgLogic&) = delete;

    // True when value is defined (its integer part is not -99999).
    static bool IsDefined(double value);
    // Every control id the dialog has: what a window must create, and what
    // memory controls for a headless run hold (AddControls).
    static std::vector<int> ControlIds();
    // Adds every control of the dialog to controls held in memory (the
    // units combo with its two items).
    static void AddControls(CMemoryControls& controls);

    // Start: connects, reads the named metal in modes 1 to 3 (the name
    // box disabled, the labels black where their value is defined, the
    // lock from the database) or starts an empty metal in mode 0; then the
    // units, the colour, the isotropic state, the OK-disabled flag and the
    // lock; shows the values. A database failure is shown ("SQL Database
    // Error") and the dialog stays usable. TRUE.
    BOOL OnInitDialog();
    // Moves the members to the controls (FALSE) or reads them (TRUE):
    // FALSE when a box was refused, its prompt shown.
    BOOL Exchange(BOOL saveAndValidate);
    // The exchange of every box: texts with their length limits, grouped
    // numbers (an empty box keeps the value), blank numbers (empty is
    // undefined) and the unit words.
    void DoDataExchange(CDataExchange* pDX);

    // The unit words for units: "psi" and "lbf/in^3" for "USCSin", else
    // "KPa" and "g/cm^3"; shown in their boxes.
    void setUnits(const CString& units);
    // The units combo's choice: index 1 "USCSin", else "SIcm", becomes the
    // units with their words.
    void OnCbnSelChangeUnits();
    // Converts every defined stress, modulus, density and thickness from
    // SIcm to USCSin (after reading the boxes) and switches to USCSin.
    void OnBnClickedSItoUSCS();
    // The same from USCSin to SIcm.
    void OnBnClickedUSCStoSI();
    // Applies the isotropic box: unchecked enables the LT boxes; checked
    // disables four of them and empties all five LT values.
    void OnBnClickedIsotropic();
    // Reads the boxes and completes G from E and nu, or nu from E and G,
    // refusing impossible values (G -1, nu -1) and warning when both are
    // given and disagree; shows the values. False when the read failed.
    bool handleNuG();
    // The order checks of yield and ultimate allowables, each failure
    // shown; true when any failed.
    bool verify();
    // OK: reads, checks, completes and stores the metal (mode 0 adds, 1
    // edits, 2 and 3 store nothing) and closes with IDOK; any refusal or
    // database failure is shown and leaves the dialog open.
    void OnClickedOK();
    // Enter: never closes. Mode 3 completes G and nu; other modes say that
    // the material is locked.
    void OnOK();
    // Cancel: closes with IDCANCEL.
    void OnCancel();
    // Disables everything that would change the metal (a locked material
    // or view mode): see the lists in the source.
    void disableEdit();
    // The colour chooser: on OK the colour becomes the chosen one and the
    // swatch is redrawn; the colour-changed flag is set either way.
    void OnMatlClr();
    // F1 on a box: the short text about E, density, nu or G for their help
    // context ids; false (not handled) for any other id.
    bool OnHelpInfo(UINT contextId);

    // Copies name, E, Ec, G, nu, the isotropic flag, Fsu_l, Fcy_l, Fty_l,
    // Ftu_l, Fcy_lt, Fty_lt, Ftu_lt, density and the colour from metal and
    // shows them; nothing for null.
    void setData(const CMetal* metal);
    // Reads the boxes and copies the same values back, all but Ec; nothing
    // for null. False when the read failed (nothing copied).
    bool getData(CMetal* metal);

    // Stores the metal as new: the database's add, then the lock and user
    // record, then the journal line. False, the failure shown ("Database
    // Error") and nothing written to the journal, when it fails.
    bool AddMetal();
    // The same with the database's edit (the metal must exist).
    bool EditMetal();

    // What the window shows beyond texts.
    bool IsControlEnabled(int id) const;
    bool IsControlShown(int id) const;
    // The text colour of a coloured label (black for any other control).
    COLORREF LabelTextColour(int id) const;
    // The colour as 0-255 red, green, blue.
    COLORREF SwatchColour() const;
    // The code the dialog closed with (IDCANCEL before any), and whether it did.
    int EndCode() const { return m_endCode; }
    bool Ended() const { return m_ended; }

    // Set by the opener before the dialog runs.
    CString m_databasePath;
    CLog* m_pLog = nullptr;
    int m_mode = kAdd;
    bool m_okDisabled = false;

    // The metal (texts, numbers in the database's units).
    double m_thickness = kUndefined;
    CString m_name, m_family, m_form, m_temper, m_size, m_spec, m_units, m_uns;
    double m_E = kUndefined;
    double m_Ec = kUndefined;
    double m_G = kUndefined;
    double m_nu = -1.0;
    double m_density = 1.0;
    double m_Ftu_l = kUndefined, m_Ftu_lt = kUndefined;
    double m_Fty_l = kUndefined, m_Fty_lt = kUndefined;
    double m_Fcy_l = kUndefined, m_Fcy_lt = kUndefined;
    double m_Fsu_l = kUndefined;
    double m_Fbru15 = kUndefined, m_Fbru20 = kUndefined, m_Fbry15 = kUndefined, m_Fbry20 = kUndefined;
    double m_Fcu_l = kUndefined, m_Fcu_lt = kUndefined, m_Fsu_lt = kUndefined;
    // The colour as the database gave it (0 to 1).
    double m_red = 0.0, m_green = 1.0, m_blue = 0.0;
    // Ramberg-Osgood exponents from the initial slope to yield, alphas and
    // exponents from yield to ultimate, by case (tension L, tension LT,
    // compression L, compression LT).
    std::array<double, 4> m_nYield{kUndefined, kUndefined, kUndefined, kUndefined};
    std::array<double, 4> m_alpha{0.002, 0.002, 0.002, 0.002};
    std::array<double, 4> m_nUltimate{kUndefined, kUndefined, kUndefined, kUndefined};
    double m_maxTensileStrain = kUndefined;
    double m_maxCompressionStrain = kUndefined;
    // The unit words of E, Ec, G, the yield, ultimate and bearing groups and density.
    CString m_unitsE, m_unitsEc, m_unitsG, m_unitsYield, m_unitsUltimate, m_unitsBearing, m_unitsDensity;

    // Set once the colour chooser has run.
    bool m_colourChanged = false;
    // The colour the metal is stored with: red, green, blue, alpha.
    std::array<float, 4> m_colour{0.0f, 1.0f, 0.0f, 1.0f};
    bool m_isotropic = false;
    bool m_locked = false;

protected:
    // The window applies the state of control id (enabled, shown, label colour).
    virtual void ApplyControlState(int id);
    // The window repaints the swatch.
    virtual void RedrawSwatch();
    // The window closes with code; the logic has recorded it already.
    virtual void CloseDialog(int code);
    // The window's colour chooser, opened on initial: true with chosen on
    // OK. Without a window there is no chooser: false.
    virtual bool ChooseColour(COLORREF initial, COLORREF& chosen);

    CDialogControls& controls() { return m_controls; }

private:
    // The 37 numbers in the database's order, the colour as the doubles
    // read from it.
    std::array<double*, 37> recordValues();
    // The numbers of the grouped boxes, in the order of their ids.
    std::array<double*, 13> groupedValues();
    void startFromDatabase();
    void startEmpty();
    void showUnitsChoice(bool uscs);
    void convert(bool toUSCS);
    bool storeMetal(bool replace);
    void endWith(int code);
    void enable(int id, bool on);
    void show(int id, bool on);
    void setLabelColour(int id, COLORREF colour);

    CDialogControls& m_controls;
    std::unique_ptr<CSQLDatabase> m_pDB;
    std::map<int, bool> m_disabled;
    std::map<int, bool> m_hidden;
    std::map<int, COLORREF> m_labelColours;
    // What each grouped box showed last.
    std::map<int, CString> m_shownGrouped;
    int m_endCode = 2; // IDCANCEL
    bool m_ended = false;
};
