#include "lorimant/view/BuilderPointTables.h"

#include <cmath>
#include <sstream>
#include <stdexcept>

#include "drevoline/section/CShapeAnalysis.h"
#include "drevoline/section/CXSectionAnalysis.h"
#include "lorimant/document/CXSectionAnalysisDoc.h"
#include "lorimant/view/HeadlessRun.h"

namespace {

// The builder, the example call (its shape or profile named "S") and the
// name of the shape whose points are read.
const struct {
    const char* builder;
    const char* call;
} kExamples[] = {
    {"AddRectangle", "xscn.AddRectangle \"root\",\"S\",4,2,0,0,0,1,0,1"},
    {"AddParallelogram", "xscn.AddParallelogram \"root\",\"S\",4,2,60,90,0,0,0,1,0,1"},
    {"AddTriangle", "xscn.AddTriangle \"root\",\"S\",4,1,3,0,0,0,1,0,1"},
    {"AddSector", "xscn.AddSector \"root\",\"S\",2,90,0,0,0,1,0,1"},
    {"AddFillet", "xscn.AddFillet \"root\",\"S\",2,90,0,0,0,1,0,1"},
    {"AddAnnulus", "xscn.AddAnnulus \"root\",\"S\",3,1,90,0,0,0,1,0,1"},
    {"AddBlend", "xscn.AddBlend \"root\",\"S\",2,1,90,0,0,0,1,0,1"},
    {"AddSectorChord", "xscn.AddSectorChord \"root\",\"S\",2,2,0,0,0,1,0,1"},
    {"AddExtrudedL", "xscn.AddExtrudedL \"root\",\"S\",10,1,8,1.2,0.5,90,0,1,0,0,0,0"},
    {"AddExtrudedT", "xscn.AddExtrudedT \"root\",\"S\",10,1,4,1.2,9,1.2,0.5,0.5,90,0,1,0,0,0,0"},
    {"AddExtrudedC", "xscn.AddExtrudedC \"root\",\"S\",10,1,5,1,0.5,90,5,1,0.5,90,0,1,0,0,0,0,0"},
    {"AddExtrudedZ", "xscn.AddExtrudedZ \"root\",\"S\",10,1,5,1,0.5,90,5,1,0.5,90,0,1,0,0,0,0"},
    {"AddExtrudedJ", "xscn.AddExtrudedJ \"root\",\"S\",10,1,5,1,0.5,90,3,1,6,1,0.5,0.5,90,0,1,0,0,0,0"},
    {"AddIBeam", "xscn.AddIBeam \"root\",\"S\",20,1,5,1.5,10,1.5,1,1,90,5,1.5,10,1.5,1,1,90,0,1,0,0,0,0,0"},
    {"AddFormedL", "xscn.AddFormedL \"root\",\"S\",10,0.5,8,1,90,0,1,0,0,0"},
    {"AddFormedC", "xscn.AddFormedC \"root\",\"S\",10,0.5,5,1,90,5,1,90,0,1,0,0,0"},
    {"AddFormedZ", "xscn.AddFormedZ \"root\",\"S\",10,0.5,5,1,90,5,1,90,0,1,0,0,0"},
};

// A coordinate as the table shows it: to a millionth, with no "-0".
double shown(double v)
{
    const double r = std::round(v * 1e6) / 1e6;
    return r == 0.0 ? 0.0 : r;
}

}  // namespace

std::vector<BuilderPoints> BuilderPointTables()
{
    std::vector<BuilderPoints> tables;
    for (const auto& e : kExamples) {
        BuilderPoints table{e.builder, e.call, {}};
        std::istringstream macro(std::string("xscn.SetUnitSystem QHT_SI\n") + e.call + "\n");
        std::ostringstream out;
        const JournalRunResult r = RunMacroHeadless(macro, out, nullptr, [&](CXSectionAnalysisDoc& doc) {
            const CShapeAnalysis* shape = doc.model() != nullptr ? doc.model()->findShape(CString(L"S")) : nullptr;
            if (shape == nullptr) return;
            for (const Point<double>& p : shape->definingPoints) table.points.push_back({shown(p.x), shown(p.y)});
        });
        if (!r.ok) throw std::runtime_error(std::string(e.builder) + ": " + r.description);
        if (table.points.empty()) throw std::runtime_error(std::string(e.builder) + ": no defining points");
        tables.push_back(std::move(table));
    }
    return tables;
}
