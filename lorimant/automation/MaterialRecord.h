// One material as the material database stores it, and the one table that
// maps the automation identifiers of a material property (QHT_NAME ...
// QHT_LOCKED) to its place in that record.
#pragma once

#include <array>
#include <cstddef>
#include <memory>

#include "analysis/model/CMetal.h"
#include "platform/core/CString.h"

class CModel;
class CSQLDatabase;

// The metal, its colour as the record's three doubles (the metal itself
// keeps a float colour), and the record's editable flag.
struct MaterialRecord {
    CMetal metal;
    std::array<double, 3> rgb{0.0, 1.0, 0.0};
    bool editable = true;

    // The 37 numbers of the record in database order (colour from rgb).
    std::array<double*, CMetal::kRecordValueCount> values() { return metal.recordValues(rgb.data()); }
    // The eight texts in database order: name, family, form, temper, size,
    // spec, units, UNS.
    std::array<CString*, 8> texts();

    // Reads the stored metal called name; false, record unchanged, when absent.
    bool read(CSQLDatabase& db, const CString& name);
    // Stores the record as a new metal (false when the name is taken), or
    // replaces the stored metal of its name (false when there is none).
    bool write(CSQLDatabase& db, bool replace);
    // The journal line of storing this record through method (the
    // automation's AddMaterialDef or EditMaterial):
    // <method> "name",...,"UNS",isotropic,v1,...,v37, each number written
    // by numberFormat (its comma included).
    CString journalLine(const wchar_t* method = L"xscn.AddMaterialDef", const wchar_t* numberFormat = L",%g");
};

// How a material property is held.
enum class MaterialPropertyKind { Text, Isotropic, Locked, Number };

// One identifier of QHT_MATERIALPROPERTY.
struct MaterialProperty {
    int id;
    MaterialPropertyKind kind;
    int slot;  // Text: index into texts(); Number: index into values(); else -1
    std::size_t capacity;  // Text: buffer size with its terminating zero
};

// The identifiers 0 to 46; null for any other.
const MaterialProperty* FindMaterialProperty(int id);

// The capacity of text i of MaterialRecord::texts(), terminator included.
std::size_t MaterialTextCapacity(int i);

// A fresh connection to the material database that model keeps; throws the
// database's exception when the file is missing or not a database.
std::unique_ptr<CSQLDatabase> ConnectMaterialDatabase(const CModel& model);

// The connection a macro's material call uses: refuses (code 1, saying to
// call CreateDatabase or ConnectDatabase first) when the model's database
// file does not exist or, with needMetals, holds no table of metals.
std::unique_ptr<CSQLDatabase> OpenMaterialDatabase(const CModel& model, bool needMetals = true);
