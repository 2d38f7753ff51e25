// The files of the section view's exchange commands: the polygon export,
// the default metals of a new material database and the replacement of a
// file only once its successor is written.
#include "lorimant/view/SectionExchange.h"

#include <unistd.h>

#include <locale>
#include <ostream>
#include <stdexcept>
#include <string>
#include <system_error>

#include "analysis/geometry/Bspline.h"
#include "analysis/geometry/CCompositeCurve.h"
#include "drevoline/section/CShapeAnalysis.h"
#include "drevoline/section/CSubSection.h"
#include "drevoline/section/CXSectionAnalysis.h"
#include "lorimant/analyses/SectionPropertyValues.h"
#include "lorimant/automation/LorimantTypeLibrary.h"
#include "lorimant/document/LorimantVersion.h"

namespace {

namespace fs = std::filesystem;

// The export's refinement of curved outlines: start, shrink factor, the
// point count that is enough, and the share of the section's extent that
// a chord may reach.
constexpr double kStartTolerance = 0.5;
constexpr double kToleranceShrink = 0.9;
constexpr int kEnoughPoints = 300;
constexpr double kTargetShare = 1.0 / 1000.0;
// A polygon whose second-to-last point is this close to its first already
// closes there: its last point repeats the first and is left out.
constexpr double kClosedGap = 1e-6;

constexpr const char* kAsterisks = "******************************************************************";

// Each label names the axis its value is about. "Ixc" is the second moment
// about the centroidal x axis, the integral of (y - ybar)^2 dA, as GetValue's
// SA_Area2ndMomentOfInertiaAboutXc gives it; the XML export's "IxxC" shows
// the other one, the integral of (x - xbar)^2 dA. GetValue's section moduli
// X and Y are named by the direction of their extreme fibre: modulus X is
// Iyc / |x|max, the modulus about the y axis, so the modulus about Xc is
// its modulus Y (Ixc / |y|max), and likewise for the principal axes.
const std::array<PolygonPropertyLine, 19> kPropertyLines = {{
    {"Area ", SA_Area},
    {"CGx ", SA_AreaCGx},
    {"CGy ", SA_AreaCGy},
    {"Ixc ", SA_Area2ndMomentOfInertiaAboutXc},
    {"Iyc ", SA_Area2ndMomentOfInertiaAboutYc},
    {"Ixyc ", SA_Area2ndMomentOfInertiaAboutXcYc},
    {"Imin ", SA_AreaMinumum2ndMomentOfInertia},
    {"Imax  ", SA_AreaMaximum2ndMomentOfInertia},
    {"Ipolar  ", SA_AreaPolarMomentOfInertia},
    {"PrincipalAngle ", SA_AreaPrincipalAngle},
    {"PolarRadiusGyration ", SA_AreaPolarRadiusGyration},
    {"RadiusGyrationAboutX ", SA_AreaRadiusGyrationAboutX},
    {"RadiusGyrationAboutY ", SA_AreaRadiusGyrationAboutY},
    {"MinRadiusGyration ", SA_AreaRadiusGyrationAboutPrincipalMin},
    {"MaxRadiusGyration ", SA_AreaRadiusGyrationAboutPrincipalMax},
    {"ElasticSectionModulusAboutXc ", SA_AreaElasticSectionModulusY},
    {"ElasticSectionModulusAboutYc ", SA_AreaElasticSectionModulusX},
    {"ElasticSectionModulusAboutXp ", SA_AreaElasticSectionModulusYp},
    {"ElasticSectionModulusAboutYp ", SA_AreaElasticSectionModulusXp},
}};

// The distance between the two extreme fibres about the centroid.
double extremeFibreDistance(const CSubSection& sub) {
  Point<double> low, high;
  sub.extremeFibersFromCG(&low, &high, false);
  return (high - low).length();
}

void writePolygon(std::ostream& out, const CShapeAnalysis& shape, double target) {
  CCompositeCurve& outline = *shape.boundary;
  outline.polygon(false, PolygonExportTolerance(outline, target), -1.0);
  const CArray<Point<double>>& points = outline.polygonPoints();
  INT_PTR count = points.GetSize();
  if (count >= 2 && (points[count - 2] - points[0]).length() <= kClosedGap) --count;
  out << "Begin Polygon for " << shape.name().ToUtf8() << '\n';
  for (INT_PTR i = 0; i < count; ++i) out << points[i].x << ' ' << points[i].y << '\n';
  out << "End Polygon\n";
  out << "Sign " << (shape.isNegative() ? -1 : 1) << '\n';
}

// One default metal: the texts of the table (size empty, units "USCSin",
// UNS "A92024" for both) and the 37 numbers in database order.
MaterialRecord metal(const wchar_t* name, const wchar_t* family, const wchar_t* form, const wchar_t* temper,
                     const wchar_t* spec, const std::array<double, CMetal::kRecordValueCount>& numbers) {
  MaterialRecord record;
  const std::array<CString*, 8> texts = record.texts();
  const wchar_t* given[8] = {name, family, form, temper, L"", spec, L"USCSin", L"A92024"};
  for (std::size_t i = 0; i < texts.size(); ++i) *texts[i] = given[i];
  record.metal.isotropic = false;
  const auto slots = record.values();
  for (std::size_t i = 0; i < numbers.size(); ++i) *slots[i] = numbers[i];
  return record;
}

IgesFileWriter& igesWriter() {
  static IgesFileWriter writer;
  return writer;
}

// A name beside target that no file has yet.
fs::path freshNameBeside(const fs::path& target) {
  const std::string stem = "." + target.filename().string() + "." + std::to_string(::getpid()) + ".";
  for (unsigned n = 0;; ++n) {
    fs::path candidate = target.parent_path() / (stem + std::to_string(n) + ".tmp");
    std::error_code error;
    if (!fs::exists(fs::symlink_status(candidate, error))) return candidate;
  }
}

}  // namespace

