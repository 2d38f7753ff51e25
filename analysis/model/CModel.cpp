// The model root: materials, unit labels, bounding boxes and the model's
// part of the document stream.
#include "analysis/model/CModel.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <system_error>
#include <tuple>
#include <unordered_set>
#include <vector>

#include "analysis/model/Globals.h"
#include "analysis/model/Units.h"
#include "platform/core/CArchive.h"
#include "platform/core/Settings.h"
#include "platform/sqldb/CSQLDatabase.h"

IMPLEMENT_SERIAL(CModel, CObject, 1)

namespace {

// The first lent material of that name; empty when none is lent.
std::shared_ptr<CMetal> reusableMaterial(const CString& name) {
  if (CModel::reusableMaterials == nullptr) return nullptr;
  for (POSITION pos = CModel::reusableMaterials->GetHeadPosition(); pos != nullptr;) {
    const std::shared_ptr<CMetal>& m = CModel::reusableMaterials->GetNext(pos);
    if (m && m->name == name) return m;
  }
  return nullptr;
}

// Marker that ends the model's part of the stream.
constexpr int kModelMarker = 444;
// Extent of the embedded picture once a model has been read.
constexpr CSize kEmbedSize(572, 400);

// Unit labels a new model starts with (US customary).
const std::array<const wchar_t*, kUnitLabelCount> kConstructedLabels = {
    L"in", L"in^2", L"\u00B5in", L"\u00B5in/in/\u00B0F", L"in/in/lbf/lbf", L"lbf", L"psi",
    L"in-lbf/in", L"in-lbf", L"", L"lbf/in^3"};
// Unit labels after a model is read; null keeps the label as it was.
const std::array<const wchar_t*, kUnitLabelCount> kReadLabels = {
    L"in", nullptr, L"\u00B5in", L"\u00B5in/in/\u00B0F", L"in/in/lbf/lbf", L"lbf", L"psi",
    L"in-lbf/in", L"in-lbf", L"QuenholtDatabase", L"lbf/in^3"};

// --- Unit labels of named result quantities ---------------------------------

// A piece of a unit text: one of the model's labels, or a literal text.
constexpr int kLiteral = -1;
constexpr int kEndOfUnit = -2;
struct UnitPiece {
  int label = kEndOfUnit;
  const wchar_t* text = nullptr;
};
// The names a rule covers (null-terminated) and the unit text it builds.
struct UnitRule {
  const wchar_t* names[8] = {};
  UnitPiece pieces[4] = {};
};

// Searched in order; the first rule that names the quantity decides.
constexpr UnitRule kUnitRules[] = {
    {{L"x", L"y", L"X", L"z", L"Z", L"Y"}, {{kLengthLabel}}},
    {{L"twist"}, {{kLiteral, L"deg"}}},
    {{L"twistRate"}, {{kLiteral, L"deg/"}, {kLengthLabel}}},
    {{L"Vx", L"Vxp", L"Vsv", L"Vw", L"Vy", L"Vyp", L"Vz"}, {{kForceLabel}}},
    {{L"WarpingShear", L"VenantsShear"},
     {{kForceLabel}, {kLiteral, L"/"}, {kLengthLabel}, {kLiteral, L"2"}}},
    {{L"Mx", L"Mxp", L"My", L"Mtw", L"Msv", L"Mt", L"Myp", L"Mz"}, {{kMomentLabel}}},
    {{L"Sx", L"Sy", L"Sw"}, {{kLengthLabel}, {kLiteral, L"3"}}},
    {{L"w"}, {{kLengthLabel}, {kLiteral, L"2"}}},
    {{L"bimoment", L"Mbi"}, {{kForceLabel}, {kLengthLabel}, {kLiteral, L"2"}}},
    {{L"BendingDirect", L"BendingShear", L"VenantsShear", L"WarpingDirect", L"WarpingShear",
      L"ResultShear", L"ResultDirect"},
     {{kStressLabel}}},
};

bool ruleNames(const UnitRule& rule, const CString& name) {
  for (const wchar_t* n : rule.names) {
    if (n == nullptr) return false;
    if (name == n) return true;
  }
  return false;
}

// --- Material database record -------------------------------------------------

// A text output of the database record: a zeroed buffer of its capacity.
struct TextField {
  explicit TextField(std::size_t capacity) : buffer(capacity, L'\0') {}
  wchar_t* data() { return buffer.data(); }
  // The text up to the first zero.
  CString text() const { return CString(buffer.data()); }
  std::vector<wchar_t> buffer;
};

}  // namespace

// --- Material database location -----------------------------------------------

CString defaultMaterialDatabaseFolder() {
  const char* dataHome = std::getenv("XDG_DATA_HOME");
  if (dataHome != nullptr && *dataHome != '\0') return CString(dataHome) + L"/lorimant";
  return GetProfileFolder() + L"/.local/share/lorimant";
}

