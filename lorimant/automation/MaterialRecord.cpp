#include "lorimant/automation/MaterialRecord.h"

#include <filesystem>
#include <iterator>
#include <tuple>

#include "analysis/model/CLog.h"
#include "analysis/model/CModel.h"
#include "platform/ole/COleDispatchException.h"
#include "platform/sqldb/CSQLDatabase.h"

namespace {

using Kind = MaterialPropertyKind;

// Where each identifier lives. The enumeration, the database record and the
// metal each order the properties differently: texts index the record's
// eight texts (UNS before units here, after them in the record); numbers
// index the record's 37 values (E 0, Ec 1, density 2, thickness 3, Ftu 4-5,
// Fty 6-7, Fcy 8-9, Fcu 10-11, Fsu LT 12, Fsu L 13, nu 14, G 15, bearing
// 16-19, colour 20-22, alpha 23-26, n to yield 27-30, n yield to ultimate
// 31-34, strains 35-36; each Ramberg-Osgood block in the case order L
// tension, LT tension, L compression, LT compression).
constexpr MaterialProperty kProperties[] = {
    {0, Kind::Text, 0, CSQLDatabase::NameCapacity},     // QHT_NAME
    {1, Kind::Text, 1, CSQLDatabase::FamilyCapacity},   // QHT_FAMILY
    {2, Kind::Text, 2, CSQLDatabase::FormCapacity},     // QHT_FORM
    {3, Kind::Text, 3, CSQLDatabase::TemperCapacity},   // QHT_TEMPER
    {4, Kind::Text, 4, CSQLDatabase::SizeCapacity},     // QHT_SIZE
    {5, Kind::Text, 5, CSQLDatabase::SpecCapacity},     // QHT_SPEC
    {6, Kind::Text, 7, CSQLDatabase::UnsCapacity},      // QHT_UNS
    {7, Kind::Text, 6, CSQLDatabase::UnitsCapacity},    // QHT_UNITS
    {8, Kind::Isotropic, -1, 0},                        // QHT_ISISOTROPIC
    {9, Kind::Number, 3, 0},                            // QHT_THICKNESS
    {10, Kind::Number, 2, 0},                           // QHT_DENSITY
    {11, Kind::Number, 20, 0},                          // QHT_RED
    {12, Kind::Number, 21, 0},                          // QHT_GREEN
    {13, Kind::Number, 22, 0},                          // QHT_BLUE
    {14, Kind::Number, 0, 0},                           // QHT_E
    {15, Kind::Number, 1, 0},                           // QHT_EC
    {16, Kind::Number, 15, 0},                          // QHT_G
    {17, Kind::Number, 14, 0},                          // QHT_NU
    {18, Kind::Number, 6, 0},                           // QHT_FTY_L
    {19, Kind::Number, 7, 0},                           // QHT_FTY_LT
    {20, Kind::Number, 4, 0},                           // QHT_FTU_L
    {21, Kind::Number, 5, 0},                           // QHT_FTU_LT
    {22, Kind::Number, 8, 0},                           // QHT_FCY_L
    {23, Kind::Number, 9, 0},                           // QHT_FCY_LT
    {24, Kind::Number, 10, 0},                          // QHT_FCU_L
    {25, Kind::Number, 11, 0},                          // QHT_FCU_LT
    {26, Kind::Number, 13, 0},                          // QHT_FSU_L
    {27, Kind::Number, 12, 0},                          // QHT_FSU_LT
    {28, Kind::Number, 25, 0},                          // alpha L compression
    {29, Kind::Number, 26, 0},                          // alpha LT compression
    {30, Kind::Number, 23, 0},                          // alpha L tension
    {31, Kind::Number, 24, 0},                          // alpha LT tension
    {32, Kind::Number, 29, 0},                          // n L compression, initial to yield
    {33, Kind::Number, 30, 0},                          // n LT compression, initial to yield
    {34, Kind::Number, 27, 0},                          // n L tension, initial to yield
    {35, Kind::Number, 28, 0},                          // n LT tension, initial to yield
    {36, Kind::Number, 33, 0},                          // n L compression, yield to ultimate
    {37, Kind::Number, 34, 0},                          // n LT compression, yield to ultimate
    {38, Kind::Number, 31, 0},                          // n L tension, yield to ultimate
    {39, Kind::Number, 32, 0},                          // n LT tension, yield to ultimate
    {40, Kind::Number, 16, 0},                          // QHT_FBRU_15
    {41, Kind::Number, 17, 0},                          // QHT_FBRU_20
    {42, Kind::Number, 18, 0},                          // QHT_FBRY_15
    {43, Kind::Number, 19, 0},                          // QHT_FBRY_20
    {44, Kind::Number, 36, 0},                          // QHT_MAXCOMPRESSIONSTRAIN
    {45, Kind::Number, 35, 0},                          // QHT_MAXTENSILESTRAIN
    {46, Kind::Locked, -1, 0},                          // QHT_LOCKED
};

constexpr std::size_t kTextCapacities[] = {
    CSQLDatabase::NameCapacity, CSQLDatabase::FamilyCapacity, CSQLDatabase::FormCapacity,
    CSQLDatabase::TemperCapacity, CSQLDatabase::SizeCapacity, CSQLDatabase::SpecCapacity,
    CSQLDatabase::UnitsCapacity, CSQLDatabase::UnsCapacity};

}  // namespace

