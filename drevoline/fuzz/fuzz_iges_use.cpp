// Fuzz target of an IGES import followed by the use of what it imported:
// the shapes read into the root sub-section are given a metal, united,
// their section properties computed, the sub-section meshed with few nodes,
// and the section written back as IGES and read again into a new model,
// whose properties are computed too.
//
// The input's size picks whether the shapes join the union list on import
// and the mesh element type, as the bytes all belong to the file.
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <limits>
#include <memory>
#include <string>

#include "analysis/geometry/Bspline.h"
#include "analysis/geometry/CCompositeCurve.h"
#include "analysis/model/CMetal.h"
#include "analysis/model/Globals.h"
#include "drevoline/section/CShapeAnalysis.h"
#include "drevoline/section/CSubSection.h"
#include "drevoline/section/CXSectionAnalysis.h"
#include "platform/core/Hooks.h"

namespace {

// Imports larger than this are read and released but not used: legitimate
// big drawings would otherwise take the fuzzer past its time limit.
constexpr int kMaxShapes = 12;
constexpr long kMaxControlPoints = 300;
constexpr int kMeshNodes = 10;

// One pair of scratch files per process: the import and export work on
// files by name.
const std::string& scratchPath(int which)
{
    static const std::string input = "/tmp/lorimant_fuzz_iges_use_" + std::to_string(getpid()) + ".igs";
    static const std::string written = "/tmp/lorimant_fuzz_iges_use_" + std::to_string(getpid()) + "_out.igs";
    return which == 0 ? input : written;
}

// A plain metal, so that the union, the properties and the mesh have one.
std::shared_ptr<CMetal> alloy()
{
    auto m = std::make_shared<CMetal>();
    m->name = L"alloy";
    m->E(10000);
    m->Gshear(10000 / 2.6);
    m->nu(0.3);
    m->Fty_L = m->Fty_LT = m->Fcy_L = m->Fcy_LT = 50;
    m->Ftu_L = m->Ftu_LT = m->Fcu_L = m->Fcu_LT = 60;
    return m;
}

// Any refusal or failure of a step is an answer; only crashes and
// sanitizer reports are findings.
void attempt(const std::function<void()>& step)
{
    try {
        step();
    } catch (...) {
    }
}

// Reads the IGES file into the model's current sub-section; a refusal
// text leaves what was read before it.
void import(CXSectionAnalysis& model, const std::string& path, bool intoCurrent)
{
    vAveVAvezeze = &model;
    CString file(path.c_str());
    attempt([&] { model.readIGES(file, intoCurrent); });
}

// The size of the imported outlines: the largest extent of their control
// points; 0 when there are too many of them or they are not finite.
double extent(const CXSectionAnalysis& model)
{
    if (model.shapes.GetCount() > kMaxShapes) return 0.0;
    long count = 0;
    double lo[2] = {std::numeric_limits<double>::max(), std::numeric_limits<double>::max()};
    double hi[2] = {-lo[0], -lo[1]};
    for (POSITION pos = model.shapes.GetHeadPosition(); pos != nullptr;) {
        const CShapeAnalysis* shape = model.shapes.GetNext(pos);
        if (shape->boundary == nullptr) continue;
        for (POSITION a = shape->boundary->arcs().GetHeadPosition(); a != nullptr;) {
            const auto& points = shape->boundary->arcs().GetNext(a)->controlPoints();
            count += points.GetSize();
            for (INT_PTR i = 0; i < points.GetSize(); ++i) {
                lo[0] = std::min(lo[0], points[i].x);
                hi[0] = std::max(hi[0], points[i].x);
                lo[1] = std::min(lo[1], points[i].y);
                hi[1] = std::max(hi[1], points[i].y);
            }
        }
    }
    const double size = std::max(hi[0] - lo[0], hi[1] - lo[1]);
    if (count == 0 || count > kMaxControlPoints || !std::isfinite(size)) return 0.0;
    return size;
}

// Gives every shape of the model the metal.
void giveMetal(CXSectionAnalysis& model, const std::shared_ptr<CMetal>& metal)
{
    model.materials.AddTail(metal);
    for (POSITION pos = model.shapes.GetHeadPosition(); pos != nullptr;) model.shapes.GetNext(pos)->material(metal);
}

// Unites, computes and meshes the root sub-section, then writes it as IGES.
void use(CXSectionAnalysis& model, double size, std::size_t inputSize)
{
    CSubSection* root = model.rootSubSection();
    if (root == nullptr) return;
    giveMetal(model, alloy());
    attempt([&] { root->Union(-1); });
    attempt([&] { root->computeProperties(); });
    const ELEMENT_TYPE type = inputSize / 2 % 2 == 0 ? TRNG3 : QUAD4;
    attempt([&] { model.meshSubSection(root, type, kMeshNodes, 0.0, size / 5, -1, 100000); });
    CString out(scratchPath(1).c_str());
    CStringA version("2.0");
    attempt([&] { model.writeIGES(out, version); });
}

// Reads the written file into a new model and computes its properties.
void reread()
{
    CXSectionAnalysis again;
    again.initialize();
    import(again, scratchPath(1), true);
    if (extent(again) > 0.0) {
        giveMetal(again, alloy());
        if (CSubSection* root = again.rootSubSection()) attempt([&] { root->computeProperties(); });
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    Hooks::setMessageBox([](const CString&, const CString&, UINT type) { return Hooks::defaultAnswer(type); });
    Hooks::setWaitCursor([](bool) {});
    Hooks::setStatusText([](const CString&) {});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FILE* in = std::fopen(scratchPath(0).c_str(), "wb");
    if (in == nullptr) return 0;
    if (size > 0) std::fwrite(data, 1, size, in);
    std::fclose(in);
    std::remove(scratchPath(1).c_str());
    {
        CXSectionAnalysis model;
        model.initialize();
        import(model, scratchPath(0), size % 2 == 0);
        const double span = extent(model);
        if (span > 0.0) {
            use(model, span, size);
            reread();
            vAveVAvezeze = &model;
        }
    }
    std::remove(scratchPath(0).c_str());
    std::remove(scratchPath(1).c_str());
    return 0;
}
