// The material definition dialog's rules without a window: its controls
// held in memory, a material database and a journal of the test's own,
// numbers grouped as en_US groups them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <initializer_list>
#include <sstream>
#include <string>
#include <vector>

#include "analysis/model/CLog.h"
#include "analysis/model/CMetal.h"
#include "analysis/model/Globals.h"
#include "analysis/model/LightProperties.h"
#include "lorimant/analyses/CMatlDlgLogic.h"
#include "lorimant/automation/MaterialRecord.h"
#include "lorimant/view/HeadlessRun.h"
#include "platform/sqldb/CSQLDatabase.h"
#include "test_document_support.h"

namespace {

using Dlg = CMatlDlgLogic;
namespace fs = std::filesystem;

// The memory controls are made (and filled with the dialog's ids) before
// the logic that exchanges with them.
struct MemoryControlsHolder {
    MemoryControlsHolder() { Dlg::AddControls(memory); }
    CMemoryControls memory;
};

// The dialog without a window; its colour chooser answers with colour
// when answerColour is set.
class HeadlessMatlDlg : public MemoryControlsHolder, public CMatlDlgLogic {
public:
    HeadlessMatlDlg() : CMatlDlgLogic(memory) {}
    void type(int id, const wchar_t* text) { memory.SetText(id, text); }
    std::wstring text(int id) const { return memory.GetText(id).str(); }
    void tick(int id, bool on)
    {
        memory.SetCheck(id, on ? BST_CHECKED : BST_UNCHECKED);
        if (id == IDC_ISOTROPIC)
            OnBnClickedIsotropic();
    }
    bool checked(int id) const { return memory.GetCheck(id) == BST_CHECKED; }

    bool answerColour = false;
    COLORREF colour = 0;

protected:
    bool ChooseColour(COLORREF, COLORREF& chosen) override
    {
        if (answerColour)
            chosen = colour;
        return answerColour;
    }
};

// "-99999" n times, comma separated.
std::string undefined(int n)
{
    std::string out;
    for (int i = 0; i < n; ++i)
        out += (i ? ",-99999" : "-99999");
    return out;
}

class MaterialDialog : public document_test::DocumentTest {
protected:
    void SetUp() override
    {
        DocumentTest::SetUp();
        const char* locale = std::getenv("LC_ALL");
        savedLocale_ = locale ? locale : "";
        setenv("LC_ALL", "en_US.UTF-8", 1);
        database = root_ / "materials.sqldb";
        createDatabase(database);
        log = std::make_unique<CLog>(CString(L"material"), 2, 0, CStringA("Lorimant"));
        headerLines = lines(log->path()).size();
    }
    void TearDown() override
    {
        log.reset();
        if (savedLocale_.empty())
            unsetenv("LC_ALL");
        else
            setenv("LC_ALL", savedLocale_.c_str(), 1);
        DocumentTest::TearDown();
    }

    static void createDatabase(const fs::path& file)
    {
        CSQLDatabase db(file.wstring());
        db.createDatabase(file.wstring());
        db.createMetalTable();
        db.createControlsTable();
    }
    // The dialog started in mode on the test's database and journal.
    std::unique_ptr<HeadlessMatlDlg> open(int mode, const wchar_t* name = L"")
    {
        auto dialog = std::make_unique<HeadlessMatlDlg>();
        dialog->m_mode = mode;
        dialog->m_databasePath = CString(database.wstring());
        dialog->m_pLog = log.get();
        dialog->m_name = name;
        dialog->OnInitDialog();
        return dialog;
    }
    // Stores record straight into the database, locked or not.
    void store(MaterialRecord& record, bool locked = false)
    {
        CSQLDatabase db(database.wstring());
        db.connect();
        ASSERT_TRUE(record.write(db, false));
        db.UpdateControls(record.metal.name.ToStdWString(), L"someone", locked);
    }
    // A stored SIcm metal: E, nu, G and the two compression allowables.
    MaterialRecord stored(const wchar_t* name, double E, double nu, double G, double Fcy = -99999,
                          double Fcu = -99999)
    {
        MaterialRecord record;
        record.metal.name = name;
        record.metal.units = L"SIcm";
        record.metal.E(E);
        record.metal.nu(nu);
        record.metal.G = G;
        record.metal.Fcy_L = Fcy;
        record.metal.Fcu_L = Fcu;
        return record;
    }
    // The row of the metal name in file, if there is one.
    static bool row(const fs::path& file, const wchar_t* name, MaterialRecord& record)
    {
        CSQLDatabase db(file.wstring());
        db.connect();
        return record.read(db, name);
    }
    bool exists(const wchar_t* name)
    {
        MaterialRecord record;
        return row(database, name, record);
    }
    bool editable(const wchar_t* name)
    {
        CSQLDatabase db(database.wstring());
        db.connect();
        return db.IsEditable(name);
    }
    // The journal's lines after its header.
    std::vector<std::string> written() const
    {
        std::vector<std::string> all = lines(log->path());
        return std::vector<std::string>(all.begin() + static_cast<std::ptrdiff_t>(headerLines), all.end());
    }
    static std::vector<std::wstring> messages()
    {
        std::vector<std::wstring> out;
        for (const MessageBoxCall& call : Hooks::messageBoxes())
            out.push_back(call.text.str());
        return out;
    }
    // name, E 70,000 and nu 0.33: what OK needs at least.
    static void minimum(HeadlessMatlDlg& d, const wchar_t* name)
    {
        d.type(Dlg::IDC_NAME, name);
        d.type(Dlg::IDC_E, L"70,000");
        d.type(Dlg::IDC_NU, L"0.33");
    }

