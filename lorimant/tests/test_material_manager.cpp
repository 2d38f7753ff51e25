// The material database manager's rules without a window: a document on a
// material database of the test's own, the windows it opens answered by a
// scripted host, its message boxes by the recording hooks.
#include <gtest/gtest.h>

#include <sqlite3.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "analysis/model/CLog.h"
#include "analysis/model/CMetal.h"
#include "analysis/model/Globals.h"
#include "analysis/model/LightProperties.h"
#include "lorimant/analyses/MaterialManagerLogic.h"
#include "lorimant/automation/JournalInterpreter.h"
#include "lorimant/automation/MaterialRecord.h"
#include "platform/sqldb/CSQLDatabase.h"
#include "platform/tests/SqlTestSupport.h"
#include "test_document_support.h"

namespace {

namespace fs = std::filesystem;
using Mgr = MaterialManagerLogic;

// One call of the material dialog as the manager made it.
struct MaterialDialogCall {
    int mode;
    CString name, units, path;
};

// The windows the manager opens, answered from the test's script.
class ScriptedManagerHost : public MaterialManagerHost {
public:
    std::optional<EUnitSystem> askUnits() override
    {
        ++unitQuestions;
        return units;
    }
    int runMaterialDialog(int mode, const CString& name, const CString& unitsText,
                          const CString& databasePath) override
    {
        dialogs.push_back({mode, name, unitsText, databasePath});
        if (duringDialog)
            duringDialog();
        return dialogAnswer;
    }
    std::optional<CString> askText(const CString& prompt) override
    {
        prompts.push_back(prompt);
        return text;
    }

    std::optional<EUnitSystem> units;
    int unitQuestions = 0;
    int dialogAnswer = IDCANCEL;
    std::function<void()> duringDialog;
    std::vector<MaterialDialogCall> dialogs;
    std::optional<CString> text;
    std::vector<CString> prompts;
};

// An active view that counts its redraws.
class CountingView : public ActiveSectionView {
public:
    void RebuildAndRedraw() override { ++redraws; }
    int redraws = 0;
};

// The logic with its closing recorded.
class HeadlessManager : public MaterialManagerLogic {
public:
    using MaterialManagerLogic::MaterialManagerLogic;
    int closes = 0;

protected:
    void CloseDialog(int) override { ++closes; }
};

// A metal of the test database: name, family, spec, units, E and colour.
struct SeedMetal {
    const wchar_t* name;
    const wchar_t* family;
    const wchar_t* spec;
    const wchar_t* units;
    double E;
    double rgb[3];
};
constexpr SeedMetal kSeedMetals[] = {
    {L"2024-T3", L"Aluminium", L"AMS-QQ-A-250/5", L"USCSin", 10.7e6, {0.8, 0.1, 0.2}},
    {L"7075-T6", L"Aluminium", L"AMS-QQ-A-250/12", L"USCSin", 10.3e6, {0.2, 0.3, 0.9}},
    {L"S235", L"Steel", L"EN 10025-2", L"SIcm", 2.1e7, {0.5, 0.5, 0.5}},
};

class MaterialManager : public document_test::DocumentTest {
protected:
    void SetUp() override
    {
        DocumentTest::SetUp();
        database = root_ / "materials.sqldb";
        makeDatabase(database);
        doc = std::make_unique<CXSectionAnalysisDoc>();
        doc->hidden = true;
        doc->OnNewDocument();
        doc->MakeCurrent();
        doc->model()->materialDatabasePath = CString(database.wstring().c_str());
        doc->setActiveView(&view);
        manager = std::make_unique<HeadlessManager>(*doc, host);
        manager->OnInitDialog();
    }
    void TearDown() override
    {
        manager.reset();
        doc.reset();
        DocumentTest::TearDown();
    }

    // The three metals, "7075-T6" stored twice.
    static void makeDatabase(const fs::path& file)
    {
        CSQLDatabase db(file.wstring());
        db.createDatabase(file.wstring());
        db.createMetalTable();
        db.createControlsTable();
        for (const SeedMetal& seed : kSeedMetals) {
            MaterialRecord record;
            record.metal.name = seed.name;
            record.metal.family = seed.family;
            record.metal.spec = seed.spec;
            record.metal.units = seed.units;
            record.metal.E(seed.E);
            record.rgb = {seed.rgb[0], seed.rgb[1], seed.rgb[2]};
            ASSERT_TRUE(record.write(db, false));
        }
        db.close();
        runSql(file, "INSERT INTO Metals SELECT * FROM Metals WHERE Name = '7075-T6'");
    }

