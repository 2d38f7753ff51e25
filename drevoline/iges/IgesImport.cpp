// IGES entity import: composite curves, trimmed surfaces and the shapes
// made from the closed outlines.

#include "drevoline/iges/IgesImport.h"

#include <cstdio>
#include <exception>

#include "analysis/geometry/Bspline.h"
#include "analysis/geometry/Bsurface.h"
#include "analysis/geometry/CCompositeCurve.h"
#include "analysis/geometry/Matrix.h"
#include "drevoline/iges/IgesReader.h"
#include "drevoline/section/CShapeAnalysis.h"
#include "platform/core/Exceptions.h"

std::vector<CShapeAnalysis*> importedShapes;

IgesEntity::IgesEntity() = default;
IgesEntity::~IgesEntity() = default;
IgesEntity::IgesEntity(IgesEntity&&) noexcept = default;
IgesEntity& IgesEntity::operator=(IgesEntity&&) noexcept = default;

namespace {

IgesReaderState& S = gIgesReader;

std::unordered_map<const CDirectoryEntry*, IgesEntity> gEntities;
std::unordered_map<int, CDirectoryEntry*> gBySequence;
size_t gIndexedEntries = 0;

// The matrix entity named by an entry's transformation pointer; null when none.
IgesEntity* matrixOf(const CDirectoryEntry* entry)
{
    if (entry->transformationMatrix == 0)
        return nullptr;
    CDirectoryEntry* m = findIgesEntry(entry->transformationMatrix);
    if (m == nullptr || m == entry)
        return nullptr;
    IgesEntity& e = igesEntity(m);
    return e.matrix ? &e : nullptr;
}

// Appends curve to composite as copies: a polyline (degree 1 with inner
// knots) one straight arc per leg, because the model's integrators take a
// degree-1 arc for a straight line.
void appendCurve(CCompositeCurve& composite, const Bspline& curve)
{
    if (curve.deg() != 1 || curve.nPts() <= 2) {
        auto copy = std::make_unique<Bspline>(const_cast<Bspline*>(&curve), CString());
        composite.addArc(copy.get());
        copy.release();
        return;
    }
    for (int i = 0; i + 1 < curve.nPts(); ++i) {
        Point<double> a = curve.cpts(i);
        Point<double> b = curve.cpts(i + 1);
        if ((b - a).length() == 0.0)
            continue;
        auto leg = std::make_unique<Bspline>(&a, &b, false);
        composite.addArc(leg.get());
        leg.release();
    }
}

// A composite curve made of curve alone.
std::unique_ptr<CCompositeCurve> compositeOf(const Bspline& curve)
{
    auto c = std::make_unique<CCompositeCurve>();
    appendCurve(*c, curve);
    return c;
}

// Runs f; the kernel's exceptions come back as their text ("" when none).
template <class F>
std::string kernelFailure(F f)
{
    try {
        f();
        return "";
    } catch (const char* m) {
        return m;
    } catch (const wchar_t* m) {
        return std::string(CStringA(CString(m)).GetString());
    } catch (const CInvalidArgException&) {
        return "invalid argument";
    } catch (const std::exception& x) {
        return x.what();
    }
}

// A new shape of kind 20 taking the composite; appended to importedShapes.
CShapeAnalysis* newImportedShape(std::unique_ptr<CCompositeCurve> composite)
{
    auto* shape = new CShapeAnalysis(composite.release());
    shape->kind = qhtShapeCurve;
    importedShapes.push_back(shape);
    return shape;
}

}  // namespace

IgesEntity& igesEntity(const CDirectoryEntry* entry)
{
    return gEntities[entry];
}

CDirectoryEntry* findIgesEntry(int sequence)
{
    // Indexed once the directory is complete: composites may name up to a
    // thousand members each.
    if (gIndexedEntries != S.directory.size()) {
        gBySequence.clear();
        for (CDirectoryEntry* e : S.directory)
            gBySequence.emplace(e->sequence, e);  // the first of a sequence number wins
        gIndexedEntries = S.directory.size();
    }
    const auto it = gBySequence.find(sequence);
    return it != gBySequence.end() ? it->second : nullptr;
}

void placeEntityCurves()
{
    for (CDirectoryEntry* entry : S.directory) {
        IgesEntity& e = igesEntity(entry);
        if (!e.ownCurve)
            continue;
        if (IgesEntity* m = matrixOf(entry))
            e.ownCurve->rotateTranslate(*m->matrix, m->translation);
        if (!e.wantsOwnComposite)
            continue;
        const std::string fault = kernelFailure([&] { e.composite = compositeOf(*e.ownCurve); });
        if (!fault.empty())
            std::fprintf(stderr, "IGES entity %d: %s\n", entry->sequence, fault.c_str());
    }
}