    fs::path database;
    std::unique_ptr<CLog> log;
    std::size_t headerLines = 0;

private:
    std::string savedLocale_;
};

} // namespace

TEST_F(MaterialDialog, GComputedFromNuIsShownGroupedAndStoredAsShown)
{
    auto d = open(Dlg::kAdd);
    d->type(Dlg::IDC_NAME, L"AL-A");
    d->type(Dlg::IDC_E, L"70000");
    d->type(Dlg::IDC_NU, L"0.33");
    ASSERT_TRUE(d->handleNuG());
    EXPECT_NEAR(d->m_G, 70000 / 2.66, 1e-9);
    EXPECT_EQ(d->text(Dlg::IDC_G), L"26,316");
    EXPECT_EQ(d->text(Dlg::IDC_E), L"70,000");

    d->OnClickedOK();
    EXPECT_EQ(messages(), std::vector<std::wstring>{});
    ASSERT_TRUE(d->Ended());
    EXPECT_EQ(d->EndCode(), IDOK);
    MaterialRecord r;
    ASSERT_TRUE(row(database, L"AL-A", r));
    EXPECT_EQ(r.metal.G, 26316.0);
    EXPECT_EQ(r.metal.E(), 70000.0);
    EXPECT_EQ(r.metal.nu(), 0.33);
    // A new metal: isotropic, SIcm, yellow, alphas 0.002, the rest undefined.
    EXPECT_EQ(written(), std::vector<std::string>{"xscn.AddMaterialDef \"AL-A\",\"\",\"\",\"\",\"\",\"\",\"SIcm\",\"\",1,"
                                                   "70000," + undefined(13) + ",0.33,26316," + undefined(4) +
                                                   ",1,1,0,0.002,0.002,0.002,0.002," + undefined(10)});
}

TEST_F(MaterialDialog, ABlockedJournalGetsNoLineButTheMetalIsStored)
{
    log->block(L"manager");
    auto d = open(Dlg::kAdd);
    minimum(*d, L"Quiet");
    d->OnClickedOK();
    EXPECT_EQ(d->EndCode(), IDOK);
    EXPECT_TRUE(exists(L"Quiet"));
    EXPECT_TRUE(written().empty());
    EXPECT_EQ(gLogMsg.Left(27), CString(L"xscn.AddMaterialDef \"Quiet\""));
}

TEST_F(MaterialDialog, NuComputedFromEAndGAndAGivenNuThatDisagreesIsOnlyAWarning)
{
    auto d = open(Dlg::kAdd);
    d->type(Dlg::IDC_E, L"70000");
    d->type(Dlg::IDC_G, L"26000");
    ASSERT_TRUE(d->handleNuG());
    EXPECT_NEAR(d->m_nu, 70000.0 / 52000.0 - 1.0, 1e-15);
    EXPECT_NEAR(d->m_nu, 0.346154, 1e-6);
    EXPECT_EQ(messages(), std::vector<std::wstring>{});

    d->type(Dlg::IDC_NU, L"0.30");
    ASSERT_TRUE(d->handleNuG());
    EXPECT_EQ(messages(), std::vector<std::wstring>{L"Warning: Poisson's ratio does not equal E/2G -1"});
    EXPECT_EQ(d->m_nu, 0.30);
    EXPECT_EQ(d->m_G, 26000.0);
    EXPECT_EQ(d->text(Dlg::IDC_NU), L"0.3");
    EXPECT_EQ(d->text(Dlg::IDC_G), L"26,000");
}

TEST_F(MaterialDialog, ImpossibleNuIsRefusedAndOKStopsAtInvalidProperties)
{
    auto d = open(Dlg::kAdd);
    d->type(Dlg::IDC_NAME, L"X");
    d->type(Dlg::IDC_E, L"100");
    d->type(Dlg::IDC_G, L"20");
    d->OnClickedOK();
    EXPECT_EQ(messages(), (std::vector<std::wstring>{L"Value of nu 1.500000, is invalid", L"Invalid material properties"}));
    EXPECT_EQ(d->m_nu, -1.0);
    EXPECT_EQ(d->text(Dlg::IDC_NU), L"-1");
    EXPECT_FALSE(d->Ended());
    EXPECT_FALSE(exists(L"X"));
    EXPECT_TRUE(written().empty());
}

