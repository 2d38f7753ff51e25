// The pages of the "Section Properties" sheet without their windows: which
// pages a sub-section gets, the read-only boxes of each page (column, group,
// label, value, tooltip) and the texts the boxes show.
#pragma once

#include <span>
#include <vector>

#include "platform/core/CString.h"

class CSubSection;

// The sheet's pages, in the order they are added.
enum class SectionSheetPage { geometric, elastic, plastic };

// What the sheet shows for a sub-section: its pages and, when the plastic
// page is left out, the message said once before the sheet opens.
struct SectionSheetPlanResult {
    std::vector<SectionSheetPage> pages;
    bool plasticMessage = false;
};

// The geometric and elastic pages, and the plastic page when sub has
// plastic properties (PlasticPropertiesAvailable: yields, one material, a
// mesh); otherwise the message is due.
SectionSheetPlanResult SectionSheetPlan(const CSubSection& sub);

// The caption and text of the message (information icon) for a section
// without plastic properties; its "\n" are line breaks.
inline constexpr const wchar_t* kPlasticSheetCaption = L"Plastic Section Properties";
inline constexpr const wchar_t* kPlasticSheetMessage =
    L"Plastic Section Properties were not computed because: \n a)A material was not defined for a section "
    L"object(s).\n b) The yield values for the material used was not defined. \n c) Mesh does not exist.\n d) There "
    L"is more than one material used in the section";

// The note at the top of the plastic page.
inline constexpr const wchar_t* kPlasticPageNote =
    L"NOTE: Plastic Geometric Properties require the section have a material applied, and that it is meshed.   It "
    L"does NOT apply to composite (multiple material) sections.   The Plastic Analysis function does however work "
    L"with mutliple materials.";

// The captions of the pages.
inline constexpr const wchar_t* kSectionSheetCaption = L"Section Properties";
inline constexpr const wchar_t* kGeometricPageCaption = L"Geometric Properties";
inline constexpr const wchar_t* kElasticPageCaption = L"Elastic (Modulus Weighted) Properties";
inline constexpr const wchar_t* kPlasticPageCaption = L"Plastic Geometric Properties";

// Where a box takes its number: an automation value identifier (as GetValue),
// a value code of the sub-section (getValue) or one of its getters.
enum class PageSource { valueId, code, getter };

// One read-only box of a page. Boxes of the same column and group share a
// group box (a box with an empty group stands alone); the column's title,
// when not empty, frames the column (the plastic page's two axis systems).
struct PageBox {
    int column;
    const wchar_t* columnTitle;
    const wchar_t* group;
    const wchar_t* label;
    PageSource source;
    int number;                              // the identifier or code
    double (*getter)(const CSubSection&);    // for PageSource::getter
    const wchar_t* tooltip;                  // null: none
};

// The boxes of each page in layout order: 22 geometric boxes (the export's
// geometric values), 18 elastic ones and the 20 plastic ones.
std::span<const PageBox> GeometricPageBoxes();
std::span<const PageBox> ElasticPageBoxes();
std::span<const PageBox> PlasticPageBoxes();

// v with decimals places ("%.*f", C locale); a magnitude below 1e-8 shows
// as 0. Decimals outside 0..15 are taken as the nearest of them.
CString PageValueText(double v, int decimals);

// The number a box shows for sub.
double PageBoxValue(const PageBox& box, const CSubSection& sub);

// The text of every box of a page for sub, in the boxes' order.
std::vector<CString> PageTexts(std::span<const PageBox> boxes, const CSubSection& sub, int decimals);
