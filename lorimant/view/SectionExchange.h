// What the section view's exchange commands write, apart from their
// questions: the text export of the shapes as polygons, the two metals a new
// material database starts with, and the safe replacement of a file that
// the IGES export writes.
#pragma once

#include <array>
#include <filesystem>
#include <functional>
#include <iosfwd>

#include "lorimant/automation/MaterialRecord.h"
#include "platform/core/CString.h"

class CCompositeCurve;
class CSubSection;
class CXSectionAnalysis;

// ---- polygon export ----

// One property line of the polygon export: its label (trailing blanks
// included) and the automation value identifier whose GetValue value it
// shows.
struct PolygonPropertyLine {
  const char* label;
  int valueId;
};

// The 19 property lines in file order.
const std::array<PolygonPropertyLine, 19>& PolygonPropertyLines();

// The chord tolerance of an outline's polygon in the export: 0.5 for an
// outline of straight arcs only; otherwise, from 0.5, the estimate is
// taken and the tolerance shrunk by 0.9 after it, until the estimate
// reaches 300 points or its chord is within target.
double PolygonExportTolerance(const CCompositeCurve& outline, double target);

// Writes the polygon export of sub to out: the header, the number of
// shapes of sub's tree, each shape's polygon and sign, and the property
// lines with sub's values as they are (nothing is recomputed). Numbers in
// the stream's default form, in the C locale. The outlines' polygon caches
// are rebuilt at the export's tolerance.
void WritePolygonExport(std::ostream& out, const CSubSection& sub);

// ---- material database ----

// The file name of a material database made by Create New Database.
inline constexpr const wchar_t* kMaterialDatabaseName = L"Quenholt.sqldb";

// The two metals a new material database starts with ("Aluminum Default"
// and "Steel Default"), in "USCSin" units, not isotropic.
std::array<MaterialRecord, 2> DefaultMetals();

// ---- IGES export ----

// Writes the IGES file of model's current sub-section at path with the
// version text; throws the writer's failures.
using IgesFileWriter = std::function<void(CXSectionAnalysis& model, CString& path, CStringA& version)>;
// The writer the IGES export uses (CXSectionAnalysis::writeIGES unless replaced).
const IgesFileWriter& CurrentIgesFileWriter();
// Replaces the writer (tests inject failures); null restores writeIGES.
void SetIgesFileWriter(IgesFileWriter writer);

// Writes target through write, which is given a new file beside target to
// fill, and moves that file over target once it is filled; the old target
// stays as it was until then. A failure of write (thrown) or a file it
// left empty or missing removes the new file: what write threw passes on,
// an empty file throws std::runtime_error "Unable to write <target>".
// False, the new file removed and target untouched, when the move fails.
bool ReplaceFileWith(const std::filesystem::path& target,
                     const std::function<void(const std::filesystem::path& fresh)>& write);