TEST_F(MaterialDialog, MissingMinimumAndNegativeRatio)
{
    const struct {
        const wchar_t *name, *E, *nu, *G;
        std::vector<std::wstring> shown;
    } cases[] = {
        {L"", L"70000", L"0.33", L"", {L"Material name, Young's Modulus and Poisson's Ratio must be defined at a minimum"}},
        {L"M", L"", L"0.33", L"", {L"Material name, Young's Modulus and Poisson's Ratio must be defined at a minimum"}},
        {L"M", L"70000", L"", L"", {L"Material name, Young's Modulus and Poisson's Ratio must be defined at a minimum"}},
        // nu below -1 makes G negative: G -1, and both negative pass the product check.
        {L"M", L"70000", L"-2", L"", {L"Value for Poisson's ratio is invalid",
                                       L"Invalid E/G ratio, causes Poisson's ratio to be negative"}},
        {L"M", L"70000", L"abc", L"", {L"Please enter a number."}},
    };
    for (const auto& c : cases) {
        Hooks::clearRecords();
        auto d = open(Dlg::kAdd);
        d->type(Dlg::IDC_NAME, c.name);
        d->type(Dlg::IDC_E, c.E);
        d->type(Dlg::IDC_NU, c.nu);
        d->type(Dlg::IDC_G, c.G);
        d->OnClickedOK();
        EXPECT_EQ(messages(), c.shown) << c.nu;
        EXPECT_FALSE(d->Ended());
    }
    EXPECT_FALSE(exists(L"M"));
    EXPECT_TRUE(written().empty());
}

TEST_F(MaterialDialog, AllowablesOutOfOrderAreRefusedOnlyWhenBothAreGiven)
{
    const struct {
        int yield, ultimate;
        const wchar_t *yieldText, *ultimateText;
        const wchar_t* refusal; // null: accepted
    } cases[] = {
        {Dlg::IDC_FCY_L, Dlg::IDC_FCU_L, L"50", L"40", L"Unable to create material since: Fcy_l > Fcu_l"},
        {Dlg::IDC_FTY_L, Dlg::IDC_FTU_L, L"50", L"40", L"Unable to create material since: Fty_l > Ftu_l"},
        {Dlg::IDC_FCY_LT, Dlg::IDC_FCU_LT, L"50", L"40", L"Unable to create material since: Fcy_lt > Fcu_lt"},
        {Dlg::IDC_FTY_LT, Dlg::IDC_FTU_LT, L"50", L"40", L"Unable to create material since: Fty_lt > Ftu_lt"},
        {Dlg::IDC_FCY_L, Dlg::IDC_FCU_L, L"40", L"40", nullptr},
        // An ultimate that is not given cannot be below the yield.
        {Dlg::IDC_FTY_L, Dlg::IDC_FTU_L, L"50", L"", nullptr},
    };
    int accepted = 0;
    int index = 0;
    for (const auto& c : cases) {
        Hooks::clearRecords();
        auto d = open(Dlg::kAdd);
        d->tick(Dlg::IDC_ISOTROPIC, false);
        const std::wstring name = L"M" + std::to_wstring(index++);
        minimum(*d, name.c_str());
        d->type(c.yield, c.yieldText);
        d->type(c.ultimate, c.ultimateText);
        d->OnClickedOK();
        if (c.refusal) {
            ASSERT_EQ(Hooks::messageBoxes().size(), 1u) << c.refusal;
            EXPECT_EQ(Hooks::messageBoxes()[0].text, CString(c.refusal));
            EXPECT_EQ(Hooks::messageBoxes()[0].caption, CString(L""));
            EXPECT_FALSE(d->Ended());
            EXPECT_FALSE(exists(name.c_str()));
        } else {
            EXPECT_EQ(messages(), std::vector<std::wstring>{}) << name;
            EXPECT_EQ(d->EndCode(), IDOK);
            EXPECT_TRUE(exists(name.c_str()));
            ++accepted;
        }
    }
    EXPECT_EQ(written().size(), static_cast<std::size_t>(accepted));
}

TEST_F(MaterialDialog, ViewModeChecksOnlyTheOrderAndEnterNeverCloses)
{
    // Neither nu nor G: other modes would refuse it at OK.
    MaterialRecord shown = stored(L"V", 70000, -99999, -99999);
    store(shown);
    auto d = open(Dlg::kView, L"V");
    EXPECT_EQ(d->text(Dlg::IDC_E), L"70,000");
    d->OnOK();
    EXPECT_EQ(messages(), std::vector<std::wstring>{L"This section is locked (uneditable) in the materials database"});
    EXPECT_FALSE(d->Ended());
    d->OnClickedOK();
    EXPECT_EQ(d->EndCode(), IDOK);
    EXPECT_EQ(messages().size(), 1u);
    EXPECT_TRUE(written().empty());

    MaterialRecord disordered = stored(L"W", 70000, 0.33, 26316, 50, 40);
    store(disordered);
    Hooks::clearRecords();
    auto w = open(Dlg::kView, L"W");
    w->OnClickedOK();
    EXPECT_EQ(messages(), std::vector<std::wstring>{L"Unable to create material since: Fcy_l > Fcu_l"});
    EXPECT_FALSE(w->Ended());

    // Add mode says the same on Enter; check mode completes G and nu instead.
    Hooks::clearRecords();
    auto a = open(Dlg::kAdd);
    a->OnOK();
    EXPECT_EQ(messages(), std::vector<std::wstring>{L"This section is locked (uneditable) in the materials database"});
    MaterialRecord incomplete = stored(L"C", 70000, 0.33, -99999);
    store(incomplete);
    Hooks::clearRecords();
    auto c = open(Dlg::kCheck, L"C");
    c->OnOK();
    EXPECT_EQ(messages(), std::vector<std::wstring>{});
    EXPECT_EQ(c->text(Dlg::IDC_G), L"26,316");
    EXPECT_FALSE(c->Ended());
    c->OnClickedOK();
    EXPECT_EQ(c->EndCode(), IDOK);
    MaterialRecord after;
    ASSERT_TRUE(row(database, L"C", after));
    EXPECT_EQ(after.metal.G, -99999.0); // check mode stores nothing
    EXPECT_TRUE(written().empty());
}

