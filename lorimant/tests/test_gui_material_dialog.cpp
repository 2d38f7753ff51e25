// The material definition dialog as a real window (photographed in its
// add, edit and view modes): a metal typed in and stored with OK, Cancel
// storing nothing, the controls' states following the logic, the colour
// chooser, F1, Enter and the calculator button. The test process runs
// under a German locale, so grouped numbers read back with "." removed.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <wx/frame.h>
#include <wx/textctrl.h>
#include <wx/weakref.h>

#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <memory>

#include "analysis/model/CLog.h"
#include "lorimant/automation/MaterialRecord.h"
#include "lorimant/tests/test_gui_support.h"
#include "lorimant/ui/CMatlDlg.h"
#include "lorimant/ui/Calculator.h"
#include "platform/sqldb/CSQLDatabase.h"
#include "platform/tests/DialogTestSupport.h"
#include "platform/ui/CColorStatic.h"

using dialog_test::Click;
using dialog_test::ModalScript;
using dialog_test::Press;
using dialog_test::Tick;
using dialog_test::Type;

namespace {

using Dlg = CMatlDlgLogic;
namespace fs = std::filesystem;

class GuiMaterialDialog : public gui_lorimant_test::GuiLorimantTest {
protected:
    void SetUp() override
    {
        GuiLorimantTest::SetUp();
        database = root_ / "materials.sqldb";
        CSQLDatabase db(database.wstring());
        db.createDatabase(database.wstring());
        db.createMetalTable();
        db.createControlsTable();
        log = std::make_unique<CLog>(CString(L"gui_material"), 2, 0, CStringA("Lorimant"));
        headerLines = lines(log->path()).size();
    }
    void TearDown() override
    {
        CMatlDlg::SetColourRunner(nullptr);
        log.reset();
        GuiLorimantTest::TearDown();
    }

    void prepare(CMatlDlg& dialog, int mode, const wchar_t* name = L"")
    {
        dialog.m_mode = mode;
        dialog.m_databasePath = CString(database.wstring());
        dialog.m_pLog = log.get();
        dialog.m_name = name;
    }
    std::vector<std::string> written() const
    {
        std::vector<std::string> all = lines(log->path());
        return std::vector<std::string>(all.begin() + static_cast<std::ptrdiff_t>(headerLines), all.end());
    }
    bool row(const wchar_t* name, MaterialRecord& record) const
    {
        CSQLDatabase db(database.wstring());
        db.connect();
        return record.read(db, name);
    }
    // Every control's enabled state in the window is the logic's.
    static void expectStatesFollowTheLogic(CMatlDlg& dialog)
    {
        for (int id : Dlg::ControlIds()) {
            EXPECT_EQ(dialog.GetDlgItem(id)->IsEnabled(), dialog.IsControlEnabled(id)) << id;
            EXPECT_EQ(dialog.GetDlgItem(id)->IsShown(), dialog.IsControlShown(id)) << id;
        }
    }
    static COLORREF labelColour(CDialog& d, int id)
    {
        return dynamic_cast<CColorStatic&>(*d.GetDlgItem(id)).GetTextColor();
    }

    fs::path database;
    std::unique_ptr<CLog> log;
    std::size_t headerLines = 0;
};

} // namespace

TEST_F(GuiMaterialDialog, ANewMetalTypedInIsStoredAndJournalled)
{
    CMatlDlg dialog;
    prepare(dialog, Dlg::kAdd);
    {
        ModalScript script([&](CDialog& d) {
            EXPECT_EQ(d.GetTitle(), wxString("Material Specification"));
            expectStatesFollowTheLogic(dialog);
            EXPECT_FALSE(d.GetDlgItem(Dlg::IDC_FCY_LT)->IsEnabled()); // isotropic at the start
            EXPECT_EQ(labelColour(d, Dlg::IDC_NAME_LABEL), RGB(255, 0, 0));
            EXPECT_EQ(d.GetDlgItemText(Dlg::IDC_E_UNITS), CString(L"KPa"));
            EXPECT_EQ(d.GetDlgItemText(Dlg::IDC_DENSITY_UNITS), CString(L"g/cm^3"));
            Type(d, Dlg::IDC_NAME, "GUI-6061");
            Type(d, Dlg::IDC_FAMILY, "Aluminium");
            Type(d, Dlg::IDC_E, "70000");
            Type(d, Dlg::IDC_NU, "0.33");
            Type(d, Dlg::IDC_DENSITY, "2.7");
            Tick(d, Dlg::IDC_ISOTROPIC, false);
            EXPECT_TRUE(d.GetDlgItem(Dlg::IDC_FCY_LT)->IsEnabled());
            Type(d, Dlg::IDC_FTU_L, "310.000");
            Type(d, Dlg::IDC_FTY_L, "276000");
            gui_test::SaveWindowPng(d, "dialog_material_add");
            Click(d, Dlg::IDC_OK);
        });
        EXPECT_EQ(dialog.DoModal(), IDOK);
    }
    EXPECT_TRUE(Hooks::messageBoxes().empty());
    MaterialRecord stored;
    ASSERT_TRUE(row(L"GUI-6061", stored));
    EXPECT_EQ(stored.metal.G, 26316.0);
    EXPECT_EQ(stored.metal.Ftu_L, 310000.0);
    EXPECT_EQ(stored.metal.density(), 2.7);
    EXPECT_FALSE(stored.metal.isotropic);
    EXPECT_EQ(written(), std::vector<std::string>{
                             "xscn.AddMaterialDef \"GUI-6061\",\"Aluminium\",\"\",\"\",\"\",\"\",\"SIcm\",\"\",0,70000,"
                             "-99999,2.7,-99999,310000,-99999,276000,-99999,-99999,-99999,-99999,-99999,-99999,"
                             "-99999,0.33,26316,-99999,-99999,-99999,-99999,1,1,0,0.002,0.002,0.002,0.002,-99999,"
                             "-99999,-99999,-99999,-99999,-99999,-99999,-99999,-99999,-99999"});
}

