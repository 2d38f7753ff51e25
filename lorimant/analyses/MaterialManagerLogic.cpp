// The material database manager's rules: the listing and its filter, the
// operations of its buttons and their enabled states.
#include "lorimant/analyses/MaterialManagerLogic.h"

#include <iterator>
#include <set>
#include <stdexcept>
#include <string>
#include <utility>

#include "analysis/model/CLog.h"
#include "analysis/model/CMetal.h"
#include "analysis/model/Globals.h"
#include "drevoline/section/CXSectionAnalysis.h"
#include "lorimant/automation/MaterialRecord.h"
#include "lorimant/document/CXSectionAnalysisDoc.h"
#include "platform/core/Hooks.h"
#include "platform/sqldb/CSQLDatabase.h"

namespace {

using Logic = MaterialManagerLogic;

const wchar_t* const kDatabaseCaption = L"Material Database";
const wchar_t* const kListingErrorCaption = L"SQL ERROR";
const wchar_t* const kErrorCaption = L"SQL Database Error";

// The material dialog's modes that the manager opens.
constexpr int kAddMode = 0;
constexpr int kEditMode = 1;
constexpr int kViewMode = 2;

// The unit texts of the database by unit system.
const wchar_t* unitsText(EUnitSystem units)
{
    return units == USCS ? L"USCSin" : L"SIcm";
}

// Whether a button is enabled with and without a selected row; editable
// buttons need the selected metal to be unlocked as well.
struct ButtonRule {
    int id;
    bool withoutSelection;
    bool withSelection;
    bool needsEditable;
};
constexpr ButtonRule kButtonRules[] = {
    {Logic::IDC_ADD, true, false, false},
    {Logic::IDC_EDIT, false, true, true},
    {Logic::IDC_DELETE, false, true, true},
    {Logic::IDC_UNSELECT, false, true, false},
    // Without a selection there is no metal to show.
    {Logic::IDC_VIEW, false, true, false},
    {Logic::IDC_CREATE_SIMILAR, false, true, false},
    // Answers without a selection with its own message.
    {Logic::IDC_APPLY_MATERIAL, true, true, false},
};

// The short help of the buttons that answer F1.
struct HelpText {
    int id;
    const wchar_t* text;
};
constexpr HelpText kHelpTexts[] = {
    {Logic::IDC_DELETE,
     L"DELETE removes the selected material from the database, after asking. "
     L"Every document that uses it loses the association. A locked material cannot be deleted."},
    {Logic::IDC_ADD,
     L"ADD asks for the unit system of a new material and opens the material "
     L"definition, where its name and values are entered and stored in the database."},
    {Logic::IDC_EDIT,
     L"EDIT opens the selected material's definition to change its values in the "
     L"database, after asking. A locked material cannot be edited."},
};

void showError(const CString& text, const wchar_t* caption)
{
    AfxMessageBox(text, caption, MB_OK | MB_ICONERROR);
}

} // namespace

const wchar_t* const MaterialManagerLogic::kCaption = L"Metals Material Database";
const wchar_t* const MaterialManagerLogic::kFilterColumns[4] = {L"Family", L"Name", L"Spec", L"UNS"};

MaterialManagerLogic::MaterialManagerLogic(CXSectionAnalysisDoc& doc, MaterialManagerHost& host)
    : m_doc(doc), m_host(host)
{
    if (doc.model() == nullptr)
        throw std::logic_error("The material database manager needs a document with a model");
}

MaterialManagerLogic::~MaterialManagerLogic() = default;

CXSectionAnalysis& MaterialManagerLogic::model() const
{
    return *m_doc.model();
}

std::unique_ptr<CSQLDatabase> MaterialManagerLogic::connect() const
{
    return ConnectMaterialDatabase(model());
}

const CString* MaterialManagerLogic::selectedName() const
{
    if (m_selected < 0 || m_selected >= static_cast<int>(m_rows.size()))
        return nullptr;
    return &m_rows[static_cast<std::size_t>(m_selected)].name;
}

void MaterialManagerLogic::OnInitDialog()
{
    fillList();
    updateButtons();
}

// --- Rows and selection -----------------------------------------------------------------