    std::unique_ptr<CSQLDatabase> open() const
    {
        auto db = std::make_unique<CSQLDatabase>(database.wstring());
        db->connect();
        return db;
    }
    bool exists(const wchar_t* name) const { return open()->matlExists(name); }
    void lock(const wchar_t* name) const { open()->UpdateControls(name, L"someone", true); }

    // The rows' names, and their units, in order.
    std::vector<std::wstring> names() const
    {
        std::vector<std::wstring> out;
        for (const MaterialRow& row : manager->rows())
            out.push_back(row.name.ToStdWString());
        return out;
    }
    void select(const wchar_t* name)
    {
        const std::vector<std::wstring> all = names();
        for (std::size_t i = 0; i < all.size(); ++i)
            if (all[i] == name) {
                manager->OnSelectionChanged(static_cast<int>(i));
                return;
            }
        FAIL() << "no row is named " << CString(name).ToUtf8();
    }
    std::vector<std::string> journal() const { return lines(doc->journal()->path()); }
    // True when no connection of this process is open on the file (an idle
    // connection holds no lock, so the file's descriptors are counted) and
    // another connection can take the file for itself.
    bool noConnectionOpen() const
    {
        const fs::path file = fs::weakly_canonical(database);
        for (const fs::directory_entry& fd : fs::directory_iterator("/proc/self/fd")) {
            std::error_code ignored;
            if (fs::read_symlink(fd.path(), ignored) == file)
                return false;
        }
        sqlite3* db = nullptr;
        if (sqlite3_open(database.c_str(), &db) != SQLITE_OK) {
            sqlite3_close(db);
            return false;
        }
        const bool locked = sqlite3_exec(db, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr) == SQLITE_OK;
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(db);
        return locked;
    }
    // Runs the document's journal on a new document connected to file.
    JournalRunResult replayJournalOn(const fs::path& file) const
    {
        CXSectionAnalysisDoc replayed;
        replayed.hidden = true;
        replayed.OnNewDocument();
        replayed.model()->materialDatabasePath = CString(file.wstring().c_str());
        std::ifstream in(doc->journal()->path(), std::ios::binary);
        std::ostringstream out;
        JournalInterpreter interpreter(DocumentAutomationObject(replayed), out);
        return interpreter.Run(in);
    }
    const MessageBoxCall& lastMessage() const
    {
        static const MessageBoxCall none{};
        return Hooks::messageBoxes().empty() ? none : Hooks::messageBoxes().back();
    }

    fs::path database;
    CountingView view;
    ScriptedManagerHost host;
    std::unique_ptr<CXSectionAnalysisDoc> doc;
    std::unique_ptr<HeadlessManager> manager;
};

const CString kDeleteQuestion =
    L"The database is the SOLE authority for material definitions.  Deleting a material from the database will "
    L"remove the association with all objects using it in all Quenholt documents.   Are you sure you want to "
    L"continue?";
const CString kEditQuestion =
    L"The database is the SOLE authority for material definitions.  Editing a material will affect all objects "
    L"using that material in all Quenholt documents.   Are you sure you want to continue?";

} // namespace

TEST_F(MaterialManager, ListsEachNameOnceWithItsUnitsAndFilters)
{
    ASSERT_EQ(manager->rows().size(), 3u);
    const std::pair<const wchar_t*, const wchar_t*> expected[] = {
        {L"2024-T3", L"USCSin"}, {L"7075-T6", L"USCSin"}, {L"S235", L"SIcm"}};
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(manager->rows()[i].name, CString(expected[i].first));
        EXPECT_EQ(manager->rows()[i].units, CString(expected[i].second));
    }
    EXPECT_EQ(manager->selection(), -1);

    const struct {
        int column; // index of Family, Name, Spec, UNS
        const wchar_t* text;
        std::vector<std::wstring> names;
    } filters[] = {
        {2, L"no such spec", {}},
        {0, L"lumin", {L"2024-T3", L"7075-T6"}},
        {0, L"STEEL", {L"S235"}},
        {1, L"75-T", {L"7075-T6"}},
        {2, L"250/", {L"2024-T3", L"7075-T6"}},
    };
    for (const auto& filter : filters) {
        SCOPED_TRACE(CString(filter.text).ToUtf8());
        manager->OnSelectionChanged(0);
        manager->m_filterColumn = filter.column;
        manager->m_filterText = filter.text;
        manager->OnApplyFilter();
        EXPECT_EQ(names(), filter.names);
        EXPECT_EQ(manager->selection(), -1);
        for (const MaterialRow& row : manager->rows())
            EXPECT_TRUE(row.units.IsEmpty());
    }
    EXPECT_TRUE(Hooks::messageBoxes().empty());
    manager->fillList();
    EXPECT_EQ(names(), (std::vector<std::wstring>{L"2024-T3", L"7075-T6", L"S235"}));
}

