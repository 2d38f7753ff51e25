// The model root: its stream part with materials restored from the material
// database, unit labels, extents and the material-list helpers.
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>

#include "analysis/model/CModel.h"
#include "analysis/model/Globals.h"
#include "platform/sqldb/sql_exception.h"
#include "test_materials_support.h"

using namespace mattest;

namespace {


// A stream of the model's part as the document holds it.
Bytes modelStream(const std::u16string& path, std::initializer_list<std::u16string> names,
                  const std::u16string& designated, const std::u16string& designated2,
                  int marker = 444) {
  Bytes out = concat({wideText(path), raw(static_cast<int>(names.size()))});
  for (const std::u16string& n : names) out = concat({out, wideText(n)});
  return concat({out, wideText(designated), wideText(designated2), raw(marker)});
}

void load(CModel& model, const Bytes& bytes) {
  loaded(bytes, [&](CArchive& ar) { model.Serialize(ar); });
}

// A material database with the metals A and B in a temporary folder.
class ModelRootDatabase : public ::testing::Test {
 protected:
  void SetUp() override { createMaterialDatabase(file, {sampleRow(L"A", 1000), sampleRow(L"B", 2000)}); }

  std::u16string storedPath() const { return fs::path(file).u16string(); }

  GlobalsGuard globals;
  TempFolder folder;
  fs::path file = folder.path() / "mats.sqldb";
};

// A model whose box runs from lo to hi.
class BoxModel : public CModel {
 public:
  BoxModel(Point<double> lo, Point<double> hi) : lo_(lo), hi_(hi) {}
  void extents(Point<double>* min, Point<double>* max) override {
    *min = lo_;
    *max = hi_;
  }

 private:
  Point<double> lo_;
  Point<double> hi_;
};

}  // namespace

TEST(ModelRoot, NewModelIsCurrentAndLabelled) {
  GlobalsGuard globals;
  {
    CModel model;
    EXPECT_EQ(gModel, &model);
    const wchar_t* labels[] = {L"in",        L"in^2",   L"\u00B5in", L"\u00B5in/in/\u00B0F",
                               L"in/in/lbf/lbf", L"lbf", L"psi",      L"in-lbf/in",
                               L"in-lbf",    L"",       L"lbf/in^3"};
    for (int i = 0; i < kUnitLabelCount; ++i) EXPECT_EQ(model.unitLabels[i], labels[i]) << i;
    EXPECT_TRUE(model.materials.IsEmpty());
    EXPECT_EQ(model.defaultMaterial, nullptr);
    {
      CModel other;
      EXPECT_EQ(gModel, &other);
    }
    // A destroyed current model does not stay current.
    EXPECT_EQ(gModel, nullptr);
    gModel = &model;
  }
  EXPECT_EQ(gModel, nullptr);
}

TEST(ModelRoot, EmptyModelStream) {
  GlobalsGuard globals;
  CModel model;
  model.materialDatabasePath = L"/data/mats.sqldb";
  const Bytes bytes = stored([&](CArchive& ar) { model.Serialize(ar); });
  EXPECT_EQ(bytes, modelStream(u"/data/mats.sqldb", {}, u"NoMatl", u"NoMatl"));
}

