// The material object and the document's material-database methods, run
// against a real material database of the test's own.
#include <string>

#include "lorimant/automation/LorimantTypeLibrary.h"
#include "test_automation_objects_support.h"

using namespace automation_test;

namespace {

// Every output of one stored metal, by the database's own parameter names.
struct Stored {
  wchar_t name[120] = {}, family[50] = {}, form[50] = {}, temper[20] = {}, size[50] = {}, spec[120] = {},
          units[10] = {}, uns[50] = {};
  bool isotropic = false;
  double E, Ec, density, thickness, Ftu_L, Ftu_LT, Fty_L, Fty_LT, Fcy_L, Fcy_LT, Fcu_L, Fcu_LT, Fsu_LT, Fsu_L, nu,
      G, Fbru15, Fbru20, Fbry15, Fbry20, red, green, blue, aTL, aTLT, aCL, aCLT, nyTL, nyTLT, nyCL, nyCLT, nuTL,
      nuTLT, nuCL, nuCLT, maxTensile, maxCompression;

  bool read(const fs::path& file, const wchar_t* key) {
    CSQLDatabase db(file.wstring());
    db.connect();
    std::wcsncpy(name, key, 119);
    return db.getMetal(name, family, form, temper, size, spec, units, uns, &isotropic, &E, &Ec, &density, &thickness,
                       &Ftu_L, &Ftu_LT, &Fty_L, &Fty_LT, &Fcy_L, &Fcy_LT, &Fcu_L, &Fcu_LT, &Fsu_LT, &Fsu_L, &nu, &G,
                       &Fbru15, &Fbru20, &Fbry15, &Fbry20, &red, &green, &blue, &aTL, &aTLT, &aCL, &aCLT, &nyTL,
                       &nyTLT, &nyCL, &nyCLT, &nuTL, &nuTLT, &nuCL, &nuCLT, &maxTensile, &maxCompression);
  }
};

class AutomationMaterials : public AutomationObjectsTest {
 protected:
  std::shared_ptr<CMetalMaterial> newMaterial() {
    COleVariant made;
    EXPECT_EQ(invoke(L"AddMaterial", {}, &made), S_OK);
    return made.GetObject<CMetalMaterial>();
  }
  HRESULT setValue(CMetalMaterial& m, int id, COleVariant value) {
    return material(m, L"SetValue", {COleVariant(static_cast<SHORT>(id)), std::move(value)});
  }
  COleVariant getValue(CMetalMaterial& m, int id) {
    COleVariant v;
    EXPECT_EQ(material(m, L"GetValue", {COleVariant(static_cast<SHORT>(id))}, &v), S_OK) << id;
    return v;
  }
  // A material ready to commit: name, E, nu and G.
  std::shared_ptr<CMetalMaterial> committable(const wchar_t* name, double E, double nu, double G) {
    auto m = newMaterial();
    EXPECT_EQ(setValue(*m, QHT_NAME, COleVariant(name)), S_OK);
    EXPECT_EQ(setValue(*m, QHT_E, COleVariant(E)), S_OK);
    EXPECT_EQ(setValue(*m, QHT_NU, COleVariant(nu)), S_OK);
    EXPECT_EQ(setValue(*m, QHT_G, COleVariant(G)), S_OK);
    return m;
  }
  bool stored(const wchar_t* name) {
    CSQLDatabase db(database.wstring());
    db.connect();
    return db.matlExists(name);
  }
  // The 46 arguments of AddMaterialDef / EditMaterial: texts, flag, then
  // E = 70 + k for the k-th number.
  static std::vector<COleVariant> definition(const wchar_t* name, const wchar_t* family = L"Aluminium") {
    std::vector<COleVariant> args = {COleVariant(name), COleVariant(family), COleVariant(L"Sheet"),
                                     COleVariant(L"T3"), COleVariant(L"1mm"), COleVariant(L"AMS"),
                                     COleVariant(L"SI"), COleVariant(L"A92024"), COleVariant::FromBool(true)};
    for (int k = 0; k < 37; ++k) args.push_back(COleVariant(70.0 + k));
    return args;
  }
};

}  // namespace

