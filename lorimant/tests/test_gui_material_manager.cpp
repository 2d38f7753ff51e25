// The material database manager as a real window on a database of the
// test's own: a row selected through the list's event and deleted, the
// filter group, ADD through the real unit and material dialogs, Create
// Similar through the text dialog, and Apply Material through the entry
// function that the material commands call.
#include <gtest/gtest.h>

#include <wx/choice.h>
#include <wx/listctrl.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "analysis/model/CLog.h"
#include "analysis/model/CMetal.h"
#include "lorimant/automation/MaterialRecord.h"
#include "lorimant/tests/test_gui_support.h"
#include "lorimant/ui/CGetStringDlg.h"
#include "lorimant/ui/CMatlDlg.h"
#include "lorimant/ui/CMatlMgmtDlg.h"
#include "lorimant/ui/CUnits.h"
#include "platform/sqldb/CSQLDatabase.h"
#include "platform/tests/DialogTestSupport.h"

using dialog_test::Click;
using dialog_test::ModalScript;
using dialog_test::Press;
using dialog_test::Tick;
using dialog_test::Type;

namespace {

using Mgr = MaterialManagerLogic;
namespace fs = std::filesystem;

class GuiMaterialManager : public gui_lorimant_test::GuiLorimantTest {
protected:
    void SetUp() override
    {
        GuiLorimantTest::SetUp();
        database = root_ / "materials.sqldb";
        CSQLDatabase db(database.wstring());
        db.createDatabase(database.wstring());
        db.createMetalTable();
        db.createControlsTable();
        const struct {
            const wchar_t* name;
            const wchar_t* spec;
            const wchar_t* units;
            double E;
        } metals[] = {{L"2024-T3", L"AMS-QQ-A-250/5", L"USCSin", 10.7e6},
                      {L"7075-T6", L"AMS-QQ-A-250/12", L"USCSin", 10.3e6},
                      {L"S235", L"EN 10025-2", L"SIcm", 2.1e7}};
        for (const auto& m : metals) {
            MaterialRecord record;
            record.metal.name = m.name;
            record.metal.spec = m.spec;
            record.metal.units = m.units;
            record.metal.E(m.E);
            ASSERT_TRUE(record.write(db, false));
        }
        db.close();
        doc = std::make_unique<CXSectionAnalysisDoc>();
        doc->hidden = true;
        doc->OnNewDocument();
        doc->model()->materialDatabasePath = CString(database.wstring().c_str());
    }
    void TearDown() override
    {
        doc.reset();
        GuiLorimantTest::TearDown();
    }