TEST_F(GuiMaterialDialog, CancelAndEscapeStoreNothing)
{
    CMatlDlg dialog;
    prepare(dialog, Dlg::kAdd);
    auto* owned = new wxFrame(nullptr, wxID_ANY, "owned");
    wxWeakRef<wxFrame> watch(owned);
    dialog.m_pOwnedWindow = owned;
    {
        ModalScript script([](CDialog& d) {
            Type(d, Dlg::IDC_NAME, "Never");
            Type(d, Dlg::IDC_E, "70000");
            Type(d, Dlg::IDC_NU, "0.33");
            Click(d, IDCANCEL);
        });
        EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    }
    gui_test::Flush();
    EXPECT_EQ(watch.get(), nullptr);
    EXPECT_EQ(dialog.m_pOwnedWindow, nullptr);
    {
        ModalScript script([](CDialog& d) {
            Type(d, Dlg::IDC_NAME, "Never");
            Press(d, WXK_ESCAPE);
        });
        EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    }
    MaterialRecord none;
    EXPECT_FALSE(row(L"Never", none));
    EXPECT_TRUE(written().empty());
    EXPECT_TRUE(Hooks::messageBoxes().empty());
}

TEST_F(GuiMaterialDialog, EditAndViewModes)
{
    MaterialRecord record;
    CMetal& m = record.metal;
    m.name = L"2024-T3";
    m.family = L"Aluminium";
    m.spec = L"AMS-QQ-A-250/5";
    m.uns = L"A92024";
    m.units = L"SIcm";
    m.E(73100000);
    m.Ec = 74500000;
    m.G = 28000000;
    m.nu(0.33);
    m.density(2.78);
    m.Ftu_L = 483000;
    m.Ftu_LT = 469000;
    m.Fty_L = 345000;
    m.Fty_LT = 310000;
    m.Fcy_L = 290000;
    m.Fcy_LT = 331000;
    m.Fcu_L = 500000;
    m.Fcu_LT = 510000;
    m.Fsu_L = 283000;
    m.Fsu_LT = 270000;
    m.Fbru15 = 814000;
    m.Fbru20 = 1034000;
    m.Fbry15 = 552000;
    m.Fbry20 = 648000;
    m.alpha = {0.002, 0.002, 0.002, 0.002};
    m.nYield = {15, 14, 11, 10};
    m.nUltimate = {20, 19, 18, 17};
    m.maxTensileStrain = 0.15;
    m.maxCompressionStrain = 0.12;
    record.rgb = {0.2, 0.4, 0.8};
    {
        CSQLDatabase db(database.wstring());
        db.connect();
        ASSERT_TRUE(record.write(db, false));
    }

    CMatlDlg edit;
    prepare(edit, Dlg::kEdit, L"2024-T3");
    {
        ModalScript script([&](CDialog& d) {
            expectStatesFollowTheLogic(edit);
            EXPECT_FALSE(d.GetDlgItem(Dlg::IDC_NAME)->IsEnabled());
            EXPECT_EQ(labelColour(d, Dlg::IDC_E_LABEL), RGB(0, 0, 0));
            EXPECT_EQ(d.GetDlgItemText(Dlg::IDC_E), CString(L"73.100.000"));
            gui_test::SaveWindowPng(d, "dialog_material_edit");
            Click(d, Dlg::IDC_SI_TO_USCS);
            expectStatesFollowTheLogic(edit);
            EXPECT_TRUE(d.GetDlgItem(Dlg::IDC_USCS_TO_SI)->IsShown());
            EXPECT_FALSE(d.GetDlgItem(Dlg::IDC_SI_TO_USCS)->IsShown());
            EXPECT_EQ(d.GetDlgItemText(Dlg::IDC_ULTIMATE_UNITS), CString(L"psi"));
            EXPECT_EQ(d.GetDlgItemText(Dlg::IDC_UNITS), CString(L"USCSin"));
            gui_test::SaveWindowPng(d, "dialog_material_edit_uscs");
            Click(d, IDCANCEL);
        });
        EXPECT_EQ(edit.DoModal(), IDCANCEL);
    }

    CMatlDlg view;
    prepare(view, Dlg::kView, L"2024-T3");
    {
        ModalScript script([&](CDialog& d) {
            expectStatesFollowTheLogic(view);
            for (int id : {Dlg::IDC_E, Dlg::IDC_FAMILY, Dlg::IDC_UNITS, Dlg::IDC_ISOTROPIC, Dlg::IDC_SWATCH})
                EXPECT_FALSE(d.GetDlgItem(id)->IsEnabled()) << id;
            for (int id : std::initializer_list<int>{Dlg::IDC_OK, IDCANCEL, Dlg::IDC_COLOUR, Dlg::IDC_SI_TO_USCS})
                EXPECT_TRUE(d.GetDlgItem(id)->IsEnabled()) << id;
            gui_test::SaveWindowPng(d, "dialog_material_view");
            Press(d, WXK_RETURN, Dlg::IDC_E);
            EXPECT_EQ(Hooks::messageBoxes().back().text,
                      CString(L"This section is locked (uneditable) in the materials database"));
            EXPECT_TRUE(d.IsShown());
            Click(d, Dlg::IDC_OK);
        });
        EXPECT_EQ(view.DoModal(), IDOK);
    }
    EXPECT_TRUE(written().empty());
}

