// Interoperability check of the IGES writer: Open CASCADE's IGES reader, an
// independent implementation, reads the files we write for a 4 x 2
// rectangle and a circle of radius 1.5 and must find their lengths and
// areas. Exit status 0 when every figure matches within 1e-5 of its value
// (the file keeps six significant digits: a circle's control point 1.2990381
// is written 1.29904, which moves its length by 3.4e-6 of itself).

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>

#include <BRepBuilderAPI_MakeFace.hxx>
#include <BRepBuilderAPI_MakeWire.hxx>
#include <BRepGProp.hxx>
#include <GProp_GProps.hxx>
#include <IFSelect_ReturnStatus.hxx>
#include <IGESControl_Reader.hxx>
#include <Interface_Static.hxx>
#include <TopExp_Explorer.hxx>
#include <TopoDS.hxx>
#include <TopoDS_Edge.hxx>
#include <TopoDS_Face.hxx>
#include <TopoDS_Shape.hxx>
#include <TopoDS_Wire.hxx>

#include "analysis/geometry/Bspline.h"
#include "analysis/geometry/CCompositeCurve.h"
#include "analysis/model/Globals.h"
#include "drevoline/section/CXSectionAnalysis.h"

namespace {

using P = Point<double>;

int failures = 0;

void expectNear(const char* what, double actual, double expected)
{
    const bool ok = std::fabs(actual - expected) <= 1e-5 * std::fabs(expected);
    std::printf("%s %s: %.7f (expected %.7f)\n", ok ? "ok  " : "FAIL", what, actual, expected);
    if (!ok)
        ++failures;
}

// Writes a model holding one outline to path.
void writeOutline(CCompositeCurve* boundary, const std::string& path)
{
    CXSectionAnalysis model;
    model.addShapeToLists(model.rootSubSection(), new CShapeAnalysis(boundary));
    CString file = CString::FromUtf8(path);
    CStringA version("2.0.4");
    model.writeIGES(file, version);
}

// Open CASCADE's total edge length and the area of the face on its edges.
bool measure(const std::string& path, double* length, double* area)
{
    IGESControl_Reader reader;
    Interface_Static::SetCVal("xstep.cascade.unit", "INCH");
    if (reader.ReadFile(path.c_str()) != IFSelect_RetDone)
        return false;
    reader.TransferRoots();
    const TopoDS_Shape shape = reader.OneShape();
    GProp_GProps lin;
    BRepGProp::LinearProperties(shape, lin);
    *length = lin.Mass();
    BRepBuilderAPI_MakeWire wire;
    for (TopExp_Explorer e(shape, TopAbs_EDGE); e.More(); e.Next())
        wire.Add(TopoDS::Edge(e.Current()));
    if (!wire.IsDone())
        return false;
    BRepBuilderAPI_MakeFace face(wire.Wire(), true);
    if (!face.IsDone())
        return false;
    GProp_GProps surf;
    const TopoDS_Shape faceShape = face.Face();
    BRepGProp::SurfaceProperties(faceShape, surf);
    *area = std::fabs(surf.Mass());
    return true;
}

void check(const char* name, CCompositeCurve* boundary, double length, double area)
{
    const std::string path =
        (std::filesystem::temp_directory_path() / (std::string("iges_interop_") + name + "_" +
                                                   std::to_string(getpid()) + ".igs"))
            .string();
    writeOutline(boundary, path);
    double l = 0.0, a = 0.0;
    if (!measure(path, &l, &a)) {
        std::printf("FAIL %s: Open CASCADE could not read or close the outline\n", name);
        ++failures;
    } else {
        expectNear((std::string(name) + " length").c_str(), l, length);
        expectNear((std::string(name) + " area").c_str(), a, area);
    }
    std::filesystem::remove(path);
}

}  // namespace

int main()
{
    gUnitSystem = USCS;  // the files are in inches
    P corners[] = {P(0, 0, 0), P(4, 0, 0), P(4, 2, 0), P(0, 2, 0)};
    auto* rectangle = new CCompositeCurve();
    for (int i = 0; i < 4; ++i)
        rectangle->addArc(new Bspline(&corners[i], &corners[(i + 1) % 4], false));
    check("rectangle", rectangle, 12.0, 8.0);

    P centre(0, 0, 0), start(1.5, 0, 0), normal(0, 0, 1);
    auto* circle = new CCompositeCurve();
    circle->addArc(new Bspline(&centre, &start, &start, &normal));
    check("circle", circle, 2.0 * M_PI * 1.5, M_PI * 1.5 * 1.5);
    return failures == 0 ? 0 : 1;
}
