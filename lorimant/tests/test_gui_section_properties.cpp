// The result pane's property lists filled by the section view's Section
// Properties, and the property sheet opened from the section tree, on a
// meshed 4 x 2 rectangle of a metal with yield values (US customary units).
#include <wx/bookctrl.h>
#include <wx/button.h>
#include <wx/textctrl.h>
#include <wx/tooltip.h>

#include <memory>

#include "analysis/model/CMetal.h"
#include "drevoline/section/CShapeAnalysis.h"
#include "drevoline/section/CSubSection.h"
#include "lorimant/analyses/SectionPropertyLists.h"
#include "lorimant/app/CSectionTreeView.h"
#include "lorimant/tests/test_gui_support.h"
#include "lorimant/ui/COutputWnd.h"
#include "lorimant/ui/CSectionDocView.h"
#include "lorimant/ui/CSectionalProperties.h"
#include "lorimant/view/CThickSectionView.h"
#include "platform/ui/CQHTabCtrl.h"

namespace {

using namespace gui_lorimant_test;

class GuiSectionProperties : public GuiLorimantTest {
 protected:
  void SetUp() override {
    GuiLorimantTest::SetUp();
    if (HasFatalFailure()) return;
    ASSERT_TRUE(start());
    ASSERT_EQ(documents().size(), 1u);
    doc().setUnitSystem(1);
  }
  void TearDown() override {
    CSectionalProperties::SetModalHook(nullptr);
    CSectionTreeView::SetMenuRunner(nullptr);
    GuiLorimantTest::TearDown();
  }

  CXSectionAnalysisDoc& doc() const { return documents()[0]->core(); }
  CSubSection* root() const { return doc().model()->rootSubSection(); }
  CThickSectionView& view() const {
    return *static_cast<CSectionDocView*>(documents()[0]->GetFirstView())->sectionView();
  }

  // A metal with yields and a density.
  static std::shared_ptr<CMetal> yieldingMetal(const wchar_t* name, double E) {
    auto metal = std::make_shared<CMetal>();
    metal->name = name;
    metal->E(E);
    metal->Gshear(E / 2.6);
    metal->nu(0.3);
    metal->density(0.1);
    metal->Fty_L = metal->Fty_LT = metal->Fcy_L = metal->Fcy_LT = 50;
    metal->Ftu_L = metal->Ftu_LT = metal->Fcu_L = metal->Fcu_LT = 60;
    return metal;
  }
  // The 4 x 2 rectangle of a metal with yields and a density, meshed.
  void meshedPlate() {
    CXSectionAnalysis* model = doc().model();
    auto* plate = new CShapeAnalysis(model);
    CString name(L"plate");
    plate->sector(root(), model, name, 0, 0, 4, 2, 0, 90, 90, qhtShapeRectangle, 0, 1, 0.0, false);
    auto metal = yieldingMetal(L"alloy", 10000);
    plate->material(metal);
    model->materials.AddTail(metal);
    root()->meshShape(plate, TRNG3, 5, 0, 0.5, 100000, 0);
    ASSERT_TRUE(root()->isMeshed());
  }