TEST_F(MaterialManager, DatabaseFailuresAreShownAndTheRowsStay)
{
    runSql(database, "DROP TABLE Metals");
    manager->fillList();
    EXPECT_EQ(lastMessage().text, CString(L"no such table: Metals"));
    EXPECT_EQ(lastMessage().caption, CString(L"SQL ERROR"));
    EXPECT_EQ(lastMessage().type & MB_ICONMASK, MB_ICONERROR);
    EXPECT_EQ(manager->rows().size(), 3u);

    manager->m_filterColumn = 0;
    manager->m_filterText = L"Steel";
    manager->OnApplyFilter();
    EXPECT_EQ(lastMessage().text, CString(L"no such table: Metals"));
    EXPECT_EQ(lastMessage().caption, CString(L"SQL Database Error"));
    EXPECT_EQ(manager->rows().size(), 3u);

    // A database file that is gone.
    fs::remove(database);
    select(L"S235");
    manager->OnApplyMaterial();
    EXPECT_EQ(lastMessage().caption, CString(L"SQL Database Error"));
    EXPECT_FALSE(manager->Ended());
    EXPECT_EQ(manager->rows().size(), 3u);
}

TEST_F(MaterialManager, ButtonStatesFollowTheSelectionAndTheLock)
{
    lock(L"7075-T6");
    using Ids = std::vector<int>;
    const Ids buttons = {Mgr::IDC_ADD,    Mgr::IDC_EDIT,     Mgr::IDC_DELETE,          Mgr::IDC_VIEW,
                         Mgr::IDC_UNSELECT, Mgr::IDC_CREATE_SIMILAR, Mgr::IDC_APPLY_MATERIAL};
    const struct {
        const wchar_t* selected; // null: no selection
        std::vector<bool> enabled; // in the order of buttons
    } cases[] = {
        {nullptr, {true, false, false, false, false, false, true}},
        {L"2024-T3", {false, true, true, true, true, true, true}},
        {L"7075-T6", {false, false, false, true, true, true, true}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.selected ? CString(c.selected).ToUtf8() : "none");
        if (c.selected)
            select(c.selected);
        else
            manager->OnUnselect();
        for (std::size_t i = 0; i < buttons.size(); ++i)
            EXPECT_EQ(manager->IsButtonEnabled(buttons[i]), c.enabled[i]) << buttons[i];
    }
    EXPECT_EQ(manager->selection(), 1); // "7075-T6" is the second row
    manager->OnUnselect();
    EXPECT_EQ(manager->selection(), -1);
}

TEST_F(MaterialManager, ALockedMetalIsNeitherDeletedNorEdited)
{
    lock(L"7075-T6");
    select(L"7075-T6");
    const std::size_t journalled = journal().size();
    manager->OnDelete();
    ASSERT_EQ(Hooks::messageBoxes().size(), 1u);
    EXPECT_EQ(lastMessage().text, CString(L"Material is locked, may not be deleted"));
    EXPECT_EQ(lastMessage().caption, CString(L"Material Database"));
    EXPECT_TRUE(exists(L"7075-T6"));
    EXPECT_EQ(journal().size(), journalled);

    manager->OnEdit();
    ASSERT_EQ(Hooks::messageBoxes().size(), 2u);
    EXPECT_EQ(lastMessage().text, CString(L"Material is locked, it cannot be edited"));
    EXPECT_EQ(lastMessage().caption, CString(L"Materials Database"));
    EXPECT_TRUE(host.dialogs.empty());
}