int Read102(CDirectoryEntry* entry)
{
    IgesEntity& e = igesEntity(entry);
    auto composite = std::make_unique<CCompositeCurve>();
    e.composite.reset();
    std::vector<IgesEntity*> taken;
    for (const int sequence : e.members) {
        CDirectoryEntry* member = findIgesEntry(sequence);
        IgesEntity* m = member != nullptr ? &igesEntity(member) : nullptr;
        if (m == nullptr || m->curve == nullptr) {
            std::fputs("Read102:FAILURE: reference iges entity has no associated B-spline structure \n", stderr);
            return -1;
        }
        const std::string fault = kernelFailure([&] { appendCurve(*composite, *m->curve); });
        if (!fault.empty()) {
            std::fprintf(stderr, "Read102:FAILURE: composite curve %d discarded: %s\n", entry->sequence,
                         fault.c_str());
            return -1;
        }
        taken.push_back(m);
    }
    if (composite->nArcs() == 0)
        return -1;
    if (IgesEntity* mx = matrixOf(entry)) {
        POSITION pos = composite->arcsMutable().GetHeadPosition();
        while (pos)
            composite->arcsMutable().GetNext(pos)->rotateTranslate(*mx->matrix, mx->translation);
    }
    for (IgesEntity* m : taken)
        m->memberOfComposite = true;
    e.closed = !composite->isOpen();
    e.composite = std::move(composite);
    return 0;
}

bool hasSurfaceEntities()
{
    for (const CDirectoryEntry* e : S.directory)
        if (e->entityType == 122 || e->entityType == 128 || e->entityType == 144)
            return true;
    return false;
}

namespace {

// The closed composite of the boundary named by a type 142 entry; throws
// the wide failure text when there is none.
std::unique_ptr<CCompositeCurve> trimmingBoundary(int sequence)
{
    const wchar_t* const failure = L"Failed to read trimmed surface";
    CDirectoryEntry* onSurface = findIgesEntry(sequence);
    if (onSurface == nullptr || onSurface->entityType != 142)
        throw failure;
    CDirectoryEntry* boundary = findIgesEntry(igesEntity(onSurface).curveOnSurface[3]);
    if (boundary == nullptr)
        throw failure;
    IgesEntity& b = igesEntity(boundary);
    if (!b.composite && boundary->entityType == 102)
        Read102(boundary);
    if (!b.composite && b.curve != nullptr)  // a boundary of one curve
        kernelFailure([&] { b.composite = compositeOf(*b.curve); });
    if (!b.composite || b.composite->isOpen())
        throw failure;
    // Boundaries may be shared by several surfaces: every shape gets its own copy.
    return std::make_unique<CCompositeCurve>(*b.composite);
}

}  // namespace

void readTrimmedSurfaces()
{
    for (CDirectoryEntry* entry : S.directory) {
        if (entry->entityType != 144 || entry->blanked)
            continue;
        const IgesTrimmedSurface& t = igesEntity(entry).trimmedSurface;
        newImportedShape(trimmingBoundary(t.outer));
        for (const int inner : t.inner)
            newImportedShape(trimmingBoundary(inner));
    }
}

void createShapesFromCurves()
{
    for (CDirectoryEntry* entry : S.directory) {
        IgesEntity& e = igesEntity(entry);
        if (!e.composite || e.memberOfComposite || e.composite->isOpen())
            continue;
        e.shape = newImportedShape(std::move(e.composite));
    }
}

void applyImportedHoleRule()
{
    std::vector<int> depth(importedShapes.size(), 0);
    for (size_t i = 0; i < importedShapes.size(); ++i)
        for (size_t j = 0; j < importedShapes.size(); ++j)
            if (i != j && importedShapes[j]->boundary->inside(importedShapes[i]->boundary))
                ++depth[i];
    for (size_t i = 0; i < importedShapes.size(); ++i) {
        CShapeAnalysis* s = importedShapes[i];
        const bool hole = depth[i] % 2 == 1;
        s->boundary->sign(hole ? -1 : 1);
        s->orient();
    }
}

void freeDirectoryEntries()
{
    gEntities.clear();
    gBySequence.clear();
    gIndexedEntries = 0;
    clearIgesDirectory();
}