TEST_F(AutomationMaterials, EveryIdentifierReadsBackWhatWasSetAndCommitsToItsNamedPlace) {
  auto m = newMaterial();
  ASSERT_NE(m, nullptr);
  for (int id = 0; id <= 46; ++id) {
    if (id <= 7) {
      const CString text = CString(L"t") + std::to_wstring(id).c_str();
      ASSERT_EQ(setValue(*m, id, COleVariant(text)), S_OK) << id;
      const COleVariant v = getValue(*m, id);
      EXPECT_EQ(v.vt, VT_BSTR) << id;
      EXPECT_EQ(v.bstrVal, text) << id;
    } else if (id == QHT_ISISOTROPIC || id == QHT_LOCKED) {
      ASSERT_EQ(setValue(*m, id, COleVariant::FromBool(true)), S_OK) << id;
      const COleVariant v = getValue(*m, id);
      EXPECT_EQ(v.vt, VT_BOOL) << id;
      EXPECT_EQ(v.boolVal, VARIANT_TRUE) << id;
    } else {
      ASSERT_EQ(setValue(*m, id, COleVariant(100.0 + id)), S_OK) << id;
      const COleVariant v = getValue(*m, id);
      EXPECT_EQ(v.vt, VT_R8) << id;
      EXPECT_EQ(v.dblVal, 100.0 + id) << id;
    }
  }
  // Integers are taken as doubles; nu must lie in 0..1 to commit.
  ASSERT_EQ(setValue(*m, QHT_NU, COleVariant(SHORT(0))), S_OK);
  EXPECT_EQ(getValue(*m, QHT_NU).dblVal, 0.0);
  ASSERT_EQ(setValue(*m, QHT_NU, COleVariant(0.25)), S_OK);
  ASSERT_EQ(material(*m, L"Commit", {}), S_OK) << wideToUtf8(excep.bstrDescription.GetString());

  Stored s;
  ASSERT_TRUE(s.read(database, L"t0"));
  EXPECT_STREQ(s.family, L"t1");
  EXPECT_STREQ(s.form, L"t2");
  EXPECT_STREQ(s.temper, L"t3");
  EXPECT_STREQ(s.size, L"t4");
  EXPECT_STREQ(s.spec, L"t5");
  EXPECT_STREQ(s.uns, L"t6");
  EXPECT_STREQ(s.units, L"t7");
  EXPECT_TRUE(s.isotropic);
  const std::pair<double, double> placed[] = {
      {s.thickness, 109}, {s.density, 110}, {s.red, 111},       {s.green, 112},          {s.blue, 113},
      {s.E, 114},         {s.Ec, 115},      {s.G, 116},         {s.nu, 0.25},            {s.Fty_L, 118},
      {s.Fty_LT, 119},    {s.Ftu_L, 120},   {s.Ftu_LT, 121},    {s.Fcy_L, 122},          {s.Fcy_LT, 123},
      {s.Fcu_L, 124},     {s.Fcu_LT, 125},  {s.Fsu_L, 126},     {s.Fsu_LT, 127},         {s.aCL, 128},
      {s.aCLT, 129},      {s.aTL, 130},     {s.aTLT, 131},      {s.nyCL, 132},           {s.nyCLT, 133},
      {s.nyTL, 134},      {s.nyTLT, 135},   {s.nuCL, 136},      {s.nuCLT, 137},          {s.nuTL, 138},
      {s.nuTLT, 139},     {s.Fbru15, 140},  {s.Fbru20, 141},    {s.Fbry15, 142},         {s.Fbry20, 143},
      {s.maxCompression, 144}, {s.maxTensile, 145}};
  for (const auto& [got, want] : placed) EXPECT_EQ(got, want);

  // The journal line gives the texts and numbers in AddMaterialDef's order.
  EXPECT_EQ(journalLines().back(),
            "xscn.AddMaterialDef \"t0\",\"t1\",\"t2\",\"t3\",\"t4\",\"t5\",\"t7\",\"t6\",1,114,115,110,109,120,121,"
            "118,119,122,123,124,125,127,126,0.25,116,140,141,142,143,111,112,113,130,131,128,129,134,135,132,133,"
            "138,139,136,137,145,144");

  // Fetch reads the same record back into a new object, colour exactly.
  COleVariant fetched;
  ASSERT_EQ(invoke(L"FetchMaterial", {COleVariant(L"t0")}, &fetched), S_OK);
  auto again = fetched.GetObject<CMetalMaterial>();
  ASSERT_NE(again, nullptr);
  for (int id = 9; id <= 45; ++id)
    EXPECT_EQ(getValue(*again, id).dblVal, getValue(*m, id).dblVal) << id;
  EXPECT_EQ(getValue(*again, QHT_UNITS).bstrVal, CString(L"t7"));
}