TEST_F(MaterialManager, DeleteAsksThenDeletesJournalsAndRedraws)
{
    select(L"2024-T3");
    const std::size_t journalled = journal().size();
    Hooks::scriptAnswers({IDNO});
    manager->OnDelete();
    EXPECT_EQ(lastMessage().text, kDeleteQuestion);
    EXPECT_EQ(lastMessage().caption, CString(L"Material Database"));
    EXPECT_EQ(lastMessage().type & MB_TYPEMASK, MB_YESNO);
    EXPECT_EQ(journal().size(), journalled);
    EXPECT_TRUE(exists(L"2024-T3"));
    EXPECT_EQ(manager->rows().size(), 3u);
    EXPECT_FALSE(doc->IsModified());
    EXPECT_EQ(view.redraws, 0);

    Hooks::scriptAnswers({IDYES});
    manager->OnDelete();
    EXPECT_EQ(journal().size(), journalled + 1);
    EXPECT_EQ(journal().back(), "xscn.DeleteMaterial \"2024-T3\"");
    EXPECT_EQ(names(), (std::vector<std::wstring>{L"7075-T6", L"S235"}));
    EXPECT_FALSE(exists(L"2024-T3"));
    EXPECT_TRUE(doc->IsModified());
    EXPECT_EQ(view.redraws, 1);
    EXPECT_EQ(manager->selection(), -1);
    EXPECT_TRUE(manager->IsButtonEnabled(Mgr::IDC_ADD));
}