TEST_F(ModelRootDatabase, LoadFetchesEachNameOnceWithTheDatabaseValues) {
  CModel model;
  model.unitLabels[kLengthLabel] = L"cm";
  model.unitLabels[kAreaLabel] = L"cm^2";
  gEmbedSizePixels = CSize(1, 1);
  load(model, modelStream(storedPath(), {u"A", u"A", u"B"}, u"B", u"C", 7));

  ASSERT_EQ(model.materials.GetCount(), 2);
  const std::shared_ptr<CMetal> a = model.materials.GetHead();
  const std::shared_ptr<CMetal> b = model.materials.GetTail();
  EXPECT_EQ(a->name, L"A");
  EXPECT_EQ(b->name, L"B");
  EXPECT_EQ(model.defaultMaterial, b);
  EXPECT_EQ(model.defaultMaterial2, nullptr);  // "C" is not among the materials
  EXPECT_EQ(model.materialDatabasePath, CString(fs::path(file).wstring()));
  EXPECT_EQ(model.unitLabels[kLengthLabel], L"in");
  EXPECT_EQ(model.unitLabels[kAreaLabel], L"cm^2");
  EXPECT_EQ(model.unitLabels[kDatabaseNameLabel], L"QuenholtDatabase");
  EXPECT_EQ(gEmbedSizePixels, CSize(572, 400));

  // The database record's numbers are, in order: E, Ec, density, thickness,
  // Ftu_L, Ftu_LT, Fty_L, Fty_LT, Fcy_L, Fcy_LT, Fcu_L, Fcu_LT, Fsu_LT,
  // Fsu_L, nu, G, Fbru15, Fbru20, Fbry15, Fbry20, red, green, blue, alpha x4,
  // n to yield x4, n to ultimate x4, maximum tensile and compression strain.
  const MetalRow row = sampleRow(L"A", 1000);
  const double got[] = {a->E(),     a->Ec,        a->density(), a->thickness, a->Ftu_L,
                        a->Ftu_LT,  a->Fty_L,     a->Fty_LT,    a->Fcy_L,     a->Fcy_LT,
                        a->Fcu_L,   a->Fcu_LT,    a->Fsu_LT,    a->Fsu_L,     a->nu(),
                        a->G,       a->Fbru15,    a->Fbru20,    a->Fbry15,    a->Fbry20};
  for (int i = 0; i < 20; ++i) EXPECT_EQ(got[i], row.values[i]) << i;
  for (int c = 0; c < 4; ++c) {
    EXPECT_EQ(a->alpha[c], row.values[23 + c]);
    EXPECT_EQ(a->nYield[c], row.values[27 + c]);
    EXPECT_EQ(a->nUltimate[c], row.values[31 + c]);
  }
  EXPECT_EQ(a->maxTensileStrain, row.values[35]);
  EXPECT_EQ(a->maxCompressionStrain, row.values[36]);
  EXPECT_EQ(a->Fsy_L, kUnset);  // the record has no shear yield
  EXPECT_EQ(a->family, L"Aluminium");
  EXPECT_EQ(a->form, L"Plate");
  EXPECT_EQ(a->temper, L"T6");
  EXPECT_EQ(a->size, L"0.25-1");
  EXPECT_EQ(a->spec, L"AMS 4027");
  EXPECT_EQ(a->units, L"USCSin");
  EXPECT_EQ(a->uns, L"A96061");
  EXPECT_TRUE(a->isotropic);
  ASSERT_NE(a->colour, nullptr);
  EXPECT_EQ(a->colour->diffuse.red, 0.25f);
  EXPECT_EQ(a->colour->diffuse.green, 0.5f);
  EXPECT_EQ(a->colour->diffuse.blue, 0.75f);
  EXPECT_EQ(a->colour->diffuse.alpha, 1.0f);
  EXPECT_EQ(b->E(), 2000.25);

  // Stored again: the names, each once, and the designated ones.
  const Bytes again = stored([&](CArchive& ar) { model.Serialize(ar); });
  EXPECT_EQ(again, modelStream(storedPath(), {u"A", u"B"}, u"B", u"NoMatl"));
}

TEST_F(ModelRootDatabase, NoMatlKeepsTheDesignatedMaterial) {
  CModel model;
  const auto kept = std::make_shared<CMetal>();
  model.defaultMaterial = kept;
  load(model, modelStream(storedPath(), {u"A"}, u"NoMatl", u"A"));
  EXPECT_EQ(model.defaultMaterial, kept);
  EXPECT_EQ(model.defaultMaterial2, model.materials.GetHead());
}