TEST_F(AutomationMaterials, CommitDerivesANegativeShearModulusAndRefusesNuOutsideZeroToOne) {
  auto m = committable(L"2024", 70, 0.4, -1);
  ASSERT_EQ(material(*m, L"Commit", {}), S_OK);
  Stored s;
  ASSERT_TRUE(s.read(database, L"2024"));
  EXPECT_DOUBLE_EQ(s.G, 25.0);  // 70 / (2 (1 + 0.4))

  // Refused before the database is touched: the path leads nowhere, yet the
  // refusal is about nu and nothing was journalled.
  doc->model()->materialDatabasePath = CString((root_ / "absent.sqldb").wstring().c_str());
  const size_t before = journalLines().size();
  for (double nu : {1.5, -0.1}) {
    auto bad = committable(L"7075", 70, nu, -1);
    const HRESULT hr = material(*bad, L"Commit", {});
    CString text;
    text.Format(L"Poisson's ration must be between 0 and 1, %g was given", nu);
    expectRefused(hr, 1, text);
    EXPECT_EQ(getValue(*bad, QHT_G).dblVal, -1.0);  // nothing changed
  }
  EXPECT_EQ(journalLines().size(), before);
  EXPECT_FALSE(fs::exists(root_ / "absent.sqldb"));
}

TEST_F(AutomationMaterials, CommitRefusesANameTheDatabaseHoldsAndKeepsItsLock) {
  auto first = committable(L"2024", 70, 0.3, 27);
  ASSERT_EQ(material(*first, L"Locked", {COleVariant(SHORT(1))}, nullptr, DISPATCH_PROPERTYPUT), S_OK);
  ASSERT_EQ(material(*first, L"Commit", {}), S_OK);
  auto second = committable(L"2024", 10, 0.3, 4);
  EXPECT_EQ(material(*second, L"Commit", {}), DISP_E_EXCEPTION);
  EXPECT_EQ(excep.wCode, 1);
  COleVariant locked;
  ASSERT_EQ(material(*second, L"Locked", {}, &locked, DISPATCH_PROPERTYGET), S_OK);
  EXPECT_EQ(locked.iVal, 1);
  Stored s;
  ASSERT_TRUE(s.read(database, L"2024"));
  EXPECT_EQ(s.E, 70.0);
}