  // Expects the list to show rows, each cell the text ListCellTexts gives.
  void expectCells(CColoredListCtrl& list, const std::vector<PropertyListRow>& rows) {
    ASSERT_EQ(list.GetItemCount(), static_cast<int>(rows.size()));
    for (size_t i = 0; i < rows.size(); ++i) {
      const std::array<CString, 5> cells = ListCellTexts(rows[i], *root());
      for (int column = 0; column < 5; ++column)
        EXPECT_EQ(list.GetItemText(static_cast<long>(i), column), wxString(cells[column].GetString()))
            << "row " << i << " column " << column;
    }
  }
};

TEST_F(GuiSectionProperties, SectionPropertiesFillsBothListsOfTheResultPane) {
  meshedPlate();
  view().OnSectionProperties();
  gui_test::Flush();
  COutputWnd* pane = frame().resultPane();
  ASSERT_NE(pane, nullptr);
  EXPECT_TRUE(frame().panes().GetPane("Section Properties").IsShown());
  EXPECT_EQ(pane->GetId(), 1401);
  EXPECT_EQ(pane->tabs().GetId(), 1401);
  ASSERT_EQ(pane->tabs().GetPageCount(), 2u);
  EXPECT_EQ(pane->tabs().GetPageText(0), "Elastic Properties");
  EXPECT_EQ(pane->tabs().GetPageText(1), "Plastic Properties");
  EXPECT_EQ(pane->tabs().GetPage(0), &pane->elasticList());
  EXPECT_TRUE(pane->tabs().IsTabDetachable(1));

  CScnPropListCtrl& elastic = pane->elasticList();
  ASSERT_EQ(elastic.GetColumnCount(), 5);
  const char* const headings[] = {"Group", "Symbol", "Value", "Units", "Description"};
  for (int c = 0; c < 5; ++c) {
    wxListItem column;
    column.SetMask(wxLIST_MASK_TEXT);
    elastic.GetColumn(c, column);
    EXPECT_EQ(column.GetText(), headings[c]);
  }
  const std::vector<PropertyListRow> rows = ElasticPropertyRows(*root());
  ASSERT_EQ(rows.size(), 25u);
  expectCells(elastic, rows);
  EXPECT_EQ(elastic.GetItemText(0, 2), "8");
  EXPECT_EQ(elastic.GetItemText(7, 2), "2.66667");
  EXPECT_EQ(elastic.GetItemText(0, 3), wxString(L"in\u00b2"));
  ASSERT_EQ(PlasticPropertyRows(*root()).size(), 18u);
  expectCells(pane->plasticList(), PlasticPropertyRows(*root()));

  pane->tabs().SetSelection(0);
  EXPECT_FALSE(gui_test::SaveWindowPng(*pane, "gui_result_pane_elastic").empty());
  pane->tabs().SetSelection(1);
  EXPECT_FALSE(gui_test::SaveWindowPng(*pane, "gui_result_pane_plastic").empty());

  // A change empties both lists; a fill without a sub-section given since
  // the last one leaves them so (the model may have been replaced).
  doc().ModelChanged();
  EXPECT_EQ(elastic.GetItemCount(), 0);
  EXPECT_EQ(pane->plasticList().GetItemCount(), 0);
  frame().FillPropertyLists();
  EXPECT_EQ(elastic.GetItemCount(), 0);
  EXPECT_EQ(elastic.GetColumnCount(), 5);
  EXPECT_TRUE(Hooks::messageBoxes().empty());
}

TEST_F(GuiSectionProperties, DisplaySectionPropertiesOpensTheSheetWithTheModelsPrecision) {
  meshedPlate();
  doc().model()->displayPrecision = 3;
  frame().RefreshSectionTree();
  gui_test::Flush();
  CSectionTreeView& tree = frame().sectionTree();
  int rootRow = -1;
  for (size_t r = 0; r < tree.logic().rows().size(); ++r)
    if (tree.logic().rows()[r].label == CString(L"root")) rootRow = static_cast<int>(r);
  ASSERT_GE(rootRow, 0);
  tree.logic().Click(rootRow);

  int sheets = 0;
  CSectionalProperties::SetModalHook([&](CSectionalProperties& sheet) {
    ++sheets;
    EXPECT_EQ(sheet.GetTitle(), "Section Properties");
    ASSERT_EQ(sheet.pages().size(), 3u);
    wxBookCtrlBase* book = sheet.GetBookCtrl();
    EXPECT_EQ(book->GetPageText(1), "Elastic (Modulus Weighted) Properties");
    EXPECT_EQ(book->GetPageText(2), "Plastic Geometric Properties");
    EXPECT_EQ(sheet.pages()[1]->GetId(), 107);
    EXPECT_EQ(sheet.pages()[2]->GetId(), 113);
    EXPECT_EQ(sheet.FindWindow(wxID_APPLY), nullptr);
    wxTextCtrl* area = sheet.pages()[1]->boxLabelled("Section Area");
    ASSERT_NE(area, nullptr);
    EXPECT_EQ(area->GetValue(), "8.000");
    EXPECT_FALSE(area->IsEditable());
    EXPECT_EQ(sheet.pages()[0]->boxLabelled("Section Area (u^2)")->GetValue(), "8.000");
    EXPECT_EQ(sheet.pages()[0]->boxLabelled("Iy (about Y)")->GetValue(), "42.667");
    wxTextCtrl* zx = sheet.pages()[2]->boxLabelled("Zx");
    ASSERT_NE(zx, nullptr);
    ASSERT_NE(zx->GetToolTip(), nullptr);
    EXPECT_EQ(zx->GetToolTip()->GetTip(),
              "Plastic Section Modulus:  First moment of balanced areas about an axis parallel to the centroidal X "
              "axis. Zx*fy=Mpx");
    // Z of a rectangle about its centroidal x axis: b h^2 / 4 = 4.
    EXPECT_EQ(zx->GetValue(), "4.000");
    const char* const shots[] = {"gui_section_sheet_geometric", "gui_section_sheet_elastic",
                                 "gui_section_sheet_plastic"};
    for (size_t p = 0; p < 3; ++p) {
      book->SetSelection(p);
      EXPECT_FALSE(gui_test::SaveWindowPng(sheet, shots[p]).empty());
    }
    wxWindow* ok = sheet.FindWindow(wxID_OK);
    ASSERT_NE(ok, nullptr);
    wxCommandEvent click(wxEVT_BUTTON, wxID_OK);
    click.SetEventObject(ok);
    ok->GetEventHandler()->ProcessEvent(click);
    EXPECT_FALSE(sheet.IsShown());
  });
  CSectionTreeView::SetMenuRunner([](wxMenu&, wxWindow&, const wxPoint&) {
    return CSectionTreeView::MenuItemId(SectionTreeCommand::DisplaySectionProperties);
  });
  tree.ShowMenu(tree, wxPoint(5, 5));
  gui_test::Flush();
  EXPECT_EQ(sheets, 1);
  EXPECT_TRUE(Hooks::messageBoxes().empty());
}

// Two materials: the message, once, before a sheet of two pages.
TEST_F(GuiSectionProperties, WithoutPlasticPropertiesTheMessageComesBeforeASheetOfTwoPages) {
  meshedPlate();
  auto other = yieldingMetal(L"other", 20000);
  auto* second = new CShapeAnalysis(doc().model());
  CString name(L"second");
  second->sector(root(), doc().model(), name, 4, 0, 2, 2, 0, 90, 90, qhtShapeRectangle, 0, 1, 0.0, false);
  second->material(other);
  doc().model()->materials.AddTail(other);
  // (The mesh of the plate alone is reported as missing the outline.)
  ASSERT_TRUE(root()->forceRecalcProperties());
  Hooks::clearRecords();
  size_t messagesBefore = 0;
  int code = 0;
  CSectionalProperties::SetModalHook([&](CSectionalProperties& sheet) {
    messagesBefore = Hooks::messageBoxes().size();
    EXPECT_EQ(sheet.pages().size(), 2u);
    EXPECT_EQ(sheet.GetBookCtrl()->GetPageCount(), 2u);
  });
  code = ShowSectionPropertySheet(&frame(), *root(), 4);
  EXPECT_EQ(code, IDCANCEL);
  EXPECT_EQ(messagesBefore, 1u);
  ASSERT_EQ(Hooks::messageBoxes().size(), 1u);
  EXPECT_EQ(Hooks::messageBoxes()[0].caption, CString(L"Plastic Section Properties"));
  EXPECT_EQ(Hooks::messageBoxes()[0].type, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
  EXPECT_EQ(Hooks::messageBoxes()[0].text,
            CString(L"Plastic Section Properties were not computed because: \n a)A material was not defined for a "
                    L"section object(s).\n b) The yield values for the material used was not defined. \n c) Mesh "
                    L"does not exist.\n d) There is more than one material used in the section"));
}

}  // namespace