const MaterialProperty* FindMaterialProperty(int id)
{
    if (id < 0 || id >= static_cast<int>(std::size(kProperties))) return nullptr;
    return &kProperties[id];
}

std::unique_ptr<CSQLDatabase> ConnectMaterialDatabase(const CModel& model)
{
    auto db = std::make_unique<CSQLDatabase>(model.materialDatabaseFile().ToStdWString());
    db->connect();
    return db;
}

std::unique_ptr<CSQLDatabase> OpenMaterialDatabase(const CModel& model, bool needMetals)
{
    const CString file = model.materialDatabaseFile();
    std::error_code ec;
    if (file.IsEmpty() || !std::filesystem::is_regular_file(std::filesystem::path(file.ToUtf8()), ec)) {
        CString text;
        text.Format(L"No material database is connected: CreateDatabase or ConnectDatabase first (there is no file "
                    L"\"%s\").",
                    static_cast<const wchar_t*>(file));
        AfxThrowOleDispatchException(1, text);
    }
    std::unique_ptr<CSQLDatabase> db = ConnectMaterialDatabase(model);
    // A file that is a database but not a material database (no table of
    // metals) would fail each call with the database's own words.
    if (needMetals &&
        db->getDouble("SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name = 'Metals'") < 1) {
        CString text;
        text.Format(L"\"%s\" is not a material database (it has no table of metals): CreateDatabase or "
                    L"ConnectDatabase first.",
                    static_cast<const wchar_t*>(file));
        AfxThrowOleDispatchException(1, text);
    }
    return db;
}

std::size_t MaterialTextCapacity(int i) { return kTextCapacities[i]; }

std::array<CString*, 8> MaterialRecord::texts()
{
    return {&metal.name, &metal.family, &metal.form, &metal.temper,
            &metal.size, &metal.spec,   &metal.units, &metal.uns};
}

bool MaterialRecord::read(CSQLDatabase& db, const CString& name)
{
    MaterialRecord fetched;
    fetched.metal.name = name;
    if (!CModel::readMetal(db, fetched.metal, fetched.rgb.data())) return false;
    metal = fetched.metal;
    rgb = fetched.rgb;
    return true;
}

bool MaterialRecord::write(CSQLDatabase& db, bool replace)
{
    std::array<CString*, 8> t = texts();
    std::array<double, CMetal::kRecordValueCount> v{};
    const auto addresses = values();
    for (std::size_t i = 0; i < v.size(); ++i) v[i] = *addresses[i];
    return std::apply(
        [&](auto... n) {
            return replace ? db.editMetal(*t[0], *t[1], *t[2], *t[3], *t[4], *t[5], *t[6], *t[7],
                                          metal.isotropic, n...)
                           : db.addMetal(*t[0], *t[1], *t[2], *t[3], *t[4], *t[5], *t[6], *t[7],
                                         metal.isotropic, n...);
        },
        v);
}

CString MaterialRecord::journalLine(const wchar_t* method, const wchar_t* numberFormat)
{
    CString line = method;
    line += L" ";
    const std::array<CString*, 8> t = texts();
    for (const CString* text : t) line.AppendFormat(L"\"%s\",", JournalQuotedText(*text));
    line.AppendFormat(L"%d", metal.isotropic ? 1 : 0);
    for (const double* value : values()) line.AppendFormat(numberFormat, *value);
    return line;
}