TEST_F(AutomationMaterials, LockedTakesAnyNonZeroValueAsLockedAndReadsTheDatabase) {
  const struct {
    SHORT value;
    bool locked;
  } cases[] = {{-1, true}, {1, true}, {0, false}, {2, true}};
  for (const auto& c : cases) {
    auto m = newMaterial();
    ASSERT_EQ(material(*m, L"Locked", {COleVariant(c.value)}, nullptr, DISPATCH_PROPERTYPUT), S_OK);
    EXPECT_EQ(m->locked(), c.locked) << c.value;
  }
  // Automation True (-1) commits a locked material.
  auto m = committable(L"6061", 69, 0.33, 26);
  ASSERT_EQ(material(*m, L"Locked", {COleVariant::FromBool(true)}, nullptr, DISPATCH_PROPERTYPUT), S_OK);
  ASSERT_EQ(material(*m, L"Commit", {}), S_OK);
  COleVariant locked;
  ASSERT_EQ(material(*m, L"Locked", {}, &locked, DISPATCH_PROPERTYGET), S_OK);
  EXPECT_EQ(locked.iVal, 1);
  auto open = committable(L"5052", 69, 0.33, 26);
  ASSERT_EQ(material(*open, L"Commit", {}), S_OK);
  ASSERT_EQ(material(*open, L"Locked", {}, &locked, DISPATCH_PROPERTYGET), S_OK);
  EXPECT_EQ(locked.iVal, 0);
}

TEST_F(AutomationMaterials, SetValueRefusesUnknownIdentifiersTypesAndOverlongTexts) {
  auto m = newMaterial();
  expectRefused(setValue(*m, 50, COleVariant(1.0)), 1001, L"Material identifier is not recognized");
  expectRefused(setValue(*m, -1, COleVariant(1.0)), 1001, L"Material identifier is not recognized");
  COleVariant v;
  expectRefused(material(*m, L"GetValue", {COleVariant(SHORT(47))}, &v), 1001,
                L"Material identifier is not recognized");
  expectRefused(setValue(*m, QHT_E, COleVariant()), 1001, L"Value type is not of type  BSTR or Double");
  expectRefused(setValue(*m, QHT_E, COleVariant::FromObject(m)), 1001, L"Value type is not of type  BSTR or Double");

  // A number takes no text or boolean, a text no number.
  ASSERT_EQ(setValue(*m, QHT_E, COleVariant(70.0)), S_OK);
  EXPECT_EQ(setValue(*m, QHT_E, COleVariant(L"71")), DISP_E_EXCEPTION);
  EXPECT_EQ(setValue(*m, QHT_E, COleVariant::FromBool(true)), DISP_E_EXCEPTION);
  EXPECT_EQ(setValue(*m, QHT_NAME, COleVariant(3.0)), DISP_E_EXCEPTION);
  EXPECT_EQ(getValue(*m, QHT_E).dblVal, 70.0);

  // QHT_LOCKED takes only a boolean: a double changes nothing.
  ASSERT_EQ(setValue(*m, QHT_LOCKED, COleVariant(1.0)), S_OK);
  EXPECT_EQ(getValue(*m, QHT_LOCKED).boolVal, VARIANT_FALSE);
  // The isotropic flag: any non-zero number is true.
  ASSERT_EQ(setValue(*m, QHT_ISISOTROPIC, COleVariant(LONG(-3))), S_OK);
  EXPECT_EQ(getValue(*m, QHT_ISISOTROPIC).boolVal, VARIANT_TRUE);

  // Each text holds at most its field's capacity less one.
  const struct {
    int id;
    int capacity;
  } fields[] = {{QHT_NAME, 120}, {QHT_FAMILY, 50}, {QHT_FORM, 50}, {QHT_TEMPER, 20},
                {QHT_SIZE, 50},  {QHT_SPEC, 120},  {QHT_UNS, 50},  {QHT_UNITS, 10}};
  for (const auto& f : fields) {
    const CString fits(std::wstring(f.capacity - 1, L'x').c_str());
    ASSERT_EQ(setValue(*m, f.id, COleVariant(fits)), S_OK) << f.id;
    EXPECT_EQ(setValue(*m, f.id, COleVariant(fits + L"y")), DISP_E_EXCEPTION) << f.id;
    EXPECT_EQ(excep.wCode, 1) << f.id;
    EXPECT_EQ(getValue(*m, f.id).bstrVal, fits) << f.id;
  }
}