TEST_F(ModelRootDatabase, MissingMaterialStopsTheLoad) {
  CModel model;
  try {
    load(model, modelStream(storedPath(), {u"A", u"Zed", u"B"}, u"NoMatl", u"NoMatl"));
    FAIL() << "no exception";
  } catch (const std::logic_error& e) {
    EXPECT_STREQ(e.what(),
                 "Material Zed does not exist in the material database associated with document.");
  }
  ASSERT_EQ(model.materials.GetCount(), 1);
  EXPECT_EQ(model.materials.GetHead()->name, L"A");
}

TEST_F(ModelRootDatabase, MissingDatabaseFailsTheLoad) {
  CModel model;
  const std::u16string missing = (folder.path() / "nothing.sqldb").u16string();
  EXPECT_THROW(load(model, modelStream(missing, {}, u"NoMatl", u"NoMatl")), sql_exception);
}

TEST_F(ModelRootDatabase, WindowsPathFindsTheDefaultFolder) {
  const TempFolder data;
  const ScopedEnv dataHome("XDG_DATA_HOME", data.path().string());
  fs::create_directories(data.path() / "lorimant");
  fs::copy_file(file, data.path() / "lorimant" / "mats.sqldb");
  fs::remove(file);

  for (const std::u16string& windowsPath :
       {std::u16string(u"C:\\Users\\Public\\Documents\\Quenholt\\mats.sqldb"),
        std::u16string(u"C://Users//Public//Documents//Quenholt//mats.sqldb")}) {
    CModel model;
    load(model, modelStream(windowsPath, {u"B"}, u"B", u"NoMatl"));
    ASSERT_EQ(model.materials.GetCount(), 1);
    EXPECT_EQ(model.defaultMaterial->E(), 2000.25);
    // The stored text is kept and saved as it was.
    EXPECT_EQ(model.materialDatabasePath, CString::FromUtf16(windowsPath));
    const Bytes again = stored([&](CArchive& ar) { model.Serialize(ar); });
    EXPECT_EQ(again, modelStream(windowsPath, {u"B"}, u"B", u"NoMatl"));
  }
}

TEST(ModelRoot, DatabasePathResolution) {
  const TempFolder data;
  const ScopedEnv dataHome("XDG_DATA_HOME", data.path().string());
  const CString folder = CString(data.path().string()) + L"/lorimant";
  EXPECT_EQ(defaultMaterialDatabaseFolder(), folder);

  const CString existing(data.path().string());
  const struct {
    CString stored;
    CString opened;
  } cases[] = {
      {L"C:\\Users\\Public\\Documents\\Quenholt\\Quenholt.sqldb", folder + L"/Quenholt.sqldb"},
      {L"D:mats.sqldb", folder + L"/mats.sqldb"},
      {L"\\\\server\\share\\mats.sqldb", folder + L"/mats.sqldb"},
      {L"/no/such/mats.sqldb", L"/no/such/mats.sqldb"},  // not a Windows path
      {existing, existing},                               // exists here
      {L"C:\\folder\\", L"C:\\folder\\"},                 // names no file
      {L"", L""},
  };
  for (const auto& c : cases) EXPECT_EQ(resolveMaterialDatabasePath(c.stored), c.opened) << c.stored.ToUtf8();
}

TEST(ModelRoot, UnitsOfNamedQuantities) {
  GlobalsGuard globals;
  CModel model;
  const struct {
    const wchar_t* name;
    const wchar_t* unit;
  } cases[] = {
      {L"x", L"in"},          {L"Z", L"in"},           {L"twist", L"deg"},
      {L"twistRate", L"deg/in"}, {L"Vyp", L"lbf"},     {L"VenantsShear", L"lbf/in2"},
      {L"WarpingShear", L"lbf/in2"}, {L"Mtw", L"in-lbf"}, {L"Sw", L"in3"},
      {L"w", L"in2"},         {L"Mbi", L"lbfin2"},     {L"ResultDirect", L"psi"},
      {L"Area", L"Area"},     {L"vx", L"vx"},
  };
  for (const auto& c : cases) EXPECT_EQ(model.fcnUnits(c.name), c.unit) << CString(c.name).ToUtf8();
  model.unitLabels[kLengthLabel] = L"cm";
  EXPECT_EQ(model.fcnUnits(L"Sx"), L"cm3");
}

