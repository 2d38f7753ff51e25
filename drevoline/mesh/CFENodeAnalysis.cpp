// CFENodeAnalysis: results, load-condition values, transforms and the node record.
#include "drevoline/mesh/CFENodeAnalysis.h"

#include <cmath>
#include <stdexcept>

#include "analysis/geometry/Matrix.h"
#include "analysis/model/CMetal.h"
#include "analysis/model/CPointForce.h"
#include "analysis/model/Utilities.h"
#include "drevoline/mesh/CFEElementAnalysis.h"
#include "drevoline/mesh/CMesh.h"
#include "platform/core/CArchive.h"

IMPLEMENT_SERIAL(CFENodeAnalysis, CObject, VERSIONABLE_SCHEMA | 2)

namespace {

constexpr DiscreteSetValue kFirstDof = 367;
constexpr DiscreteSetValue kLastDof = 372;
// Vertex id written for a node without vertex.
constexpr int kNoVertex = -9999;
const char* const kReadFailed = "CFENodeanalysis read failed.";

}  // namespace

CFENodeAnalysis::CFENodeAnalysis()
    : uniqueId(uniqueID()), lcDiscrete(std::make_unique<LCDiscrete<FiniteElementSet>>(kValuesPerSet))
{
}

CFENodeAnalysis::CFENodeAnalysis(CVertex* v)
    : uniqueId(v->id),
      vertex(v),
      position(v->x, v->y, 0.0),
      number(v->id),
      lcDiscrete(std::make_unique<LCDiscrete<FiniteElementSet>>(kValuesPerSet))
{
}

CFENodeAnalysis::CFENodeAnalysis(const CFENodeAnalysis* other) : CFENodeAnalysis()
{
    position = other->position;
    std::copy(std::begin(other->fixedFlags), std::end(other->fixedFlags), std::begin(fixedFlags));
}

CFENodeAnalysis::~CFENodeAnalysis() = default;

int CFENodeAnalysis::id() const
{
    return vertex ? vertex->id : number;
}

double CFENodeAnalysis::result(CFEElementAnalysis* element, RESULTS r)
{
    if (!element || !isSplitMaterial())
        return results[r];
    for (CElementResults& record : elementResults) {
        if (record.element == element)
            return record.results[r];
    }
    throw std::logic_error("CFENodeAnalysis::result()  error: can't get here from anywhere");
}

void CFENodeAnalysis::setResult(RESULTS r, double value)
{
    results[r] = value;
}

void CFENodeAnalysis::setElementResult(CFEElementAnalysis* element, RESULTS r, double value)
{
    for (CElementResults& record : elementResults) {
        if (record.element == element) {
            record.results[r] = value;
            return;
        }
    }
    elementResults.emplace_back(element);
    elementResults.back().results[r] = value;
}

void CFENodeAnalysis::setValue(const CLoadCondition* lc, DiscreteSetValue code, double value)
{
    if (!lcDiscrete->find(lc))
        lcDiscrete->addLoadCondition(lc);
    lcDiscrete->setValue(lc, 0, code, value);
}

double CFENodeAnalysis::getValue(const CLoadCondition* lc, DiscreteSetValue code) const
{
    return lcDiscrete->getValue(lc, 0, code);
}

void CFENodeAnalysis::initLCDiscrete(const CLoadCondition* lc)
{
    lcDiscrete->addLoadCondition(lc);
    LCSet<FiniteElementSet>* set = lcDiscrete->find(lc);
    set->count = lcDiscrete->valuesPerSet;
    set->flag = 0;
    set->values.SetSize(set->count);
}

int CFENodeAnalysis::fixed(DiscreteSetValue code) const
{
    if (code < kFirstDof || code > kLastDof)
        return 0;
    return fixedFlags[code - kFirstDof];
}

int CFENodeAnalysis::eliminated(DiscreteSetValue code) const
{
    return fixed(code);
}

void CFENodeAnalysis::fix(DiscreteSetValue code, int flag)
{
    if (code >= kFirstDof && code <= kLastDof)
        fixedFlags[code - kFirstDof] = flag;
}

Point<double> CFENodeAnalysis::deformedTranslation() const
{
    return Point<double>(fixedFlags[0], fixedFlags[1], fixedFlags[2]);
}

Point<double> CFENodeAnalysis::deformedRotation() const
{
    return Point<double>(fixedFlags[3], fixedFlags[4], fixedFlags[5]);
}

bool CFENodeAnalysis::isSplitMaterial() const
{
    for (const CFEElementAnalysis* e : elements) {
        if (e->material != elements.front()->material)
            return true;
    }
    return false;
}

const CMetal* CFENodeAnalysis::material() const
{
    if (elements.empty() || isSplitMaterial())
        return nullptr;
    return elements.front()->material;
}

double CFENodeAnalysis::maxStrain(bool tension, bool longitudinal) const
{
    double extreme = tension ? -1e20 : 1e20;
    for (const CFEElementAnalysis* e : elements) {
        if (!e->material)
            continue;
        const double s = e->material->plasticUltimateStrain(tension, longitudinal);
        extreme = tension ? std::max(extreme, s) : std::min(extreme, s);
    }
    return extreme;
}

void CFENodeAnalysis::pointForceRHS(CPointForce* force, Matrix* rhs) const
{
    const int k = index * 6;
    const Point<double>* d = force->direction();
    const double m = force->mag();
    rhs->ref(k, 0) += d->x * m;
    rhs->ref(k + 1, 0) += d->y * m;
    rhs->ref(k + 2, 0) += d->z * m;
}

void CFENodeAnalysis::vertexFollows()
{
    if (vertex) {
        vertex->x = position.x;
        vertex->y = position.y;
    }
}

void CFENodeAnalysis::mirror(Point<double>& p, Point<double>& n)
{
    position.mirror(p, n);
    vertexFollows();
}

void CFENodeAnalysis::rotate(double x, double y, double angle)
{
    position.rotate(Point<double>(x, y, 0.0), angle);
    vertexFollows();
}

void CFENodeAnalysis::translate(double dx, double dy)
{
    position.x += dx;
    position.y += dy;
    vertexFollows();
}

void CFENodeAnalysis::Serialize(CArchive& ar, CMesh* mesh)
{
    if (ar.IsStoring())
        write(ar);
    else
        read(ar, mesh);
}

void CFENodeAnalysis::write(CArchive& ar) const
{
    ar << number << (vertex ? vertex->id : kNoVertex) << uniqueId;
    ar << position.x << position.y << position.z;
    for (int flag : fixedFlags)
        ar << flag;
    lcDiscrete->write(ar);
    ar << 1 << 2 << 3 << 4.0 << 5.0 << 6.0;
}

void CFENodeAnalysis::read(CArchive& ar, CMesh* mesh)
{
    int vertexId = 0;
    ar >> number >> vertexId >> uniqueId;
    ar >> position.x >> position.y >> position.z;
    for (int& flag : fixedFlags)
        ar >> flag;
    lcDiscrete->read(ar, kReadFailed);
    int spareInt = 0;
    double spareDouble = 0.0;
    double check = 0.0;
    ar >> spareInt >> spareInt >> spareInt >> spareDouble >> spareDouble >> check;
    if (!(std::fabs(check - 6.0) <= 1e-10))
        throw std::logic_error(kReadFailed);
    vertex = nullptr;
    if (vertexId >= 0) {
        if (!mesh)
            throw std::logic_error(kReadFailed);
        vertex = mesh->findVertex(vertexId);
    }
}