TEST_F(AutomationMaterials, FetchOfAnAbsentMaterialIsRefused) {
  auto m = newMaterial();
  EXPECT_EQ(material(*m, L"Fetch", {COleVariant(L"Unobtainium")}), DISP_E_EXCEPTION);
  EXPECT_EQ(excep.wCode, 1);
  COleVariant fetched;
  EXPECT_EQ(invoke(L"FetchMaterial", {COleVariant(L"Unobtainium")}, &fetched), DISP_E_EXCEPTION);
  EXPECT_EQ(excep.wCode, 1);
}

TEST_F(AutomationMaterials, ConnectAndCreateStoreThePathOnlyAfterSuccess) {
  const CString kept = doc->model()->materialDatabasePath;
  const fs::path missing = root_ / "missing.sqldb";
  EXPECT_EQ(invoke(L"ConnectDatabase", {COleVariant(missing.wstring().c_str())}), DISP_E_EXCEPTION);
  EXPECT_EQ(excep.wCode, 1);
  EXPECT_FALSE(fs::exists(missing));  // connecting never creates a file
  EXPECT_EQ(doc->model()->materialDatabasePath, kept);

  // An existing file is never replaced.
  EXPECT_EQ(invoke(L"CreateDatabase", {COleVariant(database.wstring().c_str())}), DISP_E_EXCEPTION);
  EXPECT_EQ(excep.wCode, 1001);
  EXPECT_EQ(excep.bstrDescription, CString(L"Unable to construct the database"));
  EXPECT_EQ(doc->model()->materialDatabasePath, kept);
  storeMetal(L"2024");
  EXPECT_TRUE(stored(L"2024"));

  const CString fresh((root_ / "fresh.sqldb").wstring().c_str());
  ASSERT_EQ(invoke(L"CreateDatabase", {COleVariant(fresh)}), S_OK);
  EXPECT_EQ(doc->model()->materialDatabasePath, fresh);
  ASSERT_EQ(invoke(L"AddMaterialDef", definition(L"2024")), S_OK);  // both tables are there

  ASSERT_EQ(invoke(L"ConnectDatabase", {COleVariant(kept)}), S_OK);
  EXPECT_EQ(doc->model()->materialDatabasePath, kept);
}

TEST_F(AutomationMaterials, AddEditAndDeleteMaterialDefinitions) {
  ASSERT_EQ(invoke(L"AddMaterialDef", definition(L"2024")), S_OK);
  Stored s;
  ASSERT_TRUE(s.read(database, L"2024"));
  EXPECT_STREQ(s.units, L"SI");
  EXPECT_STREQ(s.uns, L"A92024");
  EXPECT_EQ(s.E, 70.0);
  EXPECT_EQ(s.nu, 84.0);  // the 15th number
  EXPECT_EQ(s.maxCompression, 106.0);
  EXPECT_TRUE(journalLines().back().find("AddMaterialDef") == std::string::npos);  // no line of its own

  expectRefused(invoke(L"AddMaterialDef", definition(L"2024", L"Other")), 1,
                L"Material 2024 already exists in the database.");
  ASSERT_TRUE(s.read(database, L"2024"));
  EXPECT_STREQ(s.family, L"Aluminium");

  ASSERT_EQ(invoke(L"EditMaterial", definition(L"2024", L"Other")), S_OK);
  ASSERT_TRUE(s.read(database, L"2024"));
  EXPECT_STREQ(s.family, L"Other");
  EXPECT_EQ(invoke(L"EditMaterial", definition(L"7075")), DISP_E_EXCEPTION);
  EXPECT_FALSE(stored(L"7075"));

  // A text longer than its field is refused and nothing is written.
  EXPECT_EQ(invoke(L"AddMaterialDef", definition(L"7075", std::wstring(50, L'f').c_str())), DISP_E_EXCEPTION);
  EXPECT_EQ(excep.wCode, 1);
  EXPECT_FALSE(stored(L"7075"));

  ASSERT_EQ(invoke(L"DeleteMaterial", {COleVariant(L"2024")}), S_OK);
  EXPECT_FALSE(stored(L"2024"));
  EXPECT_EQ(invoke(L"DeleteMaterial", {COleVariant(L"2024")}), DISP_E_EXCEPTION);
}

