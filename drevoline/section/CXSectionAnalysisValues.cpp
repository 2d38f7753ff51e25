// Section model root: property keys and units, tree checks, section loads
// and the result grid.
#include <cwchar>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <vector>

#include "analysis/model/CGrid.h"
#include "analysis/model/CLoadCondition.h"
#include "analysis/model/CSectionForces.h"
#include "analysis/model/Globals.h"
#include "drevoline/section/CXSectionAnalysis.h"

namespace {

struct KeyCode {
  const wchar_t* key;
  SectionValue code;
};

// Property keys in the order they are compared; aliases share a code.
constexpr KeyCode kSectionValueKeys[] = {
    {L"ECGx", 135}, {L"ECGy", 136}, {L"ACGx", 132}, {L"ACGy", 133}, {L"MCGx", 138}, {L"MCGy", 139},
    {L"SCx", 32}, {L"ShearCenterXAlfano", 32}, {L"ShearCenterYAlfano", 33}, {L"SCy", 33},
    {L"ShearCenterXJonssen", 34}, {L"SCFemX", 34}, {L"ShearCenterYJonssen", 35}, {L"SCFemY", 35},
    {L"Area", 17}, {L"nEArea", 18},
    {L"IxxEC", 74}, {L"2ndMomentOfInertiaAboutY", 74},
    {L"ProductOfInertia", 75}, {L"IxyEC", 75},
    {L"2ndMomentOfInertiaAboutX", 76}, {L"IyyEC", 76},
    {L"2ndMomentOfInertiaAboutPrincipalX", 142}, {L"IYYE", 142},
    {L"2ndMomentOfInertiaAboutPrincipalY", 141}, {L"IXXE", 141},
    {L"1stMomentOfInertiaAboutX", 123}, {L"SyE", 123},
    {L"1stMomentOfInertiaAboutY", 122}, {L"SxE", 122},
    {L"1stMomentOfInertiaAboutPrincipalX", 129}, {L"SypE", 129},
    {L"1stMomentOfInertiaAboutPrincipalY", 128}, {L"SxpE", 128},
    {L"IrEC", 77}, {L"SwE", 26},
    {L"Iww", 29}, {L"IWW", 29}, {L"IWWFem", 29}, {L"WarpingConstantJonssen", 29},
    {L"WarpingConstantAlfano", 28},
    {L"JFem", 30}, {L"TorsionConstantJonssen", 30},
    {L"Cells", 0}, {L"Gshearmin", 1}, {L"Gbendmin", 3}, {L"Emin", 4},
    {L"J", 5}, {L"TorsionConstantAlfano", 5},
    {L"wo", 6}, {L"Vx", 7}, {L"Vxp", 8}, {L"Vyp", 9}, {L"Mx", 10}, {L"My", 11}, {L"Mxp", 12}, {L"Myp", 13},
    {L"Vy", 14}, {L"Vz", 15}, {L"ACGz", 134}, {L"ECGz", 137}, {L"MCGz", 140}, {L"SCz", 36},
    {L"IxwE", 147}, {L"IXwE", 152}, {L"IywE", 148}, {L"IYwE", 153}, {L"Nxp", 37}, {L"Nyp", 38},
    {L"Pang", 40}, {L"PrincipalAngle", 40},
    {L"Dxx", 42}, {L"Dyy", 43}, {L"Dxy", 44}, {L"RunningLoad", 45}, {L"GJ", 49}, {L"GJFem", 48},
};

constexpr SectionValue kNoSuchValue = 206;

// How the unit of a named property is composed from the length unit L.
enum class UnitShape { empty, length, area, volume, fourth, sixth, degrees };

struct KeyUnit {
  const wchar_t* key;
  UnitShape shape;
};

constexpr KeyUnit kUnitKeys[] = {
    {L"Cells", UnitShape::empty},
    {L"Area", UnitShape::area}, {L"Ir", UnitShape::area}, {L"HorzShearArea", UnitShape::area},
    {L"VertShearArea", UnitShape::area}, {L"MixedShearArea", UnitShape::area},
    {L"Sy", UnitShape::volume}, {L"Syp", UnitShape::volume}, {L"Sx", UnitShape::volume},
    {L"Sxp", UnitShape::volume}, {L"Sw", UnitShape::volume},
    {L"J", UnitShape::fourth}, {L"Ixx", UnitShape::fourth}, {L"IYY", UnitShape::fourth},
    {L"IYw", UnitShape::fourth}, {L"Iyy", UnitShape::fourth}, {L"Iyw", UnitShape::fourth},
    {L"Ixy", UnitShape::fourth}, {L"IXX", UnitShape::fourth}, {L"IXw", UnitShape::fourth},
    {L"Ixw", UnitShape::fourth},
    {L"IWW", UnitShape::sixth}, {L"Iww", UnitShape::sixth},
    {L"SCx", UnitShape::length}, {L"SCy", UnitShape::length}, {L"CGx", UnitShape::length},
    {L"CGy", UnitShape::length}, {L"Nxp", UnitShape::length}, {L"Nyp", UnitShape::length},
    {L"Psi", UnitShape::degrees}, {L"Pang", UnitShape::degrees},
};

CString composeUnit(UnitShape shape, const CString& L) {
  switch (shape) {
    case UnitShape::empty:
      return CString();
    case UnitShape::length:
      return L;
    case UnitShape::area:
      return L + L"2";
    case UnitShape::volume:
      return L + L"3";
    case UnitShape::fourth:
      return L + L"4";
    case UnitShape::sixth:
      return L + L"6";
    case UnitShape::degrees:
      return CString(L"deg");
  }
  return CString();
}

std::string narrow(const CString& s) { return s.ToUtf8(); }

}  // namespace