TEST_F(MaterialDialog, ConvertingThereAndBackGivesTheValuesAgain)
{
    MaterialRecord record = stored(L"AL", 70000000.25, 0.33, 26315789.5, 370000.7, 450000);
    CMetal& m = record.metal;
    m.Ec = 71000000;
    m.Ftu_L = 470000;
    m.Ftu_LT = 460000;
    m.Fsu_LT = -99999.4; // undefined as well
    m.Fbru15 = 900000;
    m.density(2.78);
    m.thickness = 0.3175;
    m.alpha = {0.002, 0.0025, 0.003, 0.0035};
    m.nYield = {15.3, 14, 13, 12};
    m.nUltimate = {21, 20, 19, 18};
    m.maxTensileStrain = 0.12;
    m.maxCompressionStrain = 0.09;
    store(record);
    auto d = open(Dlg::kEdit, L"AL");
    EXPECT_EQ(d->text(Dlg::IDC_E_UNITS), L"KPa");
    EXPECT_EQ(d->text(Dlg::IDC_DENSITY_UNITS), L"g/cm^3");
    EXPECT_TRUE(d->IsControlShown(Dlg::IDC_SI_TO_USCS));
    EXPECT_FALSE(d->IsControlShown(Dlg::IDC_USCS_TO_SI));

    d->OnBnClickedSItoUSCS();
    EXPECT_EQ(d->m_units, CString(L"USCSin"));
    for (int id : {Dlg::IDC_E_UNITS, Dlg::IDC_EC_UNITS, Dlg::IDC_G_UNITS, Dlg::IDC_YIELD_UNITS,
                   Dlg::IDC_ULTIMATE_UNITS, Dlg::IDC_BEARING_UNITS})
        EXPECT_EQ(d->text(id), L"psi") << id;
    EXPECT_EQ(d->text(Dlg::IDC_DENSITY_UNITS), L"lbf/in^3");
    EXPECT_EQ(d->memory.GetCurSel(Dlg::IDC_UNITS), 1);
    EXPECT_TRUE(d->IsControlShown(Dlg::IDC_USCS_TO_SI));
    EXPECT_FALSE(d->IsControlShown(Dlg::IDC_SI_TO_USCS));
    EXPECT_DOUBLE_EQ(d->m_E, 70000000.25 * 0.14503773773);
    EXPECT_EQ(d->text(Dlg::IDC_E), L"10,152,642");
    EXPECT_DOUBLE_EQ(d->m_Fcy_l, 370000.7 * 0.14503773773);
    EXPECT_DOUBLE_EQ(d->m_Fbru15, 900000 * 0.14503773773);
    EXPECT_DOUBLE_EQ(d->m_density, 2.78 * 0.03612729);
    EXPECT_DOUBLE_EQ(d->m_thickness, 0.3175 / 2.54);

    d->OnBnClickedUSCStoSI();
    EXPECT_EQ(d->m_units, CString(L"SIcm"));
    EXPECT_EQ(d->text(Dlg::IDC_ULTIMATE_UNITS), L"KPa");
    const std::pair<double, double> stresses[] = {{d->m_E, 70000000.25}, {d->m_Ec, 71000000}, {d->m_G, 26315789.5},
                                                  {d->m_Fcy_l, 370000.7}, {d->m_Fcu_l, 450000}, {d->m_Ftu_l, 470000},
                                                  {d->m_Ftu_lt, 460000}, {d->m_Fbru15, 900000}};
    for (const auto& [value, original] : stresses)
        EXPECT_NEAR(value, original, original * 1e-12);
    EXPECT_NEAR(d->m_density, 2.78, 2.78 * 1e-5);
    EXPECT_NEAR(d->m_thickness, 0.3175, 1e-15);
    // Undefined values and the dimensionless ones are left alone.
    for (double value : {d->m_Fsu_l, d->m_Fty_l, d->m_Fbry20})
        EXPECT_EQ(value, -99999.0);
    EXPECT_EQ(d->m_Fsu_lt, -99999.4);
    EXPECT_EQ(d->m_nu, 0.33);
    EXPECT_EQ(d->m_nUltimate, (std::array<double, 4>{21, 20, 19, 18}));
    EXPECT_EQ(d->m_maxCompressionStrain, 0.09);
    EXPECT_EQ(d->m_alpha, (std::array<double, 4>{0.002, 0.0025, 0.003, 0.0035}));
    EXPECT_EQ(d->m_nYield[0], 15.3);
    EXPECT_EQ(d->m_maxTensileStrain, 0.12);

    // A box the user changed converts what it holds.
    d->type(Dlg::IDC_E, L"1,000,000");
    d->OnBnClickedSItoUSCS();
    EXPECT_DOUBLE_EQ(d->m_E, 145037.73773);

    // Choosing the other system only relabels: typed values stay.
    d->type(Dlg::IDC_G, L"12,345");
    d->memory.SetCurSel(Dlg::IDC_UNITS, 0);
    d->OnCbnSelChangeUnits();
    EXPECT_EQ(d->m_units, CString(L"SIcm"));
    EXPECT_EQ(d->text(Dlg::IDC_G_UNITS), L"KPa");
    EXPECT_EQ(d->text(Dlg::IDC_G), L"12,345");
}