TEST_F(AutomationMaterials, DeleteAllMaterialsJournalsFirstAndPassesADatabaseWithoutTables) {
  storeMetal(L"2024");
  storeMetal(L"7075");
  ASSERT_EQ(invoke(L"DeleteAllMaterials", {}), S_OK);
  EXPECT_FALSE(stored(L"2024"));
  EXPECT_FALSE(stored(L"7075"));
  EXPECT_EQ(journalLines().back(), "xscn.DeleteAllMaterials");

  const fs::path bare = root_ / "bare.sqldb";
  {
    CSQLDatabase db(bare.wstring());
    db.createDatabase(bare.wstring());
  }
  ASSERT_EQ(invoke(L"ConnectDatabase", {COleVariant(bare.wstring().c_str())}), S_OK);
  const size_t before = journalLines().size();
  ASSERT_EQ(invoke(L"DeleteAllMaterials", {}), S_OK);
  EXPECT_EQ(journalLines().size(), before + 1);
  EXPECT_EQ(journalLines().back(), "xscn.DeleteAllMaterials");
}

TEST_F(AutomationMaterials, MaterialExistsAnswersOneOrZero) {
  storeMetal(L"2024");
  COleVariant found;
  ASSERT_EQ(invoke(L"MaterialExists", {COleVariant(L"2024")}, &found), S_OK);
  EXPECT_EQ(found.vt, VT_I2);
  EXPECT_EQ(found.iVal, 1);
  ASSERT_EQ(invoke(L"MaterialExists", {COleVariant(L"Unobtainium")}, &found), S_OK);
  EXPECT_EQ(found.iVal, 0);
}

TEST_F(AutomationMaterials, ApplyMaterialToAllSkipsHolesAndJoinsTheModelsMaterialsOnce) {
  CSubSection* web = subSection(root(), L"Web");
  CSubSection* lip = subSection(web, L"Lip");
  CShapeAnalysis* solid = rectangle(web, L"solid", 10, 5);
  CShapeAnalysis* hole = rectangle(web, L"hole", 2, 1, 1, 1, true);
  CShapeAnalysis* nested = rectangle(lip, L"nested", 1, 1, 20, 0);
  CShapeAnalysis* outside = rectangle(root(), L"outside", 1, 1, 40, 0);
  storeMetal(L"2024");

  ASSERT_EQ(invoke(L"ApplyMaterialToAll", {COleVariant(L"Web"), COleVariant(L"2024")}), S_OK);
  ASSERT_NE(solid->material(), nullptr);
  EXPECT_EQ(solid->material()->name, CString(L"2024"));
  EXPECT_EQ(nested->material(), solid->material());
  EXPECT_EQ(hole->material(), nullptr);
  EXPECT_EQ(outside->material(), nullptr);
  EXPECT_EQ(doc->model()->materials.GetCount(), 1);

  ASSERT_EQ(invoke(L"ApplyMaterialToAll", {COleVariant(L"Lip"), COleVariant(L"2024")}), S_OK);
  EXPECT_EQ(doc->model()->materials.GetCount(), 1);

  expectRefused(invoke(L"ApplyMaterialToAll", {COleVariant(L"Flange"), COleVariant(L"2024")}), 1,
                L"SubSection doesn't exist");
  expectRefused(invoke(L"ApplyMaterialToAll", {COleVariant(L"Web"), COleVariant(L"7075")}), 1,
                L"Could not recover material from database");
}