const std::array<PolygonPropertyLine, 19>& PolygonPropertyLines() { return kPropertyLines; }

double PolygonExportTolerance(const CCompositeCurve& outline, double target) {
  double tolerance = kStartTolerance;
  if (outline.isLinear()) return tolerance;
  int count = 0;
  double chord = 0.0;
  do {
    count = outline.estimatePolygonPtCount(tolerance, &chord);
    tolerance *= kToleranceShrink;
  } while (count < kEnoughPoints && chord > target);
  return tolerance;
}

void WritePolygonExport(std::ostream& out, const CSubSection& sub) {
  out.imbue(std::locale::classic());
  const std::unique_ptr<ShapeList> shapes = sub.getShapesRecursive();
  out << kAsterisks << '\n' << "Quenholt\n";
  out << "Version" << kLorimantVersionMajor << '.' << kLorimantVersionMinor << '\n';
  out << kAsterisks << '\n';
  out << "Number Shapes " << shapes->GetCount() << '\n';
  const double target = extremeFibreDistance(sub) * kTargetShare;
  for (POSITION pos = shapes->GetHeadPosition(); pos != nullptr;) {
    const CShapeAnalysis* shape = shapes->GetNext(pos);
    if (shape->boundary != nullptr) writePolygon(out, *shape, target);
  }
  for (const PolygonPropertyLine& line : kPropertyLines)
    out << line.label << SectionPropertyValue(sub, line.valueId).value_or(0.0) << '\n';
}

std::array<MaterialRecord, 2> DefaultMetals() {
  return {
      metal(L"Aluminum Default", L"Aluminum Alloys", L"Clad Sheet", L"T3", L"AMS-QQ-A-250/5",
            {10000000, 10200000, 0.101, -1, 62000, 62000, 45000, 45000, 37000, 37000, 62000, 62000, 40000,
             40000, 0.33, 4000000, 105000, 131000, 75000, 90000, 0.5, 0.5, 0, 0.002, 0.002, 0.002, 0.002, 50, 50,
             13, 13, 12.6969847, 12.6969847, 7.8824039, 7.8824039, 0.12, -0.12}),
      metal(L"Steel Default", L"Steel Alloys", L"Strip", L"", L"AMS-5046, Type 2",
            {2.85e7, 2.92e7, 0.283, -1, 170000, 170000, 155000, 155000, 155000, 155000, 170000, 170000, 156000,
             156000, 0.32, 11000000, 347000, 440000, 312000, 346000, 0, 0.5, 0.7, 0.002, 0.002, 0.002, 0.002, 13,
             13, 13, 13, 32.430709, 32.430709, 32.430709, 32.430709, 0.02, -0.02}),
  };
}

const IgesFileWriter& CurrentIgesFileWriter() {
  static const IgesFileWriter standard = [](CXSectionAnalysis& model, CString& path, CStringA& version) {
    model.writeIGES(path, version);
  };
  return igesWriter() ? igesWriter() : standard;
}

void SetIgesFileWriter(IgesFileWriter writer) { igesWriter() = std::move(writer); }

bool ReplaceFileWith(const fs::path& target, const std::function<void(const fs::path& fresh)>& write) {
  const fs::path fresh = freshNameBeside(target);
  std::error_code error;
  try {
    write(fresh);
  } catch (...) {
    fs::remove(fresh, error);
    throw;
  }
  const std::uintmax_t size = fs::file_size(fresh, error);
  if (error || size == 0) {
    fs::remove(fresh, error);
    throw std::runtime_error("Unable to write " + target.string());
  }
  fs::rename(fresh, target, error);
  if (!error) return true;
  fs::remove(fresh, error);
  return false;
}