CString resolveMaterialDatabasePath(const CString& stored) {
  if (stored.IsEmpty()) return stored;
  std::error_code error;
  if (std::filesystem::exists(std::filesystem::path(stored.ToUtf8()), error)) return stored;

  const auto isAsciiLetter = [](wchar_t c) {
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z');
  };
  const bool hasDrive = stored.GetLength() >= 2 && isAsciiLetter(stored[0]) && stored[1] == L':';
  const bool hasBackslash = stored.Find(L'\\') >= 0;
  if (!hasDrive && !hasBackslash) return stored;

  // The file name follows the last separator of either kind (or the drive).
  int cut = std::max(stored.ReverseFind(L'\\'), stored.ReverseFind(L'/'));
  if (hasDrive) cut = std::max(cut, 1);
  const CString fileName = stored.Mid(cut + 1);
  if (fileName.IsEmpty() || fileName == L"." || fileName == L"..") return stored;
  return defaultMaterialDatabaseFolder() + L"/" + fileName;
}

// --- CModel -------------------------------------------------------------------

CModel::CModel() : metalList(10), isotropics(nullptr), materials(10) {
  for (int i = 0; i < kUnitLabelCount; ++i) unitLabels[i] = kConstructedLabels[i];
  gModel = this;
}

CModel::~CModel() {
  // A destroyed model must not stay reachable as the current one.
  if (gModel == this) gModel = nullptr;
}

void CModel::Serialize(CArchive& ar) {
  CObject::Serialize(ar);
  if (ar.IsStoring())
    write(ar);
  else
    read(ar);
}

void CModel::solve() {}

bool CModel::isMaterialUsed(const CString&) { return false; }

void CModel::extents(Point<double>*, Point<double>*) {}

void CModel::write(CArchive& ar) {
  ar << materialDatabasePath;
  writeMaterials(ar);
  ar << kModelMarker;
}

void CModel::read(CArchive& ar) {
  ar >> materialDatabasePath;
  materials.RemoveAll();
  for (int i = 0; i < kUnitLabelCount; ++i)
    if (kReadLabels[i] != nullptr) unitLabels[i] = kReadLabels[i];
  gEmbedSizePixels = kEmbedSize;
  readMaterials(ar);
  int marker = 0;
  ar >> marker;  // any value is accepted
}

void CModel::writeMaterials(CArchive& ar) {
  ar << static_cast<int>(materials.GetCount());
  for (POSITION pos = materials.GetHeadPosition(); pos != nullptr;)
    ar << materials.GetNext(pos)->name;
  ar << (defaultMaterial ? defaultMaterial->name : CString(kNoMaterialName));
  ar << (defaultMaterial2 ? defaultMaterial2->name : CString(kNoMaterialName));
}

void CModel::readMaterials(CArchive& ar) {
  int count = 0;
  ar >> count;
  ar.EnsureCount(static_cast<ULONGLONG>(std::max(count, 0)), 1);  // a name each
  materials.RemoveAll();
  CSQLDatabase db(materialDatabaseFile().ToStdWString());
  db.connect();

  std::unordered_set<CString> listed;
  for (int i = 0; i < count; ++i) {
    CString name;
    ar >> name;
    if (!listed.insert(name).second) continue;
    std::shared_ptr<CMetal> known = reusableMaterial(name);
    materials.AddTail(known ? known : fetchMetal(db, name));
  }

  for (std::shared_ptr<CMetal>* designated : {&defaultMaterial, &defaultMaterial2}) {
    CString name;
    ar >> name;
    if (name != kNoMaterialName) *designated = findMaterial(name);
  }
}

void CModel::extentCorners(Point<double>* corners) {
  Point<double> lo;
  Point<double> hi;
  extents(&lo, &hi);
  const Point<double> d = hi - lo;
  corners[0] = lo;
  corners[1] = lo + Point<double>(d.x, 0, 0);
  corners[2] = lo + Point<double>(0, d.y, 0);
  corners[3] = lo + Point<double>(0, 0, d.z);
  corners[4] = hi - Point<double>(d.x, 0, 0);
  corners[5] = hi - Point<double>(0, d.y, 0);
  corners[6] = hi - Point<double>(0, 0, d.z);
  corners[7] = hi;
}

void CModel::directionalExtents(Point<double>* origin, Point<double>* u, Point<double>* v,
                                Point<double>* w, Point<float>* lo, Point<float>* hi) {
  Point<double> corners[8];
  extentCorners(corners);
  for (int i = 0; i < 8; ++i) {
    const Point<double> p = corners[i] - *origin;
    const Point<float> q(static_cast<float>(dot(p, *u)), static_cast<float>(dot(p, *v)),
                         static_cast<float>(dot(p, *w)));
    if (i == 0) {
      *lo = q;
      *hi = q;
      continue;
    }
    lo->x = std::min(lo->x, q.x);
    lo->y = std::min(lo->y, q.y);
    lo->z = std::min(lo->z, q.z);
    hi->x = std::max(hi->x, q.x);
    hi->y = std::max(hi->y, q.y);
    hi->z = std::max(hi->z, q.z);
  }
}

std::shared_ptr<CMetal> CModel::findMaterial(const CString& name) const { return findMetal(name); }

const CModel::MaterialList* CModel::reusableMaterials = nullptr;

