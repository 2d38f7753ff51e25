#include "lorimant/automation/CMetalMaterial.h"

#include "drevoline/section/CXSectionAnalysis.h"
#include "lorimant/automation/AutomationFrame.h"
#include "lorimant/automation/AutomationObject.h"
#include "platform/core/Settings.h"
#include "platform/sqldb/CSQLDatabase.h"

namespace {

constexpr int kLoginCapacity = 120;

// The active section document with its model; refuses (1) when none.
CXSectionAnalysisDoc& activeDocument()
{
    CXSectionAnalysisDoc* doc = GetActiveSectionDoc();
    if (doc == nullptr || doc->model() == nullptr)
        AfxThrowOleDispatchException(1, L"There is no active section document.");
    return *doc;
}

[[noreturn]] void refuseUnknownIdentifier()
{
    AfxThrowOleDispatchException(1001, L"Material identifier is not recognized");
}

// Refuses (1) a text that does not fit a buffer of capacity characters
// with its terminating zero.
void requireFits(const CString& text, std::size_t capacity)
{
    if (static_cast<std::size_t>(text.GetLength()) < capacity) return;
    CString message;
    message.Format(L"The text \"%s\" is longer than %d characters.", static_cast<const wchar_t*>(text),
                   static_cast<int>(capacity - 1));
    AfxThrowOleDispatchException(1, message);
}

bool isNumber(VARTYPE vt) { return vt == VT_I2 || vt == VT_I4 || vt == VT_R8; }

double numberOf(const COleVariant& value)
{
    COleVariant copy = value;
    copy.ChangeType(VT_R8);
    return copy.dblVal;
}

}  // namespace

void CMetalMaterial::Commit()
{
    AutomationObjectMethod([&] {
        CMetal& metal = m_record.metal;
        // Refused before anything changes or the database is touched.
        const double nu = metal.nu();
        if (!(nu >= 0.0 && nu <= 1.0)) {
            CString message;
            message.Format(L"Poisson's ration must be between 0 and 1, %g was given", nu);
            AfxThrowOleDispatchException(1, message);
        }
        CXSectionAnalysisDoc& doc = activeDocument();
        const CString login = GetLoginName().Left(kLoginCapacity - 1);
        if (metal.G < 0.0) metal.G = metal.E() / (2.0 * (1.0 + nu));

        std::unique_ptr<CSQLDatabase> db = OpenMaterialDatabase(*doc.model());
        // An existing material keeps its controls row: recording ours first
        // would unlock a locked material and then fail to add.
        if (db->matlExists(metal.name.ToStdWString())) {
            CString message;
            message.Format(L"Material %s already exists in the database.", static_cast<const wchar_t*>(metal.name));
            AfxThrowOleDispatchException(1, message);
        }
        db->UpdateControls(metal.name.ToStdWString(), login.ToStdWString(), m_locked);
        gLogMsg = m_record.journalLine();
        doc.LogIt();
        if (!m_record.write(*db, false))
            AfxThrowOleDispatchException(1, L"The material could not be added to the database.");
    });
}

void CMetalMaterial::Fetch(const CString& name)
{
    AutomationObjectMethod([&] {
        requireFits(name, CSQLDatabase::NameCapacity);
        std::unique_ptr<CSQLDatabase> db = OpenMaterialDatabase(*activeDocument().model());
        if (!m_record.read(*db, name)) {
            CString message;
            message.Format(L"Material %s does not exist in the database.", static_cast<const wchar_t*>(name));
            AfxThrowOleDispatchException(1, message);
        }
    });
}

SHORT CMetalMaterial::GetLocked()
{
    return AutomationObjectMethod([&] {
        std::unique_ptr<CSQLDatabase> db = OpenMaterialDatabase(*activeDocument().model());
        return static_cast<SHORT>(db->IsEditable(m_record.metal.name.ToStdWString()) ? 0 : 1);
    });
}