SectionValue CXSectionAnalysis::StringToSectionValue(const wchar_t* text) {
  if (text == nullptr)
    return kNoSuchValue;
  for (const KeyCode& k : kSectionValueKeys)
    if (std::wcscmp(k.key, text) == 0)
      return k.code;
  return kNoSuchValue;
}

void CXSectionAnalysis::getUnits(const wchar_t* key, CString& out) {
  const bool us = gUnitSystem != 0;
  unitLabels[kLengthLabel] = us ? L"in" : L"cm";
  unitLabels[kForceLabel] = us ? L"lbs" : L"GPa";
  out = L"NoMatch";
  if (key == nullptr)
    return;
  for (const KeyUnit& k : kUnitKeys)
    if (std::wcscmp(k.key, key) == 0) {
      out = composeUnit(k.shape, unitLabels[kLengthLabel]);
      return;
    }
}

void CXSectionAnalysis::verifySubsections() const {
  // A sub-section without a parent is a tree of its own (the group that a
  // mirrored duplicate of a group makes is one); what cannot stand is a
  // parent the model does not hold, a child whose link back to the parent
  // that lists it is lost, or a chain of parents that comes back on itself.
  // Each chain is walked only up to where an earlier walk ended, so a deep
  // tree costs one step per sub-section.
  enum class Walk : char { unseen, onPath, done };
  std::unordered_map<const CSubSection*, Walk> state;
  for (const CSubSection* s : subSections)
    state.emplace(s, Walk::unseen);
  std::vector<const CSubSection*> path;
  for (const CSubSection* s : subSections) {
    for (const CSubSection* c : s->children)
      if (c == nullptr || c->parent() != s)
        throw std::logic_error("Subsection tree is corrupted");
    path.clear();
    for (const CSubSection* p = s; p != nullptr; p = p->parent()) {
      const auto it = state.find(p);
      if (it == state.end() || it->second == Walk::onPath)
        throw std::logic_error("Subsection tree is corrupted");
      if (it->second == Walk::done)
        break;
      it->second = Walk::onPath;
      path.push_back(p);
    }
    for (const CSubSection* q : path)
      state[q] = Walk::done;
  }
}

void CXSectionAnalysis::verifySubSectionHasShapes(CString n, int nShapes, int nChildShapes) const {
  const CSubSection* s = findSubSection(n);
  if (s == nullptr)
    throw std::logic_error("Subsection " + narrow(n) + " does not exist");
  if (s->shapeList.GetCount() != nChildShapes)
    throw std::logic_error("Number of child shapes is not correct for " + narrow(n));
  int owned = 0;
  POSITION pos = shapes.GetHeadPosition();
  while (pos)
    if (shapes.GetNext(pos)->subSection() == s)
      ++owned;
  if (owned != nShapes)
    throw std::logic_error("Subsection shapes count does not match for " + narrow(n));
}

void CXSectionAnalysis::verifySubSectionShapesRemoved(CString n) const {
  POSITION pos = shapes.GetHeadPosition();
  while (pos) {
    const CShapeAnalysis* shape = shapes.GetNext(pos);
    if (shape->subSection() != nullptr && shape->subSection()->name() == n)
      throw std::logic_error("Shapes of " + narrow(n) + "  have not all been removed, e.g., " +
                             narrow(shape->name()));
  }
}

// The current sub-section that a section load goes to; a clear error without one.
static CSubSection* loadTarget(CXSectionAnalysis& model) {
  CSubSection* s = model.currentSubSectionMutable();
  if (s == nullptr)
    throw std::logic_error("There is no current subsection for the load.");
  return s;
}

CLoadCondition* CXSectionAnalysis::addScnLoadCondition(CString n) {
  CSubSection* s = loadTarget(*this);
  auto lc = std::make_shared<CLoadCondition>();
  lc->ScnLoadCondition(n);
  lc->firstValue(0);
  lc->secondValue(0);
  lc->validDistribution(false);
  s->loadConditions.push_back(lc);
  return lc.get();
}

void CXSectionAnalysis::createFatSectionLoad(CString& n, double, double, double d3, double d4, double d5, double) {
  CSubSection* s = loadTarget(*this);
  auto lc = std::make_shared<CLoadCondition>();
  lc->ScnLoadCondition(n);
  CSectionForces* f = lc->scnForcesMutable();
  f->Vx = 0.0;
  f->Vy = 0.0;
  f->axial = d3;
  f->Mx = d4;
  f->My = d5;
  f->Mz = 0.0;
  s->loadConditions.push_back(lc);
  s->curAppLC(lc);
}

void CXSectionAnalysis::computeGrid(Point<double>* a, Point<double>* b, double dx, int nx, double dy, int ny) {
  deleteGrid();
  grid = new CGrid(a, b, dx, nx, dy, ny);
}