TEST_F(MaterialDialog, ANumberTypedAgainAfterTheIsotropicBoxClearedItConverts)
{
    MaterialRecord record = stored(L"AN", 70000, 0.33, 26316);
    record.metal.isotropic = false;
    record.metal.Ftu_LT = 460000;
    store(record);
    auto d = open(Dlg::kEdit, L"AN");
    ASSERT_EQ(d->text(Dlg::IDC_FTU_LT), L"460,000");
    // Ticked by mistake and unticked: the user types the value back as it was.
    d->tick(Dlg::IDC_ISOTROPIC, true);
    d->tick(Dlg::IDC_ISOTROPIC, false);
    d->type(Dlg::IDC_FTU_LT, L"460,000");
    d->OnBnClickedSItoUSCS();
    EXPECT_DOUBLE_EQ(d->m_Ftu_lt, 460000 * 0.14503773773);
    EXPECT_EQ(d->text(Dlg::IDC_FTU_LT), L"66,717");
}

TEST_F(MaterialDialog, IsotropicAndLockedStatesEnableThePartsControls)
{
    auto d = open(Dlg::kAdd);
    EXPECT_TRUE(d->checked(Dlg::IDC_ISOTROPIC));
    for (int id : {Dlg::IDC_FCY_LT, Dlg::IDC_FTU_LT, Dlg::IDC_FTY_LT, Dlg::IDC_FCU_LT})
        EXPECT_FALSE(d->IsControlEnabled(id)) << id;
    EXPECT_TRUE(d->IsControlEnabled(Dlg::IDC_FSU_LT));
    EXPECT_TRUE(d->IsControlEnabled(Dlg::IDC_NAME));

    d->tick(Dlg::IDC_ISOTROPIC, false);
    for (int id : {Dlg::IDC_FCY_LT, Dlg::IDC_FTU_LT, Dlg::IDC_FTY_LT, Dlg::IDC_FCU_LT, Dlg::IDC_FSU_LT})
        EXPECT_TRUE(d->IsControlEnabled(id)) << id;
    for (int id : {Dlg::IDC_FCY_LT, Dlg::IDC_FTU_LT, Dlg::IDC_FTY_LT, Dlg::IDC_FCU_LT, Dlg::IDC_FSU_LT})
        d->type(id, L"100");
    d->type(Dlg::IDC_E, L"70,000");
    d->tick(Dlg::IDC_ISOTROPIC, true);
    for (int id : {Dlg::IDC_FCY_LT, Dlg::IDC_FTU_LT, Dlg::IDC_FTY_LT, Dlg::IDC_FCU_LT, Dlg::IDC_FSU_LT})
        EXPECT_EQ(d->text(id), L"") << id;
    for (double value : {d->m_Fcy_lt, d->m_Ftu_lt, d->m_Fty_lt, d->m_Fcu_lt, d->m_Fsu_lt})
        EXPECT_EQ(value, -99999.0);
    EXPECT_EQ(d->text(Dlg::IDC_E), L"70,000"); // typed, not yet read: kept

    MaterialRecord record = stored(L"LK", 70000, 0.33, 26316);
    store(record, true);
    auto locked = open(Dlg::kEdit, L"LK");
    EXPECT_TRUE(locked->m_locked);
    EXPECT_TRUE(locked->checked(Dlg::IDC_LOCK));
    const std::vector<int> enabled = {Dlg::IDC_BEARING_UNITS, Dlg::IDC_E_LABEL, Dlg::IDC_NU_LABEL,
                                      Dlg::IDC_SI_TO_USCS,    Dlg::IDC_COLOUR,  Dlg::IDC_OK,
                                      IDCANCEL,               Dlg::IDC_CALCULATOR};
    for (int id : Dlg::ControlIds()) {
        const bool expected = std::find(enabled.begin(), enabled.end(), id) != enabled.end();
        EXPECT_EQ(locked->IsControlEnabled(id), expected) << id;
    }
    // The labels turn black for a defined name, E and nu.
    for (int id : {Dlg::IDC_NAME_LABEL, Dlg::IDC_E_LABEL, Dlg::IDC_NU_LABEL})
        EXPECT_EQ(locked->LabelTextColour(id), RGB(0, 0, 0)) << id;
    for (int id : {Dlg::IDC_NAME_LABEL, Dlg::IDC_E_LABEL, Dlg::IDC_NU_LABEL})
        EXPECT_EQ(d->LabelTextColour(id), RGB(255, 0, 0)) << id;

    // View mode disables the same; the OK-disabled flag disables OK too.
    auto view = std::make_unique<HeadlessMatlDlg>();
    view->m_mode = Dlg::kView;
    view->m_databasePath = CString(database.wstring());
    view->m_name = L"LK";
    view->m_okDisabled = true;
    view->OnInitDialog();
    for (int id : Dlg::ControlIds()) {
        const bool expected = id != Dlg::IDC_OK && std::find(enabled.begin(), enabled.end(), id) != enabled.end();
        EXPECT_EQ(view->IsControlEnabled(id), expected) << id;
    }
    // Run again to add a metal: everything but the four isotropic LT boxes is enabled again.
    view->m_mode = Dlg::kAdd;
    view->m_okDisabled = false;
    view->OnInitDialog();
    for (int id : Dlg::ControlIds()) {
        const bool isotropicLt = id == Dlg::IDC_FCY_LT || id == Dlg::IDC_FTU_LT || id == Dlg::IDC_FTY_LT ||
                                 id == Dlg::IDC_FCU_LT;
        EXPECT_EQ(view->IsControlEnabled(id), !isotropicLt) << id;
    }
}