TEST_F(AutomationMaterials, ApplyMaterialChoosesSubSectionThenShapeAndRefusesOtherNames) {
  CSubSection* web = subSection(root(), L"Web");
  CShapeAnalysis* inWeb = rectangle(web, L"a", 1, 1);
  CShapeAnalysis* plate = rectangle(root(), L"plate", 1, 1, 10, 0);
  storeMetal(L"2024");

  ASSERT_EQ(invoke(L"ApplyMaterial", {COleVariant(L"plate"), COleVariant(L"2024")}), S_OK);
  ASSERT_NE(plate->material(), nullptr);
  EXPECT_EQ(inWeb->material(), nullptr);
  ASSERT_EQ(invoke(L"ApplyMaterial", {COleVariant(L"Web"), COleVariant(L"2024")}), S_OK);
  EXPECT_NE(inWeb->material(), nullptr);

  expectRefused(invoke(L"ApplyMaterial", {COleVariant(L"nothing"), COleVariant(L"2024")}), 1,
                L"Object does not exist");
  expectRefused(invoke(L"ApplyMaterialToShape", {COleVariant(L"nothing"), COleVariant(L"2024")}), 1,
                L"Shape doesn't exist");
  expectRefused(invoke(L"ApplyMaterialToSubSection", {COleVariant(L"nothing"), COleVariant(L"2024")}), 1,
                L"SubSection doesn't exist");
  expectRefused(invoke(L"ApplyMaterialToShape", {COleVariant(L"plate"), COleVariant(L"7075")}), 1,
                L"Material doesn't exist");
  expectRefused(invoke(L"SetMaterialOnSubSection", {COleVariant(L"Web"), COleVariant(L"7075")}), 1,
                L"Material not found.");
  EXPECT_EQ(plate->material()->name, CString(L"2024"));
}

TEST_F(AutomationMaterials, SetMaterialGivesTheShapeOrElseTheNamedSubSectionsSolids) {
  CSubSection* web = subSection(root(), L"Web");
  CShapeAnalysis* a = rectangle(web, L"a", 1, 1);
  CSubSection* lip = subSection(root(), L"Lip");
  CShapeAnalysis* b = rectangle(lip, L"b", 4, 4, 10, 0);
  CShapeAnalysis* bHole = rectangle(lip, L"bHole", 1, 1, 11, 1, true);
  storeMetal(L"2024");

  ASSERT_EQ(invoke(L"SetMaterial", {COleVariant(L"Web"), COleVariant(L"a"), COleVariant(L"2024")}), S_OK);
  EXPECT_NE(a->material(), nullptr);
  EXPECT_EQ(b->material(), nullptr);
  ASSERT_EQ(invoke(L"SetMaterial", {COleVariant(L"Web"), COleVariant(L"Lip"), COleVariant(L"2024")}), S_OK);
  EXPECT_NE(b->material(), nullptr);
  EXPECT_EQ(bHole->material(), nullptr);
  expectRefused(invoke(L"SetMaterial", {COleVariant(L"Flange"), COleVariant(L"a"), COleVariant(L"2024")}), 1,
                L"SubSection doesn't exist");
  expectRefused(invoke(L"SetMaterial", {COleVariant(L"Web"), COleVariant(L"zz"), COleVariant(L"2024")}), 1,
                L"Object does not exist");
}

TEST_F(AutomationMaterials, ApplyMaterialToSelectedGivesThePickedShapesOnly) {
  struct PickingView : ActiveSectionView {
    std::vector<CString> pickedShapeNames() const override { return {L"a", L"gone"}; }
  } view;
  doc->setActiveView(&view);
  CShapeAnalysis* a = rectangle(root(), L"a", 1, 1);
  CShapeAnalysis* b = rectangle(root(), L"b", 1, 1, 5, 0);
  storeMetal(L"2024");

  expectRefused(invoke(L"ApplyMaterialToSelected", {COleVariant(L"root"), COleVariant(L"7075")}), 1,
                L"Material not found in current database");
  EXPECT_EQ(a->material(), nullptr);
  ASSERT_EQ(invoke(L"ApplyMaterialToSelected", {COleVariant(L"root"), COleVariant(L"2024")}), S_OK);
  EXPECT_NE(a->material(), nullptr);
  EXPECT_EQ(b->material(), nullptr);
  doc->setActiveView(nullptr);
}