std::shared_ptr<CMetal> CModel::loadedMaterial(const CString& name) {
  if (std::shared_ptr<CMetal> own = findMaterial(name)) return own;
  std::shared_ptr<CMetal> known = reusableMaterial(name);
  if (known) materials.AddTail(known);
  return known;
}

std::shared_ptr<CMetal> CModel::findMetal(const CString& name) const {
  for (POSITION pos = materials.GetHeadPosition(); pos != nullptr;) {
    const std::shared_ptr<CMetal>& metal = materials.GetNext(pos);
    if (metal->name == name) return metal;
  }
  return {};
}

std::shared_ptr<CMetal> CModel::fetchMetal(CSQLDatabase& db, CString name) {
  auto metal = std::make_shared<CMetal>();
  metal->name = name;
  if (!db.matlExists(name.ToStdWString())) {
    throw std::logic_error("Material " + name.ToUtf8() +
                           " does not exist in the material database associated with document.");
  }
  double rgb[3] = {0.0, 1.0, 0.0};  // the default green, kept when no row is read
  readMetal(db, *metal, rgb);
  metal->setColour(rgb[0], rgb[1], rgb[2]);
  return metal;
}

bool CModel::readMetal(CSQLDatabase& db, CMetal& metal, double* rgb) {
  TextField texts[] = {
      TextField(CSQLDatabase::NameCapacity),  TextField(CSQLDatabase::FamilyCapacity),
      TextField(CSQLDatabase::FormCapacity),  TextField(CSQLDatabase::TemperCapacity),
      TextField(CSQLDatabase::SizeCapacity),  TextField(CSQLDatabase::SpecCapacity),
      TextField(CSQLDatabase::UnitsCapacity), TextField(CSQLDatabase::UnsCapacity)};
  const std::wstring& key = metal.name.ToStdWString();
  std::copy_n(key.begin(), std::min(key.size(), CSQLDatabase::NameCapacity - 1), texts[0].data());

  bool isotropic = metal.isotropic;
  std::array<double, CMetal::kRecordValueCount> read{};
  const auto values = metal.recordValues(rgb);
  for (std::size_t i = 0; i < read.size(); ++i) read[i] = *values[i];
  bool found = false;
  std::apply(
      [&](auto&... v) {
        found = db.getMetal(texts[0].data(), texts[1].data(), texts[2].data(), texts[3].data(),
                            texts[4].data(), texts[5].data(), texts[6].data(), texts[7].data(),
                            &isotropic, &v...);
      },
      read);
  if (!found) return false;

  CString* fields[] = {&metal.name, &metal.family, &metal.form,  &metal.temper,
                       &metal.size, &metal.spec,   &metal.units, &metal.uns};
  for (std::size_t i = 0; i < std::size(fields); ++i) *fields[i] = texts[i].text();
  metal.isotropic = isotropic;
  for (std::size_t i = 0; i < read.size(); ++i) *values[i] = read[i];
  return true;
}

void CModel::pushIsotropic(CMetal* metal, bool) {
  static constexpr double CMetal::*kAllowables[] = {
      &CMetal::Fsy_L,  &CMetal::Fcy_L,  &CMetal::Fty_L,  &CMetal::Fsu_L,
      &CMetal::Fcu_L,  &CMetal::Ftu_L,  &CMetal::Fsy_LT, &CMetal::Fcy_LT,
      &CMetal::Fty_LT, &CMetal::Fsu_LT, &CMetal::Fcu_LT, &CMetal::Ftu_LT};

  Unit modulusFrom;
  Unit stressFrom;
  if (gUnitSystem == USCS) {
    modulusFrom = psi;
    stressFrom = psi;
    double density = metal->density();
    unitChange(&density, gPerCm3, lbPerIn3);
    metal->density(density);
  } else if (gUnitSystem == SI) {
    modulusFrom = Pa;
    stressFrom = Pa;
  } else {
    return;
  }
  double e = metal->E();
  unitChange(&e, modulusFrom, GPa);
  metal->E(e);
  unitChange(&metal->G, modulusFrom, GPa);
  for (double CMetal::*allowable : kAllowables) unitChange(&(metal->*allowable), stressFrom, MPa);
}

bool CModel::uniqueIsotropicName(std::shared_ptr<CMetal> metal) const {
  for (POSITION pos = materials.GetHeadPosition(); pos != nullptr;) {
    const std::shared_ptr<CMetal>& other = materials.GetNext(pos);
    if (other.get() != metal.get() && other->name == metal->name) return false;
  }
  return true;
}

void CModel::removeIsotropic(const wchar_t*) {}

CString CModel::fcnUnits(CString name) const {
  for (const UnitRule& rule : kUnitRules) {
    if (!ruleNames(rule, name)) continue;
    CString unit;
    for (const UnitPiece& piece : rule.pieces) {
      if (piece.label == kEndOfUnit) break;
      unit += piece.label == kLiteral ? CString(piece.text) : unitLabels[piece.label];
    }
    return unit;
  }
  return name;
}

CString CModel::materialDatabaseFile() const {
  return resolveMaterialDatabasePath(materialDatabasePath);
}