void MaterialManagerLogic::fillList()
{
    std::vector<MaterialRow> rows;
    try {
        std::unique_ptr<CSQLDatabase> db = connect();
        db->prepGetMetalNames();
        std::set<std::wstring> listed;
        std::wstring name, units;
        while (db->getNextMetalName(name, units))
            if (listed.insert(name).second)
                rows.push_back({CString(name.c_str()), CString(units.c_str())});
    } catch (const sql_exception& e) {
        showError(CString(e.what()), kListingErrorCaption);
        return;
    }
    replaceRows(std::move(rows));
}

void MaterialManagerLogic::OnApplyFilter()
{
    if (m_filterColumn < 0 || m_filterColumn >= static_cast<int>(std::size(kFilterColumns)))
        return;
    const CString text = m_filterText.Left(kFilterTextLimit);
    std::vector<MaterialRow> rows;
    try {
        std::unique_ptr<CSQLDatabase> db = connect();
        for (const std::wstring& name : db->getList(kFilterColumns[m_filterColumn], text.ToStdWString()))
            rows.push_back({CString(name.c_str()), CString()});
    } catch (const sql_exception& e) {
        showError(CString(e.what()), kErrorCaption);
        return;
    }
    replaceRows(std::move(rows));
}

void MaterialManagerLogic::replaceRows(std::vector<MaterialRow> rows)
{
    m_rows = std::move(rows);
    m_selected = -1;
    ShowRows();
    ShowSelection();
    updateButtons();
}

void MaterialManagerLogic::OnSelectionChanged(int row)
{
    if (row >= static_cast<int>(m_rows.size()))
        row = -1;
    if (row == m_selected)
        return;
    m_selected = row < 0 ? -1 : row;
    updateButtons();
}

void MaterialManagerLogic::setSelection(int row)
{
    m_selected = row;
    ShowSelection();
    updateButtons();
}

void MaterialManagerLogic::OnUnselect()
{
    setSelection(-1);
}

// --- Button states -----------------------------------------------------------------------

bool MaterialManagerLogic::isEditable(const CString& name)
{
    try {
        return connect()->IsEditable(name.ToStdWString());
    } catch (const sql_exception& e) {
        showError(CString(e.what()), kErrorCaption);
        return false;
    }
}

void MaterialManagerLogic::updateButtons()
{
    const CString* name = selectedName();
    const bool editable = name != nullptr && isEditable(*name);
    for (const ButtonRule& rule : kButtonRules) {
        bool on = name != nullptr ? rule.withSelection : rule.withoutSelection;
        if (rule.needsEditable)
            on = on && editable;
        m_enabled[rule.id] = on;
    }
    ShowButtonStates();
}

bool MaterialManagerLogic::IsButtonEnabled(int id) const
{
    const auto found = m_enabled.find(id);
    return found == m_enabled.end() || found->second;
}

// --- Operations ----------------------------------------------------------------------------

