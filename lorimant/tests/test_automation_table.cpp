// The ILorimant dispatch table: the members as journals name them, the
// DISPIDs left out, the repeated entries, the dispatch form's parameter
// types, and the type library's named constants.
#include <gtest/gtest.h>

#include <algorithm>

#include "lorimant/automation/ILorimant.h"
#include "lorimant/automation/LorimantTypeLibrary.h"

namespace {

const CDispatchTable<CXSectionAnalysisDoc>& table() { return ILorimantDispatchTable(); }

}  // namespace

TEST(AutomationTable, MembersResolveAsTheDispatchFormNamesThem) {
  const struct {
    const wchar_t* name;
    DISPID id;
  } names[] = {
      {L"Union", 10},
      {L"AddMaterialDef", 54},
      {L"SetUnitSystem", 110},  // as journals spell it; the table has "SetUnitsystem"
      {L"DeleteSubsectionAndChildShapes", 44},
      {L"GroupCurrent", 31},
      {L"ComputeGeomSectionProperties", 11},
      {L"AddRectangle", 7},
      {L"CopyPasteSubSection", 116},
      {L"BooleanSum", DISPID_UNKNOWN},
      {L"AddMetal", DISPID_UNKNOWN},
  };
  for (const auto& n : names) EXPECT_EQ(table().GetIDOfName(n.name), n.id) << wideToUtf8(n.name);
}

TEST(AutomationTable, HoldsEveryMemberWithDispids93To98Twice) {
  EXPECT_EQ(table().Entries().size(), 121u);  // with the two journalled members 117 and 118
  for (DISPID id : {62, 91, 106}) EXPECT_EQ(table().Find(id), nullptr) << id;
  int assigned = 0;
  for (DISPID id = 1; id <= 116; ++id) assigned += table().Find(id) != nullptr;
  EXPECT_EQ(assigned, 113);

  for (DISPID id = 93; id <= 98; ++id) {
    std::vector<const DispatchEntry<CXSectionAnalysisDoc>*> same;
    for (const auto& e : table().Entries())
      if (e.dispid == id) same.push_back(&e);
    ASSERT_EQ(same.size(), 2u) << id;
    EXPECT_EQ(table().Find(id), same[0]);
    EXPECT_STREQ(same[0]->name, same[1]->name);
    EXPECT_EQ(same[0]->params, same[1]->params);
    EXPECT_EQ(same[0]->method, same[1]->method);
  }
  EXPECT_STREQ(table().Find(93)->name, L"WriteSectionProperties");
}

TEST(AutomationTable, TheDispatchFormOfTypesRules) {
  const auto* save = table().Find(28);
  ASSERT_NE(save, nullptr);
  EXPECT_EQ(save->result, VT_EMPTY);  // FileSave returns nothing

  const auto* material = table().Find(54);
  ASSERT_NE(material, nullptr);
  ASSERT_EQ(material->params.size(), 46u);
  EXPECT_EQ(std::count(material->params.begin(), material->params.begin() + 8, VT_BSTR), 8);
  EXPECT_EQ(material->params[8], VT_BOOL);
  EXPECT_EQ(std::count(material->params.begin() + 9, material->params.end(), VT_R8), 37);
  EXPECT_EQ(table().Find(55)->params, material->params);

  EXPECT_EQ(table().Find(15)->params, (std::vector<VARTYPE>{VT_BSTR, VT_BSTR, VT_BOOL}));
  EXPECT_EQ(table().Find(111)->params, (std::vector<VARTYPE>{VT_BSTR, VT_R8, VT_R8}));
  EXPECT_EQ(table().Find(92)->params, (std::vector<VARTYPE>{VT_I2, VT_R8 | VT_BYREF, VT_R8 | VT_BYREF, VT_R8 | VT_BYREF}));
  EXPECT_EQ(table().Find(31)->result, VT_BSTR);
  EXPECT_NE(table().Find(31)->put, nullptr);

  // Every enumerated parameter of the type library is a 16-bit integer here.
  const struct {
    DISPID id;
    std::size_t index;
  } enumerated[] = {{14, 0}, {66, 0}, {84, 1}, {90, 4}, {92, 0}, {95, 1}, {98, 1}, {99, 1}, {110, 0}};
  for (const auto& e : enumerated) {
    const auto* entry = table().Find(e.id);
    ASSERT_NE(entry, nullptr);
    ASSERT_LT(e.index, entry->params.size()) << e.id;
    EXPECT_EQ(entry->params[e.index], VT_I2) << e.id;
  }
}

TEST(AutomationTable, TypeLibraryConstantsByName) {
  const struct {
    const wchar_t* name;
    LONG value;
  } constants[] = {{L"QHT_SI", 0},
                   {L"QHT_USCS", 1},
                   {L"QHT_STRESSZZ", 3},
                   {L"TRIANGLE_3NODES", 0},
                   {L"QUAD_4NODES", 1},
                   {L"QHT_MAXSTRAIN", 4},
                   {L"BA_MinStressLocationX", 11},
                   {L"BA_COZZONE_MSSHEAR", 29},
                   {L"QHT_E", 14},
                   {L"QHT_LOCKED", 46},
                   {L"SA_AreaMinumum2ndMomentOfInertia", 10},
                   {L"SA_ElasticArea", 50},
                   {L"SA_PlasticMaximumShapeFactor_Kmax", 72}};
  for (const auto& c : constants) {
    LONG value = -99;
    EXPECT_TRUE(TypeLibraryConstant(c.name, &value)) << wideToUtf8(c.name);
    EXPECT_EQ(value, c.value) << wideToUtf8(c.name);
  }
  LONG untouched = -99;
  EXPECT_FALSE(TypeLibraryConstant(L"QHT_STRESSXX", &untouched));
  EXPECT_EQ(untouched, -99);
  // Enumeration names ignore case, as method names do.
  EXPECT_TRUE(TypeLibraryConstant(L"qht_si", &untouched));
  EXPECT_EQ(untouched, 0);
  static_assert(QHT_STRAINZZ == 4 && BA_NeutralAxisAngle == 21 && SA_AreaPolarRadiusGyration == 29);
}
