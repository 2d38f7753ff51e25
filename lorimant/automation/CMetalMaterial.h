// The material automation object (coclass Material): one metal record that
// a script fills property by property and commits to the material
// database of the active document, or fetches from it.
#pragma once

#include "lorimant/automation/MaterialRecord.h"
#include "platform/ole/CDispatchTable.h"
#include "platform/ole/IAutomationObject.h"

class CMetalMaterial : public IAutomationObject {
public:
    // An empty record (the metal's defaults), unlocked.
    CMetalMaterial() = default;

    // The automation object's type name and its members by name (the
    // dispatch table below).
    CString TypeName() const override { return L"Material"; }
    HRESULT CallMethod(const CString& name, std::vector<COleVariant> args, COleVariant* result, EXCEPINFO* excep,
                       UINT* argErr) override;
    const std::vector<VARTYPE>* MemberParameters(const CString& name, std::size_t arity) const override;
    std::vector<CString> MemberNames() const override;

    // Stores the record as a new metal of the active document's database:
    // refuses (1) a Poisson's ratio outside 0..1 before touching the
    // database, and a name the database already holds; a negative shear
    // modulus becomes E / (2 (1 + nu)); records who commits and the lock
    // flag, journals the AddMaterialDef line, then adds the metal.
    void Commit();
    // Reads the metal called name into the record; refuses (1) when the
    // database has no such metal.
    void Fetch(const CString& name);
    // Sets property id (QHT_MATERIALPROPERTY) from value; see the .cpp for
    // the accepted types. Refuses 1001 an unknown identifier or value type
    // and (1) a text too long for its field.
    void SetValue(int id, const COleVariant& value);
    // Property id as a text, a boolean or a double; refuses 1001 an unknown
    // identifier.
    COleVariant GetValue(int id);
    // 1 when the database marks the record's name as locked, else 0.
    SHORT GetLocked();
    // The lock flag that Commit records: any non-zero value locks.
    void SetLocked(SHORT value) { m_locked = value != 0; }

    bool locked() const { return m_locked; }
    MaterialRecord& record() { return m_record; }

private:
    MaterialRecord m_record;
    bool m_locked = false;
};

// The dispatch table of the material object: Commit 1, Fetch 2, SetValue 3,
// Locked 4 (property), GetValue 5.
const CDispatchTable<CMetalMaterial>& MaterialDispatchTable();