TEST_F(GuiMaterialDialog, ColourHelpAndCalculator)
{
    const fs::path marker = root_ / "calculator-ran";
    const fs::path script = root_ / "calculator.sh";
    {
        std::ofstream out(script);
        out << "#!/bin/sh\ntouch '" << marker.string() << "'\n";
    }
    ASSERT_EQ(chmod(script.c_str(), 0755), 0);
    Settings::WriteProfileString(L"Settings", L"Calculator", CString(script.wstring()));

    CMatlDlg::SetColourRunner([](wxColour& colour) {
        colour = wxColour(255, 128, 0);
        return true;
    });
    CMatlDlg dialog;
    prepare(dialog, Dlg::kAdd);
    ModalScript run([&](CDialog& d) {
        Click(d, Dlg::IDC_COLOUR);
        EXPECT_TRUE(dialog.m_colourChanged);
        EXPECT_EQ(dialog.SwatchColour(), RGB(255, 128, 0));
        CMatlDlg::SetColourRunner([](wxColour&) { return false; });
        wxMouseEvent press(wxEVT_LEFT_DOWN);
        d.GetDlgItem(Dlg::IDC_SWATCH)->HandleWindowEvent(press);
        EXPECT_EQ(dialog.SwatchColour(), RGB(255, 128, 0)); // cancelled: kept
        gui_test::SaveWindowPng(d, "dialog_material_colour");

        wxKeyEvent f1(wxEVT_KEY_DOWN);
        f1.m_keyCode = WXK_F1;
        d.GetDlgItem(Dlg::IDC_G)->HandleWindowEvent(f1);
        ASSERT_EQ(Hooks::messageBoxes().size(), 1u);
        EXPECT_NE(Hooks::messageBoxes()[0].text.Find(L"Shear modulus"), -1);

        Click(d, Dlg::IDC_CALCULATOR);
        for (int i = 0; i < 250 && !fs::exists(marker); ++i) {
            gui_test::Flush();
            wxMilliSleep(20);
        }
        EXPECT_TRUE(fs::exists(marker));
        Click(d, IDCANCEL);
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);

    // A calculator that cannot start: nothing happens and nothing is shown.
    Settings::WriteProfileString(L"Settings", L"Calculator", L"no-such-calculator-program");
    Hooks::clearRecords();
    EXPECT_FALSE(LaunchCalculator());
    Settings::WriteProfileString(L"Settings", L"Calculator", CString((root_ / "missing" / "calc").wstring()));
    EXPECT_FALSE(LaunchCalculator());
    EXPECT_TRUE(Hooks::messageBoxes().empty());
}
