// The rows of the result pane's property lists, the texts of their cells,
// the pages of the property sheet and the plan of the sheet, on a 4 x 2
// rectangle with its corner at the origin (US customary units).
#include <cmath>

#include "lorimant/analyses/SectionPropertyLists.h"
#include "lorimant/analyses/SectionPropertyPages.h"
#include "lorimant/analyses/SectionPropertyValues.h"
#include "lorimant/automation/LorimantTypeLibrary.h"
#include "test_automation_analyses_support.h"

using namespace analysis_methods_test;

namespace {

class PropertyListsTest : public AnalysisMethodsTest {
 protected:
  // The rectangle of the alloy (with a density when given one), computed.
  void plate(double density) {
    metal->density(density);
    solid(root(), L"plate", 0, 0, 4, 2);
    ASSERT_TRUE(root()->forceRecalcProperties());
  }
  // Meshes the shape called name (three-node triangles).
  void meshShape(const wchar_t* name) {
    ASSERT_EQ(invoke(L"MeshShape", {COleVariant(name), I2(TRIANGLE_3NODES), I4(5), COleVariant(0.01),
                                    COleVariant(0.5)}),
              S_OK)
        << CString(excep.bstrDescription).ToUtf8();
  }
  std::array<CString, 5> cells(const PropertyListRow& row) { return ListCellTexts(row, *root()); }
};

std::string propListUtf8(const CString& s) { return s.ToUtf8(); }

TEST_F(PropertyListsTest, ElasticRowsOfTheRectangleInTheirOrderWithTheirClosedForms) {
  plate(0.1);
  const double b = 4, h = 2, A = b * h;
  const double Ix = b * h * h * h / 12, Iy = h * b * b * b / 12;
  const struct {
    const char* group;
    const char* symbol;
    const char* text;
    double closedForm;
  } expected[] = {
      {"Area", "Ae", "8", A},
      {"", "Ag", "8", A},
      {"", "Pang", "0", 0},
      {"Centroids", "CGx", "2", b / 2},
      {"", "CGy", "1", h / 2},
      {"", "McgX", "2", b / 2},
      {"", "McgY", "1", h / 2},
      {" Moments of Inertia", "Ix", "2.66667", Ix},
      {"", "Iy", "10.6667", Iy},
      {"", "Ixy", "0", 0},
      {"", "Ip", "13.3333", Ix + Iy},
      {"", "Ixa", "10.6667", b * h * h * h / 3},
      {"", "Iya", "42.6667", h * b * b * b / 3},
      {"", "Ixya", "16", b * b * h * h / 4},
      {"", "Imin", "2.66667", Ix},
      {"", "Imax", "10.6667", Iy},
      {"Radius of Gyrations", "Kx", "0.57735", std::sqrt(Ix / A)},
      {"", "Ky", "1.1547", std::sqrt(Iy / A)},
      {"", "Kp", "1.29099", std::sqrt((Ix + Iy) / A)},
      {"", "Kmin", "0.57735", std::sqrt(Ix / A)},
      {"", "Kmax", "1.1547", std::sqrt(Iy / A)},
  };
  const std::vector<PropertyListRow> rows = ElasticPropertyRows(*root());
  ASSERT_EQ(rows.size(), 25u);
  for (size_t i = 0; i < std::size(expected); ++i) {
    const auto text = cells(rows[i]);
    EXPECT_EQ(propListUtf8(text[0]), expected[i].group) << i;
    EXPECT_EQ(propListUtf8(text[1]), expected[i].symbol) << i;
    EXPECT_EQ(propListUtf8(text[2]), expected[i].text) << expected[i].symbol;
    EXPECT_NEAR(rows[i].value, expected[i].closedForm, 1e-9) << expected[i].symbol;
  }
  // The four section moduli are GetValue's 22 to 25, under their own descriptions.
  const char* const moduli[][2] = {{"Section Modulus", "Sx"}, {"", "Sy"}, {"", "Sx"}, {"", "Sy"}};
  for (int i = 0; i < 4; ++i) {
    const PropertyListRow& row = rows[21 + static_cast<size_t>(i)];
    EXPECT_EQ(propListUtf8(row.group), moduli[i][0]);
    EXPECT_EQ(propListUtf8(row.symbol), moduli[i][1]);
    EXPECT_EQ(row.value, value(L"GetValue", {I2(22 + i)}));
    EXPECT_EQ(row.unitCode, 156);
  }
  EXPECT_EQ(propListUtf8(rows[21].description), "Elastic Section Modulus about x-axis  (Ixc/Ymax)");
  EXPECT_EQ(propListUtf8(rows[19].description), "Minumum radius of gyration");
  // Units of the current system.
  EXPECT_EQ(cells(rows[0])[3], CString(L"in\u00b2"));
  EXPECT_EQ(cells(rows[7])[3], CString(L"in\u2074"));
  EXPECT_EQ(cells(rows[2])[3], CString(L"degs"));
  EXPECT_EQ(cells(rows[3])[3], CString(L"in"));
  // No unit column for code -1.
  EXPECT_EQ(ListCellTexts({L"g", L"s", 1.5, -1, L"d"}, *root())[3], CString());
}

TEST_F(PropertyListsTest, WithoutADensityTheMassCentroidRowsAreLeftOut) {
  plate(0.0);
  const std::vector<PropertyListRow> rows = ElasticPropertyRows(*root());
  ASSERT_EQ(rows.size(), 23u);
  for (const PropertyListRow& row : rows) EXPECT_NE(propListUtf8(row.symbol).substr(0, 3), "Mcg");
  EXPECT_EQ(propListUtf8(rows[5].symbol), "Ix");
}

TEST_F(PropertyListsTest, NoElasticRowsForAnEmptySectionOrPropertiesOutOfDate) {
  root()->forceRecalcProperties();
  EXPECT_TRUE(ElasticPropertyRows(*root()).empty());
  EXPECT_TRUE(PlasticPropertyRows(*root()).empty());
  plate(0.1);
  ASSERT_FALSE(ElasticPropertyRows(*root()).empty());
  root()->scnPrpUTD(false);
  EXPECT_TRUE(ElasticPropertyRows(*root()).empty());
}

TEST_F(PropertyListsTest, ValuesBelowOneInAHundredMillionListAsZero) {
  plate(0.1);
  const struct {
    double stored;
    const char* text;
  } cases[] = {{5e-9, "0"}, {-5e-9, "0"}, {5e-8, "5e-08"}, {-2.5e-7, "-2.5e-07"}};
  for (const auto& c : cases) {
    root()->setValue(40, c.stored);   // the principal angle, Pang
    root()->setValue(135, c.stored);  // the modulus-weighted centroid x, CGx
    const std::vector<PropertyListRow> rows = ElasticPropertyRows(*root());
    ASSERT_EQ(rows.size(), 25u);
    EXPECT_EQ(propListUtf8(cells(rows[2])[2]), c.text) << c.stored;
    EXPECT_EQ(propListUtf8(cells(rows[3])[2]), c.text) << c.stored;
  }
}

TEST(PropertyPageTexts, FixedDecimalsWithTheSameRuleForNoise) {
  const struct {
    double v;
    int decimals;
    const char* text;
  } cases[] = {
      {5e-9, 3, "0.000"},   {-5e-9, 3, "0.000"}, {12.34567, 3, "12.346"}, {8, 4, "8.0000"},
      {5e-8, 8, "0.00000005"}, {-2.5, 0, "-2"}, {1e20, 1, "100000000000000000000.0"},
  };
  for (const auto& c : cases) EXPECT_EQ(PageValueText(c.v, c.decimals).ToUtf8(), c.text) << c.v;
}

TEST_F(PropertyListsTest, ANewModelShowsFourDecimalsOnThePages) {
  plate(0.1);
  EXPECT_EQ(model()->displayPrecision, 4);
  const std::vector<CString> texts = PageTexts(ElasticPageBoxes(), *root(), model()->displayPrecision);
  ASSERT_EQ(texts.size(), ElasticPageBoxes().size());
  EXPECT_EQ(CString(ElasticPageBoxes()[0].label), CString(L"Section Area"));
  EXPECT_EQ(texts[0].ToUtf8(), "8.0000");
}

TEST_F(PropertyListsTest, PagesReadWhatTheListsAndGetValueRead) {
  plate(0.1);
  // The geometric page: the export's 22 geometric values, by identifier.
  ASSERT_EQ(GeometricPageBoxes().size(), 22u);
  const struct {
    const char* label;
    int id;
    double closedForm;
  } geometric[] = {{"Section Area (u^2)", 1, 8.0},   {"Ix (about Xc)", 6, 8.0 / 3}, {"Iy (about Yc)", 7, 32.0 / 3},
                   {"Ix (about X)", 19, 32.0 / 3},  {"Iy (about Y)", 20, 128.0 / 3}, {"Ixc/Ymax", 22, 16.0 / 3}};
  for (const auto& g : geometric) {
    const PageBox* box = nullptr;
    for (const PageBox& b : GeometricPageBoxes())
      if (CString(b.label) == CString(g.label)) box = &b;
    ASSERT_NE(box, nullptr) << g.label;
    EXPECT_EQ(box->number, g.id) << g.label;
    EXPECT_NEAR(PageBoxValue(*box, *root()), g.closedForm, 1e-9) << g.label;
  }
  // The elastic page agrees with the elastic list.
  const std::vector<PropertyListRow> rows = ElasticPropertyRows(*root());
  const std::vector<CString> texts = PageTexts(ElasticPageBoxes(), *root(), 5);
  EXPECT_EQ(texts[3].ToUtf8(), "2.66667");  // Ix (about Xc), the list's Ix
  EXPECT_EQ(PageValueText(rows[7].value, 5), texts[3]);
  EXPECT_EQ(texts[14].ToUtf8(), "0.57735");  // Kx (About Xc)
  // Every plastic box names a section property of GetValue.
  ASSERT_EQ(PlasticPageBoxes().size(), 20u);
  int tips = 0;
  for (const PageBox& box : PlasticPageBoxes()) {
    EXPECT_TRUE(SectionPropertyValue(*root(), box.number).has_value()) << box.number;
    tips += box.tooltip != nullptr;
  }
  EXPECT_EQ(tips, 10);
}

TEST_F(PropertyListsTest, AMeshedRectangleOfAMetalWithAYieldListsItsPlasticValues) {
  plate(0.1);
  meshShape(L"plate");
  ASSERT_TRUE(root()->forceRecalcProperties());
  const std::vector<PropertyListRow> rows = PlasticPropertyRows(*root());
  const struct {
    const char* symbol;
    int id;
  } expected[] = {{"Zx", 38},    {"Zy", 39},     {"Zxp", 44},     {"Zyp", 45},     {"Pcg x", 64},   {"Pcg y", 65},
                  {"Kx", 34},    {"Ky", 35},     {"Kxp", 36},     {"Kyp", 37},     {"MxMax", 40},   {"MyMax", 41},
                  {"MxpMax", 46}, {"MypMax", 47}, {"MxYield", 42}, {"MyYield", 43}, {"MxpYield", 48}, {"MypYield", 49}};
  ASSERT_EQ(rows.size(), std::size(expected));
  for (size_t i = 0; i < rows.size(); ++i) {
    EXPECT_EQ(propListUtf8(rows[i].symbol), expected[i].symbol);
    EXPECT_EQ(rows[i].value, value(L"GetValue", {I2(expected[i].id)})) << expected[i].symbol;
  }
  // A rectangle's plastic modulus is 1.5 times its elastic one.
  for (size_t k = 6; k < 10; ++k) EXPECT_NEAR(rows[k].value, 1.5, 1.5 * 0.005) << propListUtf8(rows[k].symbol);
  EXPECT_EQ(propListUtf8(rows[6].group), "Shape Factors");
  EXPECT_EQ(propListUtf8(rows[17].description), "Yield moment about princiapl y-axis");
  const SectionSheetPlanResult plan = SectionSheetPlan(*root());
  EXPECT_EQ(plan.pages, (std::vector<SectionSheetPage>{SectionSheetPage::geometric, SectionSheetPage::elastic,
                                                       SectionSheetPage::plastic}));
  EXPECT_FALSE(plan.plasticMessage);
}

// A meshed section the sheet and the export refuse plastic values for lists
// none either, whatever values an earlier computation left behind.
TEST_F(PropertyListsTest, NoPlasticRowsWhereTheSheetAndTheExportHaveNone) {
  plate(0.1);
  meshShape(L"plate");
  ASSERT_TRUE(root()->forceRecalcProperties());
  ASSERT_EQ(PlasticPropertyRows(*root()).size(), 18u);
  // The metal loses its yield values.
  metal->Fcy_L = metal->Fcy_LT = metal->Fty_L = metal->Fty_LT = 0;
  root()->forceRecalcProperties();
  EXPECT_TRUE(root()->isMeshed());
  EXPECT_TRUE(PlasticPropertyRows(*root()).empty());
  SectionSheetPlanResult plan = SectionSheetPlan(*root());
  EXPECT_EQ(plan.pages, (std::vector<SectionSheetPage>{SectionSheetPage::geometric, SectionSheetPage::elastic}));
  EXPECT_TRUE(plan.plasticMessage);

  // Two materials, both meshed, both with yields.
  metal->Fcy_L = metal->Fcy_LT = metal->Fty_L = metal->Fty_LT = 50;
  auto other = alloy();
  other->name = L"other";
  other->E(20000);
  CShapeAnalysis* second = bare(root(), L"second", 4, 0, 2, 2);
  second->material(other);
  model()->materials.AddTail(other);
  meshShape(L"second");
  root()->forceRecalcProperties();
  ASSERT_TRUE(root()->isMultipleMaterials());
  EXPECT_TRUE(PlasticPropertyRows(*root()).empty());
  plan = SectionSheetPlan(*root());
  EXPECT_EQ(plan.pages.size(), 2u);
  EXPECT_TRUE(plan.plasticMessage);
}

}  // namespace
