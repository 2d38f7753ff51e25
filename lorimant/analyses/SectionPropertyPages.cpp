#include "lorimant/analyses/SectionPropertyPages.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

#include "drevoline/section/CSubSection.h"
#include "lorimant/analyses/SectionPropertiesXml.h"
#include "lorimant/analyses/SectionPropertyValues.h"

namespace {

constexpr PageSource kId = PageSource::valueId;
constexpr PageSource kCode = PageSource::code;
constexpr PageSource kGetter = PageSource::getter;

double radiusX(const CSubSection& s) { return s.IrxE(); }
double radiusY(const CSubSection& s) { return s.IryE(); }
double radiusPolar(const CSubSection& s) { return s.IrE(); }

// Area-based values by automation identifier, the export's geometric group.
const PageBox kGeometric[] = {
    {0, L"", L"", L"Section Area (u^2)", kId, 1, nullptr, nullptr},
    {0, L"", L"Center of Area (u)", L"X", kId, 2, nullptr, nullptr},
    {0, L"", L"Center of Area (u)", L"Y", kId, 3, nullptr, nullptr},
    {0, L"", L"MOI Relative to Centroid (u^4)", L"Ix (about Xc)", kId, 6, nullptr, nullptr},
    {0, L"", L"MOI Relative to Centroid (u^4)", L"Iy (about Yc)", kId, 7, nullptr, nullptr},
    {0, L"", L"MOI Relative to Centroid (u^4)", L"Ixy", kId, 8, nullptr, nullptr},
    {0, L"", L"MOI Relative To Axis System (u^4)", L"Ix (about X)", kId, 19, nullptr, nullptr},
    {0, L"", L"MOI Relative To Axis System (u^4)", L"Iy (about Y)", kId, 20, nullptr, nullptr},
    {0, L"", L"MOI Relative To Axis System (u^4)", L"Ixy", kId, 21, nullptr, nullptr},
    {0, L"", L"", L"Principal Angle (deg)", kId, 11, nullptr, nullptr},
    {1, L"", L"Radius of Gyration (u)", L"Kx (About Xc)", kId, 16, nullptr, nullptr},
    {1, L"", L"Radius of Gyration (u)", L"Ky (about Yc)", kId, 17, nullptr, nullptr},
    {1, L"", L"Radius of Gyration (u)", L"Kmin", kId, 14, nullptr, nullptr},
    {1, L"", L"Radius of Gyration (u)", L"Kmax", kId, 15, nullptr, nullptr},
    {1, L"", L"Radius of Gyration (u)", L"Kp (Polar)", kId, 29, nullptr, nullptr},
    {1, L"", L"Principal MOI (u^4)", L"I Min", kId, 10, nullptr, nullptr},
    {1, L"", L"Principal MOI (u^4)", L"I Max", kId, 9, nullptr, nullptr},
    {1, L"", L"Principal MOI (u^4)", L"Ipolar", kId, 18, nullptr, nullptr},
    {1, L"", L"Centroidal Elastic Section Modulii (u^3)", L"Ixc/Ymax", kId, 22, nullptr, nullptr},
    {1, L"", L"Centroidal Elastic Section Modulii (u^3)", L"Iyc/Xmax", kId, 23, nullptr, nullptr},
    {1, L"", L"Principal Elastic Section Modulii (u^3)", L"Ixp/Ymax", kId, 24, nullptr, nullptr},
    {1, L"", L"Principal Elastic Section Modulii (u^3)", L"Iyp/Xmax", kId, 25, nullptr, nullptr},
};

// Modulus-weighted values by the sub-section's own codes and getters.
const PageBox kElastic[] = {
    {0, L"", L"", L"Section Area", kCode, 18, nullptr, nullptr},
    {0, L"", L"Center of Area", L"X", kCode, 135, nullptr, nullptr},
    {0, L"", L"Center of Area", L"Y", kCode, 136, nullptr, nullptr},
    {0, L"", L"Moment of Inertia Relative to Centroidal Axes (u^4)", L"Ix (about Xc)", kCode, 76, nullptr, nullptr},
    {0, L"", L"Moment of Inertia Relative to Centroidal Axes (u^4)", L"Iy (about Yc)", kCode, 74, nullptr, nullptr},
    {0, L"", L"Moment of Inertia Relative to Centroidal Axes (u^4)", L"Ixy", kCode, 75, nullptr, nullptr},
    {0, L"", L"Moment of Inertia Relative to Centroidal Axes (u^4)", L"Ipolar", kCode, 189, nullptr, nullptr},
    {0, L"", L"", L"Principal Angle", kCode, 40, nullptr, nullptr},
    {1, L"", L"Principal Moment of Inertia (u^4)", L"I Min", kCode, 119, nullptr, nullptr},
    {1, L"", L"Principal Moment of Inertia (u^4)", L"I Max", kCode, 118, nullptr, nullptr},
    {1, L"", L"MOI Relative To Axis System (u^4)", L"Iy (about Y)", kCode, 86, nullptr, nullptr},
    {1, L"", L"MOI Relative To Axis System (u^4)", L"Ix (about X)", kCode, 87, nullptr, nullptr},
    {1, L"", L"MOI Relative To Axis System (u^4)", L"Ixy", kCode, 88, nullptr, nullptr},
    {1, L"", L"Radius of Gyration (u)", L"Kp (Polar)", kGetter, 0, radiusPolar, nullptr},
    {1, L"", L"Radius of Gyration (u)", L"Kx (About Xc)", kGetter, 0, radiusX, nullptr},
    {1, L"", L"Radius of Gyration (u)", L"Ky (about Yc)", kGetter, 0, radiusY, nullptr},
    {1, L"", L"Radius of Gyration (u)", L"Kmin", kCode, 185, nullptr, nullptr},
    {1, L"", L"Radius of Gyration (u)", L"Kmax", kCode, 184, nullptr, nullptr},
};

constexpr const wchar_t* kCentroidal = L"Centroidal Axes System";
constexpr const wchar_t* kPrincipal = L"Principal Axes System";
constexpr const wchar_t* kAxes = L"Plastic Neutral Axes";
constexpr const wchar_t* kModuli = L"Plastic Section Modulus (u^3)";
constexpr const wchar_t* kCapacities = L"Moment Capacities";
constexpr const wchar_t* kYield = L"Yield Moments";

// The plastic values by automation identifier, in two axis systems; the
// tooltips keep their double blanks.
const PageBox kPlastic[] = {
    {0, kCentroidal, kAxes, L"X", kId, 64, nullptr,
     L"In the centroidal axis system, the X  of vertical axis of the plastic hinge (sum of yield forces balance on "
     L"either side)"},
    {0, kCentroidal, kAxes, L"Y", kId, 65, nullptr,
     L"In the centroidal axis system, the Y  of horizontal axis of the plastic hinge (sum of yield forces balance on "
     L"either side)"},
    {0, kCentroidal, kModuli, L"Zx", kId, 38, nullptr,
     L"Plastic Section Modulus:  First moment of balanced areas about an axis parallel to the centroidal X axis. "
     L"Zx*fy=Mpx"},
    {0, kCentroidal, kModuli, L"Zy", kId, 39, nullptr,
     L"Plastic Section Modulus:  First moment of balanced areas about an axis parallel to the centroidal Y axis. "
     L"Zy*fy=Mpy"},
    {0, kCentroidal, L"Shape \"K\" Factors  2 Q/(I/c)", L"Kx", kId, 34, nullptr,
     L"Shape factor (ratio of plastic moment to yield moment Mp/My) about the centroidal X axis.  Mpx = Kx*Myx"},
    {0, kCentroidal, L"Shape \"K\" Factors  2 Q/(I/c)", L"Ky", kId, 35, nullptr,
     L"Shape factor (ratio of plastic moment to yield moment Mp/My) about the centroidal Y axis. Mpy = ky*Myy"},
    {0, kCentroidal, kCapacities, L"MxCapacity", kId, 40, nullptr, nullptr},
    {0, kCentroidal, kCapacities, L"MyCapacity", kId, 41, nullptr, nullptr},
    {0, kCentroidal, kYield, L"Mx", kId, 42, nullptr, nullptr},
    {0, kCentroidal, kYield, L"My", kId, 43, nullptr, nullptr},
    {1, kPrincipal, kAxes, L"X", kId, 66, nullptr, nullptr},
    {1, kPrincipal, kAxes, L"Y", kId, 67, nullptr, nullptr},
    {1, kPrincipal, kModuli, L"Zxp", kId, 44, nullptr,
     L"Plastic Section Modulus:  First moment of balanced areas about an axis parallel to the principal X axis. "
     L"Zx*fy=Mpx"},
    {1, kPrincipal, kModuli, L"Zyp", kId, 45, nullptr,
     L"Plastic Section Modulus:  First moment of balanced areas about an axis parallel to the principal Y axis. "
     L"Zy*fy=Mpy"},
    {1, kPrincipal, L"Shape \"K\" Factors", L"Kxp", kId, 36, nullptr,
     L"Shape factor (ratio of plastic moment to yield moment Mp/My) about the principal X axis. Mpx = Kx*Myx"},
    {1, kPrincipal, L"Shape \"K\" Factors", L"Kyp", kId, 37, nullptr,
     L"Shape factor (ratio of plastic moment to yield moment Mp/My) about the principal Y axis. Mpy = Ky*Mpy"},
    {1, kPrincipal, kCapacities, L"MxpCapacity", kId, 46, nullptr, nullptr},
    {1, kPrincipal, kCapacities, L"MypCapacity", kId, 47, nullptr, nullptr},
    {1, kPrincipal, kYield, L"Mxp", kId, 48, nullptr, nullptr},
    {1, kPrincipal, kYield, L"Myp", kId, 49, nullptr, nullptr},
};

}  // namespace

