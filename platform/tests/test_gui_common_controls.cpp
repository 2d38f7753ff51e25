// The common controls on the screen: the list with alternating row
// colours (also below its last row), its columns and items, the static text
// in its own colours, and the tab control that lets every tab change.
#include <gtest/gtest.h>

#include <wx/dialog.h>
#include <wx/imaglist.h>
#include <wx/panel.h>
#include <wx/sizer.h>
#include <wx/uiaction.h>

#include <algorithm>
#include <string>

#include "platform/tests/GuiTestSupport.h"
#include "platform/ui/CColorStatic.h"
#include "platform/ui/CColoredListCtrl.h"
#include "platform/ui/CQHTabCtrl.h"

namespace {

// A shown dialog with one control filling it, destroyed at the end.
class ControlDialog {
public:
    explicit ControlDialog(const wxString& title, const wxSize& size = wxSize(360, 240))
        : dialog(new wxDialog(nullptr, wxID_ANY, title, wxDefaultPosition, size))
    {
    }
    ~ControlDialog()
    {
        dialog->Destroy();
        gui_test::Settle();
    }
    // Lays out the control over the client area and shows the dialog.
    void show(wxWindow* control)
    {
        auto* sizer = new wxBoxSizer(wxVERTICAL);
        sizer->Add(control, 1, wxEXPAND | wxALL, 8);
        dialog->SetSizer(sizer);
        dialog->Layout();
        dialog->Show();
        dialog->Raise();
        gui_test::Settle();
    }
    // The dialog as a picture, written to <name>.png.
    wxImage picture(const std::string& name)
    {
        const auto file = gui_test::SaveWindowPng(*dialog, name);
        EXPECT_FALSE(file.empty());
        return wxImage(wxString::FromUTF8(file.string()), wxBITMAP_TYPE_PNG);
    }
    wxPoint inDialog(const wxWindow& window, const wxPoint& client) const
    {
        return dialog->ScreenToClient(window.ClientToScreen(client));
    }

    wxDialog* dialog;
};

::testing::AssertionResult hasColour(const wxImage& image, const wxPoint& at, int r, int g, int b)
{
    const int ir = image.GetRed(at.x, at.y);
    const int ig = image.GetGreen(at.x, at.y);
    const int ib = image.GetBlue(at.x, at.y);
    if (ir == r && ig == g && ib == b)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "pixel (" << at.x << ", " << at.y << ") is " << ir << ", " << ig << ", "
                                         << ib << " instead of " << r << ", " << g << ", " << b;
}

// A 16 x 16 bitmap of one colour.
wxBitmap solid(const wxColour& colour)
{
    wxImage image(16, 16);
    image.SetRGB(wxRect(0, 0, 16, 16), colour.Red(), colour.Green(), colour.Blue());
    return wxBitmap(image);
}

class GuiCommonControls : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(gui_test::StartWx()) << "wx could not start: the GUI tests need a display (xvfb-run)";
    }
};

} // namespace