// Texts take a text; the isotropic flag a number or a boolean (non-zero is
// true); QHT_LOCKED only a boolean (any other type changes nothing); the
// numbers a 16- or 32-bit integer or a double (a text or a boolean is refused).
void CMetalMaterial::SetValue(int id, const COleVariant& value)
{
    AutomationObjectMethod([&] {
        const VARTYPE vt = value.vt;
        if (!isNumber(vt) && vt != VT_BSTR && vt != VT_BOOL)
            AfxThrowOleDispatchException(1001, L"Value type is not of type  BSTR or Double");
        const MaterialProperty* property = FindMaterialProperty(id);
        if (property == nullptr) refuseUnknownIdentifier();
        switch (property->kind) {
            case MaterialPropertyKind::Text:
                if (vt != VT_BSTR) AfxThrowOleDispatchException(1001, L"Material property takes a text");
                requireFits(value.bstrVal, property->capacity);
                *m_record.texts()[property->slot] = value.bstrVal;
                break;
            case MaterialPropertyKind::Isotropic:
                if (vt == VT_BSTR) AfxThrowOleDispatchException(1001, L"Material property takes a number");
                m_record.metal.isotropic = vt == VT_BOOL ? value.boolVal != VARIANT_FALSE : numberOf(value) != 0.0;
                break;
            case MaterialPropertyKind::Locked:
                if (vt == VT_BOOL) m_record.editable = value.boolVal == VARIANT_FALSE;
                break;
            case MaterialPropertyKind::Number:
                if (!isNumber(vt)) AfxThrowOleDispatchException(1001, L"Material property takes a number");
                *m_record.values()[property->slot] = numberOf(value);
                break;
        }
    });
}

COleVariant CMetalMaterial::GetValue(int id)
{
    return AutomationObjectMethod([&] {
        const MaterialProperty* property = FindMaterialProperty(id);
        if (property == nullptr) refuseUnknownIdentifier();
        switch (property->kind) {
            case MaterialPropertyKind::Text:
                return COleVariant(*m_record.texts()[property->slot]);
            case MaterialPropertyKind::Isotropic:
                return COleVariant::FromBool(m_record.metal.isotropic);
            case MaterialPropertyKind::Locked:
                return COleVariant::FromBool(!m_record.editable);
            case MaterialPropertyKind::Number:
                break;
        }
        return COleVariant(*m_record.values()[property->slot]);
    });
}

namespace {

using Material = CMetalMaterial;

void commit(Material& m, DispatchCall&) { m.Commit(); }
void fetch(Material& m, DispatchCall& call) { m.Fetch(call.Text(0)); }
void setValue(Material& m, DispatchCall& call) { m.SetValue(call.I2(0), call.args.at(1)); }
void getLocked(Material& m, DispatchCall& call) { call.result = COleVariant(m.GetLocked()); }
void putLocked(Material& m, DispatchCall& call) { m.SetLocked(call.I2(0)); }
void getValue(Material& m, DispatchCall& call) { call.result = m.GetValue(call.I2(0)); }

}  // namespace

const CDispatchTable<CMetalMaterial>& MaterialDispatchTable()
{
    static const CDispatchTable<CMetalMaterial> table({
        {L"Commit", 1, {}, VT_EMPTY, commit},
        {L"Fetch", 2, {VT_BSTR}, VT_EMPTY, fetch},
        {L"SetValue", 3, {VT_I2, VT_VARIANT}, VT_EMPTY, setValue},
        {L"Locked", 4, {}, VT_I2, getLocked, putLocked},
        {L"GetValue", 5, {VT_I2}, VT_VARIANT, getValue},
    });
    return table;
}

HRESULT CMetalMaterial::CallMethod(const CString& name, std::vector<COleVariant> args, COleVariant* result,
                                   EXCEPINFO* excep, UINT* argErr)
{
    return CallDispatchMember(MaterialDispatchTable(), *this, name, std::move(args), result, excep, argErr);
}

const std::vector<VARTYPE>* CMetalMaterial::MemberParameters(const CString& name, std::size_t arity) const
{
    return DispatchMemberParameters(MaterialDispatchTable(), name, arity);
}

std::vector<CString> CMetalMaterial::MemberNames() const { return DispatchMemberNames(MaterialDispatchTable()); }