bool MaterialManagerLogic::deleteConfirmed(const CString& name)
{
    if (!connect()->IsEditable(name.ToStdWString())) {
        AfxMessageBox(L"Material is locked, may not be deleted", kDatabaseCaption, MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    return AfxMessageBox(L"The database is the SOLE authority for material definitions.  Deleting a material "
                         L"from the database will remove the association with all objects using it in all "
                         L"Quenholt documents.   Are you sure you want to continue?",
                         kDatabaseCaption, MB_YESNO | MB_ICONQUESTION) == IDYES;
}

void MaterialManagerLogic::OnDelete()
{
    const CString* selected = selectedName();
    if (selected == nullptr)
        return;
    const CString name = *selected;
    try {
        if (!deleteConfirmed(name))
            return;
        // The line is written only once the metal is gone: a line for a
        // deletion that failed would delete it on replay, or stop the replay.
        if (!connect()->deleteMaterial(name.ToUtf8())) {
            CString message;
            message.Format(L"Material %s does not exist in the database.", static_cast<const wchar_t*>(name));
            AfxMessageBox(message, kDatabaseCaption, MB_OK | MB_ICONEXCLAMATION);
            fillList();
            return;
        }
    } catch (const sql_exception& e) {
        showError(CString(e.what()), kErrorCaption);
        return;
    }
    gLogMsg = CString(L"xscn.DeleteMaterial \"") + JournalQuotedText(name) + L"\"";
    m_doc.LogIt();
    fillList();
    m_doc.SetModifiedFlag(true);
    if (ActiveSectionView* view = m_doc.activeView())
        view->RebuildAndRedraw();
}

void MaterialManagerLogic::OnEdit()
{
    const CString* selected = selectedName();
    if (selected == nullptr)
        return;
    const MaterialRow row = m_rows[static_cast<std::size_t>(m_selected)];
    try {
        if (!connect()->IsEditable(row.name.ToStdWString())) {
            AfxMessageBox(L"Material is locked, it cannot be edited", L"Materials Database",
                          MB_OK | MB_ICONEXCLAMATION);
            return;
        }
    } catch (const sql_exception& e) {
        showError(CString(e.what()), kErrorCaption);
        return;
    }
    if (AfxMessageBox(L"The database is the SOLE authority for material definitions.  Editing a material will "
                      L"affect all objects using that material in all Quenholt documents.   Are you sure you "
                      L"want to continue?",
                      kDatabaseCaption, MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    m_host.runMaterialDialog(kEditMode, row.name, row.units, model().materialDatabaseFile());
    fillList();
}

void MaterialManagerLogic::OnAdd()
{
    const std::optional<EUnitSystem> units = m_host.askUnits();
    if (!units)
        return;
    if (m_host.runMaterialDialog(kAddMode, CString(), unitsText(*units), model().materialDatabaseFile()) == IDOK)
        fillList();
    updateButtons();
}

void MaterialManagerLogic::OnView()
{
    const CString* selected = selectedName();
    if (selected == nullptr)
        return;
    const MaterialRow row = m_rows[static_cast<std::size_t>(m_selected)];
    if (m_host.runMaterialDialog(kViewMode, row.name, row.units, model().materialDatabaseFile()) == IDOK)
        fillList();
    setSelection(-1);
}

void MaterialManagerLogic::OnCreateSimilar()
{
    const CString* selected = selectedName();
    if (selected == nullptr)
        return;
    const CString name = *selected;
    const std::optional<CString> newName = m_host.askText(L"What is the name for the new material?");
    if (!newName || newName->IsEmpty())
        return;
    MaterialRecord copy;
    bool stored = false;
    try {
        std::unique_ptr<CSQLDatabase> db = connect();
        db->createSimilarTable(name.ToStdWString(), newName->ToStdWString());
        stored = copy.read(*db, *newName);
    } catch (const sql_exception& e) {
        showError(CString(L"Creation of similar material failed with ") + CString(e.what()), L"Similar Material");
        return;
    }
    // There is no automation method that copies a metal: the copy is
    // journalled as the definition of the stored new metal, so that a
    // replay holds it too (and can then edit, apply or delete it).
    if (stored) {
        gLogMsg = copy.journalLine(L"xscn.AddMaterialDef");
        m_doc.LogIt();
    }
    fillList();
}

void MaterialManagerLogic::OnApplyMaterial()
{
    const CString* selected = selectedName();
    if (selected == nullptr) {
        AfxMessageBox(L"Need to select a material to apply", MB_OK);
        return;
    }
    std::shared_ptr<CMetal> metal = model().findMaterial(*selected);
    if (!metal) {
        metal = std::make_shared<CMetal>();
        metal->name = *selected;
    }
    double rgb[3] = {0.0, 1.0, 0.0};
    try {
        if (!CModel::readMetal(*connect(), *metal, rgb)) {
            CString message;
            message.Format(L"Material %s does not exist in the database.", static_cast<const wchar_t*>(*selected));
            showError(message, kErrorCaption);
            return;
        }
    } catch (const sql_exception& e) {
        showError(CString(e.what()), kErrorCaption);
        return;
    }
    metal->setColour(rgb[0], rgb[1], rgb[2]);
    m_chosen = std::move(metal);
    endWith(IDOK);
}

void MaterialManagerLogic::OnClose()
{
    endWith(IDCANCEL);
}

bool MaterialManagerLogic::OnHelpInfo(int controlId)
{
    for (const HelpText& help : kHelpTexts)
        if (help.id == controlId) {
            AfxMessageBox(help.text, kCaption, MB_OK | MB_ICONINFORMATION);
            return true;
        }
    return false;
}

void MaterialManagerLogic::endWith(int code)
{
    m_endCode = code;
    m_ended = true;
    CloseDialog(code);
}