    static wxListCtrl& listOf(CDialog& d) { return dynamic_cast<wxListCtrl&>(*d.GetDlgItem(Mgr::IDC_MATERIALS)); }
    static std::vector<std::string> shownRows(CDialog& d)
    {
        wxListCtrl& list = listOf(d);
        std::vector<std::string> out;
        for (long i = 0; i < list.GetItemCount(); ++i)
            out.push_back((list.GetItemText(i, 0) + "|" + list.GetItemText(i, 1)).ToStdString());
        return out;
    }
    // Selects row as a click does: the row shown selected and the list's
    // selection event sent.
    static void selectRow(CDialog& d, long row)
    {
        wxListCtrl& list = listOf(d);
        list.SetItemState(row, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
        wxListEvent selected(wxEVT_LIST_ITEM_SELECTED, list.GetId());
        selected.m_itemIndex = row;
        selected.SetEventObject(&list);
        list.HandleWindowEvent(selected);
        gui_test::Flush();
    }
    static bool enabled(CDialog& d, int id) { return d.GetDlgItem(id)->IsEnabled(); }
    bool exists(const wchar_t* name) const
    {
        CSQLDatabase db(database.wstring());
        db.connect();
        return db.matlExists(name);
    }

    fs::path database;
    std::unique_ptr<CXSectionAnalysisDoc> doc;
};

} // namespace

TEST_F(GuiMaterialManager, ARowSelectedAndDeletedLeavesTheListAndIsJournalled)
{
    CMatlMgmtDlg dialog(*doc);
    {
        ModalScript script([&](CDialog& d) {
            EXPECT_EQ(d.GetTitle(), wxString("Metals Material Database"));
            wxListCtrl& list = listOf(d);
            wxListItem column;
            column.SetMask(wxLIST_MASK_TEXT | wxLIST_MASK_FORMAT | wxLIST_MASK_WIDTH);
            ASSERT_TRUE(list.GetColumn(0, column));
            EXPECT_EQ(column.GetText(), wxString("Material Name"));
            EXPECT_EQ(column.GetAlign(), wxLIST_FORMAT_CENTRE);
            EXPECT_EQ(list.GetColumnWidth(0), 165);
            ASSERT_TRUE(list.GetColumn(1, column));
            EXPECT_EQ(column.GetText(), wxString("Units"));
            EXPECT_EQ(list.GetColumnWidth(1), 80);
            EXPECT_EQ(shownRows(d), (std::vector<std::string>{"2024-T3|USCSin", "7075-T6|USCSin", "S235|SIcm"}));
            EXPECT_TRUE(enabled(d, Mgr::IDC_ADD));
            EXPECT_FALSE(enabled(d, Mgr::IDC_DELETE));
            EXPECT_FALSE(enabled(d, Mgr::IDC_VIEW));

            selectRow(d, 0);
            EXPECT_EQ(dialog.selection(), 0);
            EXPECT_FALSE(enabled(d, Mgr::IDC_ADD));
            EXPECT_TRUE(enabled(d, Mgr::IDC_DELETE));
            EXPECT_TRUE(enabled(d, Mgr::IDC_EDIT));
            gui_test::SaveWindowPng(d, "dialog_material_manager");

            Hooks::scriptAnswers({IDYES});
            Click(d, Mgr::IDC_DELETE);
            EXPECT_EQ(shownRows(d), (std::vector<std::string>{"7075-T6|USCSin", "S235|SIcm"}));
            EXPECT_EQ(listOf(d).GetSelectedItemCount(), 0);
            EXPECT_TRUE(enabled(d, Mgr::IDC_ADD));
            Click(d, Mgr::IDC_CLOSE);
        });
        EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    }
    EXPECT_FALSE(exists(L"2024-T3"));
    EXPECT_EQ(lines(doc->journal()->path()).back(), "xscn.DeleteMaterial \"2024-T3\"");
    EXPECT_TRUE(doc->IsModified());
    ASSERT_EQ(Hooks::messageBoxes().size(), 1u);
    EXPECT_EQ(Hooks::messageBoxes()[0].caption, CString(L"Material Database"));
    EXPECT_EQ(dialog.chosenMetal(), nullptr);
}

TEST_F(GuiMaterialManager, TheFilterGroupReplacesTheRowsAndF1Helps)
{
    CMatlMgmtDlg dialog(*doc);
    ModalScript script([&](CDialog& d) {
        auto& column = dynamic_cast<wxChoice&>(*d.GetDlgItem(Mgr::IDC_FILTER_COLUMN));
        ASSERT_EQ(column.GetCount(), 4u);
        EXPECT_EQ(column.GetString(0), wxString("Family"));
        EXPECT_EQ(column.GetString(3), wxString("UNS"));
        column.SetSelection(2); // Spec
        Type(d, Mgr::IDC_FILTER_TEXT, "250/12");
        Click(d, Mgr::IDC_APPLY_FILTER);
        EXPECT_EQ(shownRows(d), (std::vector<std::string>{"7075-T6|"}));
        Type(d, Mgr::IDC_FILTER_TEXT, "nothing like it");
        Click(d, Mgr::IDC_APPLY_FILTER);
        EXPECT_TRUE(shownRows(d).empty());
        EXPECT_TRUE(Hooks::messageBoxes().empty());

        // F1 on DELETE: its short help.
        wxWindow* button = d.GetDlgItem(Mgr::IDC_DELETE);
        wxKeyEvent f1(wxEVT_KEY_DOWN);
        f1.m_keyCode = WXK_F1;
        f1.SetEventObject(button);
        button->HandleWindowEvent(f1);
        ASSERT_EQ(Hooks::messageBoxes().size(), 1u);
        EXPECT_EQ(Hooks::messageBoxes()[0].caption, CString(L"Metals Material Database"));
        EXPECT_NE(Hooks::messageBoxes()[0].text.Find(L"DELETE"), -1);
        Click(d, IDCANCEL);
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
}

TEST_F(GuiMaterialManager, AddAsksTheUnitsThenOpensTheMaterialDialog)
{
    gUnitSystem = SI;
    std::vector<wxString> seen;
    CMatlMgmtDlg dialog(*doc);
    ModalScript script([&](CDialog& d) {
        seen.push_back(d.GetTitle());
        if (dynamic_cast<CUnits*>(&d) != nullptr) {
            if (seen.size() == 2) { // the first time: cancelled
                Press(d, WXK_ESCAPE);
                return;
            }
            Tick(d, CUnits::IDC_USCS);
            Click(d, IDOK);
        } else if (auto* material = dynamic_cast<CMatlDlg*>(&d)) {
            EXPECT_EQ(material->m_mode, CMatlDlgLogic::kAdd);
            EXPECT_EQ(material->m_units, CString(L"USCSin"));
            EXPECT_EQ(material->m_databasePath, CString(database.wstring().c_str()));
            EXPECT_EQ(d.GetDlgItemText(CMatlDlgLogic::IDC_E_UNITS), CString(L"psi"));
            Type(d, CMatlDlgLogic::IDC_NAME, "Ti-6Al-4V");
            Type(d, CMatlDlgLogic::IDC_E, "16000000");
            Type(d, CMatlDlgLogic::IDC_NU, "0.31");
            Click(d, CMatlDlgLogic::IDC_OK);
        } else {
            Click(d, Mgr::IDC_ADD); // cancelled at the units
            Click(d, Mgr::IDC_ADD);
            EXPECT_EQ(shownRows(d).back(), "Ti-6Al-4V|USCSin");
            Click(d, IDCANCEL);
        }
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(seen, (std::vector<wxString>{"Metals Material Database", "Units", "Units", "Material Specification"}));
    EXPECT_EQ(gUnitSystem, SI);
    EXPECT_TRUE(exists(L"Ti-6Al-4V"));
    EXPECT_EQ(lines(doc->journal()->path()).back().rfind("xscn.AddMaterialDef \"Ti-6Al-4V\"", 0), 0u);
}

TEST_F(GuiMaterialManager, CreateSimilarAndApplyMaterialThroughTheEntryFunction)
{
    std::shared_ptr<CMetal> chosen;
    {
        ModalScript script([&](CDialog& d) {
            if (auto* ask = dynamic_cast<CGetStringDlg*>(&d)) {
                EXPECT_EQ(ask->m_prompt, CString(L"What is the name for the new material?"));
                Type(d, CGetStringForm::IDC_ANSWER, "S235 copy");
                Click(d, IDOK);
                return;
            }
            selectRow(d, 2);
            Click(d, Mgr::IDC_CREATE_SIMILAR);
            EXPECT_EQ(shownRows(d).back(), "S235 copy|SIcm");
            selectRow(d, 3);
            Click(d, Mgr::IDC_APPLY_MATERIAL);
        });
        chosen = RunMaterialManager(*doc);
    }
    ASSERT_NE(chosen, nullptr);
    EXPECT_EQ(chosen->name, CString(L"S235 copy"));
    EXPECT_EQ(chosen->E(), 2.1e7);
    EXPECT_EQ(doc->model()->findMaterial(L"S235 copy"), nullptr);

    // Closed without applying: no metal.
    ModalScript close([](CDialog& d) { Click(d, Mgr::IDC_CLOSE); });
    EXPECT_EQ(RunMaterialManager(*doc), nullptr);
}