TEST_F(GuiCommonControls, ColoredListAlternatesRowColoursAlsoBelowTheLastRow)
{
    ControlDialog d("Coloured list");
    auto* list = new CColoredListCtrl(d.dialog);
    EXPECT_EQ(list->AddColumn(L"Property", 0), 0);
    EXPECT_EQ(list->AddColumn(L"Value", 1, -1, LVCF_TEXT | LVCF_SUBITEM | LVCF_FMT, LVCFMT_RIGHT), 1);
    EXPECT_EQ(list->AddColumn(L"Unit", 2, 7), 2);
    EXPECT_EQ(list->AddColumn(L"Note", 3, 5, LVCF_TEXT), 3);
    // Sub-item -1 means the column's own index; without LVCF_SUBITEM there is none.
    EXPECT_EQ(list->GetColumnSubItem(0), 0);
    EXPECT_EQ(list->GetColumnSubItem(1), 1);
    EXPECT_EQ(list->GetColumnSubItem(2), 7);
    EXPECT_EQ(list->GetColumnSubItem(3), -1);
    // Each column as wide as its heading's text plus 15.
    const char* headings[] = {"Property", "Value", "Unit", "Note"};
    for (int c = 0; c < 4; ++c)
        EXPECT_EQ(list->GetColumnWidth(c), list->GetTextExtent(headings[c]).x + 15) << headings[c];
    const wchar_t* rows[][2] = {{L"Area", L"12.5"}, {L"Ixx", L"340.25"}, {L"Iyy", L"98.0"}};
    for (int r = 0; r < 3; ++r) {
        EXPECT_EQ(list->AddItem(r, 0, rows[r][0]), r);
        EXPECT_NE(list->AddItem(r, 1, rows[r][1]), 0);
    }
    EXPECT_EQ(list->AddItem(7, 1, L"no such row"), 0);
    EXPECT_EQ(list->AddItem(-1, 0, L"no such row"), -1);
    list->SetColumnWidth(1, 90);  // the values are wider than their heading
    d.show(list);

    const wxImage image = d.picture("gui_colored_list");
    ASSERT_TRUE(image.IsOk());
    wxRect row0;
    ASSERT_TRUE(list->GetItemRect(0, row0));
    const int height = row0.height;
    // Sample near the right edge of the list, past every text.
    const int x = list->GetClientSize().x - 6;
    for (int r = 0; r < 6; ++r) {
        SCOPED_TRACE(r);  // rows 3 to 5 lie below the last item
        const wxPoint at = d.inDialog(*list, wxPoint(x, row0.y + r * height + height / 2));
        if (r % 2 == 0)
            EXPECT_TRUE(hasColour(image, at, 240, 247, 249));
        else
            EXPECT_TRUE(hasColour(image, at, 229, 232, 239));
    }
    // The text is black.
    int black = 0;
    for (int px = row0.x; px < row0.x + list->GetColumnWidth(0); ++px)
        for (int py = row0.y; py < row0.y + height; ++py) {
            const wxPoint at = d.inDialog(*list, wxPoint(px, py));
            black += image.GetRed(at.x, at.y) < 60 && image.GetGreen(at.x, at.y) < 60 && image.GetBlue(at.x, at.y) < 60;
        }
    EXPECT_GT(black, 5);
}

TEST_F(GuiCommonControls, ColoredListItemImagesAndWidthsToContents)
{
    ControlDialog d("Coloured list images");
    auto* list = new CColoredListCtrl(d.dialog);
    wxImageList images(16, 16, false, 4);
    for (const wxColour& colour : {*wxRED, *wxGREEN, *wxBLUE, wxColour(255, 0, 255)})
        images.Add(solid(colour));
    list->SetImageList(&images, wxIMAGE_LIST_SMALL);
    list->AddColumn(L"Shape", 0);
    list->AddColumn(L"Material", 1);
    list->AddColumn(L"Kept", 2);
    const int keptWidth = list->GetColumnWidth(2);

    // An empty list sizes the first two columns to 0 and leaves the third.
    list->adjustWidths(2);
    EXPECT_EQ(list->GetColumnWidth(0), 0);
    EXPECT_EQ(list->GetColumnWidth(1), 0);
    EXPECT_EQ(list->GetColumnWidth(2), keptWidth);

    EXPECT_EQ(list->AddItem(0, 0, L"Disk", 3), 0);
    EXPECT_EQ(list->AddItem(1, 0, L"Rectangle with a long name"), 1);
    EXPECT_NE(list->AddItem(0, 1, L"Steel"), 0);
    wxListItem item;
    item.SetId(0);
    item.SetMask(wxLIST_MASK_IMAGE);
    ASSERT_TRUE(list->GetItem(item));
    EXPECT_EQ(item.GetImage(), 3);
    item.SetId(1);
    ASSERT_TRUE(list->GetItem(item));
    EXPECT_EQ(item.GetImage(), -1);

    // The widest cell text, no margin; the heading is not measured.
    list->adjustWidths(2);
    EXPECT_EQ(list->GetColumnWidth(0), list->GetTextExtent("Rectangle with a long name").x);
    EXPECT_EQ(list->GetColumnWidth(1), list->GetTextExtent("Steel").x);
    // (The list draws a cell's text inside a padding, so widths without a
    // margin cut the widest texts short: the picture uses wider columns.)
    list->SetColumnWidth(0, 220);
    list->SetColumnWidth(1, 80);
    d.show(list);

    const wxImage image = d.picture("gui_colored_list_images");
    ASSERT_TRUE(image.IsOk());
    wxRect icon;
    ASSERT_TRUE(list->GetSubItemRect(0, 0, icon, wxLIST_RECT_ICON));
    const wxPoint at = d.inDialog(*list, wxPoint(icon.x + icon.width / 2, icon.y + icon.height / 2));
    EXPECT_TRUE(hasColour(image, at, 255, 0, 255));  // image 3
    list->SetImageList(nullptr, wxIMAGE_LIST_SMALL);
}