TEST_F(MaterialDialog, AddThenEditWriteTheRowsAndLinesThatReplayToTheSameMetal)
{
    const fs::path fresh = root_ / "fresh.sqldb";
    fs::copy_file(database, fresh);

    auto d = open(Dlg::kAdd);
    d->type(Dlg::IDC_NAME, L"2024-T3");
    d->type(Dlg::IDC_FAMILY, L"Aluminium");
    d->type(Dlg::IDC_SPEC, L"AMS-QQ-A-250/5");
    d->type(Dlg::IDC_UNS, L"A92024");
    d->memory.SetCurSel(Dlg::IDC_UNITS, 1);
    d->OnCbnSelChangeUnits();
    d->tick(Dlg::IDC_ISOTROPIC, false);
    const std::pair<int, const wchar_t*> typed[] = {
        {Dlg::IDC_E, L"10,700,000"},   {Dlg::IDC_EC, L"10,900,000"},  {Dlg::IDC_G, L"4,000,000"},
        {Dlg::IDC_DENSITY, L"0.1"},    {Dlg::IDC_FTU_L, L"65,000"},   {Dlg::IDC_FTU_LT, L"64,000"},
        {Dlg::IDC_FTY_L, L"47,000"},   {Dlg::IDC_FTY_LT, L"42,000"},  {Dlg::IDC_FCY_L, L"39,000"},
        {Dlg::IDC_FCY_LT, L"45,000"},  {Dlg::IDC_FCU_L, L"80,000"},   {Dlg::IDC_FCU_LT, L"81,000"},
        {Dlg::IDC_FSU_L, L"40,000"},   {Dlg::IDC_FSU_LT, L"39,000"},  {Dlg::IDC_FBRU15, L"104000"},
        {Dlg::IDC_FBRU20, L"129000"},  {Dlg::IDC_FBRY15, L"73000"},   {Dlg::IDC_FBRY20, L"88000"},
        {Dlg::IDC_ALPHA_TL, L"0.0025"}, {Dlg::IDC_ALPHA_TLT, L"0.0026"}, {Dlg::IDC_ALPHA_CL, L"0.0027"},
        {Dlg::IDC_ALPHA_CLT, L"0.0028"}, {Dlg::IDC_N_YIELD_TL, L"10"}, {Dlg::IDC_N_YIELD_TLT, L"11"},
        {Dlg::IDC_N_YIELD_CL, L"12"},  {Dlg::IDC_N_YIELD_CLT, L"13"}, {Dlg::IDC_N_ULTIMATE_TL, L"20"},
        {Dlg::IDC_N_ULTIMATE_TLT, L"21"}, {Dlg::IDC_N_ULTIMATE_CL, L"22"}, {Dlg::IDC_N_ULTIMATE_CLT, L"23"},
        {Dlg::IDC_MAX_TENSILE_STRAIN, L"0.15"}, {Dlg::IDC_MAX_COMPRESSION_STRAIN, L"0.12"}};
    for (const auto& [id, text] : typed)
        d->type(id, text);
    d->answerColour = true;
    d->colour = RGB(0, 0, 255);
    d->OnMatlClr();
    EXPECT_TRUE(d->m_colourChanged);
    EXPECT_EQ(d->SwatchColour(), RGB(0, 0, 255));
    d->OnClickedOK();
    EXPECT_EQ(messages(), std::vector<std::wstring>{});
    ASSERT_EQ(d->EndCode(), IDOK);
    EXPECT_NEAR(d->m_nu, 10.7 / 8 - 1, 1e-15);

    // nu = 10.7 / 8 - 1 = 0.3375; %g writes six significant digits.
    const std::string added =
        "xscn.AddMaterialDef \"2024-T3\",\"Aluminium\",\"\",\"\",\"\",\"AMS-QQ-A-250/5\",\"USCSin\",\"A92024\",0,"
        "1.07e+07,1.09e+07,0.1,-99999,65000,64000,47000,42000,39000,45000,80000,81000,39000,40000,0.3375,4e+06,"
        "104000,129000,73000,88000,0,0,1,0.0025,0.0026,0.0027,0.0028,10,11,12,13,20,21,22,23,0.15,0.12";
    EXPECT_EQ(written(), std::vector<std::string>{added});
    MaterialRecord first;
    ASSERT_TRUE(row(database, L"2024-T3", first));
    EXPECT_EQ(first.metal.uns, CString(L"A92024"));
    EXPECT_FALSE(first.metal.isotropic);
    const double expectedValues[37] = {1.07e7, 1.09e7, 0.1,    -99999, 65000,  64000, 47000, 42000, 39000, 45000,
                                       80000,  81000,  39000,  40000,  0.3375, 4e6,   104000, 129000, 73000, 88000,
                                       0,      0,      1,      0.0025, 0.0026, 0.0027, 0.0028, 10,   11,    12,
                                       13,     20,     21,     22,     23,     0.15,  0.12};
    const auto values = first.values();
    for (int i = 0; i < 37; ++i)
        EXPECT_DOUBLE_EQ(*values[i], expectedValues[i]) << i;
    EXPECT_TRUE(editable(L"2024-T3"));

    auto e = open(Dlg::kEdit, L"2024-T3");
    EXPECT_FALSE(e->IsControlEnabled(Dlg::IDC_NAME));
    EXPECT_EQ(e->text(Dlg::IDC_E), L"10,700,000");
    EXPECT_EQ(e->text(Dlg::IDC_ALPHA_TL), L"0.0025");
    EXPECT_FALSE(e->checked(Dlg::IDC_ISOTROPIC));
    EXPECT_EQ(e->SwatchColour(), RGB(0, 0, 255));
    e->type(Dlg::IDC_FAMILY, L"Aluminum");
    e->type(Dlg::IDC_FTU_L, L"66,000");
    e->tick(Dlg::IDC_LOCK, true);
    e->OnClickedOK();
    EXPECT_EQ(messages(), std::vector<std::wstring>{});
    ASSERT_EQ(e->EndCode(), IDOK);
    const std::string edited =
        "xscn.EditMaterial \"2024-T3\",\"Aluminum\",\"\",\"\",\"\",\"AMS-QQ-A-250/5\",\"USCSin\",\"A92024\",0,"
        "1.07e+07,1.09e+07,0.1,-99999,66000,64000,47000,42000,39000,45000,80000,81000,39000,40000,0.3375,4e+06,"
        "104000,129000,73000,88000,0,0,1,0.0025,0.0026,0.0027,0.0028,10,11,12,13,20,21,22,23,0.15,0.12";
    EXPECT_EQ(written(), (std::vector<std::string>{added, edited}));
    MaterialRecord second;
    ASSERT_TRUE(row(database, L"2024-T3", second));
    EXPECT_EQ(second.metal.family, CString(L"Aluminum"));
    EXPECT_EQ(second.metal.Ftu_L, 66000.0);
    EXPECT_FALSE(editable(L"2024-T3"));

    std::istringstream macro("xscn.ConnectDatabase \"" + fresh.string() + "\"\n" + added + "\n" + edited + "\n");
    std::ostringstream out;
    const JournalRunResult result = RunMacroHeadless(macro, out, nullptr);
    ASSERT_TRUE(result.ok) << result.description << " at " << result.line;
    MaterialRecord replayed;
    ASSERT_TRUE(row(fresh, L"2024-T3", replayed));
    const auto mine = second.texts();
    const auto theirs = replayed.texts();
    for (std::size_t i = 0; i < mine.size(); ++i)
        EXPECT_EQ(*theirs[i], *mine[i]) << i;
    EXPECT_EQ(replayed.metal.isotropic, second.metal.isotropic);
    const auto a = second.values();
    const auto b = replayed.values();
    for (std::size_t i = 0; i < a.size(); ++i)
        EXPECT_EQ(*b[i], *a[i]) << i;
}

