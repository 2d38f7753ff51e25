// The root of every analysis model: its materials (shared metals restored
// by name from the material database when a document is read), the two
// designated materials, the model's unit labels, bounding-box helpers and
// its part of the document stream.
#pragma once

#include <array>
#include <memory>

#include "analysis/geometry/Point.h"
#include "analysis/model/CIsotropicsSet.h"
#include "analysis/model/CMetal.h"
#include "platform/core/CList.h"
#include "platform/core/CObject.h"
#include "platform/core/CString.h"

class CArchive;
class CSQLDatabase;

// Indices of CModel::unitLabels.
enum ModelUnitLabel : int {
  kLengthLabel = 0,
  kAreaLabel = 1,
  kMicroLengthLabel = 2,
  kThermalExpansionLabel = 3,
  kComplianceLabel = 4,
  kForceLabel = 5,
  kStressLabel = 6,
  kMomentPerLengthLabel = 7,
  kMomentLabel = 8,
  kDatabaseNameLabel = 9,  // the data-source name of the isotropics record set
  kDensityLabel = 10,
  kUnitLabelCount = 11,
};

// The name stored for a designated material that is not set.
inline constexpr const wchar_t* kNoMaterialName = L"NoMatl";

// Folder of the default material database: $XDG_DATA_HOME/lorimant, else
// .local/share/lorimant in the user's home folder.
CString defaultMaterialDatabaseFolder();
// The file to open for a stored material-database path. A path that exists
// is used as it is; a path written by the Windows program (a drive letter or
// backslashes) that does not exist here becomes the file of the same name
// in defaultMaterialDatabaseFolder(); anything else is used as it is.
CString resolveMaterialDatabasePath(const CString& stored);

// Model root (serial class "CModel", schema 1). Constructing a model makes
// it the current model gModel; destroying the current model clears gModel.
class CModel : public CObject {
  DECLARE_SERIAL(CModel)

 public:
  using MaterialList = CList<std::shared_ptr<CMetal>>;

  // No materials, the US customary labels, gModel := this.
  CModel();
  // Releases the materials (one reference each); gModel becomes null when
  // it points at this model.
  ~CModel() override;
  CModel(const CModel&) = delete;
  CModel& operator=(const CModel&) = delete;

  // The CObject part (nothing), then write or read.
  void Serialize(CArchive& ar) override;

  // Runs the model's analysis; nothing here.
  virtual void solve();
  // Whether any part of the model uses the named material; false here.
  virtual bool isMaterialUsed(const CString& name);
  // The model's axis-aligned bounding box; leaves both points unchanged here.
  virtual void extents(Point<double>* min, Point<double>* max);

  // Stores the database path, the material block and the marker 444.
  void write(CArchive& ar);
  // Loads the model's part: the database path, the unit labels reset, the
  // embedded-picture extent 572 x 400, the materials fetched from the
  // database at the path, and the marker (any value accepted).
  void read(CArchive& ar);
  // Stores the count and names of the materials and the two designated names.
  void writeMaterials(CArchive& ar);
  // Loads the material block, fetching each listed name once from the
  // material database. A name that the database lacks throws
  // std::logic_error; the materials fetched so far stay. A database that
  // cannot be opened fails the load (sql_exception), even with no names.
  void readMaterials(CArchive& ar);

  // The eight corners of the bounding box given by extents().
  void extentCorners(Point<double>* corners);
  // The extents of the box measured along u, v and w from origin.
  void directionalExtents(Point<double>* origin, Point<double>* u, Point<double>* v,
                          Point<double>* w, Point<float>* lo, Point<float>* hi);

  // The material of that name (exact, case-sensitive); empty when none.
  std::shared_ptr<CMetal> findMaterial(const CString& name) const;
  // The material a record being loaded names: the model's own, else one of
  // reusableMaterials, which the model then keeps in its list; empty when none.
  std::shared_ptr<CMetal> loadedMaterial(const CString& name);
  // Materials a load takes by name before it asks the material database (the
  // document lends those of the model it is replacing); null: none.
  static const MaterialList* reusableMaterials;
  // The first material of that name (exact, case-sensitive); empty when none.
  std::shared_ptr<CMetal> findMetal(const CString& name) const;
  // A new metal read from the connected material database. Throws
  // std::logic_error "Material <name> does not exist in the material
  // database associated with document." when the database lacks it.
  static std::shared_ptr<CMetal> fetchMetal(CSQLDatabase& db, CString name);
  // Reads the stored metal called metal.name into metal (texts, isotropic
  // flag, record values) and its colour into rgb[0..2]. False, and nothing
  // changed, when the database has no metal of that name.
  static bool readMetal(CSQLDatabase& db, CMetal& metal, double* rgb);
  // Converts the metal's moduli, allowables and density by gUnitSystem
  // (the flag is not used).
  void pushIsotropic(CMetal* metal, bool unused);
  // False when another material object of the list has the metal's name.
  bool uniqueIsotropicName(std::shared_ptr<CMetal> metal) const;
  // Does nothing.
  void removeIsotropic(const wchar_t* name);
  // The unit label of a named result quantity; other names come back as they are.
  CString fcnUnits(CString name) const;
  // The database file that loading opens (resolveMaterialDatabasePath of
  // materialDatabasePath, which itself is kept as stored).
  CString materialDatabaseFile() const;

  // Not owned; no operation of the model fills it.
  CList<CMetal*, CMetal*> metalList;
  // The isotropic-materials record set, without a connection.
  CIsotropicsSet isotropics;
  // The model's materials in insertion order, shared with their users.
  MaterialList materials;
  // The designated materials (empty when none).
  std::shared_ptr<CMetal> defaultMaterial;
  std::shared_ptr<CMetal> defaultMaterial2;
  // Unit labels, indexed by ModelUnitLabel.
  std::array<CString, kUnitLabelCount> unitLabels;
  // Path of the material database the document's materials come from.
  CString materialDatabasePath;
};