TEST(ModelRoot, MaterialListHelpers) {
  GlobalsGuard globals;
  CModel model;
  const auto a = std::make_shared<CMetal>();
  a->name = L"Alu";
  const auto twin = std::make_shared<CMetal>();
  twin->name = L"Alu";
  model.materials.AddTail(a);
  EXPECT_TRUE(model.uniqueIsotropicName(a));  // only itself carries the name
  EXPECT_FALSE(model.uniqueIsotropicName(twin));
  EXPECT_EQ(model.findMaterial(L"Alu"), a);
  EXPECT_EQ(model.findMetal(L"alu"), nullptr);  // names match exactly
  EXPECT_FALSE(model.isMaterialUsed(L"Alu"));
}

TEST(ModelRoot, PushIsotropicConvertsByUnitSystem) {
  GlobalsGuard globals;
  CModel model;
  CMetal m;
  m.E(1e7);
  m.density(2.7);
  m.Fty_L = 50000;
  gUnitSystem = USCS;
  model.pushIsotropic(&m, true);
  EXPECT_NEAR(m.E(), 68.9475728, 1e-9);     // psi to GPa
  EXPECT_NEAR(m.Fty_L, 344.737864, 1e-9);   // psi to MPa
  EXPECT_NEAR(m.density(), 2.7 * 0.03612729, 1e-15);
  EXPECT_EQ(m.G, kUnset);
  EXPECT_EQ(m.Fcu_LT, kUnset);

  CMetal si;
  si.E(7e10);
  si.density(2.7);
  si.Ftu_LT = 3.1e8;
  gUnitSystem = SI;
  model.pushIsotropic(&si, false);
  EXPECT_NEAR(si.E(), 70.0, 1e-12);
  EXPECT_NEAR(si.Ftu_LT, 310.0, 1e-12);
  EXPECT_EQ(si.density(), 2.7);

  CMetal undecided;
  undecided.E(5.0);
  gUnitSystem = static_cast<EUnitSystem>(2);
  model.pushIsotropic(&undecided, false);
  EXPECT_EQ(undecided.E(), 5.0);
}

TEST(ModelRoot, ExtentCorners) {
  GlobalsGuard globals;
  Point<double> corners[8];
  CModel plain;
  plain.extentCorners(corners);
  for (const Point<double>& c : corners) EXPECT_TRUE(c.x == 0 && c.y == 0 && c.z == 0);

  BoxModel box(Point<double>(1, 2, 3), Point<double>(4, 6, 8));
  box.extentCorners(corners);
  const Point<double> expected[8] = {{1, 2, 3}, {4, 2, 3}, {1, 6, 3}, {1, 2, 8},
                                     {1, 6, 8}, {4, 2, 8}, {4, 6, 3}, {4, 6, 8}};
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(corners[i].x, expected[i].x) << i;
    EXPECT_EQ(corners[i].y, expected[i].y) << i;
    EXPECT_EQ(corners[i].z, expected[i].z) << i;
  }

  // Along the diagonal (1, 1, 0) and z from the origin (1, 2, 3): the box
  // spans 0..7 along u, -4..3 along v and 0..5 along w.
  Point<double> origin(1, 2, 3), u(1, 1, 0), v(1, -1, 0), w(0, 0, 1);
  Point<float> lo, hi;
  box.directionalExtents(&origin, &u, &v, &w, &lo, &hi);
  EXPECT_EQ(lo.x, 0.0f);
  EXPECT_EQ(hi.x, 7.0f);
  EXPECT_EQ(lo.y, -4.0f);
  EXPECT_EQ(hi.y, 3.0f);
  EXPECT_EQ(lo.z, 0.0f);
  EXPECT_EQ(hi.z, 5.0f);
}