TEST_F(MaterialDialog, DatabaseRefusalsKeepTheDialogOpenAndWriteNoLine)
{
    MaterialRecord existing = stored(L"AL", 70000, 0.33, 26316);
    store(existing, true);
    auto d = open(Dlg::kAdd);
    d->type(Dlg::IDC_NAME, L"AL");
    d->type(Dlg::IDC_E, L"1,000");
    d->type(Dlg::IDC_NU, L"0.3");
    d->OnClickedOK();
    ASSERT_EQ(Hooks::messageBoxes().size(), 1u);
    EXPECT_EQ(Hooks::messageBoxes()[0].text, CString(L"Material AL already exists in the database."));
    EXPECT_EQ(Hooks::messageBoxes()[0].caption, CString(L"Database Error"));
    EXPECT_FALSE(d->Ended());
    MaterialRecord after;
    ASSERT_TRUE(row(database, L"AL", after));
    EXPECT_EQ(after.metal.E(), 70000.0);
    EXPECT_FALSE(editable(L"AL"));

    // Edit mode of a name the database lacks: said at the start and at OK.
    Hooks::clearRecords();
    auto ghost = open(Dlg::kEdit, L"Ghost");
    EXPECT_EQ(messages(), std::vector<std::wstring>{L"Material Ghost does not exist in the database."});
    EXPECT_EQ(Hooks::messageBoxes()[0].caption, CString(L"SQL Database Error"));
    ghost->type(Dlg::IDC_E, L"1,000");
    ghost->type(Dlg::IDC_NU, L"0.3");
    ghost->OnClickedOK();
    ASSERT_EQ(Hooks::messageBoxes().size(), 2u);
    EXPECT_EQ(Hooks::messageBoxes()[1].text, CString(L"Material Ghost does not exist in the database."));
    EXPECT_EQ(Hooks::messageBoxes()[1].caption, CString(L"Database Error"));
    EXPECT_FALSE(ghost->Ended());
    EXPECT_FALSE(exists(L"Ghost"));

    // A file SQLite must treat as read-only: its write version (byte 18) above 2.
    {
        std::fstream file(database, std::ios::in | std::ios::out | std::ios::binary);
        file.seekp(18);
        file.put(static_cast<char>(3));
    }
    Hooks::clearRecords();
    auto readOnly = open(Dlg::kAdd);
    minimum(*readOnly, L"RO");
    readOnly->OnClickedOK();
    ASSERT_EQ(Hooks::messageBoxes().size(), 1u);
    EXPECT_EQ(Hooks::messageBoxes()[0].caption, CString(L"Database Error"));
    EXPECT_NE(Hooks::messageBoxes()[0].text.Find(L"readonly"), -1) << Hooks::messageBoxes()[0].text.ToUtf8();
    EXPECT_FALSE(readOnly->Ended());
    EXPECT_TRUE(written().empty());
}