SectionSheetPlanResult SectionSheetPlan(const CSubSection& sub)
{
    SectionSheetPlanResult plan;
    plan.pages = {SectionSheetPage::geometric, SectionSheetPage::elastic};
    if (PlasticPropertiesAvailable(sub))
        plan.pages.push_back(SectionSheetPage::plastic);
    else
        plan.plasticMessage = true;
    return plan;
}

std::span<const PageBox> GeometricPageBoxes() { return kGeometric; }
std::span<const PageBox> ElasticPageBoxes() { return kElastic; }
std::span<const PageBox> PlasticPageBoxes() { return kPlastic; }

CString PageValueText(double v, int decimals)
{
    if (std::fabs(v) < 1e-8) v = 0.0;
    // "%.*f" in the C locale: up to 309 digits before the point.
    std::string text(400, '\0');
    const auto result =
        std::to_chars(text.data(), text.data() + text.size(), v, std::chars_format::fixed, std::clamp(decimals, 0, 15));
    text.resize(static_cast<std::size_t>(result.ptr - text.data()));
    return CString(text.c_str());
}

double PageBoxValue(const PageBox& box, const CSubSection& sub)
{
    switch (box.source) {
    case PageSource::valueId: return SectionPropertyValue(sub, box.number).value_or(0.0);
    case PageSource::code: return sub.getValue(box.number);
    case PageSource::getter: return box.getter(sub);
    }
    return 0.0;
}

std::vector<CString> PageTexts(std::span<const PageBox> boxes, const CSubSection& sub, int decimals)
{
    std::vector<CString> texts;
    texts.reserve(boxes.size());
    for (const PageBox& box : boxes) texts.push_back(PageValueText(PageBoxValue(box, sub), decimals));
    return texts;
}