TEST_F(MaterialManager, ADeleteThatFailsJournalsNothing)
{
    // Another connection holds a write transaction on the file.
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(database.c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
    select(L"2024-T3");
    const std::size_t journalled = journal().size();
    Hooks::scriptAnswers({IDYES});
    manager->OnDelete();
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    EXPECT_EQ(lastMessage().text, CString(L"database is locked"));
    EXPECT_EQ(lastMessage().caption, CString(L"SQL Database Error"));
    EXPECT_EQ(lastMessage().type & MB_ICONMASK, MB_ICONERROR);
    EXPECT_EQ(journal().size(), journalled);
    EXPECT_TRUE(exists(L"2024-T3"));
    EXPECT_EQ(manager->rows().size(), 3u);
    EXPECT_FALSE(doc->IsModified());

    // The metal deleted meanwhile by someone else: said, and nothing journalled.
    open()->deleteMaterial("2024-T3");
    select(L"2024-T3");
    Hooks::scriptAnswers({IDYES});
    manager->OnDelete();
    EXPECT_EQ(lastMessage().text, CString(L"Material 2024-T3 does not exist in the database."));
    EXPECT_EQ(journal().size(), journalled);
    EXPECT_EQ(names(), (std::vector<std::wstring>{L"7075-T6", L"S235"}));
}

TEST_F(MaterialManager, TheJournalOfADeletionReplaysOnACopyOfTheDatabase)
{
    // A name with quotes: doubled in the line, single again on replay.
    MaterialRecord quoted;
    quoted.metal.name = L"Alloy \"B\"";
    ASSERT_TRUE(quoted.write(*open(), false));
    const fs::path copy = root_ / "copy.sqldb";
    fs::copy_file(database, copy);
    manager->fillList();
    select(L"Alloy \"B\"");
    Hooks::scriptAnswers({IDYES});
    manager->OnDelete();
    EXPECT_EQ(journal().back(), "xscn.DeleteMaterial \"Alloy \"\"B\"\"\"");

    const JournalRunResult result = replayJournalOn(copy);
    EXPECT_TRUE(result.ok) << result.description << " at " << result.line;
    CSQLDatabase db(copy.wstring());
    db.connect();
    EXPECT_FALSE(db.matlExists(L"Alloy \"B\""));
    EXPECT_TRUE(db.matlExists(L"2024-T3"));
}

TEST_F(MaterialManager, ACopyAndADeletionReplayOnACopyOfTheDatabase)
{
    const fs::path before = root_ / "before.sqldb";
    fs::copy_file(database, before);
    select(L"2024-T3");
    host.text = CString(L"Copy \"A\"");
    manager->OnCreateSimilar();
    ASSERT_TRUE(exists(L"Copy \"A\""));
    EXPECT_EQ(journal().back().rfind("xscn.AddMaterialDef \"Copy \"\"A\"\"\",\"Aluminium\",", 0), 0u)
        << journal().back();
    select(L"2024-T3");
    Hooks::scriptAnswers({IDYES});
    manager->OnDelete();

    const JournalRunResult result = replayJournalOn(before);
    EXPECT_TRUE(result.ok) << result.description << " at " << result.line;
    CSQLDatabase db(before.wstring());
    db.connect();
    EXPECT_FALSE(db.matlExists(L"2024-T3"));
    MaterialRecord copy;
    ASSERT_TRUE(copy.read(db, L"Copy \"A\""));
    // The values of "2024-T3" as the test stored them.
    EXPECT_EQ(copy.metal.E(), 10.7e6);
    EXPECT_EQ(copy.metal.spec, CString(L"AMS-QQ-A-250/5"));
    EXPECT_EQ(copy.metal.units, CString(L"USCSin"));
    EXPECT_EQ(copy.rgb, (std::array<double, 3>{0.8, 0.1, 0.2}));
}

TEST_F(MaterialManager, CreateSimilarCopiesTheSelectedMetal)
{
    select(L"2024-T3");
    host.text = std::nullopt;
    manager->OnCreateSimilar();
    EXPECT_EQ(host.prompts, std::vector<CString>{CString(L"What is the name for the new material?")});
    EXPECT_EQ(manager->rows().size(), 3u);

    host.text = CString(L"2024-T3 copy");
    manager->OnCreateSimilar();
    EXPECT_EQ(names(), (std::vector<std::wstring>{L"2024-T3", L"7075-T6", L"S235", L"2024-T3 copy"}));
    EXPECT_EQ(manager->rows().back().units, CString(L"USCSin"));
    EXPECT_TRUE(Hooks::messageBoxes().empty());

    // The database's own text for a taken name.
    std::string refusal;
    try {
        open()->createSimilarTable(L"2024-T3", L"S235");
    } catch (const sql_exception& e) {
        refusal = e.what();
    }
    ASSERT_FALSE(refusal.empty());
    const std::size_t journalled = journal().size();
    select(L"2024-T3");
    host.text = CString(L"S235");
    manager->OnCreateSimilar();
    EXPECT_EQ(journal().size(), journalled);
    EXPECT_EQ(lastMessage().text, CString(L"Creation of similar material failed with ") + CString(refusal.c_str()));
    EXPECT_EQ(lastMessage().caption, CString(L"Similar Material"));
    EXPECT_EQ(lastMessage().type & MB_ICONMASK, MB_ICONERROR);
    EXPECT_EQ(manager->rows().size(), 4u);
}

TEST_F(MaterialManager, ApplyMaterialChoosesTheModelsMetalOrANewOne)
{
    manager->OnApplyMaterial();
    EXPECT_EQ(lastMessage().text, CString(L"Need to select a material to apply"));
    EXPECT_FALSE(manager->Ended());
    EXPECT_EQ(manager->chosenMetal(), nullptr);

    // The model holds "S235" already; the database's E has changed since.
    auto held = std::make_shared<CMetal>();
    held->name = L"S235";
    held->E(1.0);
    doc->model()->materials.AddTail(held);
    {
        std::unique_ptr<CSQLDatabase> db = open();
        MaterialRecord record;
        ASSERT_TRUE(record.read(*db, L"S235"));
        record.metal.E(2.05e7);
        ASSERT_TRUE(record.write(*db, true));
    }
    select(L"S235");
    manager->OnApplyMaterial();
    EXPECT_EQ(manager->chosenMetal(), held);
    EXPECT_EQ(held->E(), 2.05e7);
    EXPECT_EQ(held->units, CString(L"SIcm"));
    EXPECT_EQ(held->family, CString(L"Steel"));
    EXPECT_TRUE(manager->Ended());
    EXPECT_EQ(manager->EndCode(), IDOK);
    EXPECT_EQ(manager->closes, 1);
}

TEST_F(MaterialManager, ApplyMaterialMakesANewMetalTheModelLacks)
{
    select(L"2024-T3");
    manager->OnApplyMaterial();
    const std::shared_ptr<CMetal> chosen = manager->chosenMetal();
    ASSERT_NE(chosen, nullptr);
    EXPECT_EQ(chosen->name, CString(L"2024-T3"));
    EXPECT_EQ(chosen->E(), 10.7e6);
    EXPECT_EQ(chosen->spec, CString(L"AMS-QQ-A-250/5"));
    EXPECT_EQ(doc->model()->findMaterial(L"2024-T3"), nullptr);
    EXPECT_EQ(doc->model()->materials.GetCount(), 0);
    EXPECT_EQ(manager->EndCode(), IDOK);
    // The colour stored with the metal.
    ASSERT_NE(chosen->colour, nullptr);
    EXPECT_EQ(chosen->colour->diffuse.red, 0.8f);
    EXPECT_EQ(chosen->colour->diffuse.green, 0.1f);
    EXPECT_EQ(chosen->colour->diffuse.blue, 0.2f);
}

TEST_F(MaterialManager, AddAsksForUnitsAndOpensANewMaterial)
{
    gUnitSystem = SI;
    host.units = std::nullopt;
    manager->OnAdd();
    EXPECT_EQ(host.unitQuestions, 1);
    EXPECT_TRUE(host.dialogs.empty());

    host.units = USCS;
    host.dialogAnswer = IDOK;
    host.duringDialog = [this] {
        EXPECT_TRUE(noConnectionOpen());
        MaterialRecord record;
        record.metal.name = L"Ti-6Al-4V";
        record.metal.units = L"USCSin";
        ASSERT_TRUE(record.write(*open(), false));
    };
    manager->OnAdd();
    ASSERT_EQ(host.dialogs.size(), 1u);
    EXPECT_EQ(host.dialogs[0].mode, 0);
    EXPECT_TRUE(host.dialogs[0].name.IsEmpty());
    EXPECT_EQ(host.dialogs[0].units, CString(L"USCSin"));
    EXPECT_EQ(host.dialogs[0].path, CString(database.wstring().c_str()));
    EXPECT_EQ(gUnitSystem, SI);
    EXPECT_EQ(names().back(), L"Ti-6Al-4V");

    host.units = SI;
    host.dialogAnswer = IDCANCEL;
    host.duringDialog = nullptr;
    manager->OnAdd();
    ASSERT_EQ(host.dialogs.size(), 2u);
    EXPECT_EQ(host.dialogs[1].units, CString(L"SIcm"));
}

TEST_F(MaterialManager, EditAndViewOpenTheSelectedMetal)
{
    select(L"7075-T6");
    Hooks::scriptAnswers({IDNO});
    manager->OnEdit();
    EXPECT_EQ(lastMessage().text, kEditQuestion);
    EXPECT_EQ(lastMessage().caption, CString(L"Material Database"));
    EXPECT_TRUE(host.dialogs.empty());

    host.duringDialog = [this] { EXPECT_TRUE(noConnectionOpen()); };
    Hooks::scriptAnswers({IDYES});
    manager->OnEdit();
    ASSERT_EQ(host.dialogs.size(), 1u);
    EXPECT_EQ(host.dialogs[0].mode, 1);
    EXPECT_EQ(host.dialogs[0].name, CString(L"7075-T6"));
    EXPECT_EQ(host.dialogs[0].path, CString(database.wstring().c_str()));

    select(L"S235");
    host.dialogAnswer = IDOK;
    manager->OnView();
    ASSERT_EQ(host.dialogs.size(), 2u);
    EXPECT_EQ(host.dialogs[1].mode, 2);
    EXPECT_EQ(host.dialogs[1].name, CString(L"S235"));
    EXPECT_EQ(manager->selection(), -1);
    EXPECT_FALSE(manager->IsButtonEnabled(Mgr::IDC_VIEW));
}

TEST_F(MaterialManager, NoConnectionStaysOpenBetweenOperations)
{
    EXPECT_TRUE(noConnectionOpen());
    const std::vector<std::pair<const char*, std::function<void()>>> steps = {
        {"select", [this] { select(L"2024-T3"); }},
        {"filter",
         [this] {
             manager->m_filterText = L"Alu";
             manager->OnApplyFilter();
         }},
        {"refill", [this] { manager->fillList(); }},
        {"create similar",
         [this] {
             select(L"7075-T6");
             host.text = CString(L"7075-T6 copy");
             manager->OnCreateSimilar();
         }},
        {"delete",
         [this] {
             select(L"7075-T6 copy");
             Hooks::scriptAnswers({IDYES});
             manager->OnDelete();
         }},
        {"apply", [this] {
             select(L"S235");
             manager->OnApplyMaterial();
         }},
    };
    for (const auto& [name, step] : steps) {
        SCOPED_TRACE(name);
        step();
        EXPECT_TRUE(noConnectionOpen());
    }
    EXPECT_FALSE(exists(L"7075-T6 copy"));
    EXPECT_EQ(manager->EndCode(), IDOK);
}

TEST_F(MaterialManager, HelpOnDeleteAddAndEdit)
{
    for (int id : {Mgr::IDC_DELETE, Mgr::IDC_ADD, Mgr::IDC_EDIT}) {
        EXPECT_TRUE(manager->OnHelpInfo(id)) << id;
        EXPECT_EQ(lastMessage().caption, CString(L"Metals Material Database"));
        EXPECT_FALSE(lastMessage().text.IsEmpty());
    }
    EXPECT_EQ(Hooks::messageBoxes().size(), 3u);
    EXPECT_FALSE(manager->OnHelpInfo(Mgr::IDC_VIEW));
    EXPECT_EQ(Hooks::messageBoxes().size(), 3u);
}