TEST_F(MaterialDialog, AFailingDatabaseAtTheStartLeavesTheDialogUsable)
{
    database = root_ / "missing.sqldb";
    auto d = open(Dlg::kEdit, L"AL");
    ASSERT_EQ(Hooks::messageBoxes().size(), 1u);
    EXPECT_EQ(Hooks::messageBoxes()[0].caption, CString(L"SQL Database Error"));
    EXPECT_EQ(Hooks::messageBoxes()[0].type, MB_OK | MB_ICONSTOP);
    EXPECT_FALSE(d->IsControlEnabled(Dlg::IDC_NAME));
    EXPECT_EQ(d->text(Dlg::IDC_E_UNITS), L"KPa");
    d->OnCancel();
    EXPECT_EQ(d->EndCode(), IDCANCEL);
    EXPECT_TRUE(written().empty());
}

TEST_F(MaterialDialog, MetalCopiesColourAndHelp)
{
    auto d = open(Dlg::kAdd);
    d->setData(nullptr);
    EXPECT_FALSE(d->getData(nullptr));

    CMetal metal;
    metal.name = L"Steel";
    metal.E(29000000);
    metal.Ec = 29500000;
    metal.G = 11000000;
    metal.nu(0.29);
    metal.isotropic = false;
    metal.Fsu_L = 1;
    metal.Fcy_L = 2;
    metal.Fty_L = 3;
    metal.Ftu_L = 4;
    metal.Fcy_LT = 5;
    metal.Fty_LT = 6;
    metal.Ftu_LT = 7;
    metal.density(0.284);
    metal.setColour(0.5, 0.25, 1.0);
    d->setData(&metal);
    EXPECT_EQ(d->text(Dlg::IDC_NAME), L"Steel");
    EXPECT_EQ(d->text(Dlg::IDC_EC), L"29,500,000");
    EXPECT_EQ(d->text(Dlg::IDC_DENSITY), L"0.284");
    EXPECT_FALSE(d->checked(Dlg::IDC_ISOTROPIC));
    EXPECT_EQ(d->SwatchColour(), RGB(128, 64, 255));

    d->type(Dlg::IDC_E, L"30,000,000");
    d->type(Dlg::IDC_EC, L"1");
    d->answerColour = false;
    d->OnMatlClr();
    EXPECT_TRUE(d->m_colourChanged); // set also when the chooser is cancelled
    CMetal copy;
    ASSERT_TRUE(d->getData(&copy));
    EXPECT_EQ(copy.name, CString(L"Steel"));
    EXPECT_EQ(copy.E(), 30000000.0);
    EXPECT_EQ(copy.Ec, -99999.0); // never copied back
    EXPECT_EQ(copy.G, 11000000.0);
    EXPECT_EQ(copy.nu(), 0.29);
    EXPECT_FALSE(copy.isotropic);
    EXPECT_EQ((std::array<double, 7>{copy.Fsu_L, copy.Fcy_L, copy.Fty_L, copy.Ftu_L, copy.Fcy_LT, copy.Fty_LT,
                                     copy.Ftu_LT}),
              (std::array<double, 7>{1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(copy.density(), 0.284);
    ASSERT_NE(copy.colour, nullptr);
    EXPECT_EQ(copy.colour->diffuse.red, 0.5f);
    EXPECT_EQ(copy.colour->diffuse.blue, 1.0f);

    Hooks::clearRecords();
    for (UINT id : Dlg::kHelpIds)
        EXPECT_TRUE(d->OnHelpInfo(id)) << id;
    EXPECT_FALSE(d->OnHelpInfo(0x10000 + Dlg::IDC_EC));
    ASSERT_EQ(Hooks::messageBoxes().size(), 4u);
    EXPECT_NE(Hooks::messageBoxes()[2].text.Find(L"Poisson's ratio"), -1);
}