TEST_F(GuiCommonControls, ColorStaticShowsItsOwnColours)
{
    ControlDialog d("Coloured text", wxSize(300, 100));
    auto* label = new CColorStatic(d.dialog, wxID_ANY, "Yield stress below the allowable");
    label->SetBkColor(RGB(255, 255, 0));
    label->SetTextColor(RGB(255, 0, 0));
    EXPECT_EQ(label->GetBkColor(), RGB(255, 255, 0));
    EXPECT_EQ(label->GetTextColor(), RGB(255, 0, 0));
    d.show(label);

    const wxImage image = d.picture("gui_color_static");
    ASSERT_TRUE(image.IsOk());
    EXPECT_TRUE(hasColour(image, d.inDialog(*label, wxPoint(1, 1)), 255, 255, 0));
    int red = 0;
    const wxSize size = label->GetClientSize();
    for (int x = 0; x < size.x; ++x)
        for (int y = 0; y < size.y; ++y) {
            const wxPoint at = d.inDialog(*label, wxPoint(x, y));
            red += image.GetRed(at.x, at.y) > 200 && image.GetGreen(at.x, at.y) < 60 && image.GetBlue(at.x, at.y) < 60;
        }
    EXPECT_GT(red, 20);
}

TEST_F(GuiCommonControls, TabControlChangesTabsByClickAndAllowsEveryChange)
{
    ControlDialog d("Tabs", wxSize(400, 220));
    auto* tabs = new CQHTabCtrl(d.dialog);
    wxImageList images(16, 16, false, 2);
    images.Add(solid(*wxBLUE));
    images.Add(solid(*wxGREEN));
    tabs->SetImageList(&images);
    const wxColour colours[] = {wxColour(250, 200, 200), wxColour(200, 250, 200), wxColour(200, 200, 250)};
    const char* labels[] = {"Properties", "Stresses", "Materials"};
    wxPanel* pages[3];
    for (int i = 0; i < 3; ++i) {
        pages[i] = new wxPanel(d.dialog);
        pages[i]->SetBackgroundColour(colours[i]);
        ASSERT_TRUE(tabs->AddTab(pages[i], labels[i], i < 2 ? i : -1, i != 1));
    }
    EXPECT_TRUE(tabs->IsTabDetachable(0));
    EXPECT_FALSE(tabs->IsTabDetachable(1));
    EXPECT_TRUE(tabs->IsTabDetachable(2));
    EXPECT_FALSE(tabs->IsTabDetachable(3));
    // A window above that would veto changes never gets the chance.
    d.dialog->Bind(wxEVT_AUINOTEBOOK_PAGE_CHANGING, [](wxAuiNotebookEvent& event) { event.Veto(); });
    d.show(tabs);
    EXPECT_EQ(tabs->GetSelection(), 0);

    wxAuiTabCtrl* strip = nullptr;
    for (wxWindow* child : tabs->GetChildren())
        if (auto* t = dynamic_cast<wxAuiTabCtrl*>(child))
            strip = t;
    ASSERT_NE(strip, nullptr);
    wxUIActionSimulator sim;
    for (int target : {2, 1}) {
        const wxRect tab = strip->GetPage(target).rect;
        sim.MouseMove(strip->ClientToScreen(wxPoint(tab.x + tab.width / 2, tab.y + tab.height / 2)));
        gui_test::Settle();
        sim.MouseClick();
        gui_test::Settle();
        EXPECT_TRUE(gui_test::Eventually([&] { return tabs->GetSelection() == target; })) << target;
        EXPECT_TRUE(pages[target]->IsShown());
    }
    const wxImage image = d.picture("gui_tab_control");
    ASSERT_TRUE(image.IsOk());
    const wxPoint inside = d.inDialog(*pages[1], wxPoint(20, 20));
    EXPECT_TRUE(hasColour(image, inside, 200, 250, 200));
    // Tab 0 shows image 0 (blue), tab 2 none.
    const auto bluePixels = [&](int index) {
        const wxRect tab = strip->GetPage(index).rect;
        int count = 0;
        for (int x = tab.x; x < tab.GetRight(); ++x)
            for (int y = tab.y; y < tab.GetBottom(); ++y) {
                const wxPoint at = d.inDialog(*strip, wxPoint(x, y));
                count += image.GetRed(at.x, at.y) == 0 && image.GetGreen(at.x, at.y) == 0 && image.GetBlue(at.x, at.y) == 255;
            }
        return count;
    };
    EXPECT_GE(bluePixels(0), 100);
    EXPECT_EQ(bluePixels(2), 0);
    tabs->SetImageList(nullptr);
}
